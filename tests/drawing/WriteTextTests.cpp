#include "DrawingTestUtil.h"

using rixtest::Filled;
using rixtest::InkIn;
using rixtest::Metrics;

namespace {

const std::string kLong = "The quick brown fox jumps over the lazy dog and keeps on running far away";

// The pixels of Area that differ between two equally sized bitmaps.
int DifferingIn(TBitmap& A, TBitmap& B, const TRect& Area) {
  int n = 0;
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x)
      if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) ++n;
  return n;
}

void Prepare(TCanvas* C, TColor Brush) {
  C->Brush()->SetColor(Brush);
  C->Font()->SetColor(clBlack);
}

TEST(WriteText, MarginsOfTwoPutSingleLineLeftTextTwoPixelsFromTheCellEdge) {
  const TRect cell{10, 10, 110, 34};
  auto s = Filled(120, 44, clYellow);
  Prepare(s->Canvas(), clWhite);
  WriteText(s->Canvas(), cell, 2, 2, "Hello", taLeftJustify, tavCenter, false, false);
  // The cell is filled, the text set at its left margin, centred in the
  // room between the top and bottom margins.
  EXPECT_EQ(s->Canvas()->Pixels(cell.Left, cell.Top), clWhite);
  EXPECT_EQ(s->Canvas()->Pixels(cell.Right - 1, cell.Bottom - 1), clWhite);
  auto ref = Filled(120, 44, clWhite);
  Prepare(ref->Canvas(), clWhite);
  SetBkMode(ref->Canvas()->Handle(), TRANSPARENT);
  int tmHeight = Metrics(ref->Canvas()).tmHeight;
  ref->Canvas()->TextOut(cell.Left + 2, cell.Top + 2 + (cell.Height() - 4) / 2 - tmHeight / 2, "Hello");
  TRect ink = InkIn(*s, clWhite, cell), want = InkIn(*ref, clWhite);
  ASSERT_NE(want.Right, -1);
  EXPECT_EQ(ink, want);
}

TEST(WriteText, WrappedBottomAlignedTextTallerThanTheCellEndsAtTheBottomAndStaysInTheCell) {
  const TRect cell{20, 60, 80, 90};
  auto s = Filled(100, 120, clYellow);
  Prepare(s->Canvas(), clWhite);
  WriteText(s->Canvas(), cell, 2, 2, kLong, taLeftJustify, tavBottom, true, false);

  // Where the whole text would stand: its last line on the bottom margin.
  auto ref = Filled(100, 120, clWhite);
  Prepare(ref->Canvas(), clWhite);
  TRect measure{22, 0, 78, 0};
  int h = DrawText(ref->Canvas()->Handle(), kLong, -1, measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  ASSERT_GT(h, cell.Height());
  TRect at{22, 88 - h, 78, 88};
  ASSERT_LT(at.Top, cell.Top);
  DrawText(ref->Canvas()->Handle(), kLong, -1, at, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  EXPECT_EQ(DifferingIn(*s, *ref, cell), 0);
  // Nothing above the cell.
  EXPECT_EQ(InkIn(*s, clYellow, {0, 0, 100, cell.Top}).Right, -1);
}

struct TWrapCase {
  const char* Name;
  TAlignmentV V;
};

class WrappedShortText : public ::testing::TestWithParam<TWrapCase> {};

TEST_P(WrappedShortText, IsPlacedByItsMeasuredHeight) {
  const TRect cell{0, 0, 200, 60};
  auto s = Filled(200, 60, clWhite);
  Prepare(s->Canvas(), clWhite);
  WriteText(s->Canvas(), cell, 2, 2, "Hi there", taLeftJustify, GetParam().V, true, false);
  int tm = Metrics(s->Canvas()).tmHeight;
  int top = GetParam().V == tavTop ? 2 : GetParam().V == tavBottom ? 58 - tm : 2 - (tm / 2 - 56 / 2);
  auto ref = Filled(200, 60, clWhite);
  Prepare(ref->Canvas(), clWhite);
  SetBkMode(ref->Canvas()->Handle(), TRANSPARENT);
  ref->Canvas()->TextOut(2, top, "Hi there");
  EXPECT_EQ(InkIn(*s, clWhite), InkIn(*ref, clWhite));
}

INSTANTIATE_TEST_SUITE_P(Vertical, WrappedShortText,
                         ::testing::Values(TWrapCase{"Top", tavTop}, TWrapCase{"Center", tavCenter},
                                           TWrapCase{"Bottom", tavBottom}),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(WriteText, RightAlignedWrappedTextEndsAtTheRightMargin) {
  const TRect cell{0, 0, 80, 100};
  auto s = Filled(80, 100, clWhite);
  Prepare(s->Canvas(), clWhite);
  WriteText(s->Canvas(), cell, 3, 2, kLong, taRightJustify, tavTop, true, false);
  TRect ink = InkIn(*s, clWhite);
  ASSERT_NE(ink.Right, -1);
  EXPECT_LE(ink.Right, 77 + 1);
  EXPECT_GE(ink.Right, 77 - 3);
  EXPECT_GE(ink.Left, 3);
}

TEST(WriteText, ARightToLeftCanvasMirrorsTheAlignmentUnlessTheTextReadsRightToLeft) {
  auto draw = [](bool RightToLeft) {
    auto s = Filled(200, 24, clWhite);
    Prepare(s->Canvas(), clWhite);
    s->Canvas()->SetCanvasOrientation(coRightToLeft);
    WriteText(s->Canvas(), {0, 0, 200, 24}, 2, 2, "abc", taLeftJustify, tavCenter, false, RightToLeft);
    return InkIn(*s, clWhite);
  };
  EXPECT_GT(draw(false).Left, 150);
  EXPECT_LT(draw(true).Right, 50);
}

TEST(WriteText, AlignmentOutOfRangeRaises) {
  auto s = Filled(20, 20, clWhite);
  EXPECT_THROW(WriteText(s->Canvas(), {0, 0, 20, 20}, 2, 2, "x", static_cast<TAlignment>(7), tavTop, false, false),
               ERangeError);
  EXPECT_THROW(WriteText(s->Canvas(), {0, 0, 20, 20}, 2, 2, "x", taCenter, static_cast<TAlignmentV>(-1), false, false),
               ERangeError);
}

// ---- the shared bitmap -----------------------------------------------------------

class SharedBitmap : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(UserCount(), 0); }
  void TearDown() override {
    while (UserCount() > 0) ReleaseBitmap();
  }
};

TEST_F(SharedBitmap, LivesFromTheFirstUserToTheLastAndNeverCountsBelowZero) {
  ReleaseBitmap();
  EXPECT_EQ(UserCount(), 0);
  UsesBitmap();
  TBitmap* first = DrawBitmap();
  ASSERT_NE(first, nullptr);
  UsesBitmap();
  EXPECT_EQ(DrawBitmap(), first);
  EXPECT_EQ(UserCount(), 2);
  ReleaseBitmap();
  EXPECT_NE(DrawBitmap(), nullptr);
  ReleaseBitmap();
  EXPECT_EQ(DrawBitmap(), nullptr);
  ReleaseBitmap();
  EXPECT_EQ(UserCount(), 0);
  UsesBitmap();
  EXPECT_NE(DrawBitmap(), nullptr);
  EXPECT_EQ(UserCount(), 1);
}

// A colour the 8-bit display cannot show solid.
const TColor kDithered = RGB(0x46, 0x82, 0xB4);

TEST_F(SharedBitmap, ADitheredBrushDrawsThroughTheBitmapAlwaysWrappedAndTopAligned) {
  TDisplayColorDepthGuard depth(8);
  TDrawBitmapUse grid;
  const TRect cell{10, 10, 90, 90};
  auto s = Filled(100, 100, clYellow);
  Prepare(s->Canvas(), kDithered);
  ASSERT_NE(GetNearestColor(s->Canvas()->Handle(), kDithered), kDithered);
  // Single line and bottom alignment asked for; neither is honoured.
  WriteText(s->Canvas(), cell, 2, 2, kLong, taLeftJustify, tavBottom, false, false);
  EXPECT_GE(DrawBitmap()->Width(), 80);
  EXPECT_GE(DrawBitmap()->Height(), 80);

  auto ref = Filled(80, 80, kDithered);
  Prepare(ref->Canvas(), kDithered);
  SetBkMode(ref->Canvas()->Handle(), TRANSPARENT);
  TRect r{2, 2, 79, 79};
  DrawText(ref->Canvas()->Handle(), kLong, -1, r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  int diff = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x)
      if (s->Canvas()->Pixels(cell.Left + x, cell.Top + y) != ref->Canvas()->Pixels(x, y)) ++diff;
  EXPECT_EQ(diff, 0);
  TRect ink = InkIn(*s, kDithered, cell);
  int tm = Metrics(s->Canvas()).tmHeight;
  EXPECT_LT(ink.Top, cell.Top + 2 + tm);
  EXPECT_GT(ink.Bottom - ink.Top, 2 * tm);
  EXPECT_EQ(s->Canvas()->Pixels(9, 9), clYellow);
}

TEST_F(SharedBitmap, GrowsToTheLargestCellAndNeverShrinks) {
  TDisplayColorDepthGuard depth(8);
  TDrawBitmapUse grid;
  auto s = Filled(200, 100, clWhite);
  Prepare(s->Canvas(), kDithered);
  WriteText(s->Canvas(), {0, 0, 150, 30}, 2, 2, "a", taLeftJustify, tavTop, false, false);
  WriteText(s->Canvas(), {0, 0, 40, 70}, 2, 2, "a", taLeftJustify, tavTop, false, false);
  EXPECT_EQ(DrawBitmap()->Width(), 150);
  EXPECT_EQ(DrawBitmap()->Height(), 70);
  WriteText(s->Canvas(), {0, 0, 10, 10}, 2, 2, "a", taLeftJustify, tavTop, false, false);
  EXPECT_EQ(DrawBitmap()->Width(), 150);
  EXPECT_EQ(DrawBitmap()->Height(), 70);
  EXPECT_EQ(DrawBitmap()->Canvas()->LockCount(), 0);
}

TEST_F(SharedBitmap, WithoutAGridTheBitmapLivesForTheCallOnly) {
  TDisplayColorDepthGuard depth(8);
  auto s = Filled(60, 30, clWhite);
  Prepare(s->Canvas(), kDithered);
  WriteText(s->Canvas(), {0, 0, 60, 30}, 2, 2, "abc", taLeftJustify, tavTop, false, false);
  EXPECT_EQ(DrawBitmap(), nullptr);
  EXPECT_EQ(UserCount(), 0);
  EXPECT_NE(InkIn(*s, kDithered).Right, -1);
}

} // namespace

namespace {

TEST(WriteText, WrappedCentredTextWiderThanTheCellStaysCentredOnIt) {
  const TRect cell{30, 0, 50, 60};
  auto s = Filled(80, 60, clYellow);
  Prepare(s->Canvas(), clWhite);
  s->Canvas()->Font()->SetHeight(-40);
  ASSERT_GT(s->Canvas()->TextWidth("W"), cell.Width() + 6);
  WriteText(s->Canvas(), cell, 2, 2, "W", taCenter, tavTop, true, false);
  TRect ink = InkIn(*s, clWhite, cell);
  EXPECT_EQ(ink.Left, cell.Left);
  EXPECT_EQ(ink.Right, cell.Right);
  EXPECT_EQ(InkIn(*s, clYellow, {0, 0, cell.Left, 60}).Right, -1);
}

TEST(WriteText, TheBitmapPathOnARightToLeftCanvasPlacesTextLikeTheDirectPath) {
  TDisplayColorDepthGuard depth(8);
  const TColor dithered = RGB(0x46, 0x82, 0xB4);
  auto s = Filled(200, 24, clWhite);
  Prepare(s->Canvas(), dithered);
  s->Canvas()->SetCanvasOrientation(coRightToLeft);
  WriteText(s->Canvas(), {0, 0, 200, 24}, 2, 2, "abc", taLeftJustify, tavTop, false, false);
  // Right aligned and not mirrored: the same pixels as the text drawn
  // right aligned on a plain canvas.
  auto ref = Filled(200, 24, dithered);
  Prepare(ref->Canvas(), dithered);
  SetBkMode(ref->Canvas()->Handle(), TRANSPARENT);
  TRect r{2, 2, 199, 23};
  DrawText(ref->Canvas()->Handle(), "abc", -1, r, static_cast<unsigned>(AlignFlags[taRightJustify]));
  EXPECT_EQ(rixtest::DifferingPixels(*s, *ref), 0);
}

// Some megabytes of numbered words, so that a misplaced cut shows.
std::string Megabytes(size_t Size) {
  std::string s;
  s.reserve(Size + 32);
  for (int i = 0; s.size() < Size; ++i) s += "行" + std::to_string(i) + " words, ";
  return s;
}

TEST(WriteText, AHugeValuePaintsTheSameFrameAsTheEndThatShows) {
  const std::string huge = Megabytes(5'000'000);
  const size_t mid = huge.size() / 2;
  struct TCase {
    TAlignment Align;
    TAlignmentV AlignV;
    bool Wrap;
    std::string Part;  // a few thousand bytes around what can show
  } cases[] = {
      {taLeftJustify, tavCenter, false, huge.substr(0, 3000)},
      {taRightJustify, tavCenter, false, huge.substr(huge.size() - 3000)},
      {taCenter, tavTop, false, huge.substr(mid - 1500, 3000)},
      {taLeftJustify, tavTop, true, huge.substr(0, 3000)},
      // Too long to fit, so drawn from its top whatever the alignment.
      {taRightJustify, tavBottom, true, huge.substr(0, 3000)},
  };
  for (const TCase& c : cases) {
    auto whole = Filled(200, 80, clYellow), part = Filled(200, 80, clYellow);
    Prepare(whole->Canvas(), clWhite);
    Prepare(part->Canvas(), clWhite);
    WriteText(whole->Canvas(), {10, 10, 160, 70}, 2, 2, huge, c.Align, c.AlignV, c.Wrap, false);
    WriteText(part->Canvas(), {10, 10, 160, 70}, 2, 2, c.Part, c.Align, c.AlignV, c.Wrap, false);
    EXPECT_NE(InkIn(*whole, clWhite, {10, 10, 160, 70}).Right, -1);
    EXPECT_EQ(rixtest::DifferingPixels(*whole, *part), 0) << "alignment " << c.Align << ", wrap " << c.Wrap;
  }
}

TEST(WriteText, TextThatFitsIsNotCut) {
  // Short and centred: the visible part is the whole value, measured as such.
  const std::string text = "短い値 that wraps over two lines";
  auto s = Filled(200, 80, clWhite);
  Prepare(s->Canvas(), clWhite);
  TRect r{0, 0, 100, 80};
  unsigned format = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
  EXPECT_EQ(VisibleText(s->Canvas()->Handle(), text, -1, r, format), text);
  EXPECT_EQ(VisibleText(s->Canvas()->Handle(), text, 6, r, format), text.substr(0, 6));
  EXPECT_EQ(VisibleText(s->Canvas()->Handle(), std::string("ab\0cd", 5), -1, r, format), "ab") << "a NUL ends the text";
  EXPECT_EQ(VisibleText(s->Canvas()->Handle(), text, -1, {0, 0, 0, 80}, format), "") << "no room, nothing shows";
  const std::string many(100'000, 'x');
  // Unwrapped lines are never cut: the next line break could bring any
  // later part into view.
  EXPECT_EQ(VisibleText(s->Canvas()->Handle(), many, -1, r, DT_NOPREFIX).size(), many.size());
  const std::string_view kept = VisibleText(s->Canvas()->Handle(), many, -1, r, format);
  EXPECT_LT(kept.size(), 10'000u);
  // Wider and taller rectangles keep more.
  EXPECT_GT(VisibleText(s->Canvas()->Handle(), many, -1, {0, 0, 400, 400}, format).size(), kept.size() * 4);
}

} // namespace
