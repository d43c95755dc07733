#include "platform/graphics/Colors.h"

#include "platform/core/Classes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

// Written as RGB(r, g, b) so the table reads like a colour scheme file.
constexpr TColor kSysColors[] = {
    RGB(192, 192, 192), // 0 scroll bar
    RGB(0, 128, 128),   // 1 desktop
    RGB(0, 0, 128),     // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(192, 192, 192), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(192, 192, 192), // 10 active border
    RGB(192, 192, 192), // 11 inactive border
    RGB(128, 128, 128), // 12 application work space
    RGB(0, 0, 128),     // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(192, 192, 192), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 gray text
    RGB(0, 0, 0),       // 18 button text
    RGB(192, 192, 192), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(0, 0, 0),       // 21 3-D dark shadow
    RGB(223, 223, 223), // 22 3-D light
    RGB(0, 0, 0),       // 23 tooltip text
    RGB(255, 255, 225), // 24 tooltip background
    RGB(180, 180, 180), // 25 (unused slot)
    RGB(0, 0, 255),     // 26 hot-tracked item
    RGB(16, 132, 208),  // 27 active caption gradient
    RGB(181, 181, 181), // 28 inactive caption gradient
    RGB(0, 0, 128),     // 29 menu highlight
    RGB(192, 192, 192), // 30 menu bar
};

struct TColorName {
  TColor Color;
  const char* Name;
};

constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};

// The static colours of an 8-bit display: the 16 VGA colours and the four
// extra entries of the system palette.
constexpr TColor kStaticPalette[] = {
    clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
    clMoneyGreen, clSkyBlue, clCream, clMedGray, clGray, clRed, clLime, clYellow,
    clBlue, clFuchsia, clAqua, clWhite,
};

int GDisplayDepth = 32;

} // namespace

TColor GetSysColor(int Index) {
  if (Index < 0 || Index >= static_cast<int>(std::size(kSysColors))) return clBlack;
  return kSysColors[Index];
}

TColor ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return Color;
}

std::optional<std::string> ColorToIdent(TColor Color) {
  for (const auto& n : kColorNames)
    if (n.Color == Color) return std::string(n.Name);
  return std::nullopt;
}

std::optional<TColor> IdentToColor(const std::string& Ident) {
  for (const auto& n : kColorNames)
    if (SameText(Ident, n.Name)) return n.Color;
  return std::nullopt;
}

std::string ColorToString(TColor Color) {
  if (auto name = ColorToIdent(Color)) return *name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(Color));
  return buf;
}

TColor StringToColor(const std::string& S) {
  if (auto c = IdentToColor(S)) return *c;
  const char* p = S.c_str();
  int base = 10;
  if (!S.empty() && S[0] == '$') {
    ++p;
    base = 16;
  }
  char* end = nullptr;
  errno = 0;
  long long v = *p != '\0' ? std::strtoll(p, &end, base) : 0;
  if (*p == '\0' || end == nullptr || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > 0xFFFFFFFFLL)
    throw EConvertError("'" + S + "' is not a valid colour");
  return static_cast<TColor>(static_cast<std::uint32_t>(v));
}

int DisplayColorDepth() { return GDisplayDepth; }

void SetDisplayColorDepth(int Bits) {
  if (Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
    throw EInvalidOperation("Display colour depth " + std::to_string(Bits) + " is not supported (8, 16, 24 or 32)");
  GDisplayDepth = Bits;
}

TColor NearestDisplayColor(TColor Color) {
  TColor c = ColorToRGB(Color) & 0xFFFFFF;
  if (GDisplayDepth > 8) return c;
  TColor best = clBlack;
  long bestDist = -1;
  for (TColor p : kStaticPalette) {
    long dr = GetRValue(p) - GetRValue(c), dg = GetGValue(p) - GetGValue(c), db = GetBValue(p) - GetBValue(c);
    long d = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || d < bestDist) {
      bestDist = d;
      best = p;
    }
  }
  return best;
}
