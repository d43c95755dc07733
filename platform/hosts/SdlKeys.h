// SDL key codes to the framework's virtual keys.
#pragma once

#include <SDL.h>

namespace rix {
// 0 for keys without a virtual key of their own here.
unsigned short SdlKeyToVirtualKey(SDL_Keycode Key);
} // namespace rix
