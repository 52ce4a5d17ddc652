// Key look-up.
#include "shell/sdl_keys.h"

namespace plonta {

Command commandForScancode(SDL_Scancode scancode) {
    for (const KeyBinding& binding : keyTable)
        if (binding.scancode == scancode) return binding.command;
    return Command::None;
}

} // namespace plonta
