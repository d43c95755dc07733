// PNG and JPEG through stb_image (the header of Debian's libstb-dev),
// compiled here with the project's sanitizers so the fuzzer sees inside it.
#include "platform/graphics/Picture.h"

#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

void DecodeWithStb(const std::vector<std::uint8_t>& Data, TBitmap& Into, const char* Format) {
  if (Data.size() > 0x7FFFFFFF) throw EInvalidGraphic(std::string("The ") + Format + " image is too large");
  int len = static_cast<int>(Data.size());
  int w = 0, h = 0, comp = 0;
  if (!stbi_info_from_memory(Data.data(), len, &w, &h, &comp))
    throw EInvalidGraphic(std::string("Invalid ") + Format + " image: " + stbi_failure_reason());
  CheckImageSize(w, h);  // before the decoder allocates anything
  unsigned char* px = stbi_load_from_memory(Data.data(), len, &w, &h, &comp, 4);
  if (px == nullptr) throw EInvalidGraphic(std::string("Invalid ") + Format + " image: " + stbi_failure_reason());
  std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < argb.size(); ++i) {
    const unsigned char* p = px + 4 * i;
    argb[i] = (static_cast<std::uint32_t>(p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
  }
  stbi_image_free(px);
  Into.SetPixelsARGB(w, h, argb.data());
}

void Append(void* Context, void* Data, int Size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(Context);
  out->insert(out->end(), static_cast<std::uint8_t*>(Data), static_cast<std::uint8_t*>(Data) + Size);
}

} // namespace

void TPngImage::Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) { DecodeWithStb(Data, Into, "PNG"); }

std::vector<std::uint8_t> TPngImage::Encode(TBitmap& From) {
  TMemoryStream m;
  From.SaveToPNGStream(m);
  return m.Data();
}

void TJPEGImage::Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) { DecodeWithStb(Data, Into, "JPEG"); }

std::vector<std::uint8_t> TJPEGImage::Encode(TBitmap& From) {
  if (From.Empty()) throw EInvalidGraphic("Cannot save an empty picture as JPEG");
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(From.Width()) * From.Height() * 3);
  for (int y = 0; y < From.Height(); ++y) {
    for (int x = 0; x < From.Width(); ++x) {
      TColor c = From.Canvas()->Pixels(x, y);
      std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * From.Width() + x) * 3;
      p[0] = static_cast<std::uint8_t>(GetRValue(c));
      p[1] = static_cast<std::uint8_t>(GetGValue(c));
      p[2] = static_cast<std::uint8_t>(GetBValue(c));
    }
  }
  std::vector<std::uint8_t> out;
  if (!stbi_write_jpg_to_func(Append, &out, From.Width(), From.Height(), 3, rgb.data(), 90))
    throw EWriteError("Writing the JPEG image failed");
  return out;
}
