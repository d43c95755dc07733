#include "platform/controls/TextMeasure.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/GdiCalls.h"
#include "platform/graphics/TextEngine.h"

namespace rix {
namespace {
TCanvas& Measurer(const TFont* Font) {
  thread_local TCanvas C;
  if (Font != nullptr) C.SetFont(Font);
  return C;
}
} // namespace

int FontTextWidth(const TFont* Font, const std::string& Text) { return Measurer(Font).TextWidth(Text); }

std::vector<int> FontTextOffsets(const TFont* Font, const std::string& Text) {
  return TextLineOffsets(*Measurer(Font).Font(), Text);
}

int FontLineHeight(const TFont* Font) {
  TTextMetric tm{};
  GetTextMetrics(Measurer(Font).Handle(), tm);
  return tm.tmHeight;
}
} // namespace rix
