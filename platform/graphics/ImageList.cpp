#include "platform/graphics/ImageList.h"

#include "platform/graphics/Colors.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

void TImageList::TSurfaceFree::operator()(cairo_surface_t* S) const { cairo_surface_destroy(S); }

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::TImageList(int AWidth, int AHeight, TComponent* AOwner) : TComponent(AOwner) {
  SetSize(AWidth, AHeight);
}

TImageList::~TImageList() = default;

void TImageList::Change() {
  if (FOnChange) FOnChange(this);
}

void TImageList::SetSize(int AWidth, int AHeight) {
  if (AWidth < 1 || AHeight < 1) throw EInvalidOperation("Image list size must be at least 1 x 1");
  CheckImageSize(AWidth, AHeight);
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FImages.clear();
  Change();
}

void TImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  Change();
}

void TImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EInvalidOperation("Image list index " + std::to_string(Index) + " out of bounds (" +
                            std::to_string(Count()) + " images)");
}

TImageList::TImage TImageList::Slice(TBitmap* Image, TBitmap* Mask, TColor MaskColor, bool UseMaskColor, int Slot) {
  TImage img(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, FWidth, FHeight));
  if (cairo_surface_status(img.get()) != CAIRO_STATUS_SUCCESS) throw EOutOfResources("Not enough memory for an image");
  if (Image == nullptr || Image->Empty()) return img;
  std::uint32_t key = 0;
  bool masking = false;
  if (UseMaskColor && MaskColor != clNone) {
    TColor c = ColorToRGB(MaskColor == clDefault ? Image->TransparentColor() : MaskColor) & 0xFFFFFF;
    key = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    masking = true;
  }
  cairo_surface_flush(img.get());
  unsigned char* d = cairo_image_surface_get_data(img.get());
  int ds = cairo_image_surface_get_stride(img.get());
  int x0 = Slot * FWidth;
  int w = std::min(FWidth, Image->Width() - x0), h = std::min(FHeight, Image->Height());
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* src = Image->ScanLine(y) + x0;
    const std::uint32_t* msk = nullptr;
    if (Mask != nullptr && y < Mask->Height()) msk = Mask->ScanLine(y);
    auto* dst = reinterpret_cast<std::uint32_t*>(d + static_cast<std::size_t>(y) * ds);
    for (int x = 0; x < w; ++x) {
      std::uint32_t v = src[x];
      if (masking && v == key) v = 0;
      if (msk != nullptr && x0 + x < Mask->Width() && (msk[x0 + x] & 0xFFFFFF) == 0xFFFFFF) v = 0;
      dst[x] = v;
    }
  }
  cairo_surface_mark_dirty(img.get());
  return img;
}

int TImageList::AddSlices(TBitmap* Image, TBitmap* Mask, TColor MaskColor, bool UseMaskColor) {
  int first = Count();
  int n = Image == nullptr || Image->Empty() ? 1 : std::max(1, Image->Width() / FWidth);
  // All slices are made before any is added: a failure adds nothing.
  std::vector<TImage> added;
  for (int i = 0; i < n; ++i) added.push_back(Slice(Image, Mask, MaskColor, UseMaskColor, i));
  for (auto& a : added) FImages.push_back(std::move(a));
  Change();
  return first;
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask) { return AddSlices(Image, Mask, clNone, false); }

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor) { return AddSlices(Image, nullptr, MaskColor, true); }

void TImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  FImages[Index] = Slice(Image, Mask, clNone, false, 0);
  Change();
}

void TImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  FImages[Index] = Slice(NewImage, nullptr, MaskColor, true, 0);
  Change();
}

void TImageList::Delete(int Index) {
  CheckIndex(Index);
  FImages.erase(FImages.begin() + Index);
  Change();
}

void TImageList::Clear() {
  FImages.clear();
  Change();
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  unsigned style = FDrawingStyle == dsTransparent ? ILD_TRANSPARENT
                   : FDrawingStyle == dsFocus     ? ILD_FOCUS
                   : FDrawingStyle == dsSelected  ? ILD_SELECTED
                                                  : ILD_NORMAL;
  DrawEx(Canvas, X, Y, Index, FBkColor, FBlendColor, style, Enabled);
}

namespace {

// The image's shape as an alpha mask: visible pixels that are not white.
cairo_surface_t* ShapeOf(cairo_surface_t* Img, int W, int H) {
  cairo_surface_t* m = cairo_image_surface_create(CAIRO_FORMAT_A8, W, H);
  cairo_surface_flush(Img);
  cairo_surface_flush(m);
  const unsigned char* s = cairo_image_surface_get_data(Img);
  unsigned char* d = cairo_image_surface_get_data(m);
  int ss = cairo_image_surface_get_stride(Img), dstr = cairo_image_surface_get_stride(m);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      std::uint32_t v;
      std::memcpy(&v, s + y * ss + x * 4, 4);
      bool shown = (v >> 24) >= 128 && (v | 0xFF000000u) != 0xFFFFFFFFu;
      d[y * dstr + x] = shown ? 255 : 0;
    }
  cairo_surface_mark_dirty(m);
  return m;
}

} // namespace

void TImageList::DrawEx(TCanvas* Canvas, int X, int Y, int Index, TColor Bk, TColor Fg, unsigned Style, bool Enabled) {
  if (Canvas == nullptr) return;
  CheckIndex(Index);
  cairo_surface_t* img = FImages[Index].get();
  cairo_t* cr = Canvas->Cairo();
  Canvas->Changing();
  cairo_save(cr);
  cairo_rectangle(cr, X, Y, FWidth, FHeight);
  cairo_clip(cr);
  if (!Enabled) {
    cairo_surface_t* shape = ShapeOf(img, FWidth, FHeight);
    rix::SetSourceColor(cr, clBtnHighlight);
    cairo_mask_surface(cr, shape, X + 1, Y + 1);
    rix::SetSourceColor(cr, clBtnShadow);
    cairo_mask_surface(cr, shape, X, Y);
    cairo_surface_destroy(shape);
  } else if (Style & ILD_MASK) {
    cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, FWidth, FHeight);
    cairo_t* c = cairo_create(alpha);
    cairo_set_source_surface(c, img, 0, 0);
    cairo_paint(c);
    cairo_destroy(c);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, X, Y, FWidth, FHeight);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_mask_surface(cr, alpha, X, Y);
    cairo_surface_destroy(alpha);
  } else {
    if (!(Style & ILD_TRANSPARENT) && Bk != clNone) {
      rix::SetSourceColor(cr, Bk);
      cairo_rectangle(cr, X, Y, FWidth, FHeight);
      cairo_fill(cr);
    }
    cairo_set_source_surface(cr, img, X, Y);
    cairo_paint(cr);
    if (Style & (ILD_BLEND25 | ILD_BLEND50)) {
      cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, FWidth, FHeight);
      cairo_t* c = cairo_create(alpha);
      cairo_set_source_surface(c, img, 0, 0);
      cairo_paint_with_alpha(c, (Style & ILD_BLEND50) ? 0.5 : 0.25);
      cairo_destroy(c);
      rix::SetSourceColor(cr, Fg == clNone || Fg == clDefault ? clHighlight : Fg);
      cairo_mask_surface(cr, alpha, X, Y);
      cairo_surface_destroy(alpha);
    }
  }
  cairo_restore(cr);
  Canvas->Changed();
}

void TImageList::GetBitmap(int Index, TBitmap* Image) {
  CheckIndex(Index);
  if (Image == nullptr) return;
  Image->SetSize(FWidth, FHeight);
  TCanvas* c = Image->Canvas();
  c->FillSolid({0, 0, FWidth, FHeight}, FBkColor == clNone ? clWhite : FBkColor);
  DrawEx(c, 0, 0, Index, clNone, clNone, ILD_TRANSPARENT);
}

bool ImageList_DrawEx(TImageList* List, int Index, HDC DC, int X, int Y, int, int, TColor Bk, TColor Fg,
                      unsigned Style) {
  if (List == nullptr || DC == nullptr || Index < 0 || Index >= List->Count()) return false;
  List->DrawEx(DC, X, Y, Index, Bk, Fg, Style);
  return true;
}
