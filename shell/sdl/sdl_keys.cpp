// Key look-up.
#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::optional<KeyAction> actionForScancode(SDL_Scancode scancode, bool numLock) {
    for (const KeyBinding& binding : keyTable)
        if (binding.scancode == scancode) return binding.action;
    if (!numLock)
        for (const KeyBinding& binding : keypadArrowTable)
            if (binding.scancode == scancode) return binding.action;
    return std::nullopt;
}

} // namespace plonta
