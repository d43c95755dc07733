// TRixCustomDBGrid: moving the current cell between columns and record rows
// (MoveCol), moving the dataset by records with the keyboard selection, and
// the selected column.
//
// FOffset, the record row of the current cell, is written before a record
// change (0 into the next record, RowsPerRecord - 1 into the prior one), so
// that the dataset's scroll notification puts Row on that row of the new
// record. When the dataset does not move after all (first or last record, a
// refused move), FOffset is taken back from Row: the two never disagree, so
// the selected column is always the one under the current cell.
#include "grid/RixDBGrid.h"

#include "platform/core/Checked.h"
#include "platform/core/ScopedValue.h"

#include <algorithm>

using rix::CheckedAdd;
using rix::CheckedMul;
using rix::CheckedSub;

TRixColumn* TRixCustomDBGrid::ColumnOrNil(int Index) const {
  if (FColumns == nullptr || Index < 0 || Index >= FColumns->Count()) return nullptr;
  return FColumns->Items(Index);
}

TRixColumn* TRixCustomDBGrid::SelectedDrawColumn() const {
  const int i = SelectedIndex();
  return i < 0 ? nullptr : GetColumns(i);
}

void TRixCustomDBGrid::ColEnter() {
  UpdateIme();
  if (FOnColEnter) FOnColEnter(this);
}

bool TRixCustomDBGrid::ColExitAllows(int OldCol, int OldRow) {
  if (FInColExit) return true;
  {
    rix::TScopedValue inColExit(FInColExit, true);
    ColExit();
  }
  return Col() == OldCol && Row() == OldRow;
}

// The common end of both moves: the fixed columns stay in view, the editor
// follows the new cell's merged rectangle, and OnColEnter fires.
void TRixCustomDBGrid::FinishColumnMove() {
  const int floor = CheckedAdd(FFixedCols, static_cast<int>(FIndicatorOffset));
  if (floor > LeftCol() && floor < ColCount()) SetLeftCol(floor);
  if (!ComponentState().Contains(csLoading)) Invalidate();
  FSelectedRect = CalcRect(CheckedColumn(SelectedIndex()), Row());
  ColEnter();
}

namespace {
// A grid column the move passes over: hidden, bound to its left neighbour,
// or showing no column at all (a record row shorter than the others).
bool SkipsOver(const TRixCustomDBGrid* Grid, int RawCol, TRixColumn* Column) {
  return Grid->ColWidths(RawCol) <= 0 || Column == nullptr || Column->BindColumn() == btLeft;
}
} // namespace

void TRixCustomDBGrid::MoveCol(int RawCol, int Direction) {
  FDataLink->UpdateData();
  const int first = FIndicatorOffset, last = ColCount() - 1;
  if (last < first) return;
  RawCol = std::clamp(RawCol, first, last);
  if (Direction != 0) {
    TRixColumn* current = ColumnOrNil(RawToDataColumn(Col()));
    if (Direction < 0 && current != nullptr && current->BindColumn() == btLeft) RawCol = CheckedAdd(RawCol, Direction);
    while (RawCol >= first && RawCol <= last && SkipsOver(this, RawCol, ColumnOrNil(RawToDataColumn(RawCol))))
      RawCol = CheckedAdd(RawCol, Direction);
    if (RawCol < first || RawCol > last) return;
  }
  const int oldCol = Col();
  if (RawCol == oldCol) return;
  if (!ColExitAllows(oldCol, Row())) return;
  if (!FOptions.Contains(rixdgAlwaysShowEditor)) HideEditor();
  SetCol(RawCol);
  FinishColumnMove();
}

void TRixCustomDBGrid::MoveCol(int RawCol, int Direction, int RawRow, int RowDirection, TShiftState Shift) {
  FDataLink->UpdateData();
  const int first = FIndicatorOffset, last = ColCount() - 1;
  if (last < first) return;
  RawCol = std::clamp(RawCol, first, last);
  if (Direction != 0) {
    TRixColumn* target = ColumnOrNil(RawToDataColumn(RawCol));
    if (Direction < 0 && target != nullptr && target->BindColumn() == btLeft) RawCol = CheckedAdd(RawCol, Direction);
    while (RawCol >= first && RawCol <= last &&
           SkipsOver(this, RawCol, ColumnOrNil(RawToDataColumn(RawCol, RawRow))))
      RawCol = CheckedAdd(RawCol, Direction);
    if (RawCol < first || RawCol > last) return;
  }
  if (RowDirection != 0) {
    // Record slots count from the first data row, whatever the height of
    // the title band; a title row is no record (-1).
    const int startSlot = RecordSlot(RawRow);
    int slot = startSlot;
    while (slot == startSlot) {
      TRixColumn* c = ColumnOrNil(RawToDataColumn(RawCol, RawRow));
      if (c == nullptr || c->BindColumn() != btUp) break;
      RawRow = CheckedAdd(RawRow, RowDirection);
      slot = RecordSlot(RawRow);
    }
    if (slot != startSlot) {
      // Leaving the record moves the dataset; the scroll notification puts
      // Row on the entered record's row. A dataset that stays where it was
      // leaves the cell as it is.
      const bool entered = RowDirection > 0 ? NextRecord(Shift) : PriorRecord(Shift);
      if (!entered) return;
      RawRow = Row();
    }
  }
  if (RawRow < FTitleOffset) RawRow = FTitleOffset;
  if (RawRow > RowCount() - 1) RawRow = std::max(CheckedSub(RowCount(), FRowsPerRecord), static_cast<int>(FTitleOffset));
  const int oldCol = Col(), oldRow = Row();
  if (RawCol == oldCol && RawRow == oldRow) return;
  if (!ColExitAllows(oldCol, oldRow)) return;
  if (!FOptions.Contains(rixdgAlwaysShowEditor)) HideEditor();
  SetCol(RawCol);
  if (RawRow != oldRow) {
    SetRow(RawRow);
    SetOffset(Row());
  }
  FinishColumnMove();
}

// ---- Records, with the keyboard selection ---------------------------------------

void TRixCustomDBGrid::ClearSelection() {
  if (!FOptions.Contains(rixdgMultiSelect)) return;
  FBookmarks->Clear();
  FSelecting = false;
}

// Returns the records the dataset moved.
int TRixCustomDBGrid::DoSelection(bool Select, int Direction, TShiftState Shift) {
  TUpdateLockGuard lock(this);
  bool addAfter = false;
  if (FOptions.Contains(rixdgMultiSelect) && FDataLink->Active()) {
    if (Select && Shift.Contains(ssShift)) {
      if (!FSelecting) {
        FSelectionAnchor = FBookmarks->CurrentRow();
        FBookmarks->SetCurrentRowSelected(true);
        FSelecting = true;
        addAfter = true;
      } else {
        addAfter = FBookmarks->Compare(FBookmarks->CurrentRow(), FSelectionAnchor) != -Direction;
        if (!addAfter) FBookmarks->SetCurrentRowSelected(false);
      }
    } else {
      ClearSelection();
    }
  }
  const int moved = FDataLink->MoveBy(Direction);
  if (addAfter) FBookmarks->SetCurrentRowSelected(true);
  return moved;
}

namespace {
bool UntouchedInsert(TDataSet* DataSet, const TRixGridDataLink* Link) {
  return DataSet->State() == dsInsert && !DataSet->Modified() && !Link->IsModified();
}
} // namespace

// One grid row down or up inside the current record.
void TRixCustomDBGrid::StepRowInRecord(int Direction, bool Eve, TShiftState Shift) {
  if (FDataLink->DataSet()->State() == dsInsert && FDataLink->IsModified()) UpdateData();
  const int target = CheckedAdd(Row(), Direction);
  if (Eve) {
    MoveCol(Col(), 0, target, Direction, Shift);
    return;
  }
  // The cell text typed so far belongs to the field of this row; it is
  // written before Row leaves it.
  FDataLink->UpdateData();
  SetRow(target);
  SetOffset(Row());
}

void TRixCustomDBGrid::NextRow(bool Select, bool Eve, TShiftState Shift) {
  if (GetOffset(Row()) != FRowsPerRecord - 1)
    StepRowInRecord(1, Eve, Shift);
  else
    NextRecord(Shift, Select);
}

void TRixCustomDBGrid::PriorRow(bool Select, bool Eve, TShiftState Shift) {
  if (GetOffset(Row()) != 0)
    StepRowInRecord(-1, Eve, Shift);
  else
    PriorRecord(Shift, Select);
}

// Enters the next or prior record on row NewOffset. The offset must be in
// place before the dataset moves, since the scroll notification places Row
// by it; a dataset that does not move (it may still send a scroll notice of
// 0) gets the old offset back, and Row with it.
bool TRixCustomDBGrid::MoveToRecord(int Direction, int NewOffset, TShiftState Shift, bool Select) {
  const int oldOffset = GetOffset(Row());
  FOffset = NewOffset;
  if (DoSelection(Select, Direction, Shift) != 0) return true;
  FOffset = oldOffset;
  UpdateActive();
  return false;
}

bool TRixCustomDBGrid::NextRecord(TShiftState Shift, bool Select) {
  TDataSet* ds = FDataLink->DataSet();
  bool entered = true;
  if (UntouchedInsert(ds, FDataLink)) {
    if (FDataLink->Eof()) return false;
    ds->Cancel();
  } else {
    entered = MoveToRecord(1, 0, Shift, Select);
  }
  if (FDataLink->Eof() && ds->CanModify() && !FReadOnly && FOptions.Contains(rixdgEditing) &&
      FOptions.Contains(rixdgAllowUserToAddRows)) {
    FOffset = 0;
    ds->Append();
    entered = true;
  }
  return entered;
}

bool TRixCustomDBGrid::PriorRecord(TShiftState Shift, bool Select) {
  TDataSet* ds = FDataLink->DataSet();
  if (UntouchedInsert(ds, FDataLink) && FDataLink->Eof()) {
    FOffset = FRowsPerRecord - 1;
    ds->Cancel();
    return true;
  }
  return MoveToRecord(-1, FRowsPerRecord - 1, Shift, Select);
}

// ---- The selected column --------------------------------------------------------

// The current record's first row comes from the link's active record: inside
// a layout pass Row may still belong to the old geometry.
void TRixCustomDBGrid::SetSelectedIndex(int Value) {
  if (FColumns->Count() == 0) return;
  const int firstRow = FDataLink->Active() ? CheckedAdd(CheckedMul(FDataLink->ActiveRecord(), FRowsPerRecord),
                                                        static_cast<int>(FTitleOffset))
                                           : CheckedSub(Row(), FOffset);
  MoveCol(DataToRawColumn(Value), 0, CheckedAdd(Value / FColsPerRow, firstRow), 0, TShiftState{});
  UpdateActive();
}

void TRixCustomDBGrid::SetSelectedField(TField* Value) {
  if (Value == nullptr) return;
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Field() == Value) SetSelectedIndex(i);
}
