// TRixCustomDBGrid: the layout pass, row heights, fixed columns, records per
// record and the reactions to size changes in the base grid.
//
// The pass runs only from EndLayout of the outermost layout level, so that
// nothing it calls (a column's width, LinkActive, a bound column) can start a
// nested pass that frees columns this one is walking. Every relayout goes
// through LayoutChanged or the collection's change notification.
#include "grid/RixDBGrid.h"

#include "messages/RixRtlCons.h"
#include "platform/controls/TextMeasure.h"
#include "platform/core/Checked.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

using rix::CheckedAdd;
using rix::CheckedMul;

namespace {
constexpr int IndicatorWidth = 11;

// Height of the text "Wg" in Font, the measure of every row height.
int WgHeight(const TFont* Font) { return rix::FontLineHeight(Font); }
} // namespace

// ---- The pass ------------------------------------------------------------------

void TRixCustomDBGrid::InternalLayout() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  FLayoutPassCount = CheckedAdd(FLayoutPassCount, 1);
  // 1. A layout that runs for any reason absorbs a deferred one.
  FLayoutPending = false;
  if (HandleAllocated()) KillMessage(WindowHandle(), CM_DEFERLAYOUT);
  // 2.
  CheckForPassthroughs();
  // 3.
  FIndicatorOffset = FOptions.Contains(rixdgIndicator) ? 1 : 0;
  // 4.
  FDataLink->ClearMapping();
  if (FDataLink->Active()) DefineFieldMap();
  // 5.
  TDataSet* ds = FDataLink->DataSet();
  const bool objectView = ds != nullptr && ds->ObjectView();
  SetDoubleBuffered(objectView);
  // 6.
  ResetColumnFieldBindings();
  // 7.
  FVisibleColumns->Clear();
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Showing()) FVisibleColumns->Add(FColumns->Items(i));
  // 8. The base grid raises for fixed columns not below its column count:
  // lower them before the count, raise them after it.
  const int count = FColumns->Count();
  FColsPerRow = std::max(count / FRowsPerRecord, 1);
  if (TCustomGrid::FixedCols() > FIndicatorOffset) TCustomGrid::SetFixedCols(FIndicatorOffset);
  SetColCount(CheckedAdd(FColsPerRow, static_cast<int>(FIndicatorOffset)));
  TCustomGrid::SetFixedCols(FIndicatorOffset);
  // 9.
  SetFixedCols_(FFixedCols);
  // 10.
  int titleOffset = 0;
  if (FOptions.Contains(rixdgTitles)) {
    titleOffset = std::min(count, FRowsPerRecord);
    if (objectView)
      for (int i = 0; i < count; ++i) {
        TRixColumn* c = FColumns->Items(i);
        if (c->Showing() && c->Depth() >= titleOffset) titleOffset = CheckedAdd(c->Depth(), 1);
      }
  }
  FTitleOffset = rix::CheckedCast<std::uint8_t>(titleOffset);
  // 11.
  UpdateRowCount();
  // 12.
  MeasureTitleHeights();
  // 13.
  SetColumnAttributes();
  // 14.
  SetColumnBindings();
  // 15.
  UpdateActive();
  Invalidate();
}

// Default columns placed after stored ones are kept; a stored column after a
// default one means the set was edited by hand, and the defaults go.
void TRixCustomDBGrid::CheckForPassthroughs() {
  bool seenPassthrough = false;
  for (int i = 0; i < FColumns->Count(); ++i) {
    if (!FColumns->Items(i)->IsStored()) {
      seenPassthrough = true;
    } else if (seenPassthrough) {
      for (int j = FColumns->Count() - 1; j >= 0; --j)
        if (!FColumns->Items(j)->IsStored()) delete FColumns->Items(j);
      return;
    }
  }
}

void TRixCustomDBGrid::ResetColumnFieldBindings() {
  if (FColumns->State() == csCustomized) {
    // Each column looks its field up again by name on next use.
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetField(nullptr);
    return;
  }
  if (!FDataLink->Active() && FDataLink->DefaultFields()) {
    FColumns->Clear();
  } else {
    std::unordered_set<const TField*> mapped;
    for (int j = 0; j < FDataLink->FieldCount(); ++j)
      if (TField* f = FDataLink->Fields(j)) mapped.insert(f);
    for (int i = FColumns->Count() - 1; i >= 0; --i) {
      TRixColumn* c = FColumns->Items(i);
      if (c->FieldRef() == nullptr || mapped.count(c->FieldRef()) == 0) delete c;
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
}

// Every binding starts from scratch, so that a column bound by an earlier
// pass and unbound since shows its own field again, and no reference to a
// column deleted since survives. A column bound to the left binds like any
// other, the last column of the first record row included.
void TRixCustomDBGrid::SetColumnBindings() {
  const int count = FColumns->Count();
  for (int i = 0; i < count; ++i) {
    TRixColumn* c = FColumns->Items(i);
    c->FDrawColumn = c;
    c->FDrawEndColumn = c;
  }
  auto bind = [](TRixColumn* C, TRixColumn* Anchor) {
    C->FDrawColumn = Anchor;
    Anchor->FDrawEndColumn = C;
  };
  for (int i = 0; i < count; ++i) {
    TRixColumn* c = FColumns->Items(i);
    const int r = i / FColsPerRow;
    const int p = i % FColsPerRow;
    switch (c->BindColumn()) {
      case btUp:
        for (int above = r - 1; above >= 0; --above) {
          TRixColumn* a = FColumns->Items(CheckedAdd(CheckedMul(above, FColsPerRow), p));
          if (a->BindColumn() == btNone) {
            bind(c, a);
            break;
          }
        }
        break;
      case btLeft:
        for (int j = i - 1; j >= r * FColsPerRow; --j) {
          TRixColumn* a = FColumns->Items(j);
          if (a->BindColumn() == btNone) {
            bind(c, a);
            break;
          }
        }
        break;
      default:
        break;
    }
  }
}

// ---- Rows ------------------------------------------------------------------------

// The buffer window holds the records that fit whole, and at least one: a
// window shorter than one record still has the current record, clipped.
// This is a deliberate choice over an empty window: with no record buffered
// the link has no active record, so the current cell, the editor and every
// key would work on nothing while the dataset still has a current record;
// one clipped record keeps all of them meaningful.
void TRixCustomDBGrid::UpdateRowCount() {
  const int oldRowCount = RowCount();
  if (RowCount() <= FTitleOffset) SetRowCount(FTitleOffset + 1);
  SetFixedRows(FFixedRows < RowCount() ? std::max<int>(FFixedRows, FTitleOffset) : FTitleOffset);
  if (FDataLink->Active() && FDataLink->RecordCount() != 0 && HandleAllocated()) {
    SetRowCount(1000);
    FDataLink->SetBufferCount(VisibleRowCount());
    FDataLink->SetBufferCount(std::max(std::min(FDataLink->RecordCount(), VisibleRowCount() / FRowsPerRecord), 1));
    SetRowCount(CheckedAdd(CheckedMul(FDataLink->BufferCount(), FRowsPerRecord), static_cast<int>(FTitleOffset)));
    if (FOptions.Contains(rixdgRowSelect)) SetTopRow(FixedRows());
    UpdateActive();
  } else {
    SetRowCount(FTitleOffset + 1);
  }
  if (RowCount() != oldRowCount) Invalidate();
}

// The buffer window was sized with the row heights the pass found; when
// measuring changes them, it is sized again so that the window fills.
void TRixCustomDBGrid::MeasureTitleHeights() {
  const int oldDefault = DefaultRowHeight();
  std::vector<int> oldTitles;
  for (int t = 0; t < FTitleOffset; ++t) oldTitles.push_back(RowHeights(t));

  int k = WgHeight(Font()) + 3;
  if (FOptions.Contains(rixdgRowLines)) k = CheckedAdd(k, GridLineWidth());
  if (FDataRowHeight == 0) SetDefaultRowHeight(k);

  if (FOptions.Contains(rixdgTitles)) {
    std::vector<int> heights(static_cast<size_t>(FTitleOffset) + 1, 0);
    // Titles mostly share one font: measure each distinct font once.
    std::vector<std::pair<const TFont*, int>> measured;
    auto height = [&](const TFont* F) {
      for (const auto& [font, h] : measured)
        if (*font == *F) return h;
      const int h = WgHeight(F);
      measured.emplace_back(F, h);
      return h;
    };
    for (int i = 0; i < FColumns->Count(); ++i) {
      const int t = i / FColsPerRow;
      if (t > FTitleOffset) break;
      TRixColumn* c = FColumns->Items(i);
      int h = height(c->Title()->Font()) + 4;
      if (c->Expandable()) h = std::max(h, GetSystemMetrics(SM_CYHSCROLL));
      heights[static_cast<size_t>(t)] = std::max(heights[static_cast<size_t>(t)], h);
    }
    for (int t = 0; t < FTitleOffset; ++t) {
      int& h = heights[static_cast<size_t>(t)];
      if (h == 0) h = height(FTitleFont) + 4;
      SetRowHeights(t, h);
    }
  }

  bool changed = DefaultRowHeight() != oldDefault;
  for (int t = 0; t < FTitleOffset && !changed; ++t) changed = RowHeights(t) != oldTitles[static_cast<size_t>(t)];
  if (changed) UpdateRowCount();
}

void TRixCustomDBGrid::SetColumnAttributes() {
  const int n = std::min(FColsPerRow, FColumns->Count());
  for (int i = 0; i < n; ++i) {
    TRixColumn* c = FColumns->Items(i);
    const int raw = i + FIndicatorOffset;
    TField* f = c->Field();
    SetTabStops(raw, c->Showing() && !c->ReadOnly() && FDataLink->Active() && f != nullptr &&
                         f->FieldKind() != fkCalculated && !ReadOnlyField(f));
    SetColWidths(raw, c->Width());
  }
  if (FOptions.Contains(rixdgIndicator)) SetColWidths(0, IndicatorWidth);
}

// ---- Setters ---------------------------------------------------------------------

// Errors while re-applying are swallowed and the old count stays.
void TRixCustomDBGrid::SetFixedCols_(int Value) {
  const int old = FFixedCols;
  {
    TUpdateLockGuard lock(this);
    try {
      const int selected = SelectedIndex();
      FFixedCols = Value;
      LinkActive(FDataLink->Active());
      SetSelectedIndex(selected);
    } catch (const Exception&) {
      FFixedCols = old;
    }
  }
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

// A layout that fails for the new value (more title rows than fit a byte)
// leaves the grid as it was.
void TRixCustomDBGrid::SetRowsPerRecord(int Value) {
  if (Value < 1 || Value == FRowsPerRecord) return;
  if (ComponentState().Contains(csLoading)) {
    FRowsPerRecord = Value;
    return;
  }
  if (Value > FColumns->Count()) InvalidOp(SRowsPerRecordTooBig);
  const int oldValue = FRowsPerRecord, oldOffset = FOffset;
  FRowsPerRecord = Value;
  FOffset = 0;
  try {
    LayoutChanged();
  } catch (...) {
    FRowsPerRecord = oldValue;
    FOffset = oldOffset;
    LayoutChanged();
    throw;
  }
  SetFixedRows(std::max<int>(FFixedRows, FTitleOffset));
}

// A fixed height sizes the buffer window again, so that it still holds the
// records that fit whole.
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
    if (Value != 0) {
      SetDefaultRowHeight(Value);
      if (FUpdateLock == 0) UpdateRowCount();
    } else {
      LayoutChanged();
      Invalidate();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TRixCustomDBGrid::SetRecordIndex() {
  TDataSet* ds = FDataLink->DataSet();
  FRecordIndexDue = FDataLink->Active() && ds != nullptr && ds->RecordCountPending();
  if (!FRecordIndexDue) FRecordIndex = FDataLink->Active() && ds != nullptr ? std::max(ds->RecNo() - 1, -1) : 0;
}

int TRixCustomDBGrid::RecordIndex() const {
  if (FRecordIndexDue) {
    FRecordIndexDue = false;
    TDataSet* ds = FDataLink->DataSet();
    FRecordIndex = FDataLink->Active() && ds != nullptr ? std::max(ds->RecNo() - 1, -1) : 0;
  }
  return FRecordIndex;
}

// ---- Size hooks of the base grid -----------------------------------------------

// Only the columns of the first record row have grid columns of their own.
void TRixCustomDBGrid::ColWidthsChanged() {
  TCustomGrid::ColWidthsChanged();
  if (!(FDataLink->Active() || FColumns->State() == csCustomized) || !AcquireLayoutLock()) return;
  try {
    for (int raw = FIndicatorOffset; raw < ColCount() && raw - FIndicatorOffset < FColumns->Count(); ++raw)
      FColumns->Items(raw - FIndicatorOffset)->SetWidth(ColWidths(raw));
  } catch (...) {
    EndLayout();
    throw;
  }
  EndLayout();
}

// Sizing any one data row sizes them all.
void TRixCustomDBGrid::RowHeightsChanged() {
  if (ComponentState().Contains(csDestroying)) return;
  for (int r = FTitleOffset; r < RowCount(); ++r) {
    const int h = RowHeights(r);
    if (h == DefaultRowHeight()) continue;
    SetDataRowHeight(h);
    if (HandleAllocated()) RecreateWnd();
    break;
  }
  TCustomGrid::RowHeightsChanged();
}

// The move is a change of the collection; its notification lays the grid out
// under the layout lock.
void TRixCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
  FromIndex = RawToDataColumn(FromIndex);
  ToIndex = RawToDataColumn(ToIndex);
  const int count = FColumns->Count();
  if (FromIndex >= 0 && FromIndex < count && ToIndex >= 0 && ToIndex < count) {
    FColumns->Items(FromIndex)->SetIndex(ToIndex);
    LayoutChanged();
  }
  if (FOnColumnMoved) FOnColumnMoved(this, FromIndex, ToIndex);
}
