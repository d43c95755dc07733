// A grid on a form, a small dataset to bind it to, and a grid that records
// which of its operations the data link reaches.
#pragma once

#include <RixDBGrids.h>

#include "support/People.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gridtest {

using rixtest::MakePeople;

class TRecordingGrid : public TRixDBGrid {
public:
  using TRixDBGrid::TRixDBGrid;
  std::vector<std::string> Events;
  bool FailColumnAttributes = false;

  // Only the outermost call: a layout pass re-applies the fixed columns
  // through LinkActive as well.
  void LinkActive(bool Value) override {
    if (FLinkDepth == 0) Events.push_back(Value ? "LinkActive(true)" : "LinkActive(false)");
    ++FLinkDepth;
    try {
      TRixDBGrid::LinkActive(Value);
    } catch (...) {
      --FLinkDepth;
      throw;
    }
    --FLinkDepth;
  }
  void DataChanged() override {
    Events.push_back("DataChanged");
    TRixDBGrid::DataChanged();
  }
  void RecordChanged(TField* Field) override {
    Events.push_back("RecordChanged(" + (Field ? Field->FieldName() : std::string("nil")) + ")");
    TRixDBGrid::RecordChanged(Field);
  }
  void Scroll(int Distance) override {
    Events.push_back("Scroll(" + std::to_string(Distance) + ")");
    TRixDBGrid::Scroll(Distance);
  }
  void EditingChanged() override {
    Events.push_back("EditingChanged");
    TRixDBGrid::EditingChanged();
  }
  void UpdateData() override {
    Events.push_back("UpdateData");
    TRixDBGrid::UpdateData();
  }
  using TRixDBGrid::Notification;
  using TRixDBGrid::TitleClick;

private:
  int FLinkDepth = 0;

protected:
  void SetColumnAttributes() override {
    if (FailColumnAttributes) throw EInvalidGridOperation("column attributes failed");
    TRixDBGrid::SetColumnAttributes();
  }
};

class TUniDirectionalDataSet : public TMemoryDataSet {
public:
  using TMemoryDataSet::TMemoryDataSet;
  bool IsUniDirectional() const override { return true; }
};


// A form with a grid 400x300 on it, a dataset of 20 people and its source.
class GridFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ClearMessageQueue();
    MenuService().Reset();
    Form = new TForm(nullptr);
    Grid = new TRecordingGrid(Form);
    Grid->SetName("Grid1");
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 404, 304);
    Data = MakePeople(Form, 20);
    Source = new TDataSource(Form);
    Source->SetName("Source1");
    Source->SetDataSet(Data);
  }
  void TearDown() override {
    delete Form;
    ClearMessageQueue();
  }
  int Queued(unsigned Msg) const {
    int n = 0;
    std::vector<TMsg> taken;
    TMsg m;
    while (PeekMessage(m, 0, Msg, Msg, PM_REMOVE) && m.Message == Msg) {
      ++n;
      taken.push_back(m);
    }
    for (const auto& t : taken) PostMessage(t.Hwnd, t.Message, t.WParam, t.LParam);
    return n;
  }
  // A calculated field of the closed dataset: it outlives closing.
  TField* AddCalculatedField(const std::string& Name) {
    Data->Close();
    auto* f = new TStringField(Form);
    f->SetFieldName(Name);
    f->SetFieldKind(fkCalculated);
    f->SetDataSet(Data);
    return f;
  }
  // Customized columns showing FieldNames, in order.
  void Customize(const std::vector<std::string>& FieldNames) {
    for (const auto& n : FieldNames) Grid->Columns()->Add()->SetFieldName(n);
  }
  TForm* Form = nullptr;
  TRecordingGrid* Grid = nullptr;
  TMemoryDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
};

} // namespace gridtest
