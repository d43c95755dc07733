// The selected records: kept in the dataset's order, searched with a
// one-entry cache, deleted and refreshed without touching unselected records.
#include "GridTestSupport.h"

#include <algorithm>

using namespace gridtest;

namespace {

// A memory dataset whose record order can be turned around, as a sort by a
// title click would.
class TReversibleDataSet : public TMemoryDataSet {
public:
  using TMemoryDataSet::TMemoryDataSet;
  bool Reversed = false;
  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override {
    const int c = TMemoryDataSet::CompareBookmarks(A, B);
    return Reversed ? -c : c;
  }
};

class Bookmarks : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
    Grid->SetDataSource(Source);
    Form->HandleNeeded();
    List = Grid->SelectedRows();
  }
  void Select(int RecNo, bool Value = true) {
    Data->SetRecNo(RecNo);
    List->SetCurrentRowSelected(Value);
  }
  std::string BookmarkOf(int RecNo) {
    Data->SetRecNo(RecNo);
    return Data->Bookmark();
  }
  std::vector<int> RemainingIds() {
    std::vector<int> ids;
    for (Data->First(); !Data->Eof(); Data->Next()) ids.push_back(Data->FieldByName("ID")->AsInteger());
    return ids;
  }
  TRixBookmarkList* List = nullptr;
};

TEST_F(Bookmarks, SelectionsAreKeptInRecordOrder) {
  Select(7);
  Select(3);
  Select(5);
  ASSERT_EQ(List->Count(), 3);
  EXPECT_EQ(List->Items(0), BookmarkOf(3));
  EXPECT_EQ(List->Items(1), BookmarkOf(5));
  EXPECT_EQ(List->Items(2), BookmarkOf(7));
  EXPECT_EQ(List->IndexOf(BookmarkOf(5)), 1);
  EXPECT_EQ(List->IndexOf(BookmarkOf(6)), -1);
  EXPECT_THROW(List->Items(3), EListError);
  EXPECT_THROW(List->Items(-1), EListError);
}

TEST_F(Bookmarks, SelectingTwiceKeepsOneAndDeselectingAnUnselectedRecordDoesNothing) {
  Select(4);
  Select(4);
  EXPECT_EQ(List->Count(), 1);
  Data->SetRecNo(9);
  Grid->ValidateAll();
  List->SetCurrentRowSelected(false);
  EXPECT_FALSE(Grid->IsInvalid());
  EXPECT_EQ(List->Count(), 1);
  Select(4, false);
  EXPECT_EQ(List->Count(), 0);
  EXPECT_FALSE(List->CurrentRowSelected());
}

TEST_F(Bookmarks, SelectingRepaintsTheCurrentRow) {
  Data->SetRecNo(2);
  Grid->ValidateAll();
  List->SetCurrentRowSelected(true);
  const TRect row = Grid->BoxRect(0, Grid->Row(), Grid->ColCount() - 1, Grid->Row());
  EXPECT_EQ(Grid->InvalidBounds().Top, row.Top);
  EXPECT_LE(Grid->InvalidBounds().Bottom, row.Bottom + Grid->GridLineWidth());
  EXPECT_TRUE(List->CurrentRowSelected());
}

TEST_F(Bookmarks, FindAnswersARepeatedQuestionFromItsCache) {
  for (int r : {2, 4, 6, 8, 10, 12}) Select(r);
  const std::string b = BookmarkOf(8);
  int index = -1;
  const int before = List->Comparisons();
  EXPECT_TRUE(List->Find(b, index));
  EXPECT_EQ(index, 3);
  const int searched = List->Comparisons();
  EXPECT_GT(searched, before);
  EXPECT_TRUE(List->Find(b, index));
  EXPECT_EQ(List->Comparisons(), searched);
  Select(1);  // a change of the list empties the cache
  EXPECT_TRUE(List->Find(b, index));
  EXPECT_EQ(index, 4);
  EXPECT_GT(List->Comparisons(), searched);
  EXPECT_FALSE(List->Find(BookmarkOf(3), index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(List->Find(BookmarkOf(20), index));
  EXPECT_EQ(index, List->Count());
}

TEST_F(Bookmarks, ClearRepaintsOnlyWhenSomethingWasSelected) {
  Grid->ValidateAll();
  List->Clear();
  EXPECT_FALSE(Grid->IsInvalid());
  Select(3);
  Grid->ValidateAll();
  List->Clear();
  EXPECT_TRUE(Grid->IsInvalid());
  EXPECT_EQ(List->Count(), 0);
}

TEST_F(Bookmarks, DeleteRemovesEverySelectedRecordTheLastFirst) {
  Select(7);
  Select(3);
  Select(5);
  std::vector<int> order;
  Data->SetBeforeDelete([&](TDataSet* D) { order.push_back(D->FieldByName("ID")->AsInteger()); });
  List->Delete();
  EXPECT_EQ(order, (std::vector<int>{7, 5, 3}));
  EXPECT_EQ(List->Count(), 0);
  EXPECT_EQ(Data->RecordCount(), 17);
  EXPECT_FALSE(Data->ControlsDisabled());
  order.clear();
  List->Delete();
  EXPECT_TRUE(order.empty());
}

TEST_F(Bookmarks, DeleteSkipsRecordsThatAreGoneAndDeletesNothingElse) {
  Select(3);
  Select(5);
  Select(7);
  Data->SetRecNo(5);
  Data->Delete();  // another user's delete
  List->Delete();
  EXPECT_EQ(List->Count(), 0);
  const std::vector<int> ids = RemainingIds();
  EXPECT_EQ(ids.size(), 17u);
  for (int gone : {3, 5, 7}) EXPECT_EQ(std::count(ids.begin(), ids.end(), gone), 0) << gone;
  for (int kept : {1, 2, 4, 6, 8, 20}) EXPECT_EQ(std::count(ids.begin(), ids.end(), kept), 1) << kept;
}

TEST_F(Bookmarks, AFailingDeleteStopsAndKeepsTheRecordsNotDeleted) {
  Select(2);
  Select(4);
  Select(6);
  Data->SetBeforeDelete([](TDataSet* D) {
    if (D->FieldByName("ID")->AsInteger() == 4) throw EDatabaseError("locked");
  });
  EXPECT_THROW(List->Delete(), EDatabaseError);
  EXPECT_EQ(List->Count(), 2);
  EXPECT_EQ(List->Items(1), BookmarkOf(4));
  EXPECT_FALSE(Data->ControlsDisabled());
  EXPECT_EQ(Data->RecordCount(), 19);
}

TEST_F(Bookmarks, RefreshDropsExactlyTheRecordsThatAreGone) {
  Select(3);
  Select(5);
  Grid->ValidateAll();
  EXPECT_FALSE(List->Refresh());
  EXPECT_FALSE(Grid->IsInvalid());
  Data->SetRecNo(5);
  Data->Delete();
  Grid->ValidateAll();
  EXPECT_TRUE(List->Refresh());
  EXPECT_TRUE(Grid->IsInvalid());
  ASSERT_EQ(List->Count(), 1);
  EXPECT_EQ(List->Items(0), BookmarkOf(3));
}

TEST_F(Bookmarks, WithoutADataSourceDeleteAndRefreshDoNothing) {
  Select(3);
  Grid->SetDataSource(nullptr);
  List->Delete();
  EXPECT_FALSE(List->Refresh());
  EXPECT_EQ(Data->RecordCount(), 20);
}

TEST_F(Bookmarks, TheCurrentRowOfAClosedDataSetRaises) {
  Data->Close();
  EXPECT_THROW(List->CurrentRow(), EInvalidGridOperation);
  EXPECT_THROW(List->CurrentRowSelected(), EInvalidGridOperation);
  EXPECT_THROW(List->SetCurrentRowSelected(true), EInvalidGridOperation);
}

TEST_F(Bookmarks, ASortedDataSetReordersTheList) {
  auto* ds = new TReversibleDataSet(Form);
  MakePeople(Form, 20, ds, "Sortable");
  Source->SetDataSet(ds);
  Data = ds;
  List = Grid->SelectedRows();
  Select(7);
  Select(3);
  Select(5);
  const std::string b3 = BookmarkOf(3), b5 = BookmarkOf(5), b7 = BookmarkOf(7);
  ds->Reversed = true;
  ds->First();  // the dataset reports a change of its data
  ASSERT_EQ(List->Count(), 3);
  EXPECT_EQ(List->Items(0), b7);
  EXPECT_EQ(List->Items(2), b3);
  int index = -1;
  EXPECT_TRUE(List->Find(b3, index));
  EXPECT_EQ(index, 2);
  EXPECT_TRUE(List->Find(b7, index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(List->Find(b5, index));
}

} // namespace
