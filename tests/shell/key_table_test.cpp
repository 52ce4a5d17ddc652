// The key table and what each command does to the game.
#include <gtest/gtest.h>

#include <set>

#include "shell/command.h"
#include "shell/sdl_keys.h"

namespace plonta {
namespace {

struct KeyCase {
    SDL_Scancode scancode;
    Command command;
};

class KeyTableTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTableTest, MapsScancodeToCommand) {
    EXPECT_EQ(commandForScancode(GetParam().scancode), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTableTest,
    testing::Values(
        KeyCase{SDL_SCANCODE_ESCAPE, Command::Quit}, KeyCase{SDL_SCANCODE_SPACE, Command::Action},
        KeyCase{SDL_SCANCODE_DOWN, Command::Action},
        KeyCase{SDL_SCANCODE_LEFT, Command::PaddleLeft},
        KeyCase{SDL_SCANCODE_RIGHT, Command::PaddleRight},
        KeyCase{SDL_SCANCODE_KP_0, Command::TogglePause},
        // Neighbours and look-alikes of the six keys do nothing.
        KeyCase{SDL_SCANCODE_UP, Command::None}, KeyCase{SDL_SCANCODE_0, Command::None},
        KeyCase{SDL_SCANCODE_KP_1, Command::None}, KeyCase{SDL_SCANCODE_KP_2, Command::None},
        KeyCase{SDL_SCANCODE_KP_4, Command::None}, KeyCase{SDL_SCANCODE_KP_6, Command::None},
        KeyCase{SDL_SCANCODE_INSERT, Command::None}, KeyCase{SDL_SCANCODE_RETURN, Command::None},
        KeyCase{SDL_SCANCODE_KP_ENTER, Command::None},
        KeyCase{SDL_SCANCODE_NUMLOCKCLEAR, Command::None}, KeyCase{SDL_SCANCODE_P, Command::None},
        KeyCase{SDL_SCANCODE_UNKNOWN, Command::None}));

TEST(KeyTable, EachKeyOnce) {
    std::set<SDL_Scancode> seen;
    for (const KeyBinding& binding : keyTable) EXPECT_TRUE(seen.insert(binding.scancode).second);
}

TEST(KeyTable, NoKeyOutsideTheTableCommands) {
    int bound = 0;
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code)
        if (commandForScancode(static_cast<SDL_Scancode>(code)) != Command::None) ++bound;
    EXPECT_EQ(bound, static_cast<int>(keyTable.size()));
}

Game freshGame() {
    Game game;
    game.setUp(10, 5, 5, 1, 1234);
    return game;
}

TEST(ApplyCommand, ActionStartsPlayAndRepaints) {
    Game viaKey = freshGame();
    Game direct = freshGame();
    EXPECT_TRUE(applyCommand(viaKey, Command::Action));
    direct.action();
    EXPECT_EQ(viaKey.state, GameState::Running);
    EXPECT_EQ(viaKey.state, direct.state);
}

TEST(ApplyCommand, ArrowsMoveOneLaneAndRepaint) {
    Game game = freshGame();
    const int start = game.player.paddleLane;
    EXPECT_TRUE(applyCommand(game, Command::PaddleRight));
    EXPECT_EQ(game.player.paddleLane, start + 1);
    EXPECT_TRUE(applyCommand(game, Command::PaddleLeft));
    EXPECT_TRUE(applyCommand(game, Command::PaddleLeft));
    EXPECT_EQ(game.player.paddleLane, start - 1);
}

TEST(ApplyCommand, HeldRightStopsAtTheLastLane) {
    Game game = freshGame();
    for (int repeat = 0; repeat < 10; ++repeat) applyCommand(game, Command::PaddleRight);
    EXPECT_EQ(game.player.paddleLane, laneCount - 1);
}

TEST(ApplyCommand, PauseTogglesWithoutRepaint) {
    Game game = freshGame();
    applyCommand(game, Command::Action);
    EXPECT_FALSE(applyCommand(game, Command::TogglePause));
    EXPECT_EQ(game.state, GameState::Paused);
    EXPECT_FALSE(applyCommand(game, Command::TogglePause));
    EXPECT_EQ(game.state, GameState::Running);
}

TEST(ApplyCommand, NoneAndQuitLeaveTheGameAlone) {
    for (Command command : {Command::None, Command::Quit}) {
        Game game = freshGame();
        const Game before = game;
        EXPECT_FALSE(applyCommand(game, command));
        EXPECT_EQ(game.state, before.state);
        EXPECT_EQ(game.player.paddleLane, before.player.paddleLane);
        EXPECT_EQ(game.conveyor.cells, before.conveyor.cells);
    }
}

TEST(ExitStatus, EscapeAndCloseDiffer) {
    EXPECT_EQ(exitStatusEscape, 27); // the Escape key's code, as players' scripts expect
    EXPECT_EQ(exitStatusClosed, 0);
    EXPECT_NE(exitStatusNoWindow, exitStatusClosed);
    EXPECT_NE(exitStatusNoWindow, exitStatusEscape);
}

} // namespace
} // namespace plonta
