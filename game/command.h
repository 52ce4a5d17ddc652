// What a player or a script can ask of the game, whatever key or word stands for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "game/game.h"

namespace plonta {

enum class Command : std::uint8_t {
    Action,      // start, drop or try again
    PaddleLeft,  // one lane toward lane 0
    PaddleRight, // one lane toward lane 4
    TogglePause,
};

void applyCommand(Game& game, Command command);

// The script word of a command: "space", "left", "right" or "pause".
std::string_view commandWord(Command command);
// The command a script word names ("down" is the other word for Action); none for any other word.
std::optional<Command> commandForWord(std::string_view word);

} // namespace plonta
