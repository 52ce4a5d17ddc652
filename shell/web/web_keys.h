// Which key of the page does what: by KeyboardEvent.code, the key's position, so layouts don't
// matter; the keypad's digits are also its arrows when NumLock is off.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "frontend/host.h"

namespace plonta {

struct WebKeyBinding {
    std::string_view code;
    KeyAction action;
};

// Keypad 0 pauses whatever NumLock says, as it does on the desktop.
inline constexpr std::array<WebKeyBinding, 18> webKeyTable{{
    {"Space", playKey(Command::Action)},
    {"ArrowDown", downKey},
    {"ArrowUp", upKey},
    {"ArrowLeft", playKey(Command::PaddleLeft)},
    {"ArrowRight", playKey(Command::PaddleRight)},
    {"Numpad0", playKey(Command::TogglePause)},
    // Most laptops have no keypad: P and the Pause key pause too.
    {"KeyP", playKey(Command::TogglePause)},
    {"Pause", playKey(Command::TogglePause)},
    {"Escape", quitKey},
    {"F11", fullscreenKey},
    {"F2", newGameKey},
    {"End", skipReplayKey},
    {"KeyM", muteKey},
    {"KeyC", marksKey},
    {"KeyL", languageKey},
    {"KeyH", bestGamesKey},
    {"Enter", chooseKey},
    {"NumpadEnter", chooseKey},
}};

// With NumLock off the desktop programs take keypad 4, 6 and 2 as the arrow keys; so does the
// page.
inline constexpr std::array<WebKeyBinding, 4> webKeypadArrowTable{{
    {"Numpad4", playKey(Command::PaddleLeft)},
    {"Numpad6", playKey(Command::PaddleRight)},
    {"Numpad2", downKey},
    {"Numpad8", upKey},
}};

// Nothing for every key outside the tables. key is KeyboardEvent.key, which tells whether
// NumLock made a keypad key a digit.
std::optional<KeyAction> actionForCode(std::string_view code, std::string_view key);

} // namespace plonta
