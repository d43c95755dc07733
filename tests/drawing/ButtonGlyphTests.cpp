#include "DrawingTestUtil.h"

using rixtest::DifferingPixels;
using rixtest::Filled;
using rixtest::GlyphOf;
using rixtest::InkIn;

namespace {

struct TStripCase {
  const char* Name;
  int Width, Height, Before, After;
};

class SetGlyphNumGlyphs : public ::testing::TestWithParam<TStripCase> {};

TEST_P(SetGlyphNumGlyphs, FollowsTheStripShape) {
  const TStripCase& c = GetParam();
  TButtonGlyph g;
  g.SetNumGlyphs(c.Before);
  auto bmp = Filled(c.Width, c.Height, clRed);
  g.SetGlyph(bmp.get());
  EXPECT_EQ(g.NumGlyphs(), c.After);
  EXPECT_EQ(g.Glyph()->Width(), c.Width);
}

INSTANTIATE_TEST_SUITE_P(Strips, SetGlyphNumGlyphs,
                         ::testing::Values(TStripCase{"FourSquares", 64, 16, 1, 4},
                                           TStripCase{"FiveSquaresMeansOne", 80, 16, 2, 1},
                                           TStripCase{"NotAMultipleKeepsIt", 50, 16, 3, 3},
                                           TStripCase{"OneSquare", 16, 16, 2, 1},
                                           TStripCase{"ZeroHeightKeepsIt", 16, 0, 2, 2}),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(ButtonGlyph, NumGlyphsOutsideOneToFourRaisesAndChangesNothing) {
  TButtonGlyph g;
  g.SetNumGlyphs(2);
  EXPECT_THROW(g.SetNumGlyphs(-1), ERangeError);
  EXPECT_THROW(g.SetNumGlyphs(5), ERangeError);
  g.SetNumGlyphs(0);  // ignored
  EXPECT_EQ(g.NumGlyphs(), 2);
}

TEST(ButtonGlyph, AGlyphNarrowerThanItsImageCountTakesNoRoomAndDrawsNothing) {
  TButtonGlyph g;
  auto bmp = GlyphOf(3, 16, clRed);
  g.SetGlyph(bmp.get());
  g.SetNumGlyphs(4);
  EXPECT_EQ(g.GlyphSize().X, 0);
  EXPECT_EQ(g.GlyphSize().Y, 0);
  auto s = Filled(40, 20, clBtnFace);
  g.Draw(s->Canvas(), {0, 0, 40, 20}, {0, 0}, "", blGlyphLeft, -1, 4, bsUp, false, 0);
  EXPECT_EQ(g.GlyphList(), nullptr);
  EXPECT_EQ(g.ImageIndex(bsUp), -1);
  EXPECT_EQ(InkIn(*s, clBtnFace).Right, -1);
}

TEST(ButtonGlyph, ChangesOfTheBitmapOrNumGlyphsFireOnChangeAndDropTheImages) {
  TButtonGlyph g;
  int changes = 0;
  TObject* sender = nullptr;
  g.SetOnChange([&](TObject* S) {
    ++changes;
    sender = S;
  });
  auto bmp = GlyphOf(32, 16, clRed);
  g.SetGlyph(bmp.get());
  EXPECT_GE(changes, 1);
  EXPECT_EQ(sender, &g);
  EXPECT_EQ(g.NumGlyphs(), 2);
  auto s = Filled(40, 20, clBtnFace);
  g.Draw(s->Canvas(), {0, 0, 40, 20}, {0, 0}, "", blGlyphLeft, -1, 4, bsUp, false, 0);
  ASSERT_NE(g.ImageIndex(bsUp), -1);
  changes = 0;
  g.Glyph()->Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.ImageIndex(bsUp), -1);
  g.Draw(s->Canvas(), {0, 0, 40, 20}, {0, 0}, "", blGlyphLeft, -1, 4, bsUp, false, 0);
  changes = 0;
  g.SetNumGlyphs(1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.ImageIndex(bsUp), -1);
}

// Draws one state of the glyph at (0, 0) of a button-face bitmap.
std::unique_ptr<TBitmap> StateImage(TButtonGlyph& G, TButtonState State) {
  TPoint sz = G.GlyphSize();
  auto s = Filled(sz.X + 4, sz.Y + 4, clBtnFace);
  TPoint pos;
  TRect text;
  G.CalcButtonLayout(s->Canvas(), {0, 0, sz.X + 4, sz.Y + 4}, {0, 0}, "", blGlyphLeft, 2, 0, pos, text, 0);
  EXPECT_EQ(pos.X, 2);
  G.Draw(s->Canvas(), {0, 0, sz.X + 4, sz.Y + 4}, {0, 0}, "", blGlyphLeft, 2, 0, State, false, 0);
  return s;
}

TEST(ButtonGlyph, OneImageStripSharesTheUpImageForDownAndEmbossesTheDisabledOne) {
  TButtonGlyph g;
  // A black bar on olive (the transparent colour).
  auto bmp = Filled(12, 12, clOlive);
  bmp->Canvas()->Brush()->SetColor(clBlack);
  bmp->Canvas()->FillRect({3, 3, 9, 6});
  g.SetGlyph(bmp.get());
  auto up = StateImage(g, bsUp);
  auto down = StateImage(g, bsDown);
  EXPECT_EQ(g.ImageIndex(bsDown), -1);
  EXPECT_EQ(DifferingPixels(*up, *down), 0);
  EXPECT_EQ(up->Canvas()->Pixels(2 + 4, 2 + 4), clBlack);
  EXPECT_EQ(up->Canvas()->Pixels(2 + 1, 2 + 1), ColorToRGB(clBtnFace));  // olive is transparent

  auto disabled = StateImage(g, bsDisabled);
  EXPECT_NE(g.ImageIndex(bsDisabled), g.ImageIndex(bsUp));
  EXPECT_GT(DifferingPixels(*up, *disabled), 0);
  // The bar in the shadow colour, its highlight one pixel down and right.
  EXPECT_EQ(disabled->Canvas()->Pixels(2 + 3, 2 + 3), ColorToRGB(clBtnShadow));
  EXPECT_EQ(disabled->Canvas()->Pixels(2 + 8, 2 + 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(disabled->Canvas()->Pixels(2 + 9, 2 + 6), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(disabled->Canvas()->Pixels(2 + 4, 2 + 6), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(disabled->Canvas()->Pixels(2 + 1, 2 + 1), ColorToRGB(clBtnFace));
}

TEST(ButtonGlyph, AStripsOwnDisabledImageIsRecolouredToTheButtonColours) {
  TButtonGlyph g;
  // Image 0 red; image 1 has white, grey, a blue mark and the transparent
  // colour olive.
  auto bmp = Filled(24, 12, clOlive);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect({1, 1, 11, 10});
  c->Brush()->SetColor(clWhite);
  c->FillRect({13, 1, 16, 4});
  c->Brush()->SetColor(clGray);
  c->FillRect({16, 1, 19, 4});
  c->Brush()->SetColor(clBlue);
  c->FillRect({19, 5, 22, 8});
  g.SetGlyph(bmp.get());
  ASSERT_EQ(g.NumGlyphs(), 2);
  auto d = StateImage(g, bsDisabled);
  auto at = [&](int X, int Y) { return d->Canvas()->Pixels(2 + X, 2 + Y); };
  EXPECT_EQ(at(2, 2), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(at(5, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(at(7, 6), clBlue);
  EXPECT_EQ(at(0, 0), ColorToRGB(clBtnFace));
  auto e = StateImage(g, bsExclusive);  // no fourth image: the up one
  EXPECT_EQ(e->Canvas()->Pixels(2 + 5, 2 + 5), clRed);
}

} // namespace

namespace {

// The glyph's olive corner over a white cell: the button face shows behind
// it unless the glyph is drawn transparent (always so when exclusive).
TEST(ButtonGlyph, TransparentAndExclusiveDrawingsKeepWhatIsBehindTheGlyph) {
  TButtonGlyph g;
  auto bmp = GlyphOf(16, 16, clRed);
  g.SetGlyph(bmp.get());
  auto corner = [&](TButtonState State, bool Transparent) {
    auto s = Filled(16, 16, clWhite);
    g.Draw(s->Canvas(), {0, 0, 16, 16}, {0, 0}, "", blGlyphLeft, 0, 0, State, Transparent, 0);
    EXPECT_EQ(s->Canvas()->Pixels(5, 5), clRed);
    return s->Canvas()->Pixels(0, 15);
  };
  EXPECT_EQ(corner(bsUp, false), ColorToRGB(clBtnFace));
  EXPECT_EQ(corner(bsUp, true), clWhite);
  EXPECT_EQ(corner(bsExclusive, false), clWhite);
}

TEST(ButtonGlyph, AFixedTransparentColourMasksThatColour) {
  TButtonGlyph g;
  auto bmp = Filled(16, 16, clRed);
  bmp->Canvas()->Brush()->SetColor(clBlue);
  bmp->Canvas()->FillRect({4, 4, 12, 12});
  bmp->SetTransparentColor(clRed);
  g.SetGlyph(bmp.get());
  auto s = Filled(16, 16, clWhite);
  g.Draw(s->Canvas(), {0, 0, 16, 16}, {0, 0}, "", blGlyphLeft, 0, 0, bsUp, true, 0);
  EXPECT_EQ(s->Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(s->Canvas()->Pixels(6, 6), clBlue);
}

} // namespace
