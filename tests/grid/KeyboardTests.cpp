// Keys through the headless host: rows inside a record, records, appending,
// the keyboard selection, deleting, Tab and Enter, Escape, Space, the wheel.
#include "KeyboardTestSupport.h"

#include <vector>

namespace {

using keytest::KeyFixture;
using keytest::MakeWide;

// ---- Up and Down with three rows per record ----------------------------------------

struct TRowCase {
  const char* Name;
  int StartId;
  int StartOffset;
  unsigned short Key;
  int Times;
  int Id;
  int Offset;
};

class RowsPerRecordThree : public KeyFixture, public ::testing::WithParamInterface<TRowCase> {};

TEST_P(RowsPerRecordThree, VerticalKeysMoveRowsThenRecords) {
  const TRowCase& c = GetParam();
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToAddRows);
  Show(MakeWide(Form, 20));
  Grid->SetRowsPerRecord(3);
  ASSERT_EQ(Grid->ColsPerRow(), 2);
  GoTo(c.StartId, 2 * c.StartOffset);
  ASSERT_EQ(Grid->Offset(), c.StartOffset);
  PressTimes(c.Key, c.Times);
  EXPECT_EQ(Id(), c.Id);
  EXPECT_EQ(Grid->Offset(), c.Offset);
  EXPECT_EQ(Grid->Col(), 1) << "the column stays";
  EXPECT_EQ(Set()->State(), dsBrowse);
  ExpectInStep();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RowsPerRecordThree,
    ::testing::Values(TRowCase{"DownFromTheMiddleRowReachesTheLastRow", 5, 1, VK_DOWN, 1, 5, 2},
                      TRowCase{"DownAgainEntersTheNextRecordOnItsFirstRow", 5, 1, VK_DOWN, 2, 6, 0},
                      TRowCase{"UpFromAFirstRowEntersThePriorRecordOnItsLastRow", 6, 0, VK_UP, 1, 5, 2},
                      TRowCase{"UpOnTheFirstRecordStays", 1, 0, VK_UP, 1, 1, 0},
                      TRowCase{"DownOnTheLastRecordWithoutAppendingStays", 20, 2, VK_DOWN, 1, 20, 2},
                      TRowCase{"DownTwiceOnTheLastRecordStillStays", 20, 1, VK_DOWN, 3, 20, 2}),
    [](const ::testing::TestParamInfo<TRowCase>& I) { return std::string(I.param.Name); });

// The selected column follows the row: typing after a refused move edits the
// field under the current cell.
TEST_F(KeyFixture, ARefusedMoveLeavesTheSelectedColumnUnderTheCell) {
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToAddRows);
  Show(MakeWide(Form, 3));
  Grid->SetRowsPerRecord(3);
  GoTo(3, 4);
  Press(VK_DOWN);
  EXPECT_EQ(Grid->SelectedField()->FieldName(), "Qty");
  GoTo(1, 0);
  Press(VK_UP);
  EXPECT_EQ(Grid->SelectedField()->FieldName(), "ID");
  ExpectInStep();
}

// ---- Appending past the last record ------------------------------------------------

struct TAppendCase {
  const char* Name;
  bool Editing, AllowAdd, ReadOnlyGrid, ReadOnlyData;
  bool Appends;
};

class AppendOnDown : public KeyFixture, public ::testing::WithParamInterface<TAppendCase> {};

TEST_P(AppendOnDown, DownOnTheLastRecordAppendsOnlyWhenEveryConditionHolds) {
  const TAppendCase& c = GetParam();
  TRixDBGridOptions o = Grid->Options();
  o = c.Editing ? o + rixdgEditing : o - rixdgEditing;
  o = c.AllowAdd ? o + rixdgAllowUserToAddRows : o - rixdgAllowUserToAddRows;
  Grid->SetOptions(o);
  Grid->SetReadOnly(c.ReadOnlyGrid);
  Data->SetReadOnly(c.ReadOnlyData);
  Show();
  Set()->Last();
  Press(VK_DOWN);
  EXPECT_EQ(Set()->State() == dsInsert, c.Appends);
  ExpectInStep();
}

INSTANTIATE_TEST_SUITE_P(Keys, AppendOnDown,
                         ::testing::Values(TAppendCase{"AllHold", true, true, false, false, true},
                                           TAppendCase{"NoEditing", false, true, false, false, false},
                                           TAppendCase{"NoAdding", true, false, false, false, false},
                                           TAppendCase{"ReadOnlyGrid", true, true, true, false, false},
                                           TAppendCase{"ReadOnlyDataSet", true, true, false, true, false}),
                         [](const ::testing::TestParamInfo<TAppendCase>& I) { return std::string(I.param.Name); });

TEST_F(KeyFixture, DownOnAnUntouchedNewRecordDoesNothingAndUpCancelsIt) {
  Show();
  Set()->Last();
  Press(VK_DOWN);
  ASSERT_EQ(Set()->State(), dsInsert);
  Press(VK_DOWN);
  EXPECT_EQ(Set()->State(), dsInsert);
  EXPECT_EQ(Set()->RecordCount(), 20) << "no second record appended";
  Press(VK_UP);
  EXPECT_EQ(Set()->State(), dsBrowse);
  EXPECT_EQ(Id(), 20);
  EXPECT_EQ(Set()->RecordCount(), 20);
  ExpectInStep();
}

TEST_F(KeyFixture, InsertIgnoresTheAddingOptionButNotReadOnly) {
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToAddRows);
  Show();
  GoTo(4);
  Press(VK_INSERT);
  EXPECT_EQ(Set()->State(), dsInsert);
  Press(VK_ESCAPE);
  EXPECT_EQ(Set()->State(), dsBrowse);
  Grid->SetReadOnly(true);
  Press(VK_INSERT);
  EXPECT_EQ(Set()->State(), dsBrowse);
}

// ---- The keyboard selection ----------------------------------------------------------

std::vector<int> SelectedIds(TRixCustomDBGrid* Grid, TDataSet* Ds) {
  std::vector<int> ids;
  const std::string here = Ds->Bookmark();
  for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) {
    Ds->SetBookmark(Grid->SelectedRows()->Items(i));
    ids.push_back(Ds->FieldByName("ID")->AsInteger());
  }
  Ds->SetBookmark(here);
  return ids;
}

TEST_F(KeyFixture, ShiftExtendsTheSelectionAndAPlainMoveEmptiesIt) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  GoTo(5);
  PressTimes(VK_DOWN, 3, {ssShift});
  EXPECT_EQ(SelectedIds(Grid, Set()), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_EQ(Id(), 8);
  Press(VK_UP, {ssShift});
  EXPECT_EQ(SelectedIds(Grid, Set()), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(Id(), 7);
  Press(VK_DOWN);
  EXPECT_TRUE(SelectedIds(Grid, Set()).empty());
  EXPECT_FALSE(Grid->Selecting());
  EXPECT_EQ(Id(), 8);
}

TEST_F(KeyFixture, ShiftTabAcrossRecordsSelectsNothing) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  GoTo(5, 0);
  Press(VK_TAB, {ssShift});
  EXPECT_EQ(Id(), 4);
  Press(VK_TAB, {ssShift});
  Press(VK_TAB, {ssShift});
  Press(VK_TAB, {ssShift});
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_FALSE(Grid->Selecting());
}

TEST_F(KeyFixture, RowSelectMovesRecordsWithoutSelecting) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect + rixdgRowSelect);
  Show();
  GoTo(5);
  PressTimes(VK_DOWN, 2, {ssShift});
  EXPECT_EQ(Id(), 7);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

// ---- Deleting ---------------------------------------------------------------------

bool HasId(TDataSet* Ds, int Id) {
  const std::string here = Ds->Bookmark();
  bool found = false;
  for (Ds->First(); !Ds->Eof() && !found; Ds->Next()) found = Ds->FieldByName("ID")->AsInteger() == Id;
  Ds->SetBookmark(here);
  return found;
}

TEST_F(KeyFixture, CtrlDeleteAsksAboutEverySelectedRecordAndCancelKeepsThem) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  GoTo(3);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  GoTo(6);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  DialogService().ScriptModalResult(mrCancel);
  Press(VK_DELETE, {ssCtrl});
  ASSERT_EQ(DialogService().Requests().size(), 1u);
  EXPECT_EQ(DialogService().Requests()[0].Text, dbconsts::SDeleteMultipleRecordsQuestion);
  EXPECT_EQ(DialogService().Requests()[0].DlgType, mtConfirmation);
  EXPECT_EQ(DialogService().Requests()[0].Buttons, (TMsgDlgButtons{mbOK, mbCancel}));
  EXPECT_EQ(Set()->RecordCount(), 20);
  DialogService().ScriptModalResult(mrOk);
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(Set()->RecordCount(), 18);
  EXPECT_FALSE(HasId(Set(), 3));
  EXPECT_FALSE(HasId(Set(), 6));
}

TEST_F(KeyFixture, CtrlDeleteWithoutASelectionDeletesTheCurrentRecord) {
  Show();
  GoTo(4);
  DialogService().ScriptModalResult(mrOk);
  Press(VK_DELETE, {ssCtrl});
  ASSERT_EQ(DialogService().Requests().size(), 1u);
  EXPECT_EQ(DialogService().Requests()[0].Text, dbconsts::SDeleteRecordQuestion);
  EXPECT_EQ(Set()->RecordCount(), 19);
  EXPECT_FALSE(HasId(Set(), 4));
  // Without the confirmation option nothing is asked.
  Grid->SetOptions(Grid->Options() - rixdgConfirmDelete);
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(DialogService().Requests().size(), 1u);
  EXPECT_EQ(Set()->RecordCount(), 18);
  // Without the deleting option, or read-only, the key is ignored.
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToDeleteRows);
  Press(VK_DELETE, {ssCtrl});
  Grid->SetOptions(Grid->Options() + rixdgAllowUserToDeleteRows);
  Grid->SetReadOnly(true);
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(Set()->RecordCount(), 18);
}

// ---- Tab, Enter, F2 -----------------------------------------------------------------

TEST_F(KeyFixture, TabPastTheLastColumnWrapsToTheNextRecordAndShiftTabBack) {
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToAddRows);
  Show();
  GoTo(2, 2);
  ASSERT_EQ(Grid->Col(), 3);
  Press(VK_TAB);
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Grid->Col(), 1);
  Press(VK_TAB, {ssShift});
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(Grid->Col(), 3);
  ExpectInStep();
}

TEST_F(KeyFixture, TabWithoutTabStopsMovesOneRecordInTheSameColumn) {
  Show();
  for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetTabStop(false);
  GoTo(2, 1);
  Press(VK_TAB);
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Grid->Col(), 2);
}

// The typed text belongs to the field it was typed into, also when Tab
// wraps to the record's next row while the record is being edited.
TEST_F(KeyFixture, TextTypedBeforeATabThatWrapsInsideTheRecordReachesItsOwnField) {
  Show(MakeWide(Form, 5));
  Grid->SetRowsPerRecord(2);
  ASSERT_EQ(Grid->ColsPerRow(), 3);
  GoTo(2, 2); // Note, the last column of record row 0
  Press(VK_F2);
  ASSERT_TRUE(Grid->EditorMode());
  Host->Type("abc");
  Press(VK_TAB);
  EXPECT_EQ(Grid->Offset(), 1);
  EXPECT_EQ(Grid->SelectedField()->FieldName(), "Price");
  EXPECT_EQ(Set()->FieldByName("Note")->AsString(), "x2abc") << "F2 puts the caret after the text";
  EXPECT_EQ(Set()->FieldByName("Price")->AsInteger(), 20);
  Host->Type("7");
  Press(VK_TAB);
  EXPECT_EQ(Set()->FieldByName("Price")->AsString(), "7");
  EXPECT_EQ(Set()->FieldByName("Qty")->AsInteger(), 2);
  Press(VK_DOWN);
  Set()->First();
  Set()->MoveBy(1);
  EXPECT_EQ(Set()->FieldByName("Note")->AsString(), "x2abc") << "posted";
}

// The key-down is consumed by the move; the character Enter types still
// reaches KeyPress, which opens the editor as it always does.
TEST_F(KeyFixture, EnterWithCRtoNextColMovesLikeTab) {
  Grid->SetCRtoNextCol(true);
  Show();
  GoTo(2, 0);
  int keyDowns = 0;
  Grid->SetOnKeyDown([&](TObject*, unsigned short&, TShiftState) { ++keyDowns; });
  Press(VK_RETURN);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(keyDowns, 1);
  Grid->HideEditor();
  Grid->SetFocus();
  Press(VK_RETURN, {ssShift});
  EXPECT_EQ(Grid->Col(), 1);
  Grid->HideEditor();
  Grid->SetFocus();
  Press(VK_RETURN, {ssShift});
  EXPECT_EQ(Id(), 1) << "Shift+Enter from the first column wraps to the prior record";
  EXPECT_EQ(Grid->Col(), 3);
  Grid->SetOnKeyDown(nullptr);
}

TEST_F(KeyFixture, EnterWritesTheTypedTextAndEscapeTwiceCancels) {
  Show();
  GoTo(3, 1);
  Host->Type("zz");
  Press(VK_RETURN);
  EXPECT_EQ(Set()->State(), dsEdit);
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "zz");
  // A second text typed, not yet written: the first Escape drops it only.
  Host->Type("yy");
  Press(VK_ESCAPE);
  EXPECT_EQ(Set()->State(), dsEdit);
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "zz");
  Press(VK_ESCAPE);
  EXPECT_EQ(Set()->State(), dsBrowse);
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "P3");
}

// ---- Button and check-box columns ---------------------------------------------------

TEST_F(KeyFixture, SpaceTogglesACheckBoxAndLettersAreSwallowed) {
  Customize({"ID", "Name", "Active"});
  Show();
  Grid->Columns()->Items(2)->SetButtonStyle(cbsCheck);
  GoTo(3, 2);
  ASSERT_FALSE(Set()->FieldByName("Active")->AsBoolean());
  int clicks = 0;
  Grid->SetOnCellClick([&](TRixColumn*) { ++clicks; });
  Press(VK_SPACE);
  EXPECT_TRUE(Set()->FieldByName("Active")->AsBoolean());
  EXPECT_EQ(clicks, 1);
  Press('A');
  Host->Type("q");
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_TRUE(Set()->FieldByName("Active")->AsBoolean());
  EXPECT_EQ(clicks, 1);
}

TEST_F(KeyFixture, SpaceOnAButtonColumnClicksIt) {
  Customize({"ID", "Name", "Active"});
  Show();
  TRixColumn* button = Grid->Columns()->Items(1);
  button->SetButtonStyle(cbsButton);
  std::vector<std::string> order;
  button->SetOnClick([&](TObject*) { order.push_back("column"); });
  Grid->SetOnCellClick([&](TRixColumn* c) { order.push_back(c == button ? "grid" : "other"); });
  GoTo(2, 1);
  Press(VK_SPACE);
  Host->Type("x");
  EXPECT_EQ(order, (std::vector<std::string>{"column", "grid"}));
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "P2");
}

TEST_F(KeyFixture, AGridWithoutADataSourceIgnoresKeys) {
  Host = std::make_unique<THeadlessHost>(Form, 640, 480);
  Grid->SetFocus();
  for (unsigned short k : {VK_DOWN, VK_UP, VK_TAB, VK_RETURN, VK_SPACE, VK_F2, VK_INSERT, VK_HOME, VK_END})
    Press(k);
  Press(VK_DELETE, {ssCtrl});
  Host->Type("a");
  EXPECT_EQ(Grid->SelectedIndex(), -1);
  EXPECT_EQ(Grid->SelectedField(), nullptr);
}

// ---- Home, End and Ctrl ------------------------------------------------------------

TEST_F(KeyFixture, HomeAndEndMoveColumnsOrRecords) {
  Show();
  GoTo(5, 1);
  Press(VK_END);
  EXPECT_EQ(Grid->Col(), 3);
  Press(VK_HOME);
  EXPECT_EQ(Grid->Col(), 1);
  Press(VK_END, {ssCtrl});
  EXPECT_EQ(Id(), 20);
  Press(VK_HOME, {ssCtrl});
  EXPECT_EQ(Id(), 1);
  Press(VK_RIGHT, {ssCtrl});
  EXPECT_EQ(Grid->Col(), 3);
  Grid->SetOptions(Grid->Options() + rixdgRowSelect);
  Press(VK_END);
  EXPECT_EQ(Id(), 20);
  Press(VK_HOME);
  EXPECT_EQ(Id(), 1);
}

TEST_F(KeyFixture, PageKeysMoveByTheVisibleRowsAndCtrlStaysInTheBuffer) {
  Show();
  const int page = Grid->VisibleRowCount();
  ASSERT_GT(page, 2);
  Press(VK_NEXT);
  EXPECT_EQ(Id(), 1 + page);
  Press(VK_PRIOR);
  EXPECT_EQ(Id(), 1);
  Press(VK_NEXT, {ssCtrl});
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), Grid->DataLink()->BufferCount() - 1);
  Press(VK_PRIOR, {ssCtrl});
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 0);
  ExpectInStep();
}

// ---- Cells without a column --------------------------------------------------------

// Three rows per record over two columns (a column set loaded into a grid
// with more rows per record than columns): record row 2 shows no column.
TEST_F(KeyFixture, MovesNeverStopOnACellWithoutAColumn) {
  Customize({"ID", "Name", "Note", "Price"});
  Grid->SetOptions(Grid->Options() - rixdgAllowUserToAddRows);
  Show(MakeWide(Form, 6));
  Grid->SetRowsPerRecord(3);
  delete Grid->Columns()->Items(3);
  delete Grid->Columns()->Items(2);
  ASSERT_EQ(Grid->Columns()->Count(), 2);
  ASSERT_EQ(Grid->ColsPerRow(), 1);
  GoTo(3, 1);
  ASSERT_EQ(Grid->Offset(), 1);
  Press(VK_TAB);
  EXPECT_EQ(Id(), 4) << "Tab passed over the empty record row into the next record";
  EXPECT_EQ(Grid->Offset(), 0);
  EXPECT_EQ(Grid->SelectedField()->FieldName(), "ID");
  Press(VK_TAB, {ssShift});
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Grid->Offset(), 1);
  EXPECT_EQ(Grid->SelectedField()->FieldName(), "Name");
  Press(VK_RIGHT);
  Press(VK_END);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->GetColumns(Grid->RawToDataColumn(1, Grid->Row() + 1)), nullptr);
  ExpectInStep();
}

// ---- The wheel ---------------------------------------------------------------------

TEST_F(KeyFixture, TheWheelMovesOneRowPerNotchAndOneRecordUnderRowSelect) {
  Show(MakeWide(Form, 20));
  Grid->SetRowsPerRecord(2);
  GoTo(1);
  Wheel(1);
  EXPECT_EQ(Id(), 1);
  EXPECT_EQ(Grid->Offset(), 1);
  Wheel(2);
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(Grid->Offset(), 1);
  EXPECT_EQ(Grid->Col(), 1);
  Wheel(-1);
  EXPECT_EQ(Grid->Offset(), 0);
  ExpectInStep();
  Grid->SetOptions(Grid->Options() + rixdgRowSelect);
  Wheel(3);
  EXPECT_EQ(Id(), 5);
}

TEST_F(KeyFixture, TheWheelWhileEditingMovesTheDatasetWithTheText) {
  Show();
  GoTo(2, 1);
  Host->Type("w");
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  ASSERT_TRUE(Grid->InplaceEditor()->Focused());
  Wheel(1);
  EXPECT_EQ(Id(), 3);
  ExpectInStep();
  Set()->First();
  Set()->MoveBy(1);
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "w") << "the text went to its own record";
  Set()->MoveBy(1);
  EXPECT_EQ(Set()->FieldByName("Name")->AsString(), "P3");
}

// ---- A key handler that changes the key --------------------------------------------

TEST_F(KeyFixture, AChangedKeyActsWithoutRunningPostedMessages) {
  Show();
  GoTo(5);
  int seen = 0;
  Grid->SetOnKeyDown([&](TObject*, unsigned short& Key, TShiftState) {
    ++seen;
    if (Key == VK_DOWN) Key = VK_UP;
  });
  PostMessage(Grid->WindowHandle(), CM_DEFERLAYOUT, 0, 0);
  const int passes = Grid->LayoutPassCount();
  Grid->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(Id(), 4) << "the changed key acted";
  EXPECT_EQ(Grid->LayoutPassCount(), passes) << "the posted layout still waits";
  EXPECT_EQ(Queued(CM_DEFERLAYOUT), 1);
  Grid->SetOnKeyDown(nullptr);
}

} // namespace
