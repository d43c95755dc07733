// BtnGlyph: the glyph and caption of a push-button cell, laid out like a
// speed button, with the state images of all buttons of one image size
// kept together in one shared image list.
#pragma once

#include "drawing/Bits.h"
#include "drawing/CompCLR.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"

#include <memory>
#include <string>
#include <vector>

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Number of images side by side in a glyph strip: 1 to 4.
using TNumGlyphs = int;

// An image list whose slots can be freed and reused: freed slots are taken
// again before the list grows, so many buttons can share one list.
class TGlyphList : public TImageList {
  RIX_CLASS_NAME(TGlyphList)
public:
  // The framework's CreateSize.
  TGlyphList(int AWidth, int AHeight);
  ~TGlyphList() override;

  // Puts Image into a free slot (MaskColor as for TImageList::AddMasked)
  // and returns the slot. A failure leaves the slot free.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  // Frees the slot; its image stays until the slot is reused. A slot that
  // is not taken (or not in the list) is left alone.
  void Delete(int Index);
  // Number of slots taken.
  int Count() const { return FCount; }
  // Slots in the list, taken or free.
  int SlotCount() const { return TImageList::Count(); }

private:
  int AllocateIndex();

  std::unique_ptr<TBits> Used;
  int FCount = 0;
};

// One glyph list per image size for the whole process.
class TGlyphCache : public TObject {
  RIX_CLASS_NAME(TGlyphCache)
public:
  TGlyphCache();
  ~TGlyphCache() override;
  TGlyphCache(const TGlyphCache&) = delete;
  TGlyphCache& operator=(const TGlyphCache&) = delete;

  // The list for images of that size, made when there is none.
  TGlyphList* GetList(int AWidth, int AHeight);
  // Frees List when no slot of it is taken any more.
  void ReturnList(TGlyphList* List);
  bool Empty() const { return GlyphLists.empty(); }
  int ListCount() const { return static_cast<int>(GlyphLists.size()); }

private:
  std::vector<std::unique_ptr<TGlyphList>> GlyphLists;
};

// The cache every TButtonGlyph shares: nil until the first TButtonGlyph is
// made, freed by the destruction of a TButtonGlyph that finds it empty.
extern TGlyphCache* GlyphCache;

// One source bitmap holding up to four state images side by side (up,
// disabled, down, exclusive). The image of each state is made on its first
// draw and kept in the shared cache until the bitmap or NumGlyphs changes.
class TButtonGlyph : public TObject {
  RIX_CLASS_NAME(TButtonGlyph)
public:
  TButtonGlyph();
  ~TButtonGlyph() override;
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  // The source bitmap (never nil; empty when no glyph is set).
  TBitmap* Glyph() const { return FOriginal.get(); }
  // Copies Value (nil clears the glyph). A strip whose width is a whole
  // multiple of its height gives NumGlyphs (1 when more than 4 images);
  // any other width keeps NumGlyphs.
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  // 0 is ignored, as the framework does; anything else outside 1 .. 4 raises
  // ERangeError and changes nothing, so a bad value read from a stream
  // never reaches the image cutting.
  void SetNumGlyphs(TNumGlyphs Value);
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

  // Frees the state images (their slots go back to the shared list).
  void Invalidate();

  // Lays glyph and caption out in Client (moved by Offset), draws the
  // state's image and the caption, and returns the caption's rectangle.
  // Margin -1 centres (or, with Spacing -1 too, spreads) glyph and text;
  // BiDiFlags are DrawText flags (DT_RIGHT swaps glyph left and right).
  TRect Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const std::string& Caption,
             TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent, int BiDiFlags);

  // Where Draw puts the glyph's top-left corner and the caption; callers
  // use it to hit-test a button without drawing it.
  void CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const std::string& Caption,
                        TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                        int BiDiFlags);

  // Size of one state image: (0, 0) when there is no image to draw (an
  // empty bitmap, or one narrower than NumGlyphs).
  TPoint GlyphSize() const;
  // The list holding this glyph's images (nil until one is made) and the
  // slot of a state's image (-1 while not made).
  TGlyphList* GlyphList() const { return FGlyphList; }
  int ImageIndex(TButtonState State) const { return FIndexs[State]; }

private:
  void GlyphChanged(TObject* Sender);
  int CreateButtonGlyph(TButtonState State);
  void MakeStripDisabled(TBitmap* TmpImage, const TRect& ORect);
  void MakeEmbossedDisabled(TBitmap* TmpImage, int IWidth, int IHeight);
  void DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State, bool Transparent);
  void DrawButtonText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TButtonState State,
                      int BiDiFlags);

  std::unique_ptr<TBitmap> FOriginal;
  TGlyphList* FGlyphList = nullptr;
  int FIndexs[4] = {-1, -1, -1, -1};
  TColor FTransparentColor = clOlive;
  TNumGlyphs FNumGlyphs = 1;
  TNotifyEvent FOnChange;
};
