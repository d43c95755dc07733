// Title cells of nested object columns, read-only fields, and values stored
// unchecked while the grid is loading.
#include "LayoutFixture.h"

using namespace gridtest;

namespace {

// Name, Address (City, Zip), Stock in object view: three title rows would be
// needed only for deeper nesting; here Address's children sit at depth 1.
class ObjectTitles : public LayoutFixture {
protected:
  void SetUp() override {
    LayoutFixture::SetUp();
    Ds = new TMemoryDataSet(Form);
    Ds->FieldDefs()->Add("Name", ftString, 20);
    TFieldDef* addr = Ds->FieldDefs()->Add("Address", ftADT);
    addr->ChildDefs()->Add("City", ftString, 20);
    addr->ChildDefs()->Add("Zip", ftString, 8);
    Ds->FieldDefs()->Add("Stock", ftInteger);
    Ds->SetObjectView(true);
    Ds->CreateDataSet();
    Ds->Append();
    Ds->Post();
    Source->SetDataSet(Ds);
    Grid->SetDataSource(Source);
    Form->HandleNeeded();
  }
  TRixColumn* Column(const std::string& Name) const { return Col(Name); }
  TMemoryDataSet* Ds = nullptr;
};

TEST_F(ObjectTitles, NestedColumnsAddTitleRowsAndFindTheirGroup) {
  ASSERT_NE(Column("Address.City"), nullptr);
  EXPECT_EQ(Grid->TitleOffset(), 2);
  EXPECT_TRUE(Grid->DoubleBuffered());
  TRixColumn* city = Column("Address.City");
  EXPECT_EQ(TRixCustomDBGrid::ColumnAtDepth(city, 1), city);
  EXPECT_EQ(TRixCustomDBGrid::ColumnAtDepth(city, 0), Column("Address"));
  EXPECT_EQ(TRixCustomDBGrid::ColumnAtDepth(nullptr, 0), nullptr);
}

TEST_F(ObjectTitles, AGroupTitleSpansItsChildrenAndAChildTitleItsOwnCell) {
  TRixColumn* city = Column("Address.City");
  TRixColumn* zip = Column("Address.Zip");
  TRixColumn* master = nullptr;
  const TRect group = Grid->CalcTitleRect(city, 0, master);
  EXPECT_EQ(master, Column("Address"));
  const int rawAddress = Grid->DataToRawColumn(Column("Address")->Index());
  const TRect first = Grid->CellRect(rawAddress, 0);
  const TRect last = Grid->CellRect(Grid->DataToRawColumn(zip->Index()), 0);
  EXPECT_EQ(group.Left, first.Left);
  EXPECT_EQ(group.Right, last.Right);
  EXPECT_EQ(group.Top, first.Top);
  const TRect own = Grid->CalcTitleRect(zip, 1, master);
  EXPECT_EQ(master, zip);
  EXPECT_EQ(own, Grid->CellRect(Grid->DataToRawColumn(zip->Index()), 1));
  // A plain column's title reaches down over both title rows.
  const TRect name = Grid->CalcTitleRect(Column("Name"), 0, master);
  EXPECT_EQ(master, Column("Name"));
  EXPECT_EQ(name.Right, Grid->CellRect(Grid->DataToRawColumn(Column("Name")->Index()), 0).Right);
}

TEST_F(LayoutFixture, ReadOnlyFieldFollowsTheKeyFieldOfALookup) {
  Goods = MakeGoods(Form, 1);
  TField* price = Goods->FieldByName("Price");
  EXPECT_FALSE(ReadOnlyField(price));
  EXPECT_FALSE(ReadOnlyField(nullptr));
  price->SetReadOnly(true);
  EXPECT_TRUE(ReadOnlyField(price));
  price->SetReadOnly(false);

  // A closed dataset with persistent fields: the key field and the lookup.
  auto* shop = new TMemoryDataSet(Form);
  auto* stock = new TIntegerField(Form);
  stock->SetFieldName("Stock");
  stock->SetDataSet(shop);
  auto* lookup = new TStringField(Form);
  lookup->SetFieldName("Maker");
  lookup->SetFieldKind(fkLookup);
  lookup->SetKeyFields("Stock");
  lookup->SetDataSet(shop);
  EXPECT_FALSE(ReadOnlyField(lookup));
  stock->SetReadOnly(true);
  EXPECT_TRUE(ReadOnlyField(lookup));
  stock->SetReadOnly(false);
  lookup->SetKeyFields("Missing");
  EXPECT_TRUE(ReadOnlyField(lookup));
  lookup->SetKeyFields("Stock");
  lookup->SetDataSet(nullptr);
  EXPECT_TRUE(ReadOnlyField(lookup));
  delete lookup;
}

TEST_F(LayoutFixture, ReadOnlyColumnsAndFieldsAreNoTabStops) {
  Example();
  EXPECT_TRUE(Grid->TabStops(1));
  Goods->FieldByName("Price")->SetReadOnly(true);
  Grid->LayoutChanged();
  EXPECT_FALSE(Grid->TabStops(2));
  Col("Name")->SetReadOnly(true);
  Grid->LayoutChanged();
  EXPECT_FALSE(Grid->TabStops(1));
}

TEST_F(LayoutFixture, LoadingStoresRowsPerRecordAndFixedColumnsUnchecked) {
  Example();
  Grid->SetLoading(true);
  Grid->SetRowsPerRecord(9);
  Grid->SetFixedCols(7);
  EXPECT_EQ(Grid->RowsPerRecord(), 9);
  EXPECT_EQ(Grid->FixedCols(), 7);
  Grid->SetRowsPerRecord(0);
  EXPECT_EQ(Grid->RowsPerRecord(), 9);
  Grid->SetLoading(false);
  Grid->LayoutChanged();
  // Nine rows per record over five columns: one column per row, and the
  // fixed columns the base grid cannot take are left as they were.
  EXPECT_EQ(Grid->ColsPerRow(), 1);
  EXPECT_EQ(Grid->TitleOffset(), 5);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
  for (int r = 0; r < Grid->RowCount(); ++r) EXPECT_NE(Grid->CellColumn(1, r), nullptr);
}

} // namespace
