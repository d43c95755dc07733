// A form of 640x480 with a string grid of 20 columns and 100 rows at (8, 8),
// 404x304 pixels (a client area of 400x300 inside the sunken edge, less the
// scroll bars), focused, run by the headless host.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/hosts/Hosts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TRecordingGrid : public TStringGrid {
public:
  explicit TRecordingGrid(TComponent* AOwner) : TStringGrid(AOwner) {
    SetColCount(20);
    SetRowCount(100);
    SetOptions(Options() + goEditing);
    SetOnSetEditText([this](TObject*, int C, int R, const std::string& V) { EditTexts.push_back({{C, R}, V}); });
  }
  struct TDrawn {
    int Col, Row;
    TGridDrawState State;
  };
  std::vector<TDrawn> Drawn;
  std::vector<std::pair<std::pair<int, int>, std::string>> EditTexts;
  int ColWidthsChangedCount = 0;
  std::vector<std::string> PickItems;

protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    Drawn.push_back({ACol, ARow, AState});
    TStringGrid::DrawCell(ACol, ARow, ARect, AState);
  }
  void ColWidthsChanged() override {
    ++ColWidthsChangedCount;
    TStringGrid::ColWidthsChanged();
  }
  TEditStyle GetEditStyle(int, int) override { return PickItems.empty() ? Grids::esSimple : Grids::esPickList; }
  TInplaceEdit* CreateEditor() override {
    auto* e = new TInplaceEditList(this);
    e->SetOnGetPickListItems([this](int, int, TStrings* Items) {
      for (const auto& s : PickItems) Items->Add(s);
    });
    return e;
  }
};

class HostFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ClearMessageQueue();
    Form = new TForm(nullptr);
    Form->SetColor(clBtnFace);
    Grid = new TRecordingGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 404, 304);
    Host = std::make_unique<THeadlessHost>(Form, 640, 480);
    Grid->SetFocus();
    Host->ProcessMessages();
  }
  void TearDown() override {
    Host.reset();
    delete Form;
    ClearMessageQueue();
  }
  // The form point at the centre of a cell.
  TPoint CellCentre(int ACol, int ARow) const {
    TRect r = Grid->CellRect(ACol, ARow);
    return Host->PointOf(Grid, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  TInplaceEdit* Ed() const { return Grid->InplaceEditor(); }
  TForm* Form = nullptr;
  TRecordingGrid* Grid = nullptr;
  std::unique_ptr<THeadlessHost> Host;
};
