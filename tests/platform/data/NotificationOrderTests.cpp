#include "DataTestSupport.h"

#include <functional>

using namespace rixtest;
using Events = std::vector<std::string>;

namespace {

struct TOrderCase {
  const char* Name;
  std::function<void(TDataSet*)> Prepare;  // runs before recording starts
  std::function<void(TDataSet*)> Act;
  Events Expected;
};

void PrintTo(const TOrderCase& C, std::ostream* Os) { *Os << C.Name; }

class NotificationOrder : public TDataFixture, public ::testing::WithParamInterface<TOrderCase> {};

TEST_P(NotificationOrder, LinkHearsTheFrameworksSequence) {
  const TOrderCase& c = GetParam();
  TMemoryDataSet* ds = MakePeople(Owner.get(), 10);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.SetBufferCount(5);
  if (c.Prepare) c.Prepare(ds);
  Link.Take();
  c.Act(ds);
  EXPECT_EQ(Link.Take(), c.Expected);
}

const TOrderCase Cases[] = {
    {"Close", nullptr, [](TDataSet* d) { d->Close(); }, {"ActiveChanged(false)"}},
    {"Reopen", [](TDataSet* d) { d->Close(); }, [](TDataSet* d) { d->Open(); }, {"ActiveChanged(true)"}},
    {"CloseWhileEditing", [](TDataSet* d) { d->Edit(); }, [](TDataSet* d) { d->Close(); },
     {"ActiveChanged(false)", "EditingChanged(false)"}},
    {"First", [](TDataSet* d) { d->MoveBy(7); }, [](TDataSet* d) { d->First(); }, {"CheckBrowseMode", "DataSetChanged"}},
    {"Last", nullptr, [](TDataSet* d) { d->Last(); }, {"CheckBrowseMode", "DataSetChanged"}},
    {"NextInsideWindow", nullptr, [](TDataSet* d) { d->Next(); }, {"CheckBrowseMode", "DataSetScrolled(0)"}},
    {"MoveByPastWindowEdge", nullptr, [](TDataSet* d) { d->MoveBy(6); }, {"CheckBrowseMode", "DataSetScrolled(2)"}},
    {"MoveBackPastTop", [](TDataSet* d) { d->Last(); }, [](TDataSet* d) { d->MoveBy(-6); },
     {"CheckBrowseMode", "DataSetScrolled(-2)"}},
    {"NextAtEofMovesNothing", [](TDataSet* d) { d->Last(); d->Next(); }, [](TDataSet* d) { d->Next(); },
     {"CheckBrowseMode"}},
    {"Edit", nullptr, [](TDataSet* d) { d->Edit(); }, {"CheckBrowseMode", "EditingChanged(true)", "RecordChanged(nil)"}},
    {"FieldAssignment", [](TDataSet* d) { d->Edit(); },
     [](TDataSet* d) { d->FieldByName("Name")->SetAsString("X"); }, {"RecordChanged(Name)"}},
    {"Post", [](TDataSet* d) { d->Edit(); d->FieldByName("Name")->SetAsString("X"); },
     [](TDataSet* d) { d->Post(); }, {"UpdateData", "CheckBrowseMode", "EditingChanged(false)", "DataSetChanged"}},
    {"Cancel", [](TDataSet* d) { d->Edit(); }, [](TDataSet* d) { d->Cancel(); },
     {"CheckBrowseMode", "EditingChanged(false)", "DataSetChanged"}},
    {"Insert", nullptr, [](TDataSet* d) { d->Insert(); },
     {"CheckBrowseMode", "EditingChanged(true)", "DataSetChanged"}},
    {"Append", nullptr, [](TDataSet* d) { d->Append(); },
     {"CheckBrowseMode", "EditingChanged(true)", "DataSetChanged"}},
    {"Delete", nullptr, [](TDataSet* d) { d->Delete(); }, {"CheckBrowseMode", "DataSetChanged"}},
    {"ScrollPostsAModifiedRecord", [](TDataSet* d) { d->Edit(); d->FieldByName("Name")->SetAsString("X"); },
     [](TDataSet* d) { d->Next(); },
     {"CheckBrowseMode", "UpdateData", "UpdateData", "CheckBrowseMode", "EditingChanged(false)", "DataSetChanged",
      "DataSetScrolled(0)"}},
    {"ScrollCancelsAnUnmodifiedInsert", [](TDataSet* d) { d->Insert(); }, [](TDataSet* d) { d->Next(); },
     {"CheckBrowseMode", "UpdateData", "CheckBrowseMode", "EditingChanged(false)", "DataSetChanged",
      "DataSetScrolled(0)"}},
    {"FieldIndexChange", nullptr, [](TDataSet* d) { d->FieldByName("Name")->SetIndex(0); },
     {"LayoutChanged", "DataSetChanged"}},
    {"FieldVisibility", nullptr, [](TDataSet* d) { d->FieldByName("Name")->SetVisible(false); },
     {"LayoutChanged", "DataSetChanged"}},
    {"FieldAlignment", nullptr, [](TDataSet* d) { d->FieldByName("Name")->SetAlignment(taCenter); },
     {"DataSetChanged"}},
    {"FocusControl", nullptr, [](TDataSet* d) { d->FieldByName("Name")->FocusControl(); }, {"FocusControl(Name)"}},
    {"EnableControlsReportsOneChange", [](TDataSet* d) { d->DisableControls(); },
     [](TDataSet* d) { d->Next(); d->Last(); d->EnableControls(); }, {"DataSetChanged"}},
};

INSTANTIATE_TEST_SUITE_P(Operations, NotificationOrder, ::testing::ValuesIn(Cases),
                         [](const auto& I) { return std::string(I.param.Name); });

} // namespace

TEST_F(TDataFixture, OpeningADataSetActivatesItsLinksWithAFilledWindow) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 10);
  ds->Close();
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.SetBufferCount(4);
  EXPECT_FALSE(Link.Active());
  EXPECT_EQ(Link.RecordCount(), 0);
  ds->Open();
  EXPECT_EQ(Link.Take(), Events{"ActiveChanged(true)"});
  EXPECT_EQ(Link.RecordCount(), 4);
  EXPECT_EQ(WindowIds(Link), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(Link.BOF());
}

TEST_F(TDataFixture, RemovingTheDataSetDeactivatesTheLink) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.Take();
  delete ds;
  EXPECT_EQ(Link.Take(), Events{"ActiveChanged(false)"});
  EXPECT_EQ(Source->DataSet(), nullptr);
}

TEST_F(TDataFixture, DisablingTheSourceDeactivatesItsLinks) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.Take();
  Source->SetEnabled(false);
  EXPECT_FALSE(Link.Active());
  Source->SetEnabled(true);
  EXPECT_EQ(Link.Take(), (Events{"ActiveChanged(false)", "ActiveChanged(true)"}));
}

TEST_F(TDataFixture, NonVisualLinksHearEachEventBeforeVisualOnes) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  std::vector<std::string> order;
  struct TTagged : TDataLink {
    std::vector<std::string>* Out = nullptr;
    std::string Tag;
    void DataSetScrolled(int) override { Out->push_back(Tag); }
  } visual, detail;
  visual.Out = detail.Out = &order;
  visual.Tag = "visual";
  detail.Tag = "detail";
  visual.SetVisualControl(true);
  visual.SetDataSource(Source);
  detail.SetDataSource(Source);
  ds->Next();
  EXPECT_EQ(order, (std::vector<std::string>{"detail", "visual"}));
  visual.SetDataSource(nullptr);
  detail.SetDataSource(nullptr);
}

TEST_F(TDataFixture, LinkEditHonoursAutoEditAndReadOnly) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Source->SetAutoEdit(false);
  EXPECT_FALSE(Link.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
  Source->SetAutoEdit(true);
  Link.SetReadOnly(true);
  EXPECT_FALSE(Link.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
  Link.SetReadOnly(false);
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(Source->State(), dsEdit);
}

TEST_F(TDataFixture, UpdateDataWritesWithoutEchoingRecordChanged) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  struct TWriter : TRecordingLink {
    void UpdateData() override {
      TRecordingLink::UpdateData();
      DataSet()->FieldByName("Name")->SetAsString("typed");
    }
  } writer;
  writer.SetDataSource(Source);
  ds->Edit();
  writer.Take();
  ds->Post();
  EXPECT_EQ(writer.Take(), (Events{"UpdateData", "CheckBrowseMode", "EditingChanged(false)", "DataSetChanged"}));
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "typed");
  writer.SetDataSource(nullptr);
}

TEST_F(TDataFixture, FocusControlStopsWhenALinkServesIt) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  TRecordingLink second;
  Link.SetDataSource(Source);
  second.SetDataSource(Source);
  Link.FocusTarget = ds->FieldByName("Name");
  Link.Take();
  second.Take();
  ds->FieldByName("Name")->FocusControl();
  EXPECT_EQ(Link.Take(), Events{"FocusControl(Name)"});
  EXPECT_EQ(second.Take(), Events{"FocusControl(nil)"});
  second.SetDataSource(nullptr);
}

TEST_F(TDataFixture, ClosingWithControlsDisabledStillDeactivatesLinks) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.Take();
  {
    TControlsDisabler off(ds);
    ds->Close();
    EXPECT_FALSE(Link.Active());  // a closed dataset must never be read
    ds->Open();
    ds->Next();
  }
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(Link.Take(), (Events{"ActiveChanged(false)", "ActiveChanged(true)", "LayoutChanged", "DataSetChanged"}));
}

TEST_F(TDataFixture, DeletingAFieldClosesItsDataSet) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  ds->Close();
  ds->CreateFields();  // persistent fields, owned by the dataset
  ds->Open();
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.Take();
  delete ds->FieldByName("Name");
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(Link.Take(), Events{"ActiveChanged(false)"});
  EXPECT_EQ(ds->FindField("Name"), nullptr);
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 2);
}

TEST_F(TDataFixture, DeletingADefaultFieldClosesTheDataSetOnce) {
  TMemoryDataSet* ds = MakePeople(Owner.get(), 3);
  delete ds->FieldByName("Name");  // the dataset created it; ASan checks it is freed once
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(ds->FieldCount(), 0);
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 3);
}

TEST(DataSetLifetime, AStackDataSetLeavesItsSourcesBehindCleanly) {
  TDataSource source(nullptr);
  rixtest::TRecordingLink link;
  link.SetDataSource(&source);
  {
    TMemoryDataSet ds(nullptr);
    ds.FieldDefs()->Add("A", ftInteger);
    ds.CreateDataSet();
    source.SetDataSet(&ds);
    EXPECT_TRUE(link.Active());
  }
  EXPECT_EQ(source.DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
  link.SetDataSource(nullptr);
}
