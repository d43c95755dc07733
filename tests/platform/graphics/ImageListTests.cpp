#include "GraphicsTestUtil.h"

using rixtest::Filled;
using rixtest::Offenders;

namespace {

// A 6 x 11 black-on-white arrow like the grid's indicator.
std::unique_ptr<TBitmap> ArrowBitmap() {
  auto b = Filled(6, 11, clWhite);
  for (int y = 0; y < 11; ++y) {
    int len = y < 6 ? y + 1 : 11 - y;
    for (int x = 0; x < len; ++x) b->Canvas()->SetPixels(x, y, clBlack);
  }
  return b;
}

bool IsArrow(int x, int y) { return x < (y < 6 ? y + 1 : 11 - y); }

TEST(ImageList, MaskedImageLeavesTheWhitePixelsTransparent) {
  TImageList list(6, 11);
  auto arrow = ArrowBitmap();
  EXPECT_EQ(list.AddMasked(arrow.get(), clWhite), 0);
  EXPECT_EQ(list.Count(), 1);
  auto target = Filled(20, 20, clTeal);
  list.Draw(target->Canvas(), 3, 4, 0, true);
  EXPECT_EQ(Offenders(*target, [](int x, int y, TColor c) {
    bool in = x >= 3 && x < 9 && y >= 4 && y < 15 && IsArrow(x - 3, y - 4);
    return c == (in ? clBlack : clTeal);
  }), "");
}

TEST(ImageList, BkColorFillsBehindTheImage) {
  TImageList list(6, 11);
  auto arrow = ArrowBitmap();
  list.AddMasked(arrow.get(), clWhite);
  list.SetBkColor(clSilver);
  auto target = Filled(20, 20, clTeal);
  list.Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(target->Canvas()->Pixels(5, 0), clSilver);
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(target->Canvas()->Pixels(6, 0), clTeal);
}

TEST(ImageList, DisabledImageIsEngraved) {
  TImageList list(6, 11);
  auto arrow = ArrowBitmap();
  list.AddMasked(arrow.get(), clWhite);
  auto target = Filled(20, 20, clTeal);
  list.Draw(target->Canvas(), 2, 2, 0, false);
  TColor sh = ColorToRGB(clBtnShadow), hi = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(Offenders(*target, [&](int x, int y, TColor c) {
    int ix = x - 2, iy = y - 2;
    bool inList = ix >= 0 && ix < 6 && iy >= 0 && iy < 11;
    bool shape = inList && IsArrow(ix, iy);
    bool shifted = inList && ix >= 1 && iy >= 1 && IsArrow(ix - 1, iy - 1);
    return c == (shape ? sh : shifted ? hi : clTeal);
  }), "");
}

TEST(ImageList, StripsAreCutIntoImagesAndSlotsReplaced) {
  TImageList list(4, 4);
  auto strip = Filled(12, 4, clRed);
  strip->Canvas()->Brush()->SetColor(clBlue);
  strip->Canvas()->FillRect({4, 0, 8, 4});
  EXPECT_EQ(list.AddMasked(strip.get(), clNone), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Add(nullptr, nullptr), 3);
  auto target = Filled(8, 8, clWhite);
  list.Draw(target->Canvas(), 0, 0, 1);
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), clBlue);
  list.Draw(target->Canvas(), 0, 0, 3);  // the empty slot draws nothing
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), clBlue);
  auto green = Filled(4, 4, clGreen);
  list.ReplaceMasked(3, green.get(), clNone);
  list.Draw(target->Canvas(), 0, 0, 3);
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), clGreen);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_THROW(list.Draw(target->Canvas(), 0, 0, 3), EInvalidOperation);
  EXPECT_FALSE(ImageList_DrawEx(&list, 7, target->Canvas()->Handle(), 0, 0, 0, 0, clNone, clNone, ILD_NORMAL));
}

TEST(ImageList, DefaultMaskColourIsTheBitmapsTransparentColour) {
  TImageList list(3, 3);
  auto b = Filled(3, 3, clOlive);
  b->Canvas()->SetPixels(1, 1, clRed);
  list.AddMasked(b.get(), clDefault);
  auto target = Filled(3, 3, clWhite);
  list.Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clRed);
}

TEST(ImageList, ResizingDropsTheImages) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  list.Add(nullptr, nullptr);
  list.SetWidth(8);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_THROW(list.SetHeight(0), EInvalidOperation);
}

TEST(ImageList, OwnerFreesIt) {
  TComponent owner(nullptr);
  auto* list = new TImageList(4, 4, &owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  (void)list;
}

} // namespace
