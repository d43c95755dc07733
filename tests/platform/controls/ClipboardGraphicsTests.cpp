// Bitmaps and pictures on the clipboard, and the picture dialogs' filter.
#include "platform/controls/Controls.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

#include <gtest/gtest.h>

namespace {
void Paint(TBitmap& b, int W, int H, TColor C) {
  b.SetSize(W, H);
  b.Canvas()->Brush()->SetColor(C);
  b.Canvas()->FillRect(Rect(0, 0, W, H));
  b.Canvas()->SetPixels(1, 1, clRed);
}

class ClipboardGraphics : public ::testing::Test {
protected:
  void SetUp() override { Clipboard()->Clear(); }
  void TearDown() override { Clipboard()->Clear(); }
};
} // namespace

TEST_F(ClipboardGraphics, ABitmapGoesOnAndComesBackPixelForPixel) {
  TBitmap b;
  Paint(b, 5, 4, clLime);
  Clipboard()->SetAsText("replaced");
  Clipboard()->Assign(&b);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT)); // one copy replaces the clipboard
  TBitmap back;
  back.Assign(Clipboard());
  EXPECT_EQ(back.Width(), 5);
  EXPECT_EQ(back.Height(), 4);
  EXPECT_EQ(back.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(back.Canvas()->Pixels(3, 2), clLime);
}

TEST_F(ClipboardGraphics, APngPictureKeepsItsFormatAndGivesABitmapToo) {
  TBitmap b;
  Paint(b, 3, 3, clBlue);
  TPngImage png;
  png.Assign(&b);
  TPicture pic;
  pic.SetGraphic(&png);
  Clipboard()->Assign(&pic);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  TPicture back;
  back.Assign(Clipboard());
  ASSERT_NE(back.Graphic(), nullptr);
  EXPECT_NE(dynamic_cast<TPngImage*>(back.Graphic()), nullptr);
  TBitmap asBitmap;
  asBitmap.Assign(Clipboard());
  EXPECT_EQ(asBitmap.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(asBitmap.Canvas()->Pixels(0, 0), clBlue);
}

TEST_F(ClipboardGraphics, TakingAPictureFromAClipboardWithoutOneRaisesAndChangesNothing) {
  TBitmap b;
  Paint(b, 2, 2, clLime);
  Clipboard()->SetAsText("text only");
  EXPECT_THROW(b.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_EQ(b.Width(), 2);
  // Damaged data: the bitmap stays as it was.
  Clipboard()->SetFormatData(CF_BITMAP, {'B', 'M', 1, 2, 3});
  EXPECT_ANY_THROW(b.Assign(Clipboard()));
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clLime);
}

TEST_F(ClipboardGraphics, PictureDialogsOfferEveryRegisteredFormat) {
  TOpenPictureDialog open(nullptr);
  TSavePictureDialog save(nullptr);
  EXPECT_EQ(open.Filter(), TPicture::GraphicFilter());
  EXPECT_EQ(save.Filter(), TPicture::GraphicFilter());
  for (const auto& f : TPicture::FileFormats()) EXPECT_NE(open.Filter().find("*." + f.Extension), std::string::npos);
}

namespace {
// A system clipboard as a host links it in: it records what it was given
// and answers with what "another program" copied.
class FakeHostClipboard : public TClipboardHostLink {
public:
  std::vector<std::uint8_t> Put;
  TPictureState State = TPictureState::Own;
  std::vector<std::uint8_t> Theirs;
  void PutText(const std::string&) override { State = TPictureState::Own; }
  bool FetchText(std::string&) override { return false; }
  void PutPicture(const std::vector<std::uint8_t>& Bytes) override {
    Put = Bytes;
    State = TPictureState::Own;
  }
  TPictureState FetchPicture(std::vector<std::uint8_t>& Bytes) override {
    Bytes = Theirs;
    return State;
  }
};

std::vector<std::uint8_t> PngBytes(TColor C) {
  TBitmap b;
  Paint(b, 3, 2, C);
  TPngImage png;
  png.Assign(&b);
  TMemoryStream s;
  png.SaveToStream(s);
  return std::vector<std::uint8_t>(s.Memory(), s.Memory() + s.Size());
}
} // namespace

TEST_F(ClipboardGraphics, PicturesTravelThroughTheHostsSystemClipboard) {
  FakeHostClipboard host;
  Clipboard()->SetHostLink(&host);
  // Ours: the picture's own bytes go out, and our formats stand.
  TPicture pic;
  TMemoryStream s(PngBytes(clBlue));
  pic.LoadFromStream(s);
  Clipboard()->Assign(&pic);
  EXPECT_EQ(host.Put, PngBytes(clBlue));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));

  // Another program's PNG: its bytes as they came, its pixels as a bitmap.
  host.State = FakeHostClipboard::TPictureState::Picture;
  host.Theirs = PngBytes(clLime);
  TPicture back;
  back.Assign(Clipboard());
  TMemoryStream out;
  back.SaveToStream(out);
  EXPECT_EQ(std::vector<std::uint8_t>(out.Memory(), out.Memory() + out.Size()), PngBytes(clLime));
  TBitmap pixels;
  pixels.Assign(Clipboard());
  EXPECT_EQ(pixels.Canvas()->Pixels(0, 0), clLime);

  // Bytes that are no picture, then content without a picture: none left.
  host.Theirs = {1, 2, 3};
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  host.Theirs = PngBytes(clLime);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  host.State = FakeHostClipboard::TPictureState::None;
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
  Clipboard()->SetHostLink(nullptr);
}
