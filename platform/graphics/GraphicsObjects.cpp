#include "platform/graphics/GraphicsObjects.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <tuple>

void TGraphicsObject::Changed() {
  if (FOnChange) FOnChange(this);
}

namespace {

struct TCharsetName {
  int Charset;
  const char* Name;
};

constexpr TCharsetName kCharsets[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"}, {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"}, {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"}, {OEM_CHARSET, "OEM_CHARSET"},
};

constexpr const char* kPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char* kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

} // namespace

std::optional<std::string> CharsetToIdent(int Charset) {
  for (const auto& c : kCharsets)
    if (c.Charset == Charset) return std::string(c.Name);
  return std::nullopt;
}

std::optional<int> IdentToCharset(const std::string& Ident) {
  for (const auto& c : kCharsets)
    if (SameText(Ident, c.Name)) return c.Charset;
  return std::nullopt;
}

const char* FontPitchToIdent(TFontPitch Pitch) { return kPitchNames[Pitch]; }

std::optional<TFontPitch> IdentToFontPitch(const std::string& Ident) {
  for (int i = 0; i < static_cast<int>(std::size(kPitchNames)); ++i)
    if (SameText(Ident, kPitchNames[i])) return static_cast<TFontPitch>(i);
  return std::nullopt;
}

const char* FontStyleToIdent(TFontStyle Style) { return kStyleNames[Style]; }

std::optional<TFontStyle> IdentToFontStyle(const std::string& Ident) {
  for (int i = 0; i < static_cast<int>(std::size(kStyleNames)); ++i)
    if (SameText(Ident, kStyleNames[i])) return static_cast<TFontStyle>(i);
  return std::nullopt;
}

// ---- TFont -------------------------------------------------------------------

// An empty name is ignored, as by the framework's font: it names no face,
// and a stream could not carry it back (empty strings are not written).
void TFont::SetName(const std::string& Value) {
  if (Value.empty()) return;
  FHandle = 0;  // looked up again on demand
  Update(FName, Value);
}

void TFont::SetHeight(int Value) {
  FHandle = 0;  // looked up again on demand
  Update(FHeight, Value);
}

void TFont::SetColor(TColor Value) { Update(FColor, Value); }

void TFont::SetStyle(TFontStyles Value) {
  FHandle = 0;  // looked up again on demand
  Update(FStyle, Value);
}

void TFont::SetCharset(TFontCharset Value) {
  FHandle = 0;  // looked up again on demand
  Update(FCharset, Value);
}

void TFont::SetPitch(TFontPitch Value) {
  FHandle = 0;  // looked up again on demand
  Update(FPitch, Value);
}

HFONT TFont::Handle() const {
  if (FHandle == 0) {
    // Interned for the life of the process: the set of distinct fonts a
    // program uses is small, and equal handles must mean equal fonts.
    using Key = std::tuple<std::string, int, std::uint64_t, int, int>;
    static std::map<Key, HFONT> handles;
    Key k{FName, FHeight, FStyle.ToInt(), FCharset, FPitch};
    auto it = handles.find(k);
    if (it == handles.end()) it = handles.emplace(k, static_cast<HFONT>(handles.size() + 1)).first;
    FHandle = it->second;
  }
  return FHandle;
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    bool same = *this == *f;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FHandle = f->FHandle;
    if (!same) Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

bool TFont::operator==(const TFont& Other) const {
  return FName == Other.FName && FHeight == Other.FHeight && FColor == Other.FColor && FStyle == Other.FStyle &&
         FCharset == Other.FCharset && FPitch == Other.FPitch;
}

// ---- TBrush and TPen ---------------------------------------------------------

void TBrush::SetColor(TColor Value) {
  // A colour makes a clear brush solid again, as the framework's brush does.
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) { Update(FStyle, Value); }

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    bool same = FColor == b->FColor && FStyle == b->FStyle;
    FColor = b->FColor;
    FStyle = b->FStyle;
    if (!same) Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) { Update(FColor, Value); }

void TPen::SetWidth(int Value) { Update(FWidth, std::max(1, Value)); }

void TPen::SetStyle(TPenStyle Value) { Update(FStyle, Value); }

void TPen::SetMode(TPenMode Value) { Update(FMode, Value); }

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    bool same = FColor == p->FColor && FWidth == p->FWidth && FStyle == p->FStyle && FMode == p->FMode;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    if (!same) Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}
