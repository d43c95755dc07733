#include "platform/hosts/SurfacePainter.h"

#include <cairo.h>

#include <algorithm>
#include <functional>

namespace {
struct TPainters {
  std::vector<TSurfacePainter*> Live;
  // The paint host before the first painter came, back once the last goes.
  TPaintHost* Outside = nullptr;
};
TPainters& Painters() {
  static TPainters p;
  return p;
}
} // namespace

TSurfacePainter::TSurfacePainter(TCustomForm* Form) : FForm(Form) {
  if (Form == nullptr) throw EInvalidOperation("A paint host needs a form");
  SurfaceResized();
  TPainters& p = Painters();
  if (p.Live.empty()) p.Outside = PaintHost();
  p.Live.push_back(this);
  SetPaintHost(this);
}

// Painters of a second window may go before or after the main one.
TSurfacePainter::~TSurfacePainter() {
  TPainters& p = Painters();
  p.Live.erase(std::remove(p.Live.begin(), p.Live.end(), this), p.Live.end());
  if (PaintHost() == this) SetPaintHost(p.Live.empty() ? p.Outside : p.Live.back());
  if (FSurface != nullptr) cairo_surface_destroy(FSurface);
}

TSurfacePainter* TSurfacePainter::PainterOf(const TControl* Control) {
  if (Control == nullptr) return nullptr;
  while (Control->Parent() != nullptr) Control = Control->Parent();
  for (TSurfacePainter* p : Painters().Live)
    if (p->FForm == Control) return p;
  return nullptr;
}

int TSurfacePainter::Width() const { return cairo_image_surface_get_width(FSurface); }
int TSurfacePainter::Height() const { return cairo_image_surface_get_height(FSurface); }

void TSurfacePainter::SurfaceResized() {
  int w = std::max(FForm->Width(), 1), h = std::max(FForm->Height(), 1);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    throw EOutOfResources("Cannot create a " + std::to_string(w) + "x" + std::to_string(h) + " surface");
  }
  FCanvas.SetSurface(s);
  if (FSurface != nullptr) cairo_surface_destroy(FSurface);
  FSurface = s;
  for (TWinControl* w2 : PaintOrder()) w2->Invalidate();
}

TPoint TSurfacePainter::DeviceClientOrigin(const TWinControl* W) const {
  TPoint p = W->ClientToScreen({0, 0});
  TPoint f = FForm->ClientToScreen({0, 0});
  return {p.X - f.X, p.Y - f.Y};
}

TRect TSurfacePainter::DeviceBounds(TWinControl* W) const {
  TPoint o = DeviceClientOrigin(W);
  TPoint c = W->ClientOrigin();
  return Bounds(o.X - c.X, o.Y - c.Y, W->Width(), W->Height());
}

std::vector<TWinControl*> TSurfacePainter::PaintOrder() const {
  std::vector<TWinControl*> out;
  // Depth first, children in their order: later ones lie on top.
  std::function<void(TWinControl*)> walk = [&](TWinControl* W) {
    if (!W->HandleAllocated() || !W->Visible()) return;
    out.push_back(W);
    for (int i = 0; i < W->ControlCount(); ++i)
      if (auto* c = dynamic_cast<TWinControl*>(W->Controls(i))) walk(c);
  };
  walk(FForm);
  return out;
}

TWinControl* TSurfacePainter::WindowAt(TPoint P) const {
  TWinControl* hit = FForm;
  for (TWinControl* w : PaintOrder())
    if (PtInRect(const_cast<TSurfacePainter*>(this)->DeviceBounds(w), P)) hit = w;
  return hit;
}

void TSurfacePainter::PaintControl(TWinControl* Control) {
  TSurfacePainter* p = PainterOf(Control);
  (p != nullptr ? p : this)->PaintInvalid();
}

void TSurfacePainter::PaintInvalid() {
  if (FPainting) return; // a control asking for Update while painting
  FPainting = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FPainting};
  std::vector<TWinControl*> order = PaintOrder();
  TRect surface = Rect(0, 0, Width(), Height());
  std::vector<TRect> dirty;
  for (TWinControl* w : order) {
    TPoint o = DeviceClientOrigin(w);
    for (const TRect& r : w->InvalidRegion()) {
      TRect d = r;
      OffsetRect(d, o.X, o.Y);
      if (IntersectRect(d, d, surface)) dirty.push_back(d);
    }
    // The frame (edge, scroll bars) repaints with any change of the window:
    // the bands of the bounds around the client area.
    if (w->IsInvalid()) {
      TRect b = DeviceBounds(w);
      TRect c = w->ClientRect();
      OffsetRect(c, o.X, o.Y);
      for (TRect band : {Rect(b.Left, b.Top, b.Right, c.Top), Rect(b.Left, c.Bottom, b.Right, b.Bottom),
                         Rect(b.Left, c.Top, c.Left, c.Bottom), Rect(c.Right, c.Top, b.Right, c.Bottom)})
        if (IntersectRect(band, band, surface)) dirty.push_back(band);
    }
    // Validated before painting, as BeginPaint does: what a paint
    // invalidates again stays for the next round.
    w->ValidateAll();
  }
  // Each window's frame repaints in every dirty rectangle it meets; its
  // client area once, over the bounds of those rectangles, so that a cell is
  // drawn once however the dirty rectangles overlap.
  for (TWinControl* w : order) {
    TRect bounds = DeviceBounds(w);
    TRect client = w->ClientRect();
    TPoint o = DeviceClientOrigin(w);
    OffsetRect(client, o.X, o.Y);
    TRect clientPart;
    for (const TRect& d : dirty) {
      TRect part;
      if (!IntersectRect(part, d, bounds)) continue;
      PaintFrame(w, part);
      TRect inClient;
      if (IntersectRect(inClient, part, client)) UnionRect(clientPart, clientPart, inClient);
    }
    if (!IsRectEmpty(clientPart)) PaintClient(w, clientPart);
  }
  FDirty.insert(FDirty.end(), dirty.begin(), dirty.end());
  if (FDirty.size() > MaxDirty) {
    TRect all;
    for (const TRect& r : FDirty) UnionRect(all, all, r);
    FDirty.assign(1, all);
    FDirty.shrink_to_fit();
  }
}

void TSurfacePainter::PaintFrame(TWinControl* W, const TRect& DeviceRect) {
  TRect bounds = DeviceBounds(W);
  HDC dc = FCanvas.Handle();
  TSaveDC saved(dc);
  FCanvas.SetOrigin({bounds.Left, bounds.Top});
  IntersectClipRect(dc, DeviceRect.Left - bounds.Left, DeviceRect.Top - bounds.Top, DeviceRect.Right - bounds.Left,
                    DeviceRect.Bottom - bounds.Top);
  W->PaintNonClient(&FCanvas);
}

std::vector<TRect> TSurfacePainter::ErasedParts(TWinControl* W, const TRect& Clip) const {
  std::vector<TRect> parts{Clip};
  const TPoint o = DeviceClientOrigin(W);
  for (int i = 0; i < W->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(W->Controls(i));
    if (c == nullptr || !c->HandleAllocated() || !c->Visible() || !c->ControlStyle().Contains(csOpaque)) continue;
    TRect cut = c->ClientRect();
    const TPoint co = DeviceClientOrigin(c);
    OffsetRect(cut, co.X - o.X, co.Y - o.Y);
    std::vector<TRect> rest;
    for (const TRect& p : parts) AppendRectOutside(rest, p, cut);
    parts.swap(rest);
  }
  return parts;
}

void TSurfacePainter::PaintClient(TWinControl* W, const TRect& DeviceRect) {
  TPoint client = DeviceClientOrigin(W);
  TRect clip = DeviceRect;
  OffsetRect(clip, -client.X, -client.Y);
  HDC dc = FCanvas.Handle();
  TSaveDC saved(dc);
  FCanvas.SetOrigin(client);
  IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
  FCanvas.Brush()->SetStyle(bsSolid);
  FCanvas.Brush()->SetColor(W->Color());
  // An opaque control paints every pixel of its client area itself; erasing
  // first would fill a full-screen grid twice on every frame. For the same
  // reason the erase leaves out the client areas of opaque child windows,
  // which paint right after (a form under a grid aligned to all of it).
  if (!W->ControlStyle().Contains(csOpaque))
    for (const TRect& r : ErasedParts(W, clip)) FCanvas.FillRect(r);
  FCanvas.SetFont(W->Font());
  W->SetPaintCanvas(&FCanvas);
  W->SetPaintClipRect(clip);
  struct TDetach {
    TWinControl* W;
    ~TDetach() {
      W->SetPaintCanvas(nullptr);
      W->ClearPaintClipRect();
    }
  } detach{W};
  W->PaintWindow();
}

std::vector<TRect> TSurfacePainter::TakeDirty() {
  std::vector<TRect> d;
  d.swap(FDirty);
  return d;
}

TColor TSurfacePainter::Pixel(int X, int Y) const { return FCanvas.Pixels(X, Y); }

void TSurfacePainter::SaveToPNG(const std::string& FileName) {
  cairo_surface_flush(FSurface);
  if (cairo_surface_write_to_png(FSurface, FileName.c_str()) != CAIRO_STATUS_SUCCESS)
    throw EFCreateError("Cannot create file \"" + FileName + "\"");
}
