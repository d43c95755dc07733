#include "TestGrid.h"

#include <set>

using GridPaint = GridFixture;

namespace {
// Every cell that shows at least one pixel.
std::set<std::pair<int, int>> VisibleCells(TCustomGrid* G) {
  std::set<std::pair<int, int>> cells;
  for (int r = 0; r < G->RowCount(); ++r)
    for (int c = 0; c < G->ColCount(); ++c)
      if (!IsRectEmpty(G->CellRect(c, r))) cells.insert({c, r});
  return cells;
}

std::set<std::pair<int, int>> DrawnCells(const TTestGrid* G) {
  std::set<std::pair<int, int>> cells;
  for (const auto& d : G->Drawn) cells.insert({d.Col, d.Row});
  return cells;
}
} // namespace

TEST_F(GridPaint, DrawCellRunsOnceForEachVisibleCellWithItsState) {
  Grid->MoveColRow(2, 3, true, true);
  Grid->Drawn.clear();
  Grid->PaintNow(); // no canvas yet: the cells are only asked for
  EXPECT_EQ(Grid->Drawn.size(), 6u * 12u); // columns 0-5 and rows 0-11, the last of each partly
  EXPECT_EQ(DrawnCells(Grid), VisibleCells(Grid));
  EXPECT_EQ(DrawnCells(Grid).size(), Grid->Drawn.size()); // each cell once
  for (const auto& d : Grid->Drawn) {
    TGridDrawState want;
    if (d.Col < 1 || d.Row < 1) want += gdFixed;
    if (d.Col == 2 && d.Row == 3) want += TGridDrawState{gdSelected, gdFocused};
    EXPECT_EQ(d.State, want) << d.Col << "," << d.Row;
    TRect cell = Grid->CellRect(d.Col, d.Row);
    EXPECT_EQ(d.Rect.TopLeft(), cell.TopLeft());
    if (d.Col < 5 && d.Row < 11) {
      EXPECT_EQ(d.Rect, cell) << d.Col << "," << d.Row;
    }
  }
}

TEST_F(GridPaint, ScrolledAndHiddenCellsAreNotDrawn) {
  Grid->SetColWidths(4, -1);
  Grid->SetLeftCol(3);
  Grid->SetTopRow(40);
  Grid->Drawn.clear();
  Grid->PaintNow();
  std::set<std::pair<int, int>> drawn = DrawnCells(Grid);
  EXPECT_EQ(drawn, VisibleCells(Grid));
  EXPECT_FALSE(drawn.count({4, 40}));
  EXPECT_FALSE(drawn.count({1, 40}));
  EXPECT_TRUE(drawn.count({0, 40}));
  EXPECT_TRUE(drawn.count({3, 0}));
  EXPECT_TRUE(drawn.count({7, 49}));
  for (const auto& d : Grid->Drawn) EXPECT_EQ(d.State.Contains(gdFocused), false); // (1,1) scrolled away
}

TEST_F(GridPaint, WithoutTheFocusTheCurrentCellIsOnlySelected) {
  Box->SetFocus();
  Grid->Drawn.clear();
  Grid->PaintNow();
  for (const auto& d : Grid->Drawn)
    if (d.Col == 1 && d.Row == 1) {
      EXPECT_EQ(d.State, TGridDrawState{gdSelected});
    }
}

TEST_F(GridPaint, ARangeSelectionMarksEveryCellOfIt) {
  Grid->SetSelection({1, 1, 3, 2});
  Grid->Drawn.clear();
  Grid->PaintNow();
  int selected = 0;
  for (const auto& d : Grid->Drawn) selected += d.State.Contains(gdSelected);
  EXPECT_EQ(selected, 6);
}

TEST_F(GridPaint, TheClipRectLimitsTheCellsAsked) {
  Grid->SetPaintClipRect(Grid->CellRect(2, 2));
  Grid->Drawn.clear();
  Grid->PaintNow();
  Grid->ClearPaintClipRect();
  ASSERT_EQ(Grid->Drawn.size(), 1u);
  EXPECT_EQ(Grid->Drawn[0].Col, 2);
  EXPECT_EQ(Grid->Drawn[0].Row, 2);
}

TEST_F(GridPaint, TheCellUnderAnOpenEditorIsLeftToTheEditor) {
  Grid->SetOptions(Grid->Options() + goEditing);
  Grid->ShowEditor();
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  Grid->Drawn.clear();
  Grid->PaintNow();
  EXPECT_FALSE(DrawnCells(Grid).count({1, 1}));
  EXPECT_EQ(Grid->Drawn.size(), 6u * 12u - 1u);
}

class RecordingHost : public TPaintHost {
public:
  int Painted = 0;
  void PaintControl(TWinControl* Control) override {
    ++Painted;
    Control->PaintWindow();
    Control->ValidateAll();
  }
};

TEST_F(GridPaint, UpdatePaintsThroughTheHostAndValidates) {
  RecordingHost host;
  SetPaintHost(&host);
  Grid->Invalidate();
  Grid->Drawn.clear();
  Grid->Update();
  SetPaintHost(nullptr);
  EXPECT_EQ(host.Painted, 1);
  EXPECT_FALSE(Grid->Drawn.empty());
  EXPECT_FALSE(Grid->IsInvalid());
  Grid->Update(); // nothing invalid, no host: nothing happens
  EXPECT_EQ(host.Painted, 1);
}

TEST_F(GridPaint, RightToLeftGridsAreMirrored) {
  Grid->SetBiDiMode(bdRightToLeft);
  int w = Grid->ClientWidth();
  EXPECT_EQ(Grid->CellRect(1, 1), Rect(w - 129, 25, w - 65, 49));
  EXPECT_EQ(Grid->MouseCoord(w - 70, 30), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->MouseCoord(w - 10, 30), (TGridCoord{0, 1}));
  Grid->Drawn.clear();
  Grid->PaintNow();
  for (const auto& d : Grid->Drawn)
    if (d.Col == 1 && d.Row == 1) {
      EXPECT_EQ(d.Rect, Grid->CellRect(1, 1));
    }
  // The border after column 1 is now at its left edge.
  Grid->SetOptions(Grid->Options() + goColSizing);
  EXPECT_FALSE(Grid->Sizing(130, 10));
  EXPECT_TRUE(Grid->Sizing(w - 130, 10));
}

// Cell rectangles are kept between calls; every change of the geometry must
// show in the next one, as reckoned afresh from the widths and heights.
TEST_F(GridPaint, CellRectsFollowEveryChangeOfTheGeometry) {
  auto reckoned = [&](int ACol, int ARow) {
    const int line = Grid->GridLineWidth();
    auto start = [&](int Index, int Fixed, int First, auto Extent) {
      int pos = 0;
      for (int i = 0; i < Fixed; ++i) pos += Extent(i) + line;
      for (int i = First; i < Index; ++i) pos += Extent(i) + line;
      return pos;
    };
    const int left = start(ACol, Grid->FixedCols(), Grid->LeftCol(), [&](int i) { return Grid->ColWidths(i); });
    const int top = start(ARow, Grid->FixedRows(), Grid->TopRow(), [&](int i) { return Grid->RowHeights(i); });
    return Rect(left, top, left + Grid->ColWidths(ACol), top + Grid->RowHeights(ARow));
  };
  auto check = [&](const char* After) {
    for (int c : {Grid->LeftCol(), Grid->LeftCol() + 1})
      for (int r : {Grid->TopRow(), Grid->TopRow() + 2})
        EXPECT_EQ(Grid->CellRect(c, r), reckoned(c, r)) << "after " << After << ", cell " << c << "," << r;
  };
  Grid->SetColCount(30);
  Grid->SetRowCount(60);
  check("the sizes");
  Grid->SetColWidths(1, 90);
  check("a width");
  Grid->SetRowHeights(Grid->TopRow(), 40);
  check("a height");
  Grid->MoveColumn(1, 3);
  check("moving a column");
  Grid->SetDefaultRowHeight(30);
  check("the default height");
  Grid->SetGridLineWidth(3);
  check("the line width");
  Grid->SetLeftCol(4);
  check("scrolling sideways");
  Grid->SetTopRow(7);
  check("scrolling down");
  Grid->SetFixedCols(2);
  check("another fixed column");
  Grid->SetBounds(8, 8, 250, 200);
  int fitting = 0;
  for (int i = 0, x = 0; i < Grid->ColCount(); ++i) {
    if (i >= Grid->FixedCols() && i < Grid->LeftCol()) continue;
    x += Grid->ColWidths(i);
    if (x > Grid->ClientWidth()) break;
    x += 3;
    if (i >= Grid->LeftCol()) ++fitting;
  }
  EXPECT_EQ(Grid->VisibleColCount(), fitting) << "the client area shrank";
}
