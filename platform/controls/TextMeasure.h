// Text measuring for controls that are not painting: a private canvas set
// to the control's font (the framework measures on the screen's context).
#pragma once

#include <string>
#include <vector>

class TFont;

namespace rix {
int FontTextWidth(const TFont* Font, const std::string& Text);
// The x-offset of every character boundary of Text laid out as one line
// (one entry per character, then the width).
std::vector<int> FontTextOffsets(const TFont* Font, const std::string& Text);
// The height of a line of text in Font (tmHeight).
int FontLineHeight(const TFont* Font);
} // namespace rix
