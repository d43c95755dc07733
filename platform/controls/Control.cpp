#include "platform/controls/Control.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinControl.h"

#include <cstdlib>
#include <map>


namespace {
TPaintHost* GPaintHost = nullptr;
std::map<HWND, TImeMode>& ImeModes() {
  thread_local std::map<HWND, TImeMode> M;
  return M;
}
TImeName& ImeNameState() {
  thread_local TImeName N;
  return N;
}
TCursor& ScreenCursorState() {
  thread_local TCursor C = crDefault;
  return C;
}
} // namespace


void SetPaintHost(TPaintHost* Host) { GPaintHost = Host; }
TPaintHost* PaintHost() { return GPaintHost; }

namespace {
std::map<HWND, bool>& CaretsHidden() {
  thread_local std::map<HWND, bool> M;
  return M;
}
} // namespace

namespace {
std::map<HWND, std::string>& Compositions() {
  thread_local std::map<HWND, std::string> M;
  return M;
}
} // namespace

void SetCompositionString(HWND Wnd, const std::string& Text) {
  if (Text.empty()) Compositions().erase(Wnd);
  else Compositions()[Wnd] = Text;
  if (TWinControl* w = FindControl(Wnd)) w->Invalidate();
}

std::string CompositionString(HWND Wnd) {
  auto it = Compositions().find(Wnd);
  return it == Compositions().end() ? std::string() : it->second;
}

void HideCaret(HWND Wnd) { CaretsHidden()[Wnd] = true; }
void ShowCaret(HWND Wnd) { CaretsHidden()[Wnd] = false; }
bool CaretHidden(HWND Wnd) {
  auto it = CaretsHidden().find(Wnd);
  return it != CaretsHidden().end() && it->second;
}

void SetImeMode(HWND Wnd, TImeMode Mode) { ImeModes()[Wnd] = Mode; }
TImeMode GetImeModeOf(HWND Wnd) {
  auto it = ImeModes().find(Wnd);
  return it == ImeModes().end() ? imDontCare : it->second;
}
void SetImeName(const TImeName& Name) { ImeNameState() = Name; }
const TImeName& ActiveImeName() { return ImeNameState(); }
TScreen& Screen() {
  thread_local TScreen S;
  return S;
}

namespace {
std::uintptr_t& KbLayoutState() {
  thread_local std::uintptr_t L = 0;
  return L;
}
} // namespace

void ActivateKeyboardLayout(std::uintptr_t Layout, unsigned Flags) { KbLayoutState() = Layout; }
std::uintptr_t ActiveKeyboardLayout() { return KbLayoutState(); }

void SetScreenCursor(TCursor Cursor) { ScreenCursorState() = Cursor; }
TCursor ScreenCursor() { return ScreenCursorState(); }

// ---- TControl ----------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
  FFont->SetOnChange([this](TObject*) {
    if (!FAdoptingFont) FontChanged();
  });
}

TControl::~TControl() {
  // Reached without the destroying delete (a control on the stack): the parent
  // must still forget it.
  if (FParent != nullptr) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (TCustomForm* form = GetParentForm(this)) form->ControlDestroyed(this);
  if (GetCapture() != 0 && MouseCapture()) ReleaseCapture();
  if (FParent != nullptr) SetParent(nullptr);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (auto* self = dynamic_cast<TWinControl*>(this); self && AParent && self->ContainsControl(AParent))
    throw EInvalidOperation("A control cannot be the parent of one of its parents");
  if (FParent != nullptr) {
    if (TCustomForm* form = GetParentForm(this)) form->ControlDestroyed(this);
    FParent->RemoveControl(this);
  }
  if (AParent != nullptr) {
    AParent->InsertControl(this);
    if (FAlign != alNone) AParent->AlignControls();
    if (FParentColor) AdoptParentColor();
    if (FParentFont && AdoptParentFont()) Perform(CM_FONTCHANGED);
    if (FParentBiDiMode) FBiDiMode = AParent->BiDiMode();
  }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  Resize();
  if (FAlign != alNone && FParent != nullptr) FParent->AlignControls();
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  if (FParent != nullptr) FParent->AlignControls();
}

TPoint TControl::ClientToScreen(TPoint P) const {
  TPoint o = ClientOrigin();
  P.X += o.X + FLeft;
  P.Y += o.Y + FTop;
  return FParent != nullptr ? FParent->ClientToScreen(P) : P;
}

TPoint TControl::ScreenToClient(TPoint P) const {
  TPoint z = ClientToScreen({0, 0});
  return {P.X - z.X, P.Y - z.Y};
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  if (FParent != nullptr) FParent->Invalidate();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c != nullptr; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::AdoptParentColor() {
  if (FParent != nullptr && FParent->FColor != FColor) {
    FColor = FParent->FColor;
    Perform(CM_COLORCHANGED);
  }
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}


void TControl::SetFont(const TFont* Value) {
  if (Value != nullptr) FFont->Assign(*Value);
}

bool TControl::AdoptParentFont() {
  if (FParent == nullptr || *FParent->FFont == *FFont) return false;
  FAdoptingFont = true;
  try {
    FFont->Assign(*FParent->FFont);
  } catch (...) {
    FAdoptingFont = false;
    throw;
  }
  FAdoptingFont = false;
  return true;
}

void TControl::FontChanged() {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) {
    FParentBiDiMode = false;
    return;
  }
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (FParentBiDiMode == Value) return;
  FParentBiDiMode = Value;
  if (FParent != nullptr && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu != nullptr) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = Value;
  if (Value != nullptr) FreeNotification(Value);
}

void TControl::BeginDrag(bool Immediate, int Threshold) { FDragging = true; }
void TControl::EndDrag(bool Drop) { FDragging = false; }

namespace {
// The window a control's mouse input belongs to: itself or its windowed parent.
HWND MouseWindowOf(const TControl* C) {
  for (const TControl* c = C; c != nullptr; c = c->Parent())
    if (auto* w = dynamic_cast<const TWinControl*>(c)) return w->WindowHandle();
  return 0;
}
} // namespace

bool TControl::MouseCapture() const {
  HWND h = MouseWindowOf(this);
  return h != 0 && GetCapture() == h;
}

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  if (Value) {
    if (auto* w = dynamic_cast<TWinControl*>(this)) SetCapture(w->Handle());
    else SetCapture(MouseWindowOf(this));
  } else {
    ReleaseCapture();
  }
}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
        Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        break;
      }
    }
    if (Message.Msg != WM_MOUSEWHEEL) {
      TPoint p = ClientToScreen({SignedLoWord(static_cast<std::uintptr_t>(Message.LParam)),
                                 SignedHiWord(static_cast<std::uintptr_t>(Message.LParam))});
      SetCursorPosition(p.X, p.Y);
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
  case WM_LBUTTONDOWN: WMLButtonDown(M); return;
  case WM_LBUTTONUP: WMLButtonUp(M); return;
  case WM_LBUTTONDBLCLK: WMLButtonDblClk(M); return;
  case WM_RBUTTONDOWN: WMRButtonDown(M); return;
  case WM_RBUTTONUP: WMRButtonUp(M); return;
  case WM_RBUTTONDBLCLK: WMRButtonDblClk(M); return;
  case WM_MBUTTONDOWN: WMMButtonDown(M); return;
  case WM_MBUTTONUP: WMMButtonUp(M); return;
  case WM_MOUSEMOVE: WMMouseMove(M); return;
  case WM_MOUSEWHEEL: WMMouseWheel(M); return;
  case WM_CONTEXTMENU: WMContextMenu(M); return;
  case WM_CANCELMODE: WMCancelMode(M); return;
  case CM_CANCELMODE: CMCancelMode(M); return;
  case CM_ENABLEDCHANGED: CMEnabledChanged(M); return;
  case CM_COLORCHANGED: CMColorChanged(M); return;
  case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); return;
  case CM_FONTCHANGED: CMFontChanged(M); return;
  case CM_PARENTFONTCHANGED: CMParentFontChanged(M); return;
  case CM_BIDIMODECHANGED: CMBiDiModeChanged(M); return;
  case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(M); return;
  case CM_VISIBLECHANGED: CMVisibleChanged(M); return;
  case CM_DESIGNHITTEST: CMDesignHitTest(M); return;
  case CM_CURSORCHANGED: CMCursorChanged(M); return;
  default: DefaultHandler(M); return;
  }
}

void TControl::DefaultHandler(TMessage& Message) {}

void TControl::Invalidate() {
  if (FParent != nullptr) FParent->InvalidateRect(BoundsRect());
}

void TControl::SendCancelMode(TControl* Sender) {
  if (TCustomForm* form = GetParentForm(this))
    if (TWinControl* active = form->ActiveControl())
      active->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

void TControl::Click() {
  if (FOnClick) FOnClick(this);
}

void TControl::DblClick() {
  if (FOnDblClick) FOnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FOnMouseDown) FOnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FOnMouseUp) FOnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (FOnMouseMove) FOnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool result = false;
  if (FOnMouseWheel) FOnMouseWheel(this, Shift, WheelDelta, MousePos, result);
  if (!result) {
    FWheelAccumulator += WheelDelta;
    while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
      bool isNeg = FWheelAccumulator < 0;
      FWheelAccumulator = std::abs(FWheelAccumulator) - WHEEL_DELTA;
      if (isNeg) {
        if (FWheelAccumulator != 0) FWheelAccumulator = -FWheelAccumulator;
        result = DoMouseWheelDown(Shift, MousePos);
      } else {
        result = DoMouseWheelUp(Shift, MousePos);
      }
    }
  }
  return result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool result = false;
  if (FOnMouseWheelDown) FOnMouseWheelDown(this, Shift, MousePos, result);
  return result;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool result = false;
  if (FOnMouseWheelUp) FOnMouseWheelUp(this, Shift, MousePos, result);
  return result;
}

void TControl::DoMouseDown(TMessage& M, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  int x = SignedLoWord(static_cast<std::uintptr_t>(M.LParam));
  int y = SignedHiWord(static_cast<std::uintptr_t>(M.LParam));
  MouseDown(Button, KeysToShiftState(M.WParam) + Shift, x, y);
}

void TControl::DoMouseUp(TMessage& M, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  int x = SignedLoWord(static_cast<std::uintptr_t>(M.LParam));
  int y = SignedHiWord(static_cast<std::uintptr_t>(M.LParam));
  MouseUp(Button, KeysToShiftState(M.WParam), x, y);
}

void TControl::WMLButtonDown(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FClicked = true;
  DoMouseDown(M, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(M, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FClicked) {
    FClicked = false;
    TPoint p{SignedLoWord(static_cast<std::uintptr_t>(M.LParam)), SignedHiWord(static_cast<std::uintptr_t>(M.LParam))};
    if (PtInRect(ClientRect(), p)) Click();
  }
  DoMouseUp(M, mbLeft);
}

void TControl::WMRButtonDown(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  DoMouseDown(M, mbRight, {});
}

void TControl::WMRButtonDblClk(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  DoMouseDown(M, mbRight, {ssDouble});
}

void TControl::WMRButtonUp(TMessage& M) {
  DefaultHandler(M);
  DoMouseUp(M, mbRight);
}

void TControl::WMMButtonDown(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  DoMouseDown(M, mbMiddle, {});
}

void TControl::WMMButtonUp(TMessage& M) {
  DefaultHandler(M);
  DoMouseUp(M, mbMiddle);
}

void TControl::WMMouseMove(TMessage& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseMove(KeysToShiftState(M.WParam), SignedLoWord(static_cast<std::uintptr_t>(M.LParam)),
            SignedHiWord(static_cast<std::uintptr_t>(M.LParam)));
}

void TControl::WMMouseWheel(TMessage& M) {
  TShiftState shift = KeysToShiftState(static_cast<WPARAM>(LoWord(M.WParam)));
  int delta = SignedHiWord(M.WParam);
  TPoint pos{SignedLoWord(static_cast<std::uintptr_t>(M.LParam)), SignedHiWord(static_cast<std::uintptr_t>(M.LParam))};
  if (DoMouseWheel(shift, delta, pos)) {
    M.Result = 1;
    return;
  }
  // Not handled here: the parent may scroll instead.
  if (FParent != nullptr) M.Result = FParent->Perform(M.Msg, M.WParam, M.LParam);
  else DefaultHandler(M);
}

void TControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  if (ComponentState().Contains(csDesigning)) return;
  TPopupMenu* menu = GetPopupMenu();
  if (menu != nullptr && menu->AutoPopup()) {
    TPoint pt{SignedLoWord(static_cast<std::uintptr_t>(M.LParam)), SignedHiWord(static_cast<std::uintptr_t>(M.LParam))};
    if (pt.X == -1 && pt.Y == -1) pt = ClientToScreen({0, 0});
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    menu->Popup(pt.X, pt.Y);
    M.Result = 1;
    return;
  }
  DefaultHandler(M);
}

void TControl::WMCancelMode(TMessage& M) {
  DefaultHandler(M);
  if (MouseCapture()) SetMouseCapture(false);
}

void TControl::CMCancelMode(TMessage& M) {
  if (MouseCapture()) Perform(WM_CANCELMODE);
}

void TControl::CMEnabledChanged(TMessage& M) { Invalidate(); }
void TControl::CMColorChanged(TMessage& M) { Invalidate(); }
void TControl::CMParentColorChanged(TMessage& M) {
  if (FParentColor) {
    AdoptParentColor();
    FParentColor = true;
  }
}
void TControl::CMFontChanged(TMessage& M) { Invalidate(); }
void TControl::CMParentFontChanged(TMessage& M) {
  if (FParentFont && AdoptParentFont()) Perform(CM_FONTCHANGED);
}
void TControl::CMBiDiModeChanged(TMessage& M) { Invalidate(); }
void TControl::CMParentBiDiModeChanged(TMessage& M) {
  if (FParentBiDiMode && FParent != nullptr) {
    if (FBiDiMode != FParent->BiDiMode()) {
      FBiDiMode = FParent->BiDiMode();
      Perform(CM_BIDIMODECHANGED);
    }
  }
}
void TControl::CMVisibleChanged(TMessage& M) { DefaultHandler(M); }
void TControl::CMDesignHitTest(TMessage& M) { M.Result = 0; }
void TControl::CMCursorChanged(TMessage& M) { DefaultHandler(M); }
