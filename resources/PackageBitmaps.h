// The grid's seven indicator and order-arrow bitmaps, kept as pixel art in the
// source so that what ships is what a reviewer reads. The grid turns each into
// a TBitmap (black on white) when it fills its image lists.
#pragma once

#include <string>
#include <vector>

namespace rix {

struct TPackageBitmap {
  const char* Name;          // the resource name, e.g. "RIXDBARROW"
  int BitsPerPixel;          // as the original resource: 1, or 4 for the order arrows
  std::vector<std::string> Rows;  // top row first; 'X' black, '.' white
  int Width() const { return Rows.empty() ? 0 : static_cast<int>(Rows[0].size()); }
  int Height() const { return static_cast<int>(Rows.size()); }
  bool Black(int X, int Y) const { return Rows[static_cast<size_t>(Y)][static_cast<size_t>(X)] == 'X'; }
};

// The bitmap called Name, or nullptr when the package has none of that name.
const TPackageBitmap* FindPackageBitmap(const std::string& Name);

} // namespace rix

// Resource names, in the order the grid loads them.
inline constexpr const char* bmArrow = "RIXDBARROW";
inline constexpr const char* bmEdit = "RIXDBEDIT";
inline constexpr const char* bmInsert = "RIXDBINSERT";
inline constexpr const char* bmMultiDot = "RIXDBMULTIDOT";
inline constexpr const char* bmMultiArrow = "RIXDBMULTIARROW";
inline constexpr const char* bmAscArrow = "RIXDBASCARROW";
inline constexpr const char* bmDscArrow = "RIXDBDSCARROW";
