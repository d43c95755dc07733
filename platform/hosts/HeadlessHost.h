// THeadlessHost: runs a form without a display. Tests and tools drive the
// form as a user would: keys, typed and input-method text, the mouse and the
// wheel arrive as messages through the message queue; time passes on demand
// (the timers tick every 60 ms of virtual time); the form paints its invalid
// regions onto a Cairo image surface and can be written as PNG.
//
//   TForm* form = new TForm(nullptr);
//   auto* grid = new TMyGrid(form); grid->SetParent(form); grid->SetBounds(8, 8, 400, 300);
//   THeadlessHost host(form, 640, 480);   // lays the form out, creates its windows
//   grid->SetFocus();
//   host.Key(VK_DOWN); host.Type("日本語"); host.Click(host.PointOf(grid, 30, 40));
//   host.AdvanceTime(300); host.SaveToPNG("grid.png");
//
// Points are in form pixels (PointOf converts a control's client point).
// The host does not own the form, which must outlive it. Other top-level
// forms that show (a floating popup grid) get surfaces of their own, painted
// with the host's form (PainterOf).
#pragma once

#include "platform/hosts/InputDelivery.h"
#include "platform/hosts/SurfacePainter.h"

#include <map>
#include <memory>
#include <string>

class THeadlessHost {
public:
  // Sizes the form to Width x Height at (0, 0), creates its windows and
  // installs the host's painter.
  THeadlessHost(TCustomForm* Form, int Width, int Height);
  ~THeadlessHost();
  THeadlessHost(const THeadlessHost&) = delete;
  THeadlessHost& operator=(const THeadlessHost&) = delete;

  TCustomForm* Form() const { return FForm; }
  TSurfacePainter& Painter() { return *FPainter; }
  TInputDelivery& Input() { return FInput; }
  // A new size for the form (WM_SIZE reaches it, the surface follows).
  void SetSize(int Width, int Height);

  // ---- keyboard -------------------------------------------------------------
  void KeyDown(unsigned short Vk, TShiftState Shift = {}) { FInput.KeyDown(Vk, Shift); }
  void KeyUp(unsigned short Vk, TShiftState Shift = {}) { FInput.KeyUp(Vk, Shift); }
  // Press and release.
  void Key(unsigned short Vk, TShiftState Shift = {});
  // Characters, one WM_CHAR per code point (Japanese text included).
  void Type(const std::string& Utf8) { FInput.Text(Utf8); }
  void Char(char32_t Ch) { FInput.Char(Ch); }
  // Text composed and committed by an input method.
  void ImeType(const std::string& Utf8);
  // An input method's composition in progress (shown, not yet typed);
  // ImeType commits it.
  void ImeCompose(const std::string& Utf8);

  // ---- mouse ------------------------------------------------------------------
  TPoint PointOf(TControl* Control, int X, int Y) const;
  void MouseDown(TPoint P, TMouseButton Button = mbLeft, TShiftState Shift = {});
  void MouseMove(TPoint P, TShiftState Shift = {});
  void MouseUp(TPoint P, TMouseButton Button = mbLeft, TShiftState Shift = {});
  void Click(TPoint P, TMouseButton Button = mbLeft, TShiftState Shift = {});
  void DblClick(TPoint P);
  // Press at From, move in Steps steps to To (time passing 60 ms after each),
  // release at To.
  void Drag(TPoint From, TPoint To, int Steps = 2);
  // Delta in WHEEL_DELTA units (negative: towards the user).
  void Wheel(TPoint P, int Delta, TShiftState Shift = {}) { FInput.Wheel(P, Delta, Shift); }

  // ---- time and painting --------------------------------------------------------
  void ProcessMessages() { TInputDelivery::Pump(); }
  // Lets Ms milliseconds of virtual time pass: a timer tick every 60 ms.
  void AdvanceTime(int Ms);
  static constexpr int TimerInterval = 60;
  // Paints the invalid regions of the host's form and of every other
  // showing top-level form.
  void Paint();
  // The painter of a showing top-level form (after Paint); nil for none.
  TSurfacePainter* PainterOf(TCustomForm* Form);
  // Paints, then writes the form as PNG (EFCreateError when it cannot).
  void SaveToPNG(const std::string& FileName);
  // Paints, then reads a pixel of the form.
  TColor Pixel(int X, int Y);

private:
  TCustomForm* FForm;
  std::unique_ptr<TSurfacePainter> FPainter;
  TInputDelivery FInput;
  std::map<TCustomForm*, std::unique_ptr<TSurfacePainter>> FOthers;
  int FTimeCarry = 0;
  bool FComposing = false;
};
