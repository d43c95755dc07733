#include "GraphicsTestUtil.h"

#include <pango/pangocairo.h>

using rixtest::Filled;
using rixtest::InkBounds;

namespace {

// Ink and logical extents of one line as Pango sets it.
struct TExtents {
  PangoRectangle Ink, Logical;
};

TExtents Measure(const TFont& F, const std::string& S) {
  PangoLayout* l = rix::CreateTextLayout(F, S);
  TExtents e;
  pango_layout_get_pixel_extents(l, &e.Ink, &e.Logical);
  g_object_unref(l);
  return e;
}

const std::string kSentence = "The quick brown fox jumps over the lazy dog and keeps on running";

TEST(DrawText, CalcRectWithWordBreakGrowsTheBottomAndKeepsLeftAndTop) {
  TCanvas c;
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  TRect r{10, 20, 90, 25};
  int h = DrawText(c.Handle(), kSentence, -1, r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(r.Left, 10);
  EXPECT_EQ(r.Top, 20);
  EXPECT_LE(r.Right, 90);
  EXPECT_EQ(r.Bottom - r.Top, h);
  EXPECT_GT(h, 2 * tm.tmHeight);
  EXPECT_EQ(h % tm.tmHeight, 0);
  TRect one{10, 20, 90, 25};
  EXPECT_EQ(DrawText(c.Handle(), kSentence, -1, one, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  EXPECT_EQ(one.Right - one.Left, c.TextWidth(kSentence));
}

TEST(DrawText, CalcRectDrawsNothing) {
  auto b = Filled(100, 40, clWhite);
  TRect r{0, 0, 100, 40};
  DrawText(b->Canvas()->Handle(), "Hello", -1, r, DT_CALCRECT);
  EXPECT_EQ(InkBounds(*b, clWhite).Right, -1);
}

TEST(DrawText, JapaneseWrapsBetweenCharactersWithoutSpaces) {
  TCanvas c;
  std::string text = "入力済みの項目を削除してもよいですか？";
  TRect r{0, 0, 60, 0};
  int h = DrawText(c.Handle(), text, -1, r, DT_CALCRECT | DT_WORDBREAK);
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  EXPECT_GE(h, 3 * tm.tmHeight);
  EXPECT_LE(r.Right, 60);
}

TEST(DrawText, RightAlignedSingleLineEndsAtTheRightEdge) {
  auto b = Filled(200, 30, clWhite);
  TCanvas* c = b->Canvas();
  SetBkMode(c->Handle(), TRANSPARENT);
  TRect r{10, 5, 150, 25};
  DrawText(c->Handle(), "Total 1234", -1, r, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  TExtents e = Measure(*c->Font(), "Total 1234");
  int bearing = e.Logical.width - (e.Ink.x + e.Ink.width);  // blank after the last glyph's ink
  int inkRight = InkBounds(*b, clWhite).Right;
  EXPECT_NEAR(inkRight, r.Right - bearing, 1);
  EXPECT_LE(inkRight, r.Right);
}

TEST(DrawText, SingleLineVerticalCentring) {
  auto b = Filled(100, 41, clWhite);
  TCanvas* c = b->Canvas();
  TTextMetric tm;
  GetTextMetrics(c->Handle(), tm);
  for (TRect r : {TRect{0, 0, 100, 41}, TRect{0, 3, 100, 30}, TRect{0, 10, 100, 11 + tm.tmHeight}}) {
    int bottom = DrawText(c->Handle(), "Hg", -1, r, DT_VCENTER | DT_SINGLELINE | DT_CALCRECT * 0);
    int top = r.Top + bottom - tm.tmHeight;
    EXPECT_LE(std::abs((top - r.Top) - (r.Bottom - (top + tm.tmHeight))), 1) << r.Top << ".." << r.Bottom;
  }
  // The ink sits inside the line cell that was centred.
  auto fresh = Filled(100, 41, clWhite);
  SetBkMode(fresh->Canvas()->Handle(), TRANSPARENT);
  TRect r{0, 0, 100, 41};
  int bottom = DrawText(fresh->Canvas()->Handle(), "Hg", -1, r, DT_VCENTER | DT_SINGLELINE);
  TRect ink = InkBounds(*fresh, clWhite);
  EXPECT_GE(ink.Top, bottom - tm.tmHeight);
  EXPECT_LE(ink.Bottom, bottom);
}

TEST(DrawText, BottomAlignmentPutsTheLineOnTheBottomEdge) {
  TCanvas c;
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  TRect r{0, 0, 100, 50};
  EXPECT_EQ(DrawText(c.Handle(), "x", -1, r, DT_BOTTOM | DT_SINGLELINE), 50);
}

TEST(DrawText, JapaneseHasNoMissingGlyphs) {
  TFont f;
  EXPECT_EQ(rix::UnknownGlyphCount(f, "クリップボードに保存"), 0);
  EXPECT_EQ(rix::UnknownGlyphCount(f, "このフォルダにはすでに同名のファイルが存在します。上書きしますか？"), 0);
  auto b = Filled(200, 30, clWhite);
  TRect r{0, 0, 200, 30};
  DrawText(b->Canvas()->Handle(), "クリップボードに保存", -1, r, DT_SINGLELINE);
  EXPECT_GT(InkBounds(*b, clWhite).Right, 50);
}

TEST(DrawText, PrefixesUnderlineAndDoubleAmpersandShowsOne) {
  TCanvas c;
  TRect a{0, 0, 0, 0}, b{0, 0, 0, 0}, n{0, 0, 0, 0};
  DrawText(c.Handle(), "&File && Edit", -1, a, DT_CALCRECT | DT_SINGLELINE);
  DrawText(c.Handle(), "File & Edit", -1, b, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  DrawText(c.Handle(), "&File && Edit", -1, n, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(a.Right, b.Right);
  EXPECT_GT(n.Right, b.Right);
  // The underline shows as ink below the baseline under the F only.
  auto withPrefix = Filled(100, 30, clWhite), plain = Filled(100, 30, clWhite);
  TRect r{2, 2, 100, 30};
  SetBkMode(withPrefix->Canvas()->Handle(), TRANSPARENT);
  SetBkMode(plain->Canvas()->Handle(), TRANSPARENT);
  DrawText(withPrefix->Canvas()->Handle(), "&File", -1, r, DT_SINGLELINE);
  DrawText(plain->Canvas()->Handle(), "File", -1, r, DT_SINGLELINE);
  EXPECT_NE(rixtest::Offenders(*withPrefix, [&](int x, int y, TColor col) { return col == plain->Canvas()->Pixels(x, y); }), "");
}

TEST(DrawText, TabsExpandOnlyWhenAsked) {
  TCanvas c;
  TRect expanded{0, 0, 0, 0}, plain{0, 0, 0, 0};
  DrawText(c.Handle(), "a\tb", -1, expanded, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  DrawText(c.Handle(), "a\tb", -1, plain, DT_CALCRECT | DT_SINGLELINE);
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  EXPECT_GE(expanded.Right, 8 * tm.tmAveCharWidth);
  EXPECT_LT(plain.Right, expanded.Right);
}

TEST(DrawText, LineBreaksCountUnlessSingleLine) {
  TCanvas c;
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  TRect r{0, 0, 100, 0};
  EXPECT_EQ(DrawText(c.Handle(), "one\r\ntwo\nthree", -1, r, DT_CALCRECT), 3 * tm.tmHeight);
  TRect s{0, 0, 100, 0};
  EXPECT_EQ(DrawText(c.Handle(), "one\r\ntwo\nthree", -1, s, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
}

TEST(DrawText, TextIsClippedToTheRectangleUnlessNoClip) {
  auto b = Filled(100, 30, clWhite);
  TCanvas* c = b->Canvas();
  TRect r{0, 0, 20, 30};
  SetBkMode(c->Handle(), TRANSPARENT);
  DrawText(c->Handle(), "Overflowing text", -1, r, DT_SINGLELINE);
  EXPECT_LE(InkBounds(*b, clWhite).Right, 20);
  DrawText(c->Handle(), "Overflowing text", -1, r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBounds(*b, clWhite).Right, 20);
}

TEST(DrawText, CountCutsTheTextWithoutSplittingCharacters) {
  TCanvas c;
  TRect all{0, 0, 0, 0}, part{0, 0, 0, 0}, cut{0, 0, 0, 0};
  DrawText(c.Handle(), "保存", -1, all, DT_CALCRECT | DT_SINGLELINE);
  DrawText(c.Handle(), "保存", 3, part, DT_CALCRECT | DT_SINGLELINE);
  DrawText(c.Handle(), "保存", 4, cut, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_LT(part.Right, all.Right);
  EXPECT_EQ(cut.Right, part.Right);
  TRect bad{0, 0, 0, 0};
  EXPECT_GT(DrawText(c.Handle(), std::string("a\xFF\xFE" "b"), -1, bad, DT_CALCRECT | DT_SINGLELINE), 0);
}

TEST(DrawText, RightToLeftReadingStillHonoursTheAlignment) {
  auto b = Filled(200, 30, clWhite);
  SetBkMode(b->Canvas()->Handle(), TRANSPARENT);
  TRect r{0, 0, 200, 30};
  DrawText(b->Canvas()->Handle(), "abc", -1, r, DT_SINGLELINE | DT_RIGHT | DT_RTLREADING);
  EXPECT_GT(InkBounds(*b, clWhite).Left, 150);
}

TEST(DrawText, OpaqueModePaintsTheBackgroundColourBehindEachLine) {
  auto b = Filled(100, 30, clWhite);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clAqua);
  TRect r{0, 0, 100, 30};
  DrawText(c->Handle(), "ab", -1, r, DT_SINGLELINE);
  EXPECT_EQ(c->Pixels(0, 0), clAqua);
  EXPECT_EQ(c->Pixels(99, 0), clWhite);
}

TEST(DrawText, EndEllipsisShortensALineThatDoesNotFit) {
  TCanvas c;
  TRect r{0, 0, 40, 20};
  DrawText(c.Handle(), kSentence, -1, r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(r.Right, 40);
}

TEST(DrawText, NullDeviceContextAnswersZero) {
  TRect r{};
  EXPECT_EQ(DrawText(nullptr, "x", -1, r, 0), 0);
}

} // namespace
