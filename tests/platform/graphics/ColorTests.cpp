#include "GraphicsTestUtil.h"

namespace {

TEST(Colors, SystemColoursResolveAgainstThePalette) {
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
  EXPECT_EQ(ColorToRGB(clBtnShadow), clGray);
  EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
  EXPECT_EQ(ColorToRGB(clHighlight), clNavy);
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
}

TEST(Colors, IdentsRoundTripAndIgnoreCase) {
  for (TColor c : {clWindow, clBtnFace, clHighlight, clHighlightText, clGrayText, clRed, clNone, clDefault, cl3DDkShadow}) {
    auto name = ColorToIdent(c);
    ASSERT_TRUE(name.has_value()) << c;
    EXPECT_EQ(IdentToColor(*name), c);
  }
  EXPECT_EQ(IdentToColor("CLWINDOW"), clWindow);
  EXPECT_FALSE(IdentToColor("clNoSuchColour").has_value());
  EXPECT_FALSE(ColorToIdent(0x123456).has_value());
}

TEST(Colors, StringsGiveNamesOrHex) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(0x00123456), "$00123456");
  EXPECT_EQ(StringToColor("$00123456"), 0x00123456);
  EXPECT_EQ(StringToColor("-2147483643"), clWindow);
  EXPECT_THROW(StringToColor("red"), EConvertError);
  EXPECT_THROW(StringToColor("$"), EConvertError);
}

TEST(Colors, EightBitDisplayDithersColoursOutsideTheStaticPalette) {
  TCanvas canvas;
  EXPECT_EQ(DisplayColorDepth(), 32);
  EXPECT_EQ(GetNearestColor(canvas.Handle(), ColorToRGB(clInfoBk)), ColorToRGB(clInfoBk));
  {
    TDisplayColorDepthGuard depth(8);
    EXPECT_EQ(GetNearestColor(canvas.Handle(), clWhite), clWhite);
    EXPECT_EQ(GetNearestColor(canvas.Handle(), ColorToRGB(clBtnFace)), ColorToRGB(clBtnFace));
    EXPECT_NE(GetNearestColor(canvas.Handle(), ColorToRGB(clInfoBk)), ColorToRGB(clInfoBk));
    EXPECT_NE(GetNearestColor(canvas.Handle(), 0x00E0F0E0), 0x00E0F0E0);
  }
  EXPECT_EQ(DisplayColorDepth(), 32);
  EXPECT_THROW(SetDisplayColorDepth(12), EInvalidOperation);
}

} // namespace
