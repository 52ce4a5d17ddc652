// The script language: every kind of bad line, what good lines do, and random junk.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "script/fields.h"
#include "script/script_runner.h"
#include "tests/game/board.h"
#include "tests/script/script_outcome.h"

namespace plonta::test {
namespace {

struct BadLine {
    const char* line;
    const char* message;
};

class BadInput : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadInput, StopsWithStatusTwoAfterTheEarlierOutput) {
    const Outcome run =
        runScript(std::string("dump\n\n# a comment\n") + GetParam().line + "\ndump\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string("plonta-sim: line 4: ") + GetParam().message + "\n");
    EXPECT_EQ(lineCount(run.out), 1); // the first dump is kept, the last never runs
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, BadInput, ::testing::Values(
    BadLine{"jump", "unknown command 'jump'"},
    BadLine{"Tick", "unknown command 'Tick'"},
    BadLine{"seed", "seed: missing argument (expects 1)"},
    BadLine{"seed 1 2", "seed: too many arguments (expects 1)"},
    BadLine{"seed -1", "seed: '-1' is outside 0 to 4294967295"},
    BadLine{"seed 4294967296", "seed: '4294967296' is outside 0 to 4294967295"},
    BadLine{"tick 3 4", "tick: too many arguments (expects 1)"},
    BadLine{"tick three", "tick: 'three' is not a number"},
    BadLine{"tick 3x", "tick: '3x' is not a number"},
    BadLine{"tick +3", "tick: '+3' is not a number"},
    BadLine{"tick -1", "tick: '-1' is outside 0 to 2147483647"},
    BadLine{"tick 99999999999999999999", "tick: '99999999999999999999' is outside 0 to 2147483647"},
    BadLine{"space now", "space: too many arguments (expects 0)"},
    BadLine{"down 1", "down: too many arguments (expects 0)"},
    BadLine{"left 2", "left: too many arguments (expects 0)"},
    BadLine{"right x", "right: too many arguments (expects 0)"},
    BadLine{"pause on", "pause: too many arguments (expects 0)"},
    BadLine{"dump all", "dump: too many arguments (expects 0)"},
    BadLine{"set", "set: missing field name"},
    BadLine{"set colour 1", "set: unknown field 'colour'"},
    BadLine{"set lives", "set lives: missing argument (expects 1)"},
    BadLine{"set lives 1 2", "set lives: too many arguments (expects 1)"},
    BadLine{"set lives 300", "set lives: '300' is outside 0 to 255"},
    BadLine{"set lives -1", "set lives: '-1' is outside 0 to 255"},
    BadLine{"set state 6", "set state: '6' is outside 0 to 5"},
    BadLine{"set level 0", "set level: '0' is outside 1 to 8"},
    BadLine{"set level 9", "set level: '9' is outside 1 to 8"},
    BadLine{"set dropsLeft 256", "set dropsLeft: '256' is outside 0 to 255"},
    BadLine{"set score 1.5", "set score: '1.5' is not a number"},
    BadLine{"set score 2147483648", "set score: '2147483648' is outside -2147483648 to 2147483647"},
    BadLine{"set paddleLane 5", "set paddleLane: '5' is outside 0 to 4"},
    BadLine{"set goal 8 1", "set goal level: '8' is outside 1 to 7"},
    BadLine{"set goal 0 1", "set goal level: '0' is outside 1 to 7"},
    BadLine{"set goal 1", "set goal: missing argument (expects 2)"},
    BadLine{"set bin 5 0 1", "set bin column: '5' is outside 0 to 4"},
    BadLine{"set bin 0 5 1", "set bin row: '5' is outside 0 to 4"},
    BadLine{"set bin 0 0 8", "set bin tile: '8' is outside 0 to 7"},
    BadLine{"set bin 0 0", "set bin: missing argument (expects 3)"},
    BadLine{"set bin 0 0 1 1", "set bin: too many arguments (expects 3)"},
    BadLine{"set conveyor 5 0 1", "set conveyor lane: '5' is outside 0 to 4"},
    BadLine{"set conveyor 0 12 1", "set conveyor cell: '12' is outside 0 to 11"},
    BadLine{"set carried 0 2 0", "set carried: a tile after an empty slot"},
    BadLine{"set carried 1 0 3", "set carried: a tile after an empty slot"},
    BadLine{"set carried 1 2", "set carried: missing argument (expects 3)"},
    BadLine{"set spawnCounter x", "set spawnCounter: 'x' is not a number"},
    BadLine{"set random 4294967296", "set random: '4294967296' is outside 0 to 4294967295"},
    BadLine{"shot", "shot: missing argument (expects 1)"},
    BadLine{"shot a.png 2 3", "shot: too many arguments (expects 2)"},
    BadLine{"shot a.png b.png", "shot scale: 'b.png' is not a number from 1 to 4 (such as 2 or 1.6)"},
    BadLine{"shot a.png 0.999", "shot scale: '0.999' is not a number from 1 to 4 (such as 2 or 1.6)"},
    BadLine{"shot a.png 4.001", "shot scale: '4.001' is not a number from 1 to 4 (such as 2 or 1.6)"},
    BadLine{"shot a.png 1.6667", "shot scale: '1.6667' is not a number from 1 to 4 (such as 2 or 1.6)"},
    BadLine{"shot a.png 1.6x", "shot scale: '1.6x' is not a number from 1 to 4 (such as 2 or 1.6)"},
    BadLine{"sound a.wav b.wav", "sound: too many arguments (expects 1)"}));
// clang-format on

// A recorded game is written with commandWord and read back with commandForWord.
TEST(CommandWords, EveryCommandReadsBackAsItself) {
    for (const Command command :
         {Command::Action, Command::PaddleLeft, Command::PaddleRight, Command::TogglePause})
        EXPECT_EQ(commandForWord(commandWord(command)), command) << commandWord(command);
    EXPECT_EQ(commandForWord("down"), Command::Action);
    EXPECT_EQ(commandForWord("Space"), std::nullopt);
    EXPECT_EQ(commandForWord("tick"), std::nullopt);
}

TEST(Driver, BadLineChangesNothing) {
    ScriptRunner runner;
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(runner.runLine("set score 40", out, error));
    const std::string before = dumpGame(runner.game());
    for (const char* line : {"set bin 0 0 9", "set carried 0 2 0", "set goal 3 x", "tick -4"}) {
        EXPECT_FALSE(runner.runLine(line, out, error)) << line;
        EXPECT_EQ(dumpGame(runner.game()), before) << line;
    }
}

// Scripts and recordings from elsewhere run on this runner: it must never write a file.
TEST(Driver, RunnerWithoutDrawingRefusesShotsAndWritesNothing) {
    const std::string path = testing::TempDir() + "plonta_script_shot.png";
    std::remove(path.c_str());
    ScriptRunner runner;
    std::ostringstream out;
    std::string error;
    const std::string before = dumpGame(runner.game());
    EXPECT_FALSE(runner.runLine("shot " + path, out, error));
    EXPECT_NE(error.find("shot"), std::string::npos) << error;
    EXPECT_EQ(dumpGame(runner.game()), before);
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

TEST(Driver, BlankCommentAndWindowsLinesAreFine) {
    const Outcome run = runScript("\n   \n# note\n  # indented note\r\nseed 5\r\ndump\r\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(lineCount(run.out), 1);
}

// A byte-order mark and old Mac line ends as editors save them; line numbers as in the plain
// file.
TEST(Driver, EditorsLineEndsReadAsPlainLines) {
    const Outcome plain = runScript("# note\nseed 5\nspace\ntick 30\ndump\njump\n");
    ASSERT_EQ(plain.err, "plonta-sim: line 6: unknown command 'jump'\n");
    for (const char* text : {"\xEF\xBB\xBF# note\nseed 5\nspace\ntick 30\ndump\njump\n",
                             "# note\rseed 5\rspace\rtick 30\rdump\rjump\r",
                             "# note\r\nseed 5\rspace\ntick 30\r\ndump\rjump"}) {
        const Outcome run = runScript(text);
        EXPECT_TRUE(run.out == plain.out && run.err == plain.err) << text << run.err;
    }
}

TEST(Robustness, InputBeyondSixteenMebibytesIsRefused) {
    const Outcome run = runScript("dump\n" + std::string(std::size_t{16} << 20, '#'));
    EXPECT_EQ(run.err, "plonta-sim: line 2: the script goes on past 16 MiB\n");
}

TEST(Driver, ScriptWithoutSeedStartsAsSeedOne) {
    EXPECT_EQ(runScript("space\ntick 25\ndump\n").out,
              runScript("seed 1\nspace\ntick 25\ndump\n").out);
    EXPECT_NE(runScript("seed 2\nspace\ntick 25\ndump\n").out,
              runScript("seed 1\nspace\ntick 25\ndump\n").out);
}

TEST(Driver, SeedStartsAFreshGame) {
    EXPECT_EQ(runScript("seed 9\nspace\ntick 40\nset score 5\nseed 9\ndump\n").out,
              runScript("seed 9\ndump\n").out);
}

TEST(Driver, DumpMatchesTheRecord) {
    ScriptRunner runner;
    std::ostringstream out;
    std::string error;
    for (const char* line : {"space", "set bin 1 4 3", "set carried 2 5 0", "set goal 6 -7",
                             "set pointsBaseline 12", "tick 13", "dump"})
        ASSERT_TRUE(runner.runLine(line, out, error)) << error;
    Game game = runningGame();
    game.bin.at(1, 4) = 3;
    setCarried(game, {2, 5});
    game.player.goals[6] = -7;
    game.pointsBaseline = 12;
    for (int i = 0; i < 13; ++i) game.tick();
    EXPECT_EQ(out.str(), dumpGame(game) + "\n");
    EXPECT_EQ(dumpGame(runner.game()), dumpGame(game));
}

// Random junk must only ever be accepted or refused, never crash or hang the runner.
TEST(Robustness, RandomLinesNeverCrash) {
    // clang-format off
    static const char* const words[] = {
        "seed", "space", "down", "left", "right", "pause", "dump", "set", "state", "lives",
        "level", "dropsLeft", "score", "paddleLane", "goal", "bin", "conveyor", "carried",
        "spawnCounter", "pointsBaseline", "random", "#", "0", "1", "2", "3", "4", "5", "7", "8",
        "12", "-1", "255", "256", "2147483647", "-2147483648", "4294967295",
        "99999999999999999999", "1e3", "0x10", "+1", "", "\t", "\xff", "\x00"};
    // clang-format on
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pickWord(0, std::size(words) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int refused = 0;
    for (int script = 0; script < 300; ++script) {
        ScriptRunner runner;
        std::ostringstream out;
        std::string error;
        for (int i = 0; i < 60; ++i) {
            std::string line;
            const int kind = std::uniform_int_distribution<int>(0, 10)(rng);
            if (kind == 10) {
                // The longest wait costs no more than a short one.
                static const char* const ticks[] = {"tick",           "tick 50",
                                                    "tick x",         "tick -1",
                                                    "tick 1 2",       "tick 99999999999999999999",
                                                    "tick 2147483647"};
                line = ticks[std::uniform_int_distribution<std::size_t>(0, 6)(rng)];
            } else if (kind < 6) {
                const int count = std::uniform_int_distribution<int>(1, 5)(rng);
                for (int w = 0; w < count; ++w) (line += words[pickWord(rng)]) += ' ';
            } else if (kind < 9) {
                const int length = std::uniform_int_distribution<int>(0, 80)(rng);
                for (int b = 0; b < length; ++b) line += static_cast<char>(byte(rng));
            } else {
                line = "tick " + std::string(100000, '7');
            }
            if (!runner.runLine(line, out, error)) {
                ++refused;
                ASSERT_FALSE(error.empty());
                ASSERT_LT(error.size(), 200u) << "a message quotes at most a short piece";
            }
        }
        const Game& game = runner.game();
        ASSERT_LE(static_cast<int>(game.state), 5);
        ASSERT_LE(game.player.paddleLane, 4);
        ASSERT_LE(game.player.carriedCount, 3);
    }
    EXPECT_GT(refused, 1000);
}

TEST(Robustness, HugeLineIsRefusedBriefly) {
    const Outcome run = runScript(std::string(1 << 20, 'x') + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_LT(run.err.size(), 200u);
}

} // namespace
} // namespace plonta::test
