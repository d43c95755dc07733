// Painting of the in-place editors and their list, and caret placement by
// the mouse, which needs the same text measuring.
//
// The editor shows its text from EditRect's left edge plus one pixel,
// scrolled sideways so that the caret stays inside EditRect. Selected text
// shows in the highlight colours while the editor has the focus; the caret
// is a one-pixel bar in the font colour, shown while the editor has the
// focus and its caret is not hidden.
#include "platform/controls/InplaceEdit.h"
#include "platform/controls/TextMeasure.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

using rix::Utf32ToUtf8;

namespace {
// The canvas of a control about to paint, with its font selected and its
// client area filled with its colour; nil when there is nothing to paint on.
TCanvas* ClearForPaint(TWinControl* Control) {
  TCanvas* c = Control->Canvas();
  if (c == nullptr) return nullptr;
  c->SetFont(Control->Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Control->Color());
  c->FillRect(Control->ClientRect());
  return c;
}
} // namespace

// Characters measured on each side of the caret: more than any editor shows.
// The stretch moves in steps, so that the scroll position carries over while
// the caret moves inside it.
constexpr size_t MeasuredSpan = 1000, MeasuredStep = 500;

TInplaceEdit::TMeasured TInplaceEdit::CaretOffsets() const {
  TMeasured m;
  const size_t n = FText.size(), caret = static_cast<size_t>(FCaret);
  size_t to = n;
  if (n > 2 * MeasuredSpan + MeasuredStep) {
    m.From = caret > MeasuredSpan ? (caret - MeasuredSpan) / MeasuredStep * MeasuredStep : 0;
    to = std::min(n, m.From + 2 * MeasuredSpan + MeasuredStep);
    m.Whole = m.From == 0 && to == n;
  }
  m.Offsets = rix::FontTextOffsets(Font(), Utf32ToUtf8(FText.substr(m.From, to - m.From)));
  return m;
}

void TInplaceEdit::ScrollCaretIntoView(const TMeasured& Text) const {
  if (Text.From != FScrollFrom) {
    // Keep what shows where it was when the old start is measured; else the
    // caret is brought into view below.
    FScrollX = FScrollFrom > Text.From && FScrollFrom - Text.From < Text.Offsets.size()
                   ? FScrollX + Text.At(FScrollFrom)
                   : 0;
    FScrollFrom = Text.From;
  }
  int room = std::max(FEditRect.Width() - 2, 1);
  int caretX = Text.At(static_cast<size_t>(FCaret));
  if (caretX - FScrollX > room) FScrollX = caretX - room;
  if (caretX < FScrollX) FScrollX = caretX;
  // Nothing scrolled away while the whole text fits.
  if (Text.Whole && Text.Offsets.back() <= room) FScrollX = 0;
}

int TInplaceEdit::CaretPosAt(int X) const {
  TMeasured m = CaretOffsets();
  ScrollCaretIntoView(m);
  int x = X - (FEditRect.Left + 1) + FScrollX;
  // The caret goes to the nearer edge of the character under the mouse.
  const std::vector<int>& o = m.Offsets;
  for (size_t i = 1; i < o.size(); ++i)
    if (x < (o[i - 1] + o[i] + 1) / 2) return static_cast<int>(m.From + i - 1);
  return static_cast<int>(m.From + o.size() - 1);
}

void TInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && X < FEditRect.Right && !Shift.Contains(ssDouble)) {
    SetCaret(CaretPosAt(X), Shift.Contains(ssShift));
    FSelectingByMouse = true;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TInplaceEdit::MouseMove(TShiftState Shift, int X, int Y) {
  if (FSelectingByMouse && Shift.Contains(ssLeft)) SetCaret(CaretPosAt(X), true);
  TCustomControl::MouseMove(Shift, X, Y);
}

void TInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) FSelectingByMouse = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TInplaceEdit::Paint() {
  TCanvas* c = ClearForPaint(this);
  if (c == nullptr) return;

  TMeasured m = CaretOffsets();
  ScrollCaretIntoView(m);
  TSaveDC saved(c->Handle());
  IntersectClipRect(c->Handle(), FEditRect.Left, FEditRect.Top, FEditRect.Right, FEditRect.Bottom);
  int x0 = FEditRect.Left + 1 - FScrollX, y0 = FEditRect.Top;
  int lineHeight = rix::FontLineHeight(Font());
  SetBkMode(c->Handle(), TRANSPARENT);
  const size_t measuredEnd = m.From + m.Offsets.size() - 1;
  c->TextOut(x0, y0, Utf32ToUtf8(FText.substr(m.From, measuredEnd - m.From)));

  bool focused = Focused();
  if (focused && SelLength() > 0) {
    // Only the part of the selection inside the measured stretch can show.
    size_t from = std::clamp(static_cast<size_t>(SelStart()), m.From, measuredEnd);
    size_t to = std::clamp(static_cast<size_t>(SelStart() + SelLength()), m.From, measuredEnd);
    c->Brush()->SetColor(clHighlight);
    c->FillRect(Rect(x0 + m.At(from), y0, x0 + m.At(to), y0 + lineHeight));
    c->Font()->SetColor(clHighlightText);
    SetBkMode(c->Handle(), TRANSPARENT);
    c->TextOut(x0 + m.At(from), y0, Utf32ToUtf8(FText.substr(from, to - from)));
    c->Font()->SetColor(Font()->Color());
  }
  int caretX = x0 + m.At(static_cast<size_t>(FCaret));
  std::string composing = focused ? CompositionString(WindowHandle()) : std::string();
  if (!composing.empty()) {
    // What the input method composes shows at the caret, underlined, over
    // the text until it is committed.
    int w = rix::FontTextWidth(Font(), composing);
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(caretX, y0, caretX + w, y0 + lineHeight));
    c->Font()->SetColor(Font()->Color());
    SetBkMode(c->Handle(), TRANSPARENT);
    c->TextOut(caretX, y0, composing);
    c->Brush()->SetColor(Font()->Color());
    c->FillRect(Rect(caretX, y0 + lineHeight - 1, caretX + w, y0 + lineHeight));
    caretX += w;
  }
  if (focused && !CaretHidden(WindowHandle())) {
    int x = caretX;
    c->Brush()->SetColor(Font()->Color());
    c->FillRect(Rect(x, y0, x + 1, y0 + lineHeight));
  }
}

void TInplaceEditList::Paint() {
  TInplaceEdit::Paint();
  TCanvas* c = Canvas();
  if (c == nullptr || FEditStyle == Grids::esSimple) return;
  TRect r = ButtonRect();
  if (FEditStyle == Grids::esPickList) {
    unsigned state = DFCS_SCROLLCOMBOBOX | (FPressed ? DFCS_PUSHED | DFCS_FLAT : 0);
    DrawFrameControl(c->Handle(), r, DFC_SCROLL, state);
    return;
  }
  // The ellipsis button: a push button with three dots.
  DrawFrameControl(c->Handle(), r, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0));
  int shift = FPressed ? 1 : 0;
  int cx = (r.Left + r.Right) / 2 + shift, cy = (r.Top + r.Bottom) / 2 + shift;
  c->Brush()->SetColor(clBtnText);
  for (int dx : {-4, 0, 4}) c->FillRect(Rect(cx + dx - 1, cy, cx + dx + 1, cy + 2));
}

void TPopupListbox::CMFontChanged(TMessage& M) {
  SetItemHeight(rix::FontLineHeight(Font()));
  TCustomControl::CMFontChanged(M);
}

void TPopupListbox::PaintNonClient(TCanvas* C) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWindowFrame);
  C->FrameRect(Rect(0, 0, Width(), Height()));
  C->Brush()->SetColor(Color());
  C->FrameRect(Rect(1, 1, Width() - 1, Height() - 1));
}

void TPopupListbox::Paint() {
  TCanvas* c = ClearForPaint(this);
  if (c == nullptr) return;
  SetBkMode(c->Handle(), TRANSPARENT);
  for (int i = FTopIndex; i < FItems->Count(); ++i) {
    int y = (i - FTopIndex) * FItemHeight;
    if (y >= ClientHeight()) break;
    TRect r = Rect(0, y, ClientWidth(), y + FItemHeight);
    if (i == FItemIndex) {
      c->Brush()->SetColor(clHighlight);
      c->FillRect(r);
      c->Font()->SetColor(clHighlightText);
    } else {
      c->Font()->SetColor(Font()->Color());
    }
    c->TextOut(r.Left + 2, r.Top, FItems->Strings(i));
  }
}

int TPopupListbox::ItemsWidth() const {
  int w = 0;
  for (int i = 0; i < FItems->Count(); ++i) w = std::max(w, rix::FontTextWidth(Font(), FItems->Strings(i)));
  return w + 4;
}
