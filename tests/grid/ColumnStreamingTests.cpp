#include "GridTestSupport.h"

using namespace gridtest;

namespace {

// The grid as the root of a component stream, and the stream as text.
class ColumnStreaming : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    rix::RegisterClass<TRixDBGrid>();
    rix::RegisterClass<TPopupMenu>();
  }
  std::string Written() {
    TMemoryStream s;
    WriteComponent(s, Grid);
    s.SetPosition(0);
    TMemoryStream text;
    ObjectBinaryToText(s, text);
    return std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  }
  // The text of the first column item: from "item" to its "end".
  std::string FirstItem() {
    const std::string all = Written();
    const size_t from = all.find("item");
    if (from == std::string::npos) return {};
    return all.substr(from, all.find("end", from) - from);
  }
};

} // namespace

TEST_F(ColumnStreaming, AFreshColumnWritesOnlyItsUndefaultedProperties) {
  Customize({"Nowhere"});
  const std::string item = FirstItem();
  const size_t ddw = item.find("DropDownWidth = 0"), exp = item.find("Expanded = False"),
               name = item.find("FieldName = 'Nowhere'"), vis = item.find("Visible = True");
  ASSERT_NE(ddw, std::string::npos) << item;
  ASSERT_NE(exp, std::string::npos) << item;
  ASSERT_NE(name, std::string::npos) << item;
  ASSERT_NE(vis, std::string::npos) << item;
  EXPECT_TRUE(ddw < exp && exp < name && name < vis) << item;
  for (const char* absent : {"Title", " Width", "Color", "ButtonState", "TabStop", "Font", "Alignment"})
    EXPECT_EQ(item.find(absent), std::string::npos) << absent << " in " << item;
}

TEST_F(ColumnStreaming, AssignedSettingsAreWrittenInTableOrderAndReadBack) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  c->SetAlignment(taCenter);
  c->SetButtonState(bs3State);
  c->SetColor(clRed);
  c->SetTabStop(false);
  c->Title()->SetCaption("氏名");
  c->Title()->SetColor(clYellow);
  c->Title()->Font()->SetHeight(-20);
  c->SetWidth(150);
  c->SetWordrap(true);
  c->PickList()->Add("甲");
  c->SetMargin(2);
  const std::string item = FirstItem();
  const char* order[] = {"Alignment = taCenter", "ButtonState = bs3State", "Color = clRed", "DropDownWidth",
                         "FieldName", "Margin = 2", "PickList.Strings", "TabStop = False", "Title.Caption",
                         "Title.Color = clYellow", "Title.Font.Height = -20", "Visible", "Width = 150",
                         "Wordrap = True"};
  size_t at = 0;
  for (const char* p : order) {
    const size_t found = item.find(p, at);
    ASSERT_NE(found, std::string::npos) << p << " after " << at << " in " << item;
    at = found;
  }

  TMemoryStream s;
  WriteComponent(s, Grid);
  s.SetPosition(0);
  TForm other(nullptr);
  auto* copy = new TRixDBGrid(&other);
  ReadComponent(s, copy);
  ASSERT_EQ(copy->Columns()->Count(), 1);
  TRixColumn* r = copy->Columns()->Items(0);
  EXPECT_EQ(r->Alignment(), taCenter);
  EXPECT_EQ(r->ButtonState(), bs3State);
  EXPECT_EQ(r->Color(), clRed);
  EXPECT_FALSE(r->TabStop());
  EXPECT_EQ(r->Title()->Caption(), "氏名");
  EXPECT_EQ(r->Title()->Color(), clYellow);
  EXPECT_EQ(r->Title()->Font()->Height(), -20);
  EXPECT_EQ(r->Width(), 150);
  EXPECT_TRUE(r->Wordrap());
  EXPECT_EQ(r->PickList()->Count(), 1);
  EXPECT_EQ(r->Margin(), 2);
  EXPECT_EQ(r->AssignedValues(), c->AssignedValues() - cvTitleAlignmentV);
}
