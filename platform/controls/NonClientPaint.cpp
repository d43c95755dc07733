// The frame of a window outside its client area: the sunken edge and the
// scroll bars (arrow buttons, a clBtnFace track and a raised thumb placed
// by the bar's position within its range).
#include "platform/controls/WinControl.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

namespace {
void PaintScrollBar(TCanvas* C, TRect Bar, bool Vertical, const TScrollInfo& Info) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnFace);
  C->FillRect(Bar);
  int button = Vertical ? std::min(Bar.Width(), Bar.Height() / 2) : std::min(Bar.Height(), Bar.Width() / 2);
  TRect first = Vertical ? Rect(Bar.Left, Bar.Top, Bar.Right, Bar.Top + button)
                         : Rect(Bar.Left, Bar.Top, Bar.Left + button, Bar.Bottom);
  TRect last = Vertical ? Rect(Bar.Left, Bar.Bottom - button, Bar.Right, Bar.Bottom)
                        : Rect(Bar.Right - button, Bar.Top, Bar.Right, Bar.Bottom);
  DrawFrameControl(C->Handle(), first, DFC_SCROLL, Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
  DrawFrameControl(C->Handle(), last, DFC_SCROLL, Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
  int track = (Vertical ? Bar.Height() : Bar.Width()) - 2 * button;
  long long range = static_cast<long long>(Info.Max) - Info.Min + 1;
  if (track <= 8 || range <= 0) return;
  int thumb = Info.Page > 0 ? static_cast<int>(std::max<long long>(track * static_cast<long long>(Info.Page) / range, 8))
                            : std::min(button, track);
  thumb = std::min(thumb, track);
  long long span = range - std::max<long long>(Info.Page, 1);
  int pos = span > 0 ? static_cast<int>((track - thumb) * (static_cast<long long>(Info.Pos) - Info.Min) / span) : 0;
  pos = std::clamp(pos, 0, track - thumb);
  TRect t = Vertical ? Rect(Bar.Left, first.Bottom + pos, Bar.Right, first.Bottom + pos + thumb)
                     : Rect(first.Right + pos, Bar.Top, first.Right + pos + thumb, Bar.Bottom);
  DrawFrameControl(C->Handle(), t, DFC_BUTTON, DFCS_BUTTONPUSH);
}
} // namespace

void TWinControl::PaintNonClient(TCanvas* C) {
  int e = BorderEdge();
  if (e > 0) {
    TRect r = Rect(0, 0, Width(), Height());
    DrawEdge(C->Handle(), r, EDGE_SUNKEN, BF_RECT);
  }
  TRect client = ClientRect();
  bool vert = ScrollBarVisible(SB_VERT), horz = ScrollBarVisible(SB_HORZ);
  int right = e + client.Width(), bottom = e + client.Height();
  if (vert) PaintScrollBar(C, Rect(right, e, Width() - e, bottom), true, GetScrollInfo(SB_VERT));
  if (horz) PaintScrollBar(C, Rect(e, bottom, right, Height() - e), false, GetScrollInfo(SB_HORZ));
  if (vert && horz) {
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(right, bottom, Width() - e, Height() - e));
  }
}
