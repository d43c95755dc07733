// The column collection: its state, default and stored columns, rebuilding
// from the dataset, and how column changes reach the grid.
#include "GridTestSupport.h"

using namespace gridtest;

namespace {

class ColumnSet : public GridFixture {
protected:
  TRixDBGridColumns* Cols() { return Grid->Columns(); }
  std::vector<std::string> Names() {
    std::vector<std::string> r;
    for (int i = 0; i < Cols()->Count(); ++i) r.push_back(Cols()->Items(i)->FieldName());
    return r;
  }
};

TEST_F(ColumnSet, StateLooksOnlyAtTheFirstColumn) {
  TRixDBGridColumns c(nullptr, rix::ItemClass<TRixColumn>());
  EXPECT_EQ(c.State(), csDefault);
  c.InternalAdd();
  c.Add();
  EXPECT_EQ(c.State(), csDefault);
  c.Items(1)->SetIndex(0);
  EXPECT_EQ(c.State(), csCustomized);
  c.Clear();
  c.Add();
  EXPECT_EQ(c.State(), csCustomized);
}

// A grid without a link that holds a default column: adding another outside
// a layout pass used to relayout, which dropped the new column while it was
// being made.
TEST_F(ColumnSet, InternalAddOutsideALayoutKeepsTheNewDefaultColumn) {
  Cols()->InternalAdd();
  const int passes = Grid->LayoutPassCount();
  TRixColumn* c = Cols()->InternalAdd();
  EXPECT_FALSE(c->IsStored());
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(Cols()->State(), csDefault);
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
  c->SetFieldName("Name");
  EXPECT_EQ(c->FieldName(), "Name");
}

TEST_F(ColumnSet, SetStateCustomizedBuildsOneStoredColumnPerField) {
  Cols()->SetState(csCustomized);  // no dataset: nothing to build
  EXPECT_EQ(Cols()->Count(), 0);
  EXPECT_EQ(Cols()->State(), csDefault);

  Grid->SetDataSource(Source);
  ASSERT_EQ(Cols()->Count(), 3);
  EXPECT_FALSE(Cols()->Items(0)->IsStored());
  Cols()->SetState(csCustomized);
  EXPECT_EQ(Cols()->State(), csCustomized);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Name", "Active"}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Cols()->Items(i)->IsStored());
    EXPECT_EQ(Cols()->Items(i)->Field(), Data->Fields()->Fields(i));
  }

  Cols()->SetState(csDefault);
  EXPECT_EQ(Cols()->State(), csDefault);
  ASSERT_EQ(Cols()->Count(), 3);  // the grid made its default columns again
  EXPECT_FALSE(Cols()->Items(0)->IsStored());
}

TEST_F(ColumnSet, RebuildRunsOneLayoutAndRestoreDefaultsClearsEveryColumn) {
  Grid->SetDataSource(Source);
  int passes = Grid->LayoutPassCount();
  Cols()->RebuildColumns();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  Cols()->Items(0)->SetColor(clRed);
  Cols()->Items(2)->Title()->SetCaption("有効");
  passes = Grid->LayoutPassCount();
  Cols()->RestoreDefaults();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  EXPECT_TRUE(Cols()->Items(0)->AssignedValues().Empty());
  EXPECT_EQ(Cols()->Items(2)->Title()->Caption(), "Active");
}

struct TAddAllCase {
  TModalResult Answer;
  std::vector<std::string> Expected;
};

class ColumnSetAddAll : public ColumnSet, public testing::WithParamInterface<TAddAllCase> {};

TEST_P(ColumnSetAddAll, AsksBeforeTouchingExistingColumns) {
  Grid->SetDataSource(Source);
  Customize({"Name"});
  DialogService().Reset();
  DialogService().ScriptModalResult(GetParam().Answer);
  Cols()->AddAllFields();
  ASSERT_EQ(DialogService().Requests().size(), 1u);
  const TDialogRequest& r = DialogService().Requests()[0];
  EXPECT_EQ(r.Text, "入力済みの項目を削除してもよいですか？");
  EXPECT_EQ(r.DlgType, mtInformation);
  EXPECT_EQ(r.Buttons, (TMsgDlgButtons{mbYes, mbNo, mbCancel}));
  EXPECT_EQ(Names(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ColumnSetAddAll,
    testing::Values(TAddAllCase{mrYes, {"ID", "Name", "Active"}}, TAddAllCase{mrNo, {"Name", "ID", "Name", "Active"}},
                    TAddAllCase{mrCancel, {"Name"}}));

TEST_F(ColumnSet, AddAllFieldsOnAnEmptySetAsksNothing) {
  Grid->SetDataSource(Source);
  TRixDBGridColumns own(Grid, rix::ItemClass<TRixColumn>());
  DialogService().Reset();
  own.AddAllFields();
  EXPECT_TRUE(DialogService().Requests().empty());
  EXPECT_EQ(own.Count(), 3);
  EXPECT_EQ(Cols()->State(), csDefault);  // a collection not the grid's own leaves the grid alone
}

// Lower record rows share the raw grid columns of record row 0: their width
// changes must not resize (and re-store) the top-row column's width.
TEST_F(ColumnSet, WidthOfALowerRowColumnLeavesTheGridColumnAlone) {
  Grid->SetDataSource(Source);
  Customize({"ID", "Name", "Active", "ID"});
  Grid->SetRowsPerRecord(2);
  ASSERT_EQ(Grid->ColsPerRow(), 2);
  Cols()->Items(0)->SetWidth(50);
  const int raw = Grid->DataToRawColumn(0);
  ASSERT_EQ(Grid->ColWidths(raw), 50);
  Cols()->Items(2)->SetWidth(170);
  EXPECT_EQ(Grid->ColWidths(raw), 50);
  EXPECT_EQ(Cols()->Items(0)->Width(), 50);
  EXPECT_EQ(Cols()->Items(2)->Width(), 170);
  Cols()->Items(0)->SetWidth(60);
  EXPECT_EQ(Grid->ColWidths(raw), 60);
}

TEST_F(ColumnSet, AHiddenTopRowColumnGetsNoGridWidth) {
  Grid->SetDataSource(Source);
  Customize({"ID", "Name"});
  Cols()->Items(1)->SetVisible(false);
  EXPECT_EQ(Grid->ColWidths(Grid->DataToRawColumn(1)), -1);
}

TEST_F(ColumnSet, ACollectionWithoutAGridWorksAlone) {
  TRixDBGridColumns c(nullptr, rix::ItemClass<TRixColumn>());
  c.Add()->SetFieldName("X");
  c.Items(0)->SetExpanded(false);
  c.Items(0)->SetWidth(30);
  c.RebuildColumns();
  EXPECT_EQ(c.Count(), 0);
  c.Add()->SetFieldName("Y");
  c.AddAllFields();  // no dataset: cleared without asking
  EXPECT_EQ(c.Count(), 0);
}

// With the dataset in object view the sub-fields are reached through their
// object field; in the flat view they already follow it, once.
TEST_F(ColumnSet, ObjectFieldsAreFollowedByTheirSubFieldsInBothViews) {
  for (bool objectView : {true, false}) {
    auto* ds = new TMemoryDataSet(Form);
    ds->FieldDefs()->Add("ID", ftInteger);
    TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT);
    addr->ChildDefs()->Add("City", ftString, 20);
    TFieldDef* geo = addr->ChildDefs()->Add("Geo", ftADT);
    geo->ChildDefs()->Add("Lat", ftFloat);
    ds->FieldDefs()->Add("Note", ftString, 20);
    ds->SetObjectView(objectView);
    ds->CreateDataSet();
    Source->SetDataSet(ds);
    Grid->SetDataSource(Source);
    Cols()->RebuildColumns();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Address", "Address.City", "Address.Geo", "Address.Geo.Lat",
                                                 "Note"}))
        << objectView;
  }
}

} // namespace
