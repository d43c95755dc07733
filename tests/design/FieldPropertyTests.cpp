// The editors of the column's string properties: the field-name lists and
// the edit mask with its preview.
#include "DesignTestSupport.h"

namespace {

using designtest::TDesignTest;
using Names = std::vector<std::string>;

class FieldNames : public TDesignTest {
protected:
  Names Offered(TRixColumn* Column, const std::string& Prop) {
    auto editor = EditorFor(Column, Prop);
    EXPECT_TRUE(editor->GetAttributes().Contains(paValueList)) << Prop;
    return editor->ValueList();
  }
};

TEST_F(FieldNames, NothingIsOfferedUntilEverythingOnTheWayIsThere) {
  TRixColumn* column = Grid->Columns()->Add();
  for (const char* prop : {"FieldName", "KeyField", "ListField"})
    EXPECT_EQ(Offered(column, prop), Names{}) << prop << " without a data source";

  auto* empty = new TDataSource(Form.get());
  Grid->SetDataSource(empty);
  column->SetListSource(empty);
  for (const char* prop : {"FieldName", "KeyField", "ListField"})
    EXPECT_EQ(Offered(column, prop), Names{}) << prop << " with a data source without a dataset";
}

TEST_F(FieldNames, TheGridsFieldsForFieldNameAndTheListSourcesForTheLookup) {
  BindPeople();
  TRixColumn* column = Grid->Columns()->Add();
  EXPECT_EQ(Offered(column, "FieldName"), (Names{"Active", "ID", "Name"}));
  // No list source yet: the lookup properties offer nothing, not the grid's fields.
  EXPECT_EQ(Offered(column, "KeyField"), Names{});
  EXPECT_EQ(Offered(column, "ListField"), Names{});

  column->SetListSource(MakeListSource());
  for (const char* prop : {"KeyField", "ListField"})
    EXPECT_EQ(Offered(column, prop), (Names{"Code", "Kind", "Label"})) << prop;
  EXPECT_EQ(Offered(column, "FieldName"), (Names{"Active", "ID", "Name"}));
}

TEST_F(FieldNames, DefaultColumnsOfferTheirGridsFields) {
  BindPeople();
  ASSERT_EQ(Grid->Columns()->State(), csDefault);
  ASSERT_GT(Grid->Columns()->Count(), 0);
  EXPECT_EQ(Offered(Grid->Columns()->Items(0), "FieldName"), (Names{"Active", "ID", "Name"}));
}

TEST_F(FieldNames, AnObjectThatIsNoColumnIsAnInvalidCast) {
  TRixColumn* column = Grid->Columns()->Add();
  TColumnDataFieldProperty onGrid(Designer.get(), {Grid}, GetPropInfo(column, "FieldName"));
  TStringList list;
  EXPECT_THROW(onGrid.GetValueList(&list), EInvalidCast);
}

TEST_F(FieldNames, ChoosingAValueSetsEverySelectedColumnOnce) {
  BindPeople();
  TRixColumn* a = Grid->Columns()->Add();
  TRixColumn* b = Grid->Columns()->Add();
  auto editor = GetPropertyEditor(Designer.get(), {a, b}, GetPropInfo(a, "FieldName"));
  editor->SetValue("Name");
  EXPECT_EQ(a->FieldName(), "Name");
  EXPECT_EQ(b->FieldName(), "Name");
  EXPECT_EQ(Designer->ModifiedCount(), 1);
}

// ---- the edit mask ---------------------------------------------------------------

struct TMaskCase {
  std::string Mask, Input, Preview, Value;
  bool Complete;
};

void PrintTo(const TMaskCase& C, std::ostream* Os) { *Os << "'" << C.Mask << "' typed '" << C.Input << "'"; }

class MaskPreview : public testing::TestWithParam<TMaskCase> {};

TEST_P(MaskPreview, TypingTheTestInputShowsWhatTheEditorWould) {
  const TMaskCase& c = GetParam();
  TInputMaskEditor editor(c.Mask);
  editor.SetTestInput(c.Input);
  EXPECT_EQ(editor.Preview(), c.Preview);
  EXPECT_EQ(editor.TestValue(), c.Value);
  EXPECT_EQ(editor.Complete(), c.Complete);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskPreview,
    testing::Values(TMaskCase{"000-0000;1;_", "1000001", "100-0001", "100-0001", true},
                    TMaskCase{"000-0000;1;_", "100-0001", "100-0001", "100-0001", true},  // literal typed along
                    TMaskCase{"000-0000;1;_", "1a2", "12_-____", "12 -", false},        // a letter is refused
                    TMaskCase{"000-0000;0;_", "1234567", "123-4567", "1234567", true},     // literals not saved
                    TMaskCase{">LL;1;_", "ab", "AB", "AB", true},
                    TMaskCase{"000;1;*", "", "***", "", false},
                    TMaskCase{"", "自由入力", "自由入力", "自由入力", true}));

TEST(MaskEditor, ThePreviewFollowsEveryChange) {
  TInputMaskEditor editor;
  std::vector<std::string> seen;
  editor.SetOnChange([&](TObject*) { seen.push_back(editor.Preview()); });
  editor.SetTestInput("0930");
  editor.SetMask("!90:00;1;_");
  editor.SetMask("!90:00:00;1;_");
  EXPECT_EQ(seen, (Names{"0930", "09:30", "09:30:__"}));
}

TEST(MaskEditor, EverySampleMaskIsFilledByItsSample) {
  ASSERT_FALSE(TInputMaskEditor::SampleMasks().empty());
  for (const TSampleMask& s : TInputMaskEditor::SampleMasks()) {
    TInputMaskEditor editor(s.Mask);
    editor.SetTestInput(s.Sample);
    EXPECT_TRUE(editor.Complete()) << s.Name << ": " << editor.Preview();
  }
}

class MaskProperty : public TDesignTest {};

TEST_F(MaskProperty, TheDialogGetsTheColumnsMaskAndAnAcceptedMaskGoesIn) {
  TRixColumn* column = Grid->Columns()->Add();
  column->SetEditMask("000;1;_");
  auto editor = EditorFor(column, "EditMask");
  EXPECT_TRUE(editor->GetAttributes().Contains(paDialog));

  editor->Edit(); // no dialog installed: nothing
  EXPECT_EQ(column->EditMask(), "000;1;_");

  std::string shown;
  bool accept = false;
  SetMaskDialog([&](TInputMaskEditor& E) {
    shown = E.Mask();
    E.SetMask("0000;1;_");
    return accept;
  });
  editor->Edit();
  EXPECT_EQ(shown, "000;1;_");
  EXPECT_EQ(column->EditMask(), "000;1;_") << "a cancelled dialog changes nothing";
  EXPECT_EQ(Designer->ModifiedCount(), 0);
  accept = true;
  editor->Edit();
  EXPECT_EQ(column->EditMask(), "0000;1;_");
  EXPECT_EQ(Designer->ModifiedCount(), 1);
}

} // namespace
