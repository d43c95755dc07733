// CompCLR: the text-drawing entry point every text output of the package
// goes through, so that text drawing can be changed in one place.
#pragma once

#include "platform/graphics/GdiCalls.h"

#include <string>

// The empty rectangle (0, 0, 0, 0), shared by the glyph and text units.
inline constexpr TRect EmptyRect{0, 0, 0, 0};

namespace CompCLR {

// Hands Text, its first nCount bytes (-1: all of it), the rectangle and the
// format to the device context's DrawText and returns its result: the
// height of the text, and with DT_CALCRECT the measured rectangle in lpRect.
int DrawText(HDC hDC, const std::string& lpString, int nCount, TRect& lpRect, unsigned uFormat);

} // namespace CompCLR
