// TRixBookmarkList: the records selected in a grid with rixdgMultiSelect, as
// the dataset's bookmark strings.
//
// The strings are kept in the dataset's record order (not string order), so
// membership is a binary search with the dataset's CompareBookmarks; the
// answer of the last search is remembered for the cells of one record, and
// forgotten on every change of the list. When the dataset changes its order
// (a title-click handler may sort it), Reorder puts the list back in order.
//
// Delete removes only records that are still selected and still exist: a
// bookmark the dataset no longer accepts is dropped, never followed.
#pragma once

#include "platform/core/Strings.h"

#include <memory>
#include <string>

class TRixCustomDBGrid;
class TDataSet;

class TRixBookmarkList {
public:
  explicit TRixBookmarkList(TRixCustomDBGrid* AGrid);
  ~TRixBookmarkList();
  TRixBookmarkList(const TRixBookmarkList&) = delete;
  TRixBookmarkList& operator=(const TRixBookmarkList&) = delete;

  TRixCustomDBGrid* Grid() const { return FGrid; }
  int Count() const { return FList->Count(); }
  // Raises EListError outside 0 .. Count - 1.
  std::string Items(int Index) const { return FList->Strings(Index); }

  // Empties the list and repaints the grid; an empty list does nothing.
  void Clear();
  // The dataset's order of two bookmarks: -1, 0 or 1.
  int Compare(const std::string& Item1, const std::string& Item2) const;
  // The current record's bookmark; EInvalidGridOperation while the link is
  // inactive.
  std::string CurrentRow() const;
  bool CurrentRowSelected() const { return GetCurrentRowSelected(); }
  bool GetCurrentRowSelected() const;
  void SetCurrentRowSelected(bool Value);
  // Where Item is, or would go to keep the order; true when found.
  bool Find(const std::string& Item, int& Index) const;
  int IndexOf(const std::string& Item) const;
  // Deletes every selected record from the dataset, the last first.
  void Delete();
  // Drops bookmarks the dataset no longer accepts; true when any was dropped.
  bool Refresh();
  // The link's activation changed: the list forgets the records.
  void LinkActive(bool Value);
  bool IsLinkActive() const { return FLinkActive; }
  // Sorts the list again in the dataset's order when that order changed.
  void Reorder();
  // Bookmark comparisons made so far (the cache saves them; for tests).
  int Comparisons() const { return FComparisons; }

private:
  TDataSet* DataSet() const;
  void StringsChanged(TObject* Sender);

  std::unique_ptr<TStringList> FList;
  TRixCustomDBGrid* FGrid;
  mutable std::string FCache;
  mutable int FCacheIndex = -1;
  mutable bool FCacheFind = false;
  bool FLinkActive = false;
  mutable int FComparisons = 0;
};
