// Editing cells: the edit style each column gets, what the editor loads and
// limits, and what reaches the field, driven through keys where a user
// would use them.
#include "KeyboardTestSupport.h"

#include <climits>

namespace {

using keytest::KeyFixture;

// Cities to look up, and a shop whose CityID is shown as the city's name
// (a lookup field) and whose Code may be picked from the cities (a column
// lookup).
class EditFixture : public KeyFixture {
protected:
  void SetUp() override {
    KeyFixture::SetUp();
    Cities = new TMemoryDataSet(Form);
    Cities->FieldDefs()->Add("CityID", ftInteger);
    Cities->FieldDefs()->Add("City", ftString, 20);
    Cities->CreateDataSet();
    for (auto [id, name] : {std::pair{1, "東京"}, {2, "大阪"}, {3, "札幌"}}) {
      Cities->Append();
      Cities->FieldByName("CityID")->SetAsInteger(id);
      Cities->FieldByName("City")->SetAsString(name);
      Cities->Post();
    }
    CitySource = new TDataSource(Form);
    CitySource->SetDataSet(Cities);
    Shop = new TMemoryDataSet(Form);
    Shop->FieldDefs()->Add("ID", ftInteger);
    Shop->FieldDefs()->Add("Name", ftString, 20);
    Shop->FieldDefs()->Add("CityID", ftInteger);
    Shop->FieldDefs()->Add("Note", ftMemo);
    Shop->FieldDefs()->Add("Code", ftString, 20);
    Shop->FieldDefs()->Add("Open", ftBoolean);
    Shop->FieldDefs()->Add("Qty", ftInteger);
    CityName = new TStringField(Shop);
    CityName->SetFieldName("CityName");
    CityName->SetFieldKind(fkLookup);
    CityName->SetKeyFields("CityID");
    CityName->SetLookupDataSet(Cities);
    CityName->SetLookupKeyFields("CityID");
    CityName->SetLookupResultField("City");
    CityName->SetDataSet(Shop);
    Shop->CreateDataSet();
    for (int i = 1; i <= 3; ++i) {
      Shop->Append();
      Shop->FieldByName("ID")->SetAsInteger(i);
      Shop->FieldByName("Name")->SetAsString("S" + std::to_string(i));
      Shop->FieldByName("CityID")->SetAsInteger(i);
      Shop->FieldByName("Note")->SetAsString("line one\nline two " + std::to_string(i));
      Shop->FieldByName("Code")->SetAsString("1");
      Shop->FieldByName("Open")->SetAsBoolean(false);
      Shop->FieldByName("Qty")->SetAsInteger(i);
      Shop->Post();
    }
    Shop->First();
  }
  // Customized columns: Name, CityName, Note, Code, Open, Qty.
  TRixColumn* Col(int I) const { return Grid->Columns()->Items(I); }
  void ShowShop() {
    Customize({"Name", "CityName", "Note", "Code", "Open", "Qty"});
    Show(Shop);
  }
  // F2 on column DataCol of the first record; the editor.
  TRixDBGridInplaceEdit* Edit(int DataCol) {
    Shop->First();
    Grid->SetSelectedIndex(DataCol);
    Press(VK_F2);
    return Grid->RixInplaceEditor();
  }
  TMemoryDataSet* Cities = nullptr;
  TDataSource* CitySource = nullptr;
  TMemoryDataSet* Shop = nullptr;
  TStringField* CityName = nullptr;
};

// ---- Edit styles ---------------------------------------------------------------------

struct TStyleCase {
  const char* Name;
  int DataCol;
  std::function<void(EditFixture&)> Arrange;
  TRixEditStyle Style;
  bool UseDataList;
};

class EditStyles : public EditFixture, public ::testing::WithParamInterface<TStyleCase> {
public:
  using EditFixture::CityName;
  using EditFixture::CitySource;
  using EditFixture::Col;
  using EditFixture::Shop;
};

TEST_P(EditStyles, EachColumnGetsItsEditor) {
  const TStyleCase& c = GetParam();
  ShowShop();
  c.Arrange(*this);
  TRixDBGridInplaceEdit* editor = Edit(c.DataCol);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->EditStyle(), c.Style);
  EXPECT_EQ(editor->UseDataList(), c.UseDataList);
  EXPECT_EQ(editor->ActiveList() != nullptr && editor->ActiveList() == editor->DataList(), c.UseDataList);
}

void PickList(TRixColumn* C) {
  TStringList l;
  l.Add("1");
  l.Add("2");
  C->SetPickList(&l);
}

INSTANTIATE_TEST_SUITE_P(
    Editing, EditStyles,
    ::testing::Values(
        TStyleCase{"PlainText", 0, [](EditFixture&) {}, esSimple, false},
        TStyleCase{"LookupField", 1, [](EditFixture&) {}, esPickList, true},
        // The column's pick list is not considered either.
        TStyleCase{"LookupFieldWithReadOnlyKey", 1,
                   [](EditFixture& F) {
                     static_cast<EditStyles&>(F).Shop->FieldByName("CityID")->SetReadOnly(true);
                     PickList(static_cast<EditStyles&>(F).Col(1));
                   },
                   esSimple, false},
        TStyleCase{"CompoundKeyFields", 1,
                   [](EditFixture& F) {
                     static_cast<EditStyles&>(F).CityName->SetKeyFields("CityID;ID");
                     static_cast<EditStyles&>(F).CityName->SetLookupKeyFields("CityID;CityID");
                   },
                   esSimple, false},
        TStyleCase{"PickListAndColumnLookup", 3,
                   [](EditFixture& F) {
                     auto& f = static_cast<EditStyles&>(F);
                     PickList(f.Col(3));
                     f.Col(3)->SetListSource(f.CitySource);
                     f.Col(3)->SetKeyField("CityID");
                     f.Col(3)->SetListField("City");
                   },
                   esPickList, true},
        TStyleCase{"PickList", 3, [](EditFixture& F) { PickList(static_cast<EditStyles&>(F).Col(3)); }, esPickList,
                   false},
        TStyleCase{"ReadOnlyColumnWithPickList", 3,
                   [](EditFixture& F) {
                     PickList(static_cast<EditStyles&>(F).Col(3));
                     static_cast<EditStyles&>(F).Col(3)->SetReadOnly(true);
                   },
                   esSimple, false},
        TStyleCase{"Ellipsis", 0, [](EditFixture& F) { static_cast<EditStyles&>(F).Col(0)->SetButtonStyle(cbsEllipsis); },
                   esEllipsis, false}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- What the editor loads and limits ------------------------------------------------

TEST_F(EditFixture, AShownMemoSurvivesABackspaceAtTheStartAndAMove) {
  ShowShop();
  Col(2)->SetShowMemoText(true);
  TRixDBGridInplaceEdit* editor = Edit(2);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Text(), "line one\nline two 1");
  Press(VK_HOME);
  Press(VK_BACK);
  Press(VK_END);
  Press(VK_DELETE);
  Press(VK_DOWN);
  Shop->First();
  EXPECT_EQ(Shop->FieldByName("Note")->AsString(), "line one\nline two 1");
}

TEST_F(EditFixture, AColumnMaskStoresOnlyWhatWasTyped) {
  ShowShop();
  Col(3)->SetEditMask("cccccccccc;0;_");
  Edit(3);
  Grid->InplaceEditor()->SelectAll();
  Host->Type("abc");
  Press(VK_RETURN);
  EXPECT_EQ(Shop->FieldByName("Code")->AsString(), "abc");
}

TEST_F(EditFixture, AStringFieldLimitsTypingToItsSizeAndAnIntegerFieldHasNoLimit) {
  ShowShop();
  TRixDBGridInplaceEdit* editor = Edit(0);
  EXPECT_EQ(editor->MaxLength(), 20);
  Grid->InplaceEditor()->SelectAll();
  Host->Type("abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(editor->Text(), "abcdefghijklmnopqrst");
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  Edit(5);
  EXPECT_EQ(editor->MaxLength(), 0);
  // Letters do not go into a number.
  Grid->InplaceEditor()->SelectAll();
  Host->Type("1a2");
  EXPECT_EQ(editor->Text(), "12");
}

// ---- Writing -------------------------------------------------------------------------

TEST_F(EditFixture, LeavingTheGridDropsAnUntouchedNewRecordButKeepsATypedOne) {
  auto* other = new TRixDBGrid(Form);
  other->SetParent(Form);
  other->SetBounds(420, 8, 100, 24);
  Grid->SetOptions(Grid->Options() + rixdgCancelOnExit);
  ShowShop();
  Shop->Last();
  Press(VK_INSERT);
  ASSERT_EQ(Shop->State(), dsInsert);
  other->SetFocus();
  EXPECT_EQ(Shop->State(), dsBrowse);
  EXPECT_EQ(Shop->RecordCount(), 3);
  Grid->SetFocus();
  Press(VK_INSERT);
  Grid->SetSelectedIndex(0);
  Host->Type("new");
  other->SetFocus();
  EXPECT_EQ(Shop->State(), dsInsert);
  EXPECT_EQ(Shop->FieldByName("Name")->AsString(), "new");
}

TEST_F(EditFixture, TheLookupListWritesTheKeyFieldAndTheColumnLookupTheKeyAsText) {
  ShowShop();
  Col(3)->SetListSource(CitySource);
  Col(3)->SetKeyField("CityID");
  Col(3)->SetListField("City");
  TRixDBGridInplaceEdit* editor = Edit(1);
  editor->DropDown();
  ASSERT_TRUE(editor->ListVisible());
  ASSERT_EQ(editor->DataList()->Items()->Count(), 3);
  EXPECT_EQ(editor->DataList()->ItemIndex(), 0) << "the current key is selected";
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(editor->ListVisible());
  EXPECT_EQ(Shop->FieldByName("CityID")->AsInteger(), 3);
  EXPECT_EQ(Shop->FieldByName("CityName")->AsString(), "札幌");
  EXPECT_EQ(editor->DataList()->ListSource(), nullptr) << "detached when closed";

  Press(VK_TAB);
  Press(VK_TAB);
  ASSERT_EQ(Grid->SelectedIndex(), 3);
  Press(VK_F2);
  editor->DropDown();
  EXPECT_EQ(editor->DataList()->ItemIndex(), 0) << "Code 1 is the first city";
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(Shop->FieldByName("Code")->AsString(), "2");
}

TEST_F(EditFixture, DropDownWidthSetsTheLookupListsWidthOnly) {
  ShowShop();
  TRixDBGridInplaceEdit* editor = Edit(1);
  editor->DropDown();
  EXPECT_EQ(editor->DataList()->Width(), editor->Width()) << "DropDownWidth 0";
  editor->CloseUp(false);
  Col(1)->SetDropDownWidth(250);
  editor->DropDown();
  EXPECT_EQ(editor->DataList()->Width(), 250);
  editor->CloseUp(false);
  PickList(Col(3));
  Col(3)->SetDropDownWidth(250);
  Press(VK_TAB);
  Press(VK_TAB);
  Press(VK_F2);
  editor->DropDown();
  EXPECT_NE(editor->PickList()->Width(), 250);
  EXPECT_EQ(editor->PickList()->Items()->Count(), 2);
}

TEST_F(EditFixture, TheTypedTextGoesThroughTheFieldsOnSetText) {
  ShowShop();
  Shop->FieldByName("Name")->SetOnSetText([](TField* F, const std::string& Text) { F->SetAsString("<" + Text + ">"); });
  Edit(0);
  Grid->InplaceEditor()->SelectAll();
  Host->Type("x");
  Press(VK_RETURN);
  EXPECT_EQ(Shop->FieldByName("Name")->AsString(), "<x>");
}

// Without the fix the editor stayed over the text cell it left, took the
// typed keys and wrote them into the Boolean field.
TEST_F(EditFixture, AlwaysShowEditorHidesTheEditorOnACheckBoxCell) {
  Grid->SetOptions(Grid->Options() + rixdgAlwaysShowEditor);
  ShowShop();
  Col(4)->SetButtonStyle(cbsCheck);
  Shop->First();
  Grid->SetSelectedIndex(3);
  ASSERT_TRUE(Grid->InplaceEditor() != nullptr && Grid->InplaceEditor()->Visible());
  Press(VK_TAB);
  ASSERT_EQ(Grid->SelectedIndex(), 4);
  EXPECT_FALSE(Grid->InplaceEditor()->Visible());
  Host->Type("1");
  Press(VK_TAB);
  EXPECT_FALSE(Shop->FieldByName("Open")->AsBoolean());
  EXPECT_EQ(Shop->FieldByName("Code")->AsString(), "1");
}

TEST_F(EditFixture, TheEditButtonCallsOnlyTheHandlerAndNothingWithoutColumns) {
  ShowShop();
  int calls = 0;
  Grid->SetOnEditButtonClick([&](TObject* Sender) {
    ++calls;
    EXPECT_EQ(Sender, Grid);
  });
  Col(0)->SetButtonStyle(cbsEllipsis);
  Edit(0);
  Press(VK_RETURN, {ssCtrl});
  EXPECT_EQ(calls, 1);
  Grid->SetOnEditButtonClick(nullptr);
  const int before = Grid->ComponentCount();
  Grid->EditButtonClick();
  EXPECT_EQ(Grid->ComponentCount(), before) << "no popup for a text column";
}

// ---- Input methods -------------------------------------------------------------------

TEST_F(EditFixture, AJapaneseSystemSwitchesToTheColumnsInputMethodAndBack) {
  TSysLocaleOverride japanese(LANG_JAPANESE);
  Grid->TWinControl::SetImeMode(imClose);
  Grid->TWinControl::SetImeName("grid-ime");
  ShowShop();
  Grid->RecreateWnd();
  Col(0)->SetImeMode(imHira);
  Col(0)->SetImeName("kana-ime");
  Shop->First();
  Grid->SetSelectedIndex(1);
  Press(VK_LEFT);
  EXPECT_EQ(GetImeModeOf(Grid->WindowHandle()), imHira);
  EXPECT_EQ(ActiveImeName(), "kana-ime");
  TRixDBGridInplaceEdit* editor = Edit(0);
  EXPECT_EQ(editor->ImeMode(), imHira) << "the editor takes the column's";
  Press(VK_ESCAPE);
  Press(VK_RIGHT);
  EXPECT_EQ(GetImeModeOf(Grid->WindowHandle()), imClose);
  EXPECT_EQ(ActiveImeName(), "grid-ime");
}

} // namespace

// ---- The popup editor ----------------------------------------------------------------

namespace {

class PopupEditor : public KeyFixture {
protected:
  void SetUp() override {
    KeyFixture::SetUp();
    Master = new TMemoryDataSet(Form);
    Master->FieldDefs()->Add("Name", ftString, 20);
    TFieldDef* orders = Master->FieldDefs()->Add("Orders", ftDataSet);
    orders->ChildDefs()->Add("Item", ftString, 20);
    orders->ChildDefs()->Add("Qty", ftInteger);
    Master->FieldDefs()->Add("City", ftString, 20);
    Master->CreateDataSet();
    Master->Append();
    Master->FieldByName("Name")->SetAsString("Aoi");
    Master->Post();
    Master->First();
  }
  TDataSet* Nested() { return static_cast<TDataSetField*>(Master->FieldByName("Orders"))->NestedDataSet(); }
  // The popup grids the grid owns.
  std::vector<TRixCustomDBGrid*> Popups() {
    std::vector<TRixCustomDBGrid*> out;
    for (int i = 0; i < Grid->ComponentCount(); ++i)
      if (auto* g = dynamic_cast<TRixCustomDBGrid*>(Grid->Components(i))) out.push_back(g);
    return out;
  }
  TMemoryDataSet* Master = nullptr;
};

// The ellipsis of the nested-dataset column opens a floating grid at the
// cell's bottom-right corner, a quarter of the screen high; a second press
// focuses it instead of opening another.
TEST_F(PopupEditor, TheEllipsisOpensOneFloatingGridAndThenFocusesIt) {
  Show(Master);
  Grid->SetSelectedIndex(1);
  ASSERT_EQ(Grid->SelectedField()->FieldName(), "Orders");
  Press(VK_F2);
  ASSERT_NE(Grid->RixInplaceEditor(), nullptr);
  EXPECT_EQ(Grid->RixInplaceEditor()->EditStyle(), esEllipsis);
  Press(VK_RETURN, {ssCtrl});
  ASSERT_EQ(Popups().size(), 1u);
  TRixCustomDBGrid* sub = Popups()[0];
  auto* window = dynamic_cast<TCustomDockForm*>(sub->Parent());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(sub->DataSource()->DataSet(), Nested());
  EXPECT_EQ(sub->DragKind(), dkDock);
  EXPECT_EQ(window->Height(), Screen().Height / 4);
  const TRect cell = Grid->CellRect(Grid->Col(), Grid->Row());
  const TPoint corner = Grid->ClientToScreen({cell.Right, cell.Bottom});
  EXPECT_EQ(window->Left(), corner.X);
  EXPECT_EQ(window->Top(), corner.Y);
  Host->Paint();
  EXPECT_NE(Host->PainterOf(window), nullptr) << "the host paints the second window";

  Grid->SetFocus();
  Press(VK_F2);
  Press(VK_RETURN, {ssCtrl});
  EXPECT_EQ(Popups().size(), 1u);
  EXPECT_EQ(GetFocus(), sub->WindowHandle());
  // Gaining the focus again keeps it; only a change of the link frees it.
  Grid->SetOptions(Grid->Options() + rixdgRowSelect);
  Grid->SetRowsPerRecord(2);
  Grid->SetFocus();
  EXPECT_EQ(Popups().size(), 1u);
  Source->SetEnabled(false);
  EXPECT_TRUE(Popups().empty());
}

} // namespace
