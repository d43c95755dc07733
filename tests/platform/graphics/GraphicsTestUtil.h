// Pixel probes for the graphics tests.
#pragma once

#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

namespace rixtest {

inline std::unique_ptr<TBitmap> Filled(int W, int H, TColor C) {
  auto b = std::make_unique<TBitmap>(W, H);
  b->Canvas()->Brush()->SetColor(C);
  b->Canvas()->FillRect({0, 0, W, H});
  return b;
}

// Every pixel of the bitmap whose colour makes Pred false, as "x,y" text
// (empty when all pass), so failures show where.
inline std::string Offenders(TBitmap& B, const std::function<bool(int X, int Y, TColor C)>& Pred, int Max = 8) {
  std::string out;
  int n = 0;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x)
      if (!Pred(x, y, B.Canvas()->Pixels(x, y)) && n++ < Max)
        out += std::to_string(x) + "," + std::to_string(y) + " ";
  return out;
}

// The bounding box of the pixels that differ from Background.
inline TRect InkBounds(TBitmap& B, TColor Background) {
  TRect r{B.Width(), B.Height(), -1, -1};
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x)
      if (B.Canvas()->Pixels(x, y) != Background) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

} // namespace rixtest
