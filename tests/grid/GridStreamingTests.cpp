#include "GridTestSupport.h"

#include <algorithm>

namespace {

// A form that streams the components it owns.
class TGridForm : public TForm {
  RIX_CLASS_NAME(TGridForm)
  RIX_PUBLISHED(TGridForm)
public:
  using TForm::TForm;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
  }
};

} // namespace

RIX_IMPLEMENT_PUBLISHED(TGridForm, TComponent)
void TGridForm::DeclareProperties(rix::TClassBuilder<TGridForm>&) {}

namespace {

class GridStreaming : public ::testing::Test {
protected:
  void SetUp() override {
    rix::RegisterClass<TGridForm>();
    rix::RegisterClass<TRixDBGrid>();
    rix::RegisterClass<TPopupMenu>();
    rix::RegisterClass<TDataSource>();
  }
  static std::string Text(TStream& Binary) {
    Binary.SetPosition(0);
    TMemoryStream text;
    ObjectBinaryToText(Binary, text);
    return std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  }
  static void FromText(const std::string& Text, TMemoryStream& Binary) {
    TMemoryStream text;
    text.WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    text.SetPosition(0);
    ObjectTextToBinary(text, Binary);
    Binary.SetPosition(0);
  }
};

} // namespace

TEST_F(GridStreaming, AGridOnAFormRoundTripsWithEqualProperties) {
  auto form = std::make_unique<TGridForm>(nullptr);
  form->SetName("Form1");
  auto* source = new TDataSource(form.get());
  source->SetName("Source1");
  auto* menu = new TPopupMenu(form.get());
  menu->SetName("Menu1");
  auto* grid = new TRixDBGrid(form.get());
  grid->SetName("Grid1");
  grid->SetAlternatingRecordColor(clYellow);
  grid->SetAlternatingRecordColorChange(false);
  grid->SetFocusedRecordColor(clAqua);
  grid->SetCRtoNextCol(true);
  grid->SetDataRowHeight(30);
  grid->SetDataSource(source);
  grid->SetDefaultDrawing(false);
  grid->SetDefaultMenuShow(false);
  grid->SetOptions(grid->Options() + rixdgMultiSelect - rixdgTabs);
  grid->SetReadOnly(true);
  grid->TitleFont()->SetHeight(-17);
  grid->Font()->SetName("Serif");
  grid->SetPopupMenu(menu);
  grid->SetTabOrder(3);
  grid->SetAnchors(TAnchors{akLeft, akRight});
  grid->Constraints()->SetMinWidth(50);
  grid->SetImeName("Anthy");
  grid->SetFixedColor(clGray);

  TMemoryStream s;
  WriteComponent(s, form.get());
  const std::string text = Text(s);
  EXPECT_EQ(text.find("BiLineColor"), std::string::npos) << text;
  EXPECT_EQ(text.find("FocusRecordColor "), std::string::npos) << text;
  EXPECT_EQ(text.find("FocusRecordColorChange"), std::string::npos) << text;
  EXPECT_EQ(text.find("Columns"), std::string::npos) << text;  // not customized

  s.SetPosition(0);
  std::unique_ptr<TComponent> copy(ReadComponent(s, nullptr));
  ASSERT_NE(copy, nullptr);
  auto* g = dynamic_cast<TRixDBGrid*>(copy->FindComponent("Grid1"));
  ASSERT_NE(g, nullptr);
  for (const TPropInfo* p : GetPropList(grid)) {
    if (p->GetOrd) {
      EXPECT_EQ(p->GetOrd(g), p->GetOrd(grid)) << p->Name;
    }
    if (p->GetStr) {
      EXPECT_EQ(p->GetStr(g), p->GetStr(grid)) << p->Name;
    }
  }
  EXPECT_TRUE(*g->TitleFont() == *grid->TitleFont());
  EXPECT_TRUE(*g->Font() == *grid->Font());
  EXPECT_EQ(g->DataSource(), copy->FindComponent("Source1"));
  EXPECT_EQ(g->PopupMenu(), copy->FindComponent("Menu1"));
  EXPECT_EQ(g->Constraints()->MinWidth(), 50);
  EXPECT_EQ(g->BlobPopupMenu()->Name(), "DefaultBolbMenus");
  EXPECT_FALSE(g->AlternatingRecordColorChange());
  EXPECT_TRUE(g->FocusedRecordColorChange());
}

TEST_F(GridStreaming, OlderNamesLoadIntoTheNewSettings) {
  TMemoryStream s;
  FromText(
      "object Form1: TGridForm\n"
      "  object Grid1: TRixDBGrid\n"
      "    BiLineColor = clRed\n"
      "    FocusRecordColor = clLime\n"
      "    FocusRecordColorChange = False\n"
      "  end\n"
      "end\n",
      s);
  std::unique_ptr<TComponent> form(ReadComponent(s, nullptr));
  auto* g = dynamic_cast<TRixDBGrid*>(form->FindComponent("Grid1"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->AlternatingRecordColor(), clRed);
  EXPECT_FALSE(g->AlternatingRecordColorChange());  // read, not set in code
  EXPECT_EQ(g->FocusedRecordColor(), clLime);
  EXPECT_FALSE(g->FocusedRecordColorChange());
}

TEST_F(GridStreaming, APlainComponentRootCarriesTheGridToo) {
  TComponent root(nullptr);
  root.SetName("Root");
  auto* grid = new TRixDBGrid(&root);
  grid->SetName("Grid1");
  grid->SetRowsPerRecord(1);
  grid->SetOptions(TRixDBGridOptions{rixdgTitles, rixdgRowSelect});
  TMemoryStream s;
  WriteComponent(s, grid);
  s.SetPosition(0);
  TComponent other(nullptr);
  auto* copy = new TRixDBGrid(&other);
  ReadComponent(s, copy);
  EXPECT_EQ(copy->Name(), "Grid1");
  EXPECT_EQ(copy->Options().ToInt(), grid->Options().ToInt());
}

TEST_F(GridStreaming, CustomizedColumnsAreWrittenAsTheColumnsProperty) {
  TGridForm form(nullptr);
  form.SetName("Form1");
  auto* grid = new TRixDBGrid(&form);
  grid->SetName("Grid1");
  grid->Columns()->Add();
  grid->Columns()->Add();
  TMemoryStream s;
  WriteComponent(s, &form);
  EXPECT_NE(Text(s).find("Columns = <"), std::string::npos) << Text(s);
  s.SetPosition(0);
  std::unique_ptr<TComponent> copy(ReadComponent(s, nullptr));
  auto* g = dynamic_cast<TRixDBGrid*>(copy->FindComponent("Grid1"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Columns()->Count(), 2);
  EXPECT_EQ(g->Columns()->State(), csCustomized);
}
