// Geometry and colour types shared by graphics, controls and the grid.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr bool operator==(const TSize&) const = default;
};

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TPoint&) const = default;
};

// A rectangle in the Windows sense: Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int X, int Y) { return {X, Y}; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) { return {Left, Top, Left + Width, Top + Height}; }

constexpr bool EqualRect(const TRect& A, const TRect& B) { return A == B; }
constexpr void SetRect(TRect& R, int Left, int Top, int Right, int Bottom) { R = {Left, Top, Right, Bottom}; }
constexpr void SetRectEmpty(TRect& R) { R = {}; }
constexpr bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
constexpr bool PtInRect(const TRect& R, TPoint P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
constexpr void InflateRect(TRect& R, int DX, int DY) {
  R.Left -= DX;
  R.Top -= DY;
  R.Right += DX;
  R.Bottom += DY;
}
constexpr void OffsetRect(TRect& R, int DX, int DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
}
// Dst := the intersection; returns false (and an empty Dst) when they do not meet.
constexpr bool IntersectRect(TRect& Dst, const TRect& A, const TRect& B) {
  Dst = {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  if (IsRectEmpty(Dst)) {
    Dst = {};
    return false;
  }
  return true;
}
// Appends to Out what of A lies outside B: A itself, or up to four bands
// (above and below B, then left and right of it).
inline void AppendRectOutside(std::vector<TRect>& Out, const TRect& A, const TRect& B) {
  TRect x;
  if (!IntersectRect(x, A, B)) {
    Out.push_back(A);
    return;
  }
  if (A.Top < x.Top) Out.push_back(Rect(A.Left, A.Top, A.Right, x.Top));
  if (x.Bottom < A.Bottom) Out.push_back(Rect(A.Left, x.Bottom, A.Right, A.Bottom));
  if (A.Left < x.Left) Out.push_back(Rect(A.Left, x.Top, x.Left, x.Bottom));
  if (x.Right < A.Right) Out.push_back(Rect(x.Right, x.Top, A.Right, x.Bottom));
}
constexpr bool UnionRect(TRect& Dst, const TRect& A, const TRect& B) {
  if (IsRectEmpty(A)) { Dst = B; return !IsRectEmpty(B); }
  if (IsRectEmpty(B)) { Dst = A; return true; }
  Dst = {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
  return true;
}

// TColor: $00BBGGRR for plain colours; $800000nn for system colour nn.
using TColor = std::int32_t;

constexpr TColor SysColor(int Index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(Index)); }

constexpr TColor clScrollBar = SysColor(0);
constexpr TColor clBackground = SysColor(1);
constexpr TColor clActiveCaption = SysColor(2);
constexpr TColor clInactiveCaption = SysColor(3);
constexpr TColor clMenu = SysColor(4);
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowFrame = SysColor(6);
constexpr TColor clMenuText = SysColor(7);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clCaptionText = SysColor(9);
constexpr TColor clActiveBorder = SysColor(10);
constexpr TColor clInactiveBorder = SysColor(11);
constexpr TColor clAppWorkSpace = SysColor(12);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clGrayText = SysColor(17);
constexpr TColor clBtnText = SysColor(18);
constexpr TColor clInactiveCaptionText = SysColor(19);
constexpr TColor clBtnHighlight = SysColor(20);
constexpr TColor cl3DDkShadow = SysColor(21);
constexpr TColor cl3DLight = SysColor(22);
constexpr TColor clInfoText = SysColor(23);
constexpr TColor clInfoBk = SysColor(24);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor RGB(int R, int G, int B) { return (R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16); }
constexpr int GetRValue(TColor C) { return C & 0xFF; }
constexpr int GetGValue(TColor C) { return (C >> 8) & 0xFF; }
constexpr int GetBValue(TColor C) { return (C >> 16) & 0xFF; }

// Number * Numerator / Denominator with a 64-bit intermediate, rounded half away
// from zero; -1 when Denominator is 0 or the result does not fit, as the
// Windows call answers.
constexpr int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  long long p = static_cast<long long>(Number) * Numerator;
  long long d = Denominator;
  bool neg = (p < 0) != (d < 0);
  if (p < 0) p = -p;
  if (d < 0) d = -d;
  long long q = (p + d / 2) / d;
  if (neg) q = -q;
  if (q > 2147483647LL || q < -2147483647LL - 1) return -1;
  return static_cast<int>(q);
}
