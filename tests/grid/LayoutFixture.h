// The grid of the layout examples: five customized columns Name, Price,
// Kana, Stock, Note over a goods table, two rows per record, Kana merged into
// Name above it.
#pragma once

#include "GridTestSupport.h"

#include <string>
#include <vector>

namespace gridtest {

// A memory dataset of Count goods: Name "G<i>", Price i*10, Kana "K<i>",
// Stock i, Note "N<i>". Left on its first record.
inline TMemoryDataSet* MakeGoods(TComponent* Owner, int Count) {
  auto* ds = new TMemoryDataSet(Owner);
  ds->SetName("Goods");
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Price", ftInteger);
  ds->FieldDefs()->Add("Kana", ftString, 20);
  ds->FieldDefs()->Add("Stock", ftInteger);
  ds->FieldDefs()->Add("Note", ftString, 20);
  ds->CreateDataSet();
  for (int i = 1; i <= Count; ++i) {
    ds->Append();
    ds->FieldByName("Name")->SetAsString("G" + std::to_string(i));
    ds->FieldByName("Price")->SetAsInteger(i * 10);
    ds->FieldByName("Kana")->SetAsString("K" + std::to_string(i));
    ds->FieldByName("Stock")->SetAsInteger(i);
    ds->FieldByName("Note")->SetAsString("N" + std::to_string(i));
    ds->Post();
  }
  ds->First();
  return ds;
}

class LayoutFixture : public GridFixture {
protected:
  // The worked example: Records goods, the grid's window made.
  void Example(int Records = 3) {
    Goods = MakeGoods(Form, Records);
    Source->SetDataSet(Goods);
    Customize({"Name", "Price", "Kana", "Stock", "Note"});
    Col("Kana")->SetBindColumn(btUp);
    Grid->SetRowsPerRecord(2);
    Grid->SetDataSource(Source);
    Form->HandleNeeded();
  }
  TRixColumn* Col(const std::string& FieldName) const {
    for (int i = 0; i < Grid->Columns()->Count(); ++i)
      if (Grid->Columns()->Items(i)->FieldName() == FieldName) return Grid->Columns()->Items(i);
    return nullptr;
  }
  std::string NameOf(TRixColumn* C) const { return C == nullptr ? "nil" : C->FieldName(); }
  // Mouse messages straight to the grid's window, in client coordinates.
  void Mouse(unsigned Msg, int X, int Y) {
    SendMessage(Grid->Handle(), Msg, Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MakeLParam(X, Y));
  }
  void DragMouse(TPoint From, TPoint To) {
    Mouse(WM_LBUTTONDOWN, From.X, From.Y);
    Mouse(WM_MOUSEMOVE, (From.X + To.X) / 2, (From.Y + To.Y) / 2);
    Mouse(WM_MOUSEMOVE, To.X, To.Y);
    Mouse(WM_LBUTTONUP, To.X, To.Y);
  }
  TMemoryDataSet* Goods = nullptr;
};

} // namespace gridtest
