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
  FGrid->SetColWidths(raw, column->Showing() ? column->Width() : -1);
}
