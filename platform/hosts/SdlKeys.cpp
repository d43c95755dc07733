#include "platform/hosts/SdlKeys.h"

#include "platform/core/Messages.h"

namespace rix {
TShiftState SdlModState(Uint16 Mod) {
  TShiftState s;
  if (Mod & KMOD_SHIFT) s += ssShift;
  if (Mod & KMOD_CTRL) s += ssCtrl;
  if (Mod & KMOD_ALT) s += ssAlt;
  return s;
}

unsigned short SdlKeyToVirtualKey(SDL_Keycode Key) {
  if (Key >= SDLK_a && Key <= SDLK_z) return static_cast<unsigned short>('A' + (Key - SDLK_a));
  if (Key >= SDLK_0 && Key <= SDLK_9) return static_cast<unsigned short>('0' + (Key - SDLK_0));
  if (Key >= SDLK_F1 && Key <= SDLK_F12) return static_cast<unsigned short>(VK_F1 + (Key - SDLK_F1));
  switch (Key) {
  case SDLK_RETURN:
  case SDLK_KP_ENTER: return VK_RETURN;
  case SDLK_ESCAPE: return VK_ESCAPE;
  case SDLK_BACKSPACE: return VK_BACK;
  case SDLK_TAB: return VK_TAB;
  case SDLK_SPACE: return VK_SPACE;
  case SDLK_LEFT: return VK_LEFT;
  case SDLK_RIGHT: return VK_RIGHT;
  case SDLK_UP: return VK_UP;
  case SDLK_DOWN: return VK_DOWN;
  case SDLK_HOME: return VK_HOME;
  case SDLK_END: return VK_END;
  case SDLK_PAGEUP: return VK_PRIOR;
  case SDLK_PAGEDOWN: return VK_NEXT;
  case SDLK_INSERT: return VK_INSERT;
  case SDLK_DELETE: return VK_DELETE;
  case SDLK_LSHIFT:
  case SDLK_RSHIFT: return VK_SHIFT;
  case SDLK_LCTRL:
  case SDLK_RCTRL: return VK_CONTROL;
  case SDLK_LALT:
  case SDLK_RALT: return VK_MENU;
  default: return 0;
  }
}
} // namespace rix
