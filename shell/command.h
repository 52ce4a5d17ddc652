// What a key asks of the game, independent of how the platform names its keys.
#pragma once

#include <cstdint>

#include "game/game.h"

namespace plonta {

enum class Command : std::uint8_t {
    None,
    Quit, // stays in the shell: the game never sees it
    Action,
    PaddleLeft,
    PaddleRight,
    TogglePause,
};

// Runs a game command; true when a repaint should follow. The pause toggle shows at the next tick.
bool applyCommand(Game& game, Command command);

// The exit status of the program by how the loop ended.
inline constexpr int exitStatusEscape = 27;
inline constexpr int exitStatusClosed = 0;
inline constexpr int exitStatusNoWindow = 1;

} // namespace plonta
