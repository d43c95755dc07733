// TPicture and the picture formats: BMP (TBitmap), PNG (TPngImage) and JPEG
// (TJPEGImage), registered by file extension and recognised by content.
#pragma once

#include "platform/graphics/Graphic.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A compressed picture decoded into a bitmap. The original bytes are kept
// and written back unchanged, so loading and saving loses nothing; a picture
// assigned from a bitmap is encoded afresh.
class TCompressedImage : public TGraphic {
  RIX_CLASS_NAME(TCompressedImage)
public:
  TCompressedImage();
  ~TCompressedImage() override;

  bool Empty() const override { return FBitmap->Empty(); }
  int Width() const override { return FBitmap->Width(); }
  int Height() const override { return FBitmap->Height(); }
  // Resizing a compressed picture is not supported; EInvalidGraphicOperation.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void Assign(TPersistent* Source) override;
  // The decoded pixels.
  TBitmap* Bitmap() const { return FBitmap.get(); }

protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) = 0;
  virtual std::vector<std::uint8_t> Encode(TBitmap& From) = 0;

private:
  std::unique_ptr<TBitmap> FBitmap;
  std::vector<std::uint8_t> FData;
};

class TPngImage : public TCompressedImage {
  RIX_CLASS_NAME(TPngImage)
protected:
  void Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) override;
  std::vector<std::uint8_t> Encode(TBitmap& From) override;
};

// Encoded at quality 90 when made from a bitmap.
class TJPEGImage : public TCompressedImage {
  RIX_CLASS_NAME(TJPEGImage)
protected:
  void Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) override;
  std::vector<std::uint8_t> Encode(TBitmap& From) override;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TGraphicFormat {
  std::string Extension;    // lower case, without the dot: "png"
  std::string Description;  // "Portable Network Graphics"
  std::string ClassName;    // "TPngImage"
  TGraphicFactory Create;
  // True when the first bytes of a file are this format's signature.
  std::function<bool(const std::uint8_t* Data, std::size_t Size)> Matches;
};

class TPicture : public TPersistent {
  RIX_CLASS_NAME(TPicture)
public:
  TPicture();
  ~TPicture() override;

  // Nil while the picture is empty.
  TGraphic* Graphic() const { return FGraphic.get(); }
  // Takes a copy of Value (nil empties the picture).
  void SetGraphic(TGraphic* Value);
  // The picture as a bitmap; an empty or non-bitmap picture is replaced by a
  // new empty bitmap first.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Source: a TPicture, a TGraphic or nil; anything else asks the source
  // to assign itself (AssignTo), which is how a graphic blob field loads a
  // picture.
  void Assign(TPersistent* Source) override;
  // The format is recognised from the content; an empty stream empties the
  // picture. Unknown or bad data raises EInvalidGraphic and leaves the
  // picture as it was.
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  // The format comes from the extension, or from the content when the
  // extension is unknown.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

  static void RegisterFileFormat(TGraphicFormat Format);
  static void UnregisterFileFormat(const std::string& Extension);
  static const std::vector<TGraphicFormat>& FileFormats();
  // The picture dialogs' filter: "All (*.bmp;*.png;...)|*.bmp;*.png;...|Bitmaps (*.bmp)|*.bmp|..."
  static std::string GraphicFilter();

private:
  void Changed();
  void Adopt(std::unique_ptr<TGraphic> Graphic);

  std::unique_ptr<TGraphic> FGraphic;
  TNotifyEvent FOnChange;
};

// A new graphic of the class named ("TBitmap", "TPngImage" ...) or nil.
std::unique_ptr<TGraphic> CreateGraphicByClassName(const std::string& ClassName);
