// TCustomGrid: scroll bars, scroll messages and timed scrolling.
#include "platform/controls/Grids.h"
#include "platform/controls/TextMeasure.h"

#include <algorithm>

namespace {
// The scroll bars run over 0..127 whatever the number of cells, as in the
// framework.
constexpr int MaxShortInt = 127;

// MulDiv rounding to the nearest, 0 for a zero divisor.
int LongMulDiv(int Mult1, int Mult2, int Div1) {
  if (Div1 == 0) return 0;
  long long p = static_cast<long long>(Mult1) * Mult2;
  long long q = Div1;
  long long r = (p >= 0) == (q > 0) ? (p + (q > 0 ? q : -q) / 2) / q : (p - (q > 0 ? q : -q) / 2) / q;
  return static_cast<int>(r);
}
} // namespace

void TCustomGrid::UpdateScrollPos() {
  if (!HandleAllocated() || FScrollBars == ssNone) return;
  TGridDrawInfo di;
  CalcDrawInfo(di);
  TGridCoord maxTopLeft = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, di);
  auto setScroll = [&](int Code, int Value) {
    if (UseRightToLeftAlignment() && Code == SB_HORZ) Value = MaxShortInt - Value;
    if (GetScrollPos(Code) != Value) SetScrollPos(Code, Value, true);
  };
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
    if (FColCount == 1) {
      // One column scrolls by pixels.
      int colWidth = ColWidths(0);
      if (FColOffset > 0 && ClientWidth() > colWidth - FColOffset)
        ModifyScrollBar(SB_HORZ, SB_THUMBPOSITION, std::max(colWidth - ClientWidth(), 0), true);
      else if (GetScrollPos(SB_HORZ) != FColOffset)
        SetScrollPos(SB_HORZ, UseRightToLeftAlignment() ? std::max(colWidth - ClientWidth(), 0) - FColOffset
                                                        : FColOffset);
    } else {
      setScroll(SB_HORZ, LongMulDiv(FTopLeft.X - FFixedCols, MaxShortInt, maxTopLeft.X - FFixedCols));
    }
  }
  if (FScrollBars == ssVertical || FScrollBars == ssBoth)
    setScroll(SB_VERT, LongMulDiv(FTopLeft.Y - FFixedRows, MaxShortInt, maxTopLeft.Y - FFixedRows));
}

void TCustomGrid::UpdateScrollRange() {
  if (FScrollBars == ssNone || !HandleAllocated() || !Showing()) return;
  TGridDrawInfo di;
  di.Horz.GridExtent = ClientWidth();
  di.Vert.GridExtent = ClientHeight();
  // The first pass pretends there are no scroll bars.
  auto barShown = [&](int Code) {
    if (FScrollBars == ssBoth || (Code == SB_HORZ && FScrollBars == ssHorizontal) ||
        (Code == SB_VERT && FScrollBars == ssVertical))
      return ScrollBarVisible(Code);
    return false;
  };
  if (barShown(SB_HORZ)) di.Vert.GridExtent += GetSystemMetrics(SM_CYHSCROLL);
  if (barShown(SB_VERT)) di.Horz.GridExtent += GetSystemMetrics(SM_CXVSCROLL);
  TGridCoord oldTopLeft = FTopLeft;
  TScrollStyle oldScrollBars = FScrollBars;
  // No scroll bars while they are set: the size messages they cause must not
  // come back here.
  FScrollBars = ssNone;
  struct Restore {
    TCustomGrid* G;
    TScrollStyle S;
    ~Restore() { G->FScrollBars = S; }
  } restore{this, oldScrollBars};

  TGridCoord maxTopLeft;
  auto calcSizeInfo = [&] {
    CalcDrawInfoXY(di, di.Horz.GridExtent, di.Vert.GridExtent);
    maxTopLeft = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, di);
  };
  auto setAxisRange = [&](bool Horz, int Code, int Fixeds) {
    calcSizeInfo();
    int& max = Horz ? maxTopLeft.X : maxTopLeft.Y;
    int& current = Horz ? FTopLeft.X : FTopLeft.Y;
    int old = Horz ? oldTopLeft.X : oldTopLeft.Y;
    if (Fixeds < max) SetScrollRange(Code, 0, MaxShortInt, true);
    else SetScrollRange(Code, 0, 0, true);
    if (old > max) current = std::max(max, Fixeds);
  };
  auto setHorzRange = [&] {
    if (oldScrollBars != ssHorizontal && oldScrollBars != ssBoth) return;
    if (FColCount == 1) SetScrollRange(SB_HORZ, 0, std::max(ColWidths(0) - ClientWidth(), 0), true);
    else setAxisRange(true, SB_HORZ, FFixedCols);
  };
  auto setVertRange = [&] {
    if (oldScrollBars == ssVertical || oldScrollBars == ssBoth) setAxisRange(false, SB_VERT, FFixedRows);
  };
  setHorzRange();
  di.Vert.GridExtent = ClientHeight();
  setVertRange();
  if (di.Horz.GridExtent != ClientWidth()) {
    di.Horz.GridExtent = ClientWidth();
    setHorzRange();
  }
  FScrollBars = oldScrollBars;
  UpdateScrollPos();
  if (FTopLeft != oldTopLeft) TopLeftMoved(oldTopLeft);
}

void TCustomGrid::ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft) {
  int rtlFactor = (!UseRightToLeftAlignment() || !UseRightToLeft) ? 1 : -1;
  if (Visible() && CanFocus() && TabStop() && !ComponentState().Contains(csDesigning)) SetFocus();
  TGridDrawInfo di;
  CalcDrawInfo(di);
  if (ScrollBar == SB_HORZ && FColCount == 1) {
    ModifyPixelScrollBar(ScrollCode, Pos, rtlFactor, di);
    return;
  }
  TGridCoord maxTopLeft = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, di);
  int lo = ScrollBar == SB_HORZ ? FFixedCols : FFixedRows;
  int hi = ScrollBar == SB_HORZ ? maxTopLeft.X : maxTopLeft.Y;
  auto pageUp = [&] {
    TGridCoord m = CalcMaxTopLeft(FTopLeft, di);
    int r = ScrollBar == SB_HORZ ? FTopLeft.X - m.X : FTopLeft.Y - m.Y;
    return std::max(r, 1);
  };
  auto pageDown = [&] {
    int r = ScrollBar == SB_HORZ ? di.Horz.LastFullVisibleCell - FTopLeft.X : di.Vert.LastFullVisibleCell - FTopLeft.Y;
    return std::max(r, 1);
  };
  auto calcScrollBar = [&](int Value, int Factor) {
    int r = Value;
    switch (ScrollCode) {
    case SB_LINEUP: r -= Factor; break;
    case SB_LINEDOWN: r += Factor; break;
    case SB_PAGEUP: r -= pageUp() * Factor; break;
    case SB_PAGEDOWN: r += pageDown() * Factor; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (FOptions.Contains(goThumbTracking) || ScrollCode == SB_THUMBPOSITION) {
        if (!UseRightToLeftAlignment() || Factor == 1) r = lo + LongMulDiv(Pos, hi - lo, MaxShortInt);
        else r = hi - LongMulDiv(Pos, hi - lo, MaxShortInt);
      }
      break;
    case SB_BOTTOM: r = hi; break;
    case SB_TOP: r = lo; break;
    }
    return r;
  };
  TGridCoord newTopLeft = FTopLeft;
  if (ScrollBar == SB_HORZ) {
    bool relative = ScrollCode == SB_LINEUP || ScrollCode == SB_LINEDOWN || ScrollCode == SB_PAGEUP ||
                    ScrollCode == SB_PAGEDOWN;
    newTopLeft.X = calcScrollBar(newTopLeft.X, rtlFactor);
    // Hidden columns are skipped. A relative move repeats in its direction;
    // an absolute one (thumb, ends) steps on to the next shown column, since
    // repeating it would land on the same hidden column for ever.
    while (newTopLeft.X > FFixedCols && newTopLeft.X < maxTopLeft.X && ColWidths(newTopLeft.X) <= 0) {
      if (relative) newTopLeft.X = calcScrollBar(newTopLeft.X, rtlFactor);
      else ++newTopLeft.X;
    }
  } else {
    newTopLeft.Y = calcScrollBar(newTopLeft.Y, 1);
  }
  newTopLeft.X = std::max(FFixedCols, std::min(maxTopLeft.X, newTopLeft.X));
  newTopLeft.Y = std::max(FFixedRows, std::min(maxTopLeft.Y, newTopLeft.Y));
  if (newTopLeft != FTopLeft) MoveTopLeft(newTopLeft.X, newTopLeft.Y);
}

void TCustomGrid::ModifyPixelScrollBar(int ScrollCode, int Pos, int RTLFactor, const TGridDrawInfo& DrawInfo) {
  int colWidth = ColWidths(DrawInfo.Horz.FirstGridCell);
  int gridSpace = ClientWidth() - DrawInfo.Horz.FixedBoundary;
  int maxOffset = std::max(colWidth - gridSpace, 0);
  int newOffset = FColOffset;
  switch (ScrollCode) {
  case SB_LINEUP: newOffset -= PixelScrollStep() * RTLFactor; break;
  case SB_LINEDOWN: newOffset += PixelScrollStep() * RTLFactor; break;
  case SB_PAGEUP: newOffset -= gridSpace * RTLFactor; break;
  case SB_PAGEDOWN: newOffset += gridSpace * RTLFactor; break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK:
    if (FOptions.Contains(goThumbTracking) || ScrollCode == SB_THUMBPOSITION)
      newOffset = !UseRightToLeftAlignment() ? Pos : std::max(1, colWidth - gridSpace) - Pos;
    break;
  // The framework swaps these two; the top is offset 0.
  case SB_TOP: newOffset = 0; break;
  case SB_BOTTOM: newOffset = maxOffset; break;
  default: break;
  }
  newOffset = std::clamp(newOffset, 0, maxOffset);
  if (newOffset == FColOffset) return;
  FColOffset = newOffset;
  InvalidateGrid();
  Update();
  UpdateScrollPos();
}

void TCustomGrid::WMHScroll(TMessage& M) {
  ModifyScrollBar(SB_HORZ, LoWord(M.WParam), HiWord(M.WParam), true);
}

void TCustomGrid::WMVScroll(TMessage& M) {
  ModifyScrollBar(SB_VERT, LoWord(M.WParam), HiWord(M.WParam), true);
}

void TCustomGrid::TimedScroll(TGridScrollDirection Direction) {
  TGridCoord newAnchor = FAnchor;
  TGridCoord maxAnchor{FColCount - 1, FRowCount - 1};
  if (Direction.Contains(sdLeft) && FAnchor.X > FFixedCols) --newAnchor.X;
  if (Direction.Contains(sdRight) && FAnchor.X < maxAnchor.X) ++newAnchor.X;
  if (Direction.Contains(sdUp) && FAnchor.Y > FFixedRows) --newAnchor.Y;
  if (Direction.Contains(sdDown) && FAnchor.Y < maxAnchor.Y) ++newAnchor.Y;
  if (FAnchor != newAnchor) MoveAnchor(newAnchor);
}

void TCustomGrid::WMTimer(TMessage& M) {
  if (FGridState != gsSelecting && FGridState != gsRowMoving && FGridState != gsColMoving) return;
  int sx, sy;
  GetCursorPosition(sx, sy);
  TPoint pt = ScreenToClient({sx, sy});
  TGridDrawInfo di;
  CalcDrawInfo(di);
  TGridCoord cellHit = CalcCoordFromPoint(pt.X, pt.Y, di);
  switch (FGridState) {
  case gsColMoving: MoveAndScroll(pt.X, cellHit.X, di, di.Horz, SB_HORZ, pt); break;
  case gsRowMoving: MoveAndScroll(pt.Y, cellHit.Y, di, di.Vert, SB_VERT, pt); break;
  case gsSelecting: {
    TGridScrollDirection dir;
    if (!UseRightToLeftAlignment()) {
      if (pt.X < di.Horz.FixedBoundary) dir += sdLeft;
      else if (pt.X > di.Horz.FullVisBoundary) dir += sdRight;
    } else {
      int x = ClientWidth() - pt.X;
      if (x < di.Horz.FixedBoundary) dir += sdRight;
      else if (x > di.Horz.FullVisBoundary) dir += sdLeft;
    }
    if (pt.Y < di.Vert.FixedBoundary) dir += sdUp;
    else if (pt.Y > di.Vert.FullVisBoundary) dir += sdDown;
    if (!dir.Empty()) TimedScroll(dir);
    break;
  }
  default: break;
  }
}

void TCustomGrid::MoveAndScroll(int Mouse, int CellHit, TGridDrawInfo& DrawInfo, TGridAxisDrawInfo& Axis,
                                int ScrollBar, const TPoint& MousePt) {
  if (UseRightToLeftAlignment() && ScrollBar == SB_HORZ) Mouse = ClientWidth() - Mouse;
  if (CellHit != FMovePos && !(FMovePos == Axis.FixedCellCount && Mouse < Axis.FixedBoundary) &&
      !(FMovePos == Axis.GridCellCount - 1 && Mouse > Axis.GridBoundary)) {
    if (Mouse < Axis.FixedBoundary) {
      if (FMovePos > Axis.FixedCellCount) {
        ModifyScrollBar(ScrollBar, SB_LINEUP, 0, false);
        CalcDrawInfo(DrawInfo);
      }
      CellHit = Axis.FirstGridCell;
    } else if (Mouse >= Axis.FullVisBoundary) {
      if (FMovePos == Axis.LastFullVisibleCell && FMovePos < Axis.GridCellCount - 1) {
        ModifyScrollBar(ScrollBar, SB_LINEDOWN, 0, false);
        CalcDrawInfo(DrawInfo);
      }
      CellHit = Axis.LastFullVisibleCell;
    } else if (CellHit < 0) {
      CellHit = FMovePos;
    }
    if ((FGridState == gsColMoving && CheckColumnDrag(FMoveIndex, CellHit, MousePt)) ||
        (FGridState == gsRowMoving && CheckRowDrag(FMoveIndex, CellHit, MousePt))) {
      // The landing mark moves with it.
      if (FMovePos != CellHit) Invalidate();
      FMovePos = CellHit;
    }
  }
}

int TCustomGrid::PixelScrollStep() const { return std::max(1, rix::FontTextWidth(Font(), "0")); }
