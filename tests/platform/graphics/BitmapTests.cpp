#include "GraphicsTestUtil.h"

#include <cstring>
#include <vector>

using rixtest::Filled;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& B, size_t At, unsigned V) { B[At] = V & 0xFF; B[At + 1] = (V >> 8) & 0xFF; }
void Put32(Bytes& B, size_t At, unsigned V) { Put16(B, At, V & 0xFFFF); Put16(B, At + 2, V >> 16); }

// A BMP file with a 40-byte header; Pixels are the raw rows as stored.
Bytes MakeBmp(int W, int H, int Bpp, const std::vector<TColor>& Palette, const Bytes& Pixels, unsigned Compression = 0) {
  size_t off = 14 + 40 + 4 * Palette.size();
  Bytes b(off, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<unsigned>(off + Pixels.size()));
  Put32(b, 10, static_cast<unsigned>(off));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<unsigned>(W));
  Put32(b, 22, static_cast<unsigned>(H));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<unsigned>(Bpp));
  Put32(b, 30, Compression);
  Put32(b, 46, static_cast<unsigned>(Palette.size()));
  for (size_t i = 0; i < Palette.size(); ++i) {
    b[54 + 4 * i] = static_cast<std::uint8_t>(GetBValue(Palette[i]));
    b[55 + 4 * i] = static_cast<std::uint8_t>(GetGValue(Palette[i]));
    b[56 + 4 * i] = static_cast<std::uint8_t>(GetRValue(Palette[i]));
  }
  b.insert(b.end(), Pixels.begin(), Pixels.end());
  return b;
}

void Load(TBitmap& Bmp, const Bytes& Data) {
  TMemoryStream s(Data);
  Bmp.LoadFromStream(s);
}

// The 3 x 2 test picture every depth encodes: top row red, green, blue;
// bottom row white, black, red.
const TColor kExpected[2][3] = {{clRed, clLime, clBlue}, {clWhite, clBlack, clRed}};

void ExpectPicture(TBitmap& B) {
  ASSERT_EQ(B.Width(), 3);
  ASSERT_EQ(B.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(B.Canvas()->Pixels(x, y), kExpected[y][x]) << x << "," << y;
}

struct TDepthCase {
  const char* Name;
  Bytes File;
  TPixelFormat Format;
};

std::vector<TDepthCase> DepthCases() {
  std::vector<TColor> pal = {clRed, clLime, clBlue, clWhite, clBlack};
  std::vector<TDepthCase> cases;
  // Rows bottom-up, each padded to 4 bytes.
  cases.push_back({"8bit", MakeBmp(3, 2, 8, pal, {3, 4, 0, 0, 0, 1, 2, 0}), pf8bit});
  cases.push_back({"4bit", MakeBmp(3, 2, 4, pal, {0x34, 0x00, 0, 0, 0x01, 0x20, 0, 0}), pf4bit});
  // RLE8: three runs of one, end of line; then a literal 0 1 2 (padded), end of line, end of bitmap.
  cases.push_back({"rle8", MakeBmp(3, 2, 8, pal, {1, 3, 1, 4, 1, 0, 0, 0, 0, 3, 0, 1, 2, 0, 0, 0, 0, 1}, 1), pf8bit});
  // RLE4: literal 3 nibbles 3 4 0 per row.
  cases.push_back({"rle4", MakeBmp(3, 2, 4, pal, {0, 3, 0x34, 0x00, 0, 0, 0, 3, 0x01, 0x20, 0, 1}, 2), pf4bit});
  cases.push_back({"24bit", MakeBmp(3, 2, 24, {}, {255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0,   0,
                                                    0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}), pf24bit});
  cases.push_back({"32bit", MakeBmp(3, 2, 32, {}, {255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 255, 0,
                                                    0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}), pf32bit});
  // 16 bits, 5-5-5.
  cases.push_back({"16bit", MakeBmp(3, 2, 16, {}, {0xFF, 0x7F, 0, 0, 0x00, 0x7C, 0, 0,
                                                    0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}), pf16bit});
  return cases;
}

class BmpDepths : public ::testing::TestWithParam<TDepthCase> {};

TEST_P(BmpDepths, ReadsAndRoundTrips) {
  TBitmap b;
  Load(b, GetParam().File);
  ExpectPicture(b);
  EXPECT_EQ(b.PixelFormat(), GetParam().Format);
  for (TPixelFormat written : {pf24bit, pf32bit}) {
    b.SetPixelFormat(written);
    TMemoryStream out;
    b.SaveToStream(out);
    out.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(out);
    ExpectPicture(again);
    EXPECT_EQ(again.PixelFormat(), written);
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepths, ::testing::ValuesIn(DepthCases()),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Bitmap, OneBitMonochromeAndTopDownFiles) {
  // 8 x 2, bit set = palette entry 1 (white); top-down (negative height).
  Bytes file = MakeBmp(8, 2, 1, {clBlack, clWhite}, {0xF0, 0, 0, 0, 0x0F, 0, 0, 0});
  Put32(file, 22, static_cast<unsigned>(-2));
  TBitmap b;
  Load(b, file);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(7, 0), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(7, 1), clWhite);
  EXPECT_EQ(b.PixelFormat(), pf1bit);
}

TEST(Bitmap, ThirtyTwoBitAlphaSurvivesARoundTrip) {
  TBitmap b;
  std::uint32_t px[2] = {0x80FF0000u, 0xFF00FF00u};
  b.SetPixelsARGB(2, 1, px);
  b.SetPixelFormat(pf32bit);
  TMemoryStream s;
  b.SaveToStream(s);
  s.SetPosition(0);
  TBitmap c;
  c.LoadFromStream(s);
  EXPECT_EQ(c.ScanLine(0)[0] >> 24, 0x80u);
  EXPECT_EQ(c.Canvas()->Pixels(1, 0), clLime);
}

TEST(Bitmap, GlyphDataRoundTripsAndIsLengthPrefixed) {
  auto b = Filled(5, 3, clTeal);
  b->Canvas()->SetPixels(4, 2, clRed);
  TMemoryStream s;
  b->WriteData(s);
  std::uint32_t len;
  std::memcpy(&len, s.Memory(), 4);
  EXPECT_EQ(len + 4, s.Size());
  EXPECT_EQ(s.Memory()[4], 'B');
  s.SetPosition(0);
  TBitmap c;
  c.ReadData(s);
  EXPECT_EQ(c.Width(), 5);
  EXPECT_EQ(c.Canvas()->Pixels(4, 2), clRed);
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), clTeal);
  // An empty bitmap writes a zero length and reads back empty.
  TBitmap empty;
  TMemoryStream e;
  empty.WriteData(e);
  EXPECT_EQ(e.Size(), 4);
  e.SetPosition(0);
  c.ReadData(e);
  EXPECT_TRUE(c.Empty());
}

TEST(Bitmap, GlyphDataWithALengthPastTheEndRaises) {
  TMemoryStream s;
  std::uint8_t hdr[6] = {0xFF, 0xFF, 0, 0, 'B', 'M'};
  s.WriteBuffer(hdr, 6);
  s.SetPosition(0);
  TBitmap b;
  EXPECT_THROW(b.ReadData(s), EInvalidGraphic);
}

struct TBadCase {
  const char* Name;
  Bytes File;
};

std::vector<TBadCase> BadCases() {
  Bytes good = MakeBmp(3, 2, 24, {}, Bytes(16, 0));
  std::vector<TBadCase> v;
  v.push_back({"Empty", {}});
  v.push_back({"NotBmp", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
  v.push_back({"Truncated", Bytes(good.begin(), good.end() - 5)});
  Bytes huge = good;
  Put32(huge, 18, 100000);
  Put32(huge, 22, 100000);
  v.push_back({"AbsurdSize", huge});
  Bytes wide = good;
  Put32(wide, 18, 0x7FFFFFFF);
  Put32(wide, 22, 1);
  v.push_back({"AbsurdWidth", wide});
  Bytes depth = good;
  Put16(depth, 28, 7);
  v.push_back({"BadDepth", depth});
  Bytes header = good;
  Put32(header, 14, 20);
  v.push_back({"BadHeader", header});
  Bytes pal = MakeBmp(2, 1, 8, {}, {0, 0, 0, 0});
  Put32(pal, 46, 100000);
  v.push_back({"HugePalette", pal});
  Bytes negative = good;
  Put32(negative, 18, static_cast<unsigned>(-3));
  v.push_back({"NegativeWidth", negative});
  return v;
}

class BadBmp : public ::testing::TestWithParam<TBadCase> {};

TEST_P(BadBmp, RaisesInvalidGraphicAndKeepsTheImage) {
  auto b = Filled(4, 4, clRed);
  try {
    Load(*b, GetParam().File);
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_EQ(b->Width(), 4);
  EXPECT_EQ(b->Canvas()->Pixels(3, 3), clRed);
}

INSTANTIATE_TEST_SUITE_P(Files, BadBmp, ::testing::ValuesIn(BadCases()),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Bitmap, ResizingKeepsNothingAndRefusesAbsurdSizes) {
  auto b = Filled(4, 4, clRed);
  b->SetSize(6, 5);
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), clWhite);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect({0, 0, 6, 5});
  EXPECT_EQ(b->Canvas()->Pixels(5, 4), clBlue);
  EXPECT_THROW(b->SetSize(-1, 5), EInvalidGraphic);
  EXPECT_THROW(b->SetSize(MaxImageDimension + 1, 1), EInvalidGraphic);
  EXPECT_THROW(b->SetSize(MaxImageDimension, MaxImageDimension), EInvalidGraphic);
  EXPECT_EQ(b->Width(), 6);
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUnlessFixed) {
  auto b = Filled(4, 4, clWhite);
  b->Canvas()->SetPixels(0, 3, clOlive);
  EXPECT_EQ(b->TransparentColor(), clOlive);
  b->SetTransparentColor(clFuchsia);
  EXPECT_EQ(b->TransparentMode(), tmFixed);
  EXPECT_EQ(b->TransparentColor(), clFuchsia);
  EXPECT_EQ(TBitmap().TransparentColor(), clDefault);
}

TEST(Bitmap, TransparentBitmapsSkipTheirTransparentColour) {
  auto glyph = Filled(4, 4, clOlive);
  glyph->Canvas()->SetPixels(1, 1, clBlack);
  glyph->SetTransparent(true);
  auto target = Filled(6, 6, clYellow);
  target->Canvas()->Draw(1, 1, glyph.get());
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clYellow);
  EXPECT_EQ(target->Canvas()->Pixels(2, 2), clBlack);
}

TEST(Bitmap, StretchDrawScalesIntoTheRectangleOnly) {
  auto src = Filled(2, 2, clRed);
  auto target = Filled(10, 10, clWhite);
  target->Canvas()->StretchDraw({2, 2, 8, 8}, src.get());
  EXPECT_EQ(rixtest::InkBounds(*target, clWhite), (TRect{2, 2, 8, 8}));
}

TEST(Bitmap, MonochromeTurnsTheBackgroundWhiteAndTheRestBlack) {
  auto b = Filled(3, 1, clWhite);
  b->Canvas()->SetPixels(1, 0, clRed);
  b->SetMonochrome(true);
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(b->Canvas()->Pixels(1, 0), clBlack);
}

// ---- pictures ----------------------------------------------------------------

TEST(Picture, PngAndJpegDecodeToTheRightSize) {
  auto b = Filled(7, 5, clBlue);
  TMemoryStream png;
  b->SaveToPNGStream(png);
  png.SetPosition(0);
  TPicture p;
  p.LoadFromStream(png);
  ASSERT_NE(dynamic_cast<TPngImage*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 7);
  EXPECT_EQ(p.Height(), 5);
  EXPECT_EQ(static_cast<TPngImage*>(p.Graphic())->Bitmap()->Canvas()->Pixels(3, 3), clBlue);

  TJPEGImage jpg;
  jpg.Assign(b.get());
  TMemoryStream j;
  jpg.SaveToStream(j);
  j.SetPosition(0);
  p.LoadFromStream(j);
  ASSERT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 7);
  EXPECT_EQ(p.Height(), 5);
}

TEST(Picture, CompressedPicturesSaveTheirOriginalBytes) {
  auto b = Filled(3, 3, clRed);
  TMemoryStream png;
  b->SaveToPNGStream(png);
  png.SetPosition(0);
  TPngImage img;
  img.LoadFromStream(png);
  TMemoryStream again;
  img.SaveToStream(again);
  EXPECT_EQ(again.Data(), png.Data());
}

TEST(Picture, UnknownOrBadDataRaisesAndKeepsThePicture) {
  TPicture p;
  p.Bitmap()->SetSize(2, 2);
  TMemoryStream junk(std::string("not a picture at all"));
  EXPECT_THROW(p.LoadFromStream(junk), EInvalidGraphic);
  TMemoryStream badPng(std::string("\x89PNG\r\n\x1a\n garbage", 17));
  EXPECT_THROW(p.LoadFromStream(badPng), EInvalidGraphic);
  TMemoryStream badJpg(std::string("\xFF\xD8\xFF\xE0 garbage", 12));
  EXPECT_THROW(p.LoadFromStream(badJpg), EInvalidGraphic);
  EXPECT_EQ(p.Width(), 2);
  TMemoryStream empty;
  p.LoadFromStream(empty);
  EXPECT_EQ(p.Graphic(), nullptr);
}

TEST(Picture, AssignCopiesAndBitmapReplacesOtherFormats) {
  auto b = Filled(4, 3, clGreen);
  TPicture p, q;
  int changes = 0;
  p.SetOnChange([&](TObject*) { ++changes; });
  p.Assign(b.get());
  EXPECT_GT(changes, 0);
  ASSERT_NE(p.Graphic(), b.get());
  q.Assign(&p);
  EXPECT_EQ(q.Width(), 4);
  EXPECT_EQ(q.Bitmap()->Canvas()->Pixels(0, 0), clGreen);
  q.Assign(nullptr);
  EXPECT_EQ(q.Graphic(), nullptr);
  TMemoryStream png;
  b->SaveToPNGStream(png);
  png.SetPosition(0);
  q.LoadFromStream(png);
  TBitmap* asBitmap = q.Bitmap();
  EXPECT_TRUE(asBitmap->Empty());
  TBitmap fromPng;
  p.LoadFromStream(png);  // position at end: empties the picture
  EXPECT_EQ(p.Graphic(), nullptr);
}

TEST(Picture, FileFormatsAndFilter) {
  EXPECT_NE(TPicture::GraphicFilter().find("*.bmp;*.png;*.jpg;*.jpeg"), std::string::npos);
  EXPECT_NE(CreateGraphicByClassName("TPngImage"), nullptr);
  EXPECT_EQ(CreateGraphicByClassName("TGIFImage"), nullptr);
}

TEST(Picture, FilesLoadByContentWhateverTheExtension) {
  std::string dir = ::testing::TempDir();
  auto b = Filled(3, 2, clRed);
  b->SaveToPNG(dir + "/picture_test.bmp");  // a PNG under a bitmap's name
  TPicture p;
  p.LoadFromFile(dir + "/picture_test.bmp");
  EXPECT_NE(dynamic_cast<TPngImage*>(p.Graphic()), nullptr);
  p.SaveToFile(dir + "/picture_test_copy.png");
  TPicture q;
  q.LoadFromFile(dir + "/picture_test_copy.png");
  EXPECT_EQ(q.Width(), 3);
  EXPECT_THROW(q.LoadFromFile(dir + "/no_such_file.png"), EFOpenError);
}

} // namespace
