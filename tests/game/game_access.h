// The rule tests' way to the Game's internal steps, which nothing outside the core calls.
#pragma once

#include "game/game.h"

namespace plonta {

struct GameTestAccess {
    static void scanBin(Game& game, std::uint8_t depth) { game.scanBin(depth); }
    static void settleBin(Game& game) { game.settleBin(); }
    static void dropIntoBin(Game& game, std::uint8_t column, Tile tile) {
        game.dropIntoBin(column, tile);
    }
};

} // namespace plonta
