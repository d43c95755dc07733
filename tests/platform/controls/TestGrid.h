// A grid of 20 columns and 100 rows that records what the base grid asks of
// it, and helpers that deliver input the way a host does: as messages to the
// focused window, with the queue pumped afterwards.
#pragma once

#include "platform/controls/Controls.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

struct DrawnCell {
  int Col, Row;
  TRect Rect;
  TGridDrawState State;
};

class TTestGrid : public TCustomGrid {
public:
  explicit TTestGrid(TComponent* AOwner) : TCustomGrid(AOwner) {
    SetColCount(20);
    SetRowCount(100);
  }

  std::vector<DrawnCell> Drawn;
  std::map<std::pair<int, int>, std::string> Cells;
  std::vector<std::pair<std::pair<int, int>, std::string>> EditTexts; // SetEditText calls
  std::vector<std::string> Log;                                        // hooks in call order
  int ColWidthsChangedCount = 0;
  int RowHeightsChangedCount = 0;
  int TopLeftChangedCount = 0;
  bool AcceptTab = true;
  bool UseEditList = false;
  std::map<int, TEditStyle> Styles; // per column
  std::vector<std::string> PickItems{"Apple", "Banana", "Cherry", "Damson"};
  std::string Mask;
  int EditLimit = 0;
  bool ModifyAllowed = true;

  using TCustomGrid::CalcSizingState;
  using TCustomGrid::MoveColumn;
  void PaintNow() { Paint(); }

protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    Drawn.push_back({ACol, ARow, ARect, AState});
  }
  std::string GetEditText(int ACol, int ARow) override {
    auto it = Cells.find({ACol, ARow});
    return it == Cells.end() ? std::string() : it->second;
  }
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    EditTexts.push_back({{ACol, ARow}, Value});
    Cells[{ACol, ARow}] = Value;
  }
  std::string GetEditMask(int, int) override { return Mask; }
  int GetEditLimit() override { return EditLimit; }
  bool CanEditModify() override { return ModifyAllowed && TCustomGrid::CanEditModify(); }
  TEditStyle GetEditStyle(int ACol, int) override {
    auto it = Styles.find(ACol);
    return it == Styles.end() ? Grids::esSimple : it->second;
  }
  TInplaceEdit* CreateEditor() override {
    if (!UseEditList) return TCustomGrid::CreateEditor();
    auto* e = new TInplaceEditList(this);
    e->SetOnGetPickListItems([this](int, int, TStrings* Items) {
      for (const auto& s : PickItems) Items->Add(s);
    });
    return e;
  }
  bool CanGridAcceptKey(unsigned short Key, TShiftState Shift) override {
    return (Key != VK_TAB || AcceptTab) && TCustomGrid::CanGridAcceptKey(Key, Shift);
  }
  void ColWidthsChanged() override {
    ++ColWidthsChangedCount;
    TCustomGrid::ColWidthsChanged();
  }
  void RowHeightsChanged() override {
    ++RowHeightsChangedCount;
    TCustomGrid::RowHeightsChanged();
  }
  void TopLeftChanged() override {
    ++TopLeftChangedCount;
    TCustomGrid::TopLeftChanged();
  }
  bool BeginColumnDrag(int& Origin, int& Destination, const TPoint& P) override {
    Log.push_back("Begin " + std::to_string(Origin));
    return TCustomGrid::BeginColumnDrag(Origin, Destination, P);
  }
  bool CheckColumnDrag(int& Origin, int& Destination, const TPoint& P) override {
    Log.push_back("Check " + std::to_string(Origin) + "->" + std::to_string(Destination));
    return TCustomGrid::CheckColumnDrag(Origin, Destination, P);
  }
  bool EndColumnDrag(int& Origin, int& Destination, const TPoint& P) override {
    Log.push_back("End " + std::to_string(Origin) + "->" + std::to_string(Destination));
    return TCustomGrid::EndColumnDrag(Origin, Destination, P);
  }
  void ColumnMoved(int FromIndex, int ToIndex) override {
    Log.push_back("Moved " + std::to_string(FromIndex) + "->" + std::to_string(ToIndex));
  }
};

// A plain focusable control, to have somewhere for the focus to go.
class TTestBox : public TCustomControl {
public:
  explicit TTestBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
};

// Delivers input to whatever window has the focus, as a host would.
struct Input {
  static void Pump() { ProcessMessages(); }
  static HWND Target() { return GetFocus(); }
  static LPARAM KeyData(TShiftState Shift) { return Shift.Contains(ssAlt) ? KF_ALTDOWN_LPARAM : 0; }
  static void Key(unsigned Vk, TShiftState Shift = {}) {
    SetKeyState(VK_SHIFT, Shift.Contains(ssShift));
    SetKeyState(VK_CONTROL, Shift.Contains(ssCtrl));
    SendMessage(Target(), WM_KEYDOWN, Vk, KeyData(Shift));
    Pump();
    SendMessage(Target(), WM_KEYUP, Vk, KeyData(Shift));
    SetKeyState(VK_SHIFT, false);
    SetKeyState(VK_CONTROL, false);
    Pump();
  }
  static void Char(char32_t Ch) {
    SendMessage(Target(), WM_CHAR, Ch, 0);
    Pump();
  }
  // Types UTF-8 text one character at a time.
  static void Type(const std::string& Text) {
    for (char32_t c : rix::Utf8ToUtf32(Text)) Char(c);
  }
  static WPARAM MouseKeys(TShiftState Shift) {
    WPARAM k = 0;
    if (Shift.Contains(ssShift)) k |= MK_SHIFT;
    if (Shift.Contains(ssCtrl)) k |= MK_CONTROL;
    if (Shift.Contains(ssLeft)) k |= MK_LBUTTON;
    return k;
  }
  static void Mouse(TWinControl* C, unsigned Msg, int X, int Y, TShiftState Shift = {}) {
    HWND h = GetCapture() != 0 ? GetCapture() : C->Handle();
    SendMessage(h, Msg, MouseKeys(Shift), MakeLParam(X, Y));
    SendMessage(h, WM_SETCURSOR, h, MakeLParam(HTCLIENT, static_cast<int>(Msg)));
    Pump();
  }
  // A drag in two steps, with time passing (a timer tick) after each.
  static void Drag(TWinControl* C, int X0, int Y0, int X1, int Y1) {
    Mouse(C, WM_LBUTTONDOWN, X0, Y0, {ssLeft});
    Mouse(C, WM_MOUSEMOVE, (X0 + X1) / 2, (Y0 + Y1) / 2, {ssLeft});
    TickTimers();
    Mouse(C, WM_MOUSEMOVE, X1, Y1, {ssLeft});
    TickTimers();
    Mouse(C, WM_LBUTTONUP, X1, Y1);
  }
};

// A form 640x480 with the test grid at (8, 8), 404x304 pixels (a client area
// of 400x300 inside the sunken edge, less the scroll bars), focused.
class GridFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ClearMessageQueue();
    MenuService().Reset();
    DialogService().Reset();
    Form = new TForm(nullptr);
    Grid = new TTestGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 404, 304);
    Box = new TTestBox(Form);
    Box->SetParent(Form);
    Box->SetBounds(420, 8, 100, 30);
    Form->HandleNeeded();
    Grid->SetFocus();
  }
  void TearDown() override {
    delete Form;
    ClearMessageQueue();
  }
  TForm* Form = nullptr;
  TTestGrid* Grid = nullptr;
  TTestBox* Box = nullptr;
};
