// What a player can ask of the game, whatever key or script word stands for it.
#pragma once

#include <cstdint>

#include "game/game.h"

namespace plonta {

enum class Command : std::uint8_t {
    Action,      // start, drop or try again
    PaddleLeft,  // one lane toward lane 0
    PaddleRight, // one lane toward lane 4
    TogglePause,
};

void applyCommand(Game& game, Command command);

} // namespace plonta
