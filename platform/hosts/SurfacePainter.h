// TSurfacePainter: the paint host of a form drawn on one Cairo image
// surface (the headless host's picture, the SDL host's window contents).
//
// It paints only what is invalid: the invalid regions of every showing
// window of the form, in device pixels, are joined, and each window whose
// bounds meet a dirty rectangle repaints that part of itself, parents before
// children (so a child always lies on top, including a drop-down list that
// sits outside its parent). Each window gets its frame (PaintNonClient), its
// client area filled with its Color (the background erase), then one
// PaintWindow over the bounds of its dirty part, with the canvas and clip
// rectangle set. The device rectangles
// painted since the last TakeDirty are kept for a host that copies pixels on;
// past MaxDirty of them they are joined into their bounds, so a host that
// never takes them (the headless one) does not pile them up forever.
//
// Several painters may live at once, one per top-level form: a control's
// paint request goes to the painter of the form it sits on.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/graphics/Canvas.h"

#include <vector>

class TSurfacePainter : public TPaintHost {
public:
  // Installs itself as the paint host; the surface has the form's size.
  explicit TSurfacePainter(TCustomForm* Form);
  ~TSurfacePainter() override;
  TSurfacePainter(const TSurfacePainter&) = delete;
  TSurfacePainter& operator=(const TSurfacePainter&) = delete;

  TCustomForm* Form() const { return FForm; }
  cairo_surface_t* Surface() const { return FSurface; }
  int Width() const;
  int Height() const;
  // A new surface for the form's current size; everything repaints.
  void SurfaceResized();

  // Paints every invalid part of the form's windows.
  void PaintInvalid();
  // Paints the invalid parts of the form Control sits on, through that
  // form's painter.
  void PaintControl(TWinControl* Control) override;
  // The live painter of the top-level form of Control, or nil.
  static TSurfacePainter* PainterOf(const TControl* Control);
  // The live painter of Form; nil when it has none.
  static TSurfacePainter* Of(const TCustomForm* Form) { return PainterOf(Form); }

  // The device rectangles painted since the last call, and forgets them.
  std::vector<TRect> TakeDirty();
  static constexpr size_t MaxDirty = 64;

  // The top window under a device point (the form when no child is there).
  TWinControl* WindowAt(TPoint P) const;
  // The window's bounds on the surface.
  TRect DeviceBounds(TWinControl* W) const;

  // Where the window's client (0, 0) lies on the surface.
  TPoint DeviceClientOrigin(const TWinControl* W) const;
  // The colour of a surface pixel.
  TColor Pixel(int X, int Y) const;
  // Writes the surface as PNG; raises EFCreateError when it cannot.
  void SaveToPNG(const std::string& FileName);

private:
  // Showing windows of the form, parents before children.
  std::vector<TWinControl*> PaintOrder() const;
  void PaintFrame(TWinControl* W, const TRect& DeviceRect);
  void PaintClient(TWinControl* W, const TRect& DeviceRect);
  // Clip (in W's client coordinates) less the client areas of W's opaque
  // child windows.
  std::vector<TRect> ErasedParts(TWinControl* W, const TRect& Clip) const;

  TCustomForm* FForm;
  cairo_surface_t* FSurface = nullptr;
  TCanvas FCanvas;
  std::vector<TRect> FDirty;
  bool FPainting = false;
};
