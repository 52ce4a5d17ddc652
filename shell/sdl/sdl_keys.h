// Which physical key does what: by scancode, so layouts don't matter; NumLock only decides
// whether the keypad's digits are also its arrows.
#pragma once

#include <SDL_scancode.h>
#include <array>
#include <optional>

#include "game/command.h"

namespace plonta {

struct KeyBinding {
    SDL_Scancode scancode;
    Command command;
};

// Escape is not here: it ends the program and never reaches the game. Keypad 0 pauses whatever
// NumLock says, as it does on Windows.
inline constexpr std::array<KeyBinding, 7> keyTable{{
    {SDL_SCANCODE_SPACE, Command::Action},
    {SDL_SCANCODE_DOWN, Command::Action},
    {SDL_SCANCODE_LEFT, Command::PaddleLeft},
    {SDL_SCANCODE_RIGHT, Command::PaddleRight},
    {SDL_SCANCODE_KP_0, Command::TogglePause},
    // Most laptops have no keypad: P and the Pause key pause too.
    {SDL_SCANCODE_P, Command::TogglePause},
    {SDL_SCANCODE_PAUSE, Command::TogglePause},
}};

// With NumLock off Windows delivers keypad 4, 6 and 2 as the arrow keys; so do we.
inline constexpr std::array<KeyBinding, 3> keypadArrowTable{{
    {SDL_SCANCODE_KP_4, Command::PaddleLeft},
    {SDL_SCANCODE_KP_6, Command::PaddleRight},
    {SDL_SCANCODE_KP_2, Command::Action},
}};

// No command for every key outside the tables.
std::optional<Command> commandForScancode(SDL_Scancode scancode, bool numLock);

} // namespace plonta
