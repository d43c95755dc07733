#include "platform/hosts/SdlDialogs.h"

#include "platform/hosts/SdlKeys.h"

#include <SDL.h>
#include <cairo.h>

namespace {
// The dialog window and what draws into it, released on every path.
struct TDialogWindow {
  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  cairo_surface_t* Surface = nullptr;
  ~TDialogWindow() {
    if (Surface != nullptr) cairo_surface_destroy(Surface);
    if (Texture != nullptr) SDL_DestroyTexture(Texture);
    if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
    if (Window != nullptr) SDL_DestroyWindow(Window);
  }
};

void Present(TDialogWindow& W, TDialogModel& Model, TCanvas& Canvas) {
  Model.Paint(Canvas);
  cairo_surface_flush(W.Surface);
  SDL_UpdateTexture(W.Texture, nullptr, cairo_image_surface_get_data(W.Surface),
                    cairo_image_surface_get_stride(W.Surface));
  SDL_RenderCopy(W.Renderer, W.Texture, nullptr, nullptr);
  SDL_RenderPresent(W.Renderer);
}

} // namespace

int TSdlDialogService::RunModal(TDialogModel& Model) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    throw EOutOfResources(std::string("Cannot start SDL video: ") + SDL_GetError());
  struct TQuit {
    ~TQuit() { SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS); }
  } quit;
  TSize size = Model.Size();
  TDialogWindow w;
  w.Window = SDL_CreateWindow(Model.Title().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.cx, size.cy,
                              SDL_WINDOW_SHOWN);
  if (w.Window != nullptr) w.Renderer = SDL_CreateRenderer(w.Window, -1, SDL_RENDERER_SOFTWARE);
  if (w.Renderer != nullptr)
    w.Texture = SDL_CreateTexture(w.Renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, size.cx, size.cy);
  if (w.Texture == nullptr) throw EOutOfResources(std::string("Cannot open a dialog window: ") + SDL_GetError());
  w.Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.cx, size.cy);
  TCanvas canvas(w.Surface);
  Uint32 id = SDL_GetWindowID(w.Window);
  // A modal dialog has the keyboard: it asks for the focus itself (there
  // may be no window manager to give it), and until the focus change has
  // come through SDL labels keys with the window that had the focus
  // before, or none, so keys and text are taken from whatever window they
  // name. The owner takes no input while the dialog runs anyway.
  SDL_RaiseWindow(w.Window);
  SDL_SetWindowInputFocus(w.Window);
  bool textInput = SDL_IsTextInputActive() == SDL_TRUE;
  SDL_StartTextInput();
  Present(w, Model, canvas);
  bool quitLater = false;
  while (!Model.Answered()) {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 100) == 0) continue;
    switch (e.type) {
    case SDL_QUIT:
      quitLater = true;
      Model.Key(VK_ESCAPE, {});
      break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID == id && e.window.event == SDL_WINDOWEVENT_CLOSE) Model.Key(VK_ESCAPE, {});
      break;
    case SDL_KEYDOWN:
      if (e.key.keysym.sym == SDLK_BACKSPACE) Model.Char(8);
      else Model.Key(rix::SdlKeyToVirtualKey(e.key.keysym.sym), rix::SdlModState(e.key.keysym.mod));
      break;
    case SDL_TEXTINPUT:
      for (char32_t c : rix::Utf8ToUtf32(e.text.text)) Model.Char(c);
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.windowID == id && e.button.button == SDL_BUTTON_LEFT) Model.Click({e.button.x, e.button.y});
      break;
    default: break;
    }
    if (!Model.Answered()) Present(w, Model, canvas);
  }
  if (!textInput) SDL_StopTextInput();
  if (quitLater) {
    SDL_Event q{};
    q.type = SDL_QUIT;
    SDL_PushEvent(&q);
  }
  return Model.Result();
}

TModalResult TSdlDialogService::MessageDlg(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  auto buttons = TDialogModel::ButtonsFor(Request.Buttons);
  TDialogModel m(TDialogModel::TitleFor(Request.DlgType), Request.Text, buttons,
                 TDialogModel::CancelResultOf(buttons));
  return RunModal(m);
}

int TSdlDialogService::MessageBox(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  auto buttons = TDialogModel::ButtonsForFlags(Request.Flags);
  TDialogModel m(Request.Caption, Request.Text, buttons, TDialogModel::CancelResultOf(buttons));
  return RunModal(m);
}

bool TSdlDialogService::FileDialog(const TDialogRequest& Request, std::string& FileName) {
  FRequests.push_back(Request);
  std::string title = !Request.Text.empty() ? Request.Text
                      : Request.Kind == TDialogKind::SaveFile ? "名前を付けて保存"
                                                              : "ファイルを開く";
  TDialogModel m(title, "ファイル名:", {{"OK", mrOk}, {"キャンセル", mrCancel}}, mrCancel, true, Request.FileName);
  if (RunModal(m) != mrOk || m.Text().empty()) return false;
  FileName = m.Text();
  return true;
}

bool TSdlDialogService::ConfirmOverwrite(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  TDialogModel m("確認", Request.FileName + " は既に存在します。\n上書きしますか?", {{"はい(&Y)", mrYes}, {"いいえ(&N)", mrNo}},
                 mrNo);
  return RunModal(m) == mrYes;
}
