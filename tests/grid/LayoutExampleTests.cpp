// The layout of five columns in two rows per record, with Kana merged into
// Name above it: grid size, draw columns, what each cell shows, conversions.
#include "LayoutFixture.h"

#include "platform/controls/TextMeasure.h"

using namespace gridtest;

namespace {

class LayoutExample : public LayoutFixture {
protected:
  void SetUp() override {
    LayoutFixture::SetUp();
    Example();
  }
};

TEST_F(LayoutExample, SizesTheBaseGridForThreeRecordsOfTwoRows) {
  EXPECT_EQ(Grid->ColsPerRow(), 2);
  EXPECT_EQ(Grid->ColCount(), 3);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
  EXPECT_EQ(Grid->TitleOffset(), 2);
  EXPECT_EQ(Grid->FixedRows(), 2);
  EXPECT_EQ(Grid->DataLink()->BufferCount(), 3);
  EXPECT_EQ(Grid->RowCount(), 8);
  EXPECT_EQ(Grid->ColWidths(0), 11);
  EXPECT_EQ(Grid->ColWidths(1), Col("Name")->Width());
  EXPECT_EQ(Grid->ColWidths(2), Col("Price")->Width());
}

TEST_F(LayoutExample, BindsKanaToNameAndLeavesTheOthersAlone) {
  struct Row {
    const char* Column;
    const char* Draw;
    const char* DrawEnd;
  };
  const Row rows[] = {{"Name", "Name", "Kana"},   {"Price", "Price", "Price"}, {"Kana", "Name", "Kana"},
                      {"Stock", "Stock", "Stock"}, {"Note", "Note", "Note"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Column);
    EXPECT_EQ(NameOf(Col(r.Column)->FDrawColumn), r.Draw);
    EXPECT_EQ(NameOf(Col(r.Column)->FDrawEndColumn), r.DrawEnd);
  }
  EXPECT_EQ(Grid->GetColumns(2), Col("Name"));
  EXPECT_EQ(Grid->DataToRawColumn(4), 1);
}

struct TCellCase {
  int Col, Row;
  int DataColumn;
  const char* Shows;
  int Left, Top, Right, Bottom;  // the cells the rectangle spans
};

class LayoutExampleCells : public LayoutExample, public ::testing::WithParamInterface<TCellCase> {};

TEST_P(LayoutExampleCells, ShowsTheDrawColumnInTheMergedRectangle) {
  const TCellCase& c = GetParam();
  EXPECT_EQ(Grid->CellDataColumn(c.Col, c.Row), c.DataColumn);
  TRixColumn* column = Grid->CellColumn(c.Col, c.Row);
  ASSERT_NE(column, nullptr);
  EXPECT_EQ(NameOf(column->FDrawColumn), c.Shows);
  EXPECT_EQ(Grid->CalcRect(column, c.Row), Grid->BoxRect(c.Left, c.Top, c.Right, c.Bottom));
  EXPECT_EQ(Grid->RecordSlot(c.Row), c.Row < 2 ? -1 : (c.Row - 2) / 2);
}

INSTANTIATE_TEST_SUITE_P(TitleRowsAndSlotOne, LayoutExampleCells,
                         ::testing::Values(TCellCase{1, 0, 0, "Name", 1, 0, 1, 1}, TCellCase{2, 0, 1, "Price", 2, 0, 2, 0},
                                           TCellCase{1, 1, 2, "Name", 1, 0, 1, 1}, TCellCase{2, 1, 3, "Stock", 2, 1, 2, 1},
                                           TCellCase{1, 4, 0, "Name", 1, 4, 1, 5}, TCellCase{2, 4, 1, "Price", 2, 4, 2, 4},
                                           TCellCase{1, 5, 2, "Name", 1, 4, 1, 5},
                                           TCellCase{2, 5, 3, "Stock", 2, 5, 2, 5}));

TEST_F(LayoutExample, ConvertsBetweenIndexSpacesOnTheSecondRowOfSlotOne) {
  Goods->Next();  // the current record moves to slot 1
  ASSERT_EQ(Grid->DataLink()->ActiveRecord(), 1);
  EXPECT_EQ(Grid->Row(), 4);
  Grid->SetCol(1);
  Grid->SetRow(5);
  Grid->SetOffset(Grid->Row());
  EXPECT_EQ(Grid->Offset(), 1);
  EXPECT_EQ(Grid->RawToDataColumn(1), 2);
  EXPECT_EQ(Grid->SelectedIndex(), 0);
  EXPECT_EQ(Grid->SelectedField(), Goods->FieldByName("Name"));
  EXPECT_EQ(Grid->RawToDataColumn(2, 4), 1);
  EXPECT_EQ(Grid->RawToDataColumn(1, 1), 2);
  EXPECT_EQ(Grid->DataToRawColumn(3), 2);
  EXPECT_TRUE(Grid->InBindColumn(1, 4, Grid->Columns()->Items(2)));
  EXPECT_FALSE(Grid->InBindColumn(2, 4, Grid->Columns()->Items(2)));
  EXPECT_EQ(Grid->DspToRawColumn(1), 3);
  EXPECT_EQ(Grid->DspToRawColumn(0, 4), 0);
  EXPECT_EQ(Grid->GetOffset(1), -1);
  EXPECT_EQ(Grid->GetOffset(6), 0);
  EXPECT_EQ(Grid->GetColumnPosInRecord(3, 5), (TGridCoord{2, 5}));
  int col = 3, offset = -1;
  Grid->DataToRawColumn(col, offset);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(offset, 1);
  col = 1;
  Grid->DataToRawColumn(col, offset);  // a position in the current record row
  EXPECT_EQ(col, 2);
  EXPECT_EQ(offset, 1);
}

TEST_F(LayoutExample, ScrollKeepsTheRecordRowOfTheCurrentCell) {
  Grid->SetRow(3);
  Grid->SetOffset(Grid->Row());
  ASSERT_EQ(Grid->Offset(), 1);
  Goods->Next();
  EXPECT_EQ(Grid->Row(), 1 * 2 + 1 + 2);
}

TEST_F(LayoutExample, SelectingAColumnMovesToItsCellInTheCurrentRecord) {
  Goods->Next();
  Grid->SetSelectedIndex(3);  // Stock: record row 1, position 1
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 5);
  EXPECT_EQ(Grid->Offset(), 1);
  EXPECT_EQ(Grid->SelectedIndex(), 3);
  Grid->SetSelectedField(Goods->FieldByName("Price"));
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 4);
  EXPECT_EQ(Grid->SelectedField(), Goods->FieldByName("Price"));
  EXPECT_EQ(Grid->SelectedRect(), Grid->CellRect(2, 4));
}

TEST_F(LayoutExample, TitleRowsTakeTheTallestTitleFontOfTheirRecordRow) {
  Col("Price")->Title()->Font()->SetSize(20);
  Col("Stock")->Title()->Font()->SetSize(14);
  Col("Note")->Title()->Font()->SetSize(40);  // never shown: not applied
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->RowHeights(0), rix::FontLineHeight(Col("Price")->Title()->Font()) + 4);
  EXPECT_EQ(Grid->RowHeights(1), rix::FontLineHeight(Col("Stock")->Title()->Font()) + 4);
  const int k = rix::FontLineHeight(Grid->Font()) + 3 + Grid->GridLineWidth();
  EXPECT_EQ(Grid->DefaultRowHeight(), k);
  EXPECT_EQ(Grid->RowHeights(2), k);
}

TEST_F(LayoutExample, RowsPerRecordAboveTheColumnCountRaisesAndChangesNothing) {
  try {
    Grid->SetRowsPerRecord(6);
    FAIL() << "no error";
  } catch (const EInvalidGridOperation& e) {
    EXPECT_EQ(std::string(e.Message()), std::string(SRowsPerRecordTooBig));
  }
  EXPECT_EQ(Grid->RowsPerRecord(), 2);
  EXPECT_EQ(Grid->ColsPerRow(), 2);
  Grid->SetRowsPerRecord(5);
  EXPECT_EQ(Grid->RowsPerRecord(), 5);
  EXPECT_EQ(Grid->ColsPerRow(), 1);
  EXPECT_EQ(Grid->TitleOffset(), 5);
  EXPECT_EQ(Grid->Offset(), 0);
}

TEST_F(LayoutExample, FixedColumnsMustStayBelowTheColumnsPerRow) {
  Grid->SetFixedCols(1);
  EXPECT_EQ(Grid->FixedCols(), 1);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 2);
  EXPECT_THROW(Grid->SetFixedCols(2), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetFixedCols(-1), EInvalidGridOperation);
  EXPECT_EQ(Grid->FixedCols(), 1);
  Grid->SetFixedCols(0);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
}

TEST_F(LayoutExample, DraggingRawColumnTwoSizesPriceNotStock) {
  const int stock = Col("Stock")->Width();
  const TRect cell = Grid->CellRect(2, 0);
  DragMouse({cell.Right, 5}, {cell.Right + 30, 5});
  EXPECT_EQ(Col("Price")->Width(), cell.Right - cell.Left + 30);
  EXPECT_EQ(Col("Stock")->Width(), stock);
  EXPECT_EQ(Grid->ColWidths(2), Col("Price")->Width());
}

TEST_F(LayoutExample, DraggingOneDataRowSizesEveryDataRow) {
  Grid->SetOptions(Grid->Options() + rixdgRowResize);
  const int title0 = Grid->RowHeights(0), title1 = Grid->RowHeights(1);
  const TRect cell = Grid->CellRect(0, 3);
  DragMouse({5, cell.Bottom}, {5, cell.Top + 30});
  EXPECT_EQ(Grid->DataRowHeight(), 30);
  for (int r = 2; r < Grid->RowCount(); ++r) EXPECT_EQ(Grid->RowHeights(r), 30) << r;
  EXPECT_EQ(Grid->RowHeights(0), title0);
  EXPECT_EQ(Grid->RowHeights(1), title1);
}

TEST_F(LayoutExample, DataRowHeightKeepsTheTitlesAndZeroFollowsTheFontAgain) {
  const int title0 = Grid->RowHeights(0), title1 = Grid->RowHeights(1);
  Grid->SetDataRowHeight(20);
  EXPECT_EQ(Grid->DefaultRowHeight(), 20);
  EXPECT_EQ(Grid->RowHeights(0), title0);
  EXPECT_EQ(Grid->RowHeights(1), title1);
  EXPECT_EQ(Grid->RowHeights(4), 20);
  Grid->SetDataRowHeight(0);
  EXPECT_EQ(Grid->DefaultRowHeight(), rix::FontLineHeight(Grid->Font()) + 3 + Grid->GridLineWidth());
  Grid->SetOptions(Grid->Options() - rixdgRowLines);
  EXPECT_EQ(Grid->DefaultRowHeight(), rix::FontLineHeight(Grid->Font()) + 3);
  EXPECT_EQ(Grid->RowHeights(0), title0);
}

} // namespace
