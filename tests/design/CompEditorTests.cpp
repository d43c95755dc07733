// The grid's component editor: its verbs, the About box, the columns editor
// reached through EditProperty, and reading object properties by name.
#include "DesignTestSupport.h"

namespace {

using designtest::TDesignTest;

class CompEditor : public TDesignTest {
protected:
  std::unique_ptr<TComponentEditor> Editor() { return GetComponentEditor(Grid, Designer.get()); }
  // Nothing reached the user, the designer or the columns editor.
  void ExpectNothingHappened() {
    EXPECT_TRUE(DialogService().Requests().empty());
    EXPECT_TRUE(Designer->Calls().empty());
    EXPECT_TRUE(Opened.empty());
  }
};

TEST_F(CompEditor, TheGridGetsItsOwnEditorWithTwoVerbs) {
  auto editor = Editor();
  EXPECT_STREQ(editor->ClassName(), "TRixDBGridCompEditor");
  ASSERT_EQ(editor->GetVerbCount(), 2);
  const std::pair<int, std::string> verbs[] = {
      {0, "バージョン情報(&A)"}, {1, "カラム設定(&C)..."}, {2, ""}, {-1, ""}, {1000, ""}};
  for (const auto& [index, caption] : verbs) EXPECT_EQ(editor->GetVerb(index), caption) << index;
}

TEST_F(CompEditor, VerbsOutOfRangeDoNothing) {
  auto editor = Editor();
  for (int index : {2, 3, -1}) editor->ExecuteVerb(index);
  ExpectNothingHappened();
}

TEST_F(CompEditor, TheAboutVerbAndADoubleClickShowTheVersionBox) {
  auto editor = Editor();
  editor->ExecuteVerb(0);
  editor->Edit();
  const auto& requests = DialogService().Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const TDialogRequest& r : requests) {
    EXPECT_EQ(r.Kind, TDialogKind::MessageBox);
    EXPECT_EQ(r.Caption, "ｺﾝﾎﾟｰﾈﾝﾄ ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(r.Flags, 64u);
    EXPECT_EQ(r.Text.substr(0, r.Text.find('\r')), "RixDBGrid Ver.3.2.11");
    EXPECT_EQ(r.Text.find('\n'), std::string::npos) << "lines are separated by carriage returns";
  }
  EXPECT_TRUE(Opened.empty());
}

TEST_F(CompEditor, TheColumnsVerbOpensTheColumnsEditorOnThisGrid) {
  Editor()->ExecuteVerb(1);
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0].Grid, Grid);
  EXPECT_EQ(Opened[0].Designer, Designer.get());
  EXPECT_EQ(Opened[0].Caption, "Columns");
  EXPECT_TRUE(DialogService().Requests().empty());
}

TEST_F(CompEditor, AComponentWithoutARegisteredEditorHasNoVerbs) {
  auto* plain = new TComponent(Form.get());
  auto editor = GetComponentEditor(plain, Designer.get());
  EXPECT_STREQ(editor->ClassName(), "TComponentEditor");
  EXPECT_EQ(editor->GetVerbCount(), 0);
  editor->Edit();
  ExpectNothingHappened();
}

class EditPropertyByName : public CompEditor, public testing::WithParamInterface<std::pair<std::string, bool>> {};

TEST_P(EditPropertyByName, OpensTheNamedPropertyInAnyLetterCaseAndNothingElse) {
  const auto& [name, opens] = GetParam();
  EditProperty(Designer.get(), Grid, name);
  EXPECT_EQ(Opened.size(), opens ? 1u : 0u) << name;
  if (opens) {
    EXPECT_EQ(Opened[0].Caption, "Columns");
  }
  EXPECT_TRUE(DialogService().Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Names, EditPropertyByName,
                         testing::Values(std::pair<std::string, bool>{"Columns", true}, std::pair{"columns", true},
                                         std::pair{"COLUMNS", true}, std::pair{"cOLUMNs", true},
                                         std::pair{"Column", false}, std::pair{"Columns ", false},
                                         std::pair{"", false}, std::pair{"NoSuchProperty", false},
                                         std::pair{"RowsPerRecord", false}));

TEST_F(CompEditor, TheColumnsPropertyShowsItsClassAndRefusesAnObjectOutsideAGrid) {
  auto editor = EditorFor(Grid, "Columns");
  EXPECT_STREQ(editor->ClassName(), "TRixDBGridColumnsProperty");
  EXPECT_EQ(editor->GetValue(), "(TRixDBGridColumns)");
  EXPECT_EQ(editor->GetAttributes(), (TPropertyAttributes{paDialog, paReadOnly}));

  // The same property editor on objects that belong to no grid.
  auto* other = new TComponent(Form.get());
  TRixDBGridColumnsProperty onComponent(Designer.get(), {other}, GetPropInfo(Grid, "Columns"));
  try {
    onComponent.Edit();
    FAIL() << "a component that is not a grid was accepted";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "Owner rixdbgrid not found.");
  }
  TStringList loose;
  TRixDBGridColumnsProperty onLoose(Designer.get(), {&loose}, GetPropInfo(Grid, "Columns"));
  try {
    onLoose.Edit();
    FAIL() << "an object without an owner was accepted";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "Owner component not found.");
  }
  EXPECT_TRUE(Opened.empty());
}

TEST_F(CompEditor, GetPropertyValueReadsOnlyObjectProperties) {
  TDataSource* source = BindPeople();
  TRixColumn* column = Grid->Columns()->Add();
  const struct {
    TPersistent* Instance;
    const char* Name;
    TPersistent* Expected;
  } cases[] = {
      {Grid, "DataSource", source},
      {Grid, "datasource", source},
      {Grid, "Columns", Grid->Columns()},
      {Grid, "RowsPerRecord", nullptr},  // an integer
      {Grid, "OnTitleClick", nullptr},   // an event
      {Grid, "NoSuchProperty", nullptr},
      {column, "Title", column->Title()},
      {column, "ListSource", nullptr},   // not set
      {column, "FieldName", nullptr},    // a string
  };
  for (const auto& c : cases) EXPECT_EQ(GetPropertyValue(c.Instance, c.Name), c.Expected) << c.Name;
}

} // namespace
