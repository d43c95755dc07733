// The cell kinds with drawing of their own, painted on a bitmap canvas:
// check boxes, pictures, memos and push buttons.
#include "PaintTestSupport.h"

namespace {

using painttest::TPaintGrid;

class PaintCell : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Grid = new TPaintGrid(Form);
    Grid->SetParent(Form);
    Data = new TMemoryDataSet(Form);
    Data->FieldDefs()->Add("Flag", ftBoolean);
    Data->FieldDefs()->Add("Pic", ftGraphic);
    Data->FieldDefs()->Add("Note", ftMemo);
    Data->FieldDefs()->Add("Name", ftString, 20);
    Data->CreateDataSet();
    Data->Append();
    Data->FieldByName("Flag")->SetAsBoolean(true);
    Data->FieldByName("Name")->SetAsString("名前");
    Data->Post();
    Source = new TDataSource(Form);
    Source->SetDataSet(Data);
    Canvas.Canvas()->Brush()->SetColor(clWhite);
    Canvas.Canvas()->FillRect(Rect(0, 0, 120, 80));
    Grid->SetPaintCanvas(Canvas.Canvas());
  }
  void TearDown() override {
    Grid->SetPaintCanvas(nullptr);
    delete Form;
  }
  TRixColumn* Column(const std::string& FieldName, TRixColumnButtonStyle Style = cbsAuto) {
    TRixColumn* c = Grid->Columns()->Add();
    c->SetFieldName(FieldName);
    c->SetButtonStyle(Style);
    return c;
  }
  void SetPicture(int W, int H) {
    TBitmap pic(W, H);
    pic.Canvas()->Brush()->SetColor(clRed);
    pic.Canvas()->FillRect(Rect(0, 0, W, H));
    Data->Edit();
    Data->FieldByName("Pic")->Assign(&pic);
    Data->Post();
  }
  // The bounding box of the pixels of Color on the canvas.
  TRect BoundsOf(TColor Color) {
    TRect b{1000, 1000, -1, -1};
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x)
        if (Canvas.Canvas()->Pixels(x, y) == ColorToRGB(Color)) {
          b.Left = std::min(b.Left, x);
          b.Top = std::min(b.Top, y);
          b.Right = std::max(b.Right, x + 1);
          b.Bottom = std::max(b.Bottom, y + 1);
        }
    return b;
  }
  // Columns are added before the grid is bound, as a form file does.
  // The bounding box of the dark pixels (text, ticks, edges) inside Within.
  TRect DarkBounds(const TRect& Within) {
    TRect b{1000, 1000, -1, -1};
    for (int y = Within.Top; y < Within.Bottom; ++y)
      for (int x = Within.Left; x < Within.Right; ++x) {
        const TColor c = Canvas.Canvas()->Pixels(x, y);
        if ((c & 0xFF) < 0x70 && ((c >> 8) & 0xFF) < 0x70 && ((c >> 16) & 0xFF) < 0x70) {
          b.Left = std::min(b.Left, x);
          b.Top = std::min(b.Top, y);
          b.Right = std::max(b.Right, x + 1);
          b.Bottom = std::max(b.Bottom, y + 1);
        }
      }
    return b;
  }
  void Draw(TRixColumn* C, const TRect& R, TColor Brush = clYellow) {
    if (Grid->DataSource() == nullptr) Grid->SetDataSource(Source);
    Canvas.Canvas()->Brush()->SetColor(Brush);
    Grid->DrawCellSpecial(0, 0, C, R, {});
  }
  TForm* Form = nullptr;
  TPaintGrid* Grid = nullptr;
  TMemoryDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
  TBitmap Canvas{120, 80};
};

TEST_F(PaintCell, NarrowCheckBoxCellDrawsATenPixelBoxCentredOverItsEdges) {
  TRixColumn* c = Column("Flag", cbsCheck);
  Draw(c, Rect(20, 10, 26, 50));
  EXPECT_EQ(Grid->CheckSize(), 10);
  // The box, (18, 25)-(28, 35), overlaps the 6-pixel cell by two pixels on each side.
  EXPECT_NE(Canvas.Canvas()->Pixels(18, 25), ColorToRGB(clWhite));
  EXPECT_EQ(Canvas.Canvas()->Pixels(17, 30), ColorToRGB(clWhite));
  EXPECT_EQ(Canvas.Canvas()->Pixels(28, 30), ColorToRGB(clWhite));
  EXPECT_EQ(Canvas.Canvas()->Pixels(22, 24), ColorToRGB(clYellow)) << "the cell itself is filled";
  EXPECT_EQ(Canvas.Canvas()->Pixels(22, 35), ColorToRGB(clYellow));
  const TRect dark = DarkBounds(Rect(0, 0, 120, 80));
  EXPECT_GE(dark.Left, 18);
  EXPECT_LE(dark.Right, 28);
  EXPECT_GE(dark.Top, 25);
  EXPECT_LE(dark.Bottom, 35);
}

TEST_F(PaintCell, CheckBoxShowsTheFieldStateAndNothingForOtherTypes) {
  TRixColumn* flag = Column("Flag", cbsCheck);
  TRixColumn* name = Column("Name", cbsCheck);
  // The inside of the 20-pixel box drawn in (0, 0)-(30, 20): (8, 3)-(22, 17).
  const TRect inside = Rect(8, 3, 22, 17);
  Draw(flag, Rect(0, 0, 30, 20));
  EXPECT_GT(DarkBounds(inside).Right, 0) << "a tick for True";
  Data->Edit();
  Data->FieldByName("Flag")->SetAsBoolean(false);
  Data->Post();
  Draw(flag, Rect(0, 0, 30, 20));
  EXPECT_LT(DarkBounds(inside).Right, 0) << "no tick for False";
  Data->Edit();
  Data->FieldByName("Flag")->Clear();
  Data->Post();
  Draw(flag, Rect(0, 0, 30, 20));
  EXPECT_GT(BoundsOf(clBtnShadow).Right, 0) << "a greyed tick for null";

  Draw(name, Rect(40, 0, 70, 30));
  EXPECT_LT(DarkBounds(Rect(40, 0, 70, 30)).Right, 0) << "a check box needs a Boolean field";
  EXPECT_EQ(Canvas.Canvas()->Pixels(40, 0), ColorToRGB(clYellow));
  EXPECT_EQ(Canvas.Canvas()->Pixels(69, 29), ColorToRGB(clYellow));
  EXPECT_EQ(Canvas.Canvas()->Pixels(70, 29), ColorToRGB(clWhite));
}

TEST_F(PaintCell, PictureKeepsItsAspectCentredAndInsetByOnePixel) {
  SetPicture(100, 50);
  TRixColumn* c = Column("Pic");
  Draw(c, Rect(10, 10, 70, 50));
  // 80 wide at the cell's height is too wide: 60 by 30, centred, inset: 58 by 28.
  EXPECT_EQ(BoundsOf(clRed), Rect(11, 16, 69, 44));
  EXPECT_EQ(Canvas.Canvas()->Pixels(12, 13), ColorToRGB(clYellow));
}

struct TDegenerate {
  int PicW, PicH;
  TRect Cell;
};
class PaintDegenerateImage : public PaintCell, public ::testing::WithParamInterface<TDegenerate> {};

TEST_P(PaintDegenerateImage, ShowsOnlyTheBackground) {
  SetPicture(GetParam().PicW, GetParam().PicH);
  TRixColumn* c = Column("Pic");
  EXPECT_NO_THROW(Draw(c, GetParam().Cell));
  EXPECT_LT(BoundsOf(clRed).Right, 0);
}

INSTANTIATE_TEST_SUITE_P(ZeroSizes, PaintDegenerateImage,
                         ::testing::Values(TDegenerate{100, 50, Rect(10, 10, 70, 10)},   // no height
                                           TDegenerate{100, 50, Rect(10, 10, 10, 50)},   // no width
                                           TDegenerate{400, 1, Rect(10, 10, 70, 50)},    // rounds to no height
                                           TDegenerate{100, 50, Rect(10, 10, 11, 11)})); // nothing left after the inset

TEST_F(PaintCell, EmptyOrBrokenBlobShowsOnlyTheBackground) {
  TRixColumn* c = Column("Pic");
  Draw(c, Rect(0, 0, 60, 40));
  EXPECT_EQ(BoundsOf(clYellow), Rect(0, 0, 60, 40));
  Data->Edit();
  Data->FieldByName("Pic")->SetAsString("not a picture");
  Data->Post();
  EXPECT_NO_THROW(Draw(c, Rect(0, 0, 60, 40), clAqua));
  EXPECT_EQ(BoundsOf(clAqua), Rect(0, 0, 60, 40));
}

TEST_F(PaintCell, MemoTextWrapsInsideTheCellLessTheScrollBar) {
  Data->Edit();
  Data->FieldByName("Note")->SetAsString("あいうえおかきくけこさしすせそ");
  Data->Post();
  TRixColumn* c = Column("Note");
  Canvas.Canvas()->Font()->SetColor(clBlack);
  Draw(c, Rect(0, 0, 60, 80));
  const TRect text = DarkBounds(Rect(0, 0, 60, 80));
  ASSERT_GT(text.Right, 0);
  EXPECT_LE(text.Right, 60 - 1 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_GT(text.Bottom - text.Top, Canvas.Canvas()->TextHeight("あ")) << "wrapped onto more lines";
  c->SetShowMemoText(false);
  Canvas.Canvas()->Brush()->SetColor(clWhite);
  Canvas.Canvas()->FillRect(Rect(0, 0, 120, 80));
  Draw(c, Rect(0, 0, 60, 80));
  EXPECT_LT(BoundsOf(clYellow).Right, 0) << "without ShowMemoText the cell is not the memo painter's";
}

TEST_F(PaintCell, AHalfMegabyteMemoPaintsLikeItsFirstFewThousandBytes) {
  std::string memo;
  for (int i = 0; memo.size() < 500'000; ++i) memo += "メモ " + std::to_string(i) + (i % 7 == 0 ? "\n" : " ");
  TRixColumn* c = Column("Note");
  Canvas.Canvas()->Font()->SetColor(clBlack);
  TBitmap whole(120, 80);
  for (const std::string& value : {memo.substr(0, 4000), memo}) {
    Data->Edit();
    Data->FieldByName("Note")->SetAsString(value);
    Data->Post();
    Draw(c, Rect(0, 0, 120, 80));
    if (value.size() == 4000) whole.Canvas()->Draw(0, 0, &Canvas);
  }
  int differing = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) differing += whole.Canvas()->Pixels(x, y) != Canvas.Canvas()->Pixels(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_GT(DarkBounds(Rect(0, 0, 120, 80)).Bottom, 60) << "the memo fills the cell";
}

TEST_F(PaintCell, ButtonCellDrawsARaisedFaceWithItsCaption) {
  TRixColumn* c = Column("Name", cbsButton);
  c->SetButtonCaption("押す");
  Draw(c, Rect(0, 0, 80, 30));
  EXPECT_EQ(Canvas.Canvas()->Pixels(5, 15), ColorToRGB(clBtnFace));
  EXPECT_GT(DarkBounds(Rect(3, 3, 77, 27)).Right, 0) << "the caption";
  EXPECT_EQ(Canvas.Canvas()->Pixels(1, 1), ColorToRGB(clBtnHighlight)) << "raised";
  EXPECT_EQ(Canvas.Canvas()->Pixels(79, 29), ColorToRGB(cl3DDkShadow));
}

} // namespace
