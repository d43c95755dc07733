// Where the cells of a TCustomGrid are: draw info, cell rectangles, hit tests
// and the sizing hit test.
#include "platform/controls/Grids.h"

#include "platform/core/Checked.h"

#include <algorithm>

using rix::CheckedAdd;
using rix::CheckedSub;

int TGridAxisDrawInfo::GetExtent(int Index) const { return Rows ? Grid->RowHeights(Index) : Grid->ColWidths(Index); }

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& DrawInfo) const {
  auto calcAxis = [&](TGridAxisDrawInfo& Axis, TGridOptions LineOptions, int FixedCount, int FirstCell, int CellCount,
                      bool Rows) {
    Axis.Grid = this;
    Axis.Rows = Rows;
    Axis.EffectiveLineWidth = (LineOptions * FOptions).Empty() ? 0 : FGridLineWidth;
    Axis.FixedBoundary = 0;
    for (int i = 0; i < FixedCount; ++i)
      Axis.FixedBoundary = CheckedAdd(Axis.FixedBoundary, CheckedAdd(Axis.GetExtent(i), Axis.EffectiveLineWidth));
    Axis.FixedCellCount = FixedCount;
    Axis.FirstGridCell = FirstCell;
    Axis.GridCellCount = CellCount;
  };
  calcAxis(DrawInfo.Horz, {goFixedVertLine, goVertLine}, FFixedCols, LeftCol(), FColCount, false);
  calcAxis(DrawInfo.Vert, {goFixedHorzLine, goHorzLine}, FFixedRows, TopRow(), FRowCount, true);
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight) const {
  auto calcAxis = [](TGridAxisDrawInfo& Axis, int UseExtent) {
    Axis.GridExtent = UseExtent;
    Axis.GridBoundary = Axis.FixedBoundary;
    Axis.FullVisBoundary = Axis.FixedBoundary;
    Axis.LastFullVisibleCell = Axis.FirstGridCell;
    for (int i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
      Axis.GridBoundary = CheckedAdd(Axis.GridBoundary, CheckedAdd(Axis.GetExtent(i), Axis.EffectiveLineWidth));
      if (Axis.GridBoundary > Axis.GridExtent + Axis.EffectiveLineWidth) {
        Axis.GridBoundary = Axis.GridExtent;
        break;
      }
      Axis.LastFullVisibleCell = i;
      Axis.FullVisBoundary = Axis.GridBoundary;
    }
  };
  CalcFixedInfo(DrawInfo);
  calcAxis(DrawInfo.Horz, UseWidth);
  calcAxis(DrawInfo.Vert, UseHeight);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) const { DrawInfo = DrawInfoMemo().Info; }

const TCustomGrid::TDrawInfoMemo& TCustomGrid::DrawInfoMemo() const {
  const int width = ClientWidth(), height = ClientHeight();
  const std::array<int, 11> key{FExtentStamp, static_cast<int>(FOptions.ToInt()), FGridLineWidth, FFixedCols,
                                FFixedRows,   LeftCol(),   TopRow(),       FColCount,  FRowCount, width, height};
  TDrawInfoMemo& m = FDrawInfoMemo;
  if (m.Valid && m.Key == key) return m;
  m.Valid = false;
  CalcDrawInfoXY(m.Info, width, height);
  // A line past the extent is at 0, and so is every line after it.
  auto lines = [](const TGridAxisDrawInfo& Axis, std::vector<int>& Out) {
    Out.clear();
    const int last = std::min(Axis.GridCellCount, CheckedAdd(Axis.LastFullVisibleCell, 2));
    int pos = Axis.FixedBoundary;
    bool past = false;
    for (int line = Axis.FirstGridCell; line <= last; ++line) {
      Out.push_back(past ? 0 : pos);
      if (past) continue;
      pos += Axis.GetExtent(line) + Axis.EffectiveLineWidth;
      past = pos > Axis.GridExtent;
    }
  };
  lines(m.Info.Horz, m.HorzLines);
  lines(m.Info.Vert, m.VertLines);
  m.Key = key;
  m.Valid = true;
  return m;
}

int TCustomGrid::VisibleColCount() const {
  TGridDrawInfo di;
  CalcDrawInfo(di);
  return di.Horz.LastFullVisibleCell - LeftCol() + 1;
}

int TCustomGrid::VisibleRowCount() const {
  TGridDrawInfo di;
  CalcDrawInfo(di);
  return di.Vert.LastFullVisibleCell - TopRow() + 1;
}

TGridCoord TCustomGrid::CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) const {
  auto calcMaxCell = [](const TGridAxisDrawInfo& Axis, int Start) {
    int result = Start;
    int line = Axis.GridExtent + Axis.EffectiveLineWidth;
    for (int i = Start; i >= Axis.FixedCellCount; --i) {
      int extent = Axis.GetExtent(i);
      if (extent > 0) {
        line -= extent + Axis.EffectiveLineWidth;
        if (line < Axis.FixedBoundary) {
          if (result == Start && Axis.GetExtent(Start) <= 0) result = i;
          break;
        }
        result = i;
      }
    }
    return result;
  };
  return {calcMaxCell(DrawInfo.Horz, Coord.X), calcMaxCell(DrawInfo.Vert, Coord.Y)};
}

TGridCoord TCustomGrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo) const {
  auto doCalc = [](const TGridAxisDrawInfo& Axis, int N) {
    // Left of or above the grid is no cell at all (the first cell would
    // claim it otherwise).
    if (N < 0) return -1;
    int start, stop, line;
    if (N < Axis.FixedBoundary) {
      start = 0;
      stop = Axis.FixedCellCount - 1;
      line = 0;
    } else {
      start = Axis.FirstGridCell;
      stop = Axis.GridCellCount - 1;
      line = Axis.FixedBoundary;
    }
    for (int i = start; i <= stop; ++i) {
      line += Axis.GetExtent(i) + Axis.EffectiveLineWidth;
      if (N < line) return i;
    }
    return -1;
  };
  TGridCoord r;
  r.X = UseRightToLeftAlignment() ? doCalc(DrawInfo.Horz, ClientWidth() - X) : doCalc(DrawInfo.Horz, X);
  r.Y = doCalc(DrawInfo.Vert, Y);
  return r;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
  TGridDrawInfo di;
  CalcDrawInfo(di);
  TGridCoord r = CalcCoordFromPoint(X, Y, di);
  if (r.X < 0) r.Y = -1;
  else if (r.Y < 0) r.X = -1;
  return r;
}

void TCustomGrid::GridRectToScreenRect(TGridRect GridRect, TRect& ScreenRect, bool IncludeLine) const {
  const TDrawInfoMemo& memo = DrawInfoMemo();
  const TGridDrawInfo& di = memo.Info;
  auto linePos = [&](const TGridAxisDrawInfo& Axis, int Line) {
    const std::vector<int>& known = &Axis == &di.Horz ? memo.HorzLines : memo.VertLines;
    if (Line >= Axis.FirstGridCell && Line - Axis.FirstGridCell < static_cast<int>(known.size()))
      return known[static_cast<size_t>(Line - Axis.FirstGridCell)];
    int result = 0, start;
    if (Line < Axis.FixedCellCount) {
      start = 0;
    } else {
      if (Line >= Axis.FirstGridCell) result = Axis.FixedBoundary;
      start = Axis.FirstGridCell;
    }
    for (int i = start; i < Line; ++i) {
      result += Axis.GetExtent(i) + Axis.EffectiveLineWidth;
      if (result > Axis.GridExtent) return 0;
    }
    return result;
  };
  auto calcAxis = [&](const TGridAxisDrawInfo& Axis, int GridRectMin, int GridRectMax, int& ScreenRectMin,
                      int& ScreenRectMax) {
    if (GridRectMin >= Axis.FixedCellCount && GridRectMin < Axis.FirstGridCell) {
      if (GridRectMax < Axis.FirstGridCell) {
        ScreenRect = {};
        return false;
      }
      GridRectMin = Axis.FirstGridCell;
    }
    if (GridRectMax > Axis.LastFullVisibleCell) {
      GridRectMax = Axis.LastFullVisibleCell;
      if (GridRectMax < Axis.GridCellCount - 1) ++GridRectMax;
      if (linePos(Axis, GridRectMax) == 0) --GridRectMax;
    }
    ScreenRectMin = linePos(Axis, GridRectMin);
    ScreenRectMax = linePos(Axis, GridRectMax);
    if (ScreenRectMax == 0) ScreenRectMax = ScreenRectMin + Axis.GetExtent(GridRectMin);
    else ScreenRectMax += Axis.GetExtent(GridRectMax);
    if (ScreenRectMax > Axis.GridExtent) ScreenRectMax = Axis.GridExtent;
    if (IncludeLine) ScreenRectMax += Axis.EffectiveLineWidth;
    return true;
  };

  ScreenRect = {};
  if (GridRect.Left > GridRect.Right || GridRect.Top > GridRect.Bottom) return;
  if (GridRect.Left > di.Horz.LastFullVisibleCell + 1) return;
  if (GridRect.Top > di.Vert.LastFullVisibleCell + 1) return;
  if (calcAxis(di.Horz, GridRect.Left, GridRect.Right, ScreenRect.Left, ScreenRect.Right))
    calcAxis(di.Vert, GridRect.Top, GridRect.Bottom, ScreenRect.Top, ScreenRect.Bottom);
  if (UseRightToLeftAlignment()) {
    // Our canvases are never mirrored, so right-to-left grids flip here.
    int hold = ScreenRect.Left;
    ScreenRect.Left = ClientWidth() - ScreenRect.Right;
    ScreenRect.Right = ClientWidth() - hold;
  }
}

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
  TRect r;
  GridRectToScreenRect({ALeft, ATop, ARight, ABottom}, r, false);
  return r;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const { return BoxRect(ACol, ARow, ACol, ARow); }

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  TGridDrawInfo& FixedInfo) {
  auto calcAxisState = [&](const TGridAxisDrawInfo& Axis, int Pos, TGridState NewState) {
    if (NewState == gsColSizing && UseRightToLeftAlignment()) Pos = ClientWidth() - Pos;
    int line = Axis.FixedBoundary;
    int range = Axis.EffectiveLineWidth;
    int back = 0;
    if (range < 7) {
      range = 7;
      back = (range - Axis.EffectiveLineWidth) >> 1;
    }
    for (int i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
      line += Axis.GetExtent(i);
      if (line > Axis.GridBoundary) break;
      if (Pos >= line - back && Pos <= line - back + range) {
        State = NewState;
        SizingPos = line;
        SizingOfs = line - Pos;
        Index = i;
        return;
      }
      line += Axis.EffectiveLineWidth;
    }
    if (Axis.GridBoundary < Axis.GridExtent && Pos >= Axis.GridBoundary && Pos <= Axis.GridExtent) {
      State = NewState;
      SizingPos = Axis.GridBoundary;
      SizingOfs = Axis.GridBoundary - Pos;
      Index = Axis.LastFullVisibleCell + 1;
    }
  };
  auto xOutsideHorzFixedBoundary = [&] {
    return !UseRightToLeftAlignment() ? X > FixedInfo.Horz.FixedBoundary
                                      : X < ClientWidth() - FixedInfo.Horz.FixedBoundary;
  };
  auto xOutsideOrEqualHorzFixedBoundary = [&] {
    return !UseRightToLeftAlignment() ? X >= FixedInfo.Horz.FixedBoundary
                                      : X <= ClientWidth() - FixedInfo.Horz.FixedBoundary;
  };

  State = gsNormal;
  Index = -1;
  TGridOptions effective = FOptions;
  if (ComponentState().Contains(csDesigning)) effective += FDesignOptionsBoost;
  if ((TGridOptions{goColSizing, goRowSizing} * effective).Empty()) return;
  FixedInfo.Vert.GridExtent = ClientHeight();
  FixedInfo.Horz.GridExtent = ClientWidth();
  if (xOutsideHorzFixedBoundary() && effective.Contains(goColSizing)) {
    if (Y >= FixedInfo.Vert.FixedBoundary) return;
    calcAxisState(FixedInfo.Horz, X, gsColSizing);
  } else if (Y > FixedInfo.Vert.FixedBoundary && effective.Contains(goRowSizing)) {
    if (xOutsideOrEqualHorzFixedBoundary()) return;
    calcAxisState(FixedInfo.Vert, Y, gsRowSizing);
  }
}

bool TCustomGrid::Sizing(int X, int Y) {
  TGridState state = FGridState;
  if (state == gsNormal) {
    TGridDrawInfo di;
    CalcDrawInfo(di);
    int index, pos, ofs;
    CalcSizingState(X, Y, state, index, pos, ofs, di);
  }
  return state != gsNormal;
}
