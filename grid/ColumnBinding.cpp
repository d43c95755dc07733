// TRixColumn: binding to a dataset field, and the hierarchy of object-field
// columns (an ftADT or ftArray field's sub-fields follow its column as child
// columns).
#include "grid/RixColumn.h"

#include "grid/RixDBGrid.h"
#include "platform/core/Checked.h"

namespace {

bool IsObjectType(TField* F) { return F != nullptr && (F->DataType() == ftADT || F->DataType() == ftArray); }

// Whether the grid still needs the destruction notice of Field for another
// of its references: a column of its own other than Except (a set can hold
// two columns on one field) or its link's field map.
bool GridStillWatches(TRixCustomDBGrid* Grid, TField* Field, const TRixColumn* Except) {
  if (TRixDBGridColumns* cols = Grid->Columns())
    for (int i = 0; i < cols->Count(); ++i)
      if (cols->Items(i) != Except && cols->Items(i)->FieldRef() == Field) return true;
  if (TRixGridDataLink* link = Grid->DataLink())
    for (int i = 0; i < link->FieldCount(); ++i)
      if (link->Fields(i) == Field) return true;
  return false;
}

// The grid's selected column, or nil without columns.
TRixColumn* SelectedColumn(TRixCustomDBGrid* Grid) {
  const int i = Grid->SelectedIndex();
  return i >= 0 && i < Grid->Columns()->Count() ? Grid->Columns()->Items(i) : nullptr;
}

bool InCollection(TRixDBGridColumns* Columns, const TRixColumn* Column) {
  for (int i = 0; i < Columns->Count(); ++i)
    if (Columns->Items(i) == Column) return true;
  return false;
}

bool DescendsFrom(TRixColumn* Column, const TRixColumn* Ancestor) {
  for (TRixColumn* p = Column->ParentColumn(); p != nullptr; p = p->ParentColumn())
    if (p == Ancestor) return true;
  return false;
}

} // namespace

// ---- Field binding -----------------------------------------------------------------

// The lazy bind of a read reports no change: a report from a getter would
// let a repaint or a relayout (which unbinds customised columns again) run
// in the middle of its caller. The name found a field, so nothing about the
// column's settings changes either.
TField* TRixColumn::Field() const {
  if (FField == nullptr && !FFieldName.empty()) {
    TRixCustomDBGrid* g = Grid();
    TDataSet* ds = g != nullptr && g->DataLink() != nullptr ? g->DataLink()->DataSet() : nullptr;
    if (ds != nullptr && (ds->Active() || !ds->DefaultFields())) {
      TField* f = ds->FindField(FFieldName);
      if (f != nullptr && !f->ComponentState().Contains(csDestroying)) {
        FField = f;
        f->FreeNotification(g);
      }
    }
  }
  return FField;
}

void TRixColumn::SetField(TField* Value) {
  if (FField == Value) return;
  TRixCustomDBGrid* g = Grid();
  if (FField != nullptr && g != nullptr && !GridStillWatches(g, FField, this)) FField->RemoveFreeNotification(g);
  if (Value != nullptr && Value->ComponentState().Contains(csDestroying)) Value = nullptr;
  FField = Value;
  if (Value != nullptr) {
    if (g != nullptr) Value->FreeNotification(g);
    FFieldName = Value->FullName();
  }
  if (!FStored) {
    if (Value == nullptr) FFieldName.clear();
    RestoreDefaults();
  }
  Changed(false);
}

void TRixColumn::SetFieldName(const std::string& Value) {
  TField* f = nullptr;
  TRixCustomDBGrid* g = Grid();
  if (g != nullptr && g->DataLink() != nullptr && g->DataLink()->DataSet() != nullptr &&
      !g->ComponentState().Contains(csLoading) && !Value.empty())
    f = g->DataLink()->DataSet()->FindField(Value);
  FFieldName = Value;
  SetField(f);
  Changed(false);
}

// ---- Hierarchy -----------------------------------------------------------------------

TRixColumn* TRixColumn::ParentColumn() const {
  TField* f = Field();
  TRixDBGridColumns* cols = Columns();
  if (f == nullptr || f->ParentField() == nullptr || cols == nullptr) return nullptr;
  for (int i = Index() - 1; i >= 0; --i)
    if (cols->Items(i)->Field() == f->ParentField()) return cols->Items(i);
  return nullptr;
}

int TRixColumn::Depth() const {
  int depth = 0;
  for (TRixColumn* p = ParentColumn(); p != nullptr; p = p->ParentColumn()) depth = rix::CheckedAdd(depth, 1);
  return depth;
}

bool TRixColumn::Expandable() const { return IsObjectType(Field()); }

// Only the grid's own columns move its current cell: a scratch collection
// the grid made (a column set being read) shares the grid but not its cells.
void TRixColumn::SetExpanded(bool Value) {
  if (Value == FExpanded) return;
  TRixCustomDBGrid* g = Grid();
  if (g != nullptr && g->Columns() != Columns()) g = nullptr;
  TRixColumn* selected = g != nullptr ? SelectedColumn(g) : nullptr;
  const bool wasShowing = selected != nullptr && selected->Showing();
  // The move starts from the cell before the relayout: a change in the
  // number of title rows makes the base grid put its current cell back on
  // the first column.
  const int oldCol = g != nullptr ? g->Col() : 0;
  FExpanded = Value;
  Changed(true);
  if (!wasShowing) return;
  // The layout that Changed ran may have freed the selected column.
  if (!InCollection(g->Columns(), selected) || selected->Showing()) return;
  const int direction = Value ? 1 : -1;
  g->MoveCol(rix::CheckedAdd(oldCol, direction), direction);
}

bool TRixColumn::GetVisible() const {
  if (!FVisible) return false;
  TRixColumn* p = ParentColumn();
  return p == nullptr || p->GetVisible();
}

void TRixColumn::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed(true);
}

bool TRixColumn::Showing() const {
  if (GetExpanded() || !GetVisible()) return false;
  for (TRixColumn* p = ParentColumn(); p != nullptr; p = p->ParentColumn())
    if (!p->GetExpanded()) return false;
  return true;
}

// ---- Moving ---------------------------------------------------------------------------

void TRixColumn::SetIndex(int Value) {
  TRixCustomDBGrid* g = Grid();
  TRixDBGridColumns* cols = Columns();
  if (cols == nullptr) {
    TCollectionItem::SetIndex(Value);
    return;
  }
  if (!FStored) {
    // A default column's order is its field's order in the dataset.
    if (g != nullptr && g->DataLink() != nullptr && g->DataLink()->Active() && g->AcquireLayoutLock()) {
      TLayoutBracket bracket(g, true);
      if (Value >= 0 && Value < cols->Count()) {
        TRixColumn* col = TRixCustomDBGrid::ColumnAtDepth(cols->Items(Value), Depth());
        TField* mine = Field();
        if (col != nullptr && mine != nullptr)
          if (TField* fld = col->Field()) mine->SetIndex(fld->Index());
      }
      bracket.End();
    }
    TCollectionItem::SetIndex(Value);
    return;
  }

  // A stored column takes its whole run of descendants along as one block:
  // moving left, the column lands at Value; moving right, the block's last
  // column does. A Value inside the block moves nothing. The whole run, not
  // only the direct children, by choice: a grandchild left behind would sit
  // under another parent, and the object hierarchy (ParentColumn, which
  // looks left for the parent field) would no longer match the fields.
  TLayoutBracket bracket(g);
  {
    const int oldIndex = Index();
    int end = rix::CheckedAdd(oldIndex, 1);
    while (end < cols->Count() && DescendsFrom(cols->Items(end), this)) end = rix::CheckedAdd(end, 1);
    const int size = rix::CheckedSub(end, oldIndex);
    if (Value < 0 || Value >= cols->Count())
      throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    if (Value < oldIndex) {
      for (int k = 0; k < size; ++k)
        cols->Items(rix::CheckedAdd(oldIndex, k))->TCollectionItem::SetIndex(rix::CheckedAdd(Value, k));
    } else if (Value >= end) {
      for (int k = 0; k < size; ++k) cols->Items(oldIndex)->TCollectionItem::SetIndex(Value);
    }
  }
  bracket.End();
}
