// The frame of a window outside its client area: the sunken edge and the
// scroll bars (arrow buttons, a clBtnFace track and a raised thumb placed
// by the bar's position within its range), and where a click on a bar goes.
#include "platform/controls/WinControl.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

TWinControl::TScrollBarParts TWinControl::ScrollBarParts(int Bar) const {
  TScrollBarParts p;
  if (!ScrollBarVisible(Bar)) return p;
  int e = BorderEdge();
  TRect client = ClientRect();
  int right = e + client.Width(), bottom = e + client.Height();
  bool vertical = Bar == SB_VERT;
  TRect b = vertical ? Rect(right, e, Width() - e, bottom) : Rect(e, bottom, right, Height() - e);
  p.Bar = b;
  int button = vertical ? std::min(b.Width(), b.Height() / 2) : std::min(b.Height(), b.Width() / 2);
  p.First = vertical ? Rect(b.Left, b.Top, b.Right, b.Top + button) : Rect(b.Left, b.Top, b.Left + button, b.Bottom);
  p.Last = vertical ? Rect(b.Left, b.Bottom - button, b.Right, b.Bottom)
                    : Rect(b.Right - button, b.Top, b.Right, b.Bottom);
  const TScrollInfo info = GetScrollInfo(Bar);
  int track = (vertical ? b.Height() : b.Width()) - 2 * button;
  long long range = static_cast<long long>(info.Max) - info.Min + 1;
  if (track <= 8 || range <= 0) return p;
  int thumb = info.Page > 0 ? static_cast<int>(std::max<long long>(track * static_cast<long long>(info.Page) / range, 8))
                            : std::min(button, track);
  thumb = std::min(thumb, track);
  long long span = range - std::max<long long>(info.Page, 1);
  int pos = span > 0 ? static_cast<int>((track - thumb) * (static_cast<long long>(info.Pos) - info.Min) / span) : 0;
  pos = std::clamp(pos, 0, track - thumb);
  p.Thumb = vertical ? Rect(b.Left, p.First.Bottom + pos, b.Right, p.First.Bottom + pos + thumb)
                     : Rect(p.First.Right + pos, b.Top, p.First.Right + pos + thumb, b.Bottom);
  return p;
}

int TWinControl::ScrollBarHitTest(int Bar, TPoint P) const {
  TScrollBarParts p = ScrollBarParts(Bar);
  if (!PtInRect(p.Bar, P)) return -1;
  if (PtInRect(p.First, P)) return SB_LINEUP;
  if (PtInRect(p.Last, P)) return SB_LINEDOWN;
  if (IsRectEmpty(p.Thumb) || PtInRect(p.Thumb, P)) return -1;
  bool before = Bar == SB_VERT ? P.Y < p.Thumb.Top : P.X < p.Thumb.Left;
  return before ? SB_PAGEUP : SB_PAGEDOWN;
}

namespace {
void PaintScrollBar(TCanvas* C, const TWinControl::TScrollBarParts& P, bool Vertical) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnFace);
  C->FillRect(P.Bar);
  TRect first = P.First, last = P.Last, thumb = P.Thumb;
  DrawFrameControl(C->Handle(), first, DFC_SCROLL, Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
  DrawFrameControl(C->Handle(), last, DFC_SCROLL, Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
  if (!IsRectEmpty(thumb)) DrawFrameControl(C->Handle(), thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}
} // namespace

void TWinControl::PaintNonClient(TCanvas* C) {
  int e = BorderEdge();
  if (e > 0) {
    TRect r = Rect(0, 0, Width(), Height());
    DrawEdge(C->Handle(), r, EDGE_SUNKEN, BF_RECT);
  }
  bool vert = ScrollBarVisible(SB_VERT), horz = ScrollBarVisible(SB_HORZ);
  if (vert) PaintScrollBar(C, ScrollBarParts(SB_VERT), true);
  if (horz) PaintScrollBar(C, ScrollBarParts(SB_HORZ), false);
  if (vert && horz) {
    TRect client = ClientRect();
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(e + client.Width(), e + client.Height(), Width() - e, Height() - e));
  }
}
