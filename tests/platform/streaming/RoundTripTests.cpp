#include "TestClasses.h"

#include <gtest/gtest.h>

using namespace stt;

namespace {

std::string SaveRoot(TComponent* Root) {
  TMemoryStream s;
  WriteComponent(s, Root);
  return s.DataString();
}

std::string SaveColumns(TColumnsLike& Columns) {
  TRixColumnsWrapper w(nullptr);
  w.SetColumns(&Columns);
  return SaveRoot(&w);
}

void LoadColumns(const std::string& Bytes, TColumnsLike& Into) {
  TRixColumnsWrapper w(nullptr);
  w.SetColumns(&Into);
  TMemoryStream s(Bytes);
  ReadComponent(s, &w);
}

class StreamRoundTrip : public testing::Test {
protected:
  void SetUp() override {
    RegisterTestColors();
    rix::RegisterClass<TMenuLike>();
    rix::RegisterClass<TFormLike>();
    Form1.SetName("Form1");
    Menu1->SetName("Menu1");
    RegisterFindGlobalComponent([this](const std::string& N) -> TComponent* {
      return SameText(N, "Form1") ? &Form1 : nullptr;
    });
  }
  void TearDown() override { RegisterFindGlobalComponent(nullptr); }

  // A column with every kind of property set away from its default.
  void Fill(TColumnLike* C) {
    C->SetAlignment(taCenter);
    C->SetColor(clRed);
    C->SetDropDownWidth(120);
    C->SetFieldName("Company");
    C->Glyph()->Bytes = std::string("\x00\x01\xFFglyph", 8);
    C->PickList()->Add("有効");
    C->PickList()->Add("It's");
    C->SetPopupMenu(Menu1);
    C->Title()->SetCaption("会社名");
    C->Title()->SetAlignment(taRightJustify);
    C->Title()->FontAssigned = true;
    C->Title()->Font()->SetColor(0x123456);
    C->Title()->Font()->SetHeight(-12);
    C->Title()->Font()->SetName("ＭＳ ゴシック");
    C->Title()->Font()->SetStyle({fsBold, fsUnderline});
    C->SetVisible(false);
    C->SetWidth(70000);
  }

  TFormLike Form1{nullptr};
  TMenuLike* Menu1 = new TMenuLike(&Form1);
};

TEST_F(StreamRoundTrip, EveryPropertyKindSurvivesBinaryAndText) {
  TColumnsLike cols;
  Fill(cols.AddColumn());
  cols.AddColumn()->SetFieldName(std::string(300, 'x'));
  const std::string bytes = SaveColumns(cols);

  TColumnsLike back;
  LoadColumns(bytes, back);
  ASSERT_EQ(back.Count(), 2);
  TColumnLike* c = back.Column(0);
  EXPECT_EQ(c->Alignment(), taCenter);
  EXPECT_EQ(c->Color(), clRed);
  EXPECT_EQ(c->DropDownWidth(), 120u);
  EXPECT_EQ(c->Glyph()->Bytes, std::string("\x00\x01\xFFglyph", 8));
  EXPECT_EQ(c->PickList()->Text(), "有効\nIt's\n");
  EXPECT_EQ(c->PopupMenu(), Menu1);
  EXPECT_EQ(c->Title()->Font()->Name(), "ＭＳ ゴシック");
  EXPECT_EQ(c->Title()->Font()->Style(), (TStyles{fsBold, fsUnderline}));
  EXPECT_FALSE(c->Visible());
  EXPECT_EQ(c->Width(), 70000);
  EXPECT_EQ(back.Column(1)->FieldName(), std::string(300, 'x'));
  back.Column(0)->Title()->FontAssigned = true;
  EXPECT_EQ(SaveColumns(back), bytes);

  const std::string text = rix::BinaryToText(bytes);
  EXPECT_NE(text.find("Color = clRed"), std::string::npos);
  EXPECT_NE(text.find("PopupMenu = Form1.Menu1"), std::string::npos);
  EXPECT_NE(text.find("Title.Font.Style = [fsBold, fsUnderline]"), std::string::npos);
  EXPECT_NE(text.find("Title.Caption = '会社名'"), std::string::npos);
  EXPECT_NE(text.find("'It''s'"), std::string::npos);
  EXPECT_NE(text.find("Glyph.Data = {"), std::string::npos);
  EXPECT_EQ(rix::TextToBinary(text), bytes);
}

TEST_F(StreamRoundTrip, ColourWithoutANameIsAnInteger) {
  TColumnsLike cols;
  cols.AddColumn()->SetColor(0x00ABCDEF);
  const std::string text = rix::BinaryToText(SaveColumns(cols));
  EXPECT_NE(text.find("Color = 11259375"), std::string::npos) << text;
}

TEST_F(StreamRoundTrip, RootWithChildrenReferencesAndEvents) {
  TFormLike src(nullptr);
  src.SetName("MainForm");
  auto* menu = new TMenuLike(&src);
  menu->SetName("PopupMenu1");
  src.SetMenu(menu);
  src.SetCount(5);
  src.Extra = "defined";
  TColumnLike* col = src.Columns.AddColumn();
  col->SetPopupMenu(menu);
  col->SetOnClick("ColumnClick", nullptr);
  const std::string bytes = SaveRoot(&src);
  const std::string text = rix::BinaryToText(bytes);
  EXPECT_NE(text.find("object MainForm: TFormLike"), std::string::npos) << text;
  EXPECT_NE(text.find("Menu = PopupMenu1"), std::string::npos);
  EXPECT_NE(text.find("OnClick = ColumnClick"), std::string::npos);
  EXPECT_NE(text.find("  object PopupMenu1: TMenuLike"), std::string::npos);
  EXPECT_EQ(rix::TextToBinary(text), bytes);

  TMemoryStream in(bytes);
  std::unique_ptr<TComponent> made(ReadComponent(in, nullptr));
  auto* back = dynamic_cast<TFormLike*>(made.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Name(), "MainForm");
  ASSERT_NE(back->Menu(), nullptr);
  EXPECT_EQ(back->Menu()->Name(), "PopupMenu1");
  EXPECT_EQ(back->Menu()->Owner(), back);
  EXPECT_EQ(back->Columns.Column(0)->PopupMenu(), back->Menu());
  EXPECT_EQ(back->Extra, "defined");
  ASSERT_TRUE(static_cast<bool>(back->Columns.Column(0)->OnClick()));
  back->Columns.Column(0)->OnClick()(nullptr);
  EXPECT_EQ(back->Clicks, 1);
  EXPECT_EQ(SaveRoot(back), bytes);
}

TEST_F(StreamRoundTrip, LoadingStatesAndLoaded) {
  TFormLike src(nullptr);
  src.SetCount(3);
  const std::string bytes = SaveRoot(&src);
  TFormLike dst(nullptr);
  TMemoryStream in(bytes);
  ReadComponent(in, &dst);
  EXPECT_TRUE(dst.LoadingWhileSet);
  EXPECT_TRUE(dst.ReadingWhileSet);
  EXPECT_EQ(dst.LoadedCalls, 1);
  EXPECT_TRUE(dst.LoadingInLoaded);
  EXPECT_FALSE(dst.ComponentState().Contains(csLoading));
  EXPECT_FALSE(dst.ComponentState().Contains(csReading));
}

TEST_F(StreamRoundTrip, DescendantWritesOnlyWhatDiffersFromTheAncestor) {
  TFormLike ancestor(nullptr), child(nullptr);
  for (TFormLike* f : {&ancestor, &child}) {
    f->SetCount(2);
    f->Extra = "same";
    f->Columns.AddColumn()->SetFieldName("A");
  }
  TMemoryStream s;
  WriteDescendent(s, &child, &ancestor);
  std::string text = rix::BinaryToText(s.DataString());
  EXPECT_EQ(text, "object TFormLike\nend\n");
  EXPECT_TRUE(CollectionsEqual(&child.Columns, &ancestor.Columns));

  child.Columns.Column(0)->SetWidth(10);
  child.Extra = "other";
  EXPECT_FALSE(CollectionsEqual(&child.Columns, &ancestor.Columns));
  TMemoryStream s2;
  WriteDescendent(s2, &child, &ancestor);
  text = rix::BinaryToText(s2.DataString());
  EXPECT_NE(text.find("Columns = <"), std::string::npos);
  EXPECT_NE(text.find("Extra = 'other'"), std::string::npos);
  EXPECT_EQ(text.find("Count"), std::string::npos);
}

TEST_F(StreamRoundTrip, UnresolvedReferenceStaysNil) {
  TColumnsLike cols;
  cols.AddColumn()->SetPopupMenu(Menu1);
  std::string text = rix::BinaryToText(SaveColumns(cols));
  text.replace(text.find("Form1.Menu1"), 11, "Form9.Menu1");
  TColumnsLike back;
  LoadColumns(rix::TextToBinary(text), back);
  EXPECT_EQ(back.Column(0)->PopupMenu(), nullptr);
}

TEST_F(StreamRoundTrip, RegistryAnswersByName) {
  TColumnsLike cols;
  TColumnLike* col = cols.AddColumn();
  const TPropInfo* title = GetPropInfo(col, "title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Kind(), 7);  // tkClass
  EXPECT_EQ(GetObjectProp(col, "Title"), col->Title());
  SetEnumProp(col, "Alignment", "taRightJustify");
  EXPECT_EQ(GetEnumProp(col, "Alignment"), "taRightJustify");
  EXPECT_THROW(SetEnumProp(col, "Alignment", "taNowhere"), EPropertyError);
  EXPECT_THROW(GetOrdProp(col, "NoSuch"), EPropertyError);
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(col)) names.push_back(p->Name);
  EXPECT_EQ(names.front(), "Alignment");
  EXPECT_EQ(names.back(), "OnClick");
  TRixColumnsWrapper w(nullptr);
  names.clear();
  for (const TPropInfo* p : GetPropList(&w)) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Columns"}));
}

} // namespace
