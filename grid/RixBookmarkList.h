// TRixBookmarkList: the grid's selected records, as bookmark strings.
//
// Only what the grid object needs is here yet (clearing, the link's
// activation, the count); selecting, searching and deleting come with the
// selection work.
#pragma once

#include <string>
#include <vector>

class TRixCustomDBGrid;

class TRixBookmarkList {
public:
  explicit TRixBookmarkList(TRixCustomDBGrid* Grid) : FGrid(Grid) {}
  TRixBookmarkList(const TRixBookmarkList&) = delete;
  TRixBookmarkList& operator=(const TRixBookmarkList&) = delete;

  TRixCustomDBGrid* Grid() const { return FGrid; }
  int Count() const { return static_cast<int>(FList.size()); }
  const std::string& Items(int Index) const { return FList.at(static_cast<size_t>(Index)); }
  // Empties the list; the grid resets its range-selection anchor with it.
  void Clear();
  // The link's activation changed; the list forgets records of a closed set.
  void LinkActive(bool Value);
  bool IsLinkActive() const { return FLinkActive; }
  // Adds a bookmark once. Provisional: the selection work keeps the list in
  // the dataset's record order with its own comparison.
  void Insert(const std::string& Bookmark);

private:
  TRixCustomDBGrid* FGrid;
  std::vector<std::string> FList;
  bool FLinkActive = false;
};
