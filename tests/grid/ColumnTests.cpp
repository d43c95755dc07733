#include "GridTestSupport.h"

using namespace gridtest;

namespace {

using Column = GridFixture;

struct TLoneColumn {
  TCollection Items{rix::ItemClass<TRixColumn>()};
  TRixColumn* Column = static_cast<TRixColumn*>(Items.Add());
};

// What a column font measures, on a canvas of the test's own.
struct TMeasured {
  int Zero = 0, Overhang = 0, AveChar = 0;
  static TMeasured Of(TFont* Font) {
    TCanvas c;
    c.SetFont(Font);
    TTextMetric tm;
    GetTextMetrics(c.Handle(), tm);
    return {c.TextWidth("0"), tm.tmOverhang, tm.tmAveCharWidth};
  }
};

int TextWidthIn(TFont* Font, const std::string& Text) {
  TCanvas c;
  c.SetFont(Font);
  return c.TextWidth(Text);
}

} // namespace

TEST(ColumnOutsideAGrid, HasItsOwnDefaults) {
  TLoneColumn lone;
  TRixColumn* c = lone.Column;
  EXPECT_EQ(c->DefaultWidth(), 64);
  EXPECT_EQ(c->Width(), 64);
  EXPECT_EQ(c->Color(), clWindow);
  EXPECT_EQ(c->ImeMode(), imDontCare);
  EXPECT_EQ(c->Alignment(), taLeftJustify);
  EXPECT_EQ(c->AlignmentV(), tavCenter);
  EXPECT_FALSE(c->ReadOnly());
  EXPECT_TRUE(c->TabStop());
  EXPECT_EQ(c->DropDownRows(), 7u);
  EXPECT_EQ(c->ButtonStyle(), cbsAuto);
  EXPECT_EQ(c->ButtonState(), bs2State);
  EXPECT_EQ(c->Spacing(), 4);
  EXPECT_EQ(c->Margin(), -1);
  EXPECT_EQ(c->Layout(), blGlyphLeft);
  EXPECT_EQ(c->OrderState(), osDisable);
  EXPECT_TRUE(c->ShowImages() && c->ShowMemoText() && c->Visible() && c->Transparent());
  EXPECT_EQ(c->State(), bsUp);
  EXPECT_NE(c->PickList(), nullptr);
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_EQ(c->DisplayName(), "TRixColumn");
  c->SetFieldName("Price");
  EXPECT_EQ(c->DisplayName(), "Price");
  // Without a grid the column's own values are the defaults: assigned, yet
  // never different from the default, so never stored.
  c->SetImeMode(imOpen);
  EXPECT_TRUE(c->AssignedValues().Contains(cvImeMode));
  EXPECT_EQ(c->ImeMode(), imOpen);
  EXPECT_FALSE(c->IsImeModeStored());
}

TEST_F(Column, WithoutAFieldTheDefaultWidthIsTheGridsColumnWidth) {
  Customize({"Nothing"});
  Grid->SetDefaultColWidth(80);
  EXPECT_EQ(Grid->Columns()->Items(0)->DefaultWidth(), 80);
}

TEST_F(Column, TheDefaultWidthCountsDigitsOfTheColumnFontAndTheTitle) {
  Customize({"Name"});
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(0);
  Data->FieldByName("Name")->SetDisplayWidth(10);
  c->Title()->SetCaption("N");
  const TMeasured m = TMeasured::Of(Grid->Font());
  const int digits = (m.Zero - m.Overhang) * 10 + m.Overhang + 4;
  EXPECT_EQ(c->DefaultWidth(), digits);
  EXPECT_EQ(c->Width(), digits);
  // A caption wider than the digits sets the width.
  std::string caption = "W";
  while (TextWidthIn(Grid->TitleFont(), caption) + 4 <= digits + 16) caption += "W";
  c->Title()->SetCaption(caption);
  EXPECT_EQ(c->DefaultWidth(), TextWidthIn(Grid->TitleFont(), caption) + 4);
  // Without titles only the digits count.
  Grid->SetOptions(Grid->Options() - rixdgTitles);
  EXPECT_EQ(c->DefaultWidth(), digits);
  // The column's own font is measured.
  c->Font()->SetHeight(-24);
  const TMeasured big = TMeasured::Of(c->Font());
  EXPECT_EQ(c->DefaultWidth(), (big.Zero - big.Overhang) * 10 + big.Overhang + 4);
}

TEST_F(Column, UnassignedSettingsFollowTheGridAndTheField) {
  Customize({"Name"});
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(0);
  Grid->SetColor(clYellow);
  EXPECT_EQ(c->Color(), clYellow);
  Grid->Font()->SetHeight(-19);
  EXPECT_EQ(c->Font()->Height(), -19);
  Grid->Font()->SetColor(clRed);  // a colour alone reaches the column through RefreshDefaultFont
  EXPECT_EQ(c->Font()->Color(), clRed);
  Data->FieldByName("Name")->SetAlignment(taCenter);
  EXPECT_EQ(c->Alignment(), taCenter);
  Grid->SetReadOnly(true);
  EXPECT_TRUE(c->ReadOnly());
  Grid->SetReadOnly(false);
  Data->FieldByName("Name")->SetReadOnly(true);
  EXPECT_TRUE(c->ReadOnly());
  Grid->SetImeMode(imHira);
  Grid->SetImeName("Anthy");
  EXPECT_EQ(c->ImeMode(), imHira);
  EXPECT_EQ(c->ImeName(), "Anthy");
  EXPECT_TRUE(c->AssignedValues().Empty());

  c->SetColor(clLime);
  c->Font()->SetHeight(-15);
  c->SetAlignment(taRightJustify);
  c->SetReadOnly(false);
  c->SetImeMode(imKata);
  c->SetImeName("Mozc");
  c->SetWidth(123);
  Grid->SetColor(clAqua);
  Grid->Font()->SetHeight(-21);
  Data->FieldByName("Name")->SetAlignment(taLeftJustify);
  Grid->SetImeMode(imClose);
  EXPECT_EQ(c->Color(), clLime);
  EXPECT_EQ(c->Font()->Height(), -15);
  EXPECT_EQ(c->Alignment(), taRightJustify);
  EXPECT_FALSE(c->ReadOnly());
  EXPECT_EQ(c->ImeMode(), imKata);
  EXPECT_EQ(c->ImeName(), "Mozc");
  EXPECT_EQ(c->Width(), 123);
  EXPECT_EQ(c->AssignedValues(),
            (TRixColumnValues{cvColor, cvFont, cvAlignment, cvReadOnly, cvImeMode, cvImeName, cvWidth}));
  EXPECT_TRUE(c->IsColorStored() && c->IsFontStored() && c->IsAlignmentStored() && c->IsReadOnlyStored() &&
              c->IsImeModeStored() && c->IsImeNameStored() && c->IsWidthStored());
}

TEST_F(Column, WidthReadsMinusOneWhileHiddenAndMinusOneIsNeverStored) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  c->SetWidth(c->DefaultWidth());
  EXPECT_FALSE(c->AssignedValues().Contains(cvWidth));
  c->SetWidth(-1);
  EXPECT_FALSE(c->AssignedValues().Contains(cvWidth));
  EXPECT_EQ(c->Width(), c->DefaultWidth());
  c->SetWidth(90);
  c->SetVisible(false);
  EXPECT_EQ(c->Width(), -1);
  c->SetWidth(-1);
  c->SetVisible(true);
  EXPECT_EQ(c->Width(), 90);
}

TEST_F(Column, TabStopIsStoredOnlyWhileFalse) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  c->SetTabStop(true);
  EXPECT_TRUE(c->AssignedValues().Empty());
  c->SetTabStop(false);
  EXPECT_TRUE(c->AssignedValues().Contains(cvTabStop));
  EXPECT_TRUE(c->IsTabStop());
  c->SetTabStop(true);
  EXPECT_TRUE(c->AssignedValues().Contains(cvTabStop));
  EXPECT_FALSE(c->IsTabStop());
  EXPECT_TRUE(c->TabStop());
}

TEST_F(Column, ADefaultColumnWritesThroughToItsFieldOrResets) {
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(1);
  ASSERT_FALSE(c->IsStored());
  TField* name = Data->FieldByName("Name");
  c->SetAlignment(taCenter);
  c->SetReadOnly(true);
  EXPECT_EQ(name->Alignment(), taCenter);
  EXPECT_TRUE(name->ReadOnly());
  c->SetAlignmentV(tavBottom);
  c->SetBindColumn(btUp);
  c->SetEditMask("999");
  EXPECT_EQ(c->AlignmentV(), tavCenter);
  EXPECT_EQ(c->BindColumn(), btNone);
  EXPECT_EQ(c->EditMask(), "");
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_EQ(c->Alignment(), taCenter);
  EXPECT_TRUE(c->ReadOnly());
}

TEST_F(Column, ADefaultColumnsWidthBecomesItsFieldsDisplayWidth) {
  Form->HandleNeeded();
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(1);
  TField* name = Data->FieldByName("Name");
  const TMeasured m = TMeasured::Of(c->Font());
  ASSERT_GT(m.AveChar, 0);
  c->SetWidth(m.AveChar * 12 + 3);
  EXPECT_EQ(name->DisplayWidth(), (m.AveChar * 12 + 3 + m.AveChar / 2 - m.Overhang - 3) / m.AveChar);
  // A hidden column's -1 leaves the field alone.
  const int before = name->DisplayWidth();
  c->SetWidth(-1);
  EXPECT_EQ(name->DisplayWidth(), before);
}

TEST(ColumnDisplayWidth, NegativeWidthsAndFontsWithoutAverageWidthGiveNothing) {
  TTextMetric tm;
  tm.tmAveCharWidth = 7;
  EXPECT_EQ(rix::WidthToDisplayChars(74, tm), 10);  // (74 + 3 - 0 - 3) div 7
  EXPECT_EQ(rix::WidthToDisplayChars(0, tm), 0);
  EXPECT_EQ(rix::WidthToDisplayChars(-1, tm), -1);
  tm.tmAveCharWidth = 0;
  EXPECT_EQ(rix::WidthToDisplayChars(74, tm), -1);
  tm.tmAveCharWidth = -3;
  EXPECT_EQ(rix::WidthToDisplayChars(74, tm), -1);
}

TEST_F(Column, RestoreDefaultsClearsEveryFlagAndResetsTheButtonSettings) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  auto* menu = new TPopupMenu(Form);
  TBitmap glyph;
  glyph.SetSize(32, 16);
  c->SetColor(clRed);
  c->SetWidth(77);
  c->Font()->SetHeight(-30);
  c->SetAlignment(taCenter);
  c->SetAlignmentV(tavTop);
  c->SetReadOnly(true);
  c->SetImeMode(imOpen);
  c->SetImeName("X");
  c->SetEditMask("99");
  c->SetBindColumn(btLeft);
  c->SetTabStop(false);
  c->Title()->SetCaption("T");
  c->Title()->SetAlignmentV(tavBottom);
  c->PickList()->Add("a");
  c->SetButtonStyle(cbsButton);
  c->SetButtonCaption("Go");
  c->SetGlyph(&glyph);
  c->SetNumGlyphs(2);
  c->SetKeyField("K");
  c->SetListField("L");
  c->SetListSource(Source);
  c->SetOrderState(osAsc);
  c->SetLayout(blGlyphTop);
  c->SetMargin(3);
  c->SetSpacing(7);
  c->SetWordrap(true);
  c->SetShowImages(false);
  c->SetPopupMenu(menu);
  c->SetDropDownRows(3);
  c->SetDropDownWidth(200);
  const int passes = Grid->LayoutPassCount();
  c->RestoreDefaults();
  EXPECT_GT(Grid->LayoutPassCount(), passes);  // the assigned font went
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_EQ(c->Font()->Height(), Grid->Font()->Height());
  EXPECT_EQ(c->Title()->AlignmentV(), tavCenter);
  EXPECT_EQ(c->Title()->Caption(), "Name");
  EXPECT_EQ(c->PickList()->Count(), 0);
  EXPECT_EQ(c->ButtonStyle(), cbsAuto);
  EXPECT_EQ(c->ButtonState(), bs3State);
  EXPECT_EQ(c->ButtonCaption(), "");
  EXPECT_TRUE(c->Glyph()->Empty());
  EXPECT_EQ(c->NumGlyphs(), 1);
  EXPECT_EQ(c->KeyField(), "");
  EXPECT_EQ(c->ListField(), "");
  EXPECT_EQ(c->ListSource(), nullptr);
  EXPECT_EQ(c->OrderState(), osDisable);
  EXPECT_TRUE(c->TabStop());
  EXPECT_EQ(c->BindColumn(), btNone);
  // Untouched.
  EXPECT_EQ(c->FieldName(), "Name");
  EXPECT_EQ(c->Layout(), blGlyphTop);
  EXPECT_EQ(c->Margin(), 3);
  EXPECT_EQ(c->Spacing(), 7);
  EXPECT_TRUE(c->Wordrap());
  EXPECT_FALSE(c->ShowImages());
  EXPECT_EQ(c->PopupMenu(), menu);
  EXPECT_EQ(c->DropDownRows(), 3u);
  EXPECT_EQ(c->DropDownWidth(), 200u);
}

TEST_F(Column, AssignCopiesExactlyItsListedSubset) {
  Customize({"Name", "ID"});
  TRixColumn* s = Grid->Columns()->Items(0);
  TRixColumn* t = Grid->Columns()->Items(1);
  auto* menu = new TPopupMenu(Form);
  TBitmap glyph;
  glyph.SetSize(32, 16);
  s->SetColor(clRed);
  s->SetWidth(77);
  s->Font()->SetHeight(-30);
  s->SetImeMode(imOpen);
  s->SetImeName("X");
  s->SetAlignment(taCenter);
  s->SetAlignmentV(tavBottom);
  s->SetReadOnly(true);
  s->SetBindColumn(btUp);
  s->Title()->SetCaption("T");
  s->SetDropDownRows(3);
  s->SetButtonStyle(cbsCheck);
  s->SetButtonState(bs3State);
  s->SetButtonCaption("Go");
  s->SetEditMask("99");
  s->PickList()->Add("a");
  s->SetPopupMenu(menu);
  s->SetVisible(false);
  s->SetExpanded(false);
  // Not copied:
  s->SetDropDownWidth(200);
  s->SetGlyph(&glyph);
  s->SetNumGlyphs(2);
  s->SetLayout(blGlyphTop);
  s->SetMargin(3);
  s->SetSpacing(7);
  s->SetKeyField("K");
  s->SetListField("L");
  s->SetListSource(Source);
  s->SetOrderState(osAsc);
  s->SetShowImages(false);
  s->SetShowMemoText(false);
  s->SetTabStop(false);
  s->SetWordrap(true);
  s->SetOnClick([](TObject*) {});
  t->SetLayout(blGlyphBottom);
  t->SetMargin(5);
  t->SetDropDownWidth(9);

  const int passes = Grid->LayoutPassCount();
  t->Assign(s);
  // The binding lays the grid out at once; the rest waits for the bracket.
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 2);
  EXPECT_EQ(t->FieldName(), "Name");
  EXPECT_EQ(t->Color(), clRed);
  // The source is hidden: its width reads -1 and is not copied.
  EXPECT_FALSE(t->AssignedValues().Contains(cvWidth));
  EXPECT_EQ(t->Font()->Height(), -30);
  EXPECT_EQ(t->ImeMode(), imOpen);
  EXPECT_EQ(t->ImeName(), "X");
  EXPECT_EQ(t->Alignment(), taCenter);
  EXPECT_EQ(t->AlignmentV(), tavBottom);
  EXPECT_TRUE(t->ReadOnly());
  EXPECT_EQ(t->BindColumn(), btUp);
  EXPECT_EQ(t->Title()->Caption(), "T");
  EXPECT_EQ(t->DropDownRows(), 3u);
  EXPECT_EQ(t->ButtonStyle(), cbsCheck);
  EXPECT_EQ(t->ButtonState(), bs3State);
  EXPECT_EQ(t->ButtonCaption(), "Go");
  EXPECT_EQ(t->EditMask(), "99");
  EXPECT_EQ(t->PickList()->Count(), 1);
  EXPECT_EQ(t->PopupMenu(), menu);
  EXPECT_FALSE(t->Visible());
  EXPECT_FALSE(t->Expanded());
  // Kept or reset.
  EXPECT_EQ(t->DropDownWidth(), 9u);
  EXPECT_TRUE(t->Glyph()->Empty());
  EXPECT_EQ(t->NumGlyphs(), 1);
  EXPECT_EQ(t->Layout(), blGlyphBottom);
  EXPECT_EQ(t->Margin(), 5);
  EXPECT_EQ(t->Spacing(), 4);
  EXPECT_EQ(t->KeyField(), "");
  EXPECT_EQ(t->ListField(), "");
  EXPECT_EQ(t->ListSource(), nullptr);
  EXPECT_EQ(t->OrderState(), osDisable);
  EXPECT_TRUE(t->ShowImages() && t->ShowMemoText() && t->TabStop());
  EXPECT_FALSE(t->Wordrap());
  EXPECT_FALSE(t->OnClick());

  // A visible source's width is copied.
  s->SetVisible(true);
  t->Assign(s);
  EXPECT_EQ(t->Width(), 77);
  EXPECT_THROW(t->Assign(Grid->Font()), EConvertError);
}

TEST(ColumnGlyphSettings, OutOfRangeValuesAreClampedIgnoredOrRefused) {
  TLoneColumn lone;
  TRixColumn* c = lone.Column;
  c->SetNumGlyphs(9);
  EXPECT_EQ(c->NumGlyphs(), 4);
  EXPECT_THROW(c->SetNumGlyphs(-2), ERangeError);
  EXPECT_EQ(c->NumGlyphs(), 4);
  c->SetMargin(-2);
  EXPECT_EQ(c->Margin(), -1);
  c->SetMargin(2);
  c->SetMargin(-5);
  EXPECT_EQ(c->Margin(), 2);
  int repaints = 0;
  c->SetOnInvalidate([&](TObject*) { ++repaints; });
  TBitmap glyph;
  glyph.SetSize(16, 16);
  c->SetGlyph(&glyph);
  EXPECT_GT(repaints, 0);
  EXPECT_EQ(c->Glyph()->Width(), 16);
  c->SetGlyph(nullptr);
  EXPECT_TRUE(c->Glyph()->Empty());
}

TEST(ColumnPickList, NilDropsTheListAndTheNextReadMakesAnEmptyOne) {
  TLoneColumn lone;
  TStringList items;
  items.Add("一");
  items.Add("二");
  lone.Column->SetPickList(&items);
  EXPECT_EQ(lone.Column->PickList()->Count(), 2);
  lone.Column->SetPickList(nullptr);
  EXPECT_EQ(lone.Column->PickList()->Count(), 0);
}

struct TSetterCase {
  const char* Name;
  std::function<void(TRixColumn*)> Set;
  bool Relayouts;
};

class ColumnSetterNotice : public GridFixture, public ::testing::WithParamInterface<TSetterCase> {};

// Whole-grid layouts for what can change the geometry, column repaints for
// the rest.
TEST_P(ColumnSetterNotice, RelayoutsOnlyForGeometry) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  const int passes = Grid->LayoutPassCount();
  GetParam().Set(c);
  EXPECT_EQ(Grid->LayoutPassCount(), passes + (GetParam().Relayouts ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Setters, ColumnSetterNotice,
    ::testing::Values(TSetterCase{"Visible", [](TRixColumn* c) { c->SetVisible(false); }, true},
                      TSetterCase{"ButtonState", [](TRixColumn* c) { c->SetButtonState(bs3State); }, true},
                      TSetterCase{"TitleFont", [](TRixColumn* c) { c->Title()->Font()->SetHeight(-40); }, true},
                      TSetterCase{"BindColumn", [](TRixColumn* c) { c->SetBindColumn(btLeft); }, true},
                      TSetterCase{"Color", [](TRixColumn* c) { c->SetColor(clRed); }, false},
                      TSetterCase{"Font", [](TRixColumn* c) { c->Font()->SetHeight(-40); }, false},
                      TSetterCase{"ButtonStyle", [](TRixColumn* c) { c->SetButtonStyle(cbsButton); }, false},
                      TSetterCase{"Layout", [](TRixColumn* c) { c->SetLayout(blGlyphRight); }, false},
                      TSetterCase{"OrderState", [](TRixColumn* c) { c->SetOrderState(osAsc); }, false},
                      TSetterCase{"Width", [](TRixColumn* c) { c->SetWidth(33); }, false}),
    [](const ::testing::TestParamInfo<TSetterCase>& I) { return std::string(I.param.Name); });

TEST_F(Column, BindingAnotherFieldResetsADefaultColumn) {
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(1);
  c->SetColor(clRed);
  c->Title()->SetColor(clRed);
  c->SetField(Data->FieldByName("ID"));
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_EQ(c->FieldName(), "ID");
  c->SetField(nullptr);
  EXPECT_EQ(c->FieldName(), "");
}

// The hook runs while the grid is still valid; the column's own repaint (the
// collection's Update of that grid column) follows it.
TEST_F(Column, TheGridsRepaintHookRunsBeforeTheColumnRepaint) {
  Form->HandleNeeded();
  Customize({"ID", "Name"});
  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(1);
  std::vector<bool> invalidInHook;
  c->SetOnInvalidate([&](TObject* Sender) {
    EXPECT_EQ(Sender, c);
    invalidInHook.push_back(Grid->IsInvalid());
  });
  Grid->ValidateAll();
  c->SetWordrap(true);
  ASSERT_EQ(invalidInHook, std::vector<bool>{false}) << "the hook ran once, before any repaint";
  ASSERT_TRUE(Grid->IsInvalid()) << "the column repainted after the hook";
  const TRect cell = Grid->CellRect(Grid->DataToRawColumn(1), 1);
  const TRect dirty = Grid->InvalidBounds();
  EXPECT_TRUE(dirty.Left <= cell.Left && dirty.Right >= cell.Right) << "the column's own cells";
}
