// TRixCustomDBGrid: the key table, typed characters, Tab, record insertion
// and deletion from the keyboard, and the mouse wheel.
//
// Vertical keys have two grains: inside a record they move Row; past the
// record's first or last row they move the dataset, and the scroll
// notification brings Row along (GridMoves.cpp).
#include "grid/RixDBGrid.h"

#include "platform/controls/Dialogs.h"
#include "platform/core/Checked.h"

using rix::CheckedAdd;
using rix::CheckedSub;

namespace {
bool IsButtonOrCheck(const TRixColumn* Column) {
  return Column != nullptr && (Column->ButtonStyle() == cbsButton || Column->ButtonStyle() == cbsCheck);
}
} // namespace

bool TRixCustomDBGrid::DeletePrompt() {
  const char* question =
      FBookmarks->Count() > 1 ? dbconsts::SDeleteMultipleRecordsQuestion : dbconsts::SDeleteRecordQuestion;
  if (!FOptions.Contains(rixdgConfirmDelete)) return true;
  return MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}, 0) != mrCancel;
}

void TRixCustomDBGrid::Tab(bool GoForward, TShiftState Shift) {
  TUpdateLockGuard lock(this);
  const int start = Col();
  int aCol = start;
  // Coming round to the starting column ends the search, unless the turn
  // left the cell on a record row without a column: then it goes on, a
  // record's worth of rows at most (the dataset may not move any further).
  int emptyTurns = 0;
  for (;;) {
    aCol = GoForward ? CheckedAdd(aCol, 1) : CheckedSub(aCol, 1);
    if (aCol >= ColCount()) {
      NextRow(false, false, Shift);
      aCol = FIndicatorOffset;
    } else if (aCol < FIndicatorOffset) {
      PriorRow(false, false, Shift);
      aCol = ColCount() - 1;
    }
    if (aCol == start) {
      if (ColumnOrNil(RawToDataColumn(aCol)) != nullptr || ++emptyTurns > FRowsPerRecord) return;
      continue;
    }
    TRixColumn* column = ColumnOrNil(RawToDataColumn(aCol));
    if (column != nullptr && column->TabStop() && column->BindColumn() != btLeft) {
      MoveCol(aCol, 0);
      return;
    }
  }
}

void TRixCustomDBGrid::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (OnKeyDown()) {
    const unsigned short original = Key;
    OnKeyDown()(this, Key, Shift);
    // A handler that changed the key sees the grid repainted before the new
    // key acts. Only painting runs here: pumping messages could run queued
    // input or a deferred layout, or free the grid, in the middle of a key.
    if (Key != original) {
      Invalidate();
      Update();
    }
  }
  if (!FDataLink->Active() || !CanGridAcceptKey(Key, Shift)) return;
  if (UseRightToLeftAlignment()) {
    if (Key == VK_LEFT)
      Key = VK_RIGHT;
    else if (Key == VK_RIGHT)
      Key = VK_LEFT;
  }
  TDataSet* ds = FDataLink->DataSet();
  const bool rowSelect = FOptions.Contains(rixdgRowSelect);
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
    case VK_PRIOR:
    case VK_UP:
      ClearSelection();
      FDataLink->MoveBy(-FDataLink->ActiveRecord());
      break;
    case VK_NEXT:
    case VK_DOWN:
      ClearSelection();
      FDataLink->MoveBy(CheckedSub(CheckedSub(FDataLink->BufferCount(), FDataLink->ActiveRecord()), 1));
      break;
    case VK_HOME:
      ClearSelection();
      ds->First();
      break;
    case VK_END:
      ClearSelection();
      ds->Last();
      break;
    case VK_LEFT: MoveCol(FIndicatorOffset, 1); break;
    case VK_RIGHT: MoveCol(ColCount() - 1, -1); break;
    case VK_DELETE:
      if (!FReadOnly && !ds->IsEmpty() && FOptions.Contains(rixdgAllowUserToDeleteRows) && ds->CanModify() &&
          DeletePrompt()) {
        if (FBookmarks->Count() > 0)
          FBookmarks->Delete();
        else
          ds->Delete();
      }
      break;
    default: break;
    }
  } else {
    const bool singleColumn = ColCount() == FIndicatorOffset + 1;
    switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) Tab(!Shift.Contains(ssShift), Shift);
      break;
    case VK_RETURN:
      if (FCRtoNextCol && !Shift.Contains(ssAlt)) {
        Tab(!Shift.Contains(ssShift), Shift);
        Key = 0;
      }
      break;
    case VK_ESCAPE:
      if (SysLocale().PriLangID == LANG_KOREAN) FIsESCKey = true;
      FDataLink->Reset();
      ClearSelection();
      if (!FOptions.Contains(rixdgAlwaysShowEditor)) HideEditor();
      break;
    case VK_PRIOR:
      ClearSelection();
      FDataLink->MoveBy(-VisibleRowCount());
      break;
    case VK_NEXT:
      ClearSelection();
      FDataLink->MoveBy(VisibleRowCount());
      break;
    case VK_HOME:
      if (singleColumn || rowSelect) {
        ClearSelection();
        ds->First();
      } else {
        MoveCol(FIndicatorOffset, 1);
      }
      break;
    case VK_END:
      if (singleColumn || rowSelect) {
        ClearSelection();
        ds->Last();
      } else {
        MoveCol(ColCount() - 1, -1);
      }
      break;
    case VK_UP:
      if (rowSelect)
        FDataLink->MoveBy(-1);
      else
        PriorRow(true, true, Shift);
      break;
    case VK_DOWN:
      if (rowSelect)
        FDataLink->MoveBy(1);
      else
        NextRow(true, true, Shift);
      break;
    case VK_LEFT:
      if (rowSelect)
        PriorRow(false, true, Shift);
      else
        MoveCol(CheckedSub(Col(), 1), -1);
      break;
    case VK_RIGHT:
      if (rowSelect)
        NextRow(false, true, Shift);
      else
        MoveCol(CheckedAdd(Col(), 1), 1);
      break;
    case VK_INSERT:
      if (ds->CanModify() && !FReadOnly && FOptions.Contains(rixdgEditing)) {
        ClearSelection();
        ds->Insert();
      }
      break;
    case VK_F2: SetEditorMode(true); break;
    default: break;
    }
  }
  // Button and check-box cells are worked by Space alone; no other key of
  // the character range reaches anything else there.
  if (TRixColumn* column = SelectedDrawColumn(); IsButtonOrCheck(column) && Key >= 0x20 && Key <= 0xFF) {
    if (Key == VK_SPACE) ButtonCheckBoxClick(column);
    Key = 0;
  }
}

void TRixCustomDBGrid::KeyPress(char32_t& Key) {
  FIsESCKey = false;
  if (!FOptions.Contains(rixdgAlwaysShowEditor) && Key == U'\r') FDataLink->UpdateData();
  TCustomGrid::KeyPress(Key);
  if (!IsBlobLikeField(SelectedField())) return;
  HideEditor();
  switch (Key) {
  case 3: CopyToClipBoardBitmap(); break;
  case 22: PasteFromClipBoardBitmap(); break;
  case 24: CutToClipBoardBitmap(); break;
  default: break;
  }
}

void TRixCustomDBGrid::WMChar(TMessage& M) {
  if (IsButtonOrCheck(SelectedDrawColumn())) return;
  TCustomGrid::WMChar(M);
}

// ---- The wheel ------------------------------------------------------------------

// One notch is one arrow key: the key handler sees it, Shift extends the
// selection and Ctrl jumps within the buffer.
void TRixCustomDBGrid::WMMouseWheel(TMessage& M) {
  const auto delta = static_cast<std::int32_t>(static_cast<std::uint32_t>(M.WParam));
  unsigned short key = delta > 0 ? VK_UP : VK_DOWN;
  KeyDown(key, KeysToShiftState(static_cast<WPARAM>(LoWord(M.WParam))));
  M.Result = 1;
}

// Reached by another route than the grid's own wheel message (the editor
// passing its wheel on, for instance). Without a handler that takes it, a
// notch acts as the arrow key, so that the dataset moves with the row and an
// open editor never writes into another record.
bool TRixCustomDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
  unsigned short key = VK_DOWN;
  KeyDown(key, Shift);
  SetOffset(Row());
  return true;
}

bool TRixCustomDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
  unsigned short key = VK_UP;
  KeyDown(key, Shift);
  SetOffset(Row());
  return true;
}
