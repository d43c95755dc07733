#include "platform/graphics/GraphicsStreaming.h"

#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/streaming/Filer.h"

const TTypeInfo* ColorTypeInfo() {
  static const TTypeInfo* type = [] {
    const TTypeInfo* t = IntegerTypeInfo("TColor");
    RegisterIntegerConsts(
        t,
        [](const std::string& Ident, std::int64_t& Value) {
          auto c = IdentToColor(Ident);
          if (c) Value = *c;
          return c.has_value();
        },
        [](std::int64_t Value, std::string& Ident) {
          if (!std::in_range<TColor>(Value)) return false;
          auto n = ColorToIdent(static_cast<TColor>(Value));
          if (n) Ident = *n;
          return n.has_value();
        });
    return t;
  }();
  return type;
}

const TTypeInfo* CharsetTypeInfo() {
  static const TTypeInfo* type = [] {
    const TTypeInfo* t = IntegerTypeInfo("TFontCharset");
    RegisterIntegerConsts(
        t,
        [](const std::string& Ident, std::int64_t& Value) {
          auto c = IdentToCharset(Ident);
          if (c) Value = *c;
          return c.has_value();
        },
        [](std::int64_t Value, std::string& Ident) {
          if (Value < 0 || Value > 255) return false;
          auto n = CharsetToIdent(static_cast<int>(Value));
          if (n) Ident = *n;
          return n.has_value();
        });
    return t;
  }();
  return type;
}

namespace {

const TTypeInfo* FontPitchType() {
  return EnumTypeInfo("TFontPitch", {FontPitchToIdent(fpDefault), FontPitchToIdent(fpVariable), FontPitchToIdent(fpFixed)});
}

const TTypeInfo* FontStylesType() {
  const TTypeInfo* elem = EnumTypeInfo("TFontStyle", {FontStyleToIdent(fsBold), FontStyleToIdent(fsItalic),
                                                      FontStyleToIdent(fsUnderline), FontStyleToIdent(fsStrikeOut)});
  return SetTypeInfo("TFontStyles", elem);
}

} // namespace

// The font writes what the framework's font writes: everything but Size,
// which Height already says, and Pitch only when it is not the default.
RIX_IMPLEMENT_PUBLISHED(TFont, TPersistent)
void TFont::DeclareProperties(rix::TClassBuilder<TFont>& B) {
  B.Property("Charset", CharsetTypeInfo(), [](TFont* F) { return static_cast<int>(F->Charset()); },
             [](TFont* F, int V) { F->SetCharset(rix::CheckedCast<TFontCharset>(V)); });
  B.Property("Color", ColorTypeInfo(), &TFont::Color, &TFont::SetColor);
  B.Property("Height", IntegerTypeInfo(), &TFont::Height, &TFont::SetHeight);
  B.Property("Name", StringTypeInfo(), [](TFont* F) { return F->Name(); },
             [](TFont* F, const std::string& V) { F->SetName(V); });
  B.Property("Pitch", FontPitchType(), &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  B.Property("Size", IntegerTypeInfo(), &TFont::Size, &TFont::SetSize).Stored(false);
  B.Property("Style", FontStylesType(), &TFont::Style, &TFont::SetStyle);
}

void TBitmap::DefineProperties(TFiler* Filer) {
  TGraphic::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}
