#include "platform/hosts/SdlHost.h"

#include "platform/hosts/SdlKeys.h"
#include "platform/hosts/X11Clipboard.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>

namespace {
// The system clipboard's text through SDL.
class TSdlClipboardLink : public TClipboardHostLink {
public:
  void PutText(const std::string& Text) override { SDL_SetClipboardText(Text.c_str()); }
  bool FetchText(std::string& Text) override {
    if (!SDL_HasClipboardText()) return false;
    char* t = SDL_GetClipboardText();
    if (t == nullptr) return false;
    Text = t;
    SDL_free(t);
    return true;
  }
};


// Popup menus in the host's window.
class TSdlMenuService : public TMenuService {
public:
  explicit TSdlMenuService(TSdlHost& Host) : FHost(Host) {}
  TMenuItem* TrackPopup(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y) override {
    Record(Menu, Items, X, Y);
    std::vector<TMenuModelItem> shown;
    for (TMenuItem* i : Items) shown.push_back({i->Caption(), i->Enabled(), i->Checked()});
    TMenuModel model(std::move(shown));
    TCustomForm* form = FHost.Painter().Form();
    TPoint origin = FHost.Painter().DeviceClientOrigin(form);
    TPoint p = form->ScreenToClient({X, Y});
    int chosen = FHost.TrackMenu(model, {p.X + origin.X, p.Y + origin.Y});
    return chosen >= 0 ? Items[static_cast<size_t>(chosen)] : nullptr;
  }

private:
  TSdlHost& FHost;
};

TShiftState ButtonsState(Uint32 Buttons) {
  TShiftState s = rix::SdlModState(static_cast<Uint16>(SDL_GetModState()));
  if (Buttons & SDL_BUTTON_LMASK) s += ssLeft;
  if (Buttons & SDL_BUTTON_RMASK) s += ssRight;
  if (Buttons & SDL_BUTTON_MMASK) s += ssMiddle;
  return s;
}

std::vector<TSdlHost*>& Hosts() {
  static std::vector<TSdlHost*> hosts;
  return hosts;
}

unsigned EventWindowID(const SDL_Event& E) {
  switch (E.type) {
  case SDL_WINDOWEVENT: return E.window.windowID;
  case SDL_KEYDOWN:
  case SDL_KEYUP: return E.key.windowID;
  case SDL_TEXTEDITING: return E.edit.windowID;
  case SDL_TEXTINPUT: return E.text.windowID;
  case SDL_MOUSEMOTION: return E.motion.windowID;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: return E.button.windowID;
  case SDL_MOUSEWHEEL: return E.wheel.windowID;
  default: return 0;
  }
}

bool FocusInside(TCustomForm* Form) {
  HWND f = GetFocus();
  if (f == 0) return false;
  std::vector<TWinControl*> list{Form};
  Form->GetTabOrderList(list);
  for (TWinControl* w : list)
    if (w->WindowHandle() == f) return true;
  return false;
}

[[noreturn]] void SdlFailure(const std::string& What) {
  throw EOutOfResources(What + ": " + SDL_GetError());
}
} // namespace

// A second top-level form in a real window of its own.
struct TSdlHost::TFormWindow {
  TCustomForm* Form = nullptr;
  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  std::unique_ptr<TSurfacePainter> Painter;
  std::unique_ptr<TInputDelivery> Input;
  ~TFormWindow() {
    Input.reset();
    Painter.reset();
    if (Texture != nullptr) SDL_DestroyTexture(Texture);
    if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
    if (Window != nullptr) SDL_DestroyWindow(Window);
  }
  void Present() {
    Painter->PaintInvalid();
    if (Painter->TakeDirty().empty()) return;
    cairo_surface_t* s = Painter->Surface();
    cairo_surface_flush(s);
    SDL_UpdateTexture(Texture, nullptr, cairo_image_surface_get_data(s), cairo_image_surface_get_stride(s));
    SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
    SDL_RenderPresent(Renderer);
  }
};

TSdlHost::TFormWindow* TSdlHost::FormWindowOf(unsigned WindowID) const {
  for (const auto& w : FFormWindows)
    if (SDL_GetWindowID(w->Window) == WindowID) return w.get();
  return nullptr;
}

void TSdlHost::SyncFormWindows() {
  const auto& live = Forms();
  std::erase_if(FFormWindows, [&](const auto& W) {
    return std::find(live.begin(), live.end(), W->Form) == live.end() || !W->Form->Visible();
  });
  for (TCustomForm* form : live) {
    if (form == FForm || form->Parent() != nullptr || !form->Visible() || !form->HandleAllocated()) continue;
    if (std::any_of(Hosts().begin(), Hosts().end(), [&](const TSdlHost* H) { return H->FForm == form; })) continue;
    if (std::any_of(FFormWindows.begin(), FFormWindows.end(), [&](const auto& W) { return W->Form == form; }))
      continue;
    auto w = std::make_unique<TFormWindow>();
    w->Form = form;
    w->Window = SDL_CreateWindow(form->Caption().empty() ? "rixgrid" : form->Caption().c_str(),
                                 form->Left(), form->Top(), std::max(form->Width(), 1), std::max(form->Height(), 1), 0);
    if (w->Window == nullptr) continue;
    w->Renderer = SDL_CreateRenderer(w->Window, -1, SDL_RENDERER_SOFTWARE);
    if (w->Renderer == nullptr) continue;
    w->Painter = std::make_unique<TSurfacePainter>(form);
    w->Input = std::make_unique<TInputDelivery>(*w->Painter);
    w->Texture = SDL_CreateTexture(w->Renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                   w->Painter->Width(), w->Painter->Height());
    if (w->Texture == nullptr) continue;
    FFormWindows.push_back(std::move(w));
  }
  for (const auto& w : FFormWindows) w->Present();
}

TSdlHost::TSdlHost(TCustomForm* Form, int Width, int Height, const std::string& Title) : FForm(Form) {
  if (Form == nullptr) throw EInvalidOperation("A host needs a form");
  if (Width <= 0 || Height <= 0)
    throw EInvalidOperation("Invalid form size " + std::to_string(Width) + "x" + std::to_string(Height));
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) SdlFailure("Cannot start SDL video");
  FShown = Form->Visible();
  FWindow = SDL_CreateWindow(Title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Width, Height,
                             SDL_WINDOW_RESIZABLE | (FShown ? 0 : SDL_WINDOW_HIDDEN));
  if (FWindow == nullptr) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SdlFailure("Cannot open a window");
  }
  FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
  if (FRenderer == nullptr) FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
  if (FRenderer == nullptr) {
    SDL_DestroyWindow(FWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SdlFailure("Cannot draw in the window");
  }
  Form->SetCaption(Title);
  Form->SetBounds(0, 0, Width, Height);
  Form->HandleNeeded();
  FPainter = std::make_unique<TSurfacePainter>(Form);
  FInput = std::make_unique<TInputDelivery>(*FPainter);
  CreateTexture();
  FMain = Hosts().empty();
  Hosts().push_back(this);
  // The main window's host speaks for the program: clipboard, dialogs and
  // menus. On X11 the clipboard speaks the selection protocol itself, for
  // text and pictures alike; elsewhere SDL carries text and pictures stay
  // inside.
  if (FMain) {
    const char* driver = SDL_GetCurrentVideoDriver();
    std::unique_ptr<TX11Clipboard> x11;
    if (driver != nullptr && std::string(driver) == "x11") x11 = TX11Clipboard::Open();
    FX11Clipboard = x11.get();
    if (x11) FClipboardLink = std::move(x11);
    else FClipboardLink = std::make_unique<TSdlClipboardLink>();
    Clipboard()->SetHostLink(FClipboardLink.get());
    FDialogs = std::make_unique<TSdlDialogService>();
    SetDialogService(FDialogs.get());
    FMenus = std::make_unique<TSdlMenuService>(*this);
    SetMenuService(FMenus.get());
  }
  FLastTick = SDL_GetTicks();
  ApplyImeMode();
}

TSdlHost::~TSdlHost() {
  FFormWindows.clear();
  Hosts().erase(std::remove(Hosts().begin(), Hosts().end(), this), Hosts().end());
  if (FClipboardLink != nullptr && Clipboard()->HostLink() == FClipboardLink.get()) Clipboard()->SetHostLink(nullptr);
  if (FDialogs != nullptr && &DialogService() == FDialogs.get()) SetDialogService(nullptr);
  if (FMenus != nullptr && &MenuService() == FMenus.get()) SetMenuService(nullptr);
  FInput.reset();
  FPainter.reset();
  if (FTexture != nullptr) SDL_DestroyTexture(FTexture);
  SDL_DestroyRenderer(FRenderer);
  SDL_DestroyWindow(FWindow);
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void TSdlHost::CreateTexture() {
  if (FTexture != nullptr) SDL_DestroyTexture(FTexture);
  // Cairo's RGB24 is a 32-bit xRGB word per pixel: SDL's RGB888.
  FTexture = SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, FPainter->Width(),
                               FPainter->Height());
  if (FTexture == nullptr) SdlFailure("Cannot create the window's texture");
  FPainter->TakeDirty();
  FForm->Invalidate();
  for (int i = 0; i < FForm->ControlCount(); ++i) FForm->Controls(i)->Invalidate();
}

bool TSdlHost::TextInputActive() const { return SDL_IsTextInputActive() == SDL_TRUE; }

void TSdlHost::ApplyImeMode() {
  HWND focus = GetFocus();
  if (focus != FImeWindow) {
    // The input method's candidate window goes under the focused control.
    FImeWindow = focus;
    if (TWinControl* w = FindControl(focus)) {
      TRect b = FPainter->DeviceBounds(w);
      SDL_Rect r{b.Left, b.Top, b.Width(), b.Height()};
      SDL_SetTextInputRect(&r);
    }
  }
  TImeMode mode = GetImeModeOf(focus);
  int on = (mode == imDisable || mode == imClose) ? 0 : 1;
  if (on == FImeState) return;
  FImeState = on;
  if (on) SDL_StartTextInput();
  else SDL_StopTextInput();
}

void TSdlHost::HandleEvent(const SDL_Event& E) {
  // Mouse and window events of a second window are its form's.
  if (E.type == SDL_WINDOWEVENT || E.type == SDL_MOUSEBUTTONDOWN || E.type == SDL_MOUSEBUTTONUP ||
      E.type == SDL_MOUSEMOTION) {
    const Uint32 id = E.type == SDL_WINDOWEVENT ? E.window.windowID
                      : E.type == SDL_MOUSEMOTION ? E.motion.windowID
                                                  : E.button.windowID;
    if (TFormWindow* w = FormWindowOf(id)) {
      if (E.type == SDL_WINDOWEVENT) {
        if (E.window.event == SDL_WINDOWEVENT_CLOSE) w->Form->Hide();
        else if (E.window.event == SDL_WINDOWEVENT_EXPOSED) w->Form->Invalidate();
      } else if (E.type == SDL_MOUSEMOTION) {
        w->Input->Mouse(WM_MOUSEMOVE, {E.motion.x, E.motion.y}, ButtonsState(E.motion.state));
      } else {
        const bool down = E.type == SDL_MOUSEBUTTONDOWN;
        w->Input->Mouse(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, {E.button.x, E.button.y},
                        ButtonsState(SDL_GetMouseState(nullptr, nullptr)));
      }
      return;
    }
  }
  switch (E.type) {
  case SDL_QUIT: FQuit = true; break;
  case SDL_WINDOWEVENT:
    if (E.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      FForm->SetBounds(0, 0, std::max(E.window.data1, 1), std::max(E.window.data2, 1));
      if (FOnResize) FOnResize();
      FPainter->SurfaceResized();
      CreateTexture();
    } else if (E.window.event == SDL_WINDOWEVENT_EXPOSED) {
      // The texture still holds the picture; it only needs presenting again.
      SDL_RenderCopy(FRenderer, FTexture, nullptr, nullptr);
      SDL_RenderPresent(FRenderer);
    } else if (E.window.event == SDL_WINDOWEVENT_CLOSE) {
      if (FMain) FQuit = true;
      else FForm->Hide();
    } else if (E.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && !FocusInside(FForm)) {
      TWinControl* active = FForm->ActiveControl();
      if (active != nullptr && active->CanFocus()) FForm->FocusControl(active);
      else if (FForm->HandleAllocated()) SetFocusWindow(FForm->Handle());
    }
    break;
  case SDL_KEYDOWN:
  case SDL_KEYUP: {
    unsigned short vk = rix::SdlKeyToVirtualKey(E.key.keysym.sym);
    if (vk == 0 || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) break;
    TShiftState shift = rix::SdlModState(E.key.keysym.mod);
    if (E.type == SDL_KEYDOWN)
      FInput->KeyDown(vk, shift, TextInputActive() ? ktControlKeysOnly : ktAll);
    else
      FInput->KeyUp(vk, shift);
    break;
  }
  case SDL_TEXTEDITING:
    if (!FComposing && E.edit.text[0] != '\0') {
      FComposing = true;
      FInput->ImeStartComposition();
    }
    if (FComposing) FInput->ImeCompose(E.edit.text);
    break;
  case SDL_TEXTINPUT:
    if (FComposing) {
      FComposing = false;
      FInput->ImeCommit(E.text.text);
    } else {
      FInput->Text(E.text.text);
    }
    break;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: {
    bool down = E.type == SDL_MOUSEBUTTONDOWN;
    unsigned msg;
    switch (E.button.button) {
    case SDL_BUTTON_RIGHT: msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: msg = down ? (E.button.clicks == 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP; break;
    }
    FInput->Mouse(msg, {E.button.x, E.button.y}, ButtonsState(SDL_GetMouseState(nullptr, nullptr)));
    break;
  }
  case SDL_MOUSEMOTION:
    FInput->Mouse(WM_MOUSEMOVE, {E.motion.x, E.motion.y}, ButtonsState(E.motion.state));
    break;
  case SDL_MOUSEWHEEL: {
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    int dy = E.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -E.wheel.y : E.wheel.y;
    if (dy != 0) FInput->Wheel({x, y}, dy * WHEEL_DELTA, ButtonsState(SDL_GetMouseState(nullptr, nullptr)));
    break;
  }
  default: break;
  }
}

void TSdlHost::Present() {
  FPainter->PaintInvalid();
  std::vector<TRect> dirty = FPainter->TakeDirty();
  if (dirty.empty()) return;
  cairo_surface_t* s = FPainter->Surface();
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (const TRect& r : dirty) {
    SDL_Rect sr{r.Left, r.Top, r.Width(), r.Height()};
    SDL_UpdateTexture(FTexture, &sr, data + static_cast<size_t>(r.Top) * static_cast<size_t>(stride) + r.Left * 4,
                      stride);
  }
  SDL_RenderCopy(FRenderer, FTexture, nullptr, nullptr);
  SDL_RenderPresent(FRenderer);
}

int TSdlHost::TrackMenu(TMenuModel& Model, TPoint P) {
  // What is under the menu comes back from the form's picture when it closes.
  Present();
  TSize size = Model.Size();
  TPoint at = Model.PlaceAt(P, {FPainter->Width(), FPainter->Height()});
  TRect area = Rect(at.X, at.Y, std::min(at.X + size.cx, FPainter->Width()),
                    std::min(at.Y + size.cy, FPainter->Height()));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.cx, size.cy);
  struct TSurfaceGuard {
    cairo_surface_t* S;
    ~TSurfaceGuard() { cairo_surface_destroy(S); }
  } guard{surface};
  TCanvas canvas(surface);
  auto show = [&] {
    Model.Paint(canvas);
    cairo_surface_flush(surface);
    SDL_Rect r{area.Left, area.Top, area.Width(), area.Height()};
    if (r.w > 0 && r.h > 0)
      SDL_UpdateTexture(FTexture, &r, cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface));
    SDL_RenderCopy(FRenderer, FTexture, nullptr, nullptr);
    SDL_RenderPresent(FRenderer);
  };
  auto local = [&](int X, int Y) { return TPoint{X - at.X, Y - at.Y}; };
  Uint32 id = SDL_GetWindowID(FWindow);
  bool quitLater = false;
  show();
  while (!Model.Closed()) {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 100) == 0) continue;
    switch (e.type) {
    case SDL_QUIT: quitLater = true; Model.Dismiss(); break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID != id) break;
      if (e.window.event == SDL_WINDOWEVENT_CLOSE || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        SDL_PushEvent(&e); // the host handles it once the menu is gone
        Model.Dismiss();
      }
      break;
    case SDL_KEYDOWN:
      // Keys belong to the open menu whichever window SDL names for them
      // (none, while the focus is between windows).
      Model.Key(rix::SdlKeyToVirtualKey(e.key.keysym.sym));
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.windowID == id) Model.MouseMove(local(e.motion.x, e.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.windowID == id) Model.MouseDown(local(e.button.x, e.button.y));
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.windowID == id) Model.MouseUp(local(e.button.x, e.button.y));
      break;
    default: break;
    }
    if (!Model.Closed()) show();
  }
  // The form's pixels back under the menu.
  const unsigned char* data = cairo_image_surface_get_data(FPainter->Surface());
  int stride = cairo_image_surface_get_stride(FPainter->Surface());
  SDL_Rect r{area.Left, area.Top, area.Width(), area.Height()};
  if (r.w > 0 && r.h > 0)
    SDL_UpdateTexture(FTexture, &r, data + static_cast<size_t>(r.y) * static_cast<size_t>(stride) + r.x * 4, stride);
  SDL_RenderCopy(FRenderer, FTexture, nullptr, nullptr);
  SDL_RenderPresent(FRenderer);
  if (quitLater) {
    SDL_Event q{};
    q.type = SDL_QUIT;
    SDL_PushEvent(&q);
  }
  return Model.Chosen();
}

void TSdlHost::SetPosition(int X, int Y) { SDL_SetWindowPosition(FWindow, X, Y); }

TSdlHost* TSdlHost::TargetOf(const SDL_Event& E) {
  const unsigned id = EventWindowID(E);
  if (id != 0)
    for (TSdlHost* h : Hosts())
      if (SDL_GetWindowID(h->FWindow) == id) return h;
  return this;
}

void TSdlHost::SyncVisible() {
  if (FForm->Visible() == FShown) return;
  FShown = FForm->Visible();
  if (FShown) {
    SDL_ShowWindow(FWindow);
    FForm->Invalidate();
  } else {
    SDL_HideWindow(FWindow);
  }
}

bool TSdlHost::Step(int TimeoutMs) {
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, std::max(TimeoutMs, 0)) != 0) {
    TargetOf(e)->HandleEvent(e);
    while (SDL_PollEvent(&e) != 0) TargetOf(e)->HandleEvent(e);
  }
  if (FX11Clipboard != nullptr) FX11Clipboard->Pump();
  // A host's own quit (its main window closed) ends the round for all.
  for (TSdlHost* h : Hosts())
    if (h->FQuit && h != this) FQuit = true;
  int code = 0;
  bool running = ProcessMessages(&code);
  for (Uint32 now = SDL_GetTicks(); running && now - FLastTick >= 60; FLastTick += 60) {
    TickTimers();
    running = ProcessMessages(&code);
  }
  if (!running) {
    FQuit = true;
    FExitCode = code;
  }
  const std::vector<TSdlHost*> hosts = Hosts();
  for (TSdlHost* h : hosts) {
    h->SyncVisible();
    if (hosts.size() == 1 || FocusInside(h->FForm)) h->ApplyImeMode();
    if (h->FShown) h->Present();
  }
  // The main window also opens a window for every other top-level form
  // that shows without a host of its own (a floating popup grid).
  if (FMain) SyncFormWindows();
  if (FOnIdle) FOnIdle();
  return !FQuit;
}

int TSdlHost::Run() {
  while (Step(30)) {
  }
  return FExitCode;
}
