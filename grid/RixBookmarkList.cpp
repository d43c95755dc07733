#include "grid/RixBookmarkList.h"

#include "grid/RixDBGrid.h"

#include <algorithm>
#include <vector>

TRixBookmarkList::TRixBookmarkList(TRixCustomDBGrid* AGrid) : FList(std::make_unique<TStringList>()), FGrid(AGrid) {
  FList->SetOnChange([this](TObject* Sender) { StringsChanged(Sender); });
}

TRixBookmarkList::~TRixBookmarkList() {
  // The grid is being taken apart: nothing to repaint, no one to tell.
  FList->SetOnChange(nullptr);
}

TDataSet* TRixBookmarkList::DataSet() const {
  if (FGrid == nullptr || FGrid->DataLink() == nullptr) return nullptr;
  return FGrid->DataLink()->DataSet();
}

void TRixBookmarkList::StringsChanged(TObject*) {
  FCache.clear();
  FCacheIndex = -1;
}

void TRixBookmarkList::Clear() {
  if (FList->Count() > 0) {
    FList->Clear();
    if (FGrid != nullptr) FGrid->Invalidate();
  }
  // A range selection cannot go on from an anchor that is no longer selected.
  if (FGrid != nullptr) FGrid->SelectionCleared();
}

void TRixBookmarkList::LinkActive(bool Value) {
  Clear();
  FLinkActive = Value;
}

int TRixBookmarkList::Compare(const std::string& Item1, const std::string& Item2) const {
  ++FComparisons;
  TDataSet* ds = DataSet();
  if (ds == nullptr) return Item1 < Item2 ? -1 : Item1 == Item2 ? 0 : 1;
  const int c = ds->CompareBookmarks(Item1, Item2);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string TRixBookmarkList::CurrentRow() const {
  if (!FLinkActive) throw EInvalidGridOperation(dbconsts::SDataSetClosed);
  return DataSet()->Bookmark();
}

bool TRixBookmarkList::Find(const std::string& Item, int& Index) const {
  if (FCacheIndex >= 0 && Item == FCache) {
    Index = FCacheIndex;
    return FCacheFind;
  }
  bool result = false;
  int l = 0, h = FList->Count() - 1;
  while (l <= h) {
    const int i = l + (h - l) / 2;
    const int c = Compare(FList->Strings(i), Item);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        result = true;
        l = i;
      }
    }
  }
  Index = l;
  FCache = Item;
  FCacheIndex = l;
  FCacheFind = result;
  return result;
}

int TRixBookmarkList::IndexOf(const std::string& Item) const {
  int index = -1;
  return Find(Item, index) ? index : -1;
}

bool TRixBookmarkList::GetCurrentRowSelected() const {
  int index = 0;
  return Find(CurrentRow(), index);
}

void TRixBookmarkList::SetCurrentRowSelected(bool Value) {
  const std::string current = CurrentRow();
  if (current.empty()) return;
  int index = 0;
  if (Find(current, index) == Value) return;
  if (Value)
    FList->Insert(index, current);
  else
    FList->Delete(index);
  if (FGrid != nullptr) FGrid->InvalidateRow(FGrid->Row());
}

// A bookmark the dataset no longer accepts is dropped, not followed: going
// to it could land on another record, which the user did not select.
void TRixBookmarkList::Delete() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  TControlsDisabler disabled(ds);
  for (int i = FList->Count() - 1; i >= 0; --i) {
    if (i >= FList->Count()) continue;
    const std::string bookmark = FList->Strings(i);
    if (!ds->BookmarkValid(bookmark)) {
      FList->Delete(i);
      continue;
    }
    ds->SetBookmark(bookmark);
    if (ds->CompareBookmarks(ds->Bookmark(), bookmark) == 0) ds->Delete();
    FList->Delete(i);
  }
}

bool TRixBookmarkList::Refresh() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return false;
  bool result = false;
  auto finish = [&] {
    ds->UpdateCursorPos();
    if (result && FGrid != nullptr) FGrid->Invalidate();
  };
  try {
    ds->CheckBrowseMode();
    for (int i = FList->Count() - 1; i >= 0; --i)
      if (!ds->BookmarkValid(FList->Strings(i))) {
        result = true;
        FList->Delete(i);
      }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return result;
}

void TRixBookmarkList::Reorder() {
  TDataSet* ds = DataSet();
  if (FList->Count() < 2 || ds == nullptr || !ds->Active()) return;
  bool ordered = true;
  for (int i = 1; i < FList->Count() && ordered; ++i) ordered = Compare(FList->Strings(i - 1), FList->Strings(i)) < 0;
  if (ordered) return;
  std::vector<std::string> items;
  for (int i = 0; i < FList->Count(); ++i) items.push_back(FList->Strings(i));
  std::stable_sort(items.begin(), items.end(),
                   [this](const std::string& A, const std::string& B) { return Compare(A, B) < 0; });
  items.erase(std::unique(items.begin(), items.end(),
                          [this](const std::string& A, const std::string& B) { return Compare(A, B) == 0; }),
              items.end());
  rix::TUpdateBracket bracket(*FList);
  FList->Clear();
  for (const auto& s : items) FList->Add(s);
}
