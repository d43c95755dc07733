// Bitmaps and pixel probes for the drawing tests.
#pragma once

#include "drawing/Drawing.h"
#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace rixtest {

inline std::unique_ptr<TBitmap> Filled(int W, int H, TColor C) {
  auto b = std::make_unique<TBitmap>(W, H);
  b->Canvas()->Brush()->SetColor(C);
  b->Canvas()->FillRect({0, 0, W, H});
  return b;
}

// A glyph strip of colour C whose bottom-left pixel is olive, the colour
// the glyph then treats as transparent.
inline std::unique_ptr<TBitmap> GlyphOf(int W, int H, TColor C) {
  auto b = Filled(W, H, C);
  b->Canvas()->SetPixels(0, H - 1, clOlive);
  return b;
}

// The bounding box of the pixels inside Area that differ from Background;
// Right = -1 when there are none.
inline TRect InkBounds(TBitmap& B, TColor Background, TRect Area = {0, 0, 1 << 20, 1 << 20}) {
  TRect r{B.Width(), B.Height(), -1, -1};
  for (int y = std::max(0, Area.Top); y < std::min(B.Height(), Area.Bottom); ++y)
    for (int x = std::max(0, Area.Left); x < std::min(B.Width(), Area.Right); ++x)
      if (B.Canvas()->Pixels(x, y) != (ColorToRGB(Background) & 0xFFFFFF)) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

// The bounding box of the pixels of exactly colour C.
inline TRect ColourBounds(TBitmap& B, TColor C) {
  TRect r{B.Width(), B.Height(), -1, -1};
  TColor want = ColorToRGB(C) & 0xFFFFFF;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x)
      if (B.Canvas()->Pixels(x, y) == want) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
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
