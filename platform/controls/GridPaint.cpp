// Painting of the base grid: grid lines, the default look of the cells, the
// focus rectangle and the background where no cells are. Without a canvas
// (no paint host) only DrawCell is called, so derived grids and tests can
// still follow what would be painted.
#include "platform/controls/Grids.h"
#include "platform/controls/InplaceEdit.h"
#include "platform/graphics/Canvas.h"

namespace {
// Lines between fixed cells are black, lines between the other cells silver,
// as in the framework's grid.
constexpr TColor FixedLineColor = clBlack;
constexpr TColor CellLineColor = clSilver;
} // namespace

TRect TCustomGrid::MirrorForPaint(TRect R) const {
  if (!UseRightToLeftAlignment()) return R;
  int w = ClientWidth();
  return Rect(w - R.Right, R.Top, w - R.Left, R.Bottom);
}

void TCustomGrid::DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY,
                            TGridDrawState IncludeDrawState, const TGridDrawInfo& DrawInfo, const TGridRect& Sel,
                            bool ActiveControl) {
  TRect clip = PaintClipRect();
  TCanvas* canvas = Canvas();
  bool defaultDrawing = canvas != nullptr && (FDefaultDrawing || ComponentState().Contains(csDesigning));
  int curRow = ARow;
  TRect where;
  where.Top = StartY;
  while (where.Top < StopY && curRow < FRowCount) {
    int curCol = ACol;
    where.Left = StartX;
    where.Bottom = where.Top + RowHeights(curRow);
    while (where.Left < StopX && curCol < FColCount) {
      where.Right = where.Left + ColWidths(curCol);
      // Right-to-left grids are laid out mirrored (our canvases never are).
      TRect cell = MirrorForPaint(where);
      TRect shown;
      if (where.Right > where.Left && IntersectRect(shown, cell, clip)) {
        TGridDrawState state = IncludeDrawState;
        if (ActiveControl && curRow == Row() && curCol == Col()) state += gdFocused;
        if (curCol >= Sel.Left && curCol <= Sel.Right && curRow >= Sel.Top && curRow <= Sel.Bottom) state += gdSelected;
        // The cell under an open editor is the editor's to show.
        if (!state.Contains(gdFocused) || !FOptions.Contains(goEditing) || !FEditorMode ||
            ComponentState().Contains(csDesigning)) {
          if (defaultDrawing) DefaultDrawCellBackground(cell, state);
          DrawCell(curCol, curRow, cell, state);
          if (defaultDrawing && state.Contains(gdFixed)) DrawFixedCellEdge(cell);
        }
      }
      where.Left = where.Right + DrawInfo.Horz.EffectiveLineWidth;
      ++curCol;
    }
    where.Top = where.Bottom + DrawInfo.Vert.EffectiveLineWidth;
    ++curRow;
  }
}

void TCustomGrid::DefaultDrawCellBackground(const TRect& Cell, TGridDrawState State) {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  bool highlight = State.Contains(gdSelected) && !State.Contains(gdFixed) &&
                   (!State.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                    FOptions.Contains(goRowSelect));
  if (highlight) {
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
  } else {
    c->Brush()->SetColor(State.Contains(gdFixed) ? FFixedColor : Color());
  }
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(Cell);
}

void TCustomGrid::DrawFixedCellEdge(const TRect& Cell) {
  bool vert = FOptions.Contains(goFixedVertLine), horz = FOptions.Contains(goFixedHorzLine);
  if (!vert && !horz) return;
  unsigned flags = vert && horz ? BF_RECT : (vert ? BF_LEFT | BF_RIGHT : BF_TOP | BF_BOTTOM);
  TRect r = Cell;
  DrawEdge(Canvas()->Handle(), r, BDR_RAISEDINNER, flags);
}

void TCustomGrid::DrawLines(bool Vert, bool Horz, int FirstCol, int FirstRow, const TRect& Area, TColor LineColor,
                            const TGridDrawInfo& DrawInfo) {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(LineColor);
  if (Vert && DrawInfo.Horz.EffectiveLineWidth > 0) {
    int lw = DrawInfo.Horz.EffectiveLineWidth;
    int x = Area.Left;
    for (int col = FirstCol; col < FColCount && x < Area.Right; ++col) {
      x += ColWidths(col);
      if (x >= Area.Left && x < Area.Right) c->FillRect(MirrorForPaint(Rect(x, Area.Top, x + lw, Area.Bottom)));
      x += lw;
    }
  }
  if (Horz && DrawInfo.Vert.EffectiveLineWidth > 0) {
    int lw = DrawInfo.Vert.EffectiveLineWidth;
    int y = Area.Top;
    for (int row = FirstRow; row < FRowCount && y < Area.Bottom; ++row) {
      y += RowHeights(row);
      if (y >= Area.Top && y < Area.Bottom) c->FillRect(MirrorForPaint(Rect(Area.Left, y, Area.Right, y + lw)));
      y += lw;
    }
  }
}

void TCustomGrid::Paint() {
  TGridDrawInfo di;
  CalcDrawInfo(di);
  TGridRect sel = Selection();
  bool active = IsActiveControl();
  TCanvas* c = Canvas();
  if (c != nullptr) {
    // Lines first: the cells are painted between them.
    bool fv = FOptions.Contains(goFixedVertLine), fh = FOptions.Contains(goFixedHorzLine);
    bool v = FOptions.Contains(goVertLine), h = FOptions.Contains(goHorzLine);
    int fixedX = di.Horz.FixedBoundary, fixedY = di.Vert.FixedBoundary;
    int gridX = di.Horz.GridBoundary, gridY = di.Vert.GridBoundary;
    if (fv || fh) {
      DrawLines(fv, fh, 0, 0, Rect(0, 0, fixedX, fixedY), FixedLineColor, di);
      DrawLines(fv, fh, 0, TopRow(), Rect(0, fixedY, fixedX, gridY), FixedLineColor, di);
      DrawLines(fv, fh, LeftCol(), 0, Rect(fixedX - FColOffset, 0, gridX, fixedY), FixedLineColor, di);
    }
    if (v || h) DrawLines(v, h, LeftCol(), TopRow(), Rect(fixedX - FColOffset, fixedY, gridX, gridY), CellLineColor, di);
  }
  DrawCells(0, 0, 0, 0, di.Horz.FixedBoundary, di.Vert.FixedBoundary, {gdFixed}, di, sel, active);
  DrawCells(LeftCol(), 0, di.Horz.FixedBoundary - FColOffset, 0, di.Horz.GridBoundary, di.Vert.FixedBoundary,
            {gdFixed}, di, sel, active);
  DrawCells(0, TopRow(), 0, di.Vert.FixedBoundary, di.Horz.FixedBoundary, di.Vert.GridBoundary, {gdFixed}, di, sel,
            active);
  DrawCells(LeftCol(), TopRow(), di.Horz.FixedBoundary - FColOffset, di.Vert.FixedBoundary, di.Horz.GridBoundary,
            di.Vert.GridBoundary, {}, di, sel, active);
  if (c == nullptr) return;

  // The focus rectangle, unless an editor that is always shown takes its place.
  bool alwaysEditing = FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor);
  if (FDefaultDrawing && active && !alwaysEditing && !ComponentState().Contains(csDesigning)) {
    TGridRect focus = FOptions.Contains(goRowSelect) ? TGridRect{LeftCol(), Row(), FColCount - 1, Row()}
                                                      : TGridRect{Col(), Row(), Col(), Row()};
    TRect r = BoxRect(focus.Left, focus.Top, focus.Right, focus.Bottom);
    if (!IsRectEmpty(r)) {
      c->Brush()->SetColor(Color());
      DrawFocusRect(c->Handle(), r);
    }
  }

  // Where no cells are, the control's colour.
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  int w = ClientWidth(), hgt = ClientHeight();
  if (di.Horz.GridBoundary < w) c->FillRect(MirrorForPaint(Rect(di.Horz.GridBoundary, 0, w, hgt)));
  if (di.Vert.GridBoundary < hgt) c->FillRect(MirrorForPaint(Rect(0, di.Vert.GridBoundary, w, hgt)));
  DrawMoveMark(c);
}

// While a column (or row) is dragged, a bar on the edge where it will land:
// the left edge of the cell it goes to when moving left, the right edge
// when moving right.
void TCustomGrid::DrawMoveMark(TCanvas* C) {
  if ((FGridState != gsColMoving && FGridState != gsRowMoving) || FMovePos == FMoveIndex) return;
  TRect r = FGridState == gsColMoving ? BoxRect(FMovePos, 0, FMovePos, FRowCount - 1)
                                      : BoxRect(0, FMovePos, FColCount - 1, FMovePos);
  if (IsRectEmpty(r)) return;
  const bool after = FMovePos > FMoveIndex;
  if (FGridState == gsColMoving) {
    const int x = after ? r.Right - 1 : r.Left;
    r = Rect(x - 1, r.Top, x + 2, r.Bottom);
  } else {
    const int y = after ? r.Bottom - 1 : r.Top;
    r = Rect(r.Left, y - 1, r.Right, y + 2);
  }
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clHighlight);
  C->FillRect(r);
}
