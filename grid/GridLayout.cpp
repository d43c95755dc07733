// TRixCustomDBGrid: the layout pass and the geometry it maintains.
//
// The pass here is the first, honest part of the full one: it maps fields,
// keeps default columns in step with them, and sizes the base grid from the
// columns (column count, fixed columns, title and record rows, widths). The
// layout engine adds the passthrough check, title and row heights, bound
// columns and object-field depths.
#include "grid/RixDBGrid.h"

#include "messages/RixRtlCons.h"
#include "platform/core/Checked.h"

#include <algorithm>

namespace {
constexpr int IndicatorWidth = 11;
}

int TRixCustomDBGrid::RawToDataColumn(int ACol) const {
  return rix::CheckedAdd(rix::CheckedSub(ACol, static_cast<int>(FIndicatorOffset)),
                         rix::CheckedMul(FColsPerRow, FOffset));
}

int TRixCustomDBGrid::RawToDataColumn(int ACol, int ARow) const {
  return rix::CheckedAdd(rix::CheckedMul(ARow % FRowsPerRecord, FColsPerRow),
                         rix::CheckedSub(ACol, static_cast<int>(FIndicatorOffset)));
}

int TRixCustomDBGrid::DataToRawColumn(int ACol) const {
  return rix::CheckedAdd(ACol % FColsPerRow, static_cast<int>(FIndicatorOffset));
}

void TRixCustomDBGrid::InternalLayout() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  FLayoutPassCount = rix::CheckedAdd(FLayoutPassCount, 1);
  // A layout that runs for any reason absorbs a deferred one.
  FLayoutPending = false;
  if (HandleAllocated()) KillMessage(WindowHandle(), CM_DEFERLAYOUT);

  // A stored column after default ones customises the set: the default
  // columns go (a stand-in for the layout engine's passthrough check).
  for (int i = 0, seen = 0; i < FColumns->Count(); ++i) {
    if (!FColumns->Items(i)->IsStored()) seen = 1;
    else if (seen) {
      for (int j = FColumns->Count() - 1; j >= 0; --j)
        if (!FColumns->Items(j)->IsStored()) delete FColumns->Items(j);
      break;
    }
  }
  FIndicatorOffset = FOptions.Contains(rixdgIndicator) ? 1 : 0;
  FDataLink->ClearMapping();
  if (FDataLink->Active()) DefineFieldMap();

  // Default columns follow the mapped fields; customized columns look their
  // fields up again by name.
  if (FColumns->State() == csDefault) {
    if (!FDataLink->Active() && FDataLink->DefaultFields()) {
      FColumns->Clear();
    } else {
      for (int i = FColumns->Count() - 1; i >= 0; --i) {
        TRixColumn* c = FColumns->Items(i);
        bool mapped = false;
        for (int j = 0; j < FDataLink->FieldCount() && !mapped; ++j)
          mapped = c->FieldRef() != nullptr && FDataLink->Fields(j) == c->FieldRef();
        if (!mapped) delete c;
      }
    }
    int n = FDataLink->FieldCount();
    if (n == 0 && FColumns->Count() == 0) n = 1;
    for (int j = 0; j < n; ++j) {
      TField* f = FDataLink->Fields(j);
      TRixColumn* taken = nullptr;
      if (f != nullptr)
        for (int k = j; k < FColumns->Count() && taken == nullptr; ++k)
          if (FColumns->Items(k)->FieldRef() == f) taken = FColumns->Items(k);
      if (taken == nullptr) {
        taken = FColumns->InternalAdd();
        if (f != nullptr) taken->SetField(f);
      }
      taken->SetIndex(j);
    }
  } else {
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetField(nullptr);
  }

  FVisibleColumns->Clear();
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Showing()) FVisibleColumns->Add(FColumns->Items(i));

  const int count = FColumns->Count();
  FColsPerRow = std::max(count / FRowsPerRecord, 1);
  const int newColCount = rix::CheckedAdd(FColsPerRow, static_cast<int>(FIndicatorOffset));
  // Lower the fixed columns before the column count, raise them after it.
  if (TCustomGrid::FixedCols() > FIndicatorOffset) TCustomGrid::SetFixedCols(FIndicatorOffset);
  SetColCount(newColCount);
  TCustomGrid::SetFixedCols(FIndicatorOffset);
  SetFixedCols_(FFixedCols);

  FTitleOffset = 0;
  if (FOptions.Contains(rixdgTitles)) FTitleOffset = static_cast<std::uint8_t>(std::min(count, FRowsPerRecord));
  UpdateRowCount();
  SetColumnAttributes();
  for (int i = 0; i < count; ++i) {
    FColumns->Items(i)->FDrawColumn = FColumns->Items(i);
    FColumns->Items(i)->FDrawEndColumn = FColumns->Items(i);
  }
  UpdateActive();
  Invalidate();
}

void TRixCustomDBGrid::SetColumnAttributes() {
  const int n = std::min(FColsPerRow, FColumns->Count());
  for (int i = 0; i < n; ++i) {
    TRixColumn* c = FColumns->Items(i);
    const int raw = i + FIndicatorOffset;
    TField* f = c->FieldRef();
    SetTabStops(raw, c->Showing() && FDataLink->Active() && f != nullptr && f->FieldKind() != fkCalculated &&
                         !f->ReadOnly());
    SetColWidths(raw, c->Showing() ? c->Width() : -1);
  }
  if (FOptions.Contains(rixdgIndicator)) SetColWidths(0, IndicatorWidth);
}

void TRixCustomDBGrid::UpdateRowCount() {
  const int oldRowCount = RowCount();
  if (RowCount() <= FTitleOffset) SetRowCount(FTitleOffset + 1);
  SetFixedRows(FFixedRows < RowCount() ? std::max<int>(FFixedRows, FTitleOffset) : FTitleOffset);
  if (FDataLink->Active() && FDataLink->RecordCount() != 0 && HandleAllocated()) {
    SetRowCount(1000);
    FDataLink->SetBufferCount(std::max(VisibleRowCount(), 1));
    FDataLink->SetBufferCount(
        std::max(std::min(FDataLink->RecordCount(), VisibleRowCount() / FRowsPerRecord), 1));
    SetRowCount(rix::CheckedAdd(rix::CheckedMul(FDataLink->BufferCount(), FRowsPerRecord),
                                static_cast<int>(FTitleOffset)));
    if (FOptions.Contains(rixdgRowSelect)) SetTopRow(FixedRows());
    UpdateActive();
  } else {
    SetRowCount(FTitleOffset + 1);
  }
  if (RowCount() != oldRowCount) Invalidate();
}

// The fixed data columns are re-applied through LinkActive; an error there
// keeps the previous count.
void TRixCustomDBGrid::SetFixedCols_(int Value) {
  BeginUpdate();
  const int old = FFixedCols;
  try {
    FFixedCols = Value;
    LinkActive(FDataLink->Active());
  } catch (...) {
    FFixedCols = old;
  }
  EndUpdate();
  Invalidate();
}

void TRixCustomDBGrid::SetFixedCols(int Value) {
  if (Value == FFixedCols) return;
  if (Value < 0) InvalidOp(SGridIndexOutOfRange);
  if (Value < FColsPerRow) {
    SetFixedCols_(Value);
    Invalidate();
  } else if (ComponentState().Contains(csLoading)) {
    FFixedCols = Value;
  } else {
    InvalidOp(SFixedColTooBig);
  }
}

void TRixCustomDBGrid::SetRowsPerRecord(int Value) {
  if (Value < 1 || Value == FRowsPerRecord) return;
  if (ComponentState().Contains(csLoading)) {
    FRowsPerRecord = Value;
    return;
  }
  if (Value > FColumns->Count()) InvalidOp(SRowsPerRecordTooBig);
  FRowsPerRecord = Value;
  FOffset = 0;
  LayoutChanged();
  SetFixedRows(std::max<int>(FFixedRows, FTitleOffset));
}

void TRixCustomDBGrid::SetDataRowHeight(int Value) {
  if (Value < 0 || Value == FDataRowHeight) return;
  std::vector<int> titleHeights;
  for (int r = 0; r < FTitleOffset && r < RowCount(); ++r) titleHeights.push_back(RowHeights(r));
  FDataRowHeight = Value;
  auto restore = [&] {
    for (int r = 0; r < static_cast<int>(titleHeights.size()) && r < RowCount(); ++r)
      SetRowHeights(r, titleHeights[static_cast<size_t>(r)]);
    Invalidate();
  };
  try {
    if (Value != 0)
      SetDefaultRowHeight(Value);
    else
      LayoutChanged();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// Where the current record's first row is; the scrolling work refines this.
void TRixCustomDBGrid::UpdateActive() {
  if (!FDataLink->Active() || !HandleAllocated()) return;
  const int row = rix::CheckedAdd(
      rix::CheckedAdd(rix::CheckedMul(FDataLink->ActiveRecord(), FRowsPerRecord), FOffset),
      static_cast<int>(FTitleOffset));
  if (row >= FixedRows() && row < RowCount() && row != Row()) SetRow(row);
}

// The scroll bar shows the base grid's position until the scrolling work
// makes it show the dataset's.
void TRixCustomDBGrid::UpdateScrollBar() {}

void TRixCustomDBGrid::SetRecordIndex() {
  TDataSet* ds = FDataLink->DataSet();
  FRecordIndex = FDataLink->Active() && ds != nullptr ? std::max(ds->RecNo() - 1, -1) : 0;
}

// Painting comes with the cell painting work; until then a cell shows the
// grid's colour.
void TRixCustomDBGrid::DrawCell(int, int, const TRect& ARect, TGridDrawState) {
  if (TCanvas* c = Canvas()) {
    c->Brush()->SetColor(Color());
    c->FillRect(ARect);
  }
}
