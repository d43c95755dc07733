// TRixCustomDBGrid: the current row on the dataset's active record, the
// reaction to dataset scrolling, and the vertical scroll bar, which shows the
// dataset position instead of the grid's.
//
// Scroll bar modes. A sequenced dataset (record numbers are exact and cheap)
// gets a proportional bar: range 1 .. RecordCount + page - 1, position RecNo.
// Any other dataset gets a five-position bar: 0 on the first record, 4 on the
// last, 2 between; dropping the thumb at 1 or 3 pages up or down.
#include "grid/RixDBGrid.h"

#include "platform/core/Checked.h"

#include <algorithm>
#include <cstdlib>

using rix::CheckedAdd;
using rix::CheckedMul;

// The row is clamped into the data rows: emptying the dataset while the
// current cell sat on a lower row of its record leaves a single data row.
void TRixCustomDBGrid::UpdateActive() {
  if (!FDataLink->Active() || !HandleAllocated() || ComponentState().Contains(csLoading)) return;
  if (RowCount() <= FTitleOffset) return;
  FOffset = std::clamp(FOffset, 0, FRowsPerRecord - 1);
  const int firstRow =
      CheckedAdd(CheckedMul(FDataLink->ActiveRecord(), FRowsPerRecord), static_cast<int>(FTitleOffset));
  int newRow = CheckedAdd(firstRow, FOffset);
  if (newRow > RowCount() - 1) {
    // The record has fewer rows than the offset (one empty data row): the
    // offset follows. A record not yet in the rows (the row count is about
    // to grow) keeps it.
    newRow = RowCount() - 1;
    if (firstRow <= newRow) FOffset = newRow - firstRow;
  }
  if (newRow != Row()) {
    if (!FOptions.Contains(rixdgAlwaysShowEditor)) HideEditor();
    MoveColRow(std::min(Col(), ColCount() - 1), newRow, false, false);
    InvalidateEditor();
  }
  TField* selected = SelectedField();
  if (selected != nullptr && selected->EditText() != FEditText) InvalidateEditor();
}

namespace {
// Shows the in-place editor again at the end of a scope when it is always
// shown, also when the scope is left by an exception.
class TEditorRestorer {
public:
  TEditorRestorer(TCustomGrid* Grid, bool Restore) : FGrid(Grid), FRestore(Restore) {}
  ~TEditorRestorer() {
    if (FRestore) FGrid->ShowEditor();
  }
  TEditorRestorer(const TEditorRestorer&) = delete;
  TEditorRestorer& operator=(const TEditorRestorer&) = delete;

private:
  TCustomGrid* FGrid;
  bool FRestore;
};
} // namespace

void TRixCustomDBGrid::Scroll(int Distance) {
  if (!HandleAllocated()) return;
  const TRect oldRect = BoxRect(0, Row(), ColCount() - 1, Row());
  if (FDataLink->ActiveRecord() >= RowCount() - FTitleOffset) UpdateRowCount();
  UpdateScrollBar();
  UpdateActive();
  SetRecordIndex();
  const TRect newRect = BoxRect(0, Row(), ColCount() - 1, Row());
  ValidateRect(oldRect);
  InvalidateRect(oldRect, false);
  InvalidateRect(newRect, false);
  if (Distance != 0) {
    HideEditor();
    TEditorRestorer restorer(this, FOptions.Contains(rixdgAlwaysShowEditor));
    if (std::abs(Distance) > VisibleRowCount()) {
      Invalidate();
      return;
    }
    int rowHeight = DefaultRowHeight();
    if (FOptions.Contains(rixdgRowLines)) rowHeight = CheckedAdd(rowHeight, GridLineWidth());
    if (FOptions.Contains(rixdgIndicator)) InvalidateRow(FSelRow);
    // A record is RowsPerRecord rows high.
    const TRect area = BoxRect(0, FTitleOffset, ColCount() - 1, 1000);
    ScrollWindowEx(0, CheckedMul(CheckedMul(-rowHeight, FRowsPerRecord), Distance), &area, &area, SW_INVALIDATE);
    if (FOptions.Contains(rixdgIndicator)) InvalidateRow(Row());
    Invalidate();
  }
  if (FUpdateLock == 0) Update();
}

void TRixCustomDBGrid::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  if (!FDataLink->Active()) {
    KillTimer(WindowHandle(), CountTimer);
    return;
  }
  TDataSet* ds = FDataLink->DataSet();
  const TScrollInfo old = GetScrollInfo(SB_VERT);
  TScrollInfo info = old;
  if (ds->IsSequenced()) {
    // Opening a large table need not wait for its count: the bar starts
    // from the dataset's estimate and settles on a timer tick (or any
    // later update) once the count is in. Settling moves only the thumb.
    const bool pending = ds->RecordCountPending();
    if (pending)
      SetTimer(WindowHandle(), CountTimer, CountTimerElapse);
    else
      KillTimer(WindowHandle(), CountTimer);
    info.Min = 1;
    info.Page = static_cast<unsigned>(std::max(VisibleRowCount(), 0));
    info.Max = CheckedAdd(pending ? ds->EstimatedRecordCount() : ds->RecordCount(), static_cast<int>(info.Page) - 1);
    const TDataSetState state = ds->State();
    if (state == dsInactive || state == dsBrowse || state == dsEdit)
      info.Pos = pending ? ds->EstimatedRecNo() : ds->RecNo();
  } else {
    info.Min = 0;
    info.Max = 4;
    info.Page = 0;
    info.Pos = FDataLink->BOF() ? 0 : FDataLink->Eof() ? 4 : 2;
  }
  if (info.Min != old.Min || info.Max != old.Max || info.Page != old.Page || info.Pos != old.Pos)
    SetScrollInfo(SB_VERT, info, true);
}

void TRixCustomDBGrid::WMVScroll(TMessage& M) {
  if (!AcquireFocus() || !FDataLink->Active()) return;
  TDataSet* ds = FDataLink->DataSet();
  const int code = LoWord(M.WParam);
  switch (code) {
    case SB_LINEUP: FDataLink->MoveBy(-FDataLink->ActiveRecord() - 1); break;
    case SB_LINEDOWN: FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord()); break;
    case SB_PAGEUP: FDataLink->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: FDataLink->MoveBy(VisibleRowCount()); break;
    case SB_THUMBPOSITION:
      if (ds->IsSequenced()) {
        const int track = GetScrollInfo(SB_VERT).TrackPos;
        if (track <= 1)
          ds->First();
        else if (track >= ds->RecordCount())
          ds->Last();
        else
          ds->SetRecNo(track);
      } else {
        switch (static_cast<short>(HiWord(M.WParam))) {
          case 0: ds->First(); break;
          case 1: FDataLink->MoveBy(-VisibleRowCount()); break;
          case 3: FDataLink->MoveBy(VisibleRowCount()); break;
          case 4: ds->Last(); break;
          default: break;
        }
      }
      break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    default: break;  // SB_THUMBTRACK: no live tracking; SB_ENDSCROLL
  }
}

void TRixCustomDBGrid::WMHScroll(TMessage& M) {
  TCustomGrid::WMHScroll(M);
  Invalidate();
}

void TRixCustomDBGrid::TopLeftChanged() {
  InvalidateTitles();
  TCustomGrid::TopLeftChanged();
}

void TRixCustomDBGrid::TimedScroll(TGridScrollDirection Direction) {
  if (!FDataLink->Active()) return;
  if (Direction.Contains(sdUp)) {
    FDataLink->MoveBy(-FDataLink->ActiveRecord() - 1);
    Direction = Direction - sdUp;
  }
  if (Direction.Contains(sdDown)) {
    FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
    Direction = Direction - sdDown;
  }
  if (!Direction.Empty()) TCustomGrid::TimedScroll(Direction);
}
