#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphic.h"

#include <cairo.h>

#include <cstring>
#include <vector>

void CheckImageSize(long long Width, long long Height) {
  if (Width < 0 || Height < 0)
    throw EInvalidGraphic("Invalid image size " + std::to_string(Width) + " x " + std::to_string(Height));
  if (Width > MaxImageDimension || Height > MaxImageDimension || Width * Height > MaxImagePixels)
    throw EInvalidGraphic("Image of " + std::to_string(Width) + " x " + std::to_string(Height) +
                          " pixels is too large (at most " + std::to_string(MaxImageDimension) +
                          " pixels a side and " + std::to_string(MaxImagePixels) + " pixels)");
}

// ---- TGraphic --------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::Changed() {
  FModified = true;
  if (FOnChange) FOnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream s(FileName, fmOpenRead);
  LoadFromStream(s);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  // Encoded in memory first: a failing encoder leaves no half-written file.
  TMemoryStream m;
  SaveToStream(m);
  TFileStream s(FileName, fmCreate);
  s.WriteBuffer(m.Memory(), m.Size());
}

// ---- TBitmap ---------------------------------------------------------------------

namespace {

std::uint32_t Premultiply(std::uint32_t V) {
  std::uint32_t a = V >> 24;
  if (a == 255) return V;
  if (a == 0) return 0;
  auto ch = [&](int Shift) { return ((((V >> Shift) & 0xFF) * a + 127) / 255) << Shift; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

std::uint32_t Unpremultiply(std::uint32_t V) {
  std::uint32_t a = V >> 24;
  if (a == 255 || a == 0) return a == 0 ? 0 : V;
  auto ch = [&](int Shift) { return std::min<std::uint32_t>(255, (((V >> Shift) & 0xFF) * 255 + a / 2) / a) << Shift; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

std::vector<std::uint32_t> StraightPixels(cairo_surface_t* S, int W, int H) {
  std::vector<std::uint32_t> out(static_cast<std::size_t>(W) * H);
  if (out.empty()) return out;
  cairo_surface_flush(S);
  const unsigned char* data = cairo_image_surface_get_data(S);
  int stride = cairo_image_surface_get_stride(S);
  for (int y = 0; y < H; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < W; ++x) out[static_cast<std::size_t>(y) * W + x] = Unpremultiply(row[x]);
  }
  return out;
}

cairo_status_t WriteToStream(void* Closure, const unsigned char* Data, unsigned int Length) {
  try {
    static_cast<TStream*>(Closure)->WriteBuffer(Data, Length);
    return CAIRO_STATUS_SUCCESS;
  } catch (...) {
    return CAIRO_STATUS_WRITE_ERROR;
  }
}

std::vector<std::uint8_t> ReadRest(TStream& Stream, std::int64_t Limit) {
  std::int64_t left = Stream.Size() - Stream.Position();
  if (left < 0) left = 0;
  if (left > Limit) throw EInvalidGraphic("The image data is too large");
  std::vector<std::uint8_t> buf(static_cast<std::size_t>(left));
  if (left > 0) Stream.ReadBuffer(buf.data(), left);
  return buf;
}

} // namespace

TBitmap::TBitmap() { NewSurface(0, 0); }

TBitmap::TBitmap(int AWidth, int AHeight) {
  CheckImageSize(AWidth, AHeight);
  NewSurface(AWidth, AHeight);
}

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FSurface) cairo_surface_destroy(FSurface);
}

void TBitmap::NewSurface(int AWidth, int AHeight) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, AWidth, AHeight);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    throw EOutOfResources("Not enough memory for a bitmap of " + std::to_string(AWidth) + " x " +
                          std::to_string(AHeight) + " pixels");
  }
  if (AWidth > 0 && AHeight > 0) {
    cairo_t* c = cairo_create(s);
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_paint(c);
    cairo_destroy(c);
  }
  if (FCanvas) FCanvas->SetSurface(s);
  if (FSurface) cairo_surface_destroy(FSurface);
  FSurface = s;
  FWidth = AWidth;
  FHeight = AHeight;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  CheckImageSize(AWidth, AHeight);
  NewSurface(AWidth, AHeight);
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TCanvas>(FSurface);
    FCanvas->SetOnChange([this](TObject*) { CanvasChanged(); });
  }
  return FCanvas.get();
}

void TBitmap::CanvasChanged() { Changed(); }

std::uint32_t* TBitmap::ScanLine(int Y) {
  if (Y < 0 || Y >= FHeight) throw EInvalidGraphic("Scan line index " + std::to_string(Y) + " out of range");
  cairo_surface_flush(FSurface);
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(FSurface) +
                                          static_cast<std::size_t>(Y) * cairo_image_surface_get_stride(FSurface));
}

void TBitmap::Modify() {
  cairo_surface_mark_dirty(FSurface);
  Changed();
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == FMonochrome) return;
  FMonochrome = Value;
  if (Value && !Empty()) {
    // The device rule: pixels of the background (brush) colour turn white,
    // every other pixel black.
    TColor bk = ColorToRGB(Canvas()->Brush()->Color()) & 0xFFFFFF;
    std::uint32_t key = 0xFF000000u | (GetRValue(bk) << 16) | (GetGValue(bk) << 8) | GetBValue(bk);
    for (int y = 0; y < FHeight; ++y) {
      std::uint32_t* row = ScanLine(y);
      for (int x = 0; x < FWidth; ++x) row[x] = (row[x] | 0xFF000000u) == key && (row[x] >> 24) == 255 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    cairo_surface_mark_dirty(FSurface);
  }
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  FTransparentMode = Value;
  if (Value == tmAuto) FTransparentColor = clDefault;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  if (FMonochrome) return clWhite;
  return const_cast<TBitmap*>(this)->Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetPixelsARGB(int AWidth, int AHeight, const std::uint32_t* Pixels) {
  CheckImageSize(AWidth, AHeight);
  NewSurface(AWidth, AHeight);
  if (AWidth > 0 && AHeight > 0) {
    cairo_surface_flush(FSurface);
    unsigned char* data = cairo_image_surface_get_data(FSurface);
    int stride = cairo_image_surface_get_stride(FSurface);
    for (int y = 0; y < AHeight; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
      for (int x = 0; x < AWidth; ++x) row[x] = Premultiply(Pixels[static_cast<std::size_t>(y) * AWidth + x]);
    }
    cairo_surface_mark_dirty(FSurface);
  }
  Changed();
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetSize(0, 0);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    auto px = StraightPixels(b->FSurface, b->FWidth, b->FHeight);
    FPixelFormat = b->FPixelFormat;
    FMonochrome = b->FMonochrome;
    FHandleType = b->FHandleType;
    FTransparentMode = b->FTransparentMode;
    FTransparentColor = b->FTransparentColor;
    if (Transparent() != b->Transparent()) TGraphic::SetTransparent(b->Transparent());
    SetPixelsARGB(b->FWidth, b->FHeight, px.data());
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  auto buf = ReadRest(Stream, 1LL << 30);
  auto img = rix::DecodeBmp(buf.data(), buf.size());
  switch (img.BitsPerPixel) {
  case 1: FPixelFormat = pf1bit; break;
  case 4: FPixelFormat = pf4bit; break;
  case 8: FPixelFormat = pf8bit; break;
  case 16: FPixelFormat = pf16bit; break;
  case 24: FPixelFormat = pf24bit; break;
  default: FPixelFormat = pf32bit; break;
  }
  SetPixelsARGB(img.Width, img.Height, img.Pixels.data());
}

void TBitmap::SaveToStream(TStream& Stream) {
  auto px = StraightPixels(FSurface, FWidth, FHeight);
  auto bytes = rix::EncodeBmp(FWidth, FHeight, px.data(), FPixelFormat == pf32bit ? 32 : 24);
  Stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::ReadData(TStream& Stream) {
  std::uint8_t len[4];
  Stream.ReadBuffer(len, 4);
  std::uint32_t n = len[0] | (len[1] << 8) | (len[2] << 16) | (static_cast<std::uint32_t>(len[3]) << 24);
  std::int64_t left = Stream.Size() - Stream.Position();
  if (n > left) throw EInvalidGraphic("Bitmap data is truncated: " + std::to_string(n) + " bytes announced, " +
                                      std::to_string(left) + " present");
  std::vector<std::uint8_t> buf(n);
  if (n > 0) Stream.ReadBuffer(buf.data(), n);
  if (n == 0) {
    SetSize(0, 0);
    return;
  }
  TMemoryStream m(std::move(buf));
  LoadFromStream(m);
}

void TBitmap::WriteData(TStream& Stream) {
  TMemoryStream m;
  if (!Empty()) SaveToStream(m);
  std::uint32_t n = static_cast<std::uint32_t>(m.Size());
  std::uint8_t len[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                         static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
  Stream.WriteBuffer(len, 4);
  if (n > 0) Stream.WriteBuffer(m.Memory(), n);
}

void TBitmap::SaveToPNGStream(TStream& Stream) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap as PNG");
  cairo_surface_flush(FSurface);
  if (cairo_surface_write_to_png_stream(FSurface, WriteToStream, &Stream) != CAIRO_STATUS_SUCCESS)
    throw EWriteError("Writing the PNG image failed");
}

void TBitmap::SaveToPNG(const std::string& FileName) {
  TMemoryStream m;
  SaveToPNGStream(m);
  TFileStream f(FileName, fmCreate);
  f.WriteBuffer(m.Memory(), m.Size());
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || ACanvas == nullptr) return;
  int dw = Rect.Right - Rect.Left, dh = Rect.Bottom - Rect.Top;
  if (dw == 0 || dh == 0) return;
  cairo_surface_t* src = cairo_surface_reference(FSurface);
  if (Transparent()) {
    // The transparent colour's pixels become see-through in a copy.
    TColor key = ColorToRGB(TransparentColor()) & 0xFFFFFF;
    std::uint32_t k = 0xFF000000u | (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    cairo_surface_t* masked = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, FWidth, FHeight);
    cairo_surface_flush(FSurface);
    cairo_surface_flush(masked);
    for (int y = 0; y < FHeight; ++y) {
      auto* s = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(FSurface) + y * cairo_image_surface_get_stride(FSurface));
      auto* d = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(masked) + y * cairo_image_surface_get_stride(masked));
      for (int x = 0; x < FWidth; ++x) d[x] = s[x] == k ? 0 : s[x];
    }
    cairo_surface_mark_dirty(masked);
    cairo_surface_destroy(src);
    src = masked;
  }
  cairo_t* cr = ACanvas->Cairo();
  cairo_save(cr);
  TRect n{std::min(Rect.Left, Rect.Right), std::min(Rect.Top, Rect.Bottom), std::max(Rect.Left, Rect.Right),
          std::max(Rect.Top, Rect.Bottom)};
  cairo_rectangle(cr, n.Left, n.Top, n.Width(), n.Height());
  cairo_clip(cr);
  cairo_translate(cr, Rect.Left, Rect.Top);
  cairo_scale(cr, static_cast<double>(dw) / FWidth, static_cast<double>(dh) / FHeight);
  cairo_set_source_surface(cr, src, 0, 0);
  bool exact = std::abs(dw) == FWidth && std::abs(dh) == FHeight;
  cairo_pattern_set_filter(cairo_get_source(cr), exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(src);
}
