#include "GraphicsTestUtil.h"

namespace {

TEST(Font, SizeAndHeightFollowNinetySixDpi) {
  TFont f;
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  f.SetHeight(-11);
  EXPECT_EQ(f.Size(), 8);
}

TEST(Font, EveryRealChangeNotifiesOnce) {
  TFont f;
  int changes = 0;
  f.SetOnChange([&](TObject*) { ++changes; });
  f.SetName("Serif");
  f.SetName("Serif");
  f.SetColor(clRed);
  f.SetStyle({fsBold});
  f.SetCharset(SHIFTJIS_CHARSET);
  f.SetPitch(fpFixed);
  f.SetSize(20);
  EXPECT_EQ(changes, 6);
  TFont g;
  g.Assign(f);
  EXPECT_TRUE(g == f);
  f.Assign(g);  // equal: nothing to tell
  EXPECT_EQ(changes, 6);
}

TEST(Font, HandleIdentifiesTheFaceNotTheColour) {
  TFont a, b;
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetColor(clRed);
  EXPECT_EQ(a.Handle(), b.Handle());
  EXPECT_FALSE(a == b);
  b.SetStyle({fsBold});
  EXPECT_NE(a.Handle(), b.Handle());
  b.SetStyle({});
  EXPECT_EQ(a.Handle(), b.Handle());
}

TEST(Font, AssignFromAnotherClassRaises) {
  TFont f;
  TBrush b;
  EXPECT_THROW(f.Assign(&b), EConvertError);
}

TEST(Font, MetricsAreConsistentAndGrowWithSize) {
  TCanvas c;
  TTextMetric small, large;
  ASSERT_TRUE(GetTextMetrics(c.Handle(), small));
  EXPECT_EQ(small.tmHeight, small.tmAscent + small.tmDescent);
  EXPECT_GE(small.tmHeight, 12);
  EXPECT_GT(small.tmAveCharWidth, 0);
  EXPECT_GE(small.tmMaxCharWidth, small.tmAveCharWidth);
  EXPECT_EQ(small.tmHeight - small.tmInternalLeading, 12);
  EXPECT_EQ(c.TextHeight("Hg"), small.tmHeight);
  c.Font()->SetSize(24);
  ASSERT_TRUE(GetTextMetrics(c.Handle(), large));
  EXPECT_GT(large.tmHeight, small.tmHeight);
  EXPECT_GT(c.TextWidth("Hello"), 0);
}

TEST(Font, PositiveHeightIsTheCellHeight) {
  TCanvas c;
  c.Font()->SetHeight(20);
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  EXPECT_NEAR(tm.tmHeight, 20, 1);
}

TEST(Font, StreamingIdentsRoundTrip) {
  EXPECT_EQ(CharsetToIdent(SHIFTJIS_CHARSET), "SHIFTJIS_CHARSET");
  EXPECT_EQ(IdentToCharset("default_charset"), DEFAULT_CHARSET);
  EXPECT_FALSE(IdentToCharset("KLINGON_CHARSET").has_value());
  EXPECT_EQ(IdentToFontPitch(FontPitchToIdent(fpFixed)), fpFixed);
  EXPECT_EQ(IdentToFontStyle(FontStyleToIdent(fsStrikeOut)), fsStrikeOut);
}

TEST(Brush, ColourMakesAClearBrushSolid) {
  TBrush b;
  b.SetStyle(bsClear);
  b.SetColor(clRed);
  EXPECT_EQ(b.Style(), bsSolid);
}

} // namespace
