// TCustomGrid: construction, the cell matrix and its extents, the current
// cell and the top-left cell, invalidation and painting.
#include "platform/controls/Grids.h"

#include "platform/controls/InplaceEdit.h"
#include "platform/core/Checked.h"

#include <algorithm>

namespace {
const char* SIndexOutOfRange = "Grid index out of range";
const char* SFixedColTooBig = "Fixed column count must be less than column count";
const char* SFixedRowTooBig = "Fixed row count must be less than row count";

[[noreturn]] void InvalidOp(const char* Msg) { throw EInvalidGridOperation(Msg); }

void MoveExtent(std::vector<int>& Extents, int FromIndex, int ToIndex) {
  if (Extents.empty()) return;
  int v = Extents[static_cast<size_t>(FromIndex)];
  Extents.erase(Extents.begin() + FromIndex);
  Extents.insert(Extents.begin() + ToIndex, v);
}

void MoveExtent(std::vector<char>& Extents, int FromIndex, int ToIndex) {
  if (Extents.empty()) return;
  char v = Extents[static_cast<size_t>(FromIndex)];
  Extents.erase(Extents.begin() + FromIndex);
  Extents.insert(Extents.begin() + ToIndex, v);
}

void MoveAdjust(int& CellPos, int FromIndex, int ToIndex) {
  if (CellPos == FromIndex) {
    CellPos = ToIndex;
    return;
  }
  int lo = std::min(FromIndex, ToIndex), hi = std::max(FromIndex, ToIndex);
  if (CellPos >= lo && CellPos <= hi) CellPos += FromIndex > ToIndex ? 1 : -1;
}
} // namespace

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
  FCanEditModify = true;
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetBounds(Left(), Top(), FColCount * FDefaultColWidth, FRowCount * FDefaultRowHeight);
  Initialize();
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::BeforeDestruction() {
  if (FGridState != gsNormal && HandleAllocated()) KillTimer(WindowHandle(), 1);
  TCustomControl::BeforeDestruction();
  FInplaceEdit = nullptr;
}

void TCustomGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FInplaceEdit) {
    FInplaceEdit = nullptr;
    FInplaceCol = FInplaceRow = -1;
  }
}

int TCustomGrid::BorderEdge() const { return FBorderStyle == bsSingle ? GetSystemMetrics(SM_CXEDGE) : 0; }

void TCustomGrid::Initialize() {
  FTopLeft = {FFixedCols, FFixedRows};
  FCurrent = FTopLeft;
  FAnchor = FCurrent;
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

// ---- Matrix -------------------------------------------------------------------

void TCustomGrid::SetColCount(int Value) {
  if (FColCount == Value) return;
  if (Value < 1) Value = 1;
  if (Value <= FFixedCols) SetFixedCols(Value - 1);
  ChangeSize(Value, FRowCount);
  if (FOptions.Contains(goRowSelect)) {
    FAnchor.X = FColCount - 1;
    Invalidate();
  }
}

void TCustomGrid::SetRowCount(int Value) {
  if (FRowCount == Value) return;
  if (Value < 1) Value = 1;
  if (Value <= FFixedRows) SetFixedRows(Value - 1);
  ChangeSize(FColCount, Value);
}

void TCustomGrid::SetFixedCols(int Value) {
  if (FFixedCols == Value) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= FColCount) InvalidOp(SFixedColTooBig);
  FFixedCols = Value;
  Initialize();
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (FFixedRows == Value) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= FRowCount) InvalidOp(SFixedRowTooBig);
  FFixedRows = Value;
  Initialize();
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
  int oldColCount = FColCount, oldRowCount = FRowCount;
  auto doChange = [&] {
    ExtentsChanged();
    if (!FColWidths.empty()) FColWidths.resize(static_cast<size_t>(FColCount), FDefaultColWidth);
    if (!FTabStops.empty()) FTabStops.resize(static_cast<size_t>(FColCount), 1);
    if (!FRowHeights.empty()) FRowHeights.resize(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    // The first scrolling cell must still exist; without scroll bars nothing
    // else would bring it back.
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, FColCount - 1));
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    TGridCoord coord = FCurrent;
    if (Row() >= FRowCount) coord.Y = FRowCount - 1;
    if (Col() >= FColCount) coord.X = FColCount - 1;
    if (FCurrent != coord) MoveCurrent(coord.X, coord.Y, true, true);
    if (FAnchor != coord) MoveAnchor(coord);
    InvalidateGrid();
    UpdateScrollRange();
    SizeChanged(oldColCount, oldRowCount);
  };
  FColCount = NewColCount;
  FRowCount = NewRowCount;
  if (FFixedCols > NewColCount) FFixedCols = NewColCount - 1;
  if (FFixedRows > NewRowCount) FFixedRows = NewRowCount - 1;
  try {
    doChange();
  } catch (...) {
    // Could not change the size (SelectCell refused, say): put it back.
    FColCount = oldColCount;
    FRowCount = oldRowCount;
    doChange();
    throw;
  }
}

void TCustomGrid::SizeChanged(int OldColCount, int OldRowCount) {}

int TCustomGrid::ColWidths(int Index) const {
  if (FColWidths.empty() || Index < 0 || Index >= FColCount) return FDefaultColWidth;
  return FColWidths[static_cast<size_t>(Index)];
}

int TCustomGrid::RowHeights(int Index) const {
  if (FRowHeights.empty() || Index < 0 || Index >= FRowCount) return FDefaultRowHeight;
  return FRowHeights[static_cast<size_t>(Index)];
}

bool TCustomGrid::TabStops(int Index) const {
  if (FTabStops.empty() || Index < 0 || Index >= FColCount) return true;
  return FTabStops[static_cast<size_t>(Index)] != 0;
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
  if (FColWidths.empty()) FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
  int& w = FColWidths[static_cast<size_t>(Index)];
  if (Value == w) return;
  ResizeCol(Index, w, Value);
  w = Value;
  ExtentsChanged();
  ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= FRowCount) InvalidOp(SIndexOutOfRange);
  if (FRowHeights.empty()) FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
  int& h = FRowHeights[static_cast<size_t>(Index)];
  if (Value == h) return;
  ResizeRow(Index, h, Value);
  h = Value;
  ExtentsChanged();
  RowHeightsChanged();
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
  if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
  if (FTabStops.empty()) FTabStops.assign(static_cast<size_t>(FColCount), 1);
  FTabStops[static_cast<size_t>(Index)] = Value ? 1 : 0;
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FColWidths.clear();
  FDefaultColWidth = Value;
  ExtentsChanged();
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FRowHeights.clear();
  FDefaultRowHeight = Value;
  ExtentsChanged();
  RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  if (Value == FGridLineWidth) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  FGridLineWidth = Value;
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::ResizeCol(int Index, int OldSize, int NewSize) { InvalidateGrid(); }
void TCustomGrid::ResizeRow(int Index, int OldSize, int NewSize) { InvalidateGrid(); }

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (FOptions == Value) return;
  if (Value.Contains(goRowSelect)) Value -= goAlwaysShowEditor;
  FOptions = Value;
  if (!FEditorMode) {
    if (Value.Contains(goAlwaysShowEditor)) ShowEditor();
    else HideEditor();
  }
  if (Value.Contains(goRowSelect)) MoveCurrent(Col(), Row(), true, false);
  InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) {
    if (Value != ssBoth && Value != ssHorizontal) SetScrollRange(SB_HORZ, 0, 0);
    if (Value != ssBoth && Value != ssVertical) SetScrollRange(SB_VERT, 0, 0);
  }
  UpdateScrollRange();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
  if (FDefaultDrawing == Value) return;
  FDefaultDrawing = Value;
  // Without default drawing the cells show the erased background wherever
  // DrawCell leaves them alone, so the grid is no longer opaque.
  SetControlStyle(Value ? ControlStyle() + TControlStyle{csOpaque} : ControlStyle() - TControlStyle{csOpaque});
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (FFixedColor == Value) return;
  FFixedColor = Value;
  InvalidateGrid();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
  UpdateScrollRange();
}

// ---- Current cell and top-left cell --------------------------------------------

TGridRect TCustomGrid::Selection() const {
  return {std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y), std::max(FCurrent.X, FAnchor.X),
          std::max(FCurrent.Y, FAnchor.Y)};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  TGridRect oldSel = Selection();
  FAnchor = {Value.Left, Value.Top};
  FCurrent = {Value.Right, Value.Bottom};
  if (FCurrent.X < 0 || FCurrent.Y < 0 || FCurrent.X >= FColCount || FCurrent.Y >= FRowCount || FAnchor.X < 0 ||
      FAnchor.Y < 0 || FAnchor.X >= FColCount || FAnchor.Y >= FRowCount) {
    FAnchor = {oldSel.Left, oldSel.Top};
    FCurrent = {oldSel.Right, oldSel.Bottom};
    InvalidOp(SIndexOutOfRange);
  }
  InvalidateSelection(oldSel);
}

void TCustomGrid::InvalidateSelection(const TGridRect& OldSel) {
  if (!HandleAllocated()) return;
  InvalidateRect(OldSel);
  InvalidateRect(Selection());
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(SIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  TGridRect oldSel = Selection();
  TGridCoord oldCurrent = FCurrent;
  FCurrent = {ACol, ARow};
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
  if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
    FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  }
  if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
  if (Show) ClampInView(FCurrent);
  InvalidateSelection(oldSel);
  InvalidateCell(oldCurrent.X, oldCurrent.Y);
  InvalidateCell(ACol, ARow);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  Click();
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
  if (!FOptions.Contains(goRangeSelect)) {
    MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
    return;
  }
  TGridRect oldSel = Selection();
  FAnchor = NewAnchor;
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  ClampInView(NewAnchor);
  InvalidateSelection(oldSel);
}

void TCustomGrid::SetCol(int Value) {
  if (Col() != Value) FocusCell(Value, Row(), true);
}

void TCustomGrid::SetRow(int Value) {
  if (Row() != Value) FocusCell(Col(), Value, true);
}

void TCustomGrid::SetLeftCol(int Value) {
  if (Value < 0 || Value >= FColCount) InvalidOp(SIndexOutOfRange);
  MoveTopLeft(Value, TopRow());
}

void TCustomGrid::SetTopRow(int Value) {
  if (Value < 0 || Value >= FRowCount) InvalidOp(SIndexOutOfRange);
  MoveTopLeft(LeftCol(), Value);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  Update();
  TGridCoord old = FTopLeft;
  FTopLeft = {ALeft, ATop};
  TopLeftMoved(old);
}

void TCustomGrid::TopLeftMoved(const TGridCoord& OldTopLeft) {
  UpdateScrollPos();
  // The window contents cannot be moved here, so everything that scrolled is
  // painted again.
  InvalidateGrid();
  TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
  if (FEditorMode && FInplaceEdit != nullptr) FInplaceEdit->UpdateLoc(EditorRect());
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
  if (!HandleAllocated()) return;
  TGridDrawInfo di;
  CalcDrawInfo(di);
  if (Coord.X > di.Horz.LastFullVisibleCell || Coord.Y > di.Vert.LastFullVisibleCell || Coord.X < LeftCol() ||
      Coord.Y < TopRow()) {
    TGridCoord oldTopLeft = FTopLeft;
    TGridCoord maxTopLeft = CalcMaxTopLeft(Coord, di);
    Update();
    if (Coord.X < LeftCol()) FTopLeft.X = Coord.X;
    else if (Coord.X > di.Horz.LastFullVisibleCell) FTopLeft.X = maxTopLeft.X;
    if (Coord.Y < TopRow()) FTopLeft.Y = Coord.Y;
    else if (Coord.Y > di.Vert.LastFullVisibleCell) FTopLeft.Y = maxTopLeft.Y;
    TopLeftMoved(oldTopLeft);
  }
}

bool TCustomGrid::SelectCell(int ACol, int ARow) { return true; }

// ---- Moving rows and columns ---------------------------------------------------

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount) InvalidOp(SIndexOutOfRange);
  bool customWidths = !FColWidths.empty();
  MoveExtent(FColWidths, FromIndex, ToIndex);
  ExtentsChanged();
  MoveExtent(FTabStops, FromIndex, ToIndex);
  MoveAdjust(FCurrent.X, FromIndex, ToIndex);
  MoveAdjust(FAnchor.X, FromIndex, ToIndex);
  MoveAdjust(FInplaceCol, FromIndex, ToIndex);
  InvalidateRect(TGridRect{std::min(FromIndex, ToIndex), 0, std::max(FromIndex, ToIndex),
                           TopRow() + VisibleRowCount() + 1});
  ColumnMoved(FromIndex, ToIndex);
  if (customWidths) ColWidthsChanged();
  UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount) InvalidOp(SIndexOutOfRange);
  bool customHeights = !FRowHeights.empty();
  MoveExtent(FRowHeights, FromIndex, ToIndex);
  ExtentsChanged();
  MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
  MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
  MoveAdjust(FInplaceRow, FromIndex, ToIndex);
  InvalidateRect(TGridRect{0, std::min(FromIndex, ToIndex), LeftCol() + VisibleColCount() + 1,
                           std::max(FromIndex, ToIndex)});
  RowMoved(FromIndex, ToIndex);
  if (customHeights) RowHeightsChanged();
  UpdateEdit();
}

void TCustomGrid::ColumnMoved(int FromIndex, int ToIndex) {}
void TCustomGrid::RowMoved(int FromIndex, int ToIndex) {}

void TCustomGrid::DeleteColumn(int ACol) {
  MoveColumn(ACol, FColCount - 1);
  SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
  MoveRow(ARow, FRowCount - 1);
  SetRowCount(FRowCount - 1);
}

// ---- Invalidation ---------------------------------------------------------------

void TCustomGrid::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  TRect r;
  GridRectToScreenRect(ARect, r, true);
  TWinControl::InvalidateRect(r, false);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateRect(TGridRect{ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) {
  if (!HandleAllocated()) return;
  // Down to the last visible row, wherever the grid is scrolled to.
  InvalidateRect(TGridRect{ACol, 0, ACol, TopRow() + VisibleRowCount() + 1});
}

void TCustomGrid::InvalidateRow(int ARow) {
  if (!HandleAllocated()) return;
  InvalidateRect(TGridRect{0, ARow, LeftCol() + VisibleColCount() + 1, ARow});
}

bool TCustomGrid::IsActiveControl() const {
  if (TCustomForm* form = GetParentForm(this)) return form->ActiveControl() == this;
  HWND h = GetFocus();
  if (h == 0) return false;
  if (h == WindowHandle()) return true;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->WindowHandle() == h) return true;
  return false;
}
