#include "DrawingTestUtil.h"

using rixtest::Filled;
using rixtest::GlyphOf;

namespace {

TEST(Bits, OpenBitFindsTheFirstClearBitAndSettingPastTheEndGrows) {
  TBits b;
  EXPECT_EQ(b.OpenBit(), 0);
  b.SetBits(2, true);
  EXPECT_EQ(b.Size(), 3);
  EXPECT_EQ(b.OpenBit(), 0);
  b.SetBits(0, true);
  b.SetBits(1, true);
  EXPECT_EQ(b.OpenBit(), 3);
  EXPECT_THROW(b.Bits(3), ERangeError);
  EXPECT_THROW(b.SetBits(-1, true), ERangeError);
  EXPECT_THROW(b.SetSize(-2), ERangeError);
}

TEST(GlyphList, FreedSlotsAreReusedBeforeTheListGrows) {
  TGlyphList l(4, 4);
  auto img = Filled(4, 4, clRed);
  EXPECT_EQ(l.AddMasked(img.get(), clNone), 0);
  EXPECT_EQ(l.AddMasked(img.get(), clNone), 1);
  EXPECT_EQ(l.AddMasked(img.get(), clNone), 2);
  l.Delete(1);
  EXPECT_EQ(l.Count(), 2);
  EXPECT_EQ(l.AddMasked(img.get(), clNone), 1);
  EXPECT_EQ(l.SlotCount(), 3);
  EXPECT_EQ(l.Count(), 3);
}

TEST(GlyphList, DeletingAFreeOrUnknownSlotChangesNothing) {
  TGlyphList l(4, 4);
  auto img = Filled(4, 4, clRed);
  l.AddMasked(img.get(), clNone);
  l.Delete(0);
  l.Delete(0);
  l.Delete(7);
  l.Delete(-1);
  EXPECT_EQ(l.Count(), 0);
}

TEST(GlyphCache, OneListPerImageSizeFreedWhenNoSlotIsTaken) {
  TGlyphCache c;
  TGlyphList* a = c.GetList(16, 16);
  EXPECT_EQ(c.GetList(16, 16), a);
  TGlyphList* b = c.GetList(8, 16);
  EXPECT_NE(b, a);
  EXPECT_EQ(c.ListCount(), 2);
  auto img = Filled(16, 16, clRed);
  a->AddMasked(img.get(), clNone);
  c.ReturnList(a);
  EXPECT_EQ(c.ListCount(), 2);
  c.ReturnList(b);
  c.ReturnList(nullptr);
  EXPECT_EQ(c.ListCount(), 1);
  EXPECT_FALSE(c.Empty());
}

class ButtonGlyphCache : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(GlyphCache, nullptr) << "a glyph of an earlier test is still alive"; }
  std::unique_ptr<TBitmap> Surface = Filled(64, 32, clBtnFace);
  void DrawUp(TButtonGlyph& G) { G.Draw(Surface->Canvas(), {0, 0, 64, 32}, {0, 0}, "", blGlyphLeft, -1, 4, bsUp, false, 0); }
};

TEST_F(ButtonGlyphCache, LivesFromTheFirstGlyphUntilOneIsDestroyedWithItEmpty) {
  auto a = std::make_unique<TButtonGlyph>();
  ASSERT_NE(GlyphCache, nullptr);
  TGlyphCache* cache = GlyphCache;
  auto b = std::make_unique<TButtonGlyph>();
  EXPECT_EQ(GlyphCache, cache);
  a.reset();
  EXPECT_EQ(GlyphCache, nullptr);
  b.reset();
  EXPECT_EQ(GlyphCache, nullptr);
}

TEST_F(ButtonGlyphCache, GlyphsOfOneImageSizeShareAListFreedWithTheLastOfThem) {
  auto img = GlyphOf(16, 16, clRed);
  auto a = std::make_unique<TButtonGlyph>();
  auto b = std::make_unique<TButtonGlyph>();
  auto c = std::make_unique<TButtonGlyph>();
  a->SetGlyph(img.get());
  b->SetGlyph(img.get());
  auto wide = GlyphOf(20, 10, clBlue);
  c->SetGlyph(wide.get());
  DrawUp(*a);
  DrawUp(*b);
  DrawUp(*c);
  ASSERT_NE(a->GlyphList(), nullptr);
  EXPECT_EQ(a->GlyphList(), b->GlyphList());
  EXPECT_NE(a->GlyphList(), c->GlyphList());
  EXPECT_EQ(a->GlyphList()->Count(), 2);
  EXPECT_EQ(GlyphCache->ListCount(), 2);
  a.reset();
  EXPECT_EQ(GlyphCache->ListCount(), 2);
  b.reset();
  EXPECT_EQ(GlyphCache->ListCount(), 1);
  c.reset();
  EXPECT_EQ(GlyphCache, nullptr);
}

TEST_F(ButtonGlyphCache, AGlyphOutlivingTheFreedCacheInvalidatesAndDrawsSafely) {
  auto img = GlyphOf(16, 16, clRed);
  auto a = std::make_unique<TButtonGlyph>();
  auto b = std::make_unique<TButtonGlyph>();
  a.reset();  // finds the cache empty and frees it
  ASSERT_EQ(GlyphCache, nullptr);
  b->Invalidate();
  b->SetGlyph(img.get());  // invalidates again
  DrawUp(*b);              // makes the cache anew
  ASSERT_NE(GlyphCache, nullptr);
  EXPECT_NE(b->ImageIndex(bsUp), -1);
  EXPECT_EQ(Surface->Canvas()->Pixels(24, 8), clRed);
  b.reset();
  EXPECT_EQ(GlyphCache, nullptr);
}

} // namespace
