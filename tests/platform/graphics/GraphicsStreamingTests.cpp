#include "platform/graphics/Graphics.h"
#include "platform/streaming/Streaming.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A component with a colour, a font and a bitmap, as a column has.
class TPainted : public TComponent {
  RIX_CLASS_NAME(TPainted)
  RIX_PUBLISHED(TPainted)
public:
  using TComponent::TComponent;
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { FColor = V; }
  TFont* Font() { return &FFont; }
  void SetFont(TFont* V) { FFont.Assign(V); }
  TBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(TBitmap* V) { FGlyph.Assign(V); }

private:
  TColor FColor = clWindow;
  TFont FFont;
  TBitmap FGlyph;
};

RIX_IMPLEMENT_PUBLISHED(TPainted, TComponent)
void TPainted::DeclareProperties(rix::TClassBuilder<TPainted>& B) {
  B.Property("Color", ColorTypeInfo(), &TPainted::Color, &TPainted::SetColor).Default(clWindow);
  B.Property("Font", ClassTypeInfo("TFont"), &TPainted::Font, &TPainted::SetFont);
  B.Property("Glyph", ClassTypeInfo("TBitmap"), &TPainted::Glyph, &TPainted::SetGlyph);
}

std::string StreamText(TComponent* C) {
  TMemoryStream bin;
  WriteComponent(bin, C);
  return rix::BinaryToText(bin.DataString());
}

TEST(GraphicsStreaming, ColoursAreWrittenByNameWhenTheyHaveOneElseAsNumbers) {
  TPainted p(nullptr);
  p.SetColor(clBtnFace);
  EXPECT_NE(StreamText(&p).find("Color = clBtnFace"), std::string::npos) << StreamText(&p);
  p.SetColor(0x123456);
  EXPECT_NE(StreamText(&p).find("Color = 1193046"), std::string::npos) << StreamText(&p);
}

TEST(GraphicsStreaming, FontAndGlyphRoundTrip) {
  TPainted p(nullptr);
  p.SetColor(clHighlight);
  p.Font()->SetName("IPAGothic");
  p.Font()->SetHeight(-16);
  p.Font()->SetColor(clRed);
  p.Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
  TBitmap glyph(8, 4);
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
  p.SetGlyph(&glyph);

  std::string text = StreamText(&p);
  EXPECT_NE(text.find("Font.Name = 'IPAGothic'"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Style = [fsBold, fsUnderline]"), std::string::npos) << text;
  EXPECT_NE(text.find("Glyph.Data = {"), std::string::npos) << text;
  EXPECT_EQ(text.find("Font.Size"), std::string::npos) << text;

  TMemoryStream bin;
  WriteComponent(bin, &p);
  bin.SetPosition(0);
  TPainted q(nullptr);
  ReadComponent(bin, &q);
  EXPECT_EQ(q.Color(), clHighlight);
  EXPECT_TRUE(*q.Font() == *p.Font());
  ASSERT_EQ(q.Glyph()->Width(), 8);
  EXPECT_EQ(q.Glyph()->Canvas()->Pixels(1, 1), ColorToRGB(clBlue));
  EXPECT_EQ(q.Glyph()->Canvas()->Pixels(6, 1), ColorToRGB(clWhite));
}

TEST(GraphicsStreaming, UnknownColourNameIsAReadError) {
  std::string bin = rix::TextToBinary("object P: TPainted\n  Color = clNoSuchColour\nend\n");
  TMemoryStream s(bin);
  TPainted p(nullptr);
  EXPECT_THROW(ReadComponent(s, &p), EReadError);
  EXPECT_EQ(p.Color(), clWindow);
}

} // namespace
