// A painted grid on the headless host, and a grid whose cell painters can
// be called on a bitmap canvas directly.
#pragma once

#include "GridTestSupport.h"

#include <memory>

namespace painttest {

// Opens the drawing hooks to the tests.
class TPaintGrid : public gridtest::TRecordingGrid {
public:
  using gridtest::TRecordingGrid::TRecordingGrid;
  using TRixCustomDBGrid::DrawCell;
  using TRixCustomDBGrid::DrawCellSpecial;
  int HighlightCalls = 0;

protected:
  bool HighlightCell(int DataCol, int DataRow, const std::string& Value, TGridDrawState AState) override {
    ++HighlightCalls;
    return TRixCustomDBGrid::HighlightCell(DataCol, DataRow, Value, AState);
  }
};

// The fixture's grid bound to its 20 people and painted on a 640x480 form.
class PaintFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ClearMessageQueue();
    MenuService().Reset();
    Form = new TForm(nullptr);
    Grid = new TPaintGrid(Form);
    Grid->SetName("Grid1");
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 404, 304);
    Data = rixtest::MakePeople(Form, 20);
    Source = new TDataSource(Form);
    Source->SetName("Source1");
    Source->SetDataSet(Data);
  }
  void TearDown() override {
    Host.reset();
    delete Form;
    ClearMessageQueue();
  }
  void Show() {
    Host = std::make_unique<THeadlessHost>(Form, 640, 480);
    Grid->SetDataSource(Source);
    Host->ProcessMessages();
  }
  // A pixel of cell (ACol, ARow), DX/DY from its top-left corner (negative:
  // from its right/bottom edge), as RGB.
  TColor CellPixel(int ACol, int ARow, int DX, int DY) {
    TRect r = Grid->CellRect(ACol, ARow);
    const int x = DX >= 0 ? r.Left + DX : r.Right + DX;
    const int y = DY >= 0 ? r.Top + DY : r.Bottom + DY;
    TPoint p = Host->PointOf(Grid, x, y);
    return Host->Pixel(p.X, p.Y);
  }
  // Pixels of Color inside cell (ACol, ARow).
  int CountInCell(int ACol, int ARow, TColor Color) {
    TRect r = Grid->CellRect(ACol, ARow);
    Host->Paint();
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        TPoint p = Host->PointOf(Grid, x, y);
        n += Host->Painter().Pixel(p.X, p.Y) == ColorToRGB(Color) ? 1 : 0;
      }
    return n;
  }
  void Repaint() {
    Grid->Invalidate();
    Host->Paint();
  }
  TForm* Form = nullptr;
  TPaintGrid* Grid = nullptr;
  TMemoryDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
  std::unique_ptr<THeadlessHost> Host;
};

} // namespace painttest
