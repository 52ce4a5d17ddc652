// Which physical key does what: by scancode, so layouts and NumLock don't matter.
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

// Escape is not here: it ends the program and never reaches the game.
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

// No command for every key outside the table.
std::optional<Command> commandForScancode(SDL_Scancode scancode);

} // namespace plonta
