// Layout edge cases: short collections, bindings that change, small windows,
// empty datasets, object view, and passes that must hold the layout lock.
#include "LayoutFixture.h"

using namespace gridtest;

namespace {

// Records the layout lock seen by every pass.
class TLockWatchingGrid : public TRixDBGrid {
public:
  using TRixDBGrid::TRixDBGrid;
  std::vector<int> LocksSeen;
  using TRixDBGrid::ColumnMoved;
  using TRixDBGrid::TimedScroll;

protected:
  void SetColumnAttributes() override {
    LocksSeen.push_back(LayoutLock());
    TRixDBGrid::SetColumnAttributes();
  }
};

using LayoutEdge = LayoutFixture;

TEST_F(LayoutEdge, OneRowPerRecordIsTheOrdinaryGrid) {
  Grid->SetDataSource(Source);
  Form->HandleNeeded();
  EXPECT_EQ(Grid->ColsPerRow(), 3);
  EXPECT_EQ(Grid->ColCount(), 4);
  EXPECT_EQ(Grid->TitleOffset(), 1);
  for (int r = 1; r < Grid->RowCount(); ++r) EXPECT_EQ(Grid->GetOffset(r), 0);
  Data->MoveBy(4);
  EXPECT_EQ(Grid->Row(), Grid->DataLink()->ActiveRecord() + 1);
}

TEST_F(LayoutEdge, TheFifthColumnIsMappedButNeverShown) {
  Example();
  EXPECT_EQ(Grid->FieldCount(), 5);
  for (int r = 0; r < Grid->RowCount(); ++r)
    for (int c = 1; c < Grid->ColCount(); ++c) EXPECT_NE(Grid->CellDataColumn(c, r), 4) << c << "," << r;
  Col("Note")->SetWidth(200);
  EXPECT_NE(Grid->ColWidths(1), 200);
}

TEST_F(LayoutEdge, FewerColumnsThanRowsPerRecordFallBackWithoutOverrun) {
  Example();
  Grid->SetRowsPerRecord(3);
  delete Col("Note");
  delete Col("Stock");
  delete Col("Kana");  // two columns left, three rows per record
  ASSERT_EQ(Grid->Columns()->Count(), 2);
  EXPECT_EQ(Grid->ColsPerRow(), 1);
  EXPECT_EQ(Grid->TitleOffset(), 2);
  // Title rows show record rows 0 and 1, in order.
  EXPECT_EQ(NameOf(Grid->CellColumn(1, 0)), "Name");
  EXPECT_EQ(NameOf(Grid->CellColumn(1, 1)), "Price");
  // Data rows: record rows 0, 1, then a row with no column of its own.
  EXPECT_EQ(NameOf(Grid->CellColumn(1, 2)), "Name");
  EXPECT_EQ(NameOf(Grid->CellColumn(1, 3)), "Price");
  EXPECT_EQ(NameOf(Grid->CellColumn(1, 4)), "Name");
  EXPECT_EQ(Grid->RecordSlot(4), 0);
  EXPECT_EQ(Grid->RecordSlot(5), 1);
  // Painting always finds a column; the plain lookup finds none where the
  // record row has no column of its own.
  for (int r = 0; r < Grid->RowCount(); ++r) {
    const int i = Grid->RawToDataColumn(1, r);
    EXPECT_NE(Grid->CheckedColumn(i), nullptr);
    EXPECT_EQ(Grid->GetColumns(i) == nullptr, i >= 2) << "row " << r;
  }
}

TEST_F(LayoutEdge, CheckedColumnFallsBackToTheFirstAndGivesNilWithoutColumns) {
  Example();
  EXPECT_EQ(Grid->CheckedColumn(3), Col("Stock"));
  EXPECT_EQ(Grid->CheckedColumn(-1), Col("Name"));
  EXPECT_EQ(Grid->CheckedColumn(5), Col("Name"));
  EXPECT_EQ(Grid->GetColumns(-1), nullptr);
  EXPECT_EQ(Grid->GetColumns(5), nullptr);
  EXPECT_EQ(Grid->GetColumns(3), Col("Stock"));
  // A layout pass always leaves one column; inside a layout there may be none.
  Grid->BeginLayout();
  Grid->Columns()->Clear();
  EXPECT_EQ(Grid->CheckedColumn(0), nullptr);
  EXPECT_EQ(Grid->GetColumns(-1), nullptr);
  EXPECT_EQ(Grid->SelectedIndex(), -1);
  EXPECT_EQ(Grid->SelectedField(), nullptr);
  Grid->SetSelectedIndex(-1);
  Grid->SetFixedCols(0);
  EXPECT_EQ(Grid->CellColumn(1, 1), nullptr);
  EXPECT_EQ(Grid->CalcRect(nullptr, 1), TRect{});
  Grid->CancelLayout();
}

TEST_F(LayoutEdge, UpBindingInTheFirstRowAndLeftBindingAtPositionZeroStayUnbound) {
  Example();
  Col("Name")->SetBindColumn(btUp);
  Col("Kana")->SetBindColumn(btLeft);
  EXPECT_EQ(Col("Name")->FDrawColumn, Col("Name"));
  EXPECT_EQ(Col("Kana")->FDrawColumn, Col("Kana"));
  EXPECT_EQ(Col("Name")->FDrawEndColumn, Col("Name"));
}

TEST_F(LayoutEdge, TwoUpBindingsUnderOneAnchorMergeThreeRows) {
  Goods = MakeGoods(Form, 3);
  Source->SetDataSet(Goods);
  Customize({"Name", "Price", "Kana", "Stock", "Note", "Price"});
  Grid->Columns()->Items(2)->SetBindColumn(btUp);
  Grid->Columns()->Items(4)->SetBindColumn(btUp);
  Grid->SetRowsPerRecord(3);
  Grid->SetDataSource(Source);
  Form->HandleNeeded();
  TRixColumn* anchor = Grid->Columns()->Items(0);
  EXPECT_EQ(Grid->Columns()->Items(2)->FDrawColumn, anchor);
  EXPECT_EQ(Grid->Columns()->Items(4)->FDrawColumn, anchor);
  EXPECT_EQ(anchor->FDrawEndColumn, Grid->Columns()->Items(4));
  const int first = Grid->TitleOffset();
  EXPECT_EQ(Grid->CalcRect(Grid->Columns()->Items(2), first + 1), Grid->BoxRect(1, first, 1, first + 2));
}

TEST_F(LayoutEdge, LeftBindingOfTheLastColumnOfTheFirstRowBindsLikeAnyOther) {
  Example();
  Col("Kana")->SetBindColumn(btNone);
  Col("Price")->SetBindColumn(btLeft);
  Col("Stock")->SetBindColumn(btLeft);
  EXPECT_EQ(Col("Price")->FDrawColumn, Col("Name"));
  EXPECT_EQ(Col("Stock")->FDrawColumn, Col("Kana"));
  EXPECT_EQ(Grid->CalcRect(Col("Price"), 2), Grid->BoxRect(1, 2, 2, 2));
  EXPECT_EQ(Grid->CalcRect(Col("Stock"), 2), Grid->BoxRect(1, 3, 2, 3));
  // A left binding passes over a column that is itself bound.
  Col("Kana")->SetBindColumn(btUp);
  EXPECT_EQ(Col("Stock")->FDrawColumn, Col("Stock"));
}

TEST_F(LayoutEdge, UnbindingTakesEffectAndNoReferenceOutlivesItsColumn) {
  Example();
  ASSERT_EQ(Col("Name")->FDrawEndColumn, Col("Kana"));
  Col("Kana")->SetBindColumn(btNone);
  EXPECT_EQ(Col("Kana")->FDrawColumn, Col("Kana"));
  EXPECT_EQ(Col("Name")->FDrawEndColumn, Col("Name"));
  Col("Kana")->SetBindColumn(btUp);
  ASSERT_EQ(Col("Name")->FDrawEndColumn, Col("Kana"));
  delete Col("Kana");
  EXPECT_EQ(Col("Name")->FDrawEndColumn, Col("Name"));
  EXPECT_EQ(Grid->CalcRect(Col("Name"), 2), Grid->CellRect(1, 2));
}

TEST_F(LayoutEdge, DeletingABoundColumnInsideALayoutLockLeavesNoDanglingReference) {
  Example();
  Grid->BeginLayout();
  delete Col("Kana");
  EXPECT_EQ(Col("Name")->FDrawEndColumn, Col("Name"));
  Grid->EndLayout();
  EXPECT_EQ(Col("Name")->FDrawEndColumn, Col("Name"));
}

TEST_F(LayoutEdge, TitlesOffStartRecordSlotZeroAtRowZero) {
  Example();
  Grid->SetOptions(Grid->Options() - rixdgTitles);
  EXPECT_EQ(Grid->TitleOffset(), 0);
  EXPECT_EQ(Grid->RecordSlot(0), 0);
  EXPECT_EQ(NameOf(Grid->CellColumn(2, 1)), "Stock");
  EXPECT_EQ(Grid->Row(), 0);
}

TEST_F(LayoutEdge, AWindowShorterThanOneRecordStillHoldsTheCurrentRecord) {
  Example(10);
  Grid->SetBounds(8, 8, 300, Grid->RowHeights(0) + Grid->RowHeights(1) + 10);
  EXPECT_EQ(Grid->DataLink()->BufferCount(), 1);
  EXPECT_EQ(Grid->RowCount(), 2 + 2);
  EXPECT_EQ(Grid->Row(), 2);
  Goods->Next();
  EXPECT_EQ(Goods->RecNo(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_EQ(Grid->RecordIndex(), 1);
}

TEST_F(LayoutEdge, TheBufferWindowHoldsOnlyWholeRecords) {
  Example(50);
  const int rows = Grid->VisibleRowCount();
  EXPECT_EQ(Grid->DataLink()->BufferCount(), rows / 2);
  EXPECT_EQ(Grid->RowCount(), rows / 2 * 2 + 2);
}

TEST_F(LayoutEdge, AnEmptyDataSetLeavesOneEmptyDataRow) {
  Goods = MakeGoods(Form, 0);
  Source->SetDataSet(Goods);
  Grid->SetDataSource(Source);
  Form->HandleNeeded();
  EXPECT_EQ(Grid->RowCount(), Grid->TitleOffset() + 1);
}

TEST_F(LayoutEdge, EmptyingTheDataSetOnTheSecondRowOfARecordKeepsTheRowInRange) {
  Example(3);
  Goods->Last();
  Grid->SetRow(Grid->RowCount() - 1);
  Grid->SetOffset(Grid->Row());
  ASSERT_EQ(Grid->Offset(), 1);
  while (!Goods->IsEmpty()) Goods->Delete();
  EXPECT_EQ(Grid->RowCount(), 3);
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_EQ(Grid->Offset(), 0);
}

TEST_F(LayoutEdge, ChangingRowsPerRecordPutsTheRowOnTheFirstRowOfTheCurrentRecord) {
  Example(4);
  Goods->Last();
  Grid->SetRowsPerRecord(1);
  EXPECT_EQ(Grid->Row(), 3 + 1);
  Grid->SetRowsPerRecord(2);
  EXPECT_EQ(Grid->Row(), 3 * 2 + 2);
  EXPECT_EQ(Grid->Offset(), 0);
}

TEST_F(LayoutEdge, StoredColumnsAfterDefaultOnesDropTheDefaults) {
  Grid->Columns()->Add()->SetFieldName("Name");
  Grid->Columns()->InternalAdd();
  Grid->Columns()->Add()->SetFieldName("ID");
  Grid->LayoutChanged();
  ASSERT_EQ(Grid->Columns()->Count(), 2);
  EXPECT_TRUE(Grid->Columns()->Items(1)->IsStored());
  // Defaults after the stored columns stay.
  Grid->Columns()->InternalAdd();
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->Columns()->Count(), 3);
}

TEST_F(LayoutEdge, EveryRelayoutRunsUnderTheLayoutLock) {
  auto* grid = new TLockWatchingGrid(Form);
  grid->SetParent(Form);
  grid->SetBounds(0, 0, 400, 300);
  Goods = MakeGoods(Form, 5);
  Source->SetDataSet(Goods);
  for (const char* n : {"Name", "Price", "Kana", "Stock"}) grid->Columns()->Add()->SetFieldName(n);
  grid->SetDataSource(Source);
  Form->HandleNeeded();
  grid->LocksSeen.clear();
  grid->Columns()->Items(2)->SetBindColumn(btUp);
  grid->ColumnMoved(1, 2);
  grid->SetRowsPerRecord(2);
  ASSERT_FALSE(grid->LocksSeen.empty());
  for (int lock : grid->LocksSeen) EXPECT_EQ(lock, 1);
  EXPECT_EQ(grid->Columns()->Items(0)->FieldName(), "Price");
  EXPECT_EQ(grid->LayoutLock(), 0);
}

TEST_F(LayoutEdge, ColumnMovedReordersWithinTheCurrentRecordRowAndReportsDataColumns) {
  auto* grid = new TLockWatchingGrid(Form);
  grid->SetParent(Form);
  Goods = MakeGoods(Form, 5);
  Source->SetDataSet(Goods);
  for (const char* n : {"Name", "Price", "Kana", "Stock"}) grid->Columns()->Add()->SetFieldName(n);
  grid->SetRowsPerRecord(2);
  grid->SetDataSource(Source);
  Form->HandleNeeded();
  grid->SetRow(grid->TitleOffset() + 1);
  grid->SetOffset(grid->Row());
  int from = -1, to = -1;
  grid->SetOnColumnMoved([&](TObject*, int F, int T) {
    from = F;
    to = T;
  });
  grid->ColumnMoved(1, 2);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 3);
  EXPECT_EQ(grid->Columns()->Items(3)->FieldName(), "Kana");
}

// A nested object column adds title rows; with two rows per record the title
// band is three rows high and the record rows are counted from the first data
// row.
TEST_F(LayoutEdge, ObjectViewDeeperThanARecordCountsRecordRowsFromTheDataRows) {
  auto* ds = new TMemoryDataSet(Form);
  ds->FieldDefs()->Add("Name", ftString, 20);
  TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT);
  TFieldDef* city = addr->ChildDefs()->Add("City", ftADT);
  city->ChildDefs()->Add("Zip", ftString, 8);
  ds->FieldDefs()->Add("Stock", ftInteger);
  ds->FieldDefs()->Add("Note", ftString, 8);
  ds->SetObjectView(true);
  ds->CreateDataSet();
  for (int i = 0; i < 4; ++i) {
    ds->Append();
    ds->FieldByName("Name")->SetAsString("n" + std::to_string(i));
    ds->Post();
  }
  ds->First();
  Source->SetDataSet(ds);
  Grid->SetDataSource(Source);
  Form->HandleNeeded();
  const int count = Grid->Columns()->Count();
  ASSERT_GE(count, 4);
  Grid->SetRowsPerRecord(2);
  const int t = Grid->TitleOffset();
  ASSERT_EQ(t, 3);
  EXPECT_EQ(Grid->RecordRowOf(0), 0);
  EXPECT_EQ(Grid->RecordRowOf(1), 1);
  EXPECT_EQ(Grid->RecordRowOf(2), 1);
  EXPECT_EQ(Grid->RecordRowOf(t), 0);
  EXPECT_EQ(Grid->RecordRowOf(t + 1), 1);
  EXPECT_EQ(Grid->RecordSlot(t + 2), 1);
  EXPECT_EQ(Grid->Row(), t);
  EXPECT_EQ(Grid->RawToDataColumn(1, t + 1), Grid->ColsPerRow());
  EXPECT_EQ(Grid->GetColumnPosInRecord(Grid->ColsPerRow(), t + 2).Y, t + 3);
  ds->Next();
  EXPECT_EQ(Grid->Row(), t + 2);
  ds->Last();
  EXPECT_EQ(Grid->Row(), t + 6);
  EXPECT_EQ(Grid->Offset(), 0);
}

} // namespace
