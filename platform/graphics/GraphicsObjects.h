// The canvas's drawing tools: TFont, TBrush and TPen. Each reports every
// change through OnChange, which the owning canvas (or column, or grid)
// listens to.
#pragma once

#include "platform/streaming/ClassBuilder.h"

#include "platform/core/Classes.h"
#include "platform/graphics/Types.h"

#include <cstdint>
#include <optional>
#include <string>

class TGraphicsObject : public TPersistent {
  RIX_CLASS_NAME(TGraphicsObject)
public:
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
  void Changed();
  // Stores Value and notifies, when it differs.
  template <typename T>
  void Update(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }

private:
  TNotifyEvent FOnChange;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, 4>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

enum : TFontCharset {
  ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77, SHIFTJIS_CHARSET = 128,
  HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136,
  GREEK_CHARSET = 161, TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177,
  ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204, THAI_CHARSET = 222,
  EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255,
};

// Charset names for form files ("DEFAULT_CHARSET", "SHIFTJIS_CHARSET" ...).
std::optional<std::string> CharsetToIdent(int Charset);
std::optional<int> IdentToCharset(const std::string& Ident);
// Names of the enumerations a font streams ("fpDefault", "fsBold" ...).
const char* FontPitchToIdent(TFontPitch Pitch);
std::optional<TFontPitch> IdentToFontPitch(const std::string& Ident);
const char* FontStyleToIdent(TFontStyle Style);
std::optional<TFontStyle> IdentToFontStyle(const std::string& Ident);

// A logical font handle: equal for fonts that would select the same face at
// the same size (name, height, style, charset and pitch; not the colour),
// different otherwise. Never 0.
using HFONT = std::uint32_t;

// Name, Height (pixels; negative is the character height without internal
// leading, positive the whole cell height), Size (points, Height =
// -MulDiv(Size, 96, 72) at the fixed 96 dpi), Color, Style, Charset, Pitch.
// The default is the generic "Sans" face at 9 points (Height -12), which
// fontconfig resolves to the system's sans-serif font, with Japanese drawn
// through fontconfig's fallback to a Japanese face.
class TFont : public TGraphicsObject {
  RIX_CLASS_NAME(TFont)
  RIX_PUBLISHED(TFont)
public:
  static constexpr int PixelsPerInch = 96;
  static constexpr const char* DefaultName = "Sans";
  static constexpr int DefaultHeight = -12;

  TFont() = default;

  const std::string& Name() const { return FName; }
  // An empty name is ignored.
  void SetName(const std::string& Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }
  void SetSize(int Value) { SetHeight(-MulDiv(Value, PixelsPerInch, 72)); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);

  HFONT Handle() const;

  void Assign(TPersistent* Source) override;
  void Assign(const TFont& Source) { Assign(const_cast<TFont*>(&Source)); }
  // Same appearance: every property, the colour included.
  bool operator==(const TFont& Other) const;

private:
  std::string FName = DefaultName;
  int FHeight = DefaultHeight;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  mutable HFONT FHandle = 0;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Hatched styles paint a one-pixel hatch in the brush colour and leave the
// other pixels as they are (the background mode TRANSPARENT look).
class TBrush : public TGraphicsObject {
  RIX_CLASS_NAME(TBrush)
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  void Assign(TPersistent* Source) override;
  void Assign(const TBrush& Source) { Assign(const_cast<TBrush*>(&Source)); }

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// pmCopy paints the pen colour; pmNot inverts the pixels; pmXor combines the
// pen colour with the pixels by exclusive or.
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
  RIX_CLASS_NAME(TPen)
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  void Assign(TPersistent* Source) override;
  void Assign(const TPen& Source) { Assign(const_cast<TPen*>(&Source)); }

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};
