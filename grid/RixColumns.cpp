#include "grid/RixColumns.h"

#include "grid/RixDBGrid.h"

TRixDBGridColumns::TRixDBGridColumns(TRixCustomDBGrid* Grid, TCollectionItemClass ColumnClass)
    : TCollection(std::move(ColumnClass)), FGrid(Grid) {}

TRixColumn* TRixDBGridColumns::InternalAdd() {
  TRixColumn* c = Add();
  c->SetIsStored(false);
  return c;
}

TRixDBGridColumnsState TRixDBGridColumns::State() const {
  return Count() > 0 && Items(0)->IsStored() ? csCustomized : csDefault;
}

void TRixDBGridColumns::SetState(TRixDBGridColumnsState Value) {
  if (Value == State()) return;
  if (Value == csDefault) {
    Clear();
    return;
  }
  rix::TUpdateBracket<TRixDBGridColumns> bracket(*this);
  for (int i = 0; i < Count(); ++i) Items(i)->SetIsStored(true);
}

TPersistent* TRixDBGridColumns::GetOwner() { return FGrid; }

void TRixDBGridColumns::Update(TCollectionItem* Item) {
  if (FGrid == nullptr || FGrid->ComponentState().Contains(csLoading)) return;
  if (Item == nullptr) {
    FGrid->LayoutChanged();
    return;
  }
  auto* column = static_cast<TRixColumn*>(Item);
  int raw = FGrid->DataToRawColumn(column->Index());
  if (raw < 0 || raw >= FGrid->ColCount()) return;
  FGrid->InvalidateCol(raw);
  // Only the first record row's columns own a grid column's width.
  if (column->Index() >= FGrid->ColsPerRow()) return;
  // The width comes from the column: the grid must not copy its widths back
  // into the columns and lay out again, which could free the column whose
  // setter is still running.
  FGrid->BeginUpdate();
  try {
    FGrid->SetColWidths(raw, column->Showing() ? column->Width() : -1);
  } catch (...) {
    FGrid->EndUpdate();
    throw;
  }
  FGrid->EndUpdate();
}

// A column leaving the collection (freed or moved elsewhere) takes every
// reference to it along.
void TRixDBGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TCollection::Notify(Item, Action);
  if (auto* column = dynamic_cast<TRixColumn*>(Item); column != nullptr && Action != cnAdded) column->ForgetReferences();
}
