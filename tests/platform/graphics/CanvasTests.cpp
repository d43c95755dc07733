#include "GraphicsTestUtil.h"

using rixtest::Filled;
using rixtest::Offenders;

namespace {

class RectPixels : public ::testing::TestWithParam<TRect> {};

TEST_P(RectPixels, FillRectCoversExactlyItsPixels) {
  TRect r = GetParam();
  auto b = Filled(20, 20, clWhite);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(r);
  EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor c) { return c == (PtInRect(r, {x, y}) ? clRed : clWhite); }), "");
}

TEST_P(RectPixels, FrameRectCoversExactlyTheInsideRing) {
  TRect r = GetParam();
  auto b = Filled(20, 20, clWhite);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FrameRect(r);
  TRect inner = r;
  InflateRect(inner, -1, -1);
  EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor c) {
    bool ring = PtInRect(r, {x, y}) && !PtInRect(inner, {x, y});
    return c == (ring ? clBlue : clWhite);
  }), "");
}

TEST_P(RectPixels, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  TRect r = GetParam();
  auto b = Filled(20, 20, clWhite);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clLime);
  c->Rectangle(r);
  TRect inner = r;
  InflateRect(inner, -1, -1);
  EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor col) {
    if (PtInRect(inner, {x, y})) return col == clLime;
    if (PtInRect(r, {x, y})) return col == clBlack;
    return col == clWhite;
  }), "");
}

INSTANTIATE_TEST_SUITE_P(Rects, RectPixels,
                         ::testing::Values(TRect{2, 3, 9, 7}, TRect{0, 0, 20, 20}, TRect{5, 5, 6, 6},
                                           TRect{4, 4, 6, 12}, TRect{-3, -3, 4, 4}, TRect{15, 2, 25, 30}),
                         [](const auto& Info) {
                           const TRect& r = Info.param;
                           auto n = [](int v) { return v < 0 ? "m" + std::to_string(-v) : std::to_string(v); };
                           return n(r.Left) + "_" + n(r.Top) + "_" + n(r.Right) + "_" + n(r.Bottom);
                         });

TEST(Canvas, EmptyOrInvertedRectanglesPaintNothing) {
  auto b = Filled(10, 10, clWhite);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect({5, 5, 5, 8});
  b->Canvas()->FillRect({6, 6, 2, 2});
  b->Canvas()->FrameRect({6, 6, 2, 2});
  EXPECT_EQ(Offenders(*b, [](int, int, TColor c) { return c == clWhite; }), "");
}

TEST(Canvas, LineToLeavesOutTheEndPoint) {
  auto b = Filled(12, 12, clWhite);
  TCanvas* c = b->Canvas();
  c->MoveTo(1, 1);
  c->LineTo(6, 1);   // right
  c->LineTo(6, 6);   // down
  c->LineTo(2, 6);   // left
  c->LineTo(2, 2);   // up
  EXPECT_EQ(c->PenPos(), (TPoint{2, 2}));
  std::set<std::pair<int, int>> want;
  for (int x = 1; x < 6; ++x) want.insert({x, 1});
  for (int y = 1; y < 6; ++y) want.insert({6, y});
  for (int x = 6; x > 2; --x) want.insert({x, 6});
  for (int y = 6; y > 2; --y) want.insert({2, y});
  EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor col) { return col == (want.count({x, y}) ? clBlack : clWhite); }), "");
}

TEST(Canvas, DiagonalLineIsOnePixelPerStepWithoutAntialiasing) {
  auto b = Filled(10, 10, clWhite);
  b->Canvas()->MoveTo(0, 0);
  b->Canvas()->LineTo(8, 8);
  EXPECT_EQ(Offenders(*b, [](int x, int y, TColor c) { return c == (x == y && x < 8 ? clBlack : clWhite); }), "");
}

TEST(Canvas, ClippingIsSavedAndRestoredWithTheDeviceContext) {
  auto b = Filled(10, 10, clWhite);
  TCanvas* c = b->Canvas();
  {
    TSaveDC saved(c->Handle());
    EXPECT_EQ(IntersectClipRect(c->Handle(), 2, 2, 5, 5), SIMPLEREGION);
    EXPECT_EQ(c->ClipRect(), (TRect{2, 2, 5, 5}));
    c->Brush()->SetColor(clRed);
    SetBkMode(c->Handle(), TRANSPARENT);
    c->FillRect({0, 0, 10, 10});
  }
  EXPECT_EQ(GetBkMode(c->Handle()), OPAQUE);
  EXPECT_EQ(c->ClipRect(), (TRect{0, 0, 10, 10}));
  EXPECT_EQ(Offenders(*b, [](int x, int y, TColor col) { return col == (PtInRect({2, 2, 5, 5}, {x, y}) ? clRed : clWhite); }), "");
  c->FillRect({0, 0, 1, 1});
  EXPECT_EQ(c->Pixels(0, 0), clRed);
  EXPECT_EQ(IntersectClipRect(c->Handle(), 20, 20, 30, 30), NULLREGION);
}

TEST(Canvas, RestoreDCAcceptsAbsoluteAndRelativeLevels) {
  TCanvas c;
  EXPECT_FALSE(RestoreDC(c.Handle(), -1));
  EXPECT_EQ(SaveDC(c.Handle()), 1);
  EXPECT_EQ(SaveDC(c.Handle()), 2);
  EXPECT_EQ(SaveDC(c.Handle()), 3);
  EXPECT_FALSE(RestoreDC(c.Handle(), 4));
  EXPECT_TRUE(RestoreDC(c.Handle(), -1));
  EXPECT_EQ(c.SavedDCCount(), 2);
  EXPECT_TRUE(RestoreDC(c.Handle(), 1));
  EXPECT_EQ(c.SavedDCCount(), 0);
  EXPECT_EQ(SaveDC(nullptr), 0);
}

TEST(Canvas, OriginShiftsDrawingAndPixelReads) {
  auto b = Filled(10, 10, clWhite);
  TCanvas* c = b->Canvas();
  c->SetOrigin({3, 4});
  c->Brush()->SetColor(clRed);
  c->FillRect({0, 0, 1, 1});
  EXPECT_EQ(c->Pixels(0, 0), clRed);
  c->SetOrigin({0, 0});
  EXPECT_EQ(c->Pixels(3, 4), clRed);
  EXPECT_EQ(c->Pixels(0, 0), clWhite);
  EXPECT_EQ(c->Pixels(10, 0), CLR_INVALID);
}

TEST(Canvas, CopyRectCopiesScalesAndMirrors) {
  auto src = Filled(4, 2, clWhite);
  src->Canvas()->SetPixels(0, 0, clRed);
  src->Canvas()->SetPixels(3, 1, clBlue);
  auto dst = Filled(10, 10, clWhite);
  dst->Canvas()->CopyRect({1, 1, 5, 3}, src->Canvas(), {0, 0, 4, 2});
  EXPECT_EQ(dst->Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(4, 2), clBlue);
  EXPECT_EQ(dst->Canvas()->Pixels(5, 3), clWhite);
  // Left right of Right: a mirrored copy onto the same columns.
  dst->Canvas()->CopyRect({5, 5, 1, 7}, src->Canvas(), {0, 0, 4, 2});
  EXPECT_EQ(dst->Canvas()->Pixels(4, 5), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(1, 6), clBlue);
  // Onto itself, overlapping.
  dst->Canvas()->CopyRect({2, 1, 6, 3}, dst->Canvas(), {1, 1, 5, 3});
  EXPECT_EQ(dst->Canvas()->Pixels(2, 1), clRed);
}

TEST(Canvas, CopyModeInvertXorsThePixels) {
  auto src = Filled(2, 2, 0x00FF00FF);
  auto dst = Filled(2, 2, 0x0000FFFF);
  dst->Canvas()->SetCopyMode(cmSrcInvert);
  dst->Canvas()->CopyRect({0, 0, 2, 2}, src->Canvas(), {0, 0, 2, 2});
  EXPECT_EQ(dst->Canvas()->Pixels(1, 1), 0x00FFFF00);
}

TEST(Canvas, LockNestsAndRefusesAnExtraUnlock) {
  TCanvas c;
  {
    TCanvasLock a(&c);
    TCanvasLock b(&c);
    EXPECT_EQ(c.LockCount(), 2);
  }
  EXPECT_EQ(c.LockCount(), 0);
  EXPECT_THROW(c.Unlock(), EInvalidOperation);
}

TEST(Canvas, OpaqueTextOutFillsTheTextCellWithTheBrush) {
  auto b = Filled(100, 30, clWhite);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clYellow);
  c->TextOut(5, 5, "Ab");
  TSize ext = c->TextExtent("Ab");
  EXPECT_EQ(c->PenPos(), (TPoint{5 + ext.cx, 5}));
  EXPECT_EQ(c->Pixels(5, 5), clYellow);
  EXPECT_EQ(c->Pixels(5 + ext.cx - 1, 5 + ext.cy - 1), clYellow);
  EXPECT_EQ(c->Pixels(5 + ext.cx, 5), clWhite);
  EXPECT_EQ(c->Pixels(4, 5), clWhite);
}

TEST(Canvas, BitmapCanvasDrawingNotifiesTheBitmap) {
  TBitmap b(4, 4);
  int changes = 0;
  b.SetOnChange([&](TObject*) { ++changes; });
  b.Canvas()->FillRect({0, 0, 2, 2});
  EXPECT_GT(changes, 0);
}

} // namespace
