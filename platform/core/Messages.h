// Window messages, key codes and the per-thread message queue.
//
// A window handle (HWND) is an integer issued by AllocateWindowHandle. The
// thing behind a handle (a control) registers a dispatch function with it, so
// that messages posted to the handle reach the control when a host pumps the
// queue (ProcessMessages / DispatchMessage). Everything here is per thread:
// each thread has its own queue, handle table, focus, capture and timers, the
// way each Windows thread has its own message queue.
#pragma once

#include "platform/core/Sets.h"

#include <cstdint>
#include <functional>
#include <vector>

using HWND = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
  unsigned Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A queued message, as PeekMessage hands it out.
struct TMsg {
  HWND Hwnd = 0;
  unsigned Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
};

// Window messages.
constexpr unsigned WM_NULL = 0x0000;
constexpr unsigned WM_CREATE = 0x0001;
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_MOVE = 0x0003;
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_SETFOCUS = 0x0007;
constexpr unsigned WM_KILLFOCUS = 0x0008;
constexpr unsigned WM_ENABLE = 0x000A;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUIT = 0x0012;
constexpr unsigned WM_ERASEBKGND = 0x0014;
constexpr unsigned WM_SHOWWINDOW = 0x0018;
constexpr unsigned WM_CANCELMODE = 0x001F;
constexpr unsigned WM_SETCURSOR = 0x0020;
constexpr unsigned WM_GETDLGCODE = 0x0087;
constexpr unsigned WM_NCHITTEST = 0x0084;
constexpr unsigned WM_CONTEXTMENU = 0x007B;
constexpr unsigned WM_KEYFIRST = 0x0100;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;
constexpr unsigned WM_SYSCHAR = 0x0106;
constexpr unsigned WM_KEYLAST = 0x0108;
constexpr unsigned WM_IME_STARTCOMPOSITION = 0x010D;
constexpr unsigned WM_IME_ENDCOMPOSITION = 0x010E;
constexpr unsigned WM_IME_COMPOSITION = 0x010F;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;
constexpr unsigned WM_MOUSEFIRST = 0x0200;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_MBUTTONDBLCLK = 0x0209;
constexpr unsigned WM_MOUSEWHEEL = 0x020A;
constexpr unsigned WM_MOUSELAST = 0x020A;
constexpr unsigned WM_CUT = 0x0300;
constexpr unsigned WM_COPY = 0x0301;
constexpr unsigned WM_PASTE = 0x0302;
constexpr unsigned WM_CLEAR = 0x0303;
constexpr unsigned WM_UNDO = 0x0304;
constexpr unsigned WM_USER = 0x0400;

// The framework's component messages.
constexpr unsigned CM_BASE = 0xB000;
constexpr unsigned CM_ACTIVATE = CM_BASE + 0;
constexpr unsigned CM_DEACTIVATE = CM_BASE + 1;
constexpr unsigned CM_ENABLEDCHANGED = CM_BASE + 3;
constexpr unsigned CM_COLORCHANGED = CM_BASE + 4;
constexpr unsigned CM_FONTCHANGED = CM_BASE + 5;
constexpr unsigned CM_CURSORCHANGED = CM_BASE + 6;
constexpr unsigned CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr unsigned CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr unsigned CM_VISIBLECHANGED = CM_BASE + 12;
constexpr unsigned CM_ENTER = CM_BASE + 15;
constexpr unsigned CM_EXIT = CM_BASE + 16;
constexpr unsigned CM_DESIGNHITTEST = CM_BASE + 17;
constexpr unsigned CM_CANCELMODE = CM_BASE + 20;
constexpr unsigned CM_DIALOGKEY = CM_BASE + 22;
constexpr unsigned CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr unsigned CM_SHOWINGCHANGED = CM_BASE + 34;
constexpr unsigned CM_MOUSEENTER = CM_BASE + 35;
constexpr unsigned CM_MOUSELEAVE = CM_BASE + 36;
constexpr unsigned CM_CHILDKEY = CM_BASE + 43;
constexpr unsigned CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr unsigned CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr unsigned CM_UIACTIVATE = CM_BASE + 62;
constexpr unsigned CM_MOUSEWHEEL = CM_BASE + 67;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// WM_SETCURSOR / WM_NCHITTEST hit-test codes.
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;

// Scroll bars: which bar, and the codes of WM_HSCROLL / WM_VSCROLL (low word
// of WParam; the high word carries the thumb position).
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// Mouse message key flags (WParam of mouse messages).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
// Not a Windows flag: the Alt key held during a mouse message, so hosts can
// pass it without a separate key-state query.
constexpr WPARAM MK_ALT = 0x0020;

// One notch of the mouse wheel.
constexpr int WHEEL_DELTA = 120;

// Virtual-key codes.
constexpr unsigned VK_LBUTTON = 0x01;
constexpr unsigned VK_RBUTTON = 0x02;
constexpr unsigned VK_MBUTTON = 0x04;
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_F1 = 0x70;
constexpr unsigned VK_F2 = 0x71;
constexpr unsigned VK_F4 = 0x73;

// Key-data bit of WM_KEYDOWN / WM_CHAR: the Alt key was down.
constexpr LPARAM KF_ALTDOWN_LPARAM = 0x20000000;

// PeekMessage removal flags.
constexpr unsigned PM_NOREMOVE = 0x0000;
constexpr unsigned PM_REMOVE = 0x0001;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, 7>;

// Packs two 16-bit values into an LPARAM the way Windows packs points: low
// word X, high word Y, both signed.
constexpr LPARAM MakeLParam(int Lo, int Hi) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(Lo) & 0xFFFF) |
                                                        ((static_cast<std::uint32_t>(Hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MakeWParam(int Lo, int Hi) { return static_cast<WPARAM>(static_cast<std::uint32_t>(MakeLParam(Lo, Hi))); }
constexpr int LoWord(std::uintptr_t V) { return static_cast<int>(V & 0xFFFF); }
constexpr int HiWord(std::uintptr_t V) { return static_cast<int>((V >> 16) & 0xFFFF); }
constexpr int SignedLoWord(std::uintptr_t V) { return static_cast<std::int16_t>(V & 0xFFFF); }
constexpr int SignedHiWord(std::uintptr_t V) { return static_cast<std::int16_t>((V >> 16) & 0xFFFF); }

// The shift state of a mouse message's key flags.
TShiftState KeysToShiftState(WPARAM Keys);
// The shift state of a key message: Shift and Ctrl from the thread's key
// state (SetKeyState), Alt from the key data.
TShiftState KeyDataToShiftState(LPARAM KeyData);

// Key state the hosts keep up to date (Shift, Ctrl, Alt held), read by
// KeyDataToShiftState and GetKeyState.
void SetKeyState(unsigned VirtualKey, bool Down);
// Negative when the key is down, as Windows answers.
short GetKeyState(unsigned VirtualKey);

// ---- Handles -----------------------------------------------------------

using TWndMethod = std::function<LRESULT(TMessage&)>;

// Issues a new handle whose messages go to Target. Handles are never reused
// within a thread, so a stale handle can never reach a new window.
HWND AllocateWindowHandle(TWndMethod Target);
// Forgets the handle; messages still queued for it are dropped, its timers
// stop, and it loses focus and capture.
void DeallocateWindowHandle(HWND Wnd);
bool IsWindow(HWND Wnd);

// Sends a message at once and returns its result; 0 for an unknown handle.
LRESULT SendMessage(HWND Wnd, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);

// ---- The queue ---------------------------------------------------------

// Appends a message for Wnd to the thread's queue. Wnd 0 posts a thread
// message. Returns false for a handle that is not a window.
bool PostMessage(HWND Wnd, unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Looks for the oldest queued message for Wnd (0: any window and thread
// messages) whose number lies in FilterMin..FilterMax (both 0: any), and
// removes it when Flags has PM_REMOVE. A pending quit request is answered
// with WM_QUIT (WParam = exit code) when no other matching message waits,
// whatever the filter, as Windows does.
bool PeekMessage(TMsg& Msg, HWND Wnd, unsigned FilterMin, unsigned FilterMax, unsigned Flags);
// Asks the message loop to end with ExitCode.
void PostQuitMessage(int ExitCode);
// Hands a message to its window (SendMessage for a window message; thread
// messages are dropped).
LRESULT DispatchMessage(const TMsg& Msg);
// Dispatches every waiting message (also those posted meanwhile) until the
// queue is empty. Returns false, leaving the quit request pending, when it
// meets WM_QUIT; ExitCode then receives the code.
bool ProcessMessages(int* ExitCode = nullptr);
// Number of waiting messages (not counting a quit request).
int QueuedMessageCount();
// Empties the queue and forgets a quit request (hosts between runs, tests).
void ClearMessageQueue();

// ---- Focus and capture -------------------------------------------------

HWND GetFocus();
// Moves the keyboard focus: WM_KILLFOCUS (WParam = the window receiving the
// focus) to the old window, then WM_SETFOCUS (WParam = the window that lost
// it) to the new one. Returns the window that had it.
HWND SetFocusWindow(HWND Wnd);
HWND GetCapture();
HWND SetCapture(HWND Wnd);
void ReleaseCapture();

// ---- Timers ------------------------------------------------------------

// Timers are ticked by the host (TickTimers), so tests drive time by hand.
void SetTimer(HWND Wnd, std::uintptr_t Id, unsigned Elapse);
void KillTimer(HWND Wnd, std::uintptr_t Id);
bool TimerActive(HWND Wnd, std::uintptr_t Id);
// Sends WM_TIMER (WParam = timer id) to every window with a running timer.
void TickTimers();

// ---- Mouse position ------------------------------------------------------

// The pointer's position in screen coordinates, kept by the hosts (and by
// controls receiving mouse messages), read by auto-scrolling.
void SetCursorPosition(int X, int Y);
void GetCursorPosition(int& X, int& Y);
