#include "GraphicsTestUtil.h"

using rixtest::Filled;
using rixtest::Offenders;

namespace {

TEST(DrawEdge, RaisedInnerPaintsShadowBottomRightAndHighlightTopLeft) {
  auto b = Filled(12, 10, clGreen);
  TRect r{1, 1, 11, 9};
  DrawEdge(b->Canvas()->Handle(), r, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
  DrawEdge(b->Canvas()->Handle(), r, BDR_RAISEDINNER, BF_TOPLEFT);
  TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
  EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor c) {
    if (!PtInRect(r, {x, y})) return c == clGreen;
    if (x == r.Left || y == r.Top) return c == hi;  // drawn last, owns the corners
    if (x == r.Right - 1 || y == r.Bottom - 1) return c == sh;
    return c == clGreen;
  }), "");
}

TEST(DrawEdge, SunkenEdgeWithAdjustAndMiddle) {
  auto b = Filled(10, 10, clGreen);
  TRect r{0, 0, 10, 10};
  DrawEdge(b->Canvas()->Handle(), r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE);
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  TCanvas* c = b->Canvas();
  EXPECT_EQ(c->Pixels(0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(c->Pixels(9, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(c->Pixels(1, 5), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(c->Pixels(8, 5), ColorToRGB(cl3DLight));
  EXPECT_EQ(c->Pixels(5, 5), ColorToRGB(clBtnFace));
}

TEST(DrawFocusRect, DrawnTwiceLeavesTheCanvasUnchanged) {
  auto b = Filled(30, 20, clWhite);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clTeal);
  c->FillRect({4, 4, 20, 15});
  c->TextOut(6, 4, "Ab");
  auto before = std::make_unique<TBitmap>();
  before->Assign(b.get());
  for (TRect r : {TRect{2, 3, 17, 12}, TRect{5, 5, 6, 9}, TRect{0, 0, 30, 20}}) {
    DrawFocusRect(c->Handle(), r);
    EXPECT_NE(Offenders(*b, [&](int x, int y, TColor col) { return col == before->Canvas()->Pixels(x, y); }), "");
    DrawFocusRect(c->Handle(), r);
    EXPECT_EQ(Offenders(*b, [&](int x, int y, TColor col) { return col == before->Canvas()->Pixels(x, y); }), "");
  }
}

TEST(DrawFocusRect, IsDottedAlongTheInsideRing) {
  auto b = Filled(10, 10, clWhite);
  DrawFocusRect(b->Canvas()->Handle(), {1, 1, 9, 9});
  TCanvas* c = b->Canvas();
  EXPECT_EQ(c->Pixels(1, 1), clBlack);
  EXPECT_EQ(c->Pixels(2, 1), clWhite);
  EXPECT_EQ(c->Pixels(3, 1), clBlack);
  EXPECT_EQ(c->Pixels(0, 0), clWhite);
  EXPECT_EQ(c->Pixels(4, 4), clWhite);
}

TEST(DrawFrameControl, CheckedBoxDiffersFromUncheckedInsideTheBoxOnly) {
  auto unchecked = Filled(40, 20, clYellow);
  auto checked = Filled(40, 20, clYellow);
  TRect cell{0, 0, 40, 20};
  TRect r1 = cell, r2 = cell;
  DrawFrameControl(unchecked->Canvas()->Handle(), r1, DFC_BUTTON, 0);
  DrawFrameControl(checked->Canvas()->Handle(), r2, DFC_BUTTON, DFCS_CHECKED);
  TRect box{10, 0, 30, 20};  // the square of the smaller side, centred
  TRect inside = box;
  InflateRect(inside, -2, -2);
  bool anyDiff = false;
  EXPECT_EQ(Offenders(*checked, [&](int x, int y, TColor c) {
    TColor u = unchecked->Canvas()->Pixels(x, y);
    if (c != u) anyDiff = true;
    return c == u || PtInRect(inside, {x, y});
  }), "");
  EXPECT_TRUE(anyDiff);
  EXPECT_EQ(unchecked->Canvas()->Pixels(5, 10), clYellow);
  EXPECT_EQ(unchecked->Canvas()->Pixels(box.Left, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(unchecked->Canvas()->Pixels(20, 10), ColorToRGB(clWindow));
}

struct TCheckCase {
  const char* Name;
  unsigned State;
  TColor Inside;  // a pixel near the inside corner
};

class CheckStates : public ::testing::TestWithParam<TCheckCase> {};

TEST_P(CheckStates, BackgroundFollowsTheState) {
  auto b = Filled(13, 13, clYellow);
  TRect r{0, 0, 13, 13};
  DrawFrameControl(b->Canvas()->Handle(), r, DFC_BUTTON, GetParam().State);
  EXPECT_EQ(b->Canvas()->Pixels(3, 2), ColorToRGB(GetParam().Inside));
}

INSTANTIATE_TEST_SUITE_P(States, CheckStates,
                         ::testing::Values(TCheckCase{"Unchecked", 0, clWindow},
                                           TCheckCase{"Checked", DFCS_CHECKED, clWindow},
                                           TCheckCase{"Inactive", DFCS_INACTIVE, clBtnFace},
                                           TCheckCase{"Grayed", DFCS_BUTTON3STATE | DFCS_CHECKED, clBtnFace},
                                           TCheckCase{"Pushed", DFCS_PUSHED, clBtnFace}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(DrawFrameControl, PushButtonAdjustsToItsFace) {
  auto b = Filled(30, 20, clYellow);
  TRect r{0, 0, 30, 20};
  DrawFrameControl(b->Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(r, (TRect{2, 2, 28, 18}));
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), ColorToRGB(cl3DLight));
  EXPECT_EQ(b->Canvas()->Pixels(29, 19), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(b->Canvas()->Pixels(15, 10), ColorToRGB(clBtnFace));
  TRect p{0, 0, 30, 20};
  DrawFrameControl(b->Canvas()->Handle(), p, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(p, (TRect{0, 0, 30, 20}));
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), ColorToRGB(clBtnShadow));
}

TEST(DrawFrameControl, ScrollArrowsPointTheirWay) {
  auto left = Filled(16, 16, clYellow), right = Filled(16, 16, clYellow);
  TRect r1{0, 0, 16, 16}, r2 = r1;
  DrawFrameControl(left->Canvas()->Handle(), r1, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_FLAT);
  DrawFrameControl(right->Canvas()->Handle(), r2, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_FLAT);
  TColor text = ColorToRGB(clBtnText);
  // The arrow's tip column has one pixel; its base column the most.
  auto column = [&](TBitmap& b, int x) {
    int n = 0;
    for (int y = 2; y < 14; ++y) n += b.Canvas()->Pixels(x, y) == text;
    return n;
  };
  int firstL = -1, lastL = -1;
  for (int x = 2; x < 14; ++x)
    if (column(*left, x) > 0) {
      if (firstL < 0) firstL = x;
      lastL = x;
    }
  ASSERT_GE(firstL, 0);
  EXPECT_LT(column(*left, firstL), column(*left, lastL));
  int firstR = -1, lastR = -1;
  for (int x = 2; x < 14; ++x)
    if (column(*right, x) > 0) {
      if (firstR < 0) firstR = x;
      lastR = x;
    }
  EXPECT_GT(column(*right, firstR), column(*right, lastR));
  EXPECT_FALSE(DrawFrameControl(left->Canvas()->Handle(), r1, DFC_CAPTION, 0));
}

TEST(SystemMetrics, ScrollBarsAndBorders) {
  EXPECT_EQ(GetSystemMetrics(SM_CXHSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
  EXPECT_EQ(GetSystemMetrics(9999), 0);
}

} // namespace
