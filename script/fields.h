// The game's fields as a script sees them: "set" writes one, "dump" reads them all.
#pragma once

#include <string>

#include "game/game.h"
#include "script/script_line.h"

namespace plonta {

// Writes a parsed "set" into the game.
void applySet(Game& game, const ScriptLine& line);

// Compact JSON of every field a replay needs, in a fixed key order.
std::string dumpGame(const Game& game);

} // namespace plonta
