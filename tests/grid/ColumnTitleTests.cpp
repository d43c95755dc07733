#include "GridTestSupport.h"

using namespace gridtest;

namespace {

using ColumnTitle = GridFixture;

// A column in a plain collection: it belongs to no grid.
struct TLoneColumn {
  TCollection Items{rix::ItemClass<TRixColumn>()};
  TRixColumn* Column = static_cast<TRixColumn*>(Items.Add());
};

} // namespace

TEST(ColumnTitleOutsideAGrid, ReadsButtonFaceAndTheColumnsFont) {
  TLoneColumn lone;
  TRixColumnTitle* t = lone.Column->Title();
  EXPECT_EQ(t->Color(), clBtnFace);
  lone.Column->Font()->SetName("Serif");
  EXPECT_EQ(t->Font()->Name(), "Serif");
  EXPECT_FALSE(lone.Column->AssignedValues().Contains(cvTitleFont));
  EXPECT_EQ(t->Caption(), "");
  lone.Column->SetFieldName("Price");
  EXPECT_EQ(t->Caption(), "Price");
}

TEST_F(ColumnTitle, InsideAGridReadsFixedColorAndTitleFont) {
  Customize({"Name"});
  TRixColumnTitle* t = Grid->Columns()->Items(0)->Title();
  Grid->SetFixedColor(clYellow);
  EXPECT_EQ(t->Color(), clYellow);
  const int passes = Grid->LayoutPassCount();
  Grid->TitleFont()->SetHeight(-20);
  const int afterTitleFont = Grid->LayoutPassCount();
  EXPECT_EQ(t->Font()->Height(), -20);
  Grid->TitleFont()->SetColor(clRed);
  EXPECT_EQ(t->Font()->Color(), clRed);
  // Keeping up with the grid neither assigns the font nor asks for a layout.
  EXPECT_FALSE(Grid->Columns()->Items(0)->AssignedValues().Contains(cvTitleFont));
  EXPECT_GT(afterTitleFont, passes);
  EXPECT_EQ(Grid->LayoutPassCount(), afterTitleFont + 1);  // the colour change of TitleFont itself
}

TEST_F(ColumnTitle, ChangingTheFontInPlaceAssignsItAndRelayoutsTheGrid) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  const int passes = Grid->LayoutPassCount();
  c->Title()->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_TRUE(c->AssignedValues().Contains(cvTitleFont));
  EXPECT_TRUE(c->Title()->IsFontStored());
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  // Other title settings repaint only the column.
  c->Title()->SetColor(clAqua);
  c->Title()->SetCaption("X");
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);
  // An assigned font no longer follows the grid.
  Grid->TitleFont()->SetHeight(-30);
  EXPECT_NE(c->Title()->Font()->Height(), -30);
}

TEST_F(ColumnTitle, AnAssignedValueEqualToTheDefaultIsNotStored) {
  Customize({"Name"});
  TRixColumnTitle* t = Grid->Columns()->Items(0)->Title();
  t->SetAlignment(taLeftJustify);
  EXPECT_TRUE(Grid->Columns()->Items(0)->AssignedValues().Contains(cvTitleAlignment));
  EXPECT_FALSE(t->IsAlignmentStored());
  t->SetAlignment(taCenter);
  EXPECT_TRUE(t->IsAlignmentStored());
  t->SetCaption("Name");
  EXPECT_FALSE(t->IsCaptionStored());
  t->SetCaption("name");  // case counts
  EXPECT_TRUE(t->IsCaptionStored());
  t->SetColor(Grid->FixedColor());
  EXPECT_FALSE(t->IsColorStored());
  t->SetAlignmentV(tavCenter);
  EXPECT_FALSE(t->IsAlignmentVStored());
  t->SetAlignmentV(tavBottom);
  EXPECT_TRUE(t->IsAlignmentVStored());
}

TEST_F(ColumnTitle, RestoreDefaultsLeavesTheVerticalAlignmentAssignedAtCenter) {
  Customize({"Name"});
  TRixColumn* c = Grid->Columns()->Items(0);
  c->Title()->SetCaption("X");
  c->Title()->SetColor(clRed);
  c->Title()->SetAlignment(taRightJustify);
  c->Title()->SetAlignmentV(tavBottom);
  c->Title()->Font()->SetHeight(-30);
  c->SetColor(clLime);
  const int passes = Grid->LayoutPassCount();
  c->Title()->RestoreDefaults();
  EXPECT_EQ(c->AssignedValues(), (TRixColumnValues{cvColor, cvTitleAlignmentV}));
  EXPECT_EQ(c->Title()->AlignmentV(), tavCenter);
  EXPECT_FALSE(c->Title()->IsAlignmentVStored());
  EXPECT_EQ(c->Title()->Caption(), "Name");
  EXPECT_EQ(c->Title()->Font()->Height(), Grid->TitleFont()->Height());
  EXPECT_EQ(Grid->LayoutPassCount(), passes + 1);  // the dropped font
  c->RestoreDefaults();
  EXPECT_TRUE(c->AssignedValues().Empty());
  EXPECT_EQ(c->Title()->AlignmentV(), tavCenter);
}

TEST_F(ColumnTitle, OnADefaultColumnTheCaptionIsTheFieldsLabelWhileLinked) {
  // Without an active link the call does nothing.
  TRixColumn* d = Grid->Columns()->InternalAdd();
  d->SetFieldName("ID");
  d->Title()->SetCaption("番号");
  EXPECT_EQ(d->Title()->Caption(), "ID");
  EXPECT_TRUE(d->AssignedValues().Empty());
  EXPECT_EQ(Data->FieldByName("ID")->DisplayLabel(), "");

  Grid->SetDataSource(Source);
  TRixColumn* c = Grid->Columns()->Items(1);
  ASSERT_FALSE(c->IsStored());
  c->Title()->SetCaption("氏名");
  EXPECT_EQ(Data->FieldByName("Name")->DisplayLabel(), "氏名");
  EXPECT_EQ(c->Title()->Caption(), "氏名");
  EXPECT_FALSE(c->AssignedValues().Contains(cvTitleCaption));
}

TEST_F(ColumnTitle, AssignCopiesWhatTheSourceAssignedButNotTheVerticalAlignment) {
  Customize({"Name", "ID"});
  TRixColumnTitle* src = Grid->Columns()->Items(0)->Title();
  TRixColumnTitle* dst = Grid->Columns()->Items(1)->Title();
  src->SetCaption("見出し");
  src->SetAlignment(taCenter);
  src->SetAlignmentV(tavTop);
  src->SetFont(Grid->TitleFont());  // equal to the default, assigned all the same
  dst->SetColor(clRed);
  dst->SetAlignmentV(tavBottom);
  dst->Assign(src);
  TRixColumnValues v = Grid->Columns()->Items(1)->AssignedValues();
  EXPECT_EQ(dst->Caption(), "見出し");
  EXPECT_EQ(dst->Alignment(), taCenter);
  EXPECT_EQ(dst->Color(), clRed);  // not assigned in the source: kept
  EXPECT_EQ(dst->AlignmentV(), tavBottom);
  EXPECT_TRUE(v.Contains(cvTitleCaption) && v.Contains(cvTitleAlignment) && v.Contains(cvTitleFont));
  EXPECT_THROW(dst->Assign(Grid->TitleFont()), EConvertError);
}
