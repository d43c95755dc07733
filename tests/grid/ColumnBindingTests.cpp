// Columns and their fields: binding by name, the object-field hierarchy,
// moving columns and expanding object columns.
#include "GridTestSupport.h"

using namespace gridtest;

namespace {

class ColumnBinding : public GridFixture {
protected:
  TRixDBGridColumns* Cols() { return Grid->Columns(); }
  std::vector<std::string> Names() {
    std::vector<std::string> r;
    for (int i = 0; i < Cols()->Count(); ++i) r.push_back(Cols()->Items(i)->FieldName());
    return r;
  }
  // ID, Address(City, Geo(Lat, Lng)), Note, in object view, two records.
  TMemoryDataSet* MakeObjects() {
    auto* ds = new TMemoryDataSet(Form);
    ds->SetName("Objects");
    ds->FieldDefs()->Add("ID", ftInteger);
    TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT);
    addr->ChildDefs()->Add("City", ftString, 20);
    TFieldDef* geo = addr->ChildDefs()->Add("Geo", ftADT);
    geo->ChildDefs()->Add("Lat", ftFloat);
    geo->ChildDefs()->Add("Lng", ftFloat);
    ds->FieldDefs()->Add("Note", ftString, 20);
    ds->SetObjectView(true);
    ds->CreateDataSet();
    for (int i = 0; i < 2; ++i) {
      ds->Append();
      ds->FieldByName("ID")->SetAsInteger(i);
      ds->Post();
    }
    ds->First();
    return ds;
  }
  void BindObjects() {
    if (Objects == nullptr) Objects = MakeObjects();
    Source->SetDataSet(Objects);
    Grid->SetDataSource(Source);
    Cols()->RebuildColumns();
  }
  TMemoryDataSet* Objects = nullptr;
  TRixColumn* Col(const std::string& Name) {
    for (int i = 0; i < Cols()->Count(); ++i)
      if (Cols()->Items(i)->FieldName() == Name) return Cols()->Items(i);
    return nullptr;
  }
};

TEST_F(ColumnBinding, ANameWithoutAFieldBindsOnceTheFieldAppears) {
  Grid->SetDataSource(Source);
  TRixColumn* c = Cols()->Add();
  c->SetFieldName("Extra");
  EXPECT_EQ(c->Field(), nullptr);
  EXPECT_EQ(c->FieldName(), "Extra");
  Data->Close();
  auto* f = new TStringField(Form);
  f->SetFieldName("Extra");
  f->SetFieldKind(fkCalculated);
  f->SetDataSet(Data);
  Data->Open();
  EXPECT_EQ(c->Field(), f);
  EXPECT_EQ(c->FieldName(), "Extra");
}

TEST_F(ColumnBinding, RebindingADefaultColumnClearsEverySetting) {
  Grid->SetDataSource(Source);
  TRixColumn* c = Cols()->Items(0);
  ASSERT_FALSE(c->IsStored());
  c->SetColor(clRed);
  c->Title()->SetColor(clYellow);
  ASSERT_FALSE(c->AssignedValues().Empty());
  c->SetField(Data->FieldByName("Name"));
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_FALSE(c->Title()->IsColorStored());
  EXPECT_EQ(c->FieldName(), "Name");
  c->SetField(nullptr);
  EXPECT_EQ(c->FieldName(), "");
}

// Two columns on one field (AddAllFields answered No): rebinding one must
// keep the notice that clears the other when the field goes.
TEST_F(ColumnBinding, AFieldStillInUseKeepsItsNotification) {
  auto* f = AddCalculatedField("Calc");
  Data->Open();
  Grid->SetDataSource(Source);
  Customize({"Calc", "Calc"});
  ASSERT_EQ(Cols()->Items(0)->Field(), f);
  ASSERT_EQ(Cols()->Items(1)->Field(), f);
  Cols()->Items(0)->SetFieldName("Name");
  EXPECT_EQ(Cols()->Items(1)->FieldRef(), f);
  Data->Close();
  delete f;
  EXPECT_EQ(Cols()->Items(1)->FieldRef(), nullptr);
  Data->Open();
  EXPECT_EQ(Cols()->Items(1)->Field(), nullptr);
}

TEST_F(ColumnBinding, SubFieldColumnsKnowTheirParentAndDepth) {
  BindObjects();
  ASSERT_EQ(Names(), (std::vector<std::string>{"ID", "Address", "Address.City", "Address.Geo", "Address.Geo.Lat",
                                               "Address.Geo.Lng", "Note"}));
  EXPECT_EQ(Col("ID")->ParentColumn(), nullptr);
  EXPECT_EQ(Col("Address")->Depth(), 0);
  EXPECT_TRUE(Col("Address")->Expandable());
  EXPECT_FALSE(Col("ID")->Expandable());
  EXPECT_EQ(Col("Address.City")->ParentColumn(), Col("Address"));
  EXPECT_EQ(Col("Address.City")->Depth(), 1);
  EXPECT_EQ(Col("Address.Geo.Lat")->ParentColumn(), Col("Address.Geo"));
  EXPECT_EQ(Col("Address.Geo.Lat")->Depth(), 2);
  // Without its parent's column a sub-field column is top level.
  delete Col("Address");
  EXPECT_EQ(Col("Address.City")->ParentColumn(), nullptr);
  EXPECT_EQ(Col("Address.City")->Depth(), 0);
}

TEST_F(ColumnBinding, ShowingNeedsEveryAncestorExpanded) {
  BindObjects();
  TRixColumn* addr = Col("Address");
  TRixColumn* geo = Col("Address.Geo");
  TRixColumn* lat = Col("Address.Geo.Lat");
  EXPECT_TRUE(addr->Expanded());
  EXPECT_FALSE(addr->Showing());  // replaced by its children
  EXPECT_TRUE(Col("Address.City")->Showing());
  EXPECT_TRUE(lat->Showing());
  geo->SetExpanded(false);
  EXPECT_TRUE(geo->Showing());
  EXPECT_FALSE(lat->Showing());
  addr->SetExpanded(false);
  EXPECT_TRUE(addr->Showing());
  EXPECT_FALSE(geo->Showing());
  geo->SetExpanded(true);
  EXPECT_FALSE(lat->Showing());  // its grandparent is collapsed
  addr->SetExpanded(true);
  EXPECT_TRUE(lat->Showing());
  addr->SetVisible(false);
  EXPECT_FALSE(lat->Visible());
  EXPECT_FALSE(lat->Showing());
  EXPECT_FALSE(Col("ID")->Expanded());  // not expandable: always reads false
}

TEST_F(ColumnBinding, StoredObjectColumnsMoveWithTheirChildrenBothWays) {
  BindObjects();
  Col("Address.Geo")->SetIndex(1);  // left, past its own parent: its two children follow
  EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Address.Geo", "Address.Geo.Lat", "Address.Geo.Lng", "Address",
                                               "Address.City", "Note"}));
  BindObjects();
  // Left. Geo's children sit between City and Geo's later siblings: the
  // whole run of descendants moves, not only the direct children.
  Col("Address")->SetIndex(0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Address", "Address.City", "Address.Geo", "Address.Geo.Lat",
                                               "Address.Geo.Lng", "ID", "Note"}));
  BindObjects();
  Col("ID")->SetIndex(6);
  Col("Address")->SetIndex(5);  // right: its descendants follow, the last one lands at 5
  EXPECT_EQ(Names(), (std::vector<std::string>{"Note", "Address", "Address.City", "Address.Geo", "Address.Geo.Lat",
                                               "Address.Geo.Lng", "ID"}));
  Col("Address")->SetIndex(3);  // inside its own block: nothing moves
  EXPECT_EQ(Names()[1], "Address");
  EXPECT_THROW(Col("Address")->SetIndex(7), EListError);
  EXPECT_EQ(Names()[1], "Address");
}

TEST_F(ColumnBinding, MovingADefaultColumnMovesItsField) {
  Grid->SetDataSource(Source);
  ASSERT_EQ(Names(), (std::vector<std::string>{"ID", "Name", "Active"}));
  Cols()->Items(2)->SetIndex(0);
  EXPECT_EQ(Data->Fields()->Fields(0)->FieldName(), "Active");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Active", "ID", "Name"}));
  EXPECT_EQ(Cols()->State(), csDefault);
}

// In the flat view the title rows do not follow the columns' depths, so the
// relayout leaves the current cell where it is and only the collapse moves
// it.
TEST_F(ColumnBinding, CollapsingMovesTheCurrentCellOntoTheParent) {
  Source->SetDataSet(rixtest::MakeObjects(Form, {"ID"}, {"Address", "Phone"}, false));
  Grid->SetDataSource(Source);
  Cols()->RebuildColumns();
  const int raw = Grid->DataToRawColumn(Col("Address.B")->Index());
  Grid->SetCol(raw);
  ASSERT_EQ(Grid->Col(), raw);
  Col("Address")->SetExpanded(false);
  const int parent = Grid->DataToRawColumn(Col("Address")->Index());
  EXPECT_EQ(Grid->Col(), parent) << "over the hidden children onto the parent";
  EXPECT_EQ(Grid->SelectedIndex(), Col("Address")->Index());
  Col("Phone")->SetExpanded(false);  // the current column stays showing: nothing moves
  EXPECT_EQ(Grid->Col(), parent);
  Col("Address")->SetExpanded(true);
  EXPECT_EQ(Grid->SelectedIndex(), Col("Address.A")->Index()) << "expanding moves onto the first child";
}

// In object view the title band is as deep as the deepest showing column:
// collapsing the last expanded object column takes a title row away, and
// the base grid puts its current cell back on the first column. The
// collapse's move must still land on the parent.
TEST_F(ColumnBinding, CollapsingThatRemovesATitleRowStillMovesOntoTheParent) {
  Source->SetDataSet(rixtest::MakeObjects(Form, {"ID", "Code"}, {"Address"}, true));
  Grid->SetDataSource(Source);
  Cols()->RebuildColumns();
  Col("Address")->SetExpanded(true);
  const int titleRows = Grid->TitleOffset();
  Grid->SetSelectedIndex(Col("Address.B")->Index());
  ASSERT_EQ(Grid->SelectedIndex(), Col("Address.B")->Index());
  Col("Address")->SetExpanded(false);
  ASSERT_LT(Grid->TitleOffset(), titleRows) << "the collapse took a title row away";
  EXPECT_EQ(Grid->SelectedIndex(), Col("Address")->Index());
  EXPECT_EQ(Grid->Col(), Grid->DataToRawColumn(Col("Address")->Index()));
}

} // namespace
