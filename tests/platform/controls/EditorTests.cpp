#include "TestGrid.h"

class Editor : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    Grid->SetOptions(Grid->Options() + goEditing);
    Grid->Cells[{1, 1}] = "old";
  }
  TInplaceEdit* Ed() const { return Grid->InplaceEditor(); }
  std::string LastEditText() const { return Grid->EditTexts.empty() ? "<none>" : Grid->EditTexts.back().second; }
};

TEST_F(Editor, TypingOpensTheEditorAndEveryChangeReachesSetEditText) {
  Input::Type("ab");
  ASSERT_NE(Ed(), nullptr);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_TRUE(Ed()->Focused());
  EXPECT_EQ(Form->ActiveControl(), Grid); // the grid stays the active control
  EXPECT_EQ(Ed()->Text(), "ab");          // the first key replaced the selected text
  ASSERT_EQ(Grid->EditTexts.size(), 2u);
  EXPECT_EQ(Grid->EditTexts[0].second, "a");
  EXPECT_EQ(Grid->EditTexts[1].second, "ab");
  EXPECT_EQ(Grid->EditTexts[1].first, std::make_pair(1, 1));
  Input::Char(U'\b');
  EXPECT_EQ(LastEditText(), "a");
  Input::Type("日本");
  EXPECT_EQ(LastEditText(), "a日本");
  EXPECT_TRUE(Ed()->Modified());
}

TEST_F(Editor, EscapeRestoresTheLoadedText) {
  Input::Key(VK_F2);
  ASSERT_NE(Ed(), nullptr);
  EXPECT_EQ(Ed()->Text(), "old");
  EXPECT_EQ(Ed()->SelLength(), 0); // F2 leaves the caret at the end
  Input::Type("er");
  EXPECT_EQ(LastEditText(), "older");
  Input::Key(VK_ESCAPE);
  EXPECT_EQ(Ed()->Text(), "old");
  EXPECT_EQ(LastEditText(), "old");
  EXPECT_FALSE(Ed()->Modified());
}

TEST_F(Editor, EnterClosesTheEditorAndMovingLoadsTheNextCell) {
  Grid->Cells[{1, 2}] = "second";
  Input::Type("x");
  Input::Char(U'\r');
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(Ed()->Visible());
  EXPECT_TRUE(Grid->Focused()); // the hidden editor gives the focus back
  EXPECT_EQ((Grid->Cells[{1, 1}]), "x");
  Input::Key(VK_DOWN);
  Input::Char(U'\r'); // Enter opens it again, on the new cell
  EXPECT_TRUE(Ed()->Visible());
  EXPECT_EQ(Ed()->Text(), "second");
  Input::Key(VK_UP); // keys the editor does not use go to the grid
  EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(Editor, CanEditModifyFalseRefusesTyping) {
  Grid->ModifyAllowed = false;
  Input::Key(VK_F2);
  Input::Type("zz");
  Input::Char(U'\b');
  EXPECT_EQ(Ed()->Text(), "old");
  EXPECT_TRUE(Grid->EditTexts.empty());
}

TEST_F(Editor, MaxLengthLimitsTypingAndPasting) {
  Grid->EditLimit = 5;
  Input::Key(VK_F2);
  Input::Type("abcd");
  EXPECT_EQ(Ed()->Text(), "oldab");
  Clipboard()->SetAsText("123");
  Ed()->SelectAll();
  Input::Char(0x16); // Ctrl+V
  EXPECT_EQ(Ed()->Text(), "123");
  EXPECT_EQ(LastEditText(), "123");
}

TEST_F(Editor, ClipboardCutCopyPaste) {
  Input::Key(VK_F2);
  Ed()->SetSelStart(0);
  Ed()->SetSelLength(2);
  Input::Char(0x03); // Ctrl+C
  EXPECT_EQ(Clipboard()->AsText(), "ol");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  Input::Char(0x18); // Ctrl+X
  EXPECT_EQ(Ed()->Text(), "d");
  Input::Key(VK_END);
  Input::Char(0x16);
  EXPECT_EQ(Ed()->Text(), "dol");
  Clipboard()->SetAsText("first line\nsecond");
  Input::Key(VK_HOME, {ssShift}); // select back to the start
  Input::Char(0x16);
  EXPECT_EQ(Ed()->Text(), "first line");
}

struct MaskCase {
  const char* Name;
  const char* Mask;
  const char* Typed;
  const char* Text;     // value after typing
  const char* EditText; // what the editor shows
  friend void PrintTo(const MaskCase& M, std::ostream* Os) { *Os << M.Name; }
};

class MaskEditing : public Editor, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskEditing, TypedCharactersFollowTheMask) {
  const MaskCase& m = GetParam();
  Grid->Mask = m.Mask;
  Grid->Cells[{1, 1}] = "";
  Input::Key(VK_F2);
  Ed()->SetSelStart(0);
  Input::Type(m.Typed);
  EXPECT_EQ(Ed()->Text(), m.Text);
  EXPECT_EQ(Ed()->EditText(), m.EditText);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditing,
    ::testing::Values(MaskCase{"DigitsSkipLiterals", "000-0000;1;_", "1234567", "123-4567", "123-4567"},
                      MaskCase{"LettersRefuseDigits", "LLL", "a1bc", "abc", "abc"},
                      MaskCase{"UpperCase", ">LL<LL", "abCD", "ABcd", "ABcd"},
                      MaskCase{"LiteralsNotSaved", "(999)000;0;_", "12345", "12345", "(123)45_"},
                      MaskCase{"EscapedMaskCharIsLiteral", "\\L00", "12", "L12", "L12"},
                      MaskCase{"AnyCharacter", "CCc", "日本x", "日本x", "日本x"},
                      MaskCase{"SignOrDigit", "#00", "-12", "-12", "-12"},
                      MaskCase{"AlphaNumeric", "AAa", "a1!b", "a1b", "a1b"},
                      MaskCase{"BlankCharacterOfTheMask", "0000;1;*", "12", "12", "12**"}),
    [](const ::testing::TestParamInfo<MaskCase>& I) { return std::string(I.param.Name); });

// '!' drops the value's leading blanks; the value then stands right-aligned
// in the mask, and saved literals keep their places.
TEST_F(Editor, AValueOfAMaskDroppingLeadingBlanksStandsRightAligned) {
  for (auto [mask, value, editText] : {std::tuple{"!999;0;_", "12", "_12"}, std::tuple{"!99-99;1;_", "3-45", "_3-45"}}) {
    Grid->Mask = mask;
    Grid->Cells[{1, 1}] = value;
    Input::Key(VK_F2);
    EXPECT_EQ(Ed()->EditText(), editText) << mask;
    EXPECT_EQ(Ed()->Text(), value) << mask;
    // (Escape only takes the text back; the next case needs the editor shut)
    Grid->SetEditorMode(false);
  }
}

TEST_F(Editor, MaskedBackspaceBlanksThePreviousInputPosition) {
  Grid->Mask = "00-00;1;_";
  Grid->Cells[{1, 1}] = "12-34";
  Input::Key(VK_F2);
  EXPECT_EQ(Ed()->EditText(), "12-34");
  Input::Char(U'\b');
  EXPECT_EQ(Ed()->EditText(), "12-3_");
  EXPECT_EQ(LastEditText(), "12-3");
}

class PickList : public Editor {
protected:
  void SetUp() override {
    Editor::SetUp();
    Grid->UseEditList = true;
    Grid->Styles[2] = Grids::esPickList;
    Grid->Styles[3] = Grids::esEllipsis;
    Grid->MoveColRow(2, 1, true, true);
    Input::Key(VK_F2);
  }
  TInplaceEditList* List() const { return dynamic_cast<TInplaceEditList*>(Grid->InplaceEditor()); }
};

TEST_F(PickList, AltDownDropsTheListAndEnterAcceptsTheChoice) {
  ASSERT_NE(List(), nullptr);
  EXPECT_EQ(List()->EditStyle(), Grids::esPickList);
  Input::Key(VK_DOWN, {ssAlt});
  ASSERT_TRUE(List()->ListVisible());
  TPopupListbox* box = List()->PickList();
  EXPECT_TRUE(box->Visible());
  EXPECT_EQ(box->Items()->Count(), 4);
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_TRUE(List()->Focused()); // the list never takes the focus
  Input::Key(VK_DOWN);
  Input::Key(VK_DOWN);
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(Grid->Row(), 1); // the keys went to the list, not the grid
  SendMessage(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(List()->ListVisible());
  EXPECT_EQ(List()->Text(), "Banana");
  EXPECT_EQ(LastEditText(), "Banana");
  EXPECT_EQ(Grid->EditTexts.back().first, std::make_pair(2, 1));
}

TEST_F(PickList, EscapeClosesTheListWithoutChoosing) {
  Input::Key(VK_DOWN, {ssAlt});
  Input::Key(VK_DOWN);
  SendMessage(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(List()->ListVisible());
  EXPECT_EQ(List()->Text(), "");
  EXPECT_TRUE(Grid->EditTexts.empty());
}

TEST_F(PickList, AClickOnAnItemAcceptsIt) {
  Input::Key(VK_DOWN, {ssAlt});
  TPopupListbox* box = List()->PickList();
  int y = 2 * box->ItemHeight() + box->ItemHeight() / 2; // the third item
  Input::Mouse(box, WM_LBUTTONDOWN, 10, y, {ssLeft});
  EXPECT_TRUE(List()->ListVisible()); // the click on the list does not cancel it
  Input::Mouse(box, WM_LBUTTONUP, 10, y);
  EXPECT_FALSE(List()->ListVisible());
  EXPECT_EQ(List()->Text(), "Cherry");
  EXPECT_EQ(LastEditText(), "Cherry");
}

TEST_F(PickList, TheDropDownButtonOpensTheListAndAReleaseOutsideClosesIt) {
  TRect b = List()->ButtonRect();
  Input::Mouse(List(), WM_LBUTTONDOWN, b.Left + 2, 5, {ssLeft});
  EXPECT_TRUE(List()->ListVisible());
  TPopupListbox* box = List()->PickList();
  EXPECT_EQ(box->Left(), List()->ClientToScreen({0, 0}).X - 0);
  Input::Mouse(List(), WM_LBUTTONUP, b.Left + 2, 5);
  EXPECT_TRUE(List()->ListVisible());
  Input::Mouse(box, WM_LBUTTONDOWN, 10, 5, {ssLeft});
  Input::Mouse(box, WM_LBUTTONUP, 10, box->Height() + 50);
  EXPECT_FALSE(List()->ListVisible());
  EXPECT_EQ(List()->Text(), "");
}

TEST_F(PickList, DropDownRowsLimitsTheListHeight) {
  List()->SetDropDownRows(2);
  List()->DropDown();
  EXPECT_EQ(List()->PickList()->Height(), 2 * List()->PickList()->ItemHeight() + 4);
  List()->CloseUp(false);
  Grid->PickItems = {"One"};
  List()->SetPickListLoaded(false);
  List()->PickList()->Items()->Clear();
  List()->DropDown();
  EXPECT_EQ(List()->PickList()->Height(), List()->PickList()->ItemHeight() + 4);
}

TEST_F(PickList, TheEllipsisButtonClicks) {
  int clicks = 0;
  List()->SetOnEditButtonClick([&](TObject* Sender) {
    EXPECT_EQ(Sender, Grid);
    ++clicks;
  });
  Grid->MoveColRow(3, 1, true, true);
  Grid->ShowEditor();
  ASSERT_EQ(List()->EditStyle(), Grids::esEllipsis);
  TRect b = List()->ButtonRect();
  Input::Mouse(List(), WM_LBUTTONDOWN, b.Left + 2, 5, {ssLeft});
  Input::Mouse(List(), WM_LBUTTONUP, b.Left + 2, 5);
  EXPECT_EQ(clicks, 1);
  Input::Key(VK_RETURN, {ssCtrl});
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(List()->ListVisible());
}

TEST_F(Editor, ClickingTheCurrentCellOpensTheEditorAndAnotherCellClosesIt) {
  Input::Mouse(Grid, WM_LBUTTONDOWN, 80, 30, {ssLeft}); // cell (1, 1), the current one
  Input::Mouse(Grid, WM_LBUTTONUP, 80, 30);
  ASSERT_NE(Ed(), nullptr);
  EXPECT_TRUE(Ed()->Visible());
  EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(1, 1));
  Input::Type("new");
  Input::Mouse(Grid, WM_LBUTTONDOWN, 150, 80, {ssLeft}); // cell (2, 3)
  Input::Mouse(Grid, WM_LBUTTONUP, 150, 80);
  EXPECT_FALSE(Ed()->Visible());
  EXPECT_EQ((Grid->Cells[{1, 1}]), "new");
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(Editor, LeavingTheGridKeepsTheEditorAndItsTextUntilTheGridIsBack) {
  Input::Type("kept");
  Box->SetFocus();
  EXPECT_TRUE(Ed()->Visible()); // as in the framework: it stays, without the focus
  EXPECT_FALSE(Ed()->Focused());
  EXPECT_EQ(Form->ActiveControl(), Box);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ((Grid->Cells[{1, 1}]), "kept");
  Grid->SetFocus();
  EXPECT_TRUE(Ed()->Visible());
  EXPECT_TRUE(Ed()->Focused());
}

TEST_F(Editor, AlwaysShowEditorKeepsItOpenAcrossMovesAndScrolling) {
  Grid->SetOptions(Grid->Options() + goAlwaysShowEditor);
  ASSERT_NE(Ed(), nullptr);
  EXPECT_TRUE(Ed()->Visible());
  Input::Key(VK_DOWN);
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_TRUE(Ed()->Visible());
  EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(1, 2));
  Grid->SetLeftCol(3); // the current cell scrolls out of sight
  EXPECT_FALSE(Ed()->Visible());
  Grid->SetLeftCol(1);
  EXPECT_TRUE(Ed()->Visible());
}

TEST_F(GridFixture, RowSelectSelectsWholeRowsAndArrowsScrollSideways) {
  Grid->SetOptions(Grid->Options() + goRowSelect + goEditing);
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 19, 1}));
  Input::Key(VK_RIGHT);
  EXPECT_EQ(Grid->LeftCol(), 2);
  EXPECT_EQ(Grid->Col(), 1);
  Input::Key(VK_DOWN);
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 19, 2}));
  Input::Char(U'x'); // no editing on whole rows
  EXPECT_EQ(Grid->InplaceEditor(), nullptr);
}
