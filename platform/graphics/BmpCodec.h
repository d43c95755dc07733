// The BMP file format, separate from TBitmap so that the decoder can be
// fuzzed and tested on bytes alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rix {

struct TDecodedImage {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
  std::vector<std::uint32_t> Pixels;  // straight 0xAARRGGBB, top row first
};

// Raises EInvalidGraphic with a message naming what is wrong.
TDecodedImage DecodeBmp(const std::uint8_t* Data, std::size_t Size);
// BitsPerPixel is 24 or 32; Pixels as in TDecodedImage.
std::vector<std::uint8_t> EncodeBmp(int Width, int Height, const std::uint32_t* Pixels, int BitsPerPixel);

} // namespace rix
