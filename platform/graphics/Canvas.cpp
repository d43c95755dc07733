#include "platform/graphics/Canvas.h"

#include "platform/graphics/Colors.h"
#include "platform/graphics/GdiCalls.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/TextCache.h"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using rix::SetSourceColor;

namespace {

TRect Normalized(const TRect& R) {
  return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}

std::uint32_t PackRGB(TColor C) {
  TColor c = ColorToRGB(C);
  return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | static_cast<std::uint32_t>(GetBValue(c));
}

// 8-by-8 hatch masks, one byte per row, bit 7 leftmost.
const unsigned char* HatchRows(TBrushStyle Style) {
  static const unsigned char horizontal[8] = {0, 0, 0, 0xFF, 0, 0, 0, 0};
  static const unsigned char vertical[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
  static const unsigned char fdiag[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
  static const unsigned char bdiag[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
  static const unsigned char cross[8] = {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
  static const unsigned char diagcross[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
  switch (Style) {
  case bsHorizontal: return horizontal;
  case bsVertical: return vertical;
  case bsFDiagonal: return fdiag;
  case bsBDiagonal: return bdiag;
  case bsCross: return cross;
  default: return diagcross;
  }
}

} // namespace

TCanvas::TCanvas() : TCanvas(nullptr) {}

TCanvas::TCanvas(cairo_surface_t* Surface)
    : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
  FFont->SetOnChange([this](TObject*) { FontChanged(); });
  FBrush->SetOnChange([this](TObject*) { BrushChanged(); });
  FontChanged();
  BrushChanged();
  if (Surface == nullptr) {
    cairo_surface_t* own = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    Attach(own);
    cairo_surface_destroy(own);
  } else {
    Attach(Surface);
  }
}

TCanvas::~TCanvas() { Detach(); }

void TCanvas::Attach(cairo_surface_t* Surface) {
  FSurface = cairo_surface_reference(Surface);
  FCr = cairo_create(FSurface);
  if (cairo_status(FCr) != CAIRO_STATUS_SUCCESS) {
    Detach();
    throw EOutOfResources("Cannot create a drawing context for the surface");
  }
  cairo_set_antialias(FCr, CAIRO_ANTIALIAS_NONE);
  ResetState();
}

void TCanvas::Detach() {
  if (FPixels != nullptr) pixman_image_unref(FPixels);
  if (FSolid != nullptr) pixman_image_unref(FSolid);
  FPixels = FSolid = nullptr;
  if (FCr) cairo_destroy(FCr);
  if (FSurface) cairo_surface_destroy(FSurface);
  FCr = nullptr;
  FSurface = nullptr;
}

void TCanvas::SetSurface(cairo_surface_t* Surface) {
  cairo_surface_t* keep = cairo_surface_reference(Surface);
  Detach();
  Attach(keep);
  cairo_surface_destroy(keep);
}

void TCanvas::ResetState() {
  FSaved.clear();
  FOrigin = {};
  FClip = DeviceBounds();
}

TRect TCanvas::DeviceBounds() const {
  if (FSurface == nullptr || cairo_surface_get_type(FSurface) != CAIRO_SURFACE_TYPE_IMAGE) return {};
  return {0, 0, cairo_image_surface_get_width(FSurface), cairo_image_surface_get_height(FSurface)};
}

void TCanvas::FontChanged() { FTextColor = FFont->Color(); }

void TCanvas::BrushChanged() {
  FBkColor = FBrush->Color();
  FBkMode = FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
}

// ---- device context -----------------------------------------------------------

void TCanvas::SetOrigin(TPoint Value) {
  FOrigin = Value;
  cairo_identity_matrix(FCr);
  cairo_translate(FCr, Value.X, Value.Y);
}

TRect TCanvas::ClipRect() const {
  TRect r = FClip;
  OffsetRect(r, -FOrigin.X, -FOrigin.Y);
  return r;
}

int TCanvas::IntersectClipRect(const TRect& R) {
  TRect dev = Normalized(R);
  OffsetRect(dev, FOrigin.X, FOrigin.Y);
  IntersectRect(FClip, FClip, dev);
  TRect logical = Normalized(R);
  cairo_rectangle(FCr, logical.Left, logical.Top, logical.Width(), logical.Height());
  cairo_clip(FCr);
  return IsRectEmpty(FClip) ? 1 : 2;
}

int TCanvas::SaveDC() {
  cairo_save(FCr);
  FSaved.push_back({FClip, FOrigin, FBkMode, FBkColor, FTextColor});
  return static_cast<int>(FSaved.size());
}

bool TCanvas::RestoreDC(int SavedDC) {
  int n = static_cast<int>(FSaved.size());
  int keep = SavedDC > 0 ? SavedDC - 1 : n + SavedDC;
  if (SavedDC == 0 || keep < 0 || keep >= n) return false;
  while (static_cast<int>(FSaved.size()) > keep) {
    const TDCState& s = FSaved.back();
    FClip = s.Clip;
    FOrigin = s.Origin;
    FBkMode = s.BkMode;
    FBkColor = s.BkColor;
    FTextColor = s.TextColor;
    FSaved.pop_back();
    cairo_restore(FCr);
  }
  return true;
}

int TCanvas::SetBkMode(int Mode) {
  int old = FBkMode;
  if (Mode == TRANSPARENT || Mode == OPAQUE) FBkMode = Mode;
  return old;
}

TColor TCanvas::SetBkColor(TColor Color) {
  TColor old = FBkColor;
  FBkColor = Color;
  return old;
}

TColor TCanvas::SetTextColor(TColor Color) {
  TColor old = FTextColor;
  FTextColor = Color;
  return old;
}

// ---- locking -----------------------------------------------------------------

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Unlock() {
  if (FLockCount == 0) throw EInvalidOperation("Canvas unlocked more often than it was locked");
  --FLockCount;
  FLock.unlock();
}

void TCanvas::Changing() {
  if (FOnChanging) FOnChanging(this);
}

void TCanvas::Changed() {
  if (FOnChange) FOnChange(this);
}

// ---- primitives ----------------------------------------------------------------

namespace {
bool GPaintShortcuts = true;
}

void rix::SetPaintShortcutsEnabled(bool Value) { GPaintShortcuts = Value; }
bool rix::PaintShortcutsEnabled() { return GPaintShortcuts; }

// Cell backgrounds and grid lines are most of what a grid paints: on an
// image surface whose clip the canvas knows (every clip is set through
// IntersectClipRect, and the only transform is the origin) the pixels are
// written directly, as cairo itself would write an opaque colour.
unsigned char* TCanvas::DirectPixels(int& Format) {
  if (!GPaintShortcuts || FSurface == nullptr || cairo_surface_get_type(FSurface) != CAIRO_SURFACE_TYPE_IMAGE)
    return nullptr;
  const cairo_format_t format = cairo_image_surface_get_format(FSurface);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return nullptr;
  Format = format == CAIRO_FORMAT_ARGB32 ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
  cairo_surface_flush(FSurface);
  return cairo_image_surface_get_data(FSurface);
}

bool TCanvas::FillDirect(const TRect& R, TColor Color) {
  int format = 0;
  unsigned char* data = DirectPixels(format);
  if (data == nullptr) return false;
  TRect d = R;
  OffsetRect(d, FOrigin.X, FOrigin.Y);
  if (!IntersectRect(d, d, FClip)) return true;
  const int stride = cairo_image_surface_get_stride(FSurface);
  const std::uint32_t px = PackRGB(Color);
  for (int y = d.Top; y < d.Bottom; ++y)
    std::fill_n(reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride) + d.Left, d.Width(),
                px);
  cairo_surface_mark_dirty_rectangle(FSurface, d.Left, d.Top, d.Width(), d.Height());
  return true;
}

// Cairo composites each glyph with the same operation and the same pixman
// routine, so the colour through the whole line's coverage gives the same
// pixels (the coverage is cairo's own, see MakeLineMask).
bool TCanvas::CompositeMask(const rix::TLineMask& Mask, int X, int Baseline, TColor Color) {
  int format = 0;
  unsigned char* data = DirectPixels(format);
  if (data == nullptr || !Mask.Usable) return false;
  if (Mask.Image == nullptr) return true;
  const TRect d = Bounds(X + Mask.Left + FOrigin.X, Baseline + Mask.Top + FOrigin.Y, Mask.Width, Mask.Height);
  TRect part;
  if (!IntersectRect(part, d, FClip)) return true;
  if (FPixels == nullptr)
    FPixels =
        pixman_image_create_bits(static_cast<pixman_format_code_t>(format), cairo_image_surface_get_width(FSurface),
                                 cairo_image_surface_get_height(FSurface), reinterpret_cast<std::uint32_t*>(data),
                                 cairo_image_surface_get_stride(FSurface));
  const TColor c = ColorToRGB(Color);
  if (FSolid == nullptr || FSolidColor != c) {
    if (FSolid != nullptr) pixman_image_unref(FSolid);
    const pixman_color_t colour{static_cast<std::uint16_t>(GetRValue(c) * 257),
                                static_cast<std::uint16_t>(GetGValue(c) * 257),
                                static_cast<std::uint16_t>(GetBValue(c) * 257), 0xFFFF};
    FSolid = pixman_image_create_solid_fill(&colour);
    FSolidColor = c;
  }
  if (FPixels == nullptr || FSolid == nullptr) return false;
  pixman_image_composite32(PIXMAN_OP_OVER, FSolid, Mask.Image, FPixels, 0, 0, part.Left - d.Left, part.Top - d.Top,
                           part.Left, part.Top, part.Width(), part.Height());
  cairo_surface_mark_dirty_rectangle(FSurface, part.Left, part.Top, part.Width(), part.Height());
  return true;
}

void TCanvas::FillSolid(const TRect& R, TColor Color) {
  if (IsRectEmpty(R)) return;
  if (FillDirect(R, Color)) return;
  cairo_save(FCr);
  cairo_set_operator(FCr, CAIRO_OPERATOR_OVER);
  SetSourceColor(FCr, Color);
  cairo_rectangle(FCr, R.Left, R.Top, R.Width(), R.Height());
  cairo_fill(FCr);
  cairo_restore(FCr);
}

void TCanvas::InvertPixels(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  cairo_save(FCr);
  cairo_set_operator(FCr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(FCr, 1, 1, 1);
  for (const TPoint& p : Points) cairo_rectangle(FCr, p.X, p.Y, 1, 1);
  cairo_fill(FCr);
  cairo_restore(FCr);
}

void TCanvas::FillWithBrush(const TRect& R) {
  TRect r = R;
  if (IsRectEmpty(r)) return;
  switch (FBrush->Style()) {
  case bsClear: return;
  case bsSolid: FillSolid(r, FBrush->Color()); return;
  default: break;
  }
  // Hatches are anchored to the device origin so neighbouring fills line up.
  const unsigned char* rows = HatchRows(FBrush->Style());
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  int stride = cairo_image_surface_get_stride(tile);
  std::uint32_t px = PackRGB(FBrush->Color());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      std::uint32_t v = (rows[y] & (0x80 >> x)) ? px : 0;
      std::memcpy(data + y * stride + x * 4, &v, 4);
    }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, FOrigin.X, FOrigin.Y);
  cairo_pattern_set_matrix(pat, &m);
  cairo_save(FCr);
  cairo_set_source(FCr, pat);
  cairo_rectangle(FCr, r.Left, r.Top, r.Width(), r.Height());
  cairo_fill(FCr);
  cairo_restore(FCr);
  cairo_pattern_destroy(pat);
  cairo_surface_destroy(tile);
}

void TCanvas::FillRect(const TRect& R) {
  Changing();
  FillWithBrush(R);
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  if (IsRectEmpty(R)) return;
  Changing();
  TColor c = FBrush->Color();
  FillSolid({R.Left, R.Top, R.Right, R.Top + 1}, c);
  FillSolid({R.Left, R.Bottom - 1, R.Right, R.Bottom}, c);
  FillSolid({R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1}, c);
  FillSolid({R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}, c);
  Changed();
}

void TCanvas::PlotPenPixel(int X, int Y, int W) {
  int step = FPenStep++;
  switch (FPen->Style()) {
  case psClear: return;
  case psDash: if (step % 8 >= 6) return; break;
  case psDot: if (step % 4 >= 2) return; break;
  case psDashDot: if (step % 12 >= 6 && step % 12 != 8 && step % 12 != 9) return; break;
  case psDashDotDot: if (step % 16 >= 6 && step % 16 != 8 && step % 16 != 9 && step % 16 != 12 && step % 16 != 13) return; break;
  default: break;
  }
  TRect px = Bounds(X - (W - 1) / 2, Y - (W - 1) / 2, W, W);
  switch (FPen->Mode()) {
  case pmNop: return;
  case pmNot:
  case pmXor: {
    std::vector<TPoint> pts;
    for (int y = px.Top; y < px.Bottom; ++y)
      for (int x = px.Left; x < px.Right; ++x) pts.push_back({x, y});
    InvertPixels(pts);
    return;
  }
  case pmBlack: FillSolid(px, clBlack); return;
  case pmWhite: FillSolid(px, clWhite); return;
  default: FillSolid(px, FPen->Color()); return;
  }
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  int x0 = FPenPos.X, y0 = FPenPos.Y;
  bool simple = FPen->Style() != psClear && FPen->Width() == 1 && FPen->Mode() == pmCopy &&
                (FPen->Style() == psSolid || FPen->Style() == psInsideFrame);
  if (simple && (y0 == Y || x0 == X)) {
    // The common case, one rectangle: the end point is left out.
    if (y0 == Y && x0 != X)
      FillSolid(X > x0 ? TRect{x0, y0, X, y0 + 1} : TRect{X + 1, y0, x0 + 1, y0 + 1}, FPen->Color());
    else if (x0 == X && y0 != Y)
      FillSolid(Y > y0 ? TRect{x0, y0, x0 + 1, Y} : TRect{x0, Y + 1, x0 + 1, y0 + 1}, FPen->Color());
  } else {
    FPenStep = 0;
    int dx = std::abs(X - x0), sx = x0 < X ? 1 : -1;
    int dy = -std::abs(Y - y0), sy = y0 < Y ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    // Styled pens are cosmetic: one pixel wide whatever their width.
    bool solid = FPen->Style() == psSolid || FPen->Style() == psInsideFrame;
    int w = solid ? FPen->Width() : 1;
    while (x != X || y != Y) {
      PlotPenPixel(x, y, w);
      int e2 = 2 * err;
      if (e2 >= dy) { err += dy; x += sx; }
      if (e2 <= dx) { err += dx; y += sy; }
    }
  }
  FPenPos = {X, Y};
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  TRect r = Normalized({X1, Y1, X2, Y2});
  if (IsRectEmpty(r)) return;
  Changing();
  bool solid = FPen->Style() == psSolid || FPen->Style() == psInsideFrame;
  int w = FPen->Style() == psClear ? 0 : std::min({solid ? FPen->Width() : 1, r.Width(), r.Height()});
  TRect inner = r;
  InflateRect(inner, -w, -w);
  FillWithBrush(inner);
  if (w > 0) {
    TPenMode mode = FPen->Mode();
    if (FPen->Style() == psSolid || FPen->Style() == psInsideFrame) {
      if (mode == pmCopy) {
        TColor c = FPen->Color();
        FillSolid({r.Left, r.Top, r.Right, r.Top + w}, c);
        FillSolid({r.Left, r.Bottom - w, r.Right, r.Bottom}, c);
        FillSolid({r.Left, r.Top + w, r.Left + w, r.Bottom - w}, c);
        FillSolid({r.Right - w, r.Top + w, r.Right, r.Bottom - w}, c);
        Changed();
        return;
      }
    }
    // Styled or raster-mode outlines go round pixel by pixel, each pixel
    // once, so an inverting pen inverts every outline pixel exactly once.
    FPenStep = 0;
    for (int i = 0; i < w; ++i) {
      int l = r.Left + i, t = r.Top + i, rr = r.Right - 1 - i, b = r.Bottom - 1 - i;
      if (l > rr || t > b) break;
      if (l == rr || t == b) {
        for (int y = t; y <= b; ++y)
          for (int x = l; x <= rr; ++x) PlotPenPixel(x, y, 1);
        break;
      }
      for (int x = l; x < rr; ++x) PlotPenPixel(x, t, 1);
      for (int y = t; y < b; ++y) PlotPenPixel(rr, y, 1);
      for (int x = rr; x > l; --x) PlotPenPixel(x, b, 1);
      for (int y = b; y > t; --y) PlotPenPixel(l, y, 1);
    }
  }
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  TRect r = Normalized({X1, Y1, X2, Y2});
  if (IsRectEmpty(r)) return;
  Changing();
  cairo_save(FCr);
  cairo_translate(FCr, (r.Left + r.Right) / 2.0, (r.Top + r.Bottom) / 2.0);
  cairo_scale(FCr, r.Width() / 2.0, r.Height() / 2.0);
  cairo_arc(FCr, 0, 0, 1, 0, 2 * 3.14159265358979323846);
  cairo_restore(FCr);
  if (FBrush->Style() != bsClear) {
    SetSourceColor(FCr, FBrush->Color());
    cairo_fill_preserve(FCr);
  }
  if (FPen->Style() != psClear) {
    // The outline is the outermost ring of pixels of the filled shape.
    cairo_new_path(FCr);
    cairo_save(FCr);
    cairo_translate(FCr, (r.Left + r.Right) / 2.0, (r.Top + r.Bottom) / 2.0);
    cairo_scale(FCr, std::max(0.5, r.Width() / 2.0 - 0.5), std::max(0.5, r.Height() / 2.0 - 0.5));
    cairo_arc(FCr, 0, 0, 1, 0, 2 * 3.14159265358979323846);
    cairo_restore(FCr);
    cairo_set_line_width(FCr, FPen->Width());
    SetSourceColor(FCr, FPen->Color());
    cairo_stroke(FCr);
  }
  cairo_new_path(FCr);
  Changed();
}

// ---- text --------------------------------------------------------------------

TSize TCanvas::TextExtent(const std::string& Text) {
  return {rix::TextLineWidth(*FFont, Text), rix::FontMetrics(*FFont).tmHeight};
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  const TTextMetric& tm = rix::FontMetrics(*FFont);
  PangoLayout* layout = rix::CreateTextLayout(*FFont, Text);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  if (FBkMode == OPAQUE) FillSolid(Bounds(X, Y, logical.width, tm.tmHeight), FBkColor);
  rix::ShowTextLine(FCr, pango_layout_get_line_readonly(layout, 0), X, Y + tm.tmAscent, FTextColor);
  g_object_unref(layout);
  FPenPos = {X + logical.width, Y};
  Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text) {
  Changing();
  {
    TSaveDC saved(this);
    TRect r = Normalized(R);
    IntersectClipRect(r);
    if (FBrush->Style() != bsClear) FillWithBrush(r);
    FBkMode = TRANSPARENT;
    TextOut(X, Y, Text);
  }
  Changed();
}

// ---- images --------------------------------------------------------------------

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  Changing();
  Graphic->Draw(this, R);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (Canvas == nullptr) return;
  TRect src = Normalized(Source);
  int dw = Dest.Right - Dest.Left, dh = Dest.Bottom - Dest.Top;
  if (IsRectEmpty(src) || dw == 0 || dh == 0) return;
  Changing();
  // A snapshot of the source first, so a canvas can copy onto itself.
  cairo_surface_t* snap = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, src.Width(), src.Height());
  {
    cairo_t* c = cairo_create(snap);
    cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(c, Canvas->FSurface, -(src.Left + Canvas->FOrigin.X), -(src.Top + Canvas->FOrigin.Y));
    cairo_paint(c);
    cairo_destroy(c);
  }
  bool exact = std::abs(dw) == src.Width() && std::abs(dh) == src.Height();
  // User space to snapshot space: scaled (mirrored when negative) about
  // the destination's Left/Top corner.
  auto paintScaled = [&](cairo_t* c, double ox, double oy) {
    cairo_pattern_t* p = cairo_pattern_create_for_surface(snap);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, static_cast<double>(src.Width()) / dw, static_cast<double>(src.Height()) / dh);
    cairo_matrix_translate(&m, -ox, -oy);
    cairo_pattern_set_matrix(p, &m);
    cairo_pattern_set_filter(p, exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    cairo_set_source(c, p);
    cairo_pattern_destroy(p);
  };
  TRect dst = Normalized(Dest);
  if (FCopyMode == cmSrcCopy) {
    cairo_save(FCr);
    cairo_rectangle(FCr, dst.Left, dst.Top, dst.Width(), dst.Height());
    cairo_clip(FCr);
    paintScaled(FCr, Dest.Left, Dest.Top);
    cairo_set_operator(FCr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(FCr);
    cairo_restore(FCr);
  } else {
    cairo_surface_t* scaled = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dst.Width(), dst.Height());
    cairo_t* c = cairo_create(scaled);
    paintScaled(c, Dest.Left - dst.Left, Dest.Top - dst.Top);
    cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
    cairo_paint(c);
    cairo_destroy(c);
    ApplyRop(dst, scaled, FCopyMode);
    cairo_surface_destroy(scaled);
  }
  cairo_surface_destroy(snap);
  Changed();
}

void TCanvas::ApplyRop(const TRect& Dest, cairo_surface_t* Src, TCopyMode Rop) {
  TRect dev = Dest;
  OffsetRect(dev, FOrigin.X, FOrigin.Y);
  TRect area;
  if (!IntersectRect(area, dev, FClip)) return;
  cairo_surface_flush(FSurface);
  cairo_surface_flush(Src);
  unsigned char* d = cairo_image_surface_get_data(FSurface);
  int ds = cairo_image_surface_get_stride(FSurface);
  unsigned char* s = cairo_image_surface_get_data(Src);
  int ss = cairo_image_surface_get_stride(Src);
  std::uint32_t brush = PackRGB(FBrush->Color()) & 0xFFFFFF;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      std::uint32_t dv, sv;
      std::memcpy(&dv, d + y * ds + x * 4, 4);
      std::memcpy(&sv, s + (y - dev.Top) * ss + (x - dev.Left) * 4, 4);
      dv &= 0xFFFFFF;
      sv &= 0xFFFFFF;
      std::uint32_t r;
      switch (Rop) {
      case cmSrcInvert: r = dv ^ sv; break;
      case cmSrcAnd: r = dv & sv; break;
      case cmSrcPaint: r = dv | sv; break;
      case cmNotSrcCopy: r = ~sv; break;
      case cmDstInvert: r = ~dv; break;
      case cmBlackness: r = 0; break;
      case cmWhiteness: r = 0xFFFFFF; break;
      case cmSrcErase: r = sv & ~dv; break;
      case cmNotSrcErase: r = ~(sv | dv); break;
      case cmMergePaint: r = ~sv | dv; break;
      case cmMergeCopy: r = sv & brush; break;
      case cmPatCopy: r = brush; break;
      // DSPDxax: the brush where the source is white, the destination
      // where it is black (painting through a monochrome mask).
      case 0x00E20746: r = ((dv ^ brush) & sv) ^ dv; break;
      default: r = sv; break;
      }
      r = (r & 0xFFFFFF) | 0xFF000000u;
      std::memcpy(d + y * ds + x * 4, &r, 4);
    }
  cairo_surface_mark_dirty(FSurface);
}

// ---- pixels ----------------------------------------------------------------------

TColor TCanvas::Pixels(int X, int Y) const {
  TPoint p{X + FOrigin.X, Y + FOrigin.Y};
  if (!PtInRect(DeviceBounds(), p)) return CLR_INVALID;
  cairo_surface_flush(FSurface);
  const unsigned char* data = cairo_image_surface_get_data(FSurface);
  std::uint32_t v;
  std::memcpy(&v, data + p.Y * cairo_image_surface_get_stride(FSurface) + p.X * 4, 4);
  unsigned a = v >> 24, r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
  if (a == 0) return clBlack;
  if (a < 255) {
    r = (r * 255 + a / 2) / a;
    g = (g * 255 + a / 2) / a;
    b = (b * 255 + a / 2) / a;
  }
  return RGB(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
}

void TCanvas::SetPixels(int X, int Y, TColor Color) {
  Changing();
  FillSolid({X, Y, X + 1, Y + 1}, Color);
  Changed();
}
