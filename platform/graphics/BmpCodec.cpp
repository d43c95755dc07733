#include "platform/graphics/BmpCodec.h"

#include "platform/core/Checked.h"
#include "platform/graphics/Graphic.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace rix {

namespace {

[[noreturn]] void Bad(const std::string& What) { throw EInvalidGraphic("Invalid bitmap image: " + What); }

struct TReader {
  const std::uint8_t* Data;
  std::size_t Size;
  std::uint32_t U8(std::size_t At) const {
    if (At >= Size) Bad("the file is truncated");
    return Data[At];
  }
  std::uint32_t U16(std::size_t At) const { return U8(At) | (U8(At + 1) << 8); }
  std::uint32_t U32(std::size_t At) const { return U16(At) | (U16(At + 2) << 16); }
  std::int32_t I32(std::size_t At) const { return static_cast<std::int32_t>(U32(At)); }
};

struct TMask {
  std::uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;
  explicit TMask(std::uint32_t M = 0) : Mask(M) {
    if (M == 0) return;
    while (((M >> Shift) & 1) == 0) ++Shift;
    while (Shift + Bits < 32 && ((M >> (Shift + Bits)) & 1)) ++Bits;
  }
  // The channel scaled to 0..255.
  std::uint32_t Get(std::uint32_t V, std::uint32_t Absent) const {
    if (Mask == 0) return Absent;
    std::uint32_t c = (V & Mask) >> Shift;
    std::uint32_t max = Bits >= 32 ? 0xFFFFFFFFu : ((1u << Bits) - 1);
    if (Bits > 8) return c >> (Bits - 8);
    return (c * 255 + max / 2) / max;
  }
};

std::uint32_t Argb(std::uint32_t A, std::uint32_t R, std::uint32_t G, std::uint32_t B) {
  return (A << 24) | (R << 16) | (G << 8) | B;
}

void DecodeRle(const TReader& In, std::size_t Pos, int BitsPerPixel, int W, int H,
               const std::vector<std::uint32_t>& Palette, std::vector<std::uint32_t>& Out) {
  auto put = [&](int x, int y, std::uint32_t Index) {
    // Rows are stored bottom-up; anything outside the image is dropped.
    if (x < 0 || x >= W || y < 0 || y >= H) return;
    Out[static_cast<std::size_t>(H - 1 - y) * W + x] = Index < Palette.size() ? Palette[Index] : 0xFF000000u;
  };
  int x = 0, y = 0;
  while (y < H) {
    if (Pos + 1 >= In.Size) Bad("the compressed image is truncated");
    std::uint32_t n = In.U8(Pos), v = In.U8(Pos + 1);
    Pos += 2;
    if (n > 0) {
      for (std::uint32_t i = 0; i < n; ++i, ++x)
        put(x, y, BitsPerPixel == 8 ? v : (i % 2 == 0 ? v >> 4 : v & 0xF));
      continue;
    }
    if (v == 0) {
      x = 0;
      ++y;
    } else if (v == 1) {
      break;
    } else if (v == 2) {
      x += static_cast<int>(In.U8(Pos));
      y += static_cast<int>(In.U8(Pos + 1));
      Pos += 2;
    } else {
      std::size_t bytes = BitsPerPixel == 8 ? v : (v + 1) / 2;
      if (Pos + bytes > In.Size) Bad("the compressed image is truncated");
      for (std::uint32_t i = 0; i < v; ++i, ++x) {
        std::uint32_t b = In.U8(Pos + (BitsPerPixel == 8 ? i : i / 2));
        put(x, y, BitsPerPixel == 8 ? b : (i % 2 == 0 ? b >> 4 : b & 0xF));
      }
      Pos += (bytes + 1) & ~std::size_t(1);
    }
    if (x > W + 255) x = W + 255;  // keep a hostile run from counting forever
  }
}

} // namespace

TDecodedImage DecodeBmp(const std::uint8_t* Data, std::size_t Size) {
  TReader in{Data, Size};
  if (Size < 26 || Data[0] != 'B' || Data[1] != 'M') Bad("not a BMP file");
  std::uint32_t offBits = in.U32(10);
  std::uint32_t hdr = in.U32(14);
  std::int64_t w, h;
  std::uint32_t bpp, compression = 0, clrUsed = 0;
  std::size_t paletteEntry = 4;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  bool haveMasks = false;
  if (hdr == 12) {
    w = in.U16(18);
    h = in.U16(20);
    bpp = in.U16(24);
    paletteEntry = 3;
  } else if (hdr >= 40 && hdr <= 124) {
    w = in.I32(18);
    h = in.I32(22);
    bpp = in.U16(28);
    compression = in.U32(30);
    clrUsed = in.U32(46);
    if (compression == 3 || compression == 6) {
      std::size_t at = 14 + (hdr >= 52 ? 40 : hdr);
      for (int i = 0; i < (hdr >= 56 || compression == 6 ? 4 : 3); ++i) masks[i] = in.U32(at + 4 * i);
      haveMasks = true;
    } else if (hdr >= 56) {
      masks[3] = in.U32(14 + 52);
    }
  } else {
    Bad("unsupported header size " + std::to_string(hdr));
  }
  if (w < 0) Bad("negative width");
  bool topDown = h < 0;
  if (h == INT32_MIN) Bad("invalid height");
  if (topDown) h = -h;
  CheckImageSize(w, h);
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    Bad("unsupported colour depth of " + std::to_string(bpp) + " bits per pixel");
  bool rle = compression == 1 || compression == 2;
  if (compression == 6) compression = 3;
  if (compression > 3 || (compression == 1 && bpp != 8) || (compression == 2 && bpp != 4) ||
      (compression == 3 && bpp != 16 && bpp != 32))
    Bad("unsupported compression " + std::to_string(compression));
  if (rle && topDown) Bad("a compressed image cannot be top-down");

  TDecodedImage img;
  img.Width = static_cast<int>(w);
  img.Height = static_cast<int>(h);
  img.BitsPerPixel = static_cast<int>(bpp);
  std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::size_t count = clrUsed != 0 ? clrUsed : (1u << bpp);
    if (count > 256) Bad("the palette has more than 256 colours");
    std::size_t at = 14 + hdr + (haveMasks && hdr < 52 ? 12 : 0);
    if (at + count * paletteEntry > Size) Bad("the palette is truncated");
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t p = at + i * paletteEntry;
      palette.push_back(Argb(255, Data[p + 2], Data[p + 1], Data[p]));
    }
  }
  if (offBits >= Size && pixels > 0) Bad("the image data is missing");
  if (pixels == 0) return img;

  if (rle) {
    img.Pixels.assign(pixels, palette.empty() ? 0xFF000000u : palette[0]);
    DecodeRle(in, offBits, static_cast<int>(bpp), img.Width, img.Height, palette, img.Pixels);
    return img;
  }

  std::uint64_t stride = CheckedMul<std::uint64_t>(CheckedAdd<std::uint64_t>(CheckedMul<std::uint64_t>(w, bpp), 31) / 32, 4);
  std::uint64_t need = CheckedAdd<std::uint64_t>(offBits, CheckedMul<std::uint64_t>(stride, h));
  if (need > Size) Bad("the image data is truncated");
  TMask mr, mg, mb, ma;
  if (bpp == 16 && !haveMasks) {
    mr = TMask(0x7C00); mg = TMask(0x03E0); mb = TMask(0x001F);
  } else if (bpp == 16 || (bpp == 32 && haveMasks)) {
    mr = TMask(masks[0]); mg = TMask(masks[1]); mb = TMask(masks[2]); ma = TMask(masks[3]);
  }
  img.Pixels.resize(pixels);
  bool anyAlpha = false;
  for (std::int64_t row = 0; row < h; ++row) {
    const std::uint8_t* src = Data + offBits + stride * row;
    std::int64_t y = topDown ? row : h - 1 - row;
    std::uint32_t* dst = img.Pixels.data() + y * w;
    for (std::int64_t x = 0; x < w; ++x) {
      std::uint32_t v;
      switch (bpp) {
      case 1: v = (src[x / 8] >> (7 - x % 8)) & 1; break;
      case 4: v = (src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF; break;
      case 8: v = src[x]; break;
      case 16: v = src[2 * x] | (src[2 * x + 1] << 8); break;
      case 24: v = Argb(255, src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
      default: v = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) | (static_cast<std::uint32_t>(src[4 * x + 3]) << 24); break;
      }
      if (bpp <= 8) {
        dst[x] = v < palette.size() ? palette[v] : 0xFF000000u;
      } else if (bpp == 16 || (bpp == 32 && haveMasks)) {
        dst[x] = Argb(ma.Get(v, 255), mr.Get(v, 0), mg.Get(v, 0), mb.Get(v, 0));
      } else if (bpp == 32) {
        dst[x] = v;
        anyAlpha = anyAlpha || (v >> 24) != 0;
      } else {
        dst[x] = v;
      }
    }
  }
  // Plain 32-bit files mostly leave the fourth byte 0: they mean opaque.
  if (bpp == 32 && !haveMasks && !anyAlpha)
    for (auto& p : img.Pixels) p |= 0xFF000000u;
  return img;
}

std::vector<std::uint8_t> EncodeBmp(int Width, int Height, const std::uint32_t* Pixels, int BitsPerPixel) {
  int bpp = BitsPerPixel == 32 ? 32 : 24;
  std::uint64_t stride = (static_cast<std::uint64_t>(Width) * bpp + 31) / 32 * 4;
  std::uint64_t imageSize = stride * static_cast<std::uint64_t>(Height);
  std::uint64_t total = 54 + imageSize;
  if (total > UINT32_MAX) throw EInvalidGraphic("The bitmap is too large for a BMP file");
  std::vector<std::uint8_t> out(static_cast<std::size_t>(total), 0);
  auto put16 = [&](std::size_t At, std::uint32_t V) { out[At] = V & 0xFF; out[At + 1] = (V >> 8) & 0xFF; };
  auto put32 = [&](std::size_t At, std::uint32_t V) { put16(At, V & 0xFFFF); put16(At + 2, V >> 16); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(total));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(Width));
  put32(22, static_cast<std::uint32_t>(Height));
  put16(26, 1);
  put16(28, static_cast<std::uint32_t>(bpp));
  put32(34, static_cast<std::uint32_t>(imageSize));
  put32(38, 3780);  // 96 dots per inch
  put32(42, 3780);
  for (int y = 0; y < Height; ++y) {
    std::uint8_t* dst = out.data() + 54 + stride * static_cast<std::uint64_t>(Height - 1 - y);
    const std::uint32_t* src = Pixels + static_cast<std::size_t>(y) * Width;
    for (int x = 0; x < Width; ++x) {
      std::uint32_t v = src[x];
      std::uint8_t* p = dst + static_cast<std::size_t>(x) * (bpp / 8);
      p[0] = v & 0xFF;
      p[1] = (v >> 8) & 0xFF;
      p[2] = (v >> 16) & 0xFF;
      if (bpp == 32) p[3] = (v >> 24) & 0xFF;
    }
  }
  return out;
}

} // namespace rix
