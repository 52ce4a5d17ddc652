// Which physical key does what: by scancode, so layouts don't matter; NumLock only decides
// whether the keypad's digits are also its arrows.
#pragma once

#include <SDL_scancode.h>
#include <array>
#include <optional>

#include "frontend/host.h"

namespace plonta {

struct KeyBinding {
    SDL_Scancode scancode;
    KeyAction action;
};

// Keypad 0 pauses whatever NumLock says, as it does on Windows.
inline constexpr std::array<KeyBinding, 19> keyTable{{
    {SDL_SCANCODE_SPACE, playKey(Command::Action)},
    {SDL_SCANCODE_DOWN, downKey},
    {SDL_SCANCODE_UP, upKey},
    {SDL_SCANCODE_LEFT, playKey(Command::PaddleLeft)},
    {SDL_SCANCODE_RIGHT, playKey(Command::PaddleRight)},
    {SDL_SCANCODE_KP_0, playKey(Command::TogglePause)},
    // Most laptops have no keypad: P and the Pause key pause too.
    {SDL_SCANCODE_P, playKey(Command::TogglePause)},
    {SDL_SCANCODE_PAUSE, playKey(Command::TogglePause)},
    {SDL_SCANCODE_ESCAPE, quitKey},
    {SDL_SCANCODE_F11, fullscreenKey},
    {SDL_SCANCODE_F2, newGameKey},
    {SDL_SCANCODE_END, skipReplayKey},
    {SDL_SCANCODE_M, muteKey},
    {SDL_SCANCODE_C, marksKey},
    {SDL_SCANCODE_L, languageKey},
    {SDL_SCANCODE_H, bestGamesKey},
    {SDL_SCANCODE_S, sendGameKey},
    {SDL_SCANCODE_RETURN, chooseKey},
    {SDL_SCANCODE_KP_ENTER, chooseKey},
}};

// With NumLock off Windows delivers keypad 4, 6 and 2 as the arrow keys; so do we.
inline constexpr std::array<KeyBinding, 4> keypadArrowTable{{
    {SDL_SCANCODE_KP_4, playKey(Command::PaddleLeft)},
    {SDL_SCANCODE_KP_6, playKey(Command::PaddleRight)},
    {SDL_SCANCODE_KP_2, downKey},
    {SDL_SCANCODE_KP_8, upKey},
}};

// Nothing for every key outside the tables.
std::optional<KeyAction> actionForScancode(SDL_Scancode scancode, bool numLock);

} // namespace plonta
