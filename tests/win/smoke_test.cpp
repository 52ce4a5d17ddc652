// A smoke set on the Windows compiler: the rules start and play, keys become commands, and a
// whole frame drawn through GDI lands at the playfield's places.
#include <gtest/gtest.h>

#include "draw/frame.h"
#include "draw/gdi_canvas.h"
#include "game/game.h"
#include "shell/win32_keys.h"
#include "tests/win/dib.h"

namespace plonta::test {
namespace {

Game setUpGame() {
    Game game;
    game.setUp(10, 5, 5, 1, 12345);
    return game;
}

TEST(Rules, SetUpIsReadyWithFiveLivesAndThePaddleInTheMiddle) {
    const Game game = setUpGame();
    EXPECT_EQ(game.state, GameState::Ready);
    EXPECT_EQ(game.player.lives, 5);
    EXPECT_EQ(game.player.level, 1);
    EXPECT_EQ(game.player.dropsLeft, 10);
    EXPECT_EQ(game.player.paddleLane, 2);
}

TEST(Rules, ActionStartsAndTilesArriveInTheFirstFourLanes) {
    Game game = setUpGame();
    game.action();
    ASSERT_EQ(game.state, GameState::Running);
    int tiles = 0;
    for (int tick = 0; tick < 40; ++tick) {
        game.tick();
        for (int cell = 0; cell < laneCells; ++cell) EXPECT_EQ(game.conveyor.at(4, cell), 0);
    }
    for (Tile cell : game.conveyor.cells) tiles += cell != 0;
    EXPECT_GT(tiles, 0);
}

TEST(Rules, ThePaddleStopsAtTheOuterLanesAndPauseToggles) {
    Game game = setUpGame();
    for (int i = 0; i < 5; ++i) game.movePaddle(1);
    EXPECT_EQ(game.player.paddleLane, 4);
    for (int i = 0; i < 5; ++i) game.movePaddle(0);
    EXPECT_EQ(game.player.paddleLane, 0);
    game.action();
    game.togglePause();
    EXPECT_EQ(game.state, GameState::Paused);
    game.togglePause();
    EXPECT_EQ(game.state, GameState::Running);
}

struct KeyCase {
    std::uint32_t virtualKey;
    std::uint32_t keyData;
    Command command;
};

constexpr std::uint32_t extended = extendedKeyFlag;
constexpr std::uint32_t firstPress = 1; // repeat count 1, as a fresh key-down carries

class KeyMap : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMap, GivesItsCommand) {
    EXPECT_EQ(commandForVirtualKey(GetParam().virtualKey, GetParam().keyData), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyMap,
    ::testing::Values(KeyCase{VK_ESCAPE, firstPress, Command::Quit},
                      KeyCase{VK_SPACE, firstPress, Command::Action},
                      KeyCase{VK_DOWN, firstPress | extended, Command::Action},
                      // Keypad 2 with NumLock off is a Down arrow too.
                      KeyCase{VK_DOWN, firstPress, Command::Action},
                      KeyCase{VK_LEFT, firstPress | extended, Command::PaddleLeft},
                      KeyCase{VK_RIGHT, firstPress | extended, Command::PaddleRight},
                      KeyCase{VK_NUMPAD0, firstPress, Command::TogglePause},
                      // Keypad 0 with NumLock off.
                      KeyCase{VK_INSERT, firstPress, Command::TogglePause},
                      // The Insert key of the editing block.
                      KeyCase{VK_INSERT, firstPress | extended, Command::None},
                      KeyCase{VK_RETURN, firstPress, Command::None},
                      KeyCase{VK_UP, firstPress | extended, Command::None},
                      KeyCase{'P', firstPress, Command::None},
                      KeyCase{VK_NUMPAD1, firstPress, Command::None}));

TEST(KeyMap, AutoRepeatCountsLikeAFreshPress) {
    const std::uint32_t held = 0x4000'0000u | firstPress | extended; // previous state down
    EXPECT_EQ(commandForVirtualKey(VK_RIGHT, held), Command::PaddleRight);
}

TEST(Frame, ARunningGameDrawnThroughGdiLandsAtThePlayfieldsPlaces) {
    Game game = setUpGame();
    game.action();
    game.conveyor.at(3, 10) = 4;  // blue, its bottom edge on the lower line
    game.bin.at(4, 4) = 3;        // green, 8 pixels above the floor
    game.player.carriedCount = 1; // white, just above the paddle
    game.player.carried = {1, 0, 0};

    GdiCanvas canvas;
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    Dib image(400, 500);
    canvas.bind(image.dc());
    drawer.drawFrame(canvas, game);
    canvas.bind(nullptr);

    const Rgb red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0}, white{255, 255, 255};
    const Rgb black{0, 0, 0};
    EXPECT_EQ(image.at(260, 212), blue);  // conveyor lane 3, cell 10
    EXPECT_EQ(image.at(315, 429), green); // bin column 4, row 4
    EXPECT_EQ(image.at(195, 267), white); // the carried tile over lane 2
    EXPECT_EQ(image.at(195, 285), white); // the paddle, 15 lower for one carried tile
    EXPECT_EQ(image.at(35, 400), red);    // left bin wall
    EXPECT_EQ(image.at(355, 400), red);   // right bin wall
    EXPECT_EQ(image.at(200, 450), red);   // floor
    EXPECT_EQ(image.at(200, 300), black); // nothing under the paddle
    EXPECT_EQ(image.at(260, 232), black); // cell 11 is never drawn
    if (HasFailure()) image.save("win_smoke_frame.ppm");
}

} // namespace
} // namespace plonta::test
