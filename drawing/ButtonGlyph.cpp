#include "drawing/BtnGlyph.h"

#include "platform/core/Checked.h"
#include "platform/graphics/Colors.h"

namespace {

// BitBlt's DSPDxax: where the (monochrome) source is white the destination
// takes the brush colour, elsewhere it keeps its pixel.
constexpr TCopyMode ropPaintBrushThroughMask = 0x00E20746;

// Keeps a canvas's copy mode for a scope.
class TCopyModeScope {
public:
  TCopyModeScope(TCanvas* Canvas, TCopyMode Mode) : FCanvas(Canvas), FSaved(Canvas->CopyMode()) {
    Canvas->SetCopyMode(Mode);
  }
  ~TCopyModeScope() { FCanvas->SetCopyMode(FSaved); }
  TCopyModeScope(const TCopyModeScope&) = delete;
  TCopyModeScope& operator=(const TCopyModeScope&) = delete;

private:
  TCanvas* FCanvas;
  TCopyMode FSaved;
};

// Paints Brush onto Dest at (X, Y) through the set (white) bits of Mono.
void PaintThroughMask(TBitmap* Dest, TBitmap* Mono, int X, int Y, TColor Brush) {
  TCanvas* c = Dest->Canvas();
  c->Brush()->SetColor(Brush);
  // The mask holds plain black and white pixels, which is what a
  // monochrome source expands to with text colour black and background
  // colour white.
  c->SetTextColor(clBlack);
  c->SetBkColor(clWhite);
  TCopyModeScope Mode(c, ropPaintBrushThroughMask);
  c->CopyRect(Bounds(X, Y, Mono->Width(), Mono->Height()), Mono->Canvas(), Rect(0, 0, Mono->Width(), Mono->Height()));
}

// Turns Mono (a colour copy) into a monochrome mask: pixels of Key become
// set (white) bits, all others clear, the device rule for copying a colour
// bitmap into a monochrome one.
void MakeMask(TBitmap* Mono, TColor Key) {
  Mono->SetMonochrome(false);
  Mono->Canvas()->Brush()->SetColor(Key);
  Mono->SetMonochrome(true);
}

} // namespace

TButtonGlyph::TButtonGlyph() : FOriginal(std::make_unique<TBitmap>()) {
  FOriginal->SetOnChange([this](TObject* Sender) { GlyphChanged(Sender); });
  if (GlyphCache == nullptr) GlyphCache = new TGlyphCache();
}

TButtonGlyph::~TButtonGlyph() {
  FOriginal.reset();
  Invalidate();
  if (GlyphCache != nullptr && GlyphCache->Empty()) {
    delete GlyphCache;
    GlyphCache = nullptr;
  }
}

void TButtonGlyph::Invalidate() {
  for (int& Index : FIndexs) {
    if (Index != -1 && FGlyphList != nullptr) FGlyphList->Delete(Index);
    Index = -1;
  }
  // Another glyph may have freed the cache while this one held no list;
  // there is then nothing to give back.
  if (GlyphCache != nullptr) GlyphCache->ReturnList(FGlyphList);
  FGlyphList = nullptr;
}

void TButtonGlyph::GlyphChanged(TObject* Sender) {
  if (Sender != FOriginal.get() || !FOriginal) return;
  FTransparentColor = FOriginal->TransparentColor();
  Invalidate();
  if (FOnChange) FOnChange(this);
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  FOriginal->Assign(Value);
  if (Value != nullptr && Value->Height() > 0) {
    FTransparentColor = Value->TransparentColor();
    if (Value->Width() % Value->Height() == 0) {
      int Glyphs = Value->Width() / Value->Height();
      SetNumGlyphs(Glyphs > 4 ? 1 : Glyphs);
    }
  }
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
  if (Value == 0 || Value == FNumGlyphs) return;
  if (Value < 1 || Value > 4)
    throw ERangeError("NumGlyphs must be 1 to 4, not " + std::to_string(Value));
  Invalidate();
  FNumGlyphs = Value;
  GlyphChanged(FOriginal.get());
}

TPoint TButtonGlyph::GlyphSize() const {
  if (!FOriginal) return {0, 0};
  int W = FOriginal->Width() / FNumGlyphs, H = FOriginal->Height();
  if (W < 1 || H < 1) return {0, 0};
  return {W, H};
}

int TButtonGlyph::CreateButtonGlyph(TButtonState State) {
  if (State == bsDown && FNumGlyphs < 3) State = bsUp;
  if (FIndexs[State] != -1) return FIndexs[State];
  TPoint Size = GlyphSize();
  int IWidth = Size.X, IHeight = Size.Y;
  if (IWidth == 0) return -1;
  if (GlyphCache == nullptr) GlyphCache = new TGlyphCache();
  if (FGlyphList == nullptr) FGlyphList = GlyphCache->GetList(IWidth, IHeight);

  auto TmpImage = std::make_unique<TBitmap>(IWidth, IHeight);
  TmpImage->Canvas()->Brush()->SetColor(clBtnFace);
  TRect IRect = Rect(0, 0, IWidth, IHeight);
  int Source = static_cast<int>(State) >= FNumGlyphs ? 0 : static_cast<int>(State);
  int Left = rix::CheckedMul(Source, IWidth);
  TRect ORect = Rect(Left, 0, Left + IWidth, IHeight);
  int Index;
  if (State != bsDisabled) {
    TmpImage->Canvas()->CopyRect(IRect, FOriginal->Canvas(), ORect);
    TColor Mask = FOriginal->TransparentMode() == tmFixed ? FTransparentColor : clDefault;
    Index = FGlyphList->AddMasked(TmpImage.get(), Mask);
  } else {
    if (FNumGlyphs > 1)
      MakeStripDisabled(TmpImage.get(), ORect);
    else
      MakeEmbossedDisabled(TmpImage.get(), IWidth, IHeight);
    Index = FGlyphList->AddMasked(TmpImage.get(), clDefault);
  }
  FIndexs[State] = Index;
  FOriginal->Dormant();
  return Index;
}

// The strip brings its own disabled image; it is recoloured to the button
// colours: white becomes the highlight, grey the shadow and the
// transparent colour the button face.
void TButtonGlyph::MakeStripDisabled(TBitmap* TmpImage, const TRect& ORect) {
  auto DDB = std::make_unique<TBitmap>();
  DDB->Assign(FOriginal.get());
  DDB->SetHandleType(bmDDB);
  TRect IRect = Rect(0, 0, TmpImage->Width(), TmpImage->Height());
  TmpImage->Canvas()->CopyRect(IRect, DDB->Canvas(), ORect);
  auto MonoBmp = std::make_unique<TBitmap>(TmpImage->Width(), TmpImage->Height());
  struct TPass {
    TColor Key, Replacement;
  };
  const TPass Passes[3] = {{clWhite, clBtnHighlight}, {clGray, clBtnShadow}, {ColorToRGB(FTransparentColor), clBtnFace}};
  for (const TPass& P : Passes) {
    // Each key is looked for in the original image, not in the image
    // already recoloured by an earlier pass.
    MonoBmp->SetMonochrome(false);
    MonoBmp->Canvas()->CopyRect(IRect, DDB->Canvas(), ORect);
    MakeMask(MonoBmp.get(), P.Key);
    PaintThroughMask(TmpImage, MonoBmp.get(), 0, 0, P.Replacement);
  }
}

// A single image gets an engraved look: its black shape in the highlight
// colour one pixel down and right, under the same shape in the shadow
// colour, on the button face.
void TButtonGlyph::MakeEmbossedDisabled(TBitmap* TmpImage, int IWidth, int IHeight) {
  auto MonoBmp = std::make_unique<TBitmap>(IWidth, IHeight);
  MonoBmp->SetHandleType(bmDDB);
  // A monochrome source holds plain black and white pixels here, so its
  // black shape is found like that of a colour glyph.
  MonoBmp->Canvas()->CopyRect(Rect(0, 0, IWidth, IHeight), FOriginal->Canvas(), Rect(0, 0, IWidth, IHeight));
  MakeMask(MonoBmp.get(), clBlack);
  TCanvas* c = TmpImage->Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, IWidth, IHeight));
  PaintThroughMask(TmpImage, MonoBmp.get(), 1, 1, clBtnHighlight);
  PaintThroughMask(TmpImage, MonoBmp.get(), 0, 0, clBtnShadow);
}

void TButtonGlyph::DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State, bool Transparent) {
  if (!FOriginal || FOriginal->Width() == 0 || FOriginal->Height() == 0) return;
  int Index = CreateButtonGlyph(State);
  if (Index < 0) return;
  if (Transparent || State == bsExclusive)
    ImageList_DrawEx(FGlyphList, Index, Canvas->Handle(), GlyphPos.X, GlyphPos.Y, 0, 0, clNone, clNone,
                     ILD_TRANSPARENT);
  else
    ImageList_DrawEx(FGlyphList, Index, Canvas->Handle(), GlyphPos.X, GlyphPos.Y, 0, 0, ColorToRGB(clBtnFace),
                     clNone, ILD_NORMAL);
}
