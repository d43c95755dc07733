// The columns editor on a grid bound to the People dataset, with the
// recording designer; input goes through headless hosts as a user gives it.
#include "design/Design.h"
#include "grid/Grid.h"
#include "platform/controls/Dialogs.h"
#include "platform/hosts/Hosts.h"

#include "support/People.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ColumnsEditor : public testing::Test {
protected:
  void SetUp() override {
    RegisterAll();
    DialogService().Reset();
    SetColumnsEditor(nullptr);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetName("Form1");
    Grid = new TRixDBGrid(Form.get());
    Grid->SetName("Grid1");
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 400, 200);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(rixtest::MakePeople(Form.get(), 3));
    Grid->SetDataSource(source);
    Designer = std::make_unique<TRecordingDesigner>(Form.get());
  }
  void TearDown() override {
    ReleaseColumnsEditor();
    DialogService().Reset();
    Designer.reset();
    Form.reset();
  }

  TRixDBGridColumnsEditor* Open(TRixDBGrid* G = nullptr) {
    OpenColumnsEditor(Designer.get(), G != nullptr ? G : Grid, "Columns");
    return RixDBGridColumnsEditor();
  }
  // Three customised columns: ID, Name, Active.
  TRixDBGridColumnsEditor* OpenWithThree() {
    TRixDBGridColumnsEditor* e = Open();
    // The default columns are there: replace them.
    DialogService().ScriptModalResult(mrYes);
    e->AddAllFieldsCmd->Execute();
    return e;
  }
  TPersistent* Selected() const {
    TDesignerSelections s = Designer->Selections();
    return s.size() == 1 ? s[0] : nullptr;
  }
  static std::vector<std::string> Captions(TRixDBGridColumnsEditor* E) {
    std::vector<std::string> r;
    for (int i = 0; i < E->lstCols->ItemCount(); ++i) r.push_back(E->lstCols->Items(i)->Caption());
    return r;
  }
  std::vector<std::string> FieldNames() const {
    std::vector<std::string> r;
    for (int i = 0; i < Grid->Columns()->Count(); ++i) r.push_back(Grid->Columns()->Items(i)->FieldName());
    return r;
  }
  static void Select(TRixDBGridColumnsEditor* E, int Index) {
    E->lstCols->SetItemIndex(Index);
    E->lstColsClick(E->lstCols);
  }

  std::unique_ptr<TForm> Form;
  TRixDBGrid* Grid = nullptr;
  std::unique_ptr<TRecordingDesigner> Designer;
};

TEST_F(ColumnsEditor, DefaultColumnsShowAnEmptyListUntilAColumnIsAdded) {
  TRixDBGridColumnsEditor* e = Open();
  EXPECT_TRUE(e->Visible());
  EXPECT_EQ(e->Caption(), "Columns");
  EXPECT_EQ(e->Component(), Grid);
  EXPECT_EQ(Grid->Columns()->State(), csDefault);
  EXPECT_EQ(e->lstCols->ItemCount(), 0);
  EXPECT_FALSE(e->RestoreDefaultsCmd->Enabled());
  EXPECT_TRUE(e->AddAllFieldsCmd->Enabled());
  EXPECT_FALSE(e->tbRemoveCol->Enabled());
  EXPECT_EQ(Selected(), Grid->Columns());

  Designer->ClearCalls();
  e->tbAddColClick(e->tbAddCol);
  EXPECT_EQ(Grid->Columns()->State(), csCustomized);
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - TRixColumn"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 0);
  EXPECT_EQ(Selected(), Grid->Columns()->Items(0));
  EXPECT_TRUE(e->RestoreDefaultsCmd->Enabled());
  EXPECT_TRUE(e->tbRemoveCol->Enabled());
  EXPECT_EQ(Designer->Calls().back().Kind, TDesignerCallKind::Modified);
}

TEST_F(ColumnsEditor, AllFieldsListTheColumnsByIndexAndFieldName) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - ID", "1 - Name", "2 - Active"}));
  EXPECT_EQ(Designer->ModifiedCount(), 1);
}

TEST_F(ColumnsEditor, RemovingSelectsTheSameIndexOrTheNewLastAndFinallyNothing) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, 2);
  e->tbRemoveColClick(e->tbRemoveCol);
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Name"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 1);
  EXPECT_EQ(Selected(), Grid->Columns()->Items(1));
  Select(e, 0);
  e->tbRemoveColClick(e->tbRemoveCol);
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"Name"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 0);
  e->tbRemoveColClick(e->tbRemoveCol);
  // No stored column left: the grid makes its default columns again.
  EXPECT_EQ(Grid->Columns()->State(), csDefault);
  EXPECT_EQ(e->lstCols->ItemCount(), 0);
  EXPECT_EQ(e->lstCols->ItemIndex(), -1);
  EXPECT_EQ(Selected(), Grid->Columns());
  EXPECT_FALSE(e->tbRemoveCol->Enabled());
}

TEST_F(ColumnsEditor, RemovingBelowRowsPerRecordLowersIt) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Grid->SetRowsPerRecord(3);
  Select(e, 0);
  e->tbRemoveColClick(e->tbRemoveCol);
  EXPECT_EQ(Grid->RowsPerRecord(), 2);
  e->tbRemoveColClick(e->tbRemoveCol);
  EXPECT_EQ(Grid->RowsPerRecord(), 1);
}

struct TMoveCase {
  int Index;
  bool Up, Down;
};
class ColumnsEditorMoves : public ColumnsEditor, public testing::WithParamInterface<TMoveCase> {};

TEST_P(ColumnsEditorMoves, UpIsOffOnTheFirstItemAndDownOnTheLast) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, GetParam().Index);
  EXPECT_EQ(e->MoveUpCmd->Enabled(), GetParam().Up);
  EXPECT_EQ(e->MoveDownCmd->Enabled(), GetParam().Down);
  EXPECT_EQ(e->tbMoveUp->Enabled(), GetParam().Up);
  EXPECT_EQ(e->tbMoveDown->Enabled(), GetParam().Down);
}
INSTANTIATE_TEST_SUITE_P(Items, ColumnsEditorMoves,
                         testing::Values(TMoveCase{-1, false, false}, TMoveCase{0, false, true},
                                         TMoveCase{1, true, true}, TMoveCase{2, true, false}));

TEST_F(ColumnsEditor, MoveUpAndDownCarryTheSelectedColumn) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, 2);
  e->MoveUpCmd->Execute();
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Active", "Name"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 1);
  EXPECT_EQ(Selected(), Grid->Columns()->Items(1));
  e->MoveDownCmd->Execute();
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Name", "Active"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 2);
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - ID", "1 - Name", "2 - Active"}));
}

TEST_F(ColumnsEditor, RestoreDefaultsForgetsTheColumnsSettings) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Grid->Columns()->Items(1)->SetColor(clYellow);
  const int modified = Designer->ModifiedCount();
  e->RestoreDefaultsCmd->Execute();
  EXPECT_FALSE(Grid->Columns()->Items(1)->AssignedValues().Contains(cvColor));
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - ID", "1 - Name", "2 - Active"}));
  EXPECT_EQ(Designer->ModifiedCount(), modified + 1);
}

TEST_F(ColumnsEditor, OnlyADragFromTheListItselfIsAcceptedAndOnlyOnAnItem) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  bool accept = true;
  e->lstCols->DragOver(Grid, 5, 5, dsDragMove, accept);
  EXPECT_FALSE(accept);
  e->lstCols->DragOver(e->lstCols, 5, 5, dsDragMove, accept);
  EXPECT_TRUE(accept);
  Select(e, 0);
  const int modified = Designer->ModifiedCount();
  e->lstCols->DragDrop(Grid, 5, e->lstCols->ItemRect(2).Top + 2);
  e->lstCols->DragDrop(e->lstCols, 5, e->lstCols->ItemRect(2).Bottom + 50);
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Name", "Active"}));
  EXPECT_EQ(Designer->ModifiedCount(), modified);
}

TEST_F(ColumnsEditor, CaptionsCannotBeEditedInPlace) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, 1);
  EXPECT_FALSE(e->lstCols->EditCaption(1));
  THeadlessHost host(e, 200, 240);
  e->lstCols->SetFocus();
  host.Key(VK_F2);
  EXPECT_FALSE(e->lstCols->IsEditing());
}

TEST_F(ColumnsEditor, DeletingTheGridClosesTheEditorWhichThenOpensOnAnother) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  delete Grid;
  Grid = nullptr;
  EXPECT_FALSE(e->Visible());
  EXPECT_EQ(e->Component(), nullptr);
  EXPECT_EQ(e->Columns(), nullptr);
  EXPECT_EQ(e->lstCols->ItemCount(), 0);

  auto* other = new TRixDBGrid(Form.get());
  other->Columns()->Add();
  EXPECT_EQ(Open(other), e) << "one editor per process";
  EXPECT_TRUE(e->Visible());
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - TRixColumn"}));
}

TEST_F(ColumnsEditor, TheColumnsVerbOpensTheOneEditor) {
  std::unique_ptr<TComponentEditor> editor = GetComponentEditor(Grid, Designer.get());
  editor->ExecuteVerb(1);
  TRixDBGridColumnsEditor* e = RixDBGridColumnsEditor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Caption(), "Columns");
  EXPECT_EQ(e->TheDesigner, Designer.get());
  editor->ExecuteVerb(1);
  EXPECT_EQ(RixDBGridColumnsEditor(), e);
}

// The list follows changes made elsewhere, so Remove and Move act on the
// column the user sees.
TEST_F(ColumnsEditor, TheListFollowsColumnsChangedOutsideTheEditor) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, 2);
  Grid->Columns()->Items(2)->SetIndex(0); // a title dragged in the grid
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - Active", "1 - ID", "2 - Name"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 0) << "the selection stays on its column";
  e->tbRemoveColClick(e->tbRemoveCol);
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Name"}));

  Grid->Columns()->Add()->SetFieldName("Active"); // a column added in code
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - ID", "1 - Name", "2 - Active"}));
  Select(e, 2);
  delete Grid->Columns()->Items(0);
  EXPECT_EQ(Captions(e), (std::vector<std::string>{"0 - Name", "1 - Active"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 1);
  e->MoveUpCmd->Execute();
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"Active", "Name"}));
}

TEST_F(ColumnsEditor, ARemovedColumnIsNoLongerSelectedInTheDesigner) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Select(e, 1);
  TRixColumn* column = Grid->Columns()->Items(1);
  ASSERT_EQ(Selected(), column);
  e->tbRemoveColClick(e->tbRemoveCol);
  for (TPersistent* p : Designer->Selections()) EXPECT_NE(p, column);
  Select(e, 0);
  delete Grid->Columns()->Items(0); // removed in code
  EXPECT_EQ(Selected(), Grid->Columns());
}

TEST_F(ColumnsEditor, AColumnSelectedInTheDesignerIsSelectedInTheList) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  Designer->SelectComponent(Grid->Columns()->Items(2));
  EXPECT_EQ(e->lstCols->ItemIndex(), 2);
  EXPECT_FALSE(e->MoveDownCmd->Enabled());
  Designer->SelectComponent(Grid);
  EXPECT_EQ(e->lstCols->ItemIndex(), 2) << "another object leaves the list as it is";
  Designer->SelectComponent(Grid->Columns());
  EXPECT_EQ(e->lstCols->ItemIndex(), -1);
}

// ---- as a user: both windows on headless hosts ------------------------------------

TEST_F(ColumnsEditor, ClicksOnTheToolBarAndTheListAndADragInsideTheList) {
  TRixDBGridColumnsEditor* e = Open();
  THeadlessHost gridHost(Form.get(), 400, 200);
  THeadlessHost editorHost(e, 220, 240);
  auto center = [](const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; };
  TPoint add = center(e->ToolBar1->ButtonRect(0));
  editorHost.Click(editorHost.PointOf(e->ToolBar1, add.X, add.Y));
  EXPECT_EQ(Grid->Columns()->Count(), 1);
  TPoint all = center(e->ToolBar1->ButtonRect(6));
  DialogService().ScriptModalResult(mrYes);
  editorHost.Click(editorHost.PointOf(e->ToolBar1, all.X, all.Y));
  ASSERT_EQ(FieldNames(), (std::vector<std::string>{"ID", "Name", "Active"}));

  TPoint second = center(e->lstCols->ItemRect(1));
  editorHost.Click(editorHost.PointOf(e->lstCols, second.X, second.Y));
  EXPECT_EQ(Selected(), Grid->Columns()->Items(1));
  TPoint first = center(e->lstCols->ItemRect(0));
  TPoint third = center(e->lstCols->ItemRect(2));
  editorHost.Drag(editorHost.PointOf(e->lstCols, first.X, first.Y), editorHost.PointOf(e->lstCols, third.X, third.Y), 3);
  EXPECT_EQ(FieldNames(), (std::vector<std::string>{"Name", "Active", "ID"}));
  EXPECT_EQ(e->lstCols->ItemIndex(), 2);

  // Each host draws its own form: the editor's list shows its selection.
  editorHost.Paint();
  gridHost.Paint();
  TPoint sel = editorHost.PointOf(e->lstCols, 1, e->lstCols->ItemRect(2).Top + 2);
  EXPECT_EQ(editorHost.Pixel(sel.X, sel.Y), ColorToRGB(clHighlight));
}

TEST_F(ColumnsEditor, TheHintOfAToolButtonShowsAfterAPause) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  THeadlessHost host(e, 220, 240);
  TRect r = e->ToolBar1->ButtonRect(6);
  host.MouseMove(host.PointOf(e->ToolBar1, r.Left + 4, r.Top + 4));
  EXPECT_EQ(e->ToolBar1->HintWindow(), nullptr);
  host.AdvanceTime(TToolBar::HintPause + 60);
  ASSERT_NE(e->ToolBar1->HintWindow(), nullptr);
  EXPECT_TRUE(e->ToolBar1->HintWindow()->Visible());
  EXPECT_EQ(e->ToolBar1->HintWindow()->Text(), "すべての項目の追加");
  host.AdvanceTime(TToolBar::HintHidePause + 60);
  EXPECT_FALSE(e->ToolBar1->HintWindow()->Visible());
}

} // namespace

namespace {

// The property panel beside the grid lists what the designer selects and
// offers the property editors' values.
TEST_F(ColumnsEditor, ThePropertyPanelFollowsTheSelectionAndOffersTheEditorsValues) {
  TRixDBGridColumnsEditor* e = OpenWithThree();
  auto* panel = new TPropertyPanel(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(400, 0, 240, 300);
  panel->SetDesigner(Designer.get());
  Select(e, 1);
  const int row = panel->RowOf("FieldName");
  ASSERT_GT(row, 0);
  EXPECT_EQ(panel->Cells(1, row), "Name");
  panel->SetPropertyValue("FieldName", "Active");
  EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), "Active");
  EXPECT_EQ(panel->Cells(1, panel->RowOf("FieldName")), "Active");
  EXPECT_EQ(e->lstCols->Items(1)->Caption(), "1 - Active") << "the editor's list follows";
  EXPECT_THROW(panel->SetPropertyValue("Alignment", "taMiddle"), EPropertyError);
  EXPECT_EQ(panel->RowOf("NoSuchProperty"), -1);
  Designer->SelectComponent(Grid->Columns());
  EXPECT_EQ(panel->RowOf("FieldName"), -1);
}

} // namespace
