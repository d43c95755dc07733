#include "platform/controls/ExtCtrls.h"

#include "platform/graphics/Canvas.h"

#include <algorithm>

// ---- TPanel -------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  AlignControls();
  Invalidate();
}

void TPanel::SetBorderWidth(int Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = std::max(Value, 0);
  AlignControls();
  Invalidate();
}

int TPanel::Inset() const { return (FBevelOuter == bvNone ? 0 : 1) + FBorderWidth; }

TRect TPanel::ClientRect() const {
  const int i = Inset();
  return Rect(0, 0, std::max(Width() - 2 * i, 0), std::max(Height() - 2 * i, 0));
}

TPoint TPanel::ClientOrigin() const { return {Inset(), Inset()}; }

void TPanel::PaintNonClient(TCanvas* C) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(Rect(0, 0, Width(), Height()));
  if (FBevelOuter == bvLowered || FBevelOuter == bvRaised) {
    TRect r = Rect(0, 0, Width(), Height());
    DrawEdge(C->Handle(), r, FBevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  }
}

// ---- TSplitter ----------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const {
  if (Parent() == nullptr || Align() == alNone || Align() == alClient) return nullptr;
  // The control that ends where the splitter begins, on the same edge.
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || c->Align() != Align() || !c->Visible()) continue;
    const TRect b = c->BoundsRect();
    if ((Align() == alTop && b.Bottom == Top()) || (Align() == alBottom && b.Top == Top() + Height()) ||
        (Align() == alLeft && b.Right == Left()) || (Align() == alRight && b.Left == Left() + Width()))
      return c;
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FindControl() != nullptr) {
    FSizing = true;
    FDownPos = {X, Y};
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  SetScreenCursor(Vertical() ? crHSplit : crVSplit);
  TControl* c = FSizing ? FindControl() : nullptr;
  if (c != nullptr && Parent() != nullptr) {
    int delta = Vertical() ? X - FDownPos.X : Y - FDownPos.Y;
    if (Align() == alBottom || Align() == alRight) delta = -delta;
    const int size = Vertical() ? c->Width() : c->Height();
    // The client-aligned neighbour gives up what this one gains, down to MinSize.
    int spare = Vertical() ? Parent()->ClientWidth() : Parent()->ClientHeight();
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (TControl* o = Parent()->Controls(i); o->Align() == alClient && o->Visible())
        spare = Vertical() ? o->Width() : o->Height();
    const int newSize = std::clamp(size + delta, FMinSize, std::max(FMinSize, size + spare - FMinSize));
    if (newSize != size) {
      if (Vertical()) c->SetWidth(newSize);
      else c->SetHeight(newSize);
    }
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FSizing = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  if (c == nullptr) return;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
}
