#include "platform/controls/WinControl.h"
#include "platform/core/ScopedValue.h"

#include "platform/controls/Forms.h"

#include <algorithm>
#include <map>

namespace {
std::map<HWND, TWinControl*>& Registry() {
  thread_local std::map<HWND, TWinControl*> R;
  return R;
}
} // namespace

TWinControl* FindControl(HWND Wnd) {
  auto it = Registry().find(Wnd);
  return it == Registry().end() ? nullptr : it->second;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Normally gone already (BeforeDestruction); this covers stack objects.
  if (FHandle != 0) {
    Registry().erase(FHandle);
    DeallocateWindowHandle(FHandle);
    FHandle = 0;
  }
  for (TControl* c : FControls) c->FParent = nullptr;
}

void TWinControl::BeforeDestruction() {
  // Children go with their parent, as in the framework; their owner learns it
  // through the usual removal.
  // Each child leaves its parent (and its form's focus bookkeeping) itself.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    delete c;
    if (!FControls.empty() && FControls.back() == c) FControls.pop_back();
  }
  TControl::BeforeDestruction();
  DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FControls[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* AControl) {
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(AControl); w && HandleAllocated() && w->Visible()) w->HandleNeeded();
  AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  AControl->Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) w->DestroyHandle();
  FControls.erase(it);
  AControl->FParent = nullptr;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle != 0) return;
  if (Parent() != nullptr) Parent()->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (FHandle != 0) return;
  CreateWnd();
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->CreateHandle();
}

// The application object shows what escapes the outermost handler, as the
// framework's window procedure does; nested sends let it pass to the handler
// that sent them, which may restore its own state first.
LRESULT TWinControl::MainWndProc(TMessage& M) {
  static int depth = 0;
  if (depth > 0) {
    WndProc(M);
    return M.Result;
  }
  ++depth;
  struct Leave {
    ~Leave() { --depth; }
  } leave;
  try {
    WndProc(M);
  } catch (const std::exception&) {
    Application()->HandleException(this);
  }
  return M.Result;
}

void TWinControl::CreateWnd() {
  FHandle = AllocateWindowHandle([this](TMessage& m) { return MainWndProc(m); });
  Registry()[FHandle] = this;
  FLastClientWidth = ClientWidth();
  FLastClientHeight = ClientHeight();
  InvalidateRect(ClientRect());
}

void TWinControl::DestroyHandle() {
  if (FHandle == 0 || FDestroyingHandle) return;
  FDestroyingHandle = true;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
  FDestroyingHandle = false;
}

void TWinControl::DestroyWnd() {
  HWND h = FHandle;
  FHandle = 0;
  FInvalid.clear();
  Registry().erase(h);
  DeallocateWindowHandle(h);
}

void TWinControl::RecreateWnd() {
  if (!HandleAllocated()) return;
  bool hadFocus = Focused();
  DestroyHandle();
  HandleNeeded();
  if (hadFocus) SetFocusWindow(FHandle);
}

bool TWinControl::Focused() const { return FHandle != 0 && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return false;
  for (const TControl* c = this; c != form; c = c->Parent())
    if (!(c->Visible() && c->Enabled())) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (Parent() == nullptr && HandleAllocated()) {
    // A top-level window of its own (a host's single control).
    SetFocusWindow(FHandle);
  } else {
    ValidParentForm(this);
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      List.push_back(w);
      w->GetTabOrderList(List);
    }
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return;
  int n = static_cast<int>(list.size());
  auto it = std::find(list.begin(), list.end(), CurControl);
  int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* w = list[static_cast<size_t>(i)];
    if (w == CurControl) break;
    if (w->CanFocus() && (!CheckTabStop || w->TabStop())) {
      w->SetFocus();
      return;
    }
  }
}

// ---- Invalid region -------------------------------------------------------

void TWinControl::Invalidate() { InvalidateRect(ClientRect()); }

void TWinControl::InvalidateRect(const TRect& R, bool Erase) {
  TRect r;
  if (!IntersectRect(r, R, ClientRect())) return;
  for (const TRect& have : FInvalid) {
    TRect u;
    if (IntersectRect(u, have, r) && u == r) return; // already covered
  }
  // Rectangles the new one covers are dropped.
  FInvalid.erase(std::remove_if(FInvalid.begin(), FInvalid.end(),
                                [&](const TRect& have) {
                                  TRect u;
                                  return IntersectRect(u, have, r) && u == have;
                                }),
                 FInvalid.end());
  FInvalid.push_back(r);
}

void TWinControl::ValidateRect(const TRect& R) {
  std::vector<TRect> out;
  for (const TRect& a : FInvalid) AppendRectOutside(out, a, R);
  FInvalid.swap(out);
}

TRect TWinControl::InvalidBounds() const {
  TRect u;
  for (const TRect& r : FInvalid) UnionRect(u, u, r);
  return u;
}

void TWinControl::Update() {
  if (FHandle != 0 && !FInvalid.empty() && PaintHost() != nullptr) Perform(WM_PAINT);
}

TRect TWinControl::PaintClipRect() const { return FHasPaintClip ? FPaintClip : ClientRect(); }

// ---- Scroll bars and client area ---------------------------------------------

bool TWinControl::ScrollBarVisible(int Bar) const {
  const TScrollInfo& s = FScroll[Bar == SB_VERT ? 1 : 0];
  if (s.Max <= s.Min) return false;
  return s.Page == 0 || static_cast<long long>(s.Page) <= static_cast<long long>(s.Max) - s.Min;
}

TRect TWinControl::ClientRect() const {
  int e = BorderEdge();
  int w = Width() - 2 * e;
  int h = Height() - 2 * e;
  if (ScrollBarVisible(SB_VERT)) w -= GetSystemMetrics(SM_CXVSCROLL);
  if (ScrollBarVisible(SB_HORZ)) h -= GetSystemMetrics(SM_CYHSCROLL);
  return Rect(0, 0, std::max(w, 0), std::max(h, 0));
}

TPoint TWinControl::ClientOrigin() const { return {BorderEdge(), BorderEdge()}; }

void TWinControl::SendSize() {
  if (FHandle == 0) return;
  int w = ClientWidth(), h = ClientHeight();
  if (w == FLastClientWidth && h == FLastClientHeight) return;
  FLastClientWidth = w;
  FLastClientHeight = h;
  Perform(WM_SIZE, 0, MakeLParam(w, h));
}

void TWinControl::SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw) {
  TScrollInfo& s = FScroll[Bar == SB_VERT ? 1 : 0];
  s.Min = Info.Min;
  s.Max = Info.Max;
  s.Page = Info.Page;
  int maxPos = s.Max - std::max(static_cast<int>(s.Page) - 1, 0);
  s.Pos = std::clamp(Info.Pos, s.Min, std::max(s.Min, maxPos));
  s.TrackPos = s.Pos;
  SendSize();
}

void TWinControl::SetScrollRange(int Bar, int Min, int Max, bool Redraw) {
  TScrollInfo s = GetScrollInfo(Bar);
  s.Min = Min;
  s.Max = Max;
  SetScrollInfo(Bar, s, Redraw);
}

void TWinControl::GetScrollRange(int Bar, int& Min, int& Max) const {
  const TScrollInfo& s = FScroll[Bar == SB_VERT ? 1 : 0];
  Min = s.Min;
  Max = s.Max;
}

int TWinControl::SetScrollPos(int Bar, int Pos, bool Redraw) {
  TScrollInfo s = GetScrollInfo(Bar);
  int old = s.Pos;
  s.Pos = Pos;
  SetScrollInfo(Bar, s, Redraw);
  return old;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  AlignControls();
  SendSize();
}

void TWinControl::AlignControls() {
  // A child placed here calls back when its bounds change.
  if (FAligning) return;
  rix::TScopedValue<bool> guard(FAligning, true);
  TRect r = ClientRect();
  for (TAlign edge : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : FControls) {
      if (c->Align() != edge || !c->Visible()) continue;
      switch (edge) {
      case alTop: c->SetBounds(r.Left, r.Top, r.Width(), c->Height()); r.Top += c->Height(); break;
      case alBottom: c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height()); r.Bottom -= c->Height(); break;
      case alLeft: c->SetBounds(r.Left, r.Top, c->Width(), r.Height()); r.Left += c->Width(); break;
      case alRight: c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height()); r.Right -= c->Width(); break;
      default: c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0)); break;
      }
    }
  }
}

void TWinControl::SetVisible(bool Value) {
  if (Visible() == Value) return;
  if (!Value && FHandle != 0 && GetFocus() != 0) {
    // A hidden window cannot keep the focus: it goes back to the parent form.
    std::vector<TWinControl*> list{this};
    GetTabOrderList(list);
    bool hadFocus = std::any_of(list.begin(), list.end(), [](TWinControl* w) { return w->Focused(); });
    TControl::SetVisible(Value);
    if (hadFocus) {
      if (TCustomForm* form = GetParentForm(this); form && form != this && form->HandleAllocated())
        SetFocusWindow(form->Handle());
      else
        SetFocusWindow(0);
    }
    return;
  }
  TControl::SetVisible(Value);
  if (Value && Parent() != nullptr && Parent()->HandleAllocated()) HandleNeeded();
}

// ---- Messages -----------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_SETFOCUS: {
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && !form->SetFocusedControl(this)) return;
    break;
  }
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN: {
    // The dialog keys: a key the control does not ask for moves the focus.
    LRESULT mask = 0;
    switch (Message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: mask = DLGC_WANTALLKEYS; break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0) {
      if (TCustomForm* form = GetParentForm(this); form && form != this &&
          form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) {
        Message.Result = 1;
        return;
      }
    }
    break;
  }
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN: WMKeyDown(M); return;
  case WM_KEYUP:
  case WM_SYSKEYUP: WMKeyUp(M); return;
  case WM_CHAR: WMChar(M); return;
  case WM_SETFOCUS: WMSetFocus(M); return;
  case WM_KILLFOCUS: WMKillFocus(M); return;
  case WM_SIZE: WMSize(M); return;
  case WM_HSCROLL: WMHScroll(M); return;
  case WM_VSCROLL: WMVScroll(M); return;
  case WM_SETCURSOR: WMSetCursor(M); return;
  case WM_GETDLGCODE: WMGetDlgCode(M); return;
  case WM_PAINT: WMPaint(M); return;
  case WM_TIMER: WMTimer(M); return;
  case WM_IME_STARTCOMPOSITION: WMIMEStartComposition(M); return;
  case CM_ENTER: CMEnter(M); return;
  case CM_EXIT: CMExit(M); return;
  case CM_DIALOGKEY: CMDialogKey(M); return;
  default: TControl::Dispatch(M); return;
  }
}

void TWinControl::DefaultHandler(TMessage& M) {
  // What the system's default window procedure does for the messages that
  // matter here.
  switch (M.Msg) {
  case WM_RBUTTONUP: {
    TPoint p = ClientToScreen({SignedLoWord(static_cast<std::uintptr_t>(M.LParam)),
                               SignedHiWord(static_cast<std::uintptr_t>(M.LParam))});
    Perform(WM_CONTEXTMENU, FHandle, MakeLParam(p.X, p.Y));
    break;
  }
  case WM_CONTEXTMENU:
    if (Parent() != nullptr) M.Result = Parent()->Perform(M.Msg, M.WParam, M.LParam);
    break;
  case WM_SETCURSOR:
    if (LoWord(static_cast<std::uintptr_t>(M.LParam)) == HTCLIENT) {
      SetScreenCursor(Cursor());
      M.Result = 1;
    }
    break;
  default:
    break;
  }
}

bool TWinControl::DoKeyDown(TMessage& M) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyDown(M)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    unsigned short key = static_cast<unsigned short>(M.WParam);
    KeyDown(key, KeyDataToShiftState(M.LParam));
    M.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}

void TWinControl::WMKeyUp(TMessage& M) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    unsigned short key = static_cast<unsigned short>(M.WParam);
    KeyUp(key, KeyDataToShiftState(M.LParam));
    M.WParam = key;
    if (key == 0) return;
  }
  DefaultHandler(M);
}

void TWinControl::WMChar(TMessage& M) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    char32_t ch = static_cast<char32_t>(M.WParam);
    KeyPress(ch);
    M.WParam = ch;
    if (ch == 0) return;
  }
  DefaultHandler(M);
}

void TWinControl::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (FOnKeyDown) FOnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(unsigned short& Key, TShiftState Shift) {
  if (FOnKeyUp) FOnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
  if (FOnKeyPress) FOnKeyPress(this, Key);
}

void TWinControl::WMSetFocus(TMessage& M) {
  DefaultHandler(M);
  SetIme();
}

void TWinControl::WMKillFocus(TMessage& M) {
  DefaultHandler(M);
  ResetIme();
}

void TWinControl::SetIme() {
  if (!SysLocale().FarEast || FHandle == 0) return;
  if (!FImeName.empty()) ::SetImeName(FImeName);
  if (FImeMode != imDontCare) ::SetImeMode(FHandle, FImeMode);
}

void TWinControl::ResetIme() {
  if (!SysLocale().FarEast || FHandle == 0) return;
  if (FImeMode != imDontCare) ::SetImeMode(FHandle, imDontCare);
}

void TWinControl::WMSize(TMessage& M) {
  Invalidate();
  DefaultHandler(M);
}

void TWinControl::WMHScroll(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMVScroll(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMSetCursor(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMGetDlgCode(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMTimer(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMIMEStartComposition(TMessage& M) { DefaultHandler(M); }

void TWinControl::ScrollWindowEx(int DX, int DY, const TRect* ScrollRect, const TRect* ClipRect, unsigned Flags) {
  if (FHandle == 0 || (Flags & SW_INVALIDATE) == 0) return;
  TRect r = ScrollRect != nullptr ? *ScrollRect : ClientRect();
  if (ClipRect != nullptr && !IntersectRect(r, r, *ClipRect)) return;
  InvalidateRect(r, (Flags & SW_ERASE) != 0);
}

void TWinControl::WMPaint(TMessage& M) {
  if (PaintHost() != nullptr) PaintHost()->PaintControl(this);
}

void TWinControl::CMEnter(TMessage& M) { DoEnter(); }
void TWinControl::CMExit(TMessage& M) { DoExit(); }
void TWinControl::DoEnter() {
  if (FOnEnter) FOnEnter(this);
}
void TWinControl::DoExit() {
  if (FOnExit) FOnExit(this);
}

void TWinControl::CMDialogKey(TMessage& M) { M.Result = 0; }

void TWinControl::NotifyChildren(unsigned Msg) {
  std::vector<TControl*> kids = FControls;
  for (TControl* c : kids) c->Perform(Msg);
}

void TWinControl::CMColorChanged(TMessage& M) {
  TControl::CMColorChanged(M);
  NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage& M) {
  TControl::CMBiDiModeChanged(M);
  NotifyChildren(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMFontChanged(TMessage& M) {
  TControl::CMFontChanged(M);
  NotifyChildren(CM_PARENTFONTCHANGED);
}
