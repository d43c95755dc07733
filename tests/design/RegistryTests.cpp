// The registrations the package makes, how editors are found, and the
// editors the object inspector gets for each kind of property.
#include "DesignTestSupport.h"

namespace {

using designtest::TDesignTest;

TEST(Registration, RegisterAllMakesThePackagesRegistrationsOnce) {
  TDesignRegistry r;
  RegisterAll(r);
  RegisterAll(r);
  ASSERT_EQ(r.Palette().size(), 1u);
  EXPECT_EQ(r.Palette()[0].Page, "Data Controls");
  EXPECT_EQ(r.Palette()[0].ClassName, "TRixDBGrid");
  EXPECT_EQ(r.PropertyEditors().size(), 5u);
  EXPECT_EQ(r.ComponentEditors().size(), 1u);
  EXPECT_EQ(r.Categories().size(), 26u);

  std::unique_ptr<TComponent> made(r.Palette()[0].Create(nullptr));
  EXPECT_NE(dynamic_cast<TRixDBGrid*>(made.get()), nullptr);
  const rix::TPackageBitmap& icon = RixDBGridPaletteBitmap();
  EXPECT_STREQ(icon.Name, "TRIXDBGRID");
  EXPECT_EQ(icon.Width(), 24);
  EXPECT_EQ(icon.Height(), 24);
  EXPECT_EQ(icon.BitsPerPixel, 4);
  for (const std::string& row : icon.Rows) EXPECT_EQ(row.size(), 24u);
}

TEST(Registration, TheCategoryRowsInTheirOrder) {
  TDesignRegistry r;
  RegisterAll(r);
  const char* const expected[][3] = {
      {"表示", "TRixCustomDBGrid", "AlternatingRecordColor"},
      {"表示", "TRixCustomDBGrid", "AlternatingRecordColorChange"},
      {"データベース", "TRixCustomDBGrid", "Columns"},
      {"レイアウト", "TRixCustomDBGrid", "FixedCols"},
      {"レイアウト", "TRixCustomDBGrid", "RowsPerRecord"},
      {"表示", "TRixCustomDBGrid", "FixedCols"},
      {"表示", "TRixCustomDBGrid", "FocusedRecordColor"},
      {"表示", "TRixCustomDBGrid", "FocusedRecordColorChange"},
      {"表示", "TRixCustomDBGrid", "FocusRecordColorChange"},
      {"表示", "TRixCustomDBGrid", "RowsPerRecord"},
      {"旧式", "TRixCustomDBGrid", "BiLineColor"},
      {"旧式", "TRixCustomDBGrid", "FocusRecordColor"},
      {"旧式", "TRixCustomDBGrid", "FocusRecordColorChange"},
      {"データベース", "TRixColumn", "FieldName"},
      {"データベース", "TRixColumn", "KeyField"},
      {"データベース", "TRixColumn", "ListField"},
      {"データベース", "TRixColumn", "OrderState"},
      {"レイアウト", "TRixColumn", "BindColumn"},
      {"ローカライズ対象", "TRixColumn", "PickList"},
      {"ローカライズ対象", "TRixColumn", "Title"},
      {"表示", "TRixColumn", "AlignmentV"},
      {"表示", "TRixColumn", "Margin"},
      {"表示", "TRixColumn", "Layout"},
      {"表示", "TRixColumn", "NumGlyphs"},
      {"表示", "TRixColumn", "ShowImages"},
      {"旧式", "TRixColumn", "ShowMemoText"},
  };
  ASSERT_EQ(r.Categories().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const TPropertyCategoryEntry& e = r.Categories()[i];
    EXPECT_EQ(e.Category, expected[i][0]) << "row " << i + 1;
    EXPECT_EQ(e.ComponentClass.Name, expected[i][1]) << "row " << i + 1;
    EXPECT_EQ(e.PropertyName, expected[i][2]) << "row " << i + 1;
  }
}

class Categories : public TDesignTest {};

TEST_F(Categories, APropertyMaySitInTwoCategoriesAndEveryRowNamesAPublishedProperty) {
  TRixColumn* column = Grid->Columns()->Add();
  using Names = std::vector<std::string>;
  EXPECT_EQ(DesignRegistry().CategoriesOf(Grid, "FixedCols"), (Names{"レイアウト", "表示"}));
  EXPECT_EQ(DesignRegistry().CategoriesOf(Grid, "FocusRecordColorChange"), (Names{"表示", "旧式"}));
  EXPECT_EQ(DesignRegistry().CategoriesOf(column, "ShowMemoText"), (Names{"旧式"}));
  EXPECT_EQ(DesignRegistry().CategoriesOf(column, "FixedCols"), Names{}) << "a grid row is not a column's";
  for (const TPropertyCategoryEntry& e : DesignRegistry().Categories()) {
    TPersistent* instance = e.ComponentClass.Name == "TRixColumn" ? static_cast<TPersistent*>(column) : Grid;
    EXPECT_TRUE(IsPublishedProp(instance, e.PropertyName)) << e.PropertyName;
  }
}

// Editors that differ only by name.
template <const char* Name>
class TNamedEditor : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  static constexpr const char* StaticClassName() { return Name; }
  const char* ClassName() const override { return Name; }
};
constexpr char EditorA[] = "TEditorA", EditorB[] = "TEditorB", EditorAny[] = "TEditorAny";
using TEditorA = TNamedEditor<EditorA>;
using TEditorB = TNamedEditor<EditorB>;
using TEditorAny = TNamedEditor<EditorAny>;

class Lookup : public TDesignTest {
protected:
  std::string EditorOf(const TDesignRegistry& R, TPersistent* Instance, const std::string& Prop) {
    return PropertyEditorClassName(Instance, GetPropInfo(Instance, Prop), R);
  }
};

TEST_F(Lookup, TheNamedPropertyBeatsTheTypeAndTheLastRegistrationWins) {
  TRixColumn* column = Grid->Columns()->Add();
  TDesignRegistry r;
  const TClassRef columns = TClassRef::Of<TRixColumn>();
  r.RegisterPropertyEditor<TEditorA>(StringTypeInfo(), columns, "FieldName");
  r.RegisterPropertyEditor<TEditorB>(StringTypeInfo(), columns, "fieldname");
  // Registered last, but for every string of every class.
  r.RegisterPropertyEditor<TEditorAny>(StringTypeInfo(), TClassRef(), "");
  EXPECT_EQ(r.PropertyEditors().size(), 2u) << "the same key replaces";
  EXPECT_EQ(EditorOf(r, column, "FieldName"), "TEditorB");
  EXPECT_EQ(EditorOf(r, column, "ButtonCaption"), "TEditorAny");
  EXPECT_EQ(EditorOf(r, Grid, "ImeName"), "TEditorAny");
  r.RegisterPropertyEditor<TEditorA>(StringTypeInfo(), TClassRef(), "ImeName");
  EXPECT_EQ(EditorOf(r, Grid, "ImeName"), "TEditorA");
  EXPECT_EQ(EditorOf(r, Grid, "Options"), "TSetProperty") << "other types keep their kind's editor";

  // A grid's string is not a column's.
  r.RegisterPropertyEditor<TEditorB>(StringTypeInfo(), columns, "ImeName");
  EXPECT_EQ(EditorOf(r, Grid, "ImeName"), "TEditorA");
  EXPECT_EQ(EditorOf(r, column, "ImeName"), "TEditorB");
}

TEST_F(Lookup, TheLastComponentEditorForAClassWins) {
  TDesignRegistry r;
  RegisterAll(r);
  r.RegisterComponentEditor<TComponentEditor>(TClassRef::Of<TComponent>());
  EXPECT_STREQ(GetComponentEditor(Grid, Designer.get(), r)->ClassName(), "TComponentEditor");
  r.RegisterComponentEditor<TRixDBGridCompEditor>(TClassRef::Of<TRixDBGrid>());
  EXPECT_STREQ(GetComponentEditor(Grid, Designer.get(), r)->ClassName(), "TRixDBGridCompEditor");
  EXPECT_EQ(r.ComponentEditors().size(), 2u);
}

// ---- the editors of each kind ------------------------------------------------------

class Editors : public TDesignTest {};

TEST_F(Editors, EachKindShowsItsValueAsText) {
  TRixColumn* column = Grid->Columns()->Add();
  column->SetAlignment(taCenter);
  const struct {
    TPersistent* Instance;
    const char* Prop;
    const char* Editor;
    std::string Value;
  } cases[] = {
      {Grid, "RowsPerRecord", "TIntegerProperty", "1"},
      {Grid, "AlternatingRecordColor", "TIntegerProperty", "clWindow"},
      {Grid, "BorderStyle", "TEnumProperty", "bsSingle"},
      {Grid, "DefaultDrawing", "TBoolProperty", "True"},
      {Grid, "Anchors", "TSetProperty", "[akLeft,akTop]"},
      {Grid, "TitleFont", "TClassProperty", "(TFont)"},
      {Grid, "Columns", "TRixDBGridColumnsProperty", "(TRixDBGridColumns)"},
      {Grid, "DataSource", "TComponentProperty", ""},
      {Grid, "OnTitleClick", "TMethodProperty", ""},
      {column, "Alignment", "TEnumProperty", "taCenter"},
      {column, "Title", "TClassProperty", "(TRixColumnTitle)"},
      {column, "PickList", "TClassProperty", "(TStrings)"},
      {column, "FieldName", "TColumnDataFieldProperty", ""},
      {column, "KeyField", "TColumnListFieldProperty", ""},
      {column, "ListField", "TColumnListFieldProperty", ""},
      {column, "EditMask", "TMaskProperty", ""},
      {column, "ButtonCaption", "TStringProperty", ""},
  };
  for (const auto& c : cases) {
    auto editor = EditorFor(c.Instance, c.Prop);
    EXPECT_STREQ(editor->ClassName(), c.Editor) << c.Prop;
    EXPECT_EQ(editor->GetValue(), c.Value) << c.Prop;
  }
  EXPECT_EQ(EditorFor(Grid, "DefaultDrawing")->ValueList(), (std::vector<std::string>{"False", "True"}));
  EXPECT_EQ(EditorFor(column, "Alignment")->ValueList(),
            (std::vector<std::string>{"taCenter", "taLeftJustify", "taRightJustify"}));
}

TEST_F(Editors, TypedTextGoesInOrIsRefusedWithoutAChange) {
  TDataSource* source = BindPeople();
  struct TCase {
    const char* Prop;
    std::string Typed, Reads;
  };
  for (const TCase& c : {TCase{"AlternatingRecordColor", "clYellow", "clYellow"},
                         TCase{"AlternatingRecordColor", "255", "clRed"}, TCase{"FixedCols", " 0 ", "0"},
                         TCase{"BorderStyle", "bsnone", "bsNone"}, TCase{"DefaultDrawing", "False", "False"},
                         TCase{"Anchors", "[akRight, akBottom]", "[akRight,akBottom]"}, TCase{"Anchors", "[]", "[]"},
                         TCase{"DataSource", "", ""}, TCase{"DataSource", "PeopleSource", "PeopleSource"}}) {
    auto editor = EditorFor(Grid, c.Prop);
    editor->SetValue(c.Typed);
    EXPECT_EQ(editor->GetValue(), c.Reads) << c.Prop << " = " << c.Typed;
  }
  EXPECT_EQ(Grid->GetDataSource(), source);
  const int modified = Designer->ModifiedCount();

  for (const TCase& c : {TCase{"FixedCols", "abc", "0"}, TCase{"FixedCols", "", "0"},
                         TCase{"FixedCols", "99999999999", "0"}, TCase{"BorderStyle", "bsThick", "bsNone"},
                         TCase{"Anchors", "[akLeft,akNowhere]", "[]"},
                         TCase{"Anchors", "akLeft", "[]"},
                         TCase{"DataSource", "NoSuchSource", "PeopleSource"}}) {
    auto editor = EditorFor(Grid, c.Prop);
    EXPECT_THROW(editor->SetValue(c.Typed), EPropertyError) << c.Prop << " = " << c.Typed;
    EXPECT_EQ(editor->GetValue(), c.Reads) << c.Prop << " = " << c.Typed;
  }
  EXPECT_THROW(EditorFor(Grid, "TitleFont")->SetValue("x"), EPropertyError);
  EXPECT_THROW(EditorFor(Grid, "OnTitleClick")->SetValue("Handler"), EPropertyError);
  EXPECT_EQ(Designer->ModifiedCount(), modified) << "refused values report no change";
}

TEST_F(Editors, AValueOneSelectedGridRefusesLeavesTheOthersAsTheyWere) {
  for (int i = 0; i < 3; ++i) Grid->Columns()->Add();
  auto* narrow = new TRixDBGrid(Form.get());
  narrow->Columns()->Add();
  auto editor = GetPropertyEditor(Designer.get(), {Grid, narrow}, GetPropInfo(Grid, "RowsPerRecord"));
  EXPECT_THROW(editor->SetValue("2"), EInvalidGridOperation);
  EXPECT_EQ(Grid->RowsPerRecord(), 1);
  EXPECT_EQ(narrow->RowsPerRecord(), 1);
  EXPECT_EQ(Designer->ModifiedCount(), 0);
}

TEST_F(Editors, SeveralSelectedGridsShareOnlyTheirMultiSelectEditors) {
  auto* other = new TRixDBGrid(Form.get());
  std::vector<std::string> one, both;
  GetComponentProperties({Grid}, tkAny(), Designer.get(), [&](TPropertyEditor& P) { one.push_back(P.GetName()); });
  GetComponentProperties({Grid, other}, tkAny(), Designer.get(),
                         [&](TPropertyEditor& P) { both.push_back(P.GetName()); });
  auto has = [](const std::vector<std::string>& V, const std::string& S) {
    return std::find(V.begin(), V.end(), S) != V.end();
  };
  EXPECT_EQ(one.size(), GetPropList(Grid).size());
  EXPECT_TRUE(has(one, "Columns"));
  EXPECT_FALSE(has(both, "Columns")) << "one columns editor edits one grid";
  EXPECT_TRUE(has(both, "RowsPerRecord"));

  // A column and a grid share no declaration, even where the names agree.
  std::vector<std::string> mixed;
  GetComponentProperties({Grid, Grid->Columns()->Add()}, tkAny(), Designer.get(),
                         [&](TPropertyEditor& P) { mixed.push_back(P.GetName()); });
  EXPECT_TRUE(mixed.empty());

  std::vector<std::string> strings;
  TTypeKinds onlyStrings{tkLString};
  GetComponentProperties({Grid}, onlyStrings, Designer.get(), [&](TPropertyEditor& P) { strings.push_back(P.GetName()); });
  EXPECT_EQ(strings, (std::vector<std::string>{"Name", "ImeName"}));
}

} // namespace
