// Bitmaps and pixel probes for the drawing tests.
#pragma once

#include "drawing/Drawing.h"
#include "platform/graphics/GraphicsTestUtil.h"

#include <functional>
#include <memory>
#include <string>

namespace rixtest {

// A glyph strip of colour C whose bottom-left pixel is olive, the colour
// the glyph then treats as transparent.
inline std::unique_ptr<TBitmap> GlyphOf(int W, int H, TColor C) {
  auto b = Filled(W, H, C);
  b->Canvas()->SetPixels(0, H - 1, clOlive);
  return b;
}

// The bounding box of the pixels inside Area whose colour passes Pred;
// Right = -1 when there are none.
inline TRect BoundsWhere(TBitmap& B, const TRect& Area, const std::function<bool(TColor)>& Pred) {
  TRect r{B.Width(), B.Height(), -1, -1};
  for (int y = std::max(0, Area.Top); y < std::min(B.Height(), Area.Bottom); ++y)
    for (int x = std::max(0, Area.Left); x < std::min(B.Width(), Area.Right); ++x)
      if (Pred(B.Canvas()->Pixels(x, y))) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

// Pixels inside Area that differ from Background (system colours resolved).
inline TRect InkIn(TBitmap& B, TColor Background, const TRect& Area = {0, 0, 1 << 20, 1 << 20}) {
  TColor bg = ColorToRGB(Background) & 0xFFFFFF;
  return BoundsWhere(B, Area, [bg](TColor C) { return C != bg; });
}

// Pixels of exactly colour C.
inline TRect ColourBounds(TBitmap& B, TColor C) {
  TColor want = ColorToRGB(C) & 0xFFFFFF;
  return BoundsWhere(B, {0, 0, B.Width(), B.Height()}, [want](TColor P) { return P == want; });
}

// Number of pixels in which two equally sized bitmaps differ.
inline int DifferingPixels(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x)
      if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) ++n;
  return n;
}

inline TTextMetric Metrics(TCanvas* C) {
  TTextMetric tm;
  GetTextMetrics(C->Handle(), tm);
  return tm;
}

// Measured extent of a caption as a button lays it out (one line).
inline TSize CaptionSize(TCanvas* C, const std::string& S, int Room) {
  TRect r{0, 0, Room, 0};
  DrawText(C->Handle(), S, -1, r, DT_CALCRECT);
  return {r.Right - r.Left, r.Bottom - r.Top};
}

} // namespace rixtest
