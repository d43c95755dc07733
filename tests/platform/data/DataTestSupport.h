// Shared test doubles: a data link that records what it hears, and small
// datasets to hear it from.
#pragma once

#include "platform/data/Data.h"

#include "support/People.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rixtest {

class TRecordingLink : public TDataLink {
public:
  std::vector<std::string> Events;
  std::vector<std::string> Take() {
    std::vector<std::string> e;
    e.swap(Events);
    return e;
  }
  // What the link saw of its window at each DataSetScrolled / DataSetChanged.
  std::vector<int> ActiveAtEvent;
  TField* FocusTarget = nullptr;

protected:
  void ActiveChanged() override { Events.push_back(Active() ? "ActiveChanged(true)" : "ActiveChanged(false)"); }
  void CheckBrowseMode() override { Events.push_back("CheckBrowseMode"); }
  void DataSetChanged() override {
    Events.push_back("DataSetChanged");
    ActiveAtEvent.push_back(ActiveRecord());
  }
  void DataSetScrolled(int Distance) override {
    Events.push_back("DataSetScrolled(" + std::to_string(Distance) + ")");
    ActiveAtEvent.push_back(ActiveRecord());
  }
  void EditingChanged() override { Events.push_back(Editing() ? "EditingChanged(true)" : "EditingChanged(false)"); }
  void FocusControl(TField*& Field) override {
    Events.push_back("FocusControl(" + (Field ? Field->FieldName() : std::string("nil")) + ")");
    if (Field == FocusTarget) Field = nullptr;
  }
  void LayoutChanged() override {
    Events.push_back("LayoutChanged");
    TDataLink::LayoutChanged();
  }
  void RecordChanged(TField* Field) override {
    Events.push_back("RecordChanged(" + (Field ? Field->FieldName() : std::string("nil")) + ")");
  }
  void UpdateData() override { Events.push_back("UpdateData"); }
};


// The IDs of the records in a link's window, read by moving its
// ActiveRecord over them.
inline std::vector<int> WindowIds(TDataLink& Link) {
  std::vector<int> ids;
  for (int i = 0; i < Link.RecordCount(); ++i) {
    TActiveRecordGuard g(&Link, i);
    ids.push_back(Link.DataSet()->FieldByName("ID")->AsInteger());
  }
  return ids;
}

// Owner of everything a test creates.
struct TDataFixture : ::testing::Test {
  std::unique_ptr<TComponent> Owner = std::make_unique<TComponent>(nullptr);
  TDataSource* Source = new TDataSource(Owner.get());
  TRecordingLink Link;
  ~TDataFixture() override { Link.SetDataSource(nullptr); }
};

} // namespace rixtest
