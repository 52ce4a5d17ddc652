// Which physical key does what: by scancode, so layouts and NumLock don't matter.
#pragma once

#include <SDL_scancode.h>
#include <array>

#include "shell/command.h"

namespace plonta {

struct KeyBinding {
    SDL_Scancode scancode;
    Command command;
};

inline constexpr std::array<KeyBinding, 6> keyTable{{
    {SDL_SCANCODE_ESCAPE, Command::Quit},
    {SDL_SCANCODE_SPACE, Command::Action},
    {SDL_SCANCODE_DOWN, Command::Action},
    {SDL_SCANCODE_LEFT, Command::PaddleLeft},
    {SDL_SCANCODE_RIGHT, Command::PaddleRight},
    {SDL_SCANCODE_KP_0, Command::TogglePause},
}};

// Command::None for every key outside the table.
Command commandForScancode(SDL_Scancode scancode);

} // namespace plonta
