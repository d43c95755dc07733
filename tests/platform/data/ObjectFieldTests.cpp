#include "DataTestSupport.h"

using namespace rixtest;

namespace {

// People with an address (ADT), three phone numbers (array) and their
// orders (nested dataset).
struct ObjectView : TDataFixture {
  TMemoryDataSet* DS = new TMemoryDataSet(Owner.get());
  ObjectView() {
    DS->SetObjectView(true);
    DS->FieldDefs()->Add("Name", ftString, 20);
    TFieldDef* addr = DS->FieldDefs()->Add("Address", ftADT);
    addr->ChildDefs()->Add("Street", ftString, 30);
    addr->ChildDefs()->Add("City", ftString, 20);
    TFieldDef* phones = DS->FieldDefs()->Add("Phones", ftArray, 3);
    phones->ChildDefs()->Add("Phone", ftString, 15);
    TFieldDef* orders = DS->FieldDefs()->Add("Orders", ftDataSet);
    orders->ChildDefs()->Add("Item", ftString, 20);
    orders->ChildDefs()->Add("Qty", ftInteger);
    DS->CreateDataSet();
  }
  TDataSet* Nested() { return static_cast<TDataSetField*>(DS->FieldByName("Orders"))->NestedDataSet(); }
  void AddPerson(const std::string& Name, std::vector<std::pair<std::string, int>> Orders) {
    DS->Append();
    DS->FieldByName("Name")->SetAsString(Name);
    DS->FieldByName("Address.City")->SetAsString(Name + " city");
    DS->FieldByName("Phones[1]")->SetAsString(Name + "-1");
    for (auto& [item, qty] : Orders) {
      Nested()->Append();
      Nested()->FieldByName("Item")->SetAsString(item);
      Nested()->FieldByName("Qty")->SetAsInteger(qty);
      Nested()->Post();
    }
    DS->Post();
  }
};

TEST_F(ObjectView, SubFieldsAppearInFieldListAfterTheirParent) {
  std::vector<std::string> names;
  for (TField* f : *DS->FieldList()) names.push_back(f->FullName());
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Address", "Address.Street", "Address.City", "Phones",
                                             "Phones[0]", "Phones[1]", "Phones[2]", "Orders"}));
  EXPECT_EQ(DS->FieldCount(), 4);  // the top level only
  TField* city = DS->FieldByName("Address.City");
  ASSERT_NE(city->ParentField(), nullptr);
  EXPECT_EQ(city->ParentField(), DS->FieldByName("Address"));
  EXPECT_EQ(city->FieldName(), "City");
  EXPECT_EQ(DS->FieldByName("Phones[2]")->ParentField(), DS->FieldByName("Phones"));
  EXPECT_EQ(DS->FieldByName("Address")->DataType(), ftADT);
  EXPECT_EQ(DS->FieldByName("Phones")->DataType(), ftArray);
  auto* adt = static_cast<TObjectField*>(DS->FieldByName("Address"));
  EXPECT_EQ(adt->FieldCount(), 2);
  EXPECT_EQ(adt->Fields()->Fields(1), city);
  EXPECT_EQ(city->Index(), 1);
}

TEST_F(ObjectView, MovingASubFieldReordersTheFlatList) {
  DS->FieldByName("Address.City")->SetIndex(0);
  EXPECT_EQ(DS->FieldList()->Fields(2)->FullName(), "Address.City");
  EXPECT_EQ(DS->FieldList()->Fields(3)->FullName(), "Address.Street");
}

TEST_F(ObjectView, SubFieldValuesAreStoredPerRecord) {
  AddPerson("Aoi", {});
  AddPerson("Ren", {});
  DS->First();
  EXPECT_EQ(DS->FieldByName("Address.City")->AsString(), "Aoi city");
  EXPECT_EQ(DS->FieldByName("Phones[1]")->AsString(), "Aoi-1");
  EXPECT_TRUE(DS->FieldByName("Phones[0]")->IsNull());
  EXPECT_EQ(DS->FieldByName("Address")->DisplayText(), "(, Aoi city)");
  EXPECT_FALSE(DS->FieldByName("Address")->IsNull());
  DS->Next();
  EXPECT_EQ(DS->FieldByName("Address.City")->AsString(), "Ren city");
}

TEST_F(ObjectView, NestedDataSetShowsTheMastersCurrentRecord) {
  AddPerson("Aoi", {{"pen", 2}, {"ink", 1}});
  AddPerson("Ren", {{"paper", 500}});
  TDataSet* orders = Nested();
  ASSERT_NE(orders, nullptr);
  EXPECT_EQ(orders->DataSetField(), DS->FieldByName("Orders"));
  DS->First();
  EXPECT_TRUE(orders->Active());
  EXPECT_EQ(orders->RecordCount(), 2);
  EXPECT_EQ(orders->FieldByName("Item")->AsString(), "pen");
  DS->Next();
  EXPECT_EQ(orders->RecordCount(), 1);
  EXPECT_EQ(orders->FieldByName("Qty")->AsInteger(), 500);
  orders->Edit();
  orders->FieldByName("Qty")->SetAsInteger(250);
  orders->Post();
  DS->First();
  DS->Next();
  EXPECT_EQ(orders->FieldByName("Qty")->AsInteger(), 250);
  EXPECT_EQ(DS->FieldByName("Orders")->DisplayText(), "(DATASET)");
}

TEST_F(ObjectView, AGridLinkOnTheNestedDataSetFollowsTheMaster) {
  AddPerson("Aoi", {{"pen", 2}, {"ink", 1}});
  AddPerson("Ren", {{"paper", 500}});
  DS->First();
  Source->SetDataSet(Nested());
  Link.SetDataSource(Source);
  Link.SetBufferCount(5);
  EXPECT_EQ(Link.RecordCount(), 2);
  Link.Take();
  DS->Next();
  EXPECT_EQ(Link.RecordCount(), 1);
  std::vector<std::string> e = Link.Take();
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e.back(), "DataSetChanged");
}

TEST_F(ObjectView, ClosingAndDestroyingTheMasterTakesTheNestedDataSetAlong) {
  AddPerson("Aoi", {{"pen", 2}});
  DS->Close();
  EXPECT_EQ(DS->FieldList()->Count(), 0);  // default fields go with the close
  DS->Open();
  EXPECT_TRUE(Nested()->Active());
  DS->First();
  EXPECT_EQ(Nested()->FieldByName("Item")->AsString(), "pen");
  delete DS;  // ASan checks nothing dangles
  DS = nullptr;
}

TEST(ObjectViewFlag, OnlyChangesWhileClosed) {
  TMemoryDataSet ds(nullptr);
  ds.FieldDefs()->Add("A", ftInteger);
  ds.CreateDataSet();
  EXPECT_THROW(ds.SetObjectView(true), EDatabaseError);
  ds.Close();
  ds.SetObjectView(true);
  EXPECT_TRUE(ds.ObjectView());
}

TEST_F(TDataFixture, MemoryBookmarksCompareInRecordOrderAndDieWithTheirRecord) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 6);
  ds->MoveBy(4);
  TBookmark b5 = ds->Bookmark();
  ds->First();
  TBookmark b1 = ds->Bookmark();
  ds->MoveBy(2);
  ds->Insert();  // lands before record 3, so record order differs from creation order
  ds->FieldByName("ID")->SetAsInteger(100);
  EXPECT_EQ(ds->Bookmark(), "");  // an unposted record has no bookmark
  ds->Post();
  TBookmark b100 = ds->Bookmark();
  EXPECT_EQ(ds->CompareBookmarks(b1, b100), -1);
  EXPECT_EQ(ds->CompareBookmarks(b100, b5), -1);
  EXPECT_EQ(ds->CompareBookmarks(b5, b100), 1);
  EXPECT_EQ(ds->CompareBookmarks(b5, b5), 0);
  EXPECT_EQ(ds->CompareBookmarks("", ""), 0);
  ds->GotoBookmark(b5);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 5);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("kept");
  ds->Post();
  EXPECT_TRUE(ds->BookmarkValid(b5));
  ds->Delete();
  EXPECT_FALSE(ds->BookmarkValid(b5));
  EXPECT_TRUE(ds->BookmarkValid(b1));
  EXPECT_THROW(ds->GotoBookmark(b5), EDatabaseError);
  EXPECT_FALSE(ds->BookmarkValid("junk"));
}

} // namespace
