// The bin: landing, the three scan passes, chains and their depth, settling, full columns.
#include <gtest/gtest.h>

#include "tests/game/board.h"

namespace plonta::test {
namespace {

constexpr int scanOnly = -1;

struct ScanCase {
    const char* name;
    Picture before;
    int dropColumn; // scanOnly: run scanBin(1) on the picture as it stands
    Tile tile;
    Picture after;
    int points;
    std::vector<int> codes; // GoalEvents reported, in any order
    bool mirrors;           // the left-right mirror of the bin loses the mirrored lines
};

std::ostream& operator<<(std::ostream& out, const ScanCase& c) {
    return out << c.name;
}

// Runs the case's drop (as the action command does it) or its bare scan.
void play(Game& game, int dropColumn, Tile tile) {
    if (dropColumn == scanOnly) {
        GameTestAccess::scanBin(game, 1);
        return;
    }
    game.state = GameState::Running;
    setCarried(game, {tile});
    game.player.paddleLane = static_cast<std::uint8_t>(dropColumn);
    game.action();
}

// clang-format off
const ScanCase scanCases[] = {
    {"LandsOnTheFloor",
     {".....", ".....", ".....", ".....", "....."}, 3, 1,
     {".....", ".....", ".....", ".....", "...1."}, 0, {}, true},
    {"LandsOnTopOfTheColumn",
     {".....", ".....", ".....", "2....", "3...."}, 0, 1,
     {".....", ".....", "1....", "2....", "3...."}, 0, {}, true},
    {"VerticalThree",
     {".....", ".....", ".....", "1....", "1...."}, 0, 1,
     {".....", ".....", ".....", ".....", "....."}, 50, {1}, true},
    {"VerticalFourFromRowOne",
     {"2....", "1....", "1....", "1....", "1...."}, scanOnly, 0,
     {"2....", ".....", ".....", ".....", "....."}, 200, {3}, true},
    {"FullColumnIsAVerticalFourNeverFive",
     {"1....", "1....", "1....", "1....", "1...."}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "1...."}, 200, {3}, true},
    {"VerticalLeavesTheTileAboveHanging",
     {".....", "2....", "1....", "1....", "1...."}, scanOnly, 0,
     {".....", "2....", ".....", ".....", "....."}, 50, {1}, true},
    {"TwoVerticalsBothAtDepthOne",
     {".....", ".....", "12...", "12...", "12..."}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....."}, 100, {1, 1}, true},
    {"VerticalThreeDoesNotWrapIntoTheNextColumn",
     {".1...", ".....", "1....", "1....", "1...."}, scanOnly, 0,
     {".1...", ".....", ".....", ".....", "....."}, 50, {1}, true},
    {"HorizontalFive",
     {".....", ".....", ".....", "23.45", "11.11"}, 2, 1,
     {".....", ".....", ".....", ".....", "23.45"}, 1600, {6}, true},
    {"HorizontalFourFromColumnZero",
     {".....", ".....", ".....", ".....", "1111."}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....."}, 400, {4}, true},
    {"HorizontalThreeStopsAtAGap",
     {".....", ".....", ".....", ".....", "111.1"}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....1"}, 100, {2}, true},
    {"HorizontalSettlesEveryColumnOneCell",
     {".....", "2....", ".....", ".....", "..111"}, scanOnly, 0,
     {".....", ".....", "2....", ".....", "....."}, 100, {2}, true},
    {"ChainOfTwoHorizontals",
     {".....", ".....", ".....", "..22.", ".211."}, 4, 1,
     {".....", ".....", ".....", ".....", "....."}, 300, {2, 2}, true},
    {"CompleteLineFoundByTheNestedScanScoresDouble",
     {".....", ".....", "....2", "....2", "111.2"}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....."}, 200, {2, 1}, true},
    {"DiagonalFive",
     {"1....", ".1...", "..1..", "...1.", "....1"}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....."}, 3200, {7}, false},
    {"DownRightFour",
     {"1....", ".1...", "..1..", "...1.", "....2"}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....2"}, 800, {5}, false},
    {"DownRightFourFromRowOne",
     {".....", "1....", ".1...", "..1..", "...1."}, scanOnly, 0,
     {".....", ".....", ".....", ".....", "....."}, 800, {5}, false},
    // A down-left four or five is met at its lowest three first; the upper tiles stay.
    {"DownLeftFourVanishesAsAThree",
     {"....1", "...1.", "..1..", ".1...", "2...."}, scanOnly, 0,
     {".....", "....1", ".....", ".....", "2...."}, 200, {3}, false},
    {"DownLeftFiveVanishesAsAThree",
     {"....1", "...1.", "..1..", ".1...", "1...."}, scanOnly, 0,
     {".....", "....1", "...1.", ".....", "....."}, 200, {3}, false},
    {"TwoDiagonalsChain",
     {"1....", ".1...", "2.1..", "324..", "432.."}, scanOnly, 0,
     {".....", ".....", ".....", "3....", "434.."}, 600, {3, 3}, true},
    {"DiagonalNeverContinuesPastTheBottom",
     {"....1", ".....", "1....", "21...", "341.."}, scanOnly, 0,
     {".....", "....1", ".....", "2....", "34..."}, 200, {3}, true},
    {"DownLeftNeverContinuesPastTheLeftEdge",
     {"1....", ".....", "..1..", ".1...", "1...."}, scanOnly, 0,
     {".....", "1....", ".....", ".....", "....."}, 200, {3}, true},
    {"DiagonalWinsOverHorizontalSharingATile",
     {".....", ".....", "1....", "21...", "32.11"}, 2, 1,
     {".....", ".....", ".....", "2....", "32.11"}, 200, {3}, true},
    // Column 2 tests down-right first; the down-left line loses its top tile to it.
    {"ColumnTwoTriesDownRightFirst",
     {"..1..", ".1.1.", "1...1", ".....", "....."}, scanOnly, 0,
     {".....", ".....", ".1...", "1....", "....."}, 200, {3}, false},
    {"NoLineNoChange",
     {"1....", "2....", "1....", "2....", "12121"}, scanOnly, 0,
     {"1....", "2....", "1....", "2....", "12121"}, 0, {}, true},
};
// clang-format on

class ScanTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, RemovesTheLinesScoresAndReports) {
    const ScanCase& c = GetParam();
    Game game = runningGame();
    setBin(game, c.before);
    const Game start = game;
    play(game, c.dropColumn, c.tile);
    EXPECT_EQ(binText(game), pictureText(c.after));
    EXPECT_EQ(game.player.score - start.player.score, c.points);
    EXPECT_EQ(counterDrops(start, [&](Game& g) { play(g, c.dropColumn, c.tile); }),
              expectedDrops(c.codes));
}

TEST_P(ScanTable, ASecondScanFindsNothing) {
    const ScanCase& c = GetParam();
    Game game = runningGame();
    setBin(game, c.before);
    play(game, c.dropColumn, c.tile);
    const Game settled = game;
    EXPECT_EQ(counterDrops(settled, [](Game& g) { GameTestAccess::scanBin(g, 1); }),
              expectedDrops({}));
    GameTestAccess::scanBin(game, 1);
    EXPECT_EQ(binText(game), binText(settled));
    EXPECT_EQ(game.player.score, settled.player.score);
}

// Only bins for which the diagonal pass's fixed order makes no difference.
class MirrorTable : public ScanTable {};

std::vector<ScanCase> mirrorCases() {
    std::vector<ScanCase> cases;
    for (const ScanCase& c : scanCases)
        if (c.mirrors) cases.push_back(c);
    return cases;
}

TEST_P(MirrorTable, MirroredBinLosesMirroredLines) {
    const ScanCase& c = GetParam();
    Game game = runningGame();
    Game mirror = runningGame();
    setBin(game, c.before);
    const std::string flipped = mirrored(pictureText(c.before));
    Picture picture;
    for (std::size_t row = 0; row < picture.size(); ++row)
        picture[row] = std::string_view(flipped).substr(row * 6, 5);
    setBin(mirror, picture);
    const Game mirrorStart = mirror;
    const int mirrorColumn = c.dropColumn == scanOnly ? scanOnly : binColumns - 1 - c.dropColumn;
    play(game, c.dropColumn, c.tile);
    play(mirror, mirrorColumn, c.tile);
    EXPECT_EQ(binText(mirror), mirrored(binText(game)));
    EXPECT_EQ(mirror.player.score, game.player.score);
    EXPECT_EQ(counterDrops(mirrorStart, [&](Game& g) { play(g, mirrorColumn, c.tile); }),
              expectedDrops(c.codes));
}

const auto caseName = [](const auto& caseInfo) { return std::string(caseInfo.param.name); };
INSTANTIATE_TEST_SUITE_P(Bins, ScanTable, ::testing::ValuesIn(scanCases), caseName);
INSTANTIATE_TEST_SUITE_P(Bins, MirrorTable, ::testing::ValuesIn(mirrorCases()), caseName);

// The asymmetry is deliberate: a diagonal five pays in full only running down to the right.
TEST(Scan, DownRightFiveOutscoresItsMirror) {
    Game right = runningGame();
    Game left = runningGame();
    setBin(right, {"1....", ".1...", "..1..", "...1.", "....1"});
    setBin(left, {"....1", "...1.", "..1..", ".1...", "1...."});
    GameTestAccess::scanBin(right, 1);
    GameTestAccess::scanBin(left, 1);
    EXPECT_GT(right.player.score, left.player.score);
}

TEST(Scan, ALineOneLevelDeeperScoresTwiceAsMuch) {
    // The second line of the chain, alone at depth 1 and at depth 2.
    Game chain = runningGame();
    setBin(chain, {".....", ".....", ".....", "..22.", ".2111"});
    GameTestAccess::scanBin(chain, 1);
    Game first = runningGame();
    setBin(first, {".....", ".....", ".....", ".....", "..111"});
    GameTestAccess::scanBin(first, 1);
    Game second = runningGame();
    setBin(second, {".....", ".....", ".....", ".....", ".222."});
    GameTestAccess::scanBin(second, 1);
    Game secondDeeper = runningGame();
    setBin(secondDeeper, {".....", ".....", ".....", ".....", ".222."});
    GameTestAccess::scanBin(secondDeeper, 2);
    EXPECT_EQ(secondDeeper.player.score, 2 * second.player.score);
    EXPECT_EQ(chain.player.score, first.player.score + secondDeeper.player.score);
    EXPECT_GT(chain.player.score, first.player.score + second.player.score);
}

TEST(Scan, ChainEventsArriveDeepestFirst) {
    // At level 5 the first event only fixes the baseline; reported deepest first, both
    // events of this chain see the final score, so neither lowers the counter.
    Game game = runningGame();
    game.player.level = 5;
    setBin(game, {".....", ".....", ".....", "..22.", ".211."});
    setCarried(game, {1});
    game.player.paddleLane = 4;
    game.action();
    EXPECT_EQ(game.player.score, 300);
    EXPECT_EQ(game.pointsBaseline, 300);
    EXPECT_EQ(game.player.goals[5], 1000);
}

TEST(Scan, VerticalLineStartsNoChain) {
    // One settle would drop B next to the two B tiles in row 2, but a vertical line never
    // settles or rescans: B hangs and no horizontal line forms.
    Game game = runningGame();
    setBin(game, {".....", "2....", ".22..", "1....", "1...."});
    setCarried(game, {1});
    game.player.paddleLane = 0;
    game.action();
    EXPECT_EQ(binText(game), pictureText({".....", "2....", ".22..", ".....", "....."}));
    EXPECT_EQ(game.player.score, 50);
}

TEST(Scan, HangingTileFallsOneCellPerLaterSettle) {
    Game game = runningGame();
    setBin(game, {".....", "2....", "1....", "1....", "....."});
    setCarried(game, {3, 3, 1});
    game.player.paddleLane = 0;
    game.action(); // A lands in (0, 4): vertical three, B hangs in row 1
    EXPECT_EQ(binText(game), pictureText({".....", "2....", ".....", ".....", "....."}));
    for (const int column : {2, 3}) {
        game.player.paddleLane = static_cast<std::uint8_t>(column);
        game.action();
    }
    // A horizontal three elsewhere in row 4: its settle moves B down one cell, no further.
    setCarried(game, {3});
    game.player.paddleLane = 4;
    game.action();
    EXPECT_EQ(binText(game), pictureText({".....", ".....", "2....", ".....", "....."}));
}

TEST(Scan, LandingTileGoesUnderAHangingTile) {
    Game game = runningGame();
    setBin(game, {".....", "2....", ".....", ".....", "....."});
    setCarried(game, {3});
    game.player.paddleLane = 0;
    game.action();
    EXPECT_EQ(binText(game), pictureText({".....", "2....", ".....", ".....", "3...."}));
}

TEST(Settle, OnePassMovesATileOneCell) {
    Game game = runningGame();
    setBin(game, {"1....", ".....", ".....", ".....", "....."});
    GameTestAccess::settleBin(game);
    EXPECT_EQ(binText(game), pictureText({".....", "1....", ".....", ".....", "....."}));
}

TEST(Settle, OneGapClosesInOnePass) {
    Game game = runningGame();
    setBin(game, {"1.3..", "2.4..", "3..5.", ".....", "4...1"});
    GameTestAccess::settleBin(game);
    EXPECT_EQ(binText(game), pictureText({".....", "1.3..", "2.4..", "3..5.", "4...1"}));
}

class FullColumn : public ::testing::Test {
  protected:
    void SetUp() override {
        game = runningGame();
        // Column 0 is full by its top cell alone; column 4 holds a line that no scan has seen.
        setBin(game, {"1....", ".....", "....3", "....3", "....3"});
        setCarried(game, {2, 1});
        game.player.paddleLane = 0;
    }
    Game game;
};

TEST_F(FullColumn, ChargesTheAllowance) {
    game.player.dropsLeft = 5;
    GameTestAccess::dropIntoBin(game, 0, 2);
    EXPECT_EQ(game.player.dropsLeft, 4);
    EXPECT_EQ(game.player.lives, 5);
    // No scan runs for a lost tile, so even the waiting line stays.
    EXPECT_EQ(binText(game), pictureText({"1....", ".....", "....3", "....3", "....3"}));
}

TEST_F(FullColumn, LastTileOfTheAllowanceTakesALifeAtOnce) {
    game.player.dropsLeft = 1;
    game.action();
    EXPECT_EQ(game.player.dropsLeft, 0);
    EXPECT_EQ(game.player.lives, 4);
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(game.player.carriedCount, 1);
    EXPECT_EQ(game.player.carried[0], 2);
}

TEST_F(FullColumn, SpentAllowanceIsNotChargedAgain) {
    game.player.dropsLeft = 1;
    game.action();
    game.action();
    EXPECT_EQ(game.player.dropsLeft, 0);
    EXPECT_EQ(game.player.lives, 4);
    EXPECT_EQ(game.player.carriedCount, 0);
    game.tick();
    EXPECT_EQ(game.state, GameState::LifeLost);
}

TEST_F(FullColumn, TheActionsOwnScanStillRuns) {
    game.action();
    EXPECT_EQ(game.player.dropsLeft, 9);
    EXPECT_EQ(binText(game), pictureText({"1....", ".....", ".....", ".....", "....."}));
    EXPECT_EQ(game.player.score, 50);
}

} // namespace
} // namespace plonta::test
