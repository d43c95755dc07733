// Bitmaps and pictures on the clipboard (see Clipbrd.h for the formats).
#include "platform/controls/Clipbrd.h"

#include "platform/core/Streams.h"
#include "platform/graphics/Picture.h"

namespace {
std::vector<std::uint8_t> Bytes(TGraphic& G) {
  TMemoryStream s;
  G.SaveToStream(s);
  return std::vector<std::uint8_t>(s.Memory(), s.Memory() + s.Size());
}

class TClipboardBracket {
public:
  explicit TClipboardBracket(TClipboard& C) : FC(C) { FC.Open(); }
  ~TClipboardBracket() { FC.Close(); }
  TClipboardBracket(const TClipboardBracket&) = delete;
  TClipboardBracket& operator=(const TClipboardBracket&) = delete;

private:
  TClipboard& FC;
};

bool PutGraphic(TClipboard& C, TPersistent* Source) {
  TGraphic* g = nullptr;
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    g = p->Graphic();
    if (g == nullptr) {
      C.Clear();
      return true;
    }
  } else {
    g = dynamic_cast<TGraphic*>(Source);
  }
  if (g == nullptr) return false;
  // Everything is encoded before the clipboard changes: a failure leaves it as it was.
  std::vector<std::uint8_t> picture;
  std::vector<std::uint8_t> bitmap;
  if (auto* b = dynamic_cast<TBitmap*>(g)) {
    bitmap = Bytes(*b);
  } else {
    picture = Bytes(*g);
    TBitmap pixels;
    pixels.Assign(g);
    bitmap = Bytes(pixels);
  }
  std::vector<std::uint8_t> shared = picture.empty() ? bitmap : picture;
  {
    TClipboardBracket bracket(C);
    C.SetFormatData(CF_BITMAP, std::move(bitmap));
    if (!picture.empty()) C.SetFormatData(CF_PICTURE, std::move(picture));
  }
  if (TClipboardHostLink* link = C.HostLink()) link->PutPicture(shared);
  return true;
}

bool TakeGraphic(TClipboard& C, TPersistent* Dest) {
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  auto* picture = dynamic_cast<TPicture*>(Dest);
  if (bitmap == nullptr && picture == nullptr) return false;
  unsigned format = picture != nullptr && C.HasFormat(CF_PICTURE) ? CF_PICTURE : CF_BITMAP;
  if (!C.HasFormat(format)) throw EInvalidGraphic("Unsupported clipboard format");
  TMemoryStream s(C.GetFormatData(format));
  if (picture != nullptr) {
    picture->LoadFromStream(s);
  } else {
    // Loaded aside first, so bad data leaves the bitmap as it was.
    TBitmap loaded;
    loaded.LoadFromStream(s);
    bitmap->Assign(&loaded);
  }
  return true;
}
} // namespace

namespace rix {
bool PictureToClipboardFormats(const std::vector<std::uint8_t>& Data, std::vector<std::uint8_t>& Bitmap,
                               std::vector<std::uint8_t>& Picture) {
  TPicture loaded;
  try {
    TMemoryStream s(Data);
    loaded.LoadFromStream(s);
  } catch (const EInvalidGraphic&) {
    return false;
  }
  if (loaded.Graphic() == nullptr) return false;
  if (dynamic_cast<TBitmap*>(loaded.Graphic()) != nullptr) {
    Bitmap = Data;
    Picture.clear();
  } else {
    TBitmap pixels;
    pixels.Assign(loaded.Graphic());
    Bitmap = Bytes(pixels);
    Picture = Data;
  }
  return true;
}

void RegisterClipboardGraphics() {
  TClipboard::RegisterAssignHook(PutGraphic);
  TClipboard::RegisterAssignToHook(TakeGraphic);
}
} // namespace rix
