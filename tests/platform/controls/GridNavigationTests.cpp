#include "TestGrid.h"

using Nav = GridFixture;

TEST_F(Nav, GeometryOfTheTestGrid) {
  // 400x300 inside the edge, less both scroll bars.
  EXPECT_EQ(Grid->ClientWidth(), 400 - 17);
  EXPECT_EQ(Grid->ClientHeight(), 300 - 17);
  EXPECT_TRUE(Grid->ScrollBarVisible(SB_HORZ));
  EXPECT_TRUE(Grid->ScrollBarVisible(SB_VERT));
  EXPECT_EQ(Grid->VisibleColCount(), 4);  // 65-pixel columns after the fixed one
  EXPECT_EQ(Grid->VisibleRowCount(), 10); // 25-pixel rows after the fixed one
  EXPECT_EQ(Grid->CellRect(1, 1), Rect(65, 25, 129, 49));
  EXPECT_EQ(Grid->CellRect(5, 1), Rect(325, 25, Grid->ClientWidth(), 49)); // partly shown
  EXPECT_TRUE(IsRectEmpty(Grid->CellRect(6, 1)));
  EXPECT_EQ(Grid->BoxRect(1, 1, 2, 2), Rect(65, 25, 194, 74));
  EXPECT_EQ(Grid->MouseCoord(70, 30), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->MouseCoord(10, 10), (TGridCoord{0, 0}));
  EXPECT_EQ(Grid->MouseCoord(-5, 10), (TGridCoord{-1, -1}));
}

struct KeyCase {
  const char* Name;
  unsigned Key;
  TShiftState Shift;
  TGridCoord Start; // Col, Row before
  TGridCoord Cell;  // Col, Row after
  TGridCoord TopLeft; // LeftCol, TopRow after
  friend void PrintTo(const KeyCase& K, std::ostream* Os) { *Os << K.Name; }
};

class NavKeys : public GridFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(NavKeys, MoveTheCurrentCellAndScroll) {
  const KeyCase& k = GetParam();
  Grid->SetOptions(Grid->Options() + goTabs);
  Grid->MoveColRow(k.Start.X, k.Start.Y, true, true);
  Input::Key(k.Key, k.Shift);
  EXPECT_EQ(Grid->Col(), k.Cell.X);
  EXPECT_EQ(Grid->Row(), k.Cell.Y);
  EXPECT_EQ(Grid->LeftCol(), k.TopLeft.X);
  EXPECT_EQ(Grid->TopRow(), k.TopLeft.Y);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NavKeys,
    ::testing::Values(KeyCase{"Down", VK_DOWN, {}, {1, 1}, {1, 2}, {1, 1}},
                      KeyCase{"DownPastTheLastWholeRowScrollsOneRow", VK_DOWN, {}, {1, 10}, {1, 11}, {1, 2}},
                      KeyCase{"UpStopsAtTheFixedRows", VK_UP, {}, {1, 1}, {1, 1}, {1, 1}},
                      KeyCase{"Right", VK_RIGHT, {}, {1, 1}, {2, 1}, {1, 1}},
                      KeyCase{"RightPastTheLastWholeColumnScrolls", VK_RIGHT, {}, {4, 1}, {5, 1}, {2, 1}},
                      KeyCase{"Left", VK_LEFT, {}, {3, 1}, {2, 1}, {1, 1}},
                      KeyCase{"PageDownMovesAndScrollsAPage", VK_NEXT, {}, {1, 1}, {1, 10}, {1, 10}},
                      KeyCase{"PageUpAtTheTop", VK_PRIOR, {}, {1, 5}, {1, 1}, {1, 1}},
                      KeyCase{"EndGoesToTheLastColumn", VK_END, {}, {1, 1}, {19, 1}, {16, 1}},
                      KeyCase{"HomeGoesToTheFirstColumn", VK_HOME, {}, {19, 1}, {1, 1}, {1, 1}},
                      KeyCase{"CtrlEndGoesToTheLastCell", VK_END, {ssCtrl}, {1, 1}, {19, 99}, {16, 90}},
                      KeyCase{"CtrlHomeGoesToTheFirstCell", VK_HOME, {ssCtrl}, {19, 99}, {1, 1}, {1, 1}},
                      KeyCase{"CtrlDownScrollsOnly", VK_DOWN, {ssCtrl}, {1, 1}, {1, 1}, {1, 2}},
                      KeyCase{"TabMovesRight", VK_TAB, {}, {1, 1}, {2, 1}, {1, 1}},
                      KeyCase{"TabWrapsToTheNextRow", VK_TAB, {}, {19, 1}, {1, 2}, {1, 1}},
                      KeyCase{"ShiftTabWrapsToThePreviousRow", VK_TAB, {ssShift}, {1, 2}, {19, 1}, {16, 1}}),
    [](const ::testing::TestParamInfo<KeyCase>& I) { return std::string(I.param.Name); });

TEST_F(Nav, TabWithoutGoTabsMovesTheFocusToTheNextControl) {
  ASSERT_FALSE(Grid->Options().Contains(goTabs));
  Input::Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_TRUE(Box->Focused());
  EXPECT_EQ(Form->ActiveControl(), Box);
  Input::Key(VK_TAB); // and round again
  EXPECT_TRUE(Grid->Focused());
}

TEST_F(Nav, CanGridAcceptKeyRefusingTabIgnoresIt) {
  Grid->SetOptions(Grid->Options() + goTabs);
  Grid->AcceptTab = false;
  Input::Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_TRUE(Grid->Focused());
}

TEST_F(Nav, TabSkipsColumnsWithoutTabStop) {
  Grid->SetOptions(Grid->Options() + goTabs);
  Grid->SetTabStops(2, false);
  Grid->SetTabStops(3, false);
  Input::Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), 4);
  for (int c = 0; c < Grid->ColCount(); ++c) Grid->SetTabStops(c, false);
  Input::Key(VK_TAB); // no stop anywhere: one lap, then stay
  EXPECT_EQ(Grid->Col(), 4);
}

TEST_F(Nav, MoveColRowAsksSelectCellAndRaisesOutOfRange) {
  EXPECT_THROW(Grid->MoveColRow(20, 1, true, true), EInvalidGridOperation);
  EXPECT_THROW(Grid->MoveColRow(1, -1, true, true), EInvalidGridOperation);
  Grid->MoveColRow(3, 50, true, false);
  EXPECT_EQ(Grid->Row(), 50);
  EXPECT_EQ(Grid->TopRow(), 1); // not shown
  Grid->MoveColRow(3, 60, true, true);
  EXPECT_EQ(Grid->TopRow(), 51);
}

class RefusingGrid : public TTestGrid {
public:
  using TTestGrid::TTestGrid;
  int Refused = 0;

protected:
  bool SelectCell(int ACol, int ARow) override {
    if (ARow == 2) {
      ++Refused;
      return false;
    }
    return true;
  }
};

TEST(GridSelectCell, ARefusedCellIsNotEntered) {
  auto* form = new TForm(nullptr);
  auto* grid = new RefusingGrid(form);
  grid->SetParent(form);
  form->HandleNeeded();
  grid->SetFocus();
  SendMessage(grid->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->Refused, 1);
  delete form;
}

TEST_F(Nav, FixedCountsMustStayBelowTheCellCounts) {
  EXPECT_THROW(Grid->SetFixedCols(20), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetFixedRows(100), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetFixedCols(-1), EInvalidGridOperation);
  EXPECT_EQ(Grid->FixedCols(), 1);
  Grid->SetFixedCols(2);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->LeftCol(), 2);
  Grid->SetColCount(2); // fixed columns follow a smaller matrix down
  EXPECT_EQ(Grid->FixedCols(), 1);
  EXPECT_EQ(Grid->Col(), 1);
}

TEST_F(Nav, ShrinkingTheRowCountKeepsCurrentAndTopRowInside) {
  Grid->MoveColRow(1, 95, true, true);
  ASSERT_EQ(Grid->TopRow(), 86);
  Grid->SetRowCount(20);
  EXPECT_EQ(Grid->Row(), 19);
  EXPECT_LE(Grid->TopRow(), 19);
  EXPECT_GE(Grid->TopRow(), 1);
}

TEST_F(Nav, ScrollBarsFollowTheTopLeftCell) {
  EXPECT_EQ(Grid->GetScrollInfo(SB_VERT).Max, 127);
  EXPECT_EQ(Grid->GetScrollPos(SB_VERT), 0);
  Input::Key(VK_END, {ssCtrl});
  EXPECT_EQ(Grid->GetScrollPos(SB_VERT), 127);
  EXPECT_EQ(Grid->GetScrollPos(SB_HORZ), 127);
  Grid->SetTopRow(45); // about half way: (45-1)*127/(90-1)
  EXPECT_EQ(Grid->GetScrollPos(SB_VERT), 63);
}

TEST_F(Nav, ScrollMessagesMoveTheTopLeftCell) {
  SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Grid->TopRow(), 2);
  SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(Grid->TopRow(), 11);
  SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(SB_BOTTOM, 0), 0);
  EXPECT_EQ(Grid->TopRow(), 90);
  SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 0), 0);
  EXPECT_EQ(Grid->TopRow(), 1);
  SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 64), 0);
  EXPECT_EQ(Grid->TopRow(), 1); // no live tracking without goThumbTracking
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Grid->LeftCol(), 2);
  EXPECT_EQ(Grid->Row(), 1); // scrolling leaves the current cell
}

TEST_F(Nav, HorizontalScrollingSkipsHiddenColumns) {
  Grid->SetColWidths(2, -1);
  Grid->SetColWidths(3, -1);
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Grid->LeftCol(), 4);
  // An absolute position on a hidden column goes on to the next shown one.
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, 9), 0); // 1 + 9*15/127 = 2
  EXPECT_EQ(Grid->LeftCol(), 4);
}

TEST_F(Nav, MouseWheelMovesTheRow) {
  SendMessage(Grid->Handle(), WM_MOUSEWHEEL, MakeWParam(0, -WHEEL_DELTA), MakeLParam(50, 50));
  EXPECT_EQ(Grid->Row(), 2);
  SendMessage(Grid->Handle(), WM_MOUSEWHEEL, MakeWParam(0, WHEEL_DELTA), MakeLParam(50, 50));
  EXPECT_EQ(Grid->Row(), 1);
  SendMessage(Grid->Handle(), WM_MOUSEWHEEL, MakeWParam(0, WHEEL_DELTA), MakeLParam(50, 50));
  EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(Nav, ExtentsChangedInCodeFireTheHooks) {
  int cols = Grid->ColWidthsChangedCount, rows = Grid->RowHeightsChangedCount;
  Grid->SetColWidths(3, 100);
  EXPECT_EQ(Grid->ColWidthsChangedCount, cols + 1);
  Grid->SetColWidths(3, 100); // no change, no call
  EXPECT_EQ(Grid->ColWidthsChangedCount, cols + 1);
  Grid->SetRowHeights(4, 40);
  EXPECT_EQ(Grid->RowHeightsChangedCount, rows + 1);
  Grid->SetDefaultRowHeight(30); // resets every row
  EXPECT_EQ(Grid->RowHeights(4), 30);
  EXPECT_EQ(Grid->RowHeightsChangedCount, rows + 2);
  Grid->SetDefaultColWidth(50);
  EXPECT_EQ(Grid->ColWidths(3), 50);
  EXPECT_EQ(Grid->ColWidthsChangedCount, cols + 2);
  EXPECT_THROW(Grid->SetColWidths(20, 10), EInvalidGridOperation);
  EXPECT_EQ(Grid->ColWidths(25), 50); // reading out of range gives the default
}

TEST_F(Nav, InvalidationCoversTheCellsAsked) {
  Grid->ValidateAll();
  Grid->InvalidateCell(2, 3);
  ASSERT_EQ(Grid->InvalidRegion().size(), 1u);
  EXPECT_EQ(Grid->InvalidRegion()[0], Rect(130, 75, 195, 100)); // the cell and its lines
  Grid->ValidateAll();
  Grid->SetTopRow(50);
  Grid->ValidateAll();
  Grid->InvalidateCol(2);
  // Down to the bottom of the window even when scrolled.
  EXPECT_EQ(Grid->InvalidBounds().Bottom, Grid->ClientHeight());
  Grid->ValidateAll();
  Grid->InvalidateCell(2, 3); // scrolled away: nothing
  EXPECT_FALSE(Grid->IsInvalid());
}

TEST_F(Nav, AOneColumnGridScrollsByPixels) {
  Grid->SetFixedCols(0);
  Grid->SetColCount(1);
  Grid->SetColWidths(0, 1000);
  int range = 1000 - Grid->ClientWidth();
  EXPECT_EQ(Grid->GetScrollInfo(SB_HORZ).Max, range);
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Grid->ColOffset(), Grid->PixelScrollStep());
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(Grid->ColOffset(), Grid->PixelScrollStep() + Grid->ClientWidth());
  EXPECT_EQ(Grid->GetScrollPos(SB_HORZ), Grid->ColOffset());
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_BOTTOM, 0), 0);
  EXPECT_EQ(Grid->ColOffset(), range);
  Grid->Drawn.clear();
  Grid->PaintNow();
  ASSERT_FALSE(Grid->Drawn.empty());
  EXPECT_EQ(Grid->Drawn[0].Rect.Left, -range);
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_TOP, 0), 0);
  EXPECT_EQ(Grid->ColOffset(), 0);
}
