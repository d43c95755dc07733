// TImageList: equally sized images with transparency, drawn normal or in
// the disabled (engraved) look.
#pragma once

#include "platform/core/Classes.h"
#include "platform/graphics/Graphic.h"

#include <memory>
#include <vector>

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

constexpr unsigned ILD_NORMAL = 0x0000;
constexpr unsigned ILD_TRANSPARENT = 0x0001;
constexpr unsigned ILD_BLEND25 = 0x0002;
constexpr unsigned ILD_FOCUS = ILD_BLEND25;
constexpr unsigned ILD_BLEND50 = 0x0004;
constexpr unsigned ILD_SELECTED = ILD_BLEND50;
constexpr unsigned ILD_MASK = 0x0010;

class TImageList : public TComponent {
  RIX_CLASS_NAME(TImageList)
public:
  // 16 x 16 images.
  explicit TImageList(TComponent* AOwner);
  // The framework's CreateSize.
  TImageList(int AWidth, int AHeight, TComponent* AOwner = nullptr);
  ~TImageList() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A new size drops every image.
  void SetWidth(int Value) { SetSize(Value, FHeight); }
  void SetHeight(int Value) { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight);
  int Count() const { return static_cast<int>(FImages.size()); }
  // Painted behind each image by Draw unless clNone (the default).
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value) { FBlendColor = Value; }
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }

  // Image is cut into Image->Width() / Width() images (at least one), each
  // taken from the top-left of its strip; pixels outside the image stay
  // transparent. Mask: black pixels show the image, white ones are
  // transparent (nil: all shown). A nil Image adds one empty, transparent
  // image. Returns the index of the first image added.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent. clDefault means the bitmap's
  // TransparentColor (its bottom-left pixel unless fixed); clNone masks
  // nothing.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  void Delete(int Index);
  void Clear();

  // Enabled false draws the engraved look: the image's shape (its visible
  // pixels other than white) in clBtnHighlight one pixel down and right,
  // then in clBtnShadow in place.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  // The comctl32 drawing: Bk (clNone: none) behind the image unless Style
  // has ILD_TRANSPARENT; ILD_BLEND25/50 tint the image with Fg (clNone:
  // the highlight colour); ILD_MASK draws the mask (black where shown).
  void DrawEx(TCanvas* Canvas, int X, int Y, int Index, TColor Bk, TColor Fg, unsigned Style, bool Enabled = true);
  // The image over the list's background colour (white when clNone).
  void GetBitmap(int Index, TBitmap* Image);

  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

private:
  struct TSurfaceFree {
    void operator()(cairo_surface_t* S) const;
  };
  using TImage = std::unique_ptr<cairo_surface_t, TSurfaceFree>;

  TImage Slice(TBitmap* Image, TBitmap* Mask, TColor MaskColor, bool UseMaskColor, int Slot);
  int AddSlices(TBitmap* Image, TBitmap* Mask, TColor MaskColor, bool UseMaskColor);
  void CheckIndex(int Index) const;
  void Change();

  int FWidth = 16;
  int FHeight = 16;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  std::vector<TImage> FImages;
  TNotifyEvent FOnChange;
};

// The comctl32 call; DX, DY other than 0 are not supported and draw the
// natural size. False for a bad list or index.
bool ImageList_DrawEx(TImageList* List, int Index, HDC DC, int X, int Y, int DX, int DY, TColor Bk, TColor Fg,
                      unsigned Style);
