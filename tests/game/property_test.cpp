// Randomised play and random bins: the invariants that must hold after every command.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "game/command.h"
#include "script/fields.h"
#include "tests/game/board.h"

namespace plonta::test {
namespace {

// Describes the first line of three equal tiles found, or returns an empty string.
std::string firstLine(const Bin& bin) {
    constexpr int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
    for (int column = 0; column < binColumns; ++column) {
        for (int row = 0; row < binRows; ++row) {
            const Tile tile = bin.at(column, row);
            if (tile == 0) continue;
            for (const auto& step : steps) {
                const int c2 = column + 2 * step[0];
                const int r2 = row + 2 * step[1];
                if (c2 < 0 || c2 >= binColumns || r2 >= binRows) continue;
                if (bin.at(column + step[0], row + step[1]) == tile && bin.at(c2, r2) == tile)
                    return "three from (" + std::to_string(column) + ", " + std::to_string(row) +
                           ") step (" + std::to_string(step[0]) + ", " + std::to_string(step[1]) +
                           ")";
            }
        }
    }
    return {};
}

void expectInvariants(const Game& game, std::int32_t previousScore, const std::string& where) {
    const Player& p = game.player;
    ASSERT_LE(p.paddleLane, 4) << where;
    ASSERT_LE(p.carriedCount, 3) << where;
    for (int slot = 0; slot < carriedSlots; ++slot) {
        const Tile tile = p.carried[static_cast<std::size_t>(slot)];
        if (slot < p.carriedCount) {
            ASSERT_GE(tile, 1) << where;
            ASSERT_LE(tile, 5) << where;
        } else {
            ASSERT_EQ(tile, 0) << where << " slot " << slot;
        }
    }
    ASSERT_LE(static_cast<int>(game.state), 5) << where;
    ASSERT_NE(game.state, GameState::LevelComplete) << where;
    for (int lane = 0; lane < laneCount; ++lane) ASSERT_EQ(game.conveyor.at(lane, 0), 0) << where;
    for (int cell = 0; cell < laneCells; ++cell) ASSERT_EQ(game.conveyor.at(4, cell), 0) << where;
    for (const Tile tile : game.conveyor.cells) ASSERT_LE(tile, 5) << where;
    for (const Tile tile : game.bin.cells) ASSERT_LE(tile, 5) << where;
    ASSERT_EQ(firstLine(game.bin), "") << where;
    ASSERT_LE(p.dropsLeft, 10) << where;
    ASSERT_LE(p.lives, 5) << where;
    ASSERT_GE(p.level, 1) << where;
    ASSERT_LE(p.level, 8) << where;
    ASSERT_GE(p.score, previousScore) << where;
}

// One random step of play: a tick, a player's command, or the paddle moved as a player would
// move it to catch the next tile (follow) or to line up a drop (aim).
struct Step {
    enum class Kind { Tick, Play, Follow, Aim };
    Kind kind;
    Command command = Command::Action;
};

// Mostly ticks; the paddle often follows the next tile so that catches and lines happen.
Step pickStep(std::mt19937& rng) {
    const auto roll = std::uniform_int_distribution<int>(0, 99)(rng);
    if (roll < 45) return {Step::Kind::Tick};
    if (roll < 55) return {Step::Kind::Play, Command::Action};
    if (roll < 60) return {Step::Kind::Play, Command::PaddleLeft};
    if (roll < 65) return {Step::Kind::Play, Command::PaddleRight};
    if (roll < 66) return {Step::Kind::Play, Command::TogglePause};
    if (roll < 80) return {Step::Kind::Aim};
    return {Step::Kind::Follow};
}

void follow(Game& game) {
    int target = -1;
    int nearest = -1;
    for (int lane = 0; lane < laneCount; ++lane)
        for (int cell = 1; cell < laneCells - 1; ++cell)
            if (game.conveyor.at(lane, cell) != 0 && cell > nearest) {
                nearest = cell;
                target = lane;
            }
    if (target < 0 || target == game.player.paddleLane) return;
    game.movePaddle(target > game.player.paddleLane ? Direction::Right : Direction::Left);
}

// One step toward a column whose top tile matches the tile the next drop releases.
void aim(Game& game, std::mt19937& rng) {
    const Player& p = game.player;
    if (p.carriedCount == 0) return;
    const Tile next = p.carried[p.carriedCount - 1u];
    const int start = std::uniform_int_distribution<int>(0, binColumns - 1)(rng);
    for (int i = 0; i < binColumns; ++i) {
        const int column = (start + i) % binColumns;
        for (int row = 0; row < binRows; ++row) {
            const Tile tile = game.bin.at(column, row);
            if (tile == 0) continue;
            if (tile == next && column != p.paddleLane)
                game.movePaddle(column > p.paddleLane ? Direction::Right : Direction::Left);
            if (tile == next) return;
            break;
        }
    }
}

void takeStep(Game& game, const Step& step, std::mt19937& rng) {
    switch (step.kind) {
    case Step::Kind::Tick: game.tick(); break;
    case Step::Kind::Play: applyCommand(game, step.command); break;
    case Step::Kind::Follow: follow(game); break;
    case Step::Kind::Aim: aim(game, rng); break;
    }
}

TEST(RandomPlay, InvariantsHoldAfterEveryCommand) {
    constexpr int games = 120;
    constexpr int commands = 4000;
    int levelsCompleted = 0;
    int linesScored = 0;
    for (std::uint32_t seed = 1; seed <= games; ++seed) {
        std::mt19937 rng(seed);
        Game game = newGame(seed * 2654435761u);
        // Half the games get goals of one, to pass through every level and its completion.
        if (seed % 2 == 0)
            for (std::size_t level = 1; level <= lastLevel; ++level) game.player.goals[level] = 1;
        for (int i = 0; i < commands; ++i) {
            const std::int32_t scoreBefore = game.player.score;
            const std::uint8_t levelBefore = game.player.level;
            const Step step = pickStep(rng);
            takeStep(game, step, rng);
            levelsCompleted += game.player.level != levelBefore;
            linesScored += step.kind == Step::Kind::Play && step.command == Command::Action &&
                           game.player.score > scoreBefore;
            expectInvariants(game, scoreBefore,
                             "seed " + std::to_string(seed) + " command " + std::to_string(i));
            if (HasFatalFailure()) return;
        }
    }
    // The run must reach the rules it is meant to exercise.
    EXPECT_GT(levelsCompleted, 50);
    EXPECT_GT(linesScored, 100);
}

TEST(RandomBins, ScanLeavesNoLineAndASecondScanNothing) {
    std::mt19937 rng(12345);
    int chains = 0;
    for (int round = 0; round < 20000; ++round) {
        Game game = runningGame();
        const int colours = std::uniform_int_distribution<int>(1, 3)(rng);
        const int emptyPercent = std::uniform_int_distribution<int>(0, 60)(rng);
        for (Tile& tile : game.bin.cells) {
            const bool empty = std::uniform_int_distribution<int>(0, 99)(rng) < emptyPercent;
            tile = empty ? Tile{0}
                         : static_cast<Tile>(std::uniform_int_distribution<int>(1, colours)(rng));
        }
        const std::string before = binText(game);
        const bool hadLine = !firstLine(game.bin).empty();
        GameTestAccess::scanBin(game, 1);
        const std::string where = "bin " + before;
        ASSERT_EQ(firstLine(game.bin), "") << where;
        // A bin with a line scores; one without is left exactly as it was.
        if (!hadLine) {
            ASSERT_EQ(binText(game), before);
            ASSERT_EQ(game.player.score, 0);
        } else {
            ASSERT_GT(game.player.score, 0) << where;
        }
        chains += game.player.score > 3200;
        const Game once = game;
        GameTestAccess::scanBin(game, 1);
        ASSERT_EQ(binText(game), binText(once)) << where;
        ASSERT_EQ(game.player.score, once.player.score) << where;
    }
    EXPECT_GT(chains, 100);
}

// advance(n) against n single ticks, from games part-way through random play, some with the
// spawn counter thrown far back or forward as a script's "set" can.
TEST(RandomPlay, AdvanceEndsWhereSingleTicksEnd) {
    constexpr std::int32_t counts[] = {0, 1, 9, 10, 11, 23, 250, 4000};
    constexpr std::int32_t counters[] = {std::numeric_limits<std::int32_t>::min(), -5000, -1, 8,
                                         std::numeric_limits<std::int32_t>::max()};
    int skippedAhead = 0;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        Game game = newGame(seed);
        const int played = std::uniform_int_distribution<int>(0, 600)(rng);
        for (int i = 0; i < played; ++i) takeStep(game, pickStep(rng), rng);
        if (game.state == GameState::Paused) game.togglePause();
        if (seed % 3 != 0)
            game.spawnCounter = counters[std::uniform_int_distribution<std::size_t>(
                0, std::size(counters) - 1)(rng)];
        for (const std::int32_t count : counts) {
            Game advanced = game;
            advanced.advance(count);
            Game ticked = game;
            for (std::int32_t i = 0; i < count; ++i) ticked.tick();
            ASSERT_EQ(dumpGame(advanced), dumpGame(ticked))
                << "seed " << seed << " after " << played << " commands, " << count << " ticks";
            skippedAhead += advanced.spawnCounter < 0;
        }
    }
    EXPECT_GT(skippedAhead, 50); // the long waits were reached
}

TEST(Advance, LongestWaitMovesOnlyTheCounterThenSpawnsOnTime) {
    Game game = runningGame();
    game.spawnCounter = std::numeric_limits<std::int32_t>::min();
    Game waited = game;
    waited.spawnCounter = -1;
    game.advance(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(dumpGame(game), dumpGame(waited));
    Game ticked = game;
    for (int i = 0; i < 11; ++i) ticked.tick();
    game.advance(11);
    EXPECT_EQ(dumpGame(game), dumpGame(ticked));
    EXPECT_EQ(game.spawnCounter, 0); // a tile came at the eleventh tick
}

} // namespace
} // namespace plonta::test
