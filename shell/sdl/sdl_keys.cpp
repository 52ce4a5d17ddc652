// Key look-up.
#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::optional<Command> commandForScancode(SDL_Scancode scancode, bool numLock) {
    for (const KeyBinding& binding : keyTable)
        if (binding.scancode == scancode) return binding.command;
    if (!numLock)
        for (const KeyBinding& binding : keypadArrowTable)
            if (binding.scancode == scancode) return binding.command;
    return std::nullopt;
}

} // namespace plonta
