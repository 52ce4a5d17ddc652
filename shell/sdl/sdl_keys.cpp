// Key look-up.
#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::optional<Command> commandForScancode(SDL_Scancode scancode) {
    for (const KeyBinding& binding : keyTable)
        if (binding.scancode == scancode) return binding.command;
    return std::nullopt;
}

} // namespace plonta
