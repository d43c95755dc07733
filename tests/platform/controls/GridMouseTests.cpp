#include "TestGrid.h"

class GridMouse : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    Grid->SetOptions(Grid->Options() + goColSizing + goColMoving + goRowSizing);
  }
};

TEST_F(GridMouse, DraggingAColumnBorderSizesTheColumn) {
  int before = Grid->ColWidthsChangedCount;
  // The border after column 1 lies at x = 65 + 64 = 129, in the title row.
  EXPECT_TRUE(Grid->Sizing(130, 10));
  EXPECT_FALSE(Grid->Sizing(100, 10));
  EXPECT_FALSE(Grid->Sizing(130, 40)); // only in the fixed rows
  Input::Mouse(Grid, WM_MOUSEMOVE, 130, 10);
  EXPECT_EQ(ScreenCursor(), crHSplit);
  Input::Mouse(Grid, WM_LBUTTONDOWN, 130, 10, {ssLeft});
  EXPECT_EQ(Grid->GridState(), gsColSizing);
  Input::Mouse(Grid, WM_MOUSEMOVE, 145, 12, {ssLeft});
  Input::Mouse(Grid, WM_MOUSEMOVE, 160, 12, {ssLeft});
  Input::Mouse(Grid, WM_LBUTTONUP, 160, 12);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  EXPECT_EQ(Grid->ColWidths(1), 94); // 160 - 1 (grab offset) - 65
  EXPECT_EQ(Grid->ColWidthsChangedCount, before + 1);
  EXPECT_EQ(Grid->Col(), 1); // sizing does not move the current cell
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(GridMouse, DraggingARowBorderInTheFixedColumnSizesTheRow) {
  int before = Grid->RowHeightsChangedCount;
  Input::Mouse(Grid, WM_LBUTTONDOWN, 20, 49, {ssLeft}); // border after row 1
  EXPECT_EQ(Grid->GridState(), gsRowSizing);
  Input::Mouse(Grid, WM_MOUSEMOVE, 20, 70, {ssLeft});
  Input::Mouse(Grid, WM_LBUTTONUP, 20, 70);
  EXPECT_EQ(Grid->RowHeights(1), 45);
  EXPECT_EQ(Grid->RowHeightsChangedCount, before + 1);
}

TEST_F(GridMouse, SizingToAlmostNothingIsIgnored) {
  Input::Drag(Grid, 130, 10, 60, 10);
  EXPECT_EQ(Grid->ColWidths(1), 64);
}

TEST_F(GridMouse, DraggingATitleMovesTheColumnThroughTheDragProtocol) {
  Input::Drag(Grid, 160, 10, 300, 10); // title of column 2 onto column 4
  std::vector<std::string> expected{"Begin 2", "Check 2->3", "Check 2->4", "End 2->4", "Moved 2->4"};
  EXPECT_EQ(Grid->Log, expected);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  EXPECT_FALSE(TimerActive(Grid->Handle(), 1));
}

TEST_F(GridMouse, MovingAColumnCarriesItsWidthAndTheCurrentCell) {
  Grid->SetColWidths(2, 80);
  Grid->MoveColRow(2, 1, true, true);
  Grid->MoveColumn(2, 4);
  EXPECT_EQ(Grid->ColWidths(4), 80);
  EXPECT_EQ(Grid->ColWidths(2), 64);
  EXPECT_EQ(Grid->Col(), 4);
}

TEST_F(GridMouse, DroppingATitleOnItselfMovesNothing) {
  Input::Drag(Grid, 160, 10, 170, 10);
  ASSERT_FALSE(Grid->Log.empty());
  EXPECT_EQ(Grid->Log.back(), "End 2->2");
}

TEST_F(GridMouse, ClickingACellMakesItCurrentAndFocusesTheGrid) {
  Box->SetFocus();
  Input::Mouse(Grid, WM_LBUTTONDOWN, 200, 80, {ssLeft});
  Input::Mouse(Grid, WM_LBUTTONUP, 200, 80);
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(Grid->Col(), 3);
  EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(GridMouse, HoldingTheMouseBelowTheCellsScrollsOnEachTimerTick) {
  Input::Mouse(Grid, WM_LBUTTONDOWN, 100, 255, {ssLeft}); // cell (1, 10), the last whole row
  ASSERT_EQ(Grid->GridState(), gsSelecting);
  ASSERT_TRUE(TimerActive(Grid->Handle(), 1));
  Input::Mouse(Grid, WM_MOUSEMOVE, 100, Grid->ClientHeight() + 40, {ssLeft}); // below the window
  int top = Grid->TopRow();
  int anchor = Grid->Selection().Bottom;
  TickTimers();
  TickTimers();
  EXPECT_EQ(Grid->Selection().Bottom, anchor + 2);
  EXPECT_EQ(Grid->TopRow(), top + 2);
  Input::Mouse(Grid, WM_LBUTTONUP, 100, Grid->ClientHeight() + 40);
  EXPECT_FALSE(TimerActive(Grid->Handle(), 1));
  TickTimers();
  EXPECT_EQ(Grid->TopRow(), top + 2);
}

class TimedGrid : public TTestGrid {
public:
  using TTestGrid::TTestGrid;
  std::vector<TGridScrollDirection> Directions;

protected:
  void TimedScroll(TGridScrollDirection Direction) override {
    Directions.push_back(Direction);
    TTestGrid::TimedScroll(Direction);
  }
};

TEST(GridTimedScroll, DirectionFollowsTheSideTheMouseIsOn) {
  auto* form = new TForm(nullptr);
  auto* grid = new TimedGrid(form);
  grid->SetParent(form);
  grid->SetBounds(0, 0, 404, 304);
  form->HandleNeeded();
  grid->SetFocus();
  grid->MoveColRow(3, 5, true, true);
  SendMessage(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(200, 130));
  SendMessage(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(20, 10)); // over the fixed corner
  TickTimers();
  ASSERT_EQ(grid->Directions.size(), 1u);
  EXPECT_EQ(grid->Directions[0], (TGridScrollDirection{sdLeft, sdUp}));
  SendMessage(grid->Handle(), WM_LBUTTONUP, 0, MakeLParam(20, 10));
  delete form;
}

TEST_F(GridMouse, CancelModeEndsADrag) {
  Input::Mouse(Grid, WM_LBUTTONDOWN, 160, 10, {ssLeft});
  ASSERT_EQ(Grid->GridState(), gsColMoving);
  Box->SendCancelMode(nullptr);
  EXPECT_EQ(Grid->GridState(), gsNormal);
  EXPECT_FALSE(TimerActive(Grid->Handle(), 1));
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(GridMouse, DesignHitTestAnswersSizingPoints) {
  EXPECT_EQ(Grid->Perform(CM_DESIGNHITTEST, 0, MakeLParam(130, 10)), 1);
  EXPECT_EQ(Grid->Perform(CM_DESIGNHITTEST, 0, MakeLParam(100, 40)), 0);
}
