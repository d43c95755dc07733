// TInputDelivery: user input turned into window messages, as the system's
// input queue and TranslateMessage do for the framework.
//
// Keys go to the focused window as WM_KEYDOWN / WM_KEYUP (the Shift and Ctrl
// key states set for the time of the key, Alt in the key data). Translated
// keys post the WM_CHAR that TranslateMessage would: Backspace, Tab, Enter
// and Escape always; Ctrl+letter as the control character; and, when the
// host has no text input of its own, letters, digits and space. Text (typed
// or committed by an input method) arrives as WM_CHAR, one per code point.
// Mouse messages go to the window that captured the mouse, else to the top
// window under the point, in its client coordinates; each is followed by
// WM_SETCURSOR. A left press on a scroll bar's arrow or track sends
// WM_VSCROLL / WM_HSCROLL (a line or a page, then SB_ENDSCROLL) instead;
// dragging the thumb is not offered. The wheel goes to the focused window with a screen point.
// Every call pumps the message queue afterwards.
#pragma once

#include "platform/hosts/SurfacePainter.h"

#include <string>

enum TKeyTranslation { ktAll, ktControlKeysOnly };

class TInputDelivery {
public:
  explicit TInputDelivery(TSurfacePainter& Painter) : FPainter(Painter) {}

  void KeyDown(unsigned short Vk, TShiftState Shift = {}, TKeyTranslation Translation = ktAll);
  void KeyUp(unsigned short Vk, TShiftState Shift = {});
  void Char(char32_t Ch);
  void Text(const std::string& Utf8);
  // An input method's composition: started (WM_IME_STARTCOMPOSITION), its
  // result committed as characters, ended (WM_IME_ENDCOMPOSITION).
  void ImeStartComposition();
  // The text being composed so far (shown by the focused editor).
  void ImeCompose(const std::string& Utf8);
  void ImeCommit(const std::string& Utf8);

  // Msg is WM_MOUSEMOVE or a button message; P in form (surface) pixels;
  // Shift carries the buttons held (ssLeft ...) and the keys.
  void Mouse(unsigned Msg, TPoint P, TShiftState Shift = {});
  void Wheel(TPoint P, int Delta, TShiftState Shift = {});

  static void Pump();

private:
  static char32_t TranslateKey(unsigned short Vk, TShiftState Shift, TKeyTranslation Translation);
  TSurfacePainter& FPainter;
};
