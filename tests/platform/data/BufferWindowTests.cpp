#include "DataTestSupport.h"

using namespace rixtest;

namespace {

struct BufferWindow : TDataFixture {
  TMemoryDataSet* DS = nullptr;
  void Attach(int Records, int Buffers) {
    DS = MakePeople(Owner.get(), Records);
    Source->SetDataSet(DS);
    Link.SetDataSource(Source);
    Link.SetBufferCount(Buffers);
    Link.Take();
  }
  int CurrentId() { return DS->FieldByName("ID")->AsInteger(); }
};

TEST_F(BufferWindow, ActiveRecordWalksInsideTheWindowThenTheWindowScrolls) {
  Attach(10, 3);
  std::vector<int> active, first;
  for (int i = 0; i < 5; ++i) {
    active.push_back(Link.ActiveRecord());
    first.push_back(WindowIds(Link).front());
    Link.MoveBy(1);
  }
  EXPECT_EQ(active, (std::vector<int>{0, 1, 2, 2, 2}));
  EXPECT_EQ(first, (std::vector<int>{1, 1, 1, 2, 3}));
  EXPECT_EQ(Link.Take(), (std::vector<std::string>{"CheckBrowseMode", "DataSetScrolled(0)", "CheckBrowseMode",
                                                   "DataSetScrolled(0)", "CheckBrowseMode", "DataSetScrolled(1)",
                                                   "CheckBrowseMode", "DataSetScrolled(1)", "CheckBrowseMode",
                                                   "DataSetScrolled(1)"}));
  EXPECT_EQ(CurrentId(), 6);
}

TEST_F(BufferWindow, LastFillsTheWindowUpToTheEnd) {
  Attach(10, 4);
  DS->Last();
  EXPECT_EQ(WindowIds(Link), (std::vector<int>{7, 8, 9, 10}));
  EXPECT_EQ(Link.ActiveRecord(), 3);
  EXPECT_TRUE(Link.Eof());
  EXPECT_FALSE(Link.BOF());
}

TEST_F(BufferWindow, FewerRecordsThanBuffersGiveAShortWindow) {
  Attach(2, 5);
  EXPECT_EQ(Link.RecordCount(), 2);
  EXPECT_EQ(Link.BufferCount(), 5);
  EXPECT_EQ(DS->BufferCount(), 5);
}

TEST_F(BufferWindow, GrowingTheBufferCountFillsAtOnce) {
  Attach(20, 1);
  DS->MoveBy(10);
  EXPECT_EQ(Link.RecordCount(), 1);
  Link.SetBufferCount(6);
  EXPECT_EQ(Link.RecordCount(), 6);
  // The current record stays current and the window stretches around it.
  EXPECT_EQ(CurrentId(), 11);
  std::vector<int> ids = WindowIds(Link);
  EXPECT_EQ(ids[static_cast<size_t>(Link.ActiveRecord())], 11);
  EXPECT_EQ(ids.size(), 6u);
  for (size_t i = 1; i < ids.size(); ++i) EXPECT_EQ(ids[i], ids[i - 1] + 1);
}

TEST_F(BufferWindow, ShrinkingTheBufferCountKeepsTheCurrentRecord) {
  Attach(20, 8);
  DS->MoveBy(7);
  Link.SetBufferCount(2);
  EXPECT_EQ(CurrentId(), 8);
  EXPECT_EQ(Link.RecordCount(), 2);
  EXPECT_EQ(WindowIds(Link)[static_cast<size_t>(Link.ActiveRecord())], 8);
}

TEST_F(BufferWindow, TwoLinksShareTheLargestWindow) {
  Attach(20, 6);
  TRecordingLink small;
  small.SetDataSource(Source);
  EXPECT_EQ(DS->BufferCount(), 6);
  DS->MoveBy(3);
  EXPECT_EQ(small.RecordCount(), 1);
  EXPECT_EQ(small.ActiveRecord(), 0);
  EXPECT_EQ(WindowIds(small), std::vector<int>{4});
  EXPECT_EQ(Link.ActiveRecord(), 3);
  small.SetDataSource(nullptr);
}

TEST_F(BufferWindow, GuardPointsFieldsAtAnotherRecordAndRestoresOnThrow) {
  Attach(10, 5);
  DS->MoveBy(1);
  try {
    TActiveRecordGuard g(&Link, 3);
    EXPECT_EQ(CurrentId(), 4);
    EXPECT_EQ(DS->FieldByName("Name")->DisplayText(), "P4");
    throw std::runtime_error("paint failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Link.ActiveRecord(), 1);
  EXPECT_EQ(CurrentId(), 2);
}

TEST_F(BufferWindow, SlotOutsideTheWindowRaises) {
  Attach(10, 5);
  EXPECT_THROW(Link.SetActiveRecord(5), EDatabaseError);
  EXPECT_THROW(Link.SetActiveRecord(-1), EDatabaseError);
  EXPECT_EQ(Link.ActiveRecord(), 0);
}

TEST_F(BufferWindow, PaintingAnotherRowWhileEditingLeavesTheEditAlone) {
  Attach(10, 5);
  DS->Edit();
  DS->FieldByName("Name")->SetAsString("typed");
  {
    TActiveRecordGuard g(&Link, 2);
    EXPECT_EQ(DS->FieldByName("Name")->AsString(), "P3");
  }
  EXPECT_EQ(DS->FieldByName("Name")->AsString(), "typed");
  DS->Post();
  EXPECT_EQ(DS->FieldByName("Name")->AsString(), "typed");
  EXPECT_EQ(CurrentId(), 1);
}

TEST_F(BufferWindow, InsertOpensARecordBeforeTheCurrentOne) {
  Attach(5, 5);
  DS->MoveBy(2);
  DS->Insert();
  EXPECT_EQ(Link.ActiveRecord(), 2);
  EXPECT_TRUE(DS->FieldByName("ID")->IsNull());
  DS->FieldByName("ID")->SetAsInteger(99);
  DS->Post();
  EXPECT_EQ(CurrentId(), 99);
  DS->First();
  EXPECT_EQ(WindowIds(Link), (std::vector<int>{1, 2, 99, 3, 4}));
  EXPECT_EQ(DS->RecordCount(), 6);
}

TEST_F(BufferWindow, CancelledInsertLeavesNoTrace) {
  Attach(5, 5);
  DS->MoveBy(2);
  DS->Insert();
  DS->FieldByName("ID")->SetAsInteger(99);
  DS->Cancel();
  EXPECT_EQ(CurrentId(), 3);
  EXPECT_EQ(WindowIds(Link), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(BufferWindow, AppendGoesAfterTheLastRecord) {
  Attach(8, 4);
  DS->Append();
  DS->FieldByName("ID")->SetAsInteger(50);
  DS->Post();
  EXPECT_EQ(WindowIds(Link), (std::vector<int>{6, 7, 8, 50}));
  EXPECT_EQ(Link.ActiveRecord(), 3);
}

TEST_F(BufferWindow, DeleteMovesToTheNextRecordOrTheLast) {
  Attach(4, 4);
  DS->MoveBy(1);
  DS->Delete();
  EXPECT_EQ(CurrentId(), 3);
  DS->Last();
  DS->Delete();
  EXPECT_EQ(CurrentId(), 3);
  EXPECT_EQ(DS->RecordCount(), 2);
  DS->Delete();
  DS->Delete();
  EXPECT_TRUE(DS->IsEmpty());
  EXPECT_TRUE(DS->FieldByName("ID")->IsNull());
  EXPECT_THROW(DS->Delete(), EDatabaseError);
}

TEST_F(BufferWindow, RecNoFollowsTheCursorAndSettingItMoves) {
  Attach(30, 5);
  EXPECT_TRUE(DS->IsSequenced());
  DS->MoveBy(12);
  EXPECT_EQ(DS->RecNo(), 13);
  DS->SetRecNo(25);
  EXPECT_EQ(CurrentId(), 25);
  EXPECT_EQ(DS->RecNo(), 25);
  DS->SetRecNo(1000);
  EXPECT_EQ(DS->RecNo(), 30);
}

TEST_F(BufferWindow, EditOnAnEmptyDataSetInserts) {
  Attach(0, 3);
  EXPECT_TRUE(DS->IsEmpty());
  EXPECT_TRUE(DS->BOF());
  EXPECT_TRUE(DS->Eof());
  DS->Edit();
  EXPECT_EQ(DS->State(), dsInsert);
}

TEST_F(BufferWindow, FailedPostKeepsTheEditState) {
  Attach(3, 3);
  DS->Insert();
  DS->FieldByName("Name")->SetAsString("no id");
  EXPECT_THROW(DS->Post(), EDatabaseError);  // ID is required
  EXPECT_EQ(DS->State(), dsInsert);
  EXPECT_EQ(DS->FieldByName("Name")->AsString(), "no id");
  DS->FieldByName("ID")->SetAsInteger(7);
  DS->Post();
  EXPECT_EQ(DS->RecordCount(), 4);
}

TEST_F(BufferWindow, ReadOnlyDataSetRefusesEveryChange) {
  Attach(3, 3);
  DS->SetReadOnly(true);
  EXPECT_FALSE(DS->CanModify());
  EXPECT_FALSE(DS->FieldByName("Name")->CanModify());
  EXPECT_THROW(DS->Edit(), EDatabaseError);
  EXPECT_THROW(DS->Insert(), EDatabaseError);
  EXPECT_THROW(DS->Delete(), EDatabaseError);
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(DS->RecordCount(), 3);
}

TEST_F(BufferWindow, AssigningOutsideAnEditStateRaises) {
  Attach(3, 3);
  EXPECT_THROW(DS->FieldByName("Name")->SetAsString("x"), EDatabaseError);
  EXPECT_THROW(DS->Post(), EDatabaseError);
}

} // namespace
