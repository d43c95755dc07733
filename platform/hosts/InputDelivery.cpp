#include "platform/hosts/InputDelivery.h"

namespace {
LPARAM KeyData(TShiftState Shift) { return Shift.Contains(ssAlt) ? KF_ALTDOWN_LPARAM : 0; }

WPARAM MouseKeys(TShiftState Shift) {
  WPARAM k = 0;
  if (Shift.Contains(ssShift)) k |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) k |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) k |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) k |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) k |= MK_MBUTTON;
  return k;
}

// The modifier keys held for the time of one key message.
class TModifierKeys {
public:
  explicit TModifierKeys(TShiftState Shift) {
    SetKeyState(VK_SHIFT, Shift.Contains(ssShift));
    SetKeyState(VK_CONTROL, Shift.Contains(ssCtrl));
  }
  ~TModifierKeys() {
    SetKeyState(VK_SHIFT, false);
    SetKeyState(VK_CONTROL, false);
  }
  TModifierKeys(const TModifierKeys&) = delete;
  TModifierKeys& operator=(const TModifierKeys&) = delete;
};
} // namespace

void TInputDelivery::Pump() { ProcessMessages(); }

char32_t TInputDelivery::TranslateKey(unsigned short Vk, TShiftState Shift, TKeyTranslation Translation) {
  if (Shift.Contains(ssAlt)) return 0;
  switch (Vk) {
  case VK_BACK: return 8;
  case VK_TAB: return 9;
  case VK_RETURN: return 13;
  case VK_ESCAPE: return 27;
  default: break;
  }
  if (Shift.Contains(ssCtrl)) return (Vk >= 'A' && Vk <= 'Z') ? static_cast<char32_t>(Vk - 'A' + 1) : 0;
  if (Translation != ktAll) return 0;
  if (Vk >= 'A' && Vk <= 'Z') return Shift.Contains(ssShift) ? Vk : static_cast<char32_t>(Vk - 'A' + 'a');
  if (Vk >= '0' && Vk <= '9' && !Shift.Contains(ssShift)) return Vk;
  if (Vk == VK_SPACE) return U' ';
  return 0;
}

void TInputDelivery::KeyDown(unsigned short Vk, TShiftState Shift, TKeyTranslation Translation) {
  HWND target = GetFocus();
  if (target == 0) return;
  {
    TModifierKeys mods(Shift);
    // TranslateMessage posts the character before the key is dispatched.
    if (char32_t ch = TranslateKey(Vk, Shift, Translation)) PostMessage(target, WM_CHAR, ch, KeyData(Shift));
    SendMessage(target, WM_KEYDOWN, Vk, KeyData(Shift));
    Pump();
  }
}

void TInputDelivery::KeyUp(unsigned short Vk, TShiftState Shift) {
  if (HWND target = GetFocus()) {
    TModifierKeys mods(Shift);
    SendMessage(target, WM_KEYUP, Vk, KeyData(Shift));
    Pump();
  }
}

void TInputDelivery::Char(char32_t Ch) {
  if (HWND target = GetFocus()) {
    SendMessage(target, WM_CHAR, Ch, 0);
    Pump();
  }
}

void TInputDelivery::Text(const std::string& Utf8) {
  for (char32_t c : rix::Utf8ToUtf32(Utf8)) Char(c);
}

void TInputDelivery::ImeStartComposition() {
  if (HWND target = GetFocus()) {
    SendMessage(target, WM_IME_STARTCOMPOSITION);
    Pump();
  }
}

void TInputDelivery::ImeCompose(const std::string& Utf8) {
  if (HWND target = GetFocus()) SetCompositionString(target, Utf8);
}

void TInputDelivery::ImeCommit(const std::string& Utf8) {
  if (HWND target = GetFocus()) SetCompositionString(target, {});
  Text(Utf8);
  if (HWND target = GetFocus()) {
    SendMessage(target, WM_IME_ENDCOMPOSITION);
    Pump();
  }
}

void TInputDelivery::Mouse(unsigned Msg, TPoint P, TShiftState Shift) {
  TWinControl* target = GetCapture() != 0 ? FindControl(GetCapture()) : nullptr;
  if (target == nullptr) {
    target = FPainter.WindowAt(P);
    if (target == nullptr) return;
    // A press on a scroll bar scrolls by a line or a page.
    TRect b = FPainter.DeviceBounds(target);
    if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK)
      for (int bar : {SB_VERT, SB_HORZ}) {
        int code = target->ScrollBarHitTest(bar, {P.X - b.Left, P.Y - b.Top});
        if (code < 0) continue;
        HWND h = target->Handle();
        unsigned msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
        SendMessage(h, msg, static_cast<WPARAM>(code), 0);
        if (IsWindow(h)) SendMessage(h, msg, SB_ENDSCROLL, 0);
        Pump();
        return;
      }
  }
  TPoint o = FPainter.DeviceClientOrigin(target);
  HWND h = target->Handle();
  SendMessage(h, Msg, MouseKeys(Shift), MakeLParam(P.X - o.X, P.Y - o.Y));
  if (IsWindow(h)) SendMessage(h, WM_SETCURSOR, h, MakeLParam(HTCLIENT, static_cast<int>(Msg)));
  Pump();
}

void TInputDelivery::Wheel(TPoint P, int Delta, TShiftState Shift) {
  HWND target = GetFocus();
  if (target == 0) return;
  TPoint s = FPainter.Form()->ClientToScreen(P);
  SendMessage(target, WM_MOUSEWHEEL, MakeWParam(static_cast<int>(MouseKeys(Shift)), Delta), MakeLParam(s.X, s.Y));
  Pump();
}
