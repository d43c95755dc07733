#include "GridTestSupport.h"
#include "drawing/Drawing.h"

using namespace gridtest;

using GridObject = GridFixture;

TEST_F(GridObject, NewGridHasItsDefaults) {
  EXPECT_EQ(Grid->Options().ToInt(), 0xD9BDu);
  EXPECT_EQ(Grid->ColCount(), 2);
  EXPECT_EQ(Grid->RowCount(), 2);
  EXPECT_EQ(Grid->AlternatingRecordColor(), clWindow);
  EXPECT_FALSE(Grid->AlternatingRecordColorChange());
  EXPECT_EQ(Grid->FocusedRecordColor(), clWindow);
  EXPECT_FALSE(Grid->FocusedRecordColorChange());
  EXPECT_EQ(Grid->RowsPerRecord(), 1);
  EXPECT_EQ(Grid->FixedCols(), 0);
  EXPECT_TRUE(Grid->DefaultDrawing());
  EXPECT_FALSE(Grid->TCustomGrid::DefaultDrawing());
  EXPECT_TRUE(Grid->DefaultMenuShow());
  EXPECT_FALSE(Grid->ParentColor());
  EXPECT_EQ(Grid->Color(), clWindow);
  EXPECT_EQ(Grid->ScrollBars(), ssHorizontal);
  EXPECT_TRUE(Grid->VirtualView());
  EXPECT_EQ(Grid->TCustomGrid::Options(),
            (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goColMoving, goEditing,
                          goTabs}));
  EXPECT_EQ(Grid->PopupMenu(), Grid->BlobPopupMenu());
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(Grid->IndicatorOffset(), 1);
  EXPECT_EQ(Grid->TitleOffset(), 1);
  EXPECT_EQ(Grid->Columns()->State(), csDefault);
  EXPECT_NE(Grid->BlobStream(), nullptr);
  EXPECT_EQ(Grid->SelectedRect(), (TRect{0, 0, 0, 0}));
}

TEST(GridDrawingBitmap, EveryGridHoldsTheSharedBitmapUntilItGoes) {
  int before = UserCount();
  {
    TRixDBGrid a(nullptr);
    auto* b = new TRixDBGrid(nullptr);
    EXPECT_EQ(UserCount(), before + 2);
    EXPECT_NE(DrawBitmap(), nullptr);
    delete b;
    EXPECT_EQ(UserCount(), before + 1);
  }
  EXPECT_EQ(UserCount(), before);
}

TEST(GridLocale, KoreanSystemsAlwaysShowTheEditor) {
  TSysLocaleOverride korean(LANG_KOREAN);
  TRixDBGrid grid(nullptr);
  EXPECT_EQ(grid.Options().ToInt(), 0xD9BFu);
  EXPECT_TRUE(grid.TCustomGrid::Options().Contains(goEditing));
}

TEST_F(GridObject, BlobMenuHasFiveNamedItemsEachWithItsOwnAction) {
  TPopupMenu* menu = Grid->BlobPopupMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Name(), "DefaultBolbMenus");
  EXPECT_EQ(menu->Owner(), Grid);
  const std::vector<std::pair<std::string, std::string>> want{
      {"miSaveToStream", "クリップボードに保存"},
      {"miLoadFromStream", "クリップボードから読み込み"},
      {"miSep1", "-"},
      {"miSaveToFile", "ファイルに保存"},
      {"miLoadFromFile", "ファイルから読み込み"}};
  ASSERT_EQ(menu->Items()->Count(), 5);
  std::vector<TAction*> actions;
  for (int i = 0; i < 5; ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    EXPECT_EQ(item->Name(), want[static_cast<size_t>(i)].first);
    EXPECT_EQ(item->Caption(), want[static_cast<size_t>(i)].second);
    EXPECT_EQ(item->Owner(), menu);
    ASSERT_NE(item->Action(), nullptr);
    EXPECT_EQ(item->Action()->Owner(), Grid);
    EXPECT_EQ(item->Action()->Name(), "");
    for (TAction* a : actions) EXPECT_NE(a, item->Action());
    actions.push_back(item->Action());
  }
}

// ---- Options ------------------------------------------------------------------

TEST_F(GridObject, RowSelectStripsEditing) {
  TRixDBGridOptions o = Grid->Options() + rixdgRowSelect + rixdgAlwaysShowEditor;
  Grid->SetOptions(o);
  EXPECT_TRUE(Grid->Options().Contains(rixdgRowSelect));
  EXPECT_FALSE(Grid->Options().Contains(rixdgEditing));
  EXPECT_FALSE(Grid->Options().Contains(rixdgAlwaysShowEditor));
  EXPECT_TRUE(Grid->TCustomGrid::Options().Contains(goRowSelect));
  EXPECT_FALSE(Grid->TCustomGrid::Options().Contains(goEditing));
  EXPECT_FALSE(Grid->TCustomGrid::Options().Contains(goAlwaysShowEditor));
}

struct OptionMapping {
  TRixDBGridOption Option;
  TGridOptions Grid;
};

class GridOptionMapping : public GridFixture, public ::testing::WithParamInterface<OptionMapping> {};

TEST_P(GridOptionMapping, EachOptionMapsToItsBaseOptions) {
  Grid->SetOptions(TRixDBGridOptions{GetParam().Option});
  EXPECT_EQ(Grid->TCustomGrid::Options(), GetParam().Grid);
}

INSTANTIATE_TEST_SUITE_P(
    All, GridOptionMapping,
    ::testing::Values(OptionMapping{rixdgEditing, {goEditing}}, OptionMapping{rixdgAlwaysShowEditor, {goAlwaysShowEditor}},
                      OptionMapping{rixdgColumnResize, {goColSizing, goColMoving}},
                      OptionMapping{rixdgColLines, {goFixedVertLine, goVertLine}},
                      OptionMapping{rixdgRowResize, {goRowSizing, goRowMoving}},
                      OptionMapping{rixdgRowLines, {goFixedHorzLine, goHorzLine}}, OptionMapping{rixdgTabs, {goTabs}},
                      OptionMapping{rixdgRowSelect, {goRowSelect}}, OptionMapping{rixdgTitles, {}},
                      OptionMapping{rixdgMultiSelect, {}}));

TEST_F(GridObject, LayoutOptionsAreThe06AFSet) { EXPECT_EQ(LayoutOptions.ToInt(), 0x06AFu); }

TEST_F(GridObject, SwitchingTheIndicatorMovesTheBaseFixedColumnsEvenWithOneColumn) {
  Customize({"Name"});
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->ColCount(), 2);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
  EXPECT_NO_THROW(Grid->SetOptions(Grid->Options() - rixdgIndicator));
  EXPECT_EQ(Grid->ColCount(), 1);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 0);
  EXPECT_EQ(Grid->IndicatorOffset(), 0);
  EXPECT_NO_THROW(Grid->SetOptions(Grid->Options() + rixdgIndicator));
  EXPECT_EQ(Grid->ColCount(), 2);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
}

TEST_F(GridObject, FixedDataColumnsFollowTheIndicatorWhileLinked) {
  Customize({"ID", "Name", "Active"});
  Grid->SetDataSource(Source);
  Grid->SetFixedCols(1);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 2);
  Grid->SetOptions(Grid->Options() - rixdgIndicator);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
  EXPECT_THROW(Grid->SetFixedCols(3), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetFixedCols(-1), EInvalidGridOperation);
  EXPECT_EQ(Grid->FixedCols(), 1);
}

// ---- The selection --------------------------------------------------------------

TEST_F(GridObject, OnlyRemovingMultiSelectOrANewActivityClearsTheSelection) {
  Customize({"ID", "Name"});
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Grid->SetDataSource(Source);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Data->Next();
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Grid->SetOptions(Grid->Options() - rixdgTitles);             // a layout option
  Grid->SetOptions(Grid->Options() + rixdgRowLines - rixdgTabs);
  Grid->Columns()->Items(0)->SetWidth(90);                   // a column resize
  Grid->SetFixedCols(1);
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->SelectedRows()->Count(), 2);
  Data->Close();
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  Data->Open();
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Grid->SetOptions(Grid->Options() - rixdgMultiSelect);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_FALSE(Grid->Selecting());
  EXPECT_EQ(Grid->SelectionAnchor(), "");
}

TEST_F(GridObject, ANewDataSourceClearsTheSelection) {
  Grid->SetDataSource(Source);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  auto* other = new TDataSource(Form);
  Grid->SetDataSource(other);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

// ---- Locks and layout requests ------------------------------------------------------

TEST_F(GridObject, LayoutChangedUnderAnUpdateLockWaitsForTheNextRequest) {
  const int passes = Grid->LayoutPassCount();
  Grid->BeginUpdate();
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
  Grid->EndUpdate();
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  Grid->EndUpdate();  // at 0: nothing
  EXPECT_EQ(Grid->UpdateLock(), 0);
}

TEST_F(GridObject, OnlyTheOutermostEndLayoutRunsThePass) {
  const int passes = Grid->LayoutPassCount();
  Grid->BeginLayout();
  Grid->BeginLayout();
  EXPECT_EQ(Grid->Columns()->UpdateCount(), 1);
  Grid->EndLayout();
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
  Grid->EndLayout();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  EXPECT_EQ(Grid->Columns()->UpdateCount(), 0);
  EXPECT_EQ(Grid->LayoutLock(), 0);
  EXPECT_EQ(Grid->UpdateLock(), 0);
  Grid->BeginLayout();
  Grid->CancelLayout();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  EXPECT_EQ(Grid->LayoutLock(), 0);
}

TEST_F(GridObject, AFailingPassReleasesTheLocks) {
  Grid->FailColumnAttributes = true;
  EXPECT_THROW(Grid->LayoutChanged(), EInvalidGridOperation);
  EXPECT_EQ(Grid->LayoutLock(), 0);
  EXPECT_EQ(Grid->UpdateLock(), 0);
  EXPECT_EQ(Grid->Columns()->UpdateCount(), 0);
  Grid->FailColumnAttributes = false;
  EXPECT_NO_THROW(Grid->LayoutChanged());
}

TEST_F(GridObject, LocksDeeperThan255LevelsRaise) {
  for (int i = 0; i < 255; ++i) Grid->BeginUpdate();
  EXPECT_THROW(Grid->BeginUpdate(), EIntOverflow);
  EXPECT_THROW(Grid->BeginLayout(), EIntOverflow);
  EXPECT_EQ(Grid->UpdateLock(), 255);
  EXPECT_EQ(Grid->LayoutLock(), 0);
  for (int i = 0; i < 255; ++i) Grid->EndUpdate();
  EXPECT_EQ(Grid->UpdateLock(), 0);
}

TEST_F(GridObject, TwoDeferredLayoutsLeaveOneMessageAndRunOnePass) {
  Form->HandleNeeded();
  ClearMessageQueue();
  Grid->BeginLayout();
  Grid->DeferLayout();
  Grid->BeginLayout();
  Grid->DeferLayout();
  EXPECT_EQ(Grid->LayoutLock(), 0);
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 1);
  const int passes = Grid->LayoutPassCount();
  ProcessMessages();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 0);
}

TEST_F(GridObject, ALayoutThatRunsAbsorbsADeferredOne) {
  Form->HandleNeeded();
  ClearMessageQueue();
  Grid->BeginLayout();
  Grid->DeferLayout();
  const int passes = Grid->LayoutPassCount();
  Grid->LayoutChanged();
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 0);
  ProcessMessages();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
}

TEST_F(GridObject, ADeferredLayoutWithoutAWindowRunsWhenTheWindowIsCreated) {
  Grid->BeginLayout();
  Grid->DeferLayout();
  EXPECT_TRUE(Grid->LayoutPending());
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 0);
  const int passes = Grid->LayoutPassCount();
  Form->HandleNeeded();
  EXPECT_FALSE(Grid->LayoutPending());
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
}

TEST_F(GridObject, KillMessageRemovesOneMessageAndKeepsAQuitRequest) {
  Form->HandleNeeded();
  ClearMessageQueue();
  PostMessage(Grid->Handle(), CM_DEFERLAYOUT);
  PostMessage(Grid->Handle(), CM_DEFERLAYOUT);
  KillMessage(Grid->Handle(), CM_DEFERLAYOUT);
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 1);
  ClearMessageQueue();
  PostQuitMessage(7);
  KillMessage(Grid->Handle(), CM_DEFERLAYOUT);
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.Message, WM_QUIT);
  EXPECT_EQ(m.WParam, 7u);
  ClearMessageQueue();
}

// ---- Notifications ------------------------------------------------------------------

TEST_F(GridObject, FreeingAFieldThreeColumnsShowClearsThemWithOnePass) {
  TField* name = AddCalculatedField("Extra");
  TField* other = AddCalculatedField("Other");
  Customize({"Extra", "Other", "Extra", "Extra"});
  Grid->SetDataSource(Source);
  for (int i : {0, 2, 3}) Grid->Columns()->Items(i)->SetField(name);
  Grid->Columns()->Items(2)->SetButtonStyle(cbsCheck);
  Grid->Columns()->Items(3)->SetButtonStyle(cbsEllipsis);
  Grid->Columns()->Items(1)->SetField(other);
  Grid->Columns()->Items(1)->SetButtonStyle(cbsCheck);
  ClearMessageQueue();
  const int passes = Grid->LayoutPassCount();
  delete name;
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  for (int i : {0, 2, 3}) EXPECT_EQ(Grid->Columns()->Items(i)->FieldRef(), nullptr);
  // Only the columns that showed the field lose their button style.
  EXPECT_EQ(Grid->Columns()->Items(1)->ButtonStyle(), cbsCheck);
  EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), "Other");
  EXPECT_EQ(Grid->Columns()->Items(2)->ButtonStyle(), cbsAuto);
  EXPECT_EQ(Grid->Columns()->Items(3)->ButtonStyle(), cbsEllipsis);
}

TEST_F(GridObject, FreeingAFieldWhileControlsAreDisabledDefersOnePass) {
  Form->HandleNeeded();
  TField* name = AddCalculatedField("Extra");
  Customize({"Extra", "Extra", "Extra"});
  Grid->SetDataSource(Source);
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetField(name);
  ClearMessageQueue();
  const int passes = Grid->LayoutPassCount();
  Data->DisableControls();
  delete name;
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
  EXPECT_EQ(Grid->LayoutLock(), 0);
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Grid->Columns()->Items(i)->FieldRef(), nullptr);
  Data->EnableControls();
  ProcessMessages();
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
}

TEST_F(GridObject, FreeingAColumnsPopupMenuClearsOnlyThatReference) {
  Customize({"ID", "Name"});
  Grid->SetDataSource(Source);
  auto* menu = new TPopupMenu(Form);
  auto* other = new TPopupMenu(Form);
  Grid->Columns()->Items(0)->SetPopupMenu(menu);
  Grid->Columns()->Items(1)->SetPopupMenu(other);
  Grid->SetPopupMenu(menu);
  TField* id = Grid->Columns()->Items(0)->Field();
  delete menu;
  EXPECT_EQ(Grid->Columns()->Items(0)->PopupMenu(), nullptr);
  EXPECT_EQ(Grid->Columns()->Items(1)->PopupMenu(), other);
  EXPECT_EQ(Grid->DataSource(), Source);
  EXPECT_EQ(Grid->Columns()->Items(0)->FieldRef(), id);
}

TEST_F(GridObject, FreeingAColumnsListSourceClearsIt) {
  Customize({"ID"});
  auto* lookup = new TDataSource(Form);
  Grid->Columns()->Items(0)->SetListSource(lookup);
  delete lookup;
  EXPECT_EQ(Grid->Columns()->Items(0)->ListSource(), nullptr);
}

TEST_F(GridObject, FreeingTheDataSourceUnbindsTheGrid) {
  Grid->SetDataSource(Source);
  delete Source;
  Source = nullptr;
  EXPECT_EQ(Grid->DataSource(), nullptr);
}

TEST_F(GridObject, AUnidirectionalDataSetIsRefusedAndTheGridStaysBound) {
  Grid->SetDataSource(Source);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  auto* uni = new TUniDirectionalDataSet(Form);
  uni->SetName("Uni");
  auto* uniSource = new TDataSource(Form);
  uniSource->SetDataSet(uni);
  EXPECT_THROW(Grid->SetDataSource(uniSource), EDatabaseError);
  EXPECT_EQ(Grid->DataSource(), Source);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 1);
}

TEST_F(GridObject, ActivatingTheLinkBeforeAnyLayoutDoesNotRaise) {
  ASSERT_EQ(Grid->LayoutPassCount(), 0);
  EXPECT_NO_THROW(Grid->SetDataSource(Source));
  EXPECT_TRUE(Grid->DataLink()->Active());
  EXPECT_GE(Grid->LayoutPassCount(), 1);
  EXPECT_EQ(Grid->ColCount(), 4);
  EXPECT_EQ(Grid->TCustomGrid::FixedCols(), 1);
}

// ---- Colours and fonts ----------------------------------------------------------------

TEST_F(GridObject, SettingARecordColourInCodeTurnsItsFlagOn) {
  Grid->SetParentColor(true);
  Grid->SetAlternatingRecordColor(clRed);
  EXPECT_TRUE(Grid->AlternatingRecordColorChange());
  EXPECT_FALSE(Grid->ParentColor());
  Grid->SetParentColor(true);
  Grid->SetFocusedRecordColor(clYellow);
  EXPECT_TRUE(Grid->FocusedRecordColorChange());
  EXPECT_FALSE(Grid->ParentColor());
  // Taking the parent's colour takes it for the record colours too, flags kept.
  EXPECT_EQ(Grid->AlternatingRecordColor(), Grid->Color());
  EXPECT_TRUE(Grid->AlternatingRecordColorChange());
  Grid->SetAlternatingRecordColorChange(false);
  EXPECT_FALSE(Grid->AlternatingRecordColorChange());
}

TEST_F(GridObject, ChangingTheTitleFontLaysOutOnlyWithTitles) {
  int passes = Grid->LayoutPassCount();
  Grid->TitleFont()->SetHeight(-20);
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  EXPECT_FALSE(Grid->ParentFont());
  Grid->SetOptions(Grid->Options() - rixdgTitles);
  passes = Grid->LayoutPassCount();
  Grid->TitleFont()->SetHeight(-22);
  EXPECT_EQ(Grid->LayoutPassCount(), passes);
}

// ---- The right button -------------------------------------------------------------------

TEST_F(GridObject, RightButtonOverAColumnWithAMenuPopsItUp) {
  Form->HandleNeeded();
  Customize({"ID", "Name"});
  Grid->SetDataSource(Source);
  auto* menu = new TPopupMenu(Form);
  (new TMenuItem(menu))->SetCaption("x");
  menu->Items()->Add(static_cast<TMenuItem*>(menu->Components(0)));
  int popups = 0;
  menu->SetOnPopup([&](TObject*) { ++popups; });
  Grid->Columns()->Items(1)->SetPopupMenu(menu);
  auto rightUp = [&](int ACol) {
    TRect r = Grid->CellRect(ACol, 1);
    TMessage m{WM_RBUTTONUP, 0, static_cast<LPARAM>(((r.Top + 2) << 16) | (r.Left + 2)), 0};
    Grid->DefaultHandler(m);
    return m.Result;
  };
  EXPECT_EQ(rightUp(2), 1);
  EXPECT_EQ(menu->PopupComponent(), Grid);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(rightUp(0), 0) << "the indicator";
  EXPECT_EQ(rightUp(1), 0) << "a column without a menu";
  EXPECT_EQ(popups, 1);
}

// Three rows per record over two columns (what a column set with fewer
// columns than rows per record leaves): record row 2 shows no column. A
// right-click there pops up nothing, even though every column has a menu.
TEST_F(GridObject, RightButtonOnACellWithoutAColumnPopsUpNoMenu) {
  Form->HandleNeeded();
  Customize({"ID", "Name", "Active", "ID"});
  Grid->SetDataSource(Source);
  Grid->SetRowsPerRecord(3);
  delete Grid->Columns()->Items(3);
  delete Grid->Columns()->Items(2);
  ASSERT_EQ(Grid->ColsPerRow(), 1);
  auto* menu = new TPopupMenu(Form);
  (new TMenuItem(menu))->SetCaption("x");
  menu->Items()->Add(static_cast<TMenuItem*>(menu->Components(0)));
  int popups = 0;
  menu->SetOnPopup([&](TObject*) { ++popups; });
  for (int i = 0; i < 2; ++i) Grid->Columns()->Items(i)->SetPopupMenu(menu);
  auto rightUpOnRecordRow = [&](int RecordRow) {
    Grid->SetRow(Grid->TitleOffset() + RecordRow);
    Grid->SetOffset(Grid->Row());
    TRect r = Grid->CellRect(1, Grid->Row());
    TMessage m{WM_RBUTTONUP, 0, static_cast<LPARAM>(((r.Top + 2) << 16) | (r.Left + 2)), 0};
    Grid->DefaultHandler(m);
    return m.Result;
  };
  EXPECT_EQ(rightUpOnRecordRow(1), 1) << "Name has a menu";
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Grid->GetColumns(Grid->RawToDataColumn(1)), Grid->Columns()->Items(1));
  EXPECT_EQ(rightUpOnRecordRow(2), 0);
  EXPECT_EQ(Grid->GetColumns(Grid->RawToDataColumn(1)), nullptr);
  EXPECT_EQ(popups, 1);
}

// ---- Owned pop-up sub-grids ----------------------------------------------------------------

TEST_F(GridObject, ClosingTheDataSetFreesDockedSubGrids) {
  Grid->SetDataSource(Source);
  auto* docked = new TRixDBGrid(Grid);
  docked->SetName("Docked");
  docked->SetDragKind(dkDock);
  auto* kept = new TRixDBGrid(Grid);
  kept->SetName("Kept");
  Data->Close();
  EXPECT_EQ(Grid->FindComponent("Docked"), nullptr);
  EXPECT_EQ(Grid->FindComponent("Kept"), kept);
}

TEST_F(GridObject, BiDiModeReachesTheParentsOfOwnedSubGrids) {
  auto* host = new TForm(Form);
  auto* sub = new TRixDBGrid(Grid);
  sub->SetParent(host);
  Grid->SetParentBiDiMode(false);
  Grid->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(host->BiDiMode(), bdRightToLeft);
}

TEST_F(GridObject, AcquireFocusTakesTheFocusOnlyWhenAllowed) {
  Form->HandleNeeded();
  Grid->SetAcquireFocusEnabled(false);
  EXPECT_TRUE(Grid->AcquireFocus());
  EXPECT_FALSE(Grid->Focused());
  Grid->SetAcquireFocusEnabled(true);
  EXPECT_TRUE(Grid->AcquireFocus());
  EXPECT_TRUE(Grid->Focused());
}
