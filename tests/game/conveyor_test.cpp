// The random source, the spawn rhythm, the conveyor's catch and miss, the stack and the paddle.
#include <gtest/gtest.h>

#include "tests/game/board.h"

namespace plonta::test {
namespace {

TEST(Random, KnownSequenceFromStateOne) {
    RandomSource random;
    random.seedRandom(1);
    std::vector<int> draws;
    for (int i = 0; i < 5; ++i) draws.push_back(random.nextRandom());
    EXPECT_EQ(draws, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(Random, StaysInFifteenBitsAcrossTheWrap) {
    RandomSource random;
    random.seedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        const int value = random.nextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

// Where the single travelling tile is, as lane * 100 + cell; -1 for none.
int travellingTile(const Game& game) {
    int found = -1;
    for (int lane = 0; lane < laneCount; ++lane)
        for (int cell = 0; cell < laneCells - 1; ++cell)
            if (game.conveyor.at(lane, cell) != 0) found = lane * 100 + cell;
    return found;
}

// The rhythm itself, first tile on the tenth running tick, is the spawn_rhythm scenario.
TEST(Spawn, EachSpawnDrawsColourThenLane) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Game game = runningGame(seed);
        RandomSource draws;
        draws.seedRandom(seed);
        const int colour = draws.nextRandom() % 5 + 1;
        const int lane = draws.nextRandom() % 4;
        for (int i = 0; i < 10; ++i) game.tick();
        ASSERT_EQ(travellingTile(game), lane * 100 + 1) << "seed " << seed;
        ASSERT_EQ(game.conveyor.at(lane, 1), colour) << "seed " << seed;
        ASSERT_EQ(game.random.state, draws.state);
    }
}

TEST(Spawn, PausingFreezesTheTileWhereItStands) {
    Game game = runningGame(1);
    for (int i = 0; i < 14; ++i) game.tick();
    ASSERT_EQ(travellingTile(game), 305);
    game.togglePause();
    for (int i = 0; i < 30; ++i) game.tick();
    EXPECT_EQ(travellingTile(game), 305);
    EXPECT_EQ(game.spawnCounter, 4);
    game.togglePause();
    game.tick();
    EXPECT_EQ(travellingTile(game), 306);
}

TEST(Spawn, GoesOnAfterACountThatPassedTenWhileTheAllowanceWasSpent) {
    Game game = runningGame(1);
    game.spawnCounter = 9;
    game.player.dropsLeft = 0;
    game.tick(); // counts to 10, but no tile may spawn
    ASSERT_EQ(game.state, GameState::LifeLost);
    ASSERT_EQ(game.spawnCounter, 10);
    game.action();
    int spawned = 0;
    for (int i = 0; i < 40; ++i) {
        game.tick();
        spawned += game.spawnCounter == 0;
    }
    EXPECT_GE(spawned, 4);
}

class Arrival : public ::testing::Test {
  protected:
    void SetUp() override {
        game = runningGame();
        game.spawnCounter = -100; // keep the spawner out of the way
    }
    // Puts tiles one cell before the paddle end, so the next tick brings them in.
    void arriving(int lane, Tile tile) { game.conveyor.at(lane, laneCells - 2) = tile; }
    Game game;
};

TEST_F(Arrival, CaughtUnderThePaddle) {
    arriving(2, 4);
    game.tick();
    EXPECT_EQ(game.player.carriedCount, 1);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{4, 0, 0}));
    EXPECT_EQ(game.player.score, 5);
    EXPECT_EQ(game.player.dropsLeft, 10);
    EXPECT_EQ(game.conveyor.at(2, 11), 4); // kept until the next advance overwrites it
    game.tick();
    EXPECT_EQ(game.conveyor.at(2, 11), 0);
    EXPECT_EQ(game.player.carriedCount, 1);
}

TEST_F(Arrival, MissedElsewhere) {
    arriving(1, 4);
    game.tick();
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.score, 0);
    EXPECT_EQ(game.player.dropsLeft, 9);
    EXPECT_EQ(game.player.lives, 5);
}

TEST_F(Arrival, HighestArrivedLaneWinsWhenThePaddleIsUnderIt) {
    arriving(1, 4);
    arriving(3, 5);
    game.player.paddleLane = 3;
    game.tick();
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{5, 0, 0}));
    EXPECT_EQ(game.player.dropsLeft, 10); // the other arrival goes unnoticed
}

TEST_F(Arrival, HighestArrivedLaneWinsWhenThePaddleIsUnderALowerOne) {
    arriving(1, 4);
    arriving(3, 5);
    game.player.paddleLane = 1;
    game.tick();
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.dropsLeft, 9);
}

TEST_F(Arrival, ThirdTileFillsTheLastSlot) {
    setCarried(game, {1, 2});
    arriving(2, 3);
    game.tick();
    EXPECT_EQ(game.player.carriedCount, 3);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{1, 2, 3}));
}

TEST_F(Arrival, FullStackLosesTheTileButScoresAndCounts) {
    game.player.level = 4;
    setCarried(game, {1, 2, 3});
    arriving(2, 4);
    game.tick();
    EXPECT_EQ(game.player.carriedCount, 3);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{1, 2, 3}));
    EXPECT_EQ(game.player.score, 5);
    EXPECT_EQ(game.player.goals[4], 39);
    EXPECT_EQ(game.player.dropsLeft, 10);
}

TEST_F(Arrival, MissOfTheLastAllowedTileTakesALifeAtOnce) {
    game.player.dropsLeft = 1;
    arriving(0, 4);
    game.tick();
    EXPECT_EQ(game.player.dropsLeft, 0);
    EXPECT_EQ(game.player.lives, 4);
    EXPECT_EQ(game.state, GameState::Running);
    // Between the ticks the player may still drop.
    setCarried(game, {2});
    game.action();
    EXPECT_EQ(game.bin.at(2, 4), 2);
    game.tick();
    EXPECT_EQ(game.state, GameState::LifeLost);
    EXPECT_EQ(game.player.lives, 4);
}

TEST_F(Arrival, MissWithTwoLeftOnlyLowersTheAllowance) {
    game.player.dropsLeft = 2;
    arriving(0, 4);
    game.tick();
    EXPECT_EQ(game.player.dropsLeft, 1);
    EXPECT_EQ(game.player.lives, 5);
}

TEST(Paddle, LaneFourCatchesNothingButDropsIntoColumnFour) {
    Game game = runningGame(7);
    for (int i = 0; i < 4; ++i) game.movePaddle(Direction::Right);
    ASSERT_EQ(game.player.paddleLane, 4);
    for (int i = 0; i < 95; ++i) {
        game.tick();
        ASSERT_EQ(game.player.carriedCount, 0);
    }
    setCarried(game, {3});
    game.action();
    EXPECT_EQ(game.bin.at(4, 4), 3);
}

TEST(Paddle, StopsAtBothEdges) {
    Game game = newGame();
    for (int i = 0; i < 6; ++i) game.movePaddle(Direction::Left);
    EXPECT_EQ(game.player.paddleLane, 0);
    for (int i = 0; i < 6; ++i) game.movePaddle(Direction::Right);
    EXPECT_EQ(game.player.paddleLane, 4);
    game.movePaddle(Direction::Left);
    EXPECT_EQ(game.player.paddleLane, 3);
}

class PaddleInState : public ::testing::TestWithParam<GameState> {};

TEST_P(PaddleInState, MovesInEveryState) {
    Game game = newGame();
    game.state = GetParam();
    game.movePaddle(Direction::Right);
    EXPECT_EQ(game.player.paddleLane, 3);
    game.movePaddle(Direction::Left);
    game.movePaddle(Direction::Left);
    EXPECT_EQ(game.player.paddleLane, 1);
    EXPECT_EQ(game.state, GetParam());
}

INSTANTIATE_TEST_SUITE_P(States, PaddleInState,
                         ::testing::Values(GameState::Ready, GameState::Running,
                                           GameState::LifeLost, GameState::GameOver,
                                           GameState::Paused));

struct StackCase {
    bool newestFirst;
    Tile dropped;
    std::array<Tile, 3> left;
};

class StackOrder : public ::testing::TestWithParam<StackCase> {};

TEST_P(StackOrder, CatchOneThenTwoAndDropOnce) {
    Game game;
    Rules rules = standardRules;
    rules.dropNewestFirst = GetParam().newestFirst;
    game.setUp(rules, 1);
    game.action();
    game.spawnCounter = -100;
    for (const Tile tile : {Tile{1}, Tile{2}}) {
        game.conveyor.at(2, laneCells - 2) = tile;
        game.tick();
    }
    ASSERT_EQ(game.player.carried, (std::array<Tile, 3>{1, 2, 0}));
    game.action();
    EXPECT_EQ(game.bin.at(2, 4), GetParam().dropped);
    EXPECT_EQ(game.player.carriedCount, 1);
    EXPECT_EQ(game.player.carried, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Orders, StackOrder,
                         ::testing::Values(StackCase{true, 2, {1, 0, 0}},
                                           StackCase{false, 1, {2, 0, 0}}));

TEST(Stack, OldestFirstShiftsAFullStack) {
    Player player;
    std::int32_t baseline = 0;
    player.catchTile(1, baseline);
    player.catchTile(2, baseline);
    player.catchTile(3, baseline);
    EXPECT_EQ(player.takeCarried(false), 1);
    EXPECT_EQ(player.carried, (std::array<Tile, 3>{2, 3, 0}));
    EXPECT_EQ(player.takeCarried(true), 3);
    EXPECT_EQ(player.carried, (std::array<Tile, 3>{2, 0, 0}));
    EXPECT_EQ(player.carriedCount, 1);
}

} // namespace
} // namespace plonta::test
