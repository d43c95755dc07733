#include "GraphicsTestUtil.h"

#include <string>

namespace {

// The caches stay within their bounds whatever is measured, and answer what
// measuring afresh answers, for the same text in another font or width too.
TEST(TextCache, StaysBoundedAndAnswersAsMeasuringAfresh) {
  rix::SetTextCachesEnabled(true);
  TFont regular, bold;
  bold.SetStyle(TFontStyles{fsBold});
  const std::string text = "Cached text 123";
  const int plainWidth = rix::TextLineWidth(regular, text);
  EXPECT_EQ(rix::TextLineWidth(regular, text), plainWidth);
  EXPECT_NE(rix::TextLineWidth(bold, text), plainWidth) << "the font is part of the key";

  TCanvas c;
  auto lines = [&](int Width) {
    TRect r{0, 0, Width, 0};
    return DrawText(c.Handle(), "wrapped words in a narrow box", -1, r, DT_CALCRECT | DT_WORDBREAK);
  };
  const int narrow = lines(40), wide = lines(400);
  EXPECT_GT(narrow, wide) << "the width is part of the key";
  EXPECT_EQ(lines(40), narrow);

  const rix::TTextCacheLimits& limits = rix::TextCacheLimits();
  for (std::size_t i = 0; i < limits.MaxEntries + 100; ++i) rix::TextLineWidth(regular, "n" + std::to_string(i));
  EXPECT_LE(rix::TextCacheEntries(), 2 * limits.MaxEntries);
  const std::string big(limits.MaxTextBytes + 1, 'x');
  const std::size_t before = rix::TextCacheEntries();
  rix::TextLineWidth(regular, big);
  EXPECT_EQ(rix::TextCacheEntries(), before) << "a long text is measured, not kept";
  for (int i = 0; i < 300; ++i) rix::TextLineWidth(regular, std::string(limits.MaxTextBytes, 'a' + i % 26) + std::to_string(i));
  EXPECT_LE(rix::TextCacheBytes(), 2 * limits.MaxBytes);
  // Laid-out texts cost far more than their widths: their memory, not
  // their number, bounds them.
  rix::ClearTextCaches();
  for (std::size_t i = 0; i < limits.MaxEntries; ++i) {
    TRect r{0, 0, 200, 20};
    DrawText(c.Handle(), "cell " + std::to_string(i), -1, r, DT_SINGLELINE);
  }
  // (each of the three caches, widths, layouts and line masks, within its bound)
  EXPECT_LE(rix::TextCacheBytes(), 2 * limits.MaxBytes + limits.MaxMaskBytes);
  EXPECT_LT(rix::TextCacheEntries(), 2 * limits.MaxEntries);
  EXPECT_GT(rix::TextCacheEntries(), 1000u) << "a full-HD frame of short cells still fits";

  rix::SetTextCachesEnabled(false);
  EXPECT_EQ(rix::TextCacheEntries(), 0u);
  EXPECT_EQ(rix::TextLineWidth(regular, text), plainWidth);
  EXPECT_EQ(lines(40), narrow);
  EXPECT_EQ(rix::TextCacheEntries(), 0u);
  rix::SetTextCachesEnabled(true);
}

} // namespace
