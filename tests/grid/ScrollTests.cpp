// The current row follows the dataset, the vertical scroll bar shows the
// dataset position in both modes, and scroll messages move the dataset.
#include "LayoutFixture.h"

using namespace gridtest;

namespace {

// A memory dataset without meaningful record numbers.
class TUnsequencedDataSet : public TMemoryDataSet {
public:
  using TMemoryDataSet::TMemoryDataSet;
  bool IsSequenced() const override { return false; }
};

// A memory dataset whose exact count comes late, as a large table's does;
// until then it offers a rough estimate of ten times the truth.
class TLateCountDataSet : public TMemoryDataSet {
public:
  using TMemoryDataSet::TMemoryDataSet;
  bool Pending = true;
  bool RecordCountPending() const override { return Pending; }
  int EstimatedRecordCount() const override { return Pending ? 10 * RecordCount() : RecordCount(); }
  int EstimatedRecNo() const override { return Pending ? 10 * RecNo() : RecNo(); }
};

class TScrollGrid : public TRixDBGrid {
public:
  using TRixDBGrid::TRixDBGrid;
  using TRixDBGrid::TimedScroll;
};

class Scrolling : public LayoutFixture {
protected:
  void Bind(TMemoryDataSet* Ds) {
    Source->SetDataSet(Ds);
    Grid->SetDataSource(Source);
    Form->HandleNeeded();
  }
  void VScroll(int Code, int Pos = 0) { SendMessage(Grid->Handle(), WM_VSCROLL, MakeWParam(Code, Pos), 0); }
  TScrollInfo Bar() const { return Grid->GetScrollInfo(SB_VERT); }
};

TEST_F(Scrolling, SequencedBarSpansTheRecordsAndFollowsRecNo) {
  Bind(Data);
  const int page = Grid->VisibleRowCount();
  EXPECT_EQ(Bar().Min, 1);
  EXPECT_EQ(Bar().Page, static_cast<unsigned>(page));
  EXPECT_EQ(Bar().Max, 20 + page - 1);
  EXPECT_EQ(Bar().Pos, 1);
  Data->MoveBy(6);
  EXPECT_EQ(Bar().Pos, 7);
  Data->Last();
  EXPECT_EQ(Bar().Pos, 20);
}

TEST_F(Scrolling, InsertStateKeepsTheOldPosition) {
  Bind(Data);
  Data->MoveBy(4);
  Data->Insert();
  EXPECT_EQ(Bar().Pos, 5);
  Data->Cancel();
}

TEST_F(Scrolling, UnsequencedBarHasFivePositions) {
  auto* ds = MakePeople(Form, 50, new TUnsequencedDataSet(Form), "Loose");
  Bind(ds);
  EXPECT_EQ(Bar().Min, 0);
  EXPECT_EQ(Bar().Max, 4);
  EXPECT_EQ(Bar().Page, 0u);
  EXPECT_EQ(Bar().Pos, 0);
  ds->MoveBy(20);
  EXPECT_EQ(Bar().Pos, 2);
  ds->Last();
  EXPECT_EQ(Bar().Pos, 4);
  ds->First();
  EXPECT_EQ(Bar().Pos, 0);
}

TEST_F(Scrolling, BarStartsFromTheEstimateAndSettlesWithoutMovingTheRecord) {
  auto* ds = MakePeople(Form, 50, new TLateCountDataSet(Form), "Late");
  auto* late = static_cast<TLateCountDataSet*>(ds);
  Bind(ds);
  const int page = Grid->VisibleRowCount();
  EXPECT_EQ(Bar().Max, 500 + page - 1);
  ds->MoveBy(30);
  const TBookmark place = ds->Bookmark();
  const int row = Grid->Row();
  EXPECT_EQ(Bar().Pos, 310);
  EXPECT_EQ(Grid->RecordIndex(), 30);
  ASSERT_TRUE(TimerActive(Grid->Handle(), 2));
  TickTimers();  // not in yet: nothing changes
  EXPECT_EQ(Bar().Max, 500 + page - 1);

  late->Pending = false;
  TickTimers();
  EXPECT_EQ(Bar().Max, 50 + page - 1);
  EXPECT_EQ(Bar().Pos, 31);
  EXPECT_EQ(ds->Bookmark(), place);
  EXPECT_EQ(ds->RecNo(), 31);
  EXPECT_EQ(Grid->Row(), row);
  EXPECT_FALSE(TimerActive(Grid->Handle(), 2));
}

TEST_F(Scrolling, UnsequencedThumbDropsMovePagesOrToTheEnds) {
  auto* ds = MakePeople(Form, 100, new TUnsequencedDataSet(Form), "Loose");
  Bind(ds);
  const int page = Grid->VisibleRowCount();
  ds->MoveBy(49);
  VScroll(SB_THUMBPOSITION, 3);
  EXPECT_EQ(ds->RecNo(), 50 + page);
  VScroll(SB_THUMBPOSITION, 1);
  EXPECT_EQ(ds->RecNo(), 50);
  VScroll(SB_THUMBPOSITION, 2);
  EXPECT_EQ(ds->RecNo(), 50);
  VScroll(SB_THUMBPOSITION, 4);
  EXPECT_EQ(ds->RecNo(), 100);
  VScroll(SB_THUMBPOSITION, 0);
  EXPECT_EQ(ds->RecNo(), 1);
  VScroll(SB_THUMBPOSITION, 9);
  EXPECT_EQ(ds->RecNo(), 1);
}

struct TThumbCase {
  int Track;
  int RecNo;
};
class SequencedThumb : public Scrolling, public ::testing::WithParamInterface<TThumbCase> {};

TEST_P(SequencedThumb, DroppingTheThumbGoesToThatRecord) {
  Bind(Data);
  Data->MoveBy(9);
  Grid->SetScrollTrackPos(SB_VERT, GetParam().Track);
  VScroll(SB_THUMBPOSITION, GetParam().Track);
  EXPECT_EQ(Data->RecNo(), GetParam().RecNo);
  EXPECT_EQ(Bar().Pos, GetParam().RecNo);
}

INSTANTIATE_TEST_SUITE_P(Positions, SequencedThumb,
                         ::testing::Values(TThumbCase{-3, 1}, TThumbCase{1, 1}, TThumbCase{2, 2}, TThumbCase{7, 7},
                                           TThumbCase{19, 19}, TThumbCase{20, 20}, TThumbCase{500, 20}));

TEST_F(Scrolling, ThumbTrackingDoesNotMove) {
  Bind(Data);
  Data->MoveBy(4);
  Grid->SetScrollTrackPos(SB_VERT, 15);
  VScroll(SB_THUMBTRACK, 15);
  VScroll(SB_ENDSCROLL);
  EXPECT_EQ(Data->RecNo(), 5);
}

TEST_F(Scrolling, LinesAndPagesMovePastTheBufferedRecords) {
  auto* ds = MakePeople(Form, 200, new TMemoryDataSet(Form), "Many");
  Bind(ds);
  const int page = Grid->VisibleRowCount();
  const int buffered = Grid->DataLink()->RecordCount();
  ASSERT_EQ(buffered, page);
  VScroll(SB_LINEDOWN);
  EXPECT_EQ(ds->RecNo(), buffered + 1);  // just below the last buffered record
  const int top = ds->RecNo() - Grid->DataLink()->ActiveRecord();
  VScroll(SB_LINEUP);
  EXPECT_EQ(ds->RecNo(), top - 1);  // just above the top buffered one
  const int before = ds->RecNo();
  VScroll(SB_PAGEDOWN);
  EXPECT_EQ(ds->RecNo(), before + page);
  VScroll(SB_PAGEUP);
  EXPECT_EQ(ds->RecNo(), before);
  VScroll(SB_BOTTOM);
  EXPECT_EQ(ds->RecNo(), 200);
  VScroll(SB_TOP);
  EXPECT_EQ(ds->RecNo(), 1);
}

TEST_F(Scrolling, ScrollMessagesAreIgnoredWithoutAnActiveLink) {
  Form->HandleNeeded();
  VScroll(SB_BOTTOM);
  VScroll(SB_PAGEDOWN);
  EXPECT_EQ(Data->RecNo(), 1);
}

TEST_F(Scrolling, TheCurrentRowFollowsTheActiveRecord) {
  Bind(Data);
  const int title = Grid->TitleOffset();
  Data->MoveBy(3);
  EXPECT_EQ(Grid->Row(), title + 3);
  EXPECT_EQ(Grid->RecordIndex(), 3);
  Data->Last();
  EXPECT_EQ(Grid->Row(), title + Grid->DataLink()->ActiveRecord());
  EXPECT_EQ(Grid->RecordIndex(), 19);
}

TEST_F(Scrolling, AJumpLongerThanTheWindowRepaintsEverything) {
  auto* ds = MakePeople(Form, 200, new TMemoryDataSet(Form), "Many");
  Bind(ds);
  Grid->ValidateAll();
  ds->MoveBy(150);
  EXPECT_EQ(Grid->InvalidBounds(), Grid->ClientRect());
  EXPECT_EQ(Grid->Row(), Grid->TitleOffset() + Grid->DataLink()->ActiveRecord());
}

TEST_F(Scrolling, TimedScrollMovesPastTheWindowThenHandsSidewaysToTheBase) {
  auto* grid = new TScrollGrid(Form);
  grid->SetParent(Form);
  grid->SetBounds(0, 0, 300, 200);
  auto* ds = MakePeople(Form, 100, new TMemoryDataSet(Form), "Many");
  Source->SetDataSet(ds);
  grid->SetDataSource(Source);
  Form->HandleNeeded();
  const int buffered = grid->DataLink()->RecordCount();
  grid->TimedScroll(TGridScrollDirection{sdDown});
  EXPECT_EQ(ds->RecNo(), buffered + 1);
  const int top = ds->RecNo() - grid->DataLink()->ActiveRecord();
  grid->TimedScroll(TGridScrollDirection{sdUp, sdRight});
  EXPECT_EQ(ds->RecNo(), top - 1);
}

TEST_F(Scrolling, HorizontalScrollingRepaintsTheGrid) {
  Bind(Data);
  Grid->ValidateAll();
  SendMessage(Grid->Handle(), WM_HSCROLL, MakeWParam(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(Grid->InvalidBounds(), Grid->ClientRect());
}

} // namespace
