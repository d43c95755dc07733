#include "GridTestSupport.h"

using namespace gridtest;

using GridDataLink = GridFixture;

TEST_F(GridDataLink, DefaultColumnsMapOnlyVisibleFields) {
  Data->FieldByName("Name")->SetVisible(false);
  Grid->SetDataSource(Source);
  TRixGridDataLink* link = Grid->DataLink();
  EXPECT_FALSE(link->SparseMap());
  ASSERT_EQ(link->FieldCount(), 2);
  EXPECT_EQ(link->GetMappedIndex(1), Data->FieldList()->IndexOf(Data->FieldByName("Active")));
  EXPECT_EQ(link->Fields(1), Data->FieldByName("Active"));
  EXPECT_EQ(Grid->Columns()->Count(), 2);
  EXPECT_EQ(Grid->Columns()->State(), csDefault);
  EXPECT_EQ(Grid->Columns()->Items(1)->FieldRef(), Data->FieldByName("Active"));
  EXPECT_EQ(Grid->ColCount(), 3);
}

TEST_F(GridDataLink, CustomizedColumnsMapUnknownNamesToMinusOne) {
  Customize({"ID", "Name", "NoSuchField", ""});
  Grid->SetDataSource(Source);
  TRixGridDataLink* link = Grid->DataLink();
  EXPECT_TRUE(link->SparseMap());
  ASSERT_EQ(link->FieldCount(), 4);
  EXPECT_EQ(link->GetMappedIndex(2), -1);
  EXPECT_EQ(link->GetMappedIndex(3), -1);
  EXPECT_EQ(link->Fields(2), nullptr);
  EXPECT_EQ(link->Fields(1), Data->FieldByName("Name"));
  EXPECT_FALSE(link->DefaultFields());
  EXPECT_FALSE(Grid->ValidFieldIndex(2));
  EXPECT_TRUE(Grid->ValidFieldIndex(0));
}

TEST_F(GridDataLink, MappedIndexOutsideTheMapIsMinusOne) {
  Grid->SetDataSource(Source);
  TRixGridDataLink* link = Grid->DataLink();
  EXPECT_EQ(link->GetMappedIndex(-1), -1);
  EXPECT_EQ(link->GetMappedIndex(link->FieldCount()), -1);
  EXPECT_EQ(link->Fields(-1), nullptr);
  EXPECT_EQ(link->Fields(link->FieldCount()), nullptr);
}

TEST_F(GridDataLink, TheMapGrowsBy8Then16Then32) {
  Grid->SetDataSource(Source);
  TRixGridDataLink* link = Grid->DataLink();
  link->ClearMapping();
  link->SetSparseMap(true);
  EXPECT_EQ(link->MapCapacity(), 0);
  std::vector<int> capacities;
  for (int i = 0; i < 17; ++i) {
    EXPECT_TRUE(link->AddMapping(i % 2 ? "Name" : "x"));
    capacities.push_back(link->MapCapacity());
  }
  EXPECT_EQ(capacities[0], 8);
  EXPECT_EQ(capacities[7], 8);
  EXPECT_EQ(capacities[8], 16);
  EXPECT_EQ(capacities[15], 16);
  EXPECT_EQ(capacities[16], 32);
  EXPECT_EQ(link->FieldCount(), 17);
  link->ClearMapping();
  EXPECT_EQ(link->FieldCount(), 0);
  EXPECT_EQ(link->MapCapacity(), 0);
}

TEST_F(GridDataLink, AnUnknownNameInAFullMapRaisesAndLeavesTheMap) {
  Grid->SetDataSource(Source);
  TRixGridDataLink* link = Grid->DataLink();
  const int count = link->FieldCount();
  EXPECT_THROW(link->AddMapping("NoSuchField"), EDatabaseError);
  EXPECT_EQ(link->FieldCount(), count);
}

TEST_F(GridDataLink, WithoutADataSetDefaultFieldsIsTrue) {
  EXPECT_TRUE(Grid->DataLink()->DefaultFields());
  EXPECT_FALSE(Grid->DataLink()->IsAggRow(0));
  EXPECT_EQ(Grid->FieldCount(), 0);
}

TEST_F(GridDataLink, ResetCancelsOrRefreshesTheEditor) {
  Grid->SetDataSource(Source);
  Data->Edit();
  Data->FieldByName("Name")->SetAsString("changed");
  Grid->Events.clear();
  Grid->DataLink()->Modified();
  Grid->DataLink()->Reset();
  EXPECT_EQ(Data->State(), dsEdit);
  EXPECT_EQ(Grid->Events, std::vector<std::string>{"RecordChanged(nil)"});
  EXPECT_FALSE(Grid->DataLink()->IsModified());
  Grid->DataLink()->Reset();
  EXPECT_EQ(Data->State(), dsBrowse);
  EXPECT_EQ(Data->FieldByName("Name")->AsString(), "P1");
}

TEST_F(GridDataLink, OpenScrollEditAndCloseReachTheGridInOrder) {
  Form->HandleNeeded();
  Data->Close();
  Grid->SetDataSource(Source);
  Grid->Events.clear();
  Data->Open();
  Data->MoveBy(2);
  Data->Edit();
  Data->FieldByName("Name")->SetAsString("Z");
  Data->Post();
  Data->Close();
  // UpdateData reaches the grid only with a pending edit of its own; the
  // edit itself refreshes the record before the field reports its change.
  const std::vector<std::string> want{"LinkActive(true)",   "Scroll(0)",      "EditingChanged",
                                      "RecordChanged(nil)", "RecordChanged(Name)", "EditingChanged",
                                      "DataChanged",        "LinkActive(false)"};
  EXPECT_EQ(Grid->Events, want);
}

TEST_F(GridDataLink, ALayoutReportedByTheDataSetLaysOutThenRefreshes) {
  Form->HandleNeeded();
  Grid->SetDataSource(Source);
  Grid->Events.clear();
  const int passes = Grid->LayoutPassCount();
  Data->FieldByName("Name")->SetVisible(false);
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  ASSERT_FALSE(Grid->Events.empty());
  EXPECT_EQ(Grid->Events.back(), "DataChanged");
  EXPECT_EQ(Grid->DataLink()->FieldCount(), 2);
}
