// The mouse through the headless host: clicks move records and cells, open
// the editor, select records, toggle check boxes, press buttons, cycle the
// order arrows, and drag and size columns.
#include "KeyboardTestSupport.h"

#include <vector>

namespace {

using keytest::KeyFixture;
using keytest::MakeWide;

class MouseFixture : public KeyFixture {
protected:
  // The host point inside raw cell (ACol, ARow), DX/DY from its top left.
  TPoint At(int ACol, int ARow, int DX = 4, int DY = 4) {
    const TRect r = Grid->CellRect(ACol, ARow);
    return Host->PointOf(Grid, r.Left + DX, r.Top + DY);
  }
  void ClickCell(int ACol, int ARow, TShiftState Shift = {}) { Host->Click(At(ACol, ARow), mbLeft, Shift); }
  void PressAndRelease(TPoint Down, TPoint Up) {
    Host->MouseDown(Down);
    Host->MouseUp(Up);
  }
};

// ---- Two rows per record, two title rows, the current cell in row 5 -------

struct TClickCase {
  const char* Name;
  bool ColumnResize;
  int ClickRow;
  int MovedBy;
  int Row;
};

class ClickOnRows : public MouseFixture, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(ClickOnRows, AClickMovesTheRecordOnlyWhenItLandsInAnotherRecord) {
  const TClickCase& c = GetParam();
  if (!c.ColumnResize) Grid->SetOptions(Grid->Options() - rixdgColumnResize);
  Show(MakeWide(Form, 20));
  Grid->SetRowsPerRecord(2);
  ASSERT_EQ(Grid->TitleOffset(), 2);
  GoTo(2, 3);  // the second record, record row 1
  ASSERT_EQ(Grid->Row(), 5);
  const int before = Id();
  ClickCell(1, c.ClickRow);
  EXPECT_EQ(Id() - before, c.MovedBy);
  EXPECT_EQ(Grid->Row(), c.Row);
  EXPECT_EQ(Grid->Col(), 1);
  ExpectInStep();
}

INSTANTIATE_TEST_SUITE_P(Mouse, ClickOnRows,
                         ::testing::Values(TClickCase{"IntoTheNextRecord", true, 6, 1, 6},
                                           TClickCase{"OnAnotherRowOfTheSameRecord", true, 4, 0, 4},
                                           TClickCase{"OnATitleRowWithoutColumnResize", false, 1, 0, 5},
                                           TClickCase{"OnTheFirstTitleRowWithoutColumnResize", false, 0, 0, 4}),
                         [](const ::testing::TestParamInfo<TClickCase>& I) { return std::string(I.param.Name); });

// ---- The editor --------------------------------------------------------------------

TEST_F(MouseFixture, TheSecondClickOpensTheEditorOnTextCellsOnly) {
  Customize({"ID", "Name", "Active", "Note"});
  Show(MakeWide(Form, 5));
  Grid->Columns()->Items(2)->SetButtonStyle(cbsCheck);
  Grid->Columns()->Items(3)->SetButtonStyle(cbsButton);
  ClickCell(2, 2);
  EXPECT_FALSE(Grid->EditorMode()) << "the first click only moves";
  ClickCell(2, 2);
  EXPECT_TRUE(Grid->EditorMode());
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
  for (int col : {3, 4}) {
    ClickCell(col, 2);
    ClickCell(col, 2);
    EXPECT_TRUE(Grid->InplaceEditor() == nullptr || !Grid->InplaceEditor()->Visible()) << "column " << col;
  }
}

TEST_F(MouseFixture, ThePictureCellOpensNoEditor) {
  auto* ds = new TMemoryDataSet(Form);
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Picture", ftGraphic);
  ds->CreateDataSet();
  ds->Append();
  ds->Post();
  Show(ds);
  ClickCell(2, 1);
  ClickCell(2, 1);
  EXPECT_TRUE(Grid->InplaceEditor() == nullptr || !Grid->InplaceEditor()->Visible());
  ClickCell(1, 1);
  ClickCell(1, 1);
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible()) << "the number next to it is edited";
}

TEST_F(MouseFixture, WithAlwaysShowEditorTheFirstClickOpensIt) {
  Grid->SetOptions(Grid->Options() + rixdgAlwaysShowEditor);
  Show();
  ClickCell(2, 3);
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
  EXPECT_EQ(Id(), 3);
}

TEST_F(MouseFixture, TheRightButtonMovesButNeverSelectsOrEdits) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  Host->Click(At(2, 4), mbRight);
  Host->Click(At(2, 4), mbRight);
  EXPECT_EQ(Id(), 4);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_FALSE(Grid->EditorMode());
}

// ---- Multi-selection ----------------------------------------------------------------

TEST_F(MouseFixture, ClickCtrlClickAndShiftClickSelectRecords) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  ClickCell(1, 2);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 1);
  ClickCell(1, 4, {ssCtrl});
  ClickCell(1, 6, {ssCtrl});
  EXPECT_EQ(Grid->SelectedRows()->Count(), 3);
  ClickCell(1, 4, {ssCtrl});
  EXPECT_EQ(Grid->SelectedRows()->Count(), 2) << "Ctrl+click takes a selected record out";
  EXPECT_FALSE(Grid->SelectedRows()->CurrentRowSelected());
  ClickCell(1, 5, {ssShift});
  EXPECT_EQ(Grid->SelectedRows()->Count(), 1) << "Shift+click is a plain click";
  EXPECT_TRUE(Grid->SelectedRows()->CurrentRowSelected());
  EXPECT_EQ(Id(), 5);
}

// ---- Titles -----------------------------------------------------------------------------

TEST_F(MouseFixture, TitleClicksCycleTheOrderArrowAndRepaint) {
  Show();
  TRixColumn* name = Grid->Columns()->Items(1);
  std::vector<TRixColumn*> clicked;
  Grid->SetOnTitleClick([&](TRixColumn* C) { clicked.push_back(C); });
  GoTo(3, 0);
  ASSERT_EQ(name->OrderState(), osDisable) << "a new column's arrow is off";
  name->SetOrderState(osNone);
  for (TOrderState expected : {osAsc, osDesc, osNone, osAsc}) {
    ClickCell(2, 0);
    EXPECT_EQ(name->OrderState(), expected);
  }
  EXPECT_EQ(clicked.size(), 4u);
  EXPECT_EQ(Grid->Col(), 1) << "with column resizing the current cell stays";
  EXPECT_EQ(Grid->Columns()->Items(0)->OrderState(), osDisable) << "other columns keep theirs";
  // The click itself repaints the arrow; a disabled arrow is not repainted.
  Grid->ValidateAll();
  Grid->TitleClick(name);
  EXPECT_TRUE(Grid->IsInvalid());
  name->SetOrderState(osDisable);
  Grid->ValidateAll();
  Grid->TitleClick(name);
  EXPECT_EQ(name->OrderState(), osDisable);
  EXPECT_FALSE(Grid->IsInvalid());
  EXPECT_EQ(clicked.size(), 6u);
}

TEST_F(MouseFixture, AnInactiveLinkIgnoresTitleClicks) {
  Show();
  Data->Close();
  int clicks = 0;
  Grid->SetOnTitleClick([&](TRixColumn*) { ++clicks; });
  ClickCell(1, 0);
  EXPECT_EQ(clicks, 0);
}

// ---- Check boxes and buttons --------------------------------------------------------------

struct TCheckCase {
  const char* Name;
  TRixButtonState State;
  std::vector<int> Values;  // after each click: -1 null, 0 false, 1 true
};

class CheckBoxClicks : public MouseFixture, public ::testing::WithParamInterface<TCheckCase> {};

TEST_P(CheckBoxClicks, EachClickStepsTheValue) {
  const TCheckCase& c = GetParam();
  Customize({"ID", "Name", "Active"});
  Show();
  TRixColumn* active = Grid->Columns()->Items(2);
  active->SetButtonStyle(cbsCheck);
  active->SetButtonState(c.State);
  GoTo(2, 2);
  Set()->Edit();
  Set()->FieldByName("Active")->Clear();
  Set()->Post();
  int changes = 0;
  Set()->FieldByName("Active")->SetOnChange([&](TField*) { ++changes; });
  for (int v : c.Values) {
    ClickCell(3, 2);
    TField* f = Set()->FieldByName("Active");
    EXPECT_EQ(f->IsNull() ? -1 : f->AsBoolean() ? 1 : 0, v);
  }
  if (c.State == bs2State) {
    EXPECT_EQ(changes, 2 + 1) << "null passes through True, then one change per click";
  }
  Set()->FieldByName("Active")->SetOnChange(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Mouse, CheckBoxClicks,
                         ::testing::Values(TCheckCase{"ThreeStates", bs3State, {1, 0, -1, 1}},
                                           TCheckCase{"TwoStatesFromNull", bs2State, {0, 1}}),
                         [](const ::testing::TestParamInfo<TCheckCase>& I) { return std::string(I.param.Name); });

TEST_F(MouseFixture, ReadOnlyCheckBoxesStayButStillClick) {
  Customize({"ID", "Name", "Active"});
  Show();
  TRixColumn* active = Grid->Columns()->Items(2);
  active->SetButtonStyle(cbsCheck);
  std::vector<std::string> order;
  active->SetOnClick([&](TObject*) { order.push_back("column"); });
  Grid->SetOnCellClick([&](TRixColumn*) { order.push_back("grid"); });
  GoTo(3, 2);
  const auto readOnlyWays = std::vector<std::function<void(bool)>>{
      [&](bool On) { active->SetReadOnly(On); }, [&](bool On) { Grid->SetReadOnly(On); },
      [&](bool On) { Data->SetReadOnly(On); }};
  for (const auto& way : readOnlyWays) {
    order.clear();
    way(true);
    ClickCell(3, 3);
    way(false);
    EXPECT_FALSE(Set()->FieldByName("Active")->AsBoolean());
    EXPECT_EQ(order, (std::vector<std::string>{"column", "grid"}));
  }
}

TEST_F(MouseFixture, APushButtonStaysPressedUntilTheRelease) {
  Customize({"ID", "Name", "Active"});
  Show();
  TRixColumn* button = Grid->Columns()->Items(1);
  button->SetButtonStyle(cbsButton);
  int clicks = 0;
  Grid->SetOnCellClick([&](TRixColumn*) { ++clicks; });
  Host->MouseDown(At(2, 3));
  EXPECT_EQ(Grid->MouseDownPos().X, 1);
  EXPECT_EQ(Grid->MouseDownPos().Y, 2);
  EXPECT_EQ(clicks, 0);
  Host->MouseUp(At(2, 3));
  EXPECT_EQ(Grid->MouseDownPos().X, -1);
  EXPECT_EQ(clicks, 1);
}

// A release acts only on the cell that was pressed: a press on a title (or
// the indicator) released over a check box changes nothing.
TEST_F(MouseFixture, AReleaseOverACheckBoxPressedElsewhereTogglesNothing) {
  Customize({"ID", "Name", "Active"});
  Show();
  Grid->Columns()->Items(2)->SetButtonStyle(cbsCheck);
  GoTo(3, 2);
  const bool before = Set()->FieldByName("Active")->AsBoolean();
  int clicks = 0;
  Grid->SetOnCellClick([&](TRixColumn*) { ++clicks; });
  PressAndRelease(At(1, 0), At(3, 3));
  PressAndRelease(At(0, 3), At(3, 3));
  PressAndRelease(At(3, 5), At(3, 3));
  Set()->First();
  Set()->MoveBy(2);
  EXPECT_EQ(Set()->FieldByName("Active")->AsBoolean(), before);
  EXPECT_EQ(clicks, 0);
  ClickCell(3, Grid->Row());
  EXPECT_EQ(clicks, 1) << "a press and release on the cell itself still clicks it";
}

TEST_F(MouseFixture, ACheckBoxClickedTwiceQuicklyTogglesTwice) {
  Customize({"ID", "Name", "Active"});
  Show();
  Grid->Columns()->Items(2)->SetButtonStyle(cbsCheck);
  GoTo(3, 2);
  const bool before = Set()->FieldByName("Active")->AsBoolean();
  int dbl = 0;
  Grid->SetOnDblClick([&](TObject*) { ++dbl; });
  Host->DblClick(At(3, 3));
  EXPECT_EQ(dbl, 1);
  EXPECT_EQ(Set()->FieldByName("Active")->AsBoolean(), before);
}

// ---- Moving and sizing columns -------------------------------------------------------------

TEST_F(MouseFixture, DraggingATitleMovesTheColumnOfTheCurrentRecordRow) {
  Show(MakeWide(Form, 5));
  Grid->SetRowsPerRecord(2);
  GoTo(2, 3);  // record row 1: Price, Qty, Active
  ASSERT_EQ(Grid->Offset(), 1);
  int from = -1, to = -1;
  Grid->SetOnColumnMoved([&](TObject*, int F, int T) { from = F; to = T; });
  Host->Drag(At(1, 0, 10), At(3, 0, 10), 4);
  Host->AdvanceTime(200);
  EXPECT_EQ(from, 3);
  EXPECT_EQ(to, 5);
  EXPECT_EQ(Grid->Columns()->Items(5)->FieldName(), "Price");
  EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "ID") << "record row 0 is untouched";
}

TEST_F(MouseFixture, ADragShowsWhereTheColumnWillLand) {
  Show();
  auto markPixels = [&](int ACol) {
    Host->Paint();
    const TRect r = Grid->CellRect(ACol, 0);
    int n = 0;
    for (int x = r.Right - 3; x <= r.Right + 1; ++x) {
      TPoint p = Host->PointOf(Grid, x, r.Top + 6);
      n += Host->Pixel(p.X, p.Y) == ColorToRGB(clHighlight) ? 1 : 0;
    }
    return n;
  };
  Host->MouseDown(At(1, 0, 10));
  Host->MouseMove(At(3, 0, 10));
  Host->AdvanceTime(200);
  EXPECT_GE(markPixels(3), 2) << "a bar on the right edge of the column it will land on";
  Host->MouseUp(At(3, 0, 10));
  EXPECT_EQ(markPixels(3), 0);
  EXPECT_EQ(Grid->Columns()->Items(2)->FieldName(), "ID");
}

TEST_F(MouseFixture, DraggingAColumnBorderSizesIt) {
  Show();
  const int width = Grid->Columns()->Items(1)->Width();
  const TRect r = Grid->CellRect(2, 0);
  Host->Drag(Host->PointOf(Grid, r.Right, r.Top + 4), Host->PointOf(Grid, r.Right + 40, r.Top + 4), 3);
  EXPECT_EQ(Grid->Columns()->Items(1)->Width(), width + 40);
}

// An object-view dataset: Address (A, B) and Phone (A, B) after ID.
class ObjectColumns : public MouseFixture {
protected:
  void SetUp() override {
    MouseFixture::SetUp();
    Show(rixtest::MakeObjects(Form, {"ID"}, {"Address", "Phone"}, true));
    Grid->Columns()->RebuildColumns();
    for (const char* n : {"Address", "Phone"}) Col(n)->SetExpanded(true);
    ASSERT_EQ(Grid->TitleOffset(), 2);
  }
  TRixColumn* Col(const std::string& Name) {
    for (int i = 0; i < Grid->Columns()->Count(); ++i)
      if (Grid->Columns()->Items(i)->FieldName() == Name) return Grid->Columns()->Items(i);
    return nullptr;
  }
  int RawOf(const std::string& Name) { return Grid->DataToRawColumn(Col(Name)->Index()); }
  std::vector<std::string> Names() {
    std::vector<std::string> n;
    for (int i = 0; i < Grid->Columns()->Count(); ++i) n.push_back(Grid->Columns()->Items(i)->FieldName());
    return n;
  }
};

TEST_F(ObjectColumns, ANestedColumnMovesOnlyAmongItsSiblings) {
  // Address.B dragged onto Phone.A: it stops at the end of Address.
  Host->Drag(At(RawOf("Address.B"), 1, 8), At(RawOf("Phone.A"), 1, 8), 4);
  Host->AdvanceTime(200);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Address", "Address.A", "Address.B", "Phone", "Phone.A",
                                                "Phone.B"}));
  // Address.B dragged onto Address.A swaps the siblings.
  Host->Drag(At(RawOf("Address.B"), 1, 8), At(RawOf("Address.A"), 1, 8), 4);
  Host->AdvanceTime(200);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Address", "Address.B", "Address.A", "Phone", "Phone.A",
                                                "Phone.B"}));
  EXPECT_EQ(Grid->DragCol(), nullptr);
}

TEST_F(ObjectColumns, AGroupGrabbedByItsTitleMovesAsAWhole) {
  Host->Drag(At(RawOf("Phone.A"), 0, 8), At(RawOf("Address.A"), 0, 8), 4);
  Host->AdvanceTime(200);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ID", "Phone", "Phone.A", "Phone.B", "Address", "Address.A",
                                                "Address.B"}));
}

TEST_F(ObjectColumns, ADragWhoseColumnGoesAwayEndsQuietly) {
  Host->MouseDown(At(RawOf("Address.B"), 1, 8));
  ASSERT_EQ(Grid->GridState(), gsColMoving);
  ASSERT_NE(Grid->DragCol(), nullptr);
  Grid->Columns()->RebuildColumns();
  EXPECT_EQ(Grid->DragCol(), nullptr);
  Host->MouseMove(At(RawOf("Address.A"), 1, 8));
  Host->AdvanceTime(200);
  Host->MouseUp(At(RawOf("Address.A"), 1, 8));
  EXPECT_EQ(Grid->GridState(), gsNormal);
}

TEST_F(ObjectColumns, AParentTitleDoesNotSizeAColumn) {
  const int raw = RawOf("Address.A");
  const TRect parentTitle = Grid->CellRect(raw, 0);
  const TRect ownTitle = Grid->CellRect(raw, 1);
  EXPECT_FALSE(Grid->Sizing(parentTitle.Right, parentTitle.Top + 3));
  EXPECT_TRUE(Grid->Sizing(ownTitle.Right, ownTitle.Top + 3));
}

// ---- Design time ----------------------------------------------------------------------------

TEST_F(MouseFixture, TheDesignerSizesOnlyCustomisedColumns) {
  Show();
  const TRect r = Grid->CellRect(2, 0);
  auto hit = [&] {
    return Grid->Perform(CM_DESIGNHITTEST, 0, MakeLParam(r.Right, r.Top + 3));
  };
  EXPECT_EQ(hit(), 0) << "default columns of default fields";
  Grid->Columns()->SetState(csCustomized);
  EXPECT_EQ(hit(), 1);
}

} // namespace
