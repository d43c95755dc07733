// TCanvas: drawing on a Cairo image surface with the framework's canvas
// operations and a Windows-style device context underneath.
//
// Geometry is integer and exact: lines, frames and fills are not
// anti-aliased and cover exactly the pixels their integer rectangle names
// (Right and Bottom exclusive; LineTo leaves out its end point). Text is
// anti-aliased, set by Pango at 96 dpi with every line tmHeight pixels high.
#pragma once

#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/TextEngine.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

typedef union pixman_image pixman_image_t;

namespace rix {
struct TLineMask;
// Whether canvases write solid fills and cached text straight into image
// surfaces and leave out clips that clip nothing (on by default). Off,
// everything goes through cairo as drawn afresh, which is how tests compare.
void SetPaintShortcutsEnabled(bool Value);
bool PaintShortcutsEnabled();
} // namespace rix

class TCanvas;
class TGraphic;

// The device-context handle the Windows-style calls take: the canvas itself.
using HDC = TCanvas*;

enum TCanvasOrientation { coLeftToRight, coRightToLeft };

// Raster operations of CopyRect (the framework's cm* values).
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Background modes of the device context.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// What Pixels answers outside the surface.
constexpr TColor CLR_INVALID = static_cast<TColor>(0xFFFFFFFF);

class TCanvas : public TPersistent {
  RIX_CLASS_NAME(TCanvas)
public:
  // A canvas on a private 1-by-1 surface: for measuring text where no
  // surface exists yet (the framework's screen device context).
  TCanvas();
  // A canvas drawing on Surface (an image surface); keeps a reference to it.
  explicit TCanvas(cairo_surface_t* Surface);
  ~TCanvas() override;

  // ---- device context -------------------------------------------------------
  HDC Handle() { return this; }
  bool HandleAllocated() const { return true; }
  cairo_t* Cairo() const { return FCr; }
  cairo_surface_t* Surface() const { return FSurface; }
  // Moves the canvas onto another surface; clipping, origin and saved
  // states start afresh, the tools stay.
  void SetSurface(cairo_surface_t* Surface);

  // Logical (0, 0) lands on device pixel Origin. Hosts use it to paint a
  // child control into its parent's surface.
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(TPoint Value);
  // The clipping rectangle in logical coordinates.
  TRect ClipRect() const;
  // Returns the framework's region kind: NULLREGION (1) when nothing is
  // left to paint, SIMPLEREGION (2) otherwise.
  int IntersectClipRect(const TRect& R);
  // Saved states count from 1; RestoreDC(-1) is the last one.
  int SaveDC();
  bool RestoreDC(int SavedDC);
  int SavedDCCount() const { return static_cast<int>(FSaved.size()); }
  int BkMode() const { return FBkMode; }
  int SetBkMode(int Mode);
  TColor BkColor() const { return FBkColor; }
  TColor SetBkColor(TColor Color);
  TColor TextColor() const { return FTextColor; }
  TColor SetTextColor(TColor Color);

  // ---- tools ---------------------------------------------------------------
  // Selecting a font sets the text colour to its colour; selecting a brush
  // sets the background colour and mode (OPAQUE for solid brushes), as the
  // framework's canvas does.
  TFont* Font() { return FFont.get(); }
  void SetFont(const TFont* Value) { FFont->Assign(*Value); }
  TBrush* Brush() { return FBrush.get(); }
  void SetBrush(const TBrush* Value) { FBrush->Assign(*Value); }
  TPen* Pen() { return FPen.get(); }
  void SetPen(const TPen* Value) { FPen->Assign(*Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TCanvasOrientation CanvasOrientation() const { return FOrientation; }
  void SetCanvasOrientation(TCanvasOrientation Value) { FOrientation = Value; }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint Value) { FPenPos = Value; }

  // ---- locking (the canvas of a shared bitmap) -------------------------------
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  // ---- drawing ---------------------------------------------------------------
  void MoveTo(int X, int Y) { FPenPos = {X, Y}; }
  void LineTo(int X, int Y);
  void FillRect(const TRect& R);
  // A one-pixel frame in the brush colour along the inside of R.
  void FrameRect(const TRect& R);
  // Outline with the pen (its width inside the rectangle), inside filled
  // with the brush.
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  // One line of text with its top-left at (X, Y); the background behind it
  // is filled when the background mode is OPAQUE. The pen moves to its end.
  void TextOut(int X, int Y, const std::string& Text);
  // TextOut clipped to R, with R filled first when the brush is not clear.
  void TextRect(const TRect& R, int X, int Y, const std::string& Text);
  TSize TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source of Canvas (which may be this canvas) into Dest, scaled to
  // fit, with CopyMode. A Dest whose Left is right of its Right copies
  // mirrored, likewise for Top and Bottom.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

  TColor Pixels(int X, int Y) const;
  void SetPixels(int X, int Y, TColor Color);

  // Before and after every drawing operation; bitmaps hang their change
  // notification here.
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  void SetOnChanging(TNotifyEvent Value) { FOnChanging = std::move(Value); }
  void Changing();
  void Changed();

  // Internal helpers shared with the Windows-style calls: fill a device
  // rectangle (logical coordinates) with an RGB colour, solid, no
  // anti-aliasing, inside the current clip. Code that clips the cairo
  // context itself, bypassing IntersectClipRect, must not call it inside
  // that clip.
  void FillSolid(const TRect& R, TColor Color);
  // Composites Color through a line's mask, its pen at (X, Baseline), inside
  // the clip; false when this canvas cannot (the caller draws the glyphs).
  bool CompositeMask(const rix::TLineMask& Mask, int X, int Baseline, TColor Color);
  // Inverts the given pixels (logical coordinates) inside the clip.
  void InvertPixels(const std::vector<TPoint>& Points);

private:
  bool FillDirect(const TRect& R, TColor Color);
  // The surface's pixels when they can be written directly, with the pixman
  // format that names them; nullptr otherwise.
  unsigned char* DirectPixels(int& Format);
  struct TDCState {
    TRect Clip;
    TPoint Origin;
    int BkMode;
    TColor BkColor, TextColor;
  };

  void Attach(cairo_surface_t* Surface);
  void Detach();
  void ResetState();
  void FontChanged();
  void BrushChanged();
  void FillWithBrush(const TRect& R);
  void PlotPenPixel(int X, int Y, int W);
  void ApplyRop(const TRect& Dest, cairo_surface_t* Src, TCopyMode Rop);
  TRect DeviceBounds() const;

  cairo_surface_t* FSurface = nullptr;
  // The surface's pixels and the last text colour as pixman images, kept
  // while the surface is attached: made per cell they cost more than the
  // compositing.
  pixman_image_t* FPixels = nullptr;
  pixman_image_t* FSolid = nullptr;
  TColor FSolidColor = 0;
  cairo_t* FCr = nullptr;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TPen> FPen;
  TCopyMode FCopyMode = cmSrcCopy;
  TCanvasOrientation FOrientation = coLeftToRight;
  TPoint FPenPos;
  TPoint FOrigin;
  TRect FClip;  // device coordinates
  int FBkMode = OPAQUE;
  TColor FBkColor = clWhite;
  TColor FTextColor = clBlack;
  std::vector<TDCState> FSaved;
  std::recursive_mutex FLock;
  int FLockCount = 0;
  int FPenStep = 0;
  TNotifyEvent FOnChange, FOnChanging;
};

// Holds a canvas locked for its lifetime.
class TCanvasLock {
public:
  explicit TCanvasLock(TCanvas* Canvas) : FCanvas(Canvas) { FCanvas->Lock(); }
  ~TCanvasLock() { FCanvas->Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

private:
  TCanvas* FCanvas;
};
