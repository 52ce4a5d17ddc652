// The record after set-up, the state machine, each command in each state, and the lives.
#include <gtest/gtest.h>

#include "script/fields.h"
#include "tests/game/board.h"

namespace plonta::test {
namespace {

// The start goals, like every start value, are pinned by the scenarios' dumps.
TEST(SetUp, StartsReadyWithAFullPlayer) {
    const Game game = newGame();
    EXPECT_EQ(game.state, GameState::Ready);
    EXPECT_EQ(game.player.lives, standardRules.startLives);
    EXPECT_EQ(game.player.level, 1);
    EXPECT_EQ(game.player.dropsLeft, standardRules.dropsPerLife);
    EXPECT_EQ(game.player.score, 0);
    EXPECT_EQ(game.player.paddleLane, laneCount / 2);
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{0, 0, 0}));
    EXPECT_EQ(binText(game), pictureText(emptyPicture));
    EXPECT_EQ(tilesTravelling(game), 0);
    EXPECT_EQ(game.spawnCounter, 0);
    EXPECT_EQ(game.pointsBaseline, 0);
}

// A game in the middle of play: a tile on its way, tiles in the bin, two carried, points.
Game busyGame(GameState state) {
    Game game = runningGame();
    game.conveyor.at(1, 5) = 3;
    setBin(game, {".....", ".....", ".....", "2....", "1.3.."});
    setCarried(game, {4, 5});
    game.player.score = 730;
    game.spawnCounter = 9;
    game.state = state;
    return game;
}

class StillStates : public ::testing::TestWithParam<GameState> {};

TEST_P(StillStates, TickChangesNothing) {
    Game game = busyGame(GetParam());
    const std::string before = dumpGame(game);
    for (int i = 0; i < 25; ++i) game.tick();
    EXPECT_EQ(dumpGame(game), before);
}

INSTANTIATE_TEST_SUITE_P(States, StillStates,
                         ::testing::Values(GameState::Ready, GameState::LifeLost,
                                           GameState::GameOver, GameState::Paused));

class DeafStates : public ::testing::TestWithParam<GameState> {};

TEST_P(DeafStates, ActionChangesNothing) {
    Game game = busyGame(GetParam());
    const std::string before = dumpGame(game);
    game.action();
    EXPECT_EQ(dumpGame(game), before);
}

INSTANTIATE_TEST_SUITE_P(States, DeafStates,
                         ::testing::Values(GameState::GameOver, GameState::Paused));

TEST(Action, StartsPlayFromReadyAndChangesNothingElse) {
    Game game = busyGame(GameState::Ready);
    Game expected = game;
    expected.state = GameState::Running;
    game.action();
    EXPECT_EQ(dumpGame(game), dumpGame(expected));
}

TEST(Action, WithNothingCarriedRunsNoScan) {
    Game game = runningGame();
    setBin(game, {".....", ".....", "1....", "1....", "1...."}); // a line no scan has seen
    const std::string before = dumpGame(game);
    game.action();
    EXPECT_EQ(dumpGame(game), before);
}

TEST(Action, DropsTheNewestTileUnderThePaddle) {
    Game game = busyGame(GameState::Running);
    game.player.paddleLane = 2;
    game.action();
    EXPECT_EQ(game.bin.at(2, 3), 5);
    EXPECT_EQ(game.player.carriedCount, 1);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{4, 0, 0}));
}

struct PauseCase {
    GameState from;
    GameState to;
};

class PauseToggle : public ::testing::TestWithParam<PauseCase> {};

TEST_P(PauseToggle, PausesEverythingButPaused) {
    Game game = busyGame(GetParam().from);
    Game expected = game;
    expected.state = GetParam().to;
    game.togglePause();
    EXPECT_EQ(dumpGame(game), dumpGame(expected));
}

INSTANTIATE_TEST_SUITE_P(States, PauseToggle,
                         ::testing::Values(PauseCase{GameState::Ready, GameState::Paused},
                                           PauseCase{GameState::Running, GameState::Paused},
                                           PauseCase{GameState::LifeLost, GameState::Paused},
                                           PauseCase{GameState::GameOver, GameState::Paused},
                                           PauseCase{GameState::Paused, GameState::Running}));

TEST(Pause, TwiceFromReadyStartsPlayWithoutTheKey) {
    Game game = newGame();
    game.togglePause();
    game.togglePause();
    EXPECT_EQ(game.state, GameState::Running);
    game.tick();
    EXPECT_EQ(game.spawnCounter, 1);
}

TEST(Pause, TwiceFromALostGameEndsItAgainAtTheNextTick) {
    Game game = busyGame(GameState::Running);
    game.player.lives = 0;
    game.tick();
    ASSERT_EQ(game.state, GameState::GameOver);
    game.togglePause();
    game.togglePause();
    EXPECT_EQ(game.state, GameState::Running);
    game.tick();
    EXPECT_EQ(game.state, GameState::GameOver);
}

TEST(Tick, LastLifeGoneEndsTheGameWithoutMovingTheConveyor) {
    Game game = busyGame(GameState::Running);
    game.player.lives = 0;
    game.player.dropsLeft = 10;
    Game expected = game;
    expected.state = GameState::GameOver;
    expected.spawnCounter = 10; // counted all the same, but no tile spawns
    game.tick();
    EXPECT_EQ(dumpGame(game), dumpGame(expected));
}

TEST(Tick, SpentAllowanceLosesTheLifeWithoutMovingTheConveyor) {
    Game game = busyGame(GameState::Running);
    game.player.dropsLeft = 0;
    game.player.lives = 2;
    Game expected = game;
    expected.state = GameState::LifeLost;
    expected.spawnCounter = 10;
    game.tick();
    EXPECT_EQ(dumpGame(game), dumpGame(expected));
}

TEST(Tick, SpentAllowanceAndNoLivesEndsTheGame) {
    Game game = busyGame(GameState::Running);
    game.player.dropsLeft = 0;
    game.player.lives = 0;
    game.tick();
    EXPECT_EQ(game.state, GameState::GameOver);
}

TEST(Tick, ReachedGoalWinsOverASpentAllowance) {
    Game game = busyGame(GameState::Running);
    game.player.dropsLeft = 0;
    game.player.lives = 2;
    game.player.goals[1] = 0;
    const int emptyCells = 22;
    game.tick();
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.level, 2);
    EXPECT_EQ(game.player.score, 730 + 50 * emptyCells);
    EXPECT_EQ(binText(game), pictureText(emptyPicture));
    EXPECT_EQ(tilesTravelling(game), 0);
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.dropsLeft, 0);
    EXPECT_EQ(game.player.lives, 2);
    game.tick();
    EXPECT_EQ(game.state, GameState::LifeLost);
    EXPECT_EQ(game.player.level, 2);
}

TEST(Tick, ReachedGoalWinsOverAnEndedGame) {
    Game game = busyGame(GameState::Running);
    game.player.lives = 0;
    game.player.goals[1] = -3;
    game.tick();
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.level, 2);
    game.tick();
    EXPECT_EQ(game.state, GameState::GameOver);
    EXPECT_EQ(game.player.level, 2);
}

TEST(Tick, CompletingLevelSevenEndsTheGameAtLevelEight) {
    Game game = busyGame(GameState::Running);
    game.player.level = 7;
    game.player.goals[7] = 0;
    game.tick();
    EXPECT_EQ(game.state, GameState::GameOver);
    EXPECT_EQ(game.player.level, 8);
}

TEST(Tick, LevelEightPlaysOnWithoutAGoal) {
    Game game = runningGame();
    game.player.level = 7;
    game.player.goals[7] = 0;
    game.tick();
    ASSERT_EQ(game.state, GameState::GameOver);
    game.togglePause();
    game.togglePause();
    ASSERT_EQ(game.state, GameState::Running);
    const auto goals = game.player.goals;
    int caught = 0;
    for (int i = 0; i < 400 && game.state == GameState::Running; ++i) {
        // Stand under the tile about to arrive, so every tile is caught.
        for (std::uint8_t lane = 0; lane < spawnLanes; ++lane)
            if (game.conveyor.at(lane, laneCells - 2) != 0) game.player.paddleLane = lane;
        const int before = game.player.carriedCount;
        game.tick();
        caught += game.player.carriedCount > before;
        game.player.emptyPaddle(); // keep catching without filling bin columns
    }
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.level, 8);
    EXPECT_GT(caught, 10);
    EXPECT_EQ(game.player.goals, goals);
    EXPECT_EQ(game.player.dropsLeft, 10);
}

TEST(TryAgain, TakesALifeAndKeepsTheStanding) {
    Game game = busyGame(GameState::LifeLost);
    game.player.lives = 3;
    game.player.dropsLeft = 0;
    game.player.level = 4;
    game.player.goals[4] = 17;
    game.player.paddleLane = 0;
    game.pointsBaseline = 99;
    game.action();
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.lives, 2);
    EXPECT_EQ(game.player.dropsLeft, 10);
    EXPECT_EQ(game.player.score, 730);
    EXPECT_EQ(game.player.level, 4);
    auto kept = newGame().player.goals;
    kept[4] = 17;
    EXPECT_EQ(game.player.goals, kept);
    EXPECT_EQ(game.player.paddleLane, 0);
    EXPECT_EQ(game.spawnCounter, 9);
    EXPECT_EQ(game.pointsBaseline, 99);
    EXPECT_EQ(binText(game), pictureText(emptyPicture));
    EXPECT_EQ(tilesTravelling(game), 0);
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{0, 0, 0}));
}

TEST(Lives, EverySpentAllowanceCostsTwoLives) {
    // The paddle stands under lane 4, where no tile travels: every tile is missed.
    Game game = runningGame();
    game.player.paddleLane = 4;
    std::vector<int> livesAtEachChange;
    int missed = 0;
    int tries = 0;
    for (int i = 0; i < 2000 && game.state != GameState::GameOver; ++i) {
        const std::uint8_t livesBefore = game.player.lives;
        const std::uint8_t dropsBefore = game.player.dropsLeft;
        if (game.state == GameState::LifeLost) {
            game.action();
            ++tries;
        } else {
            game.tick();
            missed += game.player.dropsLeft < dropsBefore;
        }
        if (game.player.lives != livesBefore) livesAtEachChange.push_back(game.player.lives);
    }
    EXPECT_EQ(game.state, GameState::GameOver);
    EXPECT_EQ(livesAtEachChange, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(missed, 30);
    EXPECT_EQ(tries, 2);
}

} // namespace
} // namespace plonta::test
