// PNG and JPEG through stb_image (the header of Debian's libstb-dev),
// compiled here with the project's sanitizers so the fuzzer sees inside it.
#include "platform/graphics/Picture.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
// Zeroed allocations: a JPEG scan may name a Huffman table its file never
// defined, and stb_image 2.27 then decodes with whatever the memory held
// before, indexing its tables out of bounds. An all-zero table only ever
// yields symbol 0, so such a file decodes to garbage pixels or fails, safely.
#define STBI_MALLOC(Size) calloc(1, Size)
#define STBI_REALLOC(Ptr, Size) realloc(Ptr, Size)
#define STBI_FREE(Ptr) free(Ptr)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
// A PNG whose first image-data chunk is empty makes stb_image copy zero
// bytes to its still unallocated buffer: memcpy with a null pointer, which
// is undefined even for no bytes. Zero-byte copies are skipped instead.
namespace {
void* CopyBytes(void* To, const void* From, std::size_t Count) { return Count == 0 ? To : std::memcpy(To, From, Count); }
} // namespace
#define memcpy CopyBytes
#include <stb/stb_image.h>
#undef memcpy
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

[[noreturn]] void Corrupt(const char* Format, const std::string& What) {
  throw EInvalidGraphic(std::string("Invalid ") + Format + " image: " + What);
}

std::uint32_t Be32(const std::uint8_t* P) {
  return (static_cast<std::uint32_t>(P[0]) << 24) | (P[1] << 16) | (P[2] << 8) | P[3];
}

// stb_image 2.27 trusts a chunk's length and grows its buffer to it before
// reading: every chunk must lie inside the data.
void CheckPngStructure(const std::vector<std::uint8_t>& D) {
  std::size_t p = 8;
  while (p + 12 <= D.size()) {
    std::uint32_t len = Be32(&D[p]);
    if (len > D.size() - p - 12) Corrupt("PNG", "a chunk runs past the end of the data");
    if (std::memcmp(&D[p + 4], "IEND", 4) == 0) return;
    p += 12 + static_cast<std::size_t>(len);
  }
}

// Empty IDAT chunks are legal but make stb_image copy zero bytes into a
// buffer it has not allocated yet; they carry nothing, so they are dropped.
std::vector<std::uint8_t> WithoutEmptyIdat(const std::vector<std::uint8_t>& D) {
  std::vector<std::uint8_t> out(D.begin(), D.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(8, D.size())));
  std::size_t p = 8;
  while (p + 12 <= D.size()) {
    std::uint32_t len = Be32(&D[p]);
    if (len > D.size() - p - 12) break;
    std::size_t end = p + 12 + len;
    bool iend = std::memcmp(&D[p + 4], "IEND", 4) == 0;
    if (!(len == 0 && std::memcmp(&D[p + 4], "IDAT", 4) == 0))
      out.insert(out.end(), D.begin() + static_cast<std::ptrdiff_t>(p), D.begin() + static_cast<std::ptrdiff_t>(end));
    p = end;
    if (iend) break;
  }
  out.insert(out.end(), D.begin() + static_cast<std::ptrdiff_t>(std::min(p, D.size())), D.end());
  return out;
}

// stb_image 2.27 writes past its Huffman tables when a table declares more
// than 256 codes, and reads tables a scan names but the file never
// defined: the marker segments are checked before it sees them.
void CheckJpegStructure(const std::vector<std::uint8_t>& D) {
  const std::size_t n = D.size();
  bool dc[4] = {}, ac[4] = {};
  bool progressive = false;
  std::size_t p = 2;
  while (p < n) {
    if (D[p] != 0xFF) Corrupt("JPEG", "data between segments");
    while (p < n && D[p] == 0xFF) ++p;
    if (p >= n) return;
    std::uint8_t m = D[p++];
    if (m == 0xD9) return;
    if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;
    if (p + 2 > n) return;  // the decoder reports the truncation
    std::size_t len = (static_cast<std::size_t>(D[p]) << 8) | D[p + 1];
    if (len < 2 || len > n - p) Corrupt("JPEG", "a segment runs past the end of the data");
    const std::uint8_t* s = &D[p + 2];
    std::size_t sl = len - 2;
    if (m == 0xC2) progressive = true;
    if (m == 0xC4) {
      for (std::size_t q = 0; q < sl;) {
        if (q + 17 > sl) Corrupt("JPEG", "truncated Huffman table");
        int tc = s[q] >> 4, th = s[q] & 15;
        if (tc > 1 || th > 3) Corrupt("JPEG", "bad Huffman table header");
        std::size_t total = 0;
        for (int i = 0; i < 16; ++i) total += s[q + 1 + i];
        if (total > 256) Corrupt("JPEG", "a Huffman table with more than 256 codes");
        if (q + 17 + total > sl) Corrupt("JPEG", "truncated Huffman table");
        (tc == 0 ? dc : ac)[th] = true;
        q += 17 + total;
      }
    }
    if (m == 0xDA) {
      std::size_t ns = sl > 0 ? s[0] : 0;
      if (ns < 1 || ns > 4 || sl < 4 + 2 * ns) Corrupt("JPEG", "bad scan header");
      int ss = s[1 + 2 * ns], ah = s[3 + 2 * ns] >> 4;
      bool needDc = !progressive || (ss == 0 && ah == 0), needAc = !progressive || ss > 0;
      for (std::size_t i = 0; i < ns; ++i) {
        int td = s[2 + 2 * i] >> 4, ta = s[2 + 2 * i] & 15;
        if ((needDc && (td > 3 || !dc[td])) || (needAc && (ta > 3 || !ac[ta])))
          Corrupt("JPEG", "a scan uses an undefined Huffman table");
      }
      // Skip the entropy-coded data up to the next marker.
      p += len;
      while (p + 1 < n && !(D[p] == 0xFF && D[p + 1] != 0 && D[p + 1] != 0xFF && (D[p + 1] < 0xD0 || D[p + 1] > 0xD7))) ++p;
      if (p + 1 >= n) return;
      continue;
    }
    p += len;
  }
}

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

void TPngImage::Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) {
  CheckPngStructure(Data);
  DecodeWithStb(WithoutEmptyIdat(Data), Into, "PNG");
}

std::vector<std::uint8_t> TPngImage::Encode(TBitmap& From) {
  TMemoryStream m;
  From.SaveToPNGStream(m);
  return m.Data();
}

void TJPEGImage::Decode(const std::vector<std::uint8_t>& Data, TBitmap& Into) {
  CheckJpegStructure(Data);
  DecodeWithStb(Data, Into, "JPEG");
}

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
