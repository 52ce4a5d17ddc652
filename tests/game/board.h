// Small helpers for the rule tests: games in a chosen state and bins written as pictures.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "tests/game/game_access.h"

namespace plonta::test {

// A bin picture: five rows, row 0 (the top) first; '.' is empty, '1' to '7' a colour.
using Picture = std::array<std::string_view, binRows>;

inline constexpr Picture emptyPicture{".....", ".....", ".....", ".....", "....."};

// The game the shipped program builds.
inline Game newGame(std::uint32_t seed = 1) {
    Game game;
    game.setUp(standardRules, seed);
    return game;
}

inline Game runningGame(std::uint32_t seed = 1) {
    Game game = newGame(seed);
    game.action();
    return game;
}

inline void setBin(Game& game, const Picture& picture) {
    for (int row = 0; row < binRows; ++row) {
        for (int column = 0; column < binColumns; ++column) {
            const char c = picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            game.bin.at(column, row) = c == '.' ? Tile{0} : static_cast<Tile>(c - '0');
        }
    }
}

// Rows joined by '/', so a failing comparison shows the whole bin on one line.
inline std::string binText(const Game& game) {
    std::string text;
    for (int row = 0; row < binRows; ++row) {
        if (row > 0) text += '/';
        for (int column = 0; column < binColumns; ++column) {
            const Tile tile = game.bin.at(column, row);
            text += tile == 0 ? '.' : static_cast<char>('0' + tile);
        }
    }
    return text;
}

inline std::string pictureText(const Picture& picture) {
    std::string text;
    for (std::size_t row = 0; row < picture.size(); ++row) {
        if (row > 0) text += '/';
        text += picture[row];
    }
    return text;
}

inline std::string mirrored(const std::string& text) {
    std::string result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        std::string row = text.substr(start, end - start);
        result += std::string(row.rbegin(), row.rend());
        if (end == text.size()) break;
        result += '/';
        start = end + 1;
    }
    return result;
}

inline void setCarried(Game& game, std::initializer_list<Tile> tiles) {
    game.player.carried.fill(0);
    std::size_t slot = 0;
    for (const Tile tile : tiles) game.player.carried[slot++] = tile;
    game.player.carriedCount = static_cast<std::uint8_t>(tiles.size());
}

// Tiles still on their way: cell 11 only keeps the last arrival and is never read again.
inline int tilesTravelling(const Game& game) {
    int count = 0;
    for (int lane = 0; lane < laneCount; ++lane) {
        for (int cell = 0; cell < laneCells - 1; ++cell) count += game.conveyor.at(lane, cell) != 0;
    }
    return count;
}

// The GoalEvent codes each level counts: the tests' one copy of the level table. Level 5
// counts points, level 8 nothing.
inline bool levelCounts(int level, int code) {
    switch (level) {
    case 1: return code == 1 || code == 2;
    case 2: return code == 2 || code == 4 || code == 6;
    case 3: return code == 3 || code == 5 || code == 7;
    case 4: return code == 0;
    case 6: return code == 6;
    case 7: return code == 7;
    default: return false;
    }
}

inline constexpr std::array<int, 6> countingLevels{1, 2, 3, 4, 6, 7};

// How far each counting level's counter falls when `op` runs on a copy of `start` at that level.
// Together these tell which GoalEvents the operation reported.
template <typename Op> std::array<int, goalCount> counterDrops(const Game& start, Op op) {
    std::array<int, goalCount> drops{};
    for (const int level : countingLevels) {
        Game game = start;
        game.player.level = static_cast<std::uint8_t>(level);
        const auto index = static_cast<std::size_t>(level);
        const std::int32_t before = game.player.goals[index];
        op(game);
        drops[index] = before - game.player.goals[index];
    }
    return drops;
}

inline std::array<int, goalCount> expectedDrops(const std::vector<int>& codes) {
    std::array<int, goalCount> drops{};
    for (const int level : countingLevels) {
        for (const int code : codes)
            drops[static_cast<std::size_t>(level)] += levelCounts(level, code);
    }
    return drops;
}

} // namespace plonta::test
