// Goal counting per level, the level-5 points accounting, the goal test and level completion.
#include <gtest/gtest.h>

#include "tests/game/board.h"

namespace plonta::test {
namespace {

// Every GoalEvent at every level but the points level: only the current level's counter moves,
// by one for the events the level table counts there (levelCounts, with its odd rules: level 1
// counts horizontal threes, a vertical four counts as a diagonal three; level 8 counts nothing).
TEST(Goals, EachLevelCountsOnlyItsOwnEvents) {
    for (const int level : {1, 2, 3, 4, 6, 7, 8}) {
        for (int code = 0; code < goalEventCount; ++code) {
            Game game = runningGame();
            game.player.level = static_cast<std::uint8_t>(level);
            game.player.score = 500;
            auto expected = game.player.goals;
            if (levelCounts(level, code)) --expected[static_cast<std::size_t>(level)];
            game.player.countGoalEvent(static_cast<GoalEvent>(code), game.pointsBaseline);
            EXPECT_EQ(game.player.goals, expected) << "level " << level << ", event " << code;
            EXPECT_EQ(game.pointsBaseline, 0) << "level " << level << ", event " << code;
        }
    }
}

TEST(Goals, EveryLineCountsOneWhateverItsDepth) {
    // A two-line chain at level 2: 100 and 200 points, yet two lines.
    Game game = runningGame();
    game.player.level = 2;
    setBin(game, {".....", ".....", ".....", "..22.", ".211."});
    setCarried(game, {1});
    game.player.paddleLane = 4;
    game.action();
    EXPECT_EQ(game.player.goals[2], 3);
}

class PointsLevel : public ::testing::Test {
  protected:
    void SetUp() override {
        game = runningGame();
        game.player.level = 5;
        game.player.score = 2345; // the points of earlier levels
        game.spawnCounter = -100;
    }
    void catchOne() {
        game.conveyor.at(game.player.paddleLane, laneCells - 2) = 1;
        game.tick();
        game.player.emptyPaddle();
    }
    Game game;
};

TEST_F(PointsLevel, FirstEventOnlyFixesTheBaseline) {
    catchOne();
    EXPECT_EQ(game.player.goals[5], 1000);
    EXPECT_EQ(game.pointsBaseline, 2350);
    catchOne();
    EXPECT_EQ(game.player.goals[5], 995);
    EXPECT_EQ(game.pointsBaseline, 2355);
}

TEST_F(PointsLevel, AChainTakesExactlyItsPoints) {
    catchOne();
    setBin(game, {".....", ".....", ".....", "..22.", ".211."});
    setCarried(game, {1});
    game.player.paddleLane = 4;
    game.action();
    EXPECT_EQ(game.player.goals[5], 700);
    EXPECT_EQ(game.pointsBaseline, game.player.score);
}

TEST_F(PointsLevel, PointsWithoutAnEventWaitForTheNextOne) {
    catchOne();
    game.player.score += 1250; // e.g. a bonus: no event of its own
    EXPECT_EQ(game.player.goals[5], 1000);
    catchOne();
    EXPECT_EQ(game.player.goals[5], 1000 - 1255);
}

TEST_F(PointsLevel, CounterBelowZeroCompletesAtTheNextGoalTest) {
    catchOne();
    game.player.goals[5] = 40;
    setBin(game, {".....", ".....", ".....", ".....", "11..."});
    setCarried(game, {1});
    game.player.paddleLane = 2;
    game.action();
    EXPECT_EQ(game.player.goals[5], -60);
    EXPECT_EQ(game.player.level, 5);
    game.tick();
    EXPECT_EQ(game.player.level, 6);
    EXPECT_EQ(game.player.goals[6], 5);
}

TEST(Goals, CatchReachingTheGoalCompletesTheLevelInTheSameTick) {
    Game game = runningGame();
    game.player.level = 4;
    game.player.goals[4] = 1;
    game.spawnCounter = -100;
    game.conveyor.at(2, laneCells - 2) = 3;
    game.tick();
    EXPECT_EQ(game.player.level, 5);
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.goals[4], 0);
    EXPECT_EQ(game.player.carriedCount, 0); // the caught tile went with the paddle's stack
}

TEST(Goals, ReachedGoalWaitsWhilePaused) {
    Game game = runningGame();
    game.player.goals[1] = 0;
    game.togglePause();
    for (int i = 0; i < 5; ++i) game.tick();
    EXPECT_EQ(game.player.level, 1);
    game.togglePause();
    game.tick();
    EXPECT_EQ(game.player.level, 2);
}

TEST(CompleteLevel, FullBinEarnsNothingAndIsCleared) {
    Game game = runningGame();
    setBin(game, {"13524", "35241", "52413", "24135", "41352"});
    game.player.goals[1] = 0;
    game.tick();
    EXPECT_EQ(game.player.score, 0);
    EXPECT_EQ(binText(game), pictureText(emptyPicture));
}

TEST(CompleteLevel, KeepsTheStandingAndReportsNothing) {
    Game game = runningGame();
    game.player.level = 4;
    game.player.goals[4] = 0;
    game.player.lives = 3;
    game.player.dropsLeft = 6;
    game.player.paddleLane = 0;
    game.player.score = 400;
    game.spawnCounter = 3;
    game.pointsBaseline = 77;
    game.conveyor.at(1, 4) = 2;
    setCarried(game, {1, 1});
    setBin(game, {".....", ".....", ".....", ".....", "12..."});
    game.tick();
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.level, 5);
    EXPECT_EQ(game.player.lives, 3);
    EXPECT_EQ(game.player.dropsLeft, 6);
    EXPECT_EQ(game.player.paddleLane, 0);
    EXPECT_EQ(game.player.score, 400 + 23 * 50);
    EXPECT_EQ(game.spawnCounter, 4);
    EXPECT_EQ(game.pointsBaseline, 77); // the bonus is no GoalEvent
    auto untouched = newGame().player.goals;
    untouched[4] = 0;
    EXPECT_EQ(game.player.goals, untouched);
    EXPECT_EQ(tilesTravelling(game), 0);
    EXPECT_EQ(game.player.carriedCount, 0);
    EXPECT_EQ(game.player.carried, (std::array<Tile, 3>{0, 0, 0}));
}

TEST(CompleteLevel, SevenLevelsInOrderThenGameOver) {
    Game game = runningGame();
    for (int level = 1; level <= 7; ++level) {
        ASSERT_EQ(game.player.level, level);
        ASSERT_EQ(game.state, GameState::Running);
        game.player.goals[static_cast<std::size_t>(level)] = 0;
        game.tick();
    }
    EXPECT_EQ(game.player.level, 8);
    EXPECT_EQ(game.state, GameState::GameOver);
}

} // namespace
} // namespace plonta::test
