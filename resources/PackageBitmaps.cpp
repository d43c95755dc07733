#include "resources/PackageBitmaps.h"

#include <array>

namespace rix {

namespace {

const std::array<TPackageBitmap, 7>& Bitmaps() {
  static const std::array<TPackageBitmap, 7> bitmaps{{
      {bmArrow, 1,
       {"X.....", "XX....", "XXX...", "XXXX..", "XXXXX.", "XXXXXX", "XXXXX.", "XXXX..", "XXX...", "XX....",
        "X....."}},
      {bmEdit, 1,
       {"XX..XX", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..",
        "XX..XX"}},
      {bmInsert, 1,
       {"......", "......", "......", ".X..X.", "..XX..", "XXXXXX", "..XX..", ".X..X.", "......", "......",
        "......"}},
      {bmMultiDot, 1,
       {"......", "......", "......", "..XX..", ".XXXX.", ".XXXX.", ".XXXX.", "..XX..", "......", "......",
        "......"}},
      {bmMultiArrow, 1,
       {"X.....", "XX....", ".XX...", "..XX..", "XX.XX.", "XX..XX", "XX.XX.", "..XX..", ".XX...", "XX....",
        "X....."}},
      {bmAscArrow, 4, {"...X...", "..XXX..", ".XXXXX.", "XXXXXXX", ".......", ".......", "......."}},
      {bmDscArrow, 4, {".......", ".......", ".......", "XXXXXXX", ".XXXXX.", "..XXX..", "...X..."}},
  }};
  return bitmaps;
}

} // namespace

const TPackageBitmap* FindPackageBitmap(const std::string& Name) {
  for (const auto& b : Bitmaps())
    if (Name == b.Name) return &b;
  return nullptr;
}

} // namespace rix
