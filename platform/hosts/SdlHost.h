// TSdlHost: shows a form in an SDL2 window.
//
// SDL's key, text-input (input-method compositions included), mouse, wheel
// and window events become the same messages the headless host delivers.
// The form paints its invalid regions on a Cairo surface; only those
// rectangles are copied into the window's streaming texture. SDL's text
// input (and with it the input method) is on while the focused window's
// ImeMode allows an input method, off for imDisable and imClose (keys then
// give their characters themselves). The system clipboard's text and the
// framework's clipboard follow each other; on X11 pictures too (image/png,
// image/bmp: TX11Clipboard). Dialogs (MessageDlg, file
// dialogs) open modal windows of their own (TSdlDialogService) while the
// host lives. Popup menus (TPopupMenu::Popup, a right click included) show
// in the window itself, drawn with our canvas (TMenuModel) over the form;
// the form gets no input until the menu is closed by a choice, Escape or a
// press outside it. Timers tick every 60 ms. Every other top-level form
// that shows without a host of its own (a floating popup grid) gets a real
// window of the main host, with its own surface and mouse input; closing
// that window hides the form.
//
// Several hosts may live at once, each a window of its own for one form
// (a designer window beside the form it edits). The first host is the main
// window: closing it ends Run. Closing another hides its form; a form hidden
// or shown by the program hides or shows its window. One Step (of any
// host) serves them all: events go to the host of their window, and the
// focus moves into the form of the window the user activates.
#pragma once

#include "platform/hosts/InputDelivery.h"
#include "platform/hosts/MenuModel.h"
#include "platform/hosts/SdlDialogs.h"
#include "platform/hosts/SurfacePainter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;
class TX11Clipboard;

class TSdlHost {
public:
  // Opens the window (raises EOutOfResources when SDL cannot); the form takes
  // its size. The host does not own the form.
  TSdlHost(TCustomForm* Form, int Width, int Height, const std::string& Title);
  ~TSdlHost();
  TSdlHost(const TSdlHost&) = delete;
  TSdlHost& operator=(const TSdlHost&) = delete;

  // Runs until the window closes or PostQuitMessage; returns the exit code.
  int Run();
  // One round: waits up to TimeoutMs for events, handles them, pumps the
  // messages and timers and repaints. False once the host should quit.
  bool Step(int TimeoutMs);
  // Called once after every round (tools watch state from here).
  void SetOnIdle(std::function<void()> E) { FOnIdle = std::move(E); }
  // Called after the user resized the window and the form followed (to lay
  // its controls out again).
  void SetOnResize(std::function<void()> E) { FOnResize = std::move(E); }

  TSurfacePainter& Painter() { return *FPainter; }
  SDL_Window* Window() const { return FWindow; }
  TCustomForm* Form() const { return FForm; }
  // Moves the window on the screen.
  void SetPosition(int X, int Y);
  bool IsMain() const { return FMain; }
  bool TextInputActive() const;
  // Runs Model over the window at the form point P until it closes; returns
  // its choice (-1: dismissed). The host's menu service uses it.
  int TrackMenu(TMenuModel& Model, TPoint P);

private:
  // The host of the event's window (this one for events of no window).
  TSdlHost* TargetOf(const SDL_Event& E);
  void SyncVisible();
  void HandleEvent(const SDL_Event& E);
  void Present();
  void CreateTexture();
  void ApplyImeMode();
  // Opens windows for showing top-level forms and closes those of forms
  // gone or hidden; presents what they painted.
  void SyncFormWindows();
  struct TFormWindow;
  TFormWindow* FormWindowOf(unsigned WindowID) const;

  TCustomForm* FForm;
  SDL_Window* FWindow = nullptr;
  SDL_Renderer* FRenderer = nullptr;
  SDL_Texture* FTexture = nullptr;
  std::unique_ptr<TSurfacePainter> FPainter;
  std::unique_ptr<TInputDelivery> FInput;
  std::unique_ptr<TClipboardHostLink> FClipboardLink;
  TX11Clipboard* FX11Clipboard = nullptr; // the link, when it is X11's
  std::unique_ptr<TSdlDialogService> FDialogs;
  std::unique_ptr<TMenuService> FMenus;
  std::function<void()> FOnIdle, FOnResize;
  unsigned FLastTick = 0;
  bool FQuit = false;
  int FExitCode = 0;
  bool FComposing = false;
  int FImeState = -1;
  HWND FImeWindow = 0;
  bool FMain = false;
  bool FShown = true;
  std::vector<std::unique_ptr<TFormWindow>> FFormWindows;
};
