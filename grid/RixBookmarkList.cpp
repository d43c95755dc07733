#include "grid/RixBookmarkList.h"

#include "grid/RixDBGrid.h"

#include <algorithm>

void TRixBookmarkList::Clear() {
  FList.clear();
  // A range selection cannot go on from an anchor that is no longer selected.
  if (FGrid != nullptr) FGrid->SelectionCleared();
}

void TRixBookmarkList::LinkActive(bool Value) {
  Clear();
  FLinkActive = Value;
}

void TRixBookmarkList::Insert(const std::string& Bookmark) {
  auto it = std::lower_bound(FList.begin(), FList.end(), Bookmark);
  if (it == FList.end() || *it != Bookmark) FList.insert(it, Bookmark);
}
