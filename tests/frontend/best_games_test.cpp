// The best games: scores as plonta-sim replays them, the ranking and its ties, the eleventh
// game, another program's games kept alongside, and the files that are left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "frontend/best_games.h"
#include "frontend/recording.h"
#include "script/fields.h"
#include "script/script_runner.h"
#include "tests/frontend/memory_folder.h"

namespace plonta::test {
namespace {

// A game of seed s that catches what lane 2 brings for a while: scores differ by seed.
std::string game(int seed, int ticks = 300) {
    return "# recorded by plonta 1.0.0\nseed " + std::to_string(seed) + "\nspace\ntick " +
           std::to_string(ticks) + "\n";
}

std::int32_t simScore(const std::string& text) {
    ScriptRunner runner;
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runner.runScript(in, out, err), 0);
    return runner.game().player.score;
}

class RecordingScores : public testing::TestWithParam<std::string> {};

TEST_P(RecordingScores, AreWhatPlontaSimPlays) {
    std::int32_t score = -1;
    std::uint8_t level = 0;
    std::string error;
    ASSERT_TRUE(scoreRecording(GetParam(), score, level, error)) << error;
    EXPECT_EQ(score, simScore(GetParam()));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Scripts, RecordingScores, testing::Values(
    game(7), game(8, 2000),
    "seed 3\nspace\ntick 40\nleft\nspace\ntick 30\nright\nright\nspace\ntick 500\n",
    // The last game counts, as plonta-sim's dump shows it.
    game(5) + game(9, 100),
    // Without a seed line, seed 1.
    "space\ntick 400\n",
    "seed 4\r\nspace\r\ntick 20\r\npause\r\ntick 99\r\npause\r\ntick 300\r\n"));
// clang-format on

struct LeftOut {
    const char* why;
    std::string text;
};

class FilesLeftOut : public testing::TestWithParam<LeftOut> {};

TEST_P(FilesLeftOut, AreToldOnceAndKept) {
    MemoryFolder folder;
    folder.games["good.sim"] = {game(7), 5};
    folder.games["bad.sim"] = {GetParam().text, 6};
    BestGames best;
    std::vector<std::string> troubles;
    std::string error;
    ASSERT_TRUE(best.load(folder, troubles, error));
    ASSERT_EQ(best.table().size(), 1u);
    EXPECT_EQ(best.table()[0].name, "good.sim");
    ASSERT_EQ(troubles.size(), 1u);
    EXPECT_NE(troubles[0].find("best/bad.sim: "), std::string::npos) << troubles[0];
    troubles.clear();
    ASSERT_TRUE(best.load(folder, troubles, error));
    EXPECT_TRUE(troubles.empty());
    // A game that pushes others out never takes a file that does not replay with them.
    for (int seed = 10; seed < 25; ++seed)
        best.enter(folder, std::to_string(seed) + ".sim", game(seed, 3000), 1'000'000, troubles,
                   error);
    EXPECT_TRUE(folder.games.contains("bad.sim"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, FilesLeftOut, testing::Values(
    LeftOut{"not one", "Dear diary,\nI played well.\n"},
    LeftOut{"empty", ""},
    LeftOut{"cut short mid-line", "seed 4\nspace\ntick 20\nsp"},
    LeftOut{"a line a recording may not hold", "seed 4\nspace\nset score 99999\n"},
    LeftOut{"too large", "seed 4\n" + std::string(maxRecordingBytes, '#')}));
// clang-format on

TEST(BestGames, KeepTheTenHighestTheEarlierFirstOnEqualScores) {
    MemoryFolder folder;
    BestGames best;
    std::vector<std::string> troubles;
    std::string error;
    ASSERT_TRUE(best.load(folder, troubles, error));
    std::vector<std::pair<std::int32_t, std::string>> played;
    // Each seed twice: every score is tied by a later game.
    for (int round = 0; round < 2; ++round)
        for (int seed = 1; seed <= 12; ++seed) {
            const std::string text = game(seed, 600 + 50 * seed);
            const std::string name = std::to_string(round) + "-" + std::to_string(seed) + ".sim";
            const std::int32_t score = simScore(text);
            const int place = best.enter(folder, name, text, score, troubles, error);
            EXPECT_TRUE(error.empty()) << error;
            played.emplace_back(score, name);
            const auto table = best.table();
            if (place != 0) {
                ASSERT_LE(static_cast<std::size_t>(place), table.size());
                EXPECT_EQ(table[static_cast<std::size_t>(place) - 1].name, name);
            }
            EXPECT_LE(folder.games.size(), bestGamesKept);
            EXPECT_EQ(folder.games.size(), table.size());
        }
    // The ten highest of all, a tie going to the game played first.
    std::stable_sort(played.begin(), played.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    const auto table = best.table();
    ASSERT_EQ(table.size(), bestGamesKept);
    for (std::size_t i = 0; i < bestGamesKept; ++i) {
        EXPECT_EQ(table[i].score, played[i].first);
        EXPECT_EQ(table[i].name, played[i].second);
    }
    EXPECT_TRUE(troubles.empty());
}

TEST(BestGames, AnotherProgramsGamesStayAndAGameNotAboveTheTenthIsNotWritten) {
    MemoryFolder folder;
    BestGames mine;
    BestGames theirs;
    std::vector<std::string> troubles;
    std::string error;
    ASSERT_TRUE(mine.load(folder, troubles, error));
    ASSERT_TRUE(theirs.load(folder, troubles, error));
    for (int seed = 1; seed <= 5; ++seed) {
        const std::string text = game(seed, 3000);
        theirs.enter(folder, "theirs" + std::to_string(seed), text, simScore(text), troubles,
                     error);
        mine.enter(folder, "mine" + std::to_string(seed), text, simScore(text), troubles, error);
    }
    EXPECT_EQ(folder.games.size(), 10u);
    EXPECT_EQ(mine.table().size(), 10u);
    // No more than the tenth: a later game with an equal score ranks below it.
    const std::string low = game(5);
    ASSERT_GT(simScore(low), 0);
    ASSERT_LE(simScore(low), mine.table().back().score);
    EXPECT_EQ(mine.enter(folder, "low", low, simScore(low), troubles, error), 0);
    EXPECT_FALSE(folder.games.contains("low"));
}

} // namespace
} // namespace plonta::test
