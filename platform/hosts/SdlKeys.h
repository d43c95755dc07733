// SDL key codes to the framework's virtual keys.
#pragma once

#include "platform/core/Messages.h"

#include <SDL.h>

namespace rix {
// 0 for keys without a virtual key of their own here.
unsigned short SdlKeyToVirtualKey(SDL_Keycode Key);
// Shift, Ctrl and Alt of an SDL modifier state.
TShiftState SdlModState(Uint16 Mod);
} // namespace rix
