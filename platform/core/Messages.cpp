#include "platform/core/Messages.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>

namespace {

struct TTimer {
  HWND Wnd;
  std::uintptr_t Id;
  unsigned Elapse;
};

struct TThreadState {
  std::deque<TMsg> Queue;
  // Shared pointers so that a window destroyed while one of its messages is
  // being handled keeps its dispatch function alive until the call returns.
  std::map<HWND, std::shared_ptr<TWndMethod>> Windows;
  HWND NextHandle = 0x1000;
  bool QuitPending = false;
  int QuitCode = 0;
  HWND Focus = 0;
  HWND Capture = 0;
  std::vector<TTimer> Timers;
  bool Shift = false, Ctrl = false, Alt = false;
  int CursorX = 0, CursorY = 0;
};

TThreadState& State() {
  thread_local TThreadState S;
  return S;
}

bool Matches(const TMsg& M, HWND Wnd, unsigned FilterMin, unsigned FilterMax) {
  if (Wnd != 0 && M.Hwnd != Wnd) return false;
  if (FilterMin == 0 && FilterMax == 0) return true;
  return M.Message >= FilterMin && M.Message <= FilterMax;
}

} // namespace

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState S;
  if (Keys & MK_SHIFT) S += ssShift;
  if (Keys & MK_CONTROL) S += ssCtrl;
  if (Keys & MK_LBUTTON) S += ssLeft;
  if (Keys & MK_RBUTTON) S += ssRight;
  if (Keys & MK_MBUTTON) S += ssMiddle;
  if (Keys & MK_ALT) S += ssAlt;
  return S;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState S;
  auto& st = State();
  if (st.Shift) S += ssShift;
  if (st.Ctrl) S += ssCtrl;
  if ((KeyData & KF_ALTDOWN_LPARAM) != 0 || st.Alt) S += ssAlt;
  return S;
}

void SetKeyState(unsigned VirtualKey, bool Down) {
  auto& st = State();
  if (VirtualKey == VK_SHIFT) st.Shift = Down;
  else if (VirtualKey == VK_CONTROL) st.Ctrl = Down;
  else if (VirtualKey == VK_MENU) st.Alt = Down;
}

short GetKeyState(unsigned VirtualKey) {
  auto& st = State();
  bool down = (VirtualKey == VK_SHIFT && st.Shift) || (VirtualKey == VK_CONTROL && st.Ctrl) ||
              (VirtualKey == VK_MENU && st.Alt);
  return down ? static_cast<short>(-128) : 0;
}

HWND AllocateWindowHandle(TWndMethod Target) {
  auto& st = State();
  HWND h = st.NextHandle++;
  st.Windows[h] = std::make_shared<TWndMethod>(std::move(Target));
  return h;
}

void DeallocateWindowHandle(HWND Wnd) {
  auto& st = State();
  st.Windows.erase(Wnd);
  st.Queue.erase(std::remove_if(st.Queue.begin(), st.Queue.end(), [&](const TMsg& m) { return m.Hwnd == Wnd; }),
                 st.Queue.end());
  st.Timers.erase(std::remove_if(st.Timers.begin(), st.Timers.end(), [&](const TTimer& t) { return t.Wnd == Wnd; }),
                  st.Timers.end());
  if (st.Focus == Wnd) st.Focus = 0;
  if (st.Capture == Wnd) st.Capture = 0;
}

bool IsWindow(HWND Wnd) { return Wnd != 0 && State().Windows.count(Wnd) != 0; }

LRESULT SendMessage(HWND Wnd, unsigned Msg, WPARAM WParam, LPARAM LParam) {
  auto& st = State();
  auto it = st.Windows.find(Wnd);
  if (it == st.Windows.end()) return 0;
  std::shared_ptr<TWndMethod> target = it->second;
  TMessage m{Msg, WParam, LParam, 0};
  return (*target)(m);
}

bool PostMessage(HWND Wnd, unsigned Msg, WPARAM WParam, LPARAM LParam) {
  if (Wnd != 0 && !IsWindow(Wnd)) return false;
  State().Queue.push_back(TMsg{Wnd, Msg, WParam, LParam});
  return true;
}

bool PeekMessage(TMsg& Msg, HWND Wnd, unsigned FilterMin, unsigned FilterMax, unsigned Flags) {
  auto& st = State();
  for (auto it = st.Queue.begin(); it != st.Queue.end(); ++it) {
    if (!Matches(*it, Wnd, FilterMin, FilterMax)) continue;
    Msg = *it;
    if (Flags & PM_REMOVE) st.Queue.erase(it);
    return true;
  }
  if (st.QuitPending) {
    Msg = TMsg{0, WM_QUIT, static_cast<WPARAM>(st.QuitCode), 0};
    if (Flags & PM_REMOVE) st.QuitPending = false;
    return true;
  }
  return false;
}

void PostQuitMessage(int ExitCode) {
  auto& st = State();
  st.QuitPending = true;
  st.QuitCode = ExitCode;
}

LRESULT DispatchMessage(const TMsg& Msg) {
  if (Msg.Hwnd == 0) return 0;
  return SendMessage(Msg.Hwnd, Msg.Message, Msg.WParam, Msg.LParam);
}

bool ProcessMessages(int* ExitCode) {
  TMsg m;
  while (PeekMessage(m, 0, 0, 0, PM_NOREMOVE)) {
    if (m.Message == WM_QUIT) {
      if (ExitCode) *ExitCode = static_cast<int>(m.WParam);
      return false;
    }
    PeekMessage(m, 0, 0, 0, PM_REMOVE);
    DispatchMessage(m);
  }
  return true;
}

int QueuedMessageCount() { return static_cast<int>(State().Queue.size()); }

void ClearMessageQueue() {
  auto& st = State();
  st.Queue.clear();
  st.QuitPending = false;
  st.QuitCode = 0;
}

HWND GetFocus() { return State().Focus; }

HWND SetFocusWindow(HWND Wnd) {
  auto& st = State();
  HWND old = st.Focus;
  if (Wnd != 0 && !IsWindow(Wnd)) return old;
  if (old == Wnd) return old;
  st.Focus = Wnd;
  if (old != 0) SendMessage(old, WM_KILLFOCUS, Wnd, 0);
  // A WM_KILLFOCUS handler may have moved the focus elsewhere; only the window
  // that still holds it hears WM_SETFOCUS.
  if (Wnd != 0 && st.Focus == Wnd) SendMessage(Wnd, WM_SETFOCUS, old, 0);
  return old;
}

HWND GetCapture() { return State().Capture; }

HWND SetCapture(HWND Wnd) {
  auto& st = State();
  HWND old = st.Capture;
  st.Capture = IsWindow(Wnd) ? Wnd : 0;
  return old;
}

void ReleaseCapture() { State().Capture = 0; }

void SetTimer(HWND Wnd, std::uintptr_t Id, unsigned Elapse) {
  auto& st = State();
  if (!IsWindow(Wnd)) return;
  for (auto& t : st.Timers)
    if (t.Wnd == Wnd && t.Id == Id) {
      t.Elapse = Elapse;
      return;
    }
  st.Timers.push_back(TTimer{Wnd, Id, Elapse});
}

void KillTimer(HWND Wnd, std::uintptr_t Id) {
  auto& st = State();
  st.Timers.erase(std::remove_if(st.Timers.begin(), st.Timers.end(),
                                 [&](const TTimer& t) { return t.Wnd == Wnd && t.Id == Id; }),
                  st.Timers.end());
}

bool TimerActive(HWND Wnd, std::uintptr_t Id) {
  for (const auto& t : State().Timers)
    if (t.Wnd == Wnd && t.Id == Id) return true;
  return false;
}

void TickTimers() {
  // Copy first: a WM_TIMER handler may kill or start timers.
  std::vector<TTimer> timers = State().Timers;
  for (const auto& t : timers)
    if (TimerActive(t.Wnd, t.Id)) SendMessage(t.Wnd, WM_TIMER, t.Id, 0);
}

void SetCursorPosition(int X, int Y) {
  auto& st = State();
  st.CursorX = X;
  st.CursorY = Y;
}

void GetCursorPosition(int& X, int& Y) {
  auto& st = State();
  X = st.CursorX;
  Y = st.CursorY;
}
