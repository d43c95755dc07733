// TCustomGrid: keyboard and mouse, sizing and moving with the mouse, and the
// window messages of the grid.
#include "platform/controls/Grids.h"

#include "platform/controls/InplaceEdit.h"

#include <algorithm>

// ---- Keyboard -----------------------------------------------------------------

bool TCustomGrid::CanGridAcceptKey(unsigned short Key, TShiftState Shift) { return true; }

void TCustomGrid::KeyDown(unsigned short& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  bool needsInvalidating = false;
  if (!CanGridAcceptKey(Key, Shift)) Key = 0;
  int rtlFactor = UseRightToLeftAlignment() ? -1 : 1;
  TGridCoord newCurrent = FCurrent;
  TGridCoord newTopLeft = FTopLeft;
  TGridDrawInfo di;
  CalcDrawInfo(di);
  int pageWidth = std::max(di.Horz.LastFullVisibleCell - LeftCol(), 1);
  int pageHeight = std::max(di.Vert.LastFullVisibleCell - TopRow(), 1);
  bool rowSelect = FOptions.Contains(goRowSelect);
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
    case VK_UP: --newTopLeft.Y; break;
    case VK_DOWN: ++newTopLeft.Y; break;
    case VK_LEFT:
      if (!rowSelect) {
        newCurrent.X -= pageWidth * rtlFactor;
        newTopLeft.X -= pageWidth * rtlFactor;
      }
      break;
    case VK_RIGHT:
      if (!rowSelect) {
        newCurrent.X += pageWidth * rtlFactor;
        newTopLeft.X += pageWidth * rtlFactor;
      }
      break;
    case VK_PRIOR: newCurrent.Y = TopRow(); break;
    case VK_NEXT: newCurrent.Y = di.Vert.LastFullVisibleCell; break;
    case VK_HOME:
      newCurrent = {FFixedCols, FFixedRows};
      needsInvalidating = UseRightToLeftAlignment();
      break;
    case VK_END:
      newCurrent = {FColCount - 1, FRowCount - 1};
      needsInvalidating = UseRightToLeftAlignment();
      break;
    }
  } else {
    switch (Key) {
    case VK_UP: --newCurrent.Y; break;
    case VK_DOWN: ++newCurrent.Y; break;
    case VK_LEFT:
      if (rowSelect) newTopLeft.X -= rtlFactor;
      else newCurrent.X -= rtlFactor;
      break;
    case VK_RIGHT:
      if (rowSelect) newTopLeft.X += rtlFactor;
      else newCurrent.X += rtlFactor;
      break;
    case VK_NEXT:
      newCurrent.Y += pageHeight;
      newTopLeft.Y += pageHeight;
      break;
    case VK_PRIOR:
      newCurrent.Y -= pageHeight;
      newTopLeft.Y -= pageHeight;
      break;
    case VK_HOME:
      if (rowSelect) newCurrent.Y = FFixedRows;
      else newCurrent.X = FFixedCols;
      break;
    case VK_END:
      if (rowSelect) newCurrent.Y = FRowCount - 1;
      else newCurrent.X = FColCount - 1;
      break;
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) {
        // Every column may have its tab stop off: one lap at most.
        for (int lap = 0; lap <= FColCount * std::max(FRowCount, 1); ++lap) {
          if (Shift.Contains(ssShift)) {
            --newCurrent.X;
            if (newCurrent.X < FFixedCols) {
              newCurrent.X = FColCount - 1;
              --newCurrent.Y;
              if (newCurrent.Y < FFixedRows) newCurrent.Y = FRowCount - 1;
            }
            Shift = {};
          } else {
            ++newCurrent.X;
            if (newCurrent.X >= FColCount) {
              newCurrent.X = FFixedCols;
              ++newCurrent.Y;
              if (newCurrent.Y >= FRowCount) newCurrent.Y = FFixedRows;
            }
          }
          if (TabStops(newCurrent.X) || newCurrent.X == FCurrent.X) break;
        }
      }
      break;
    case VK_F2: SetEditorMode(true); break;
    }
  }
  TGridCoord maxTopLeft = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, di);
  auto restrict = [](TGridCoord& C, int MinX, int MinY, int MaxX, int MaxY) {
    if (C.X > MaxX) C.X = MaxX;
    else if (C.X < MinX) C.X = MinX;
    if (C.Y > MaxY) C.Y = MaxY;
    else if (C.Y < MinY) C.Y = MinY;
  };
  restrict(newTopLeft, FFixedCols, FFixedRows, maxTopLeft.X, maxTopLeft.Y);
  if (newTopLeft.X != LeftCol() || newTopLeft.Y != TopRow()) MoveTopLeft(newTopLeft.X, newTopLeft.Y);
  restrict(newCurrent, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  if (newCurrent.X != Col() || newCurrent.Y != Row()) FocusCell(newCurrent.X, newCurrent.Y, !Shift.Contains(ssShift));
  if (needsInvalidating) Invalidate();
}

void TCustomGrid::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (!FOptions.Contains(goAlwaysShowEditor) && Key == U'\r') {
    if (FEditorMode) HideEditor();
    else ShowEditor();
    Key = 0;
  }
}

void TCustomGrid::WMChar(TMessage& M) {
  char32_t ch = static_cast<char32_t>(M.WParam);
  if (FOptions.Contains(goEditing) && (ch == U'\b' || ch >= 32)) {
    ShowEditor();
    // The character follows the editor through the queue, as typed keys do.
    if (FInplaceEdit != nullptr) PostMessage(FInplaceEdit->Handle(), WM_CHAR, M.WParam, 0);
  } else {
    TCustomControl::WMChar(M);
  }
}

void TCustomGrid::WMGetDlgCode(TMessage& M) {
  M.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(goRowSelect)) return;
  if (FOptions.Contains(goTabs)) M.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditing)) M.Result |= DLGC_WANTCHARS;
}

// ---- Mouse ----------------------------------------------------------------------

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  HideEdit();
  if (!ComponentState().Contains(csDesigning) && (CanFocus() || GetParentForm(this) == nullptr)) {
    SetFocus();
    if (!IsActiveControl()) {
      SetMouseCapture(false);
      return;
    }
  }
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, di);
    if (FGridState != gsNormal) {
      if (FGridState == gsColSizing && UseRightToLeftAlignment()) FSizingPos = ClientWidth() - FSizingPos;
      return;
    }
    TGridCoord cellHit = CalcCoordFromPoint(X, Y, di);
    if (cellHit.X >= FFixedCols && cellHit.Y >= FFixedRows) {
      if (FOptions.Contains(goEditing)) {
        if (cellHit.X == FCurrent.X && cellHit.Y == FCurrent.Y) {
          ShowEditor();
        } else {
          MoveCurrent(cellHit.X, cellHit.Y, true, true);
          UpdateEdit();
        }
        Click();
      } else {
        FGridState = gsSelecting;
        SetTimer(Handle(), 1, 60);
        if (Shift.Contains(ssShift)) MoveAnchor(cellHit);
        else MoveCurrent(cellHit.X, cellHit.Y, true, true);
      }
    } else if (FOptions.Contains(goRowMoving) && cellHit.X >= 0 && cellHit.X < FFixedCols &&
               cellHit.Y >= FFixedRows) {
      FMoveIndex = cellHit.Y;
      FMovePos = FMoveIndex;
      if (BeginRowDrag(FMoveIndex, FMovePos, {X, Y})) {
        FGridState = gsRowMoving;
        Update();
        SetTimer(Handle(), 1, 60);
      }
    } else if (FOptions.Contains(goColMoving) && cellHit.Y >= 0 && cellHit.Y < FFixedRows &&
               cellHit.X >= FFixedCols) {
      FMoveIndex = cellHit.X;
      FMovePos = FMoveIndex;
      if (BeginColumnDrag(FMoveIndex, FMovePos, {X, Y})) {
        FGridState = gsColMoving;
        Update();
        SetTimer(Handle(), 1, 60);
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TGridDrawInfo di;
  CalcDrawInfo(di);
  switch (FGridState) {
  case gsSelecting:
  case gsColMoving:
  case gsRowMoving: {
    TGridCoord cellHit = CalcCoordFromPoint(X, Y, di);
    if (cellHit.X >= FFixedCols && cellHit.Y >= FFixedRows && cellHit.X <= di.Horz.LastFullVisibleCell + 1 &&
        cellHit.Y <= di.Vert.LastFullVisibleCell + 1) {
      switch (FGridState) {
      case gsSelecting:
        if (cellHit.X != FAnchor.X || cellHit.Y != FAnchor.Y) MoveAnchor(cellHit);
        break;
      case gsColMoving: MoveAndScroll(X, cellHit.X, di, di.Horz, SB_HORZ, {X, Y}); break;
      case gsRowMoving: MoveAndScroll(Y, cellHit.Y, di, di.Vert, SB_VERT, {X, Y}); break;
      default: break;
      }
    }
    break;
  }
  case gsRowSizing: FSizingPos = Y + FSizingOfs; break;
  case gsColSizing: FSizingPos = X + FSizingOfs; break;
  default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  struct Reset {
    TCustomGrid* G;
    ~Reset() { G->FGridState = gsNormal; }
  } reset{this};
  auto resizeLine = [&](const TGridAxisDrawInfo& Axis) {
    int r = Axis.FixedBoundary;
    for (int i = Axis.FirstGridCell; i < FSizingIndex; ++i) r += Axis.GetExtent(i) + Axis.EffectiveLineWidth;
    return FSizingPos - r;
  };
  switch (FGridState) {
  case gsSelecting:
    MouseMove(Shift, X, Y);
    KillTimer(Handle(), 1);
    UpdateEdit();
    Click();
    break;
  case gsRowSizing:
  case gsColSizing: {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    if (FGridState == gsColSizing && UseRightToLeftAlignment()) FSizingPos = ClientWidth() - FSizingPos;
    if (FGridState == gsColSizing) {
      int newSize = resizeLine(di.Horz);
      if (newSize > 1) {
        SetColWidths(FSizingIndex, newSize);
        UpdateDesigner();
      }
    } else {
      int newSize = resizeLine(di.Vert);
      if (newSize > 1) {
        SetRowHeights(FSizingIndex, newSize);
        UpdateDesigner();
      }
    }
    break;
  }
  case gsColMoving:
    KillTimer(Handle(), 1);
    if (FMoveIndex != FMovePos) Invalidate();  // the landing mark goes
    if (EndColumnDrag(FMoveIndex, FMovePos, {X, Y}) && FMoveIndex != FMovePos) {
      MoveColumn(FMoveIndex, FMovePos);
      UpdateDesigner();
    }
    UpdateEdit();
    break;
  case gsRowMoving:
    KillTimer(Handle(), 1);
    if (FMoveIndex != FMovePos) Invalidate();
    if (EndRowDrag(FMoveIndex, FMovePos, {X, Y}) && FMoveIndex != FMovePos) {
      MoveRow(FMoveIndex, FMovePos);
      UpdateDesigner();
    }
    UpdateEdit();
    break;
  default:
    UpdateEdit();
    break;
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::WMMouseMove(TMessage& M) {
  FHitTest = {SignedLoWord(static_cast<std::uintptr_t>(M.LParam)), SignedHiWord(static_cast<std::uintptr_t>(M.LParam))};
  TCustomControl::WMMouseMove(M);
}

void TCustomGrid::DblClick() { TCustomControl::DblClick(); }
void TCustomGrid::Click() { TCustomControl::Click(); }

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool result = TCustomControl::DoMouseWheelDown(Shift, MousePos);
  if (!result) {
    if (Row() < FRowCount - 1) SetRow(Row() + 1);
    result = true;
  }
  return result;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool result = TCustomControl::DoMouseWheelUp(Shift, MousePos);
  if (!result) {
    if (Row() > FFixedRows) SetRow(Row() - 1);
    result = true;
  }
  return result;
}

bool TCustomGrid::BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
bool TCustomGrid::BeginRowDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
bool TCustomGrid::CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
bool TCustomGrid::CheckRowDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
bool TCustomGrid::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
bool TCustomGrid::EndRowDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }

void TCustomGrid::CancelMode() {
  struct Reset {
    TCustomGrid* G;
    ~Reset() { G->FGridState = gsNormal; }
  } reset{this};
  switch (FGridState) {
  case gsSelecting:
  case gsColMoving:
  case gsRowMoving:
    if (HandleAllocated()) KillTimer(WindowHandle(), 1);
    break;
  default: break;
  }
}

// ---- Messages --------------------------------------------------------------------

void TCustomGrid::WMCancelMode(TMessage& M) {
  TCustomControl::WMCancelMode(M);
  CancelMode();
}

void TCustomGrid::CMCancelMode(TMessage& M) {
  if (FInplaceEdit != nullptr) FInplaceEdit->WndProc(M);
  TCustomControl::CMCancelMode(M);
}

void TCustomGrid::WMKillFocus(TMessage& M) {
  TCustomControl::WMKillFocus(M);
  InvalidateRect(Selection());
  if (FInplaceEdit != nullptr && M.WParam != FInplaceEdit->WindowHandle()) HideEdit();
}

void TCustomGrid::WMSetFocus(TMessage& M) {
  TCustomControl::WMSetFocus(M);
  if (FInplaceEdit == nullptr || M.WParam != FInplaceEdit->WindowHandle()) {
    InvalidateRect(Selection());
    UpdateEdit();
  }
}

void TCustomGrid::WMSize(TMessage& M) {
  TCustomControl::WMSize(M);
  UpdateScrollRange();
  if (UseRightToLeftAlignment()) Invalidate();
}

void TCustomGrid::WMSetCursor(TMessage& M) {
  TCursor cur = crDefault;
  if (LoWord(static_cast<std::uintptr_t>(M.LParam)) == HTCLIENT) {
    TGridState state = FGridState;
    if (state == gsNormal) {
      TGridDrawInfo di;
      CalcDrawInfo(di);
      int index, pos, ofs;
      CalcSizingState(FHitTest.X, FHitTest.Y, state, index, pos, ofs, di);
    }
    if (state == gsRowSizing) cur = crVSplit;
    else if (state == gsColSizing) cur = crHSplit;
  }
  if (cur != crDefault) {
    SetScreenCursor(cur);
    M.Result = 1;
  } else {
    TCustomControl::WMSetCursor(M);
  }
}

void TCustomGrid::CMDesignHitTest(TMessage& M) {
  M.Result = Sizing(SignedLoWord(static_cast<std::uintptr_t>(M.LParam)),
                    SignedHiWord(static_cast<std::uintptr_t>(M.LParam)))
                 ? 1
                 : 0;
}

void TCustomGrid::CMColorChanged(TMessage& M) {
  TCustomControl::CMColorChanged(M);
  InvalidateGrid();
}

void TCustomGrid::CMFontChanged(TMessage& M) {
  if (FInplaceEdit != nullptr) FInplaceEdit->SetFont(Font());
  TCustomControl::CMFontChanged(M);
}

void TCustomGrid::CMBiDiModeChanged(TMessage& M) {
  TCustomControl::CMBiDiModeChanged(M);
  UpdateScrollPos();
  InvalidateGrid();
}

void TCustomGrid::CMEnabledChanged(TMessage& M) {
  TCustomControl::CMEnabledChanged(M);
  InvalidateGrid();
}
