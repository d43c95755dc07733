// The popup menu the SDL host draws: keys, the mouse, placement and look.
#include "platform/graphics/Colors.h"
#include "platform/hosts/Hosts.h"

#include <cairo.h>
#include <gtest/gtest.h>

namespace {
TMenuModel BlobLikeMenu() {
  return TMenuModel({{"保存"}, {"読み込み", false}, {"-"}, {"ファイル(&F)"}, {"終了"}});
}
} // namespace

TEST(MenuModel, KeysSkipSeparatorsAndDisabledItemsAndEnterOrEscapeClose) {
  TMenuModel m = BlobLikeMenu();
  EXPECT_EQ(m.Highlighted(), -1);
  EXPECT_FALSE(m.Key(VK_RETURN)); // nothing highlighted yet
  m.Key(VK_DOWN);
  EXPECT_EQ(m.Highlighted(), 0);
  m.Key(VK_DOWN); // past the disabled item and the separator
  EXPECT_EQ(m.Highlighted(), 3);
  m.Key(VK_UP);
  EXPECT_EQ(m.Highlighted(), 0);
  m.Key(VK_UP); // wraps
  EXPECT_EQ(m.Highlighted(), 4);
  m.Key(VK_HOME);
  EXPECT_EQ(m.Highlighted(), 0);
  EXPECT_TRUE(m.Key(VK_RETURN));
  EXPECT_EQ(m.Chosen(), 0);

  TMenuModel e = BlobLikeMenu();
  e.Key(VK_DOWN);
  EXPECT_TRUE(e.Key(VK_ESCAPE));
  EXPECT_EQ(e.Chosen(), -1);
  TMenuModel a = BlobLikeMenu();
  EXPECT_TRUE(a.Key('F')); // the accelerator
  EXPECT_EQ(a.Chosen(), 3);
}

TEST(MenuModel, TheMouseChoosesEnabledItemsAndAPressOutsideDismisses) {
  TMenuModel m = BlobLikeMenu();
  TRect save = m.ItemRect(0), load = m.ItemRect(1), line = m.ItemRect(2);
  EXPECT_LT(line.Height(), save.Height());
  EXPECT_EQ(load.Top, save.Bottom);
  m.MouseMove({load.Left + 5, load.Top + 3});
  EXPECT_EQ(m.Highlighted(), -1); // disabled
  EXPECT_FALSE(m.MouseDown({load.Left + 5, load.Top + 3}));
  EXPECT_FALSE(m.MouseUp({load.Left + 5, load.Top + 3}));
  EXPECT_FALSE(m.MouseUp({line.Left + 5, line.Top + 3}));
  m.MouseMove({save.Left + 5, save.Top + 3});
  EXPECT_EQ(m.Highlighted(), 0);
  EXPECT_TRUE(m.MouseUp({save.Left + 5, save.Top + 3}));
  EXPECT_EQ(m.Chosen(), 0);

  TMenuModel o = BlobLikeMenu();
  EXPECT_TRUE(o.MouseDown({o.Size().cx + 5, 2}));
  EXPECT_EQ(o.Chosen(), -1);
}

TEST(MenuModel, ItStaysInsideTheWindowAndPaintsTheHighlight) {
  TMenuModel m = BlobLikeMenu();
  TSize s = m.Size();
  EXPECT_EQ(m.PlaceAt({10, 20}, {400, 300}).X, 10);
  TPoint flipped = m.PlaceAt({395, 295}, {400, 300});
  EXPECT_EQ(flipped.X, 395 - s.cx);
  EXPECT_EQ(flipped.Y, 295 - s.cy);
  m.Key(VK_DOWN);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.cx, s.cy);
  {
    TCanvas c(surface);
    m.Paint(c);
    TRect hot = m.ItemRect(0);
    EXPECT_EQ(c.Pixels(hot.Left + 2, hot.Bottom - 2), ColorToRGB(clHighlight));
    // Below the highlight, no item's text sits on the highlight's colour.
    for (int i = 3; i <= 4; ++i) {
      TRect cold = m.ItemRect(i);
      for (int y = cold.Top; y < cold.Bottom; ++y)
        for (int x = cold.Left; x < cold.Right; ++x) ASSERT_NE(c.Pixels(x, y), ColorToRGB(clHighlight)) << i;
    }
  }
  cairo_surface_destroy(surface);
}
