// The status texts built from their templates, and the pause blink.
#include <gtest/gtest.h>

#include <string>

#include "draw/frame.h"
#include "draw/status.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

template <std::size_t N> std::string text(const std::array<char, N>& buffer) {
    return std::string(buffer.data());
}

struct ScoreCase {
    std::int32_t score;
    const char* shown;
};

class ScoreTexts : public testing::TestWithParam<ScoreCase> {};

TEST_P(ScoreTexts, EightCharacters) {
    EXPECT_EQ(text(scoreText(GetParam().score)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Scores, ScoreTexts,
                         testing::Values(ScoreCase{0, "00000000"}, ScoreCase{1234, "00001234"},
                                         ScoreCase{99'999'999, "99999999"},
                                         ScoreCase{10'000'000, "10000000"},
                                         ScoreCase{123'456'789, "<3456789"}));

TEST(ScoreTextLimits, AboveEightDigitsTheFirstCharacterCarriesTheRest) {
    const auto shown = scoreText(123'456'789);
    EXPECT_EQ(static_cast<unsigned char>(shown[0]), 60); // 48 + 12
    EXPECT_EQ(text(shown).size(), 8u);
}

TEST(DropBar, RightEndHoldsOneGlyphPerDropLeft) {
    EXPECT_EQ(text(dropBarText(10)), std::string(10, '\xD8'));
    EXPECT_EQ(text(dropBarText(7)), "   " + std::string(7, '\xD8'));
    EXPECT_EQ(text(dropBarText(0)), std::string(10, ' '));
    EXPECT_EQ(text(dropBarText(200)), std::string(10, '\xD8'));
}

std::array<std::int32_t, goalCount> goalsWith(std::uint8_t level, std::int32_t value) {
    std::array<std::int32_t, goalCount> goals{0, 5, 5, 5, 40, 1000, 5, 3};
    if (level < goalCount) goals[level] = value;
    return goals;
}

TEST(GoalLine, PointsLevelShowsFiveDigits) {
    EXPECT_EQ(text(goalLineText(5, goalsWith(5, 1000))), "Ziel: 01000 x");
    EXPECT_EQ(text(goalLineText(5, goalsWith(5, 735))), "Ziel: 00735 x");
    EXPECT_EQ(text(goalLineText(5, goalsWith(5, 0))), "Ziel: 00000 x");
    EXPECT_EQ(text(goalLineText(5, goalsWith(5, -40))), "Ziel: 00000 x");
}

TEST(GoalLine, OtherLevelsShowTwoDigits) {
    EXPECT_EQ(text(goalLineText(2, goalsWith(2, 5))), "Ziel: 05    x");
    EXPECT_EQ(text(goalLineText(4, goalsWith(4, 40))), "Ziel: 40    x");
    EXPECT_EQ(text(goalLineText(1, goalsWith(1, 0))), "Ziel: 00    x");
    // Overshot by a multi-line drop until the next tick completes the level.
    EXPECT_EQ(text(goalLineText(3, goalsWith(3, -2))), "Ziel: 00    x");
}

TEST(GoalLine, LevelEightHasNoCounter) {
    EXPECT_EQ(text(goalLineText(8, goalsWith(8, 0))), "Ziel: --    x");
    EXPECT_EQ(text(goalDescriptionText(8)), " ");
}

TEST(GoalDescription, FromTheLevelsGoalText) {
    for (std::uint8_t level = 1; level <= lastLevel; ++level)
        EXPECT_EQ(text(goalDescriptionText(level)), goalText[level]);
    EXPECT_EQ(text(goalDescriptionText(0)), " ");
}

TEST(LivesAndLevel, OneDigitEach) {
    EXPECT_EQ(text(livesText(0)), "Leben: 0");
    EXPECT_EQ(text(livesText(5)), "Leben: 5");
    EXPECT_EQ(text(levelText(1)), "Level: 1");
    EXPECT_EQ(text(levelText(7)), "Level: 7");
}

TEST(IntPower, PowersOfTen) {
    EXPECT_EQ(intPower(10, 0), 1.0);
    EXPECT_EQ(intPower(10, -3), 1.0);
    EXPECT_EQ(intPower(10, 7), 10'000'000.0);
    EXPECT_EQ(intPower(2, 10), 1024.0);
}

// Counts the frames of a sequence that show the pause text.
std::string blinkPattern(FrameDrawer& drawer, Game& game, int frames) {
    std::string pattern;
    for (int i = 0; i < frames; ++i) {
        test::RecordingCanvas canvas;
        drawer.nextFrame(game);
        drawer.drawFrame(canvas, game);
        pattern += canvas.contains("textOut 200 120 9 \"P A U S E\"") ? 'P' : '-';
    }
    return pattern;
}

TEST(PauseBlink, FlipsOnEveryPausedFrameAndCarriesOverToTheNextPause) {
    Game game;
    game.setUp(standardRules, 1);
    FrameDrawer drawer;
    game.togglePause();
    EXPECT_EQ(blinkPattern(drawer, game, 3), "P-P");
    game.togglePause();
    EXPECT_EQ(blinkPattern(drawer, game, 2), "--"); // Running frames leave the blink alone
    game.togglePause();
    // Three paused frames before: this pause starts on the hidden phase.
    EXPECT_EQ(blinkPattern(drawer, game, 4), "-P-P");
    EXPECT_EQ(drawer.pauseBlink(), 1);
}

} // namespace
} // namespace plonta
