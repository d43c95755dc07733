// A grid on a shown form, keys and wheel notches sent through the headless
// host, and the facts every keyboard test checks afterwards.
#pragma once

#include "GridTestSupport.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace keytest {

// Six fields, so that two and three rows per record still leave columns on
// every record row: ID, Name, Note, Price, Qty, Active.
inline TMemoryDataSet* MakeWide(TComponent* Owner, int Count) {
  auto* ds = new TMemoryDataSet(Owner);
  ds->SetName("Wide");
  ds->FieldDefs()->Add("ID", ftInteger, 0, true);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Note", ftString, 20);
  ds->FieldDefs()->Add("Price", ftInteger);
  ds->FieldDefs()->Add("Qty", ftInteger);
  ds->FieldDefs()->Add("Active", ftBoolean);
  ds->CreateDataSet();
  for (int i = 1; i <= Count; ++i) {
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(i);
    ds->FieldByName("Name")->SetAsString("N" + std::to_string(i));
    ds->FieldByName("Note")->SetAsString("x" + std::to_string(i));
    ds->FieldByName("Price")->SetAsInteger(i * 10);
    ds->FieldByName("Qty")->SetAsInteger(i);
    ds->FieldByName("Active")->SetAsBoolean(i % 2 == 0);
    ds->Post();
  }
  ds->First();
  return ds;
}

class KeyFixture : public gridtest::GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    DialogService().Reset();
  }
  void TearDown() override {
    Host.reset();
    DialogService().Reset();
    GridFixture::TearDown();
  }
  // Binds the grid to Ds (the People fixture data when nil) and focuses it.
  void Show(TMemoryDataSet* Ds = nullptr) {
    if (Ds != nullptr) Source->SetDataSet(Ds);
    Host = std::make_unique<THeadlessHost>(Form, 640, 480);
    Grid->SetDataSource(Source);
    Host->ProcessMessages();
    Grid->SetFocus();
  }
  TDataSet* Set() const { return Source->DataSet(); }
  int Id() const { return Set()->FieldByName("ID")->AsInteger(); }
  void Press(unsigned short Vk, TShiftState Shift = {}) { Host->Key(Vk, Shift); }
  void PressTimes(unsigned short Vk, int Times, TShiftState Shift = {}) {
    for (int i = 0; i < Times; ++i) Press(Vk, Shift);
  }
  // Makes record Id current (RowsPerRecord 1 keeps it in view) and puts the
  // current cell on data column DataCol of that record.
  void GoTo(int RecordId, int DataCol = 0) {
    Set()->First();
    Set()->MoveBy(RecordId - 1);
    Grid->SetSelectedIndex(DataCol);
  }
  // The current cell, the record row and the dataset agree.
  void ExpectInStep() {
    EXPECT_EQ(Grid->Offset(), Grid->GetOffset(Grid->Row())) << "FOffset and Row";
    const int first = Grid->DataLink()->ActiveRecord() * Grid->RowsPerRecord() + Grid->TitleOffset();
    EXPECT_EQ(Grid->Row(), first + Grid->Offset()) << "Row on the active record";
  }
  // Notches towards the user (negative: away), one message each.
  void Wheel(int Notches, TShiftState Shift = {}) {
    TRect r = Grid->CellRect(1, Grid->TitleOffset());
    for (int i = 0; i < std::abs(Notches); ++i)
      Host->Wheel(Host->PointOf(Grid, r.Left + 2, r.Top + 2), Notches > 0 ? -WHEEL_DELTA : WHEEL_DELTA, Shift);
  }
  std::unique_ptr<THeadlessHost> Host;
};

} // namespace keytest
