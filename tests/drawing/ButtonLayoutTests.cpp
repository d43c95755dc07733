#include "DrawingTestUtil.h"

using rixtest::CaptionSize;
using rixtest::ColourBounds;
using rixtest::DifferingPixels;
using rixtest::Filled;
using rixtest::GlyphOf;
using rixtest::InkIn;

namespace {

const std::string kCaption = "Print";

// A glyph of the worked example: a strip of two 16 x 16 images.
std::unique_ptr<TButtonGlyph> ExampleGlyph() {
  auto g = std::make_unique<TButtonGlyph>();
  auto bmp = GlyphOf(32, 16, clRed);
  g->SetGlyph(bmp.get());
  return g;
}

struct TLayoutCase {
  const char* Name;
  TButtonLayout Layout;
};

class ButtonLayout : public ::testing::TestWithParam<TLayoutCase> {};

// Client 100 x 20 at (10, 5), offset (1, 2), default margin -1 and spacing
// 4: glyph and caption form one centred block with 4 pixels between them.
TEST_P(ButtonLayout, DefaultMarginAndSpacingCentreGlyphAndCaptionAsOneBlock) {
  auto g = ExampleGlyph();
  TCanvas c;
  const TRect client{10, 5, 110, 45};
  const int cw = 100, ch = 40, ox = 1, oy = 2;
  TSize t = CaptionSize(&c, kCaption, cw);
  TPoint glyph;
  TRect text;
  g->CalcButtonLayout(&c, client, {ox, oy}, kCaption, GetParam().Layout, -1, 4, glyph, text, 0);
  int gx, gy, tx, ty;
  switch (GetParam().Layout) {
  case blGlyphLeft:
  case blGlyphRight: {
    gy = (ch - 16 + 1) / 2;
    ty = (ch - t.cy + 1) / 2;
    int margin = (cw - (16 + 4 + t.cx) + 1) / 2;
    gx = GetParam().Layout == blGlyphLeft ? margin : cw - margin - 16;
    tx = GetParam().Layout == blGlyphLeft ? gx + 16 + 4 : gx - 4 - t.cx;
    break;
  }
  default: {
    gx = (cw - 16 + 1) / 2;
    tx = (cw - t.cx + 1) / 2;
    int margin = (ch - (16 + 4 + t.cy) + 1) / 2;
    gy = GetParam().Layout == blGlyphTop ? margin : ch - margin - 16;
    ty = GetParam().Layout == blGlyphTop ? gy + 16 + 4 : gy - 4 - t.cy;
    break;
  }
  }
  EXPECT_EQ(glyph.X, gx + 10 + ox);
  EXPECT_EQ(glyph.Y, gy + 5 + oy);
  EXPECT_EQ(text, Rect(tx + 10 + ox, ty + 5 + oy, tx + 10 + ox + t.cx, ty + 5 + oy + t.cy));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ButtonLayout,
                         ::testing::Values(TLayoutCase{"GlyphLeft", blGlyphLeft}, TLayoutCase{"GlyphRight", blGlyphRight},
                                           TLayoutCase{"GlyphTop", blGlyphTop},
                                           TLayoutCase{"GlyphBottom", blGlyphBottom}),
                         [](const auto& I) { return std::string(I.param.Name); });

// Client 100 x 20, a 16 x 16 glyph, glyph left, margin -1, spacing 4; the
// caption's size is the one measured here (40 x 13 would give glyph 20,
// text 40, text top 4).
TEST(ButtonLayoutRules, WorkedExampleGeometry) {
  auto g = ExampleGlyph();
  TCanvas c;
  TSize t = CaptionSize(&c, kCaption, 100);
  TPoint glyph;
  TRect text;
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, -1, 4, glyph, text, 0);
  EXPECT_EQ(glyph.Y, 2);  // (20 - 16 + 1) div 2
  EXPECT_EQ(text.Top, (20 - t.cy + 1) / 2);
  EXPECT_EQ(glyph.X, (100 - (16 + 4 + t.cx) + 1) / 2);
  EXPECT_EQ(text.Left, glyph.X + 20);
}

TEST(ButtonLayoutRules, MarginAndSpacingMinusOneSpreadGlyphAndTextEvenly) {
  auto g = ExampleGlyph();
  TCanvas c;
  TSize t = CaptionSize(&c, kCaption, 100);
  TPoint glyph;
  TRect text;
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, -1, -7, glyph, text, 0);
  int gap = (100 - 16 - t.cx) / 3;
  EXPECT_EQ(glyph.X, gap);
  EXPECT_EQ(text.Left, gap + 16 + gap);
}

TEST(ButtonLayoutRules, AGivenMarginWithSpacingMinusOneCentresTheTextInTheRoomLeft) {
  auto g = ExampleGlyph();
  TCanvas c;
  TSize t = CaptionSize(&c, kCaption, 100);
  TPoint glyph;
  TRect text;
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, 3, -1, glyph, text, 0);
  EXPECT_EQ(glyph.X, 3);
  EXPECT_EQ(text.Left, 3 + 16 + (100 - (3 + 16) - t.cx) / 2);
  // A margin other than exactly -1 is used as it is.
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, -2, 4, glyph, text, 0);
  EXPECT_EQ(glyph.X, -2);
  EXPECT_EQ(text.Left, -2 + 16 + 4);
}

TEST(ButtonLayoutRules, RightToLeftFlagsTurnGlyphLeftIntoGlyphRight) {
  auto g = ExampleGlyph();
  TCanvas c;
  TPoint a, b;
  TRect ta, tb;
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, -1, 4, a, ta, DT_RIGHT);
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphRight, -1, 4, b, tb, 0);
  EXPECT_EQ(a, b);
  EXPECT_EQ(ta, tb);
  EXPECT_GT(a.X, ta.Left);
}

TEST(ButtonLayoutRules, WithoutCaptionTheGlyphAloneIsCentred) {
  auto g = ExampleGlyph();
  TCanvas c;
  TPoint glyph;
  TRect text;
  g->CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, "", blGlyphLeft, -1, 4, glyph, text, 0);
  EXPECT_EQ(glyph.X, (100 - 16 + 1) / 2);  // spacing dropped to 0
  EXPECT_EQ(text.Right - text.Left, 0);
}

TEST(ButtonLayoutRules, WithoutGlyphTheCaptionAloneIsCentred) {
  TButtonGlyph g;
  TCanvas c;
  TSize t = CaptionSize(&c, kCaption, 100);
  TPoint glyph;
  TRect text;
  g.CalcButtonLayout(&c, {0, 0, 100, 20}, {0, 0}, kCaption, blGlyphLeft, -1, 4, glyph, text, 0);
  EXPECT_EQ(text.Left, (100 - t.cx + 1) / 2);
}

// A push-button cell: the frame control's face, then glyph and caption
// through the glyph object, as the grid paints a button column.
TEST(ButtonCellPixels, GlyphAndCaptionLandWhereTheLayoutSays) {
  auto g = ExampleGlyph();
  auto s = Filled(140, 40, clWindow);
  TCanvas* c = s->Canvas();
  TRect cell{10, 5, 130, 35};
  TRect draw = cell;
  DrawFrameControl(c->Handle(), draw, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  c->Font()->SetColor(clBlack);
  c->Pen()->SetColor(clWindowText);
  c->Brush()->SetColor(clBtnFace);
  TPoint glyph;
  TRect expectText;
  g->CalcButtonLayout(c, draw, {0, 0}, kCaption, blGlyphLeft, -1, 4, glyph, expectText, 0);
  TRect text = g->Draw(c, draw, {0, 0}, kCaption, blGlyphLeft, -1, 4, bsUp, false, 0);
  EXPECT_EQ(text, expectText);
  // The red glyph minus its transparent bottom-left pixel.
  EXPECT_EQ(ColourBounds(*s, clRed), Rect(glyph.X, glyph.Y, glyph.X + 16, glyph.Y + 16));
  // The caption's ink lies inside the caption rectangle.
  TRect ink = InkIn(*s, clBtnFace, {glyph.X + 16, draw.Top, draw.Right, draw.Bottom});
  ASSERT_NE(ink.Right, -1);
  EXPECT_GE(ink.Left, text.Left);
  EXPECT_LE(ink.Right, text.Right + 1);
  EXPECT_GE(ink.Top, text.Top);
  EXPECT_LE(ink.Bottom, text.Bottom);
}

TEST(ButtonCellPixels, TheDisabledButtonDiffersFromTheUpButton) {
  auto bmp = Filled(16, 16, clOlive);
  bmp->Canvas()->Brush()->SetColor(clBlack);
  bmp->Canvas()->FillRect({4, 4, 12, 12});
  TButtonGlyph g;
  g.SetGlyph(bmp.get());
  auto paint = [&](TButtonState State) {
    auto s = Filled(100, 24, clBtnFace);
    s->Canvas()->Font()->SetColor(clBlack);
    g.Draw(s->Canvas(), {0, 0, 100, 24}, {0, 0}, kCaption, blGlyphLeft, -1, 4, State, false, 0);
    return s;
  };
  auto up = paint(bsUp);
  auto disabled = paint(bsDisabled);
  TPoint glyph;
  TRect text;
  g.CalcButtonLayout(up->Canvas(), {0, 0, 100, 24}, {0, 0}, kCaption, blGlyphLeft, -1, 4, glyph, text, 0);
  EXPECT_EQ(up->Canvas()->Pixels(glyph.X + 5, glyph.Y + 5), clBlack);
  EXPECT_EQ(disabled->Canvas()->Pixels(glyph.X + 5, glyph.Y + 5), ColorToRGB(clBtnShadow));
  // The caption is engraved too: no black ink, some highlight.
  EXPECT_EQ(ColourBounds(*disabled, clBlack).Right, -1);
  EXPECT_GT(DifferingPixels(*up, *disabled), 0);
}

} // namespace
