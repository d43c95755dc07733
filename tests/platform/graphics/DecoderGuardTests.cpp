// Hostile files that the decoding library would mishandle on its own.
#include "GraphicsTestUtil.h"

#include <string>

namespace {

std::string ExpectInvalid(const std::string& Data) {
  TPicture p;
  TMemoryStream s(Data);
  try {
    p.LoadFromStream(s);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

std::string Be32(unsigned V) {
  return {static_cast<char>(V >> 24), static_cast<char>(V >> 16), static_cast<char>(V >> 8), static_cast<char>(V)};
}

const std::string kPngSig("\x89PNG\r\n\x1a\n", 8);
const std::string kIhdr = Be32(13) + "IHDR" + Be32(1) + Be32(1) + std::string("\x08\x02\x00\x00\x00", 5) + Be32(0);

TEST(DecoderGuards, PngChunkLongerThanTheFileIsRefusedBeforeAllocating) {
  std::string png = kPngSig + kIhdr + Be32(0x7FFFFFF0) + "IDAT" + "xxxx";
  EXPECT_NE(ExpectInvalid(png).find("past the end"), std::string::npos);
}

TEST(DecoderGuards, JpegHuffmanTableWithTooManyCodesIsRefused) {
  std::string dht = std::string("\xFF\xC4", 2);
  std::string body = std::string(1, '\x00') + std::string(16, '\x20') + std::string(512, '\x01');
  dht += static_cast<char>((body.size() + 2) >> 8);
  dht += static_cast<char>((body.size() + 2) & 0xFF);
  std::string jpg = std::string("\xFF\xD8", 2) + dht + body + std::string("\xFF\xD9", 2);
  EXPECT_NE(ExpectInvalid(jpg).find("more than 256"), std::string::npos);
}

TEST(DecoderGuards, JpegScanUsingAnUndefinedTableIsRefused) {
  std::string sof = std::string("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00", 13);
  std::string sos = std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
  std::string jpg = std::string("\xFF\xD8", 2) + sof + sos + std::string("\x00\x00\xFF\xD9", 4);
  EXPECT_NE(ExpectInvalid(jpg).find("undefined Huffman table"), std::string::npos);
}

TEST(DecoderGuards, JpegSegmentPastTheEndIsRefused) {
  std::string jpg = std::string("\xFF\xD8\xFF\xE0\x7F\xFF", 6) + "JFIF";
  EXPECT_NE(ExpectInvalid(jpg).find("past the end"), std::string::npos);
}

} // namespace

namespace {

TEST(DecoderGuards, EmptyIdatChunksAreSkipped) {
  auto b = rixtest::Filled(3, 2, clRed);
  TMemoryStream png;
  b->SaveToPNGStream(png);
  std::string data = png.DataString();
  auto at = data.find("IDAT") - 4;
  data.insert(at, Be32(0) + "IDAT" + Be32(0));
  TPicture p;
  TMemoryStream s(data);
  p.LoadFromStream(s);
  EXPECT_EQ(p.Width(), 3);
}

} // namespace
