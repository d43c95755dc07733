// TGraphic, the base of every picture format, and TBitmap, the in-memory
// image with its own canvas.
#pragma once

#include "platform/core/Streams.h"
#include "platform/graphics/Canvas.h"

#include <cstdint>
#include <memory>
#include <string>

// Decoded images are refused beyond these sizes before anything is
// allocated: a picture from a file or a blob field cannot make the process
// ask for gigabytes.
constexpr int MaxImageDimension = 16384;
constexpr long long MaxImagePixels = 32LL * 1024 * 1024;
// EInvalidGraphic unless 0 <= Width, Height within the caps above.
void CheckImageSize(long long Width, long long Height);

class TGraphic : public TPersistent {
  RIX_CLASS_NAME(TGraphic)
public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // Loading either replaces the whole image or, on bad data, raises
  // EInvalidGraphic and leaves the graphic as it was.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // Paints the graphic scaled into Rect (Right and Bottom exclusive).
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
  void Changed();

private:
  bool FTransparent = false;
  bool FModified = false;
  TNotifyEvent FOnChange;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// Pixels live in a Cairo ARGB32 surface (premultiplied 0xAARRGGBB, one
// 32-bit word per pixel). A new or resized bitmap is opaque white; resizing
// keeps nothing of the old image.
//
// BMP files: reads 1, 4, 8 (also RLE4 and RLE8 compressed), 16, 24 and 32
// bits per pixel, bottom-up and top-down; writes 32 bits per pixel when
// PixelFormat is pf32bit (alpha kept) and 24 otherwise.
//
// "Glyph.Data" (WriteData/ReadData): a 4-byte little-endian length N, then N
// bytes holding the bitmap as a BMP file (file header included).
class TBitmap : public TGraphic {
  RIX_CLASS_NAME(TBitmap)
public:
  TBitmap();
  TBitmap(int AWidth, int AHeight);
  ~TBitmap() override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight);

  TCanvas* Canvas();
  cairo_surface_t* Surface() const { return FSurface; }
  // Row Y of the pixels (premultiplied ARGB words); call Changed-causing
  // Modify() after writing through it.
  std::uint32_t* ScanLine(int Y);
  void Modify();

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
  bool Monochrome() const { return FMonochrome; }
  // Making a bitmap monochrome turns each pixel black or white: white where
  // it is brighter than middle grey.
  void SetMonochrome(bool Value);
  TBitmapHandleType HandleType() const { return FHandleType; }
  void SetHandleType(TBitmapHandleType Value) { FHandleType = Value; }
  void Dormant() {}
  void FreeImage() {}

  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);
  // tmAuto: the colour of the bottom-left pixel (clDefault when empty);
  // tmFixed: the colour set here. Setting it switches to tmFixed.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);

  void Assign(TPersistent* Source) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);
  // Streams the image as the binary property "Data" ("Glyph.Data" under a
  // column's glyph).
  void DefineProperties(TFiler* Filer) override;
  void SaveToPNG(const std::string& FileName);
  void SaveToPNGStream(TStream& Stream);
  // Replaces the image by Width x Height pixels of straight (not
  // premultiplied) 0xAARRGGBB words; used by the decoders.
  void SetPixelsARGB(int AWidth, int AHeight, const std::uint32_t* Pixels);

  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  void NewSurface(int AWidth, int AHeight);
  void CanvasChanged();

  int FWidth = 0;
  int FHeight = 0;
  cairo_surface_t* FSurface = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
  TPixelFormat FPixelFormat = pfDevice;
  bool FMonochrome = false;
  TBitmapHandleType FHandleType = bmDIB;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
};
