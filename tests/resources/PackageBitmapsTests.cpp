#include "resources/PackageBitmaps.h"

#include <gtest/gtest.h>

namespace {

TEST(PackageBitmaps, IndicatorsAreSixByElevenAndArrowsSevenBySeven) {
  for (const char* n : {bmArrow, bmEdit, bmInsert, bmMultiDot, bmMultiArrow}) {
    const auto* b = rix::FindPackageBitmap(n);
    ASSERT_NE(b, nullptr) << n;
    EXPECT_EQ(b->Width(), 6) << n;
    EXPECT_EQ(b->Height(), 11) << n;
    EXPECT_EQ(b->BitsPerPixel, 1) << n;
    for (const auto& row : b->Rows) EXPECT_EQ(row.size(), 6u) << n;
  }
  for (const char* n : {bmAscArrow, bmDscArrow}) {
    const auto* b = rix::FindPackageBitmap(n);
    ASSERT_NE(b, nullptr) << n;
    EXPECT_EQ(b->Width(), 7) << n;
    EXPECT_EQ(b->Height(), 7) << n;
    EXPECT_EQ(b->BitsPerPixel, 4) << n;
  }
  EXPECT_EQ(rix::FindPackageBitmap("RIXDBNONE"), nullptr);
}

TEST(PackageBitmaps, ArrowsPointTheRightWay) {
  const auto* asc = rix::FindPackageBitmap(bmAscArrow);
  const auto* dsc = rix::FindPackageBitmap(bmDscArrow);
  // Up arrow: apex on row 1, base on row 4; down arrow mirrors it.
  EXPECT_TRUE(asc->Black(3, 0));
  EXPECT_FALSE(asc->Black(2, 0));
  for (int x = 0; x < 7; ++x) EXPECT_TRUE(asc->Black(x, 3));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(asc->Black(x, y), dsc->Black(x, 6 - y)) << x << "," << y;
  const auto* arrow = rix::FindPackageBitmap(bmArrow);
  for (int x = 0; x < 6; ++x) EXPECT_TRUE(arrow->Black(x, 5));
}

} // namespace
