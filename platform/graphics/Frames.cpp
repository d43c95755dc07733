// DrawEdge, DrawFrameControl and DrawFocusRect: pixel-exact 3-D frames in the
// system colours.
#include "platform/graphics/Colors.h"
#include "platform/graphics/GdiCalls.h"

#include <algorithm>

namespace {

void HLine(HDC DC, int X1, int X2, int Y, TColor C) { DC->FillSolid({X1, Y, X2, Y + 1}, C); }
void VLine(HDC DC, int X, int Y1, int Y2, TColor C) { DC->FillSolid({X, Y1, X + 1, Y2}, C); }

// One ring of an edge along the sides in Flags.
void Ring(HDC DC, const TRect& R, unsigned Flags, TColor TopLeft, TColor BottomRight) {
  if (IsRectEmpty(R)) return;
  if (Flags & BF_LEFT) VLine(DC, R.Left, R.Top, R.Bottom, TopLeft);
  if (Flags & BF_TOP) HLine(DC, R.Left, R.Right, R.Top, TopLeft);
  if (Flags & BF_RIGHT) VLine(DC, R.Right - 1, R.Top, R.Bottom, BottomRight);
  if (Flags & BF_BOTTOM) HLine(DC, R.Left, R.Right, R.Bottom - 1, BottomRight);
}

void Shrink(TRect& R, unsigned Flags) {
  if (Flags & BF_LEFT) ++R.Left;
  if (Flags & BF_TOP) ++R.Top;
  if (Flags & BF_RIGHT) --R.Right;
  if (Flags & BF_BOTTOM) --R.Bottom;
}

// A square of the smaller side, centred in R.
TRect SquareIn(const TRect& R) {
  int s = std::min(R.Width(), R.Height());
  int l = R.Left + (R.Width() - s) / 2, t = R.Top + (R.Height() - s) / 2;
  return {l, t, l + s, t + s};
}

void Checker(HDC DC, const TRect& R, TColor A, TColor B) {
  DC->FillSolid(R, A);
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left + ((R.Left + y) & 1); x < R.Right; x += 2) DC->FillSolid({x, y, x + 1, y + 1}, B);
}

// The tick: the classic 7-by-7 mark (a short stroke down to the right, then
// a long one up, three pixels thick) scaled to the inside of the box.
void Tick(HDC DC, const TRect& Inside, TColor C) {
  int s = std::min(Inside.Width(), Inside.Height());
  if (s < 3) return;
  int m = std::max(3, (s * 7 + 4) / 9);
  int t = std::max(1, (3 * m + 3) / 7);
  int d = (m - 1) / 3;
  int left = Inside.Left + (Inside.Width() - m) / 2, top = Inside.Top + (Inside.Height() - m) / 2;
  for (int c = 0; c < m; ++c) {
    int bottom = c <= d ? (m - 1) - (d - c) : (m - 1) - (c - d) * (m - t) / std::max(1, m - 1 - d);
    DC->FillSolid({left + c, top + bottom - t + 1, left + c + 1, top + bottom + 1}, C);
  }
}

void PushButton(HDC DC, TRect& R, unsigned State) {
  TRect r = R;
  unsigned flags = BF_RECT | BF_MIDDLE | BF_ADJUST | ((State & DFCS_FLAT) ? BF_FLAT : 0) | ((State & DFCS_MONO) ? BF_MONO : 0);
  DrawEdge(DC, r, (State & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED, flags);
  if (State & DFCS_ADJUSTRECT) R = r;
}

void CheckBox(HDC DC, TRect& R, unsigned State) {
  TRect box = SquareIn(R);
  unsigned flags = BF_RECT | BF_ADJUST | ((State & DFCS_FLAT) ? BF_FLAT : 0) | ((State & DFCS_MONO) ? BF_MONO : 0);
  DrawEdge(DC, box, EDGE_SUNKEN, flags);
  bool grey = (State & DFCS_BUTTON3STATE) && (State & DFCS_CHECKED);
  if (State & (DFCS_INACTIVE | DFCS_PUSHED))
    DC->FillSolid(box, clBtnFace);
  else if (grey)
    Checker(DC, box, clBtnFace, clBtnHighlight);
  else
    DC->FillSolid(box, clWindow);
  if (State & DFCS_CHECKED) Tick(DC, box, (State & DFCS_INACTIVE) || grey ? clBtnShadow : clWindowText);
  if (State & DFCS_ADJUSTRECT) R = box;
}

void RadioButton(HDC DC, TRect& R, unsigned State) {
  TRect box = SquareIn(R);
  TBrush keepBrush;
  keepBrush.Assign(*DC->Brush());
  TPen keepPen;
  keepPen.Assign(*DC->Pen());
  DC->Brush()->SetColor((State & (DFCS_INACTIVE | DFCS_PUSHED)) ? clBtnFace : clWindow);
  DC->Pen()->SetColor(clBtnShadow);
  DC->Ellipse(box);
  if (State & DFCS_CHECKED) {
    TRect dot = box;
    int inset = std::max(2, box.Width() / 3);
    InflateRect(dot, -inset, -inset);
    DC->Brush()->SetColor((State & DFCS_INACTIVE) ? clBtnShadow : clWindowText);
    DC->Pen()->SetColor(DC->Brush()->Color());
    DC->Ellipse(dot);
  }
  DC->Brush()->Assign(keepBrush);
  DC->Pen()->Assign(keepPen);
}

// A solid triangle pointing Dir, centred in R, made of whole pixel spans.
void Arrow(HDC DC, const TRect& R, unsigned Dir, TColor C, int Dx = 0, int Dy = 0) {
  int s = std::min(R.Width(), R.Height());
  int half = std::max(1, (s - 4) / 4);  // rows of the triangle minus one
  int cx = (R.Left + R.Right) / 2 + Dx, cy = (R.Top + R.Bottom) / 2 + Dy;
  for (int i = 0; i <= half; ++i) {
    int len = 2 * (half - i) + 1;  // base first
    switch (Dir) {
    case DFCS_SCROLLUP: HLine(DC, cx - (half - i), cx - (half - i) + len, cy + half / 2 - i, C); break;
    case DFCS_SCROLLDOWN: HLine(DC, cx - (half - i), cx - (half - i) + len, cy - half / 2 + i, C); break;
    case DFCS_SCROLLLEFT: VLine(DC, cx + half / 2 - i, cy - (half - i), cy - (half - i) + len, C); break;
    default: VLine(DC, cx - half / 2 + i, cy - (half - i), cy - (half - i) + len, C); break;
    }
  }
}

void ScrollButton(HDC DC, TRect& R, unsigned State) {
  TRect r = R;
  unsigned flags = BF_RECT | BF_MIDDLE | BF_ADJUST | ((State & DFCS_FLAT) ? BF_FLAT : 0) | ((State & DFCS_MONO) ? BF_MONO : 0);
  bool pushed = State & DFCS_PUSHED;
  DrawEdge(DC, r, pushed && !(State & DFCS_FLAT) ? EDGE_SUNKEN : EDGE_RAISED, flags);
  unsigned dir = State & 0xF;
  if (dir == DFCS_SCROLLCOMBOBOX) dir = DFCS_SCROLLDOWN;
  int shift = pushed ? 1 : 0;
  if (State & DFCS_INACTIVE) {
    Arrow(DC, R, dir, clBtnHighlight, 1, 1);
    Arrow(DC, R, dir, clGrayText);
  } else {
    Arrow(DC, R, dir, clBtnText, shift, shift);
  }
  if (State & DFCS_ADJUSTRECT) R = r;
}

} // namespace

bool DrawEdge(HDC DC, TRect& Rect, unsigned Edge, unsigned Flags) {
  if (DC == nullptr) return false;
  DC->Changing();
  TRect r = Rect;
  // Per ring: {mono, flat, raised top-left, raised bottom-right, sunken
  // top-left, sunken bottom-right}.
  struct TRingColors {
    unsigned Bits, Raised;
    TColor Mono, Flat, RaisedTL, RaisedBR, SunkenTL, SunkenBR;
  };
  const TRingColors rings[2] = {
      {BDR_OUTER, BDR_RAISEDOUTER, clWindowFrame, clBtnShadow, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnHighlight},
      {BDR_INNER, BDR_RAISEDINNER, clWindow, clBtnFace, clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight},
  };
  for (const TRingColors& ring : rings) {
    unsigned bits = Edge & ring.Bits;
    if (bits == 0) continue;
    if (Flags & BF_MONO)
      Ring(DC, r, Flags, ring.Mono, ring.Mono);
    else if (Flags & BF_FLAT)
      Ring(DC, r, Flags, ring.Flat, ring.Flat);
    else if (bits & ring.Raised)
      Ring(DC, r, Flags, ring.RaisedTL, ring.RaisedBR);
    else
      Ring(DC, r, Flags, ring.SunkenTL, ring.SunkenBR);
    Shrink(r, Flags);
  }
  if (Flags & BF_MIDDLE) DC->FillSolid(r, (Flags & BF_MONO) ? clWindow : clBtnFace);
  if (Flags & BF_ADJUST) Rect = r;
  DC->Changed();
  return true;
}

bool DrawFrameControl(HDC DC, TRect& Rect, unsigned Type, unsigned State) {
  if (DC == nullptr) return false;
  if (Type == DFC_BUTTON) {
    DC->Changing();
    if (State & DFCS_BUTTONPUSH)
      PushButton(DC, Rect, State);
    else if (State & DFCS_BUTTONRADIO)
      RadioButton(DC, Rect, State);
    else
      CheckBox(DC, Rect, State);
    DC->Changed();
    return true;
  }
  if (Type == DFC_SCROLL) {
    DC->Changing();
    ScrollButton(DC, Rect, State);
    DC->Changed();
    return true;
  }
  return false;
}

bool DrawFocusRect(HDC DC, const TRect& Rect) {
  if (DC == nullptr || IsRectEmpty(Rect)) return false;
  std::vector<TPoint> pts;
  TPoint o = DC->Origin();
  auto add = [&](int x, int y) {
    if (((x + o.X + y + o.Y) & 1) == 0) pts.push_back({x, y});
  };
  const TRect& r = Rect;
  for (int x = r.Left; x < r.Right; ++x) add(x, r.Top);
  if (r.Bottom - 1 > r.Top)
    for (int x = r.Left; x < r.Right; ++x) add(x, r.Bottom - 1);
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    add(r.Left, y);
    if (r.Right - 1 > r.Left) add(r.Right - 1, y);
  }
  DC->Changing();
  DC->InvertPixels(pts);
  DC->Changed();
  return true;
}
