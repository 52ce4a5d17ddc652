// The SDL key table: each game key by its scancode, and nothing else.
#include <gtest/gtest.h>

#include <set>

#include "shell/sdl/sdl_keys.h"

namespace plonta {
namespace {

struct KeyCase {
    SDL_Scancode scancode;
    std::optional<Command> numLockOff;
    std::optional<Command> numLockOn;
};

class KeyTableTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTableTest, MapsScancodeToCommand) {
    EXPECT_EQ(commandForScancode(GetParam().scancode, false), GetParam().numLockOff);
    EXPECT_EQ(commandForScancode(GetParam().scancode, true), GetParam().numLockOn);
}

constexpr std::optional<Command> none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTableTest,
    testing::Values(
        KeyCase{SDL_SCANCODE_SPACE, Command::Action, Command::Action},
        KeyCase{SDL_SCANCODE_DOWN, Command::Action, Command::Action},
        KeyCase{SDL_SCANCODE_LEFT, Command::PaddleLeft, Command::PaddleLeft},
        KeyCase{SDL_SCANCODE_RIGHT, Command::PaddleRight, Command::PaddleRight},
        KeyCase{SDL_SCANCODE_KP_0, Command::TogglePause, Command::TogglePause},
        KeyCase{SDL_SCANCODE_P, Command::TogglePause, Command::TogglePause},
        KeyCase{SDL_SCANCODE_PAUSE, Command::TogglePause, Command::TogglePause},
        // The keypad's arrows, only while NumLock is off.
        KeyCase{SDL_SCANCODE_KP_4, Command::PaddleLeft, none},
        KeyCase{SDL_SCANCODE_KP_6, Command::PaddleRight, none},
        KeyCase{SDL_SCANCODE_KP_2, Command::Action, none},
        // Escape is the shell's; neighbours and look-alikes of the game keys do nothing.
        KeyCase{SDL_SCANCODE_ESCAPE, none, none}, KeyCase{SDL_SCANCODE_UP, none, none},
        KeyCase{SDL_SCANCODE_KP_8, none, none}, KeyCase{SDL_SCANCODE_0, none, none},
        KeyCase{SDL_SCANCODE_4, none, none}, KeyCase{SDL_SCANCODE_KP_1, none, none},
        KeyCase{SDL_SCANCODE_KP_5, none, none}, KeyCase{SDL_SCANCODE_INSERT, none, none},
        KeyCase{SDL_SCANCODE_RETURN, none, none}, KeyCase{SDL_SCANCODE_KP_ENTER, none, none},
        KeyCase{SDL_SCANCODE_NUMLOCKCLEAR, none, none}, KeyCase{SDL_SCANCODE_O, none, none},
        KeyCase{SDL_SCANCODE_UNKNOWN, none, none}));

TEST(KeyTable, NoKeyOutsideTheTablesCommands) {
    for (const bool numLock : {false, true}) {
        std::set<SDL_Scancode> bound;
        for (int code = 0; code < SDL_NUM_SCANCODES; ++code)
            if (commandForScancode(static_cast<SDL_Scancode>(code), numLock))
                bound.insert(static_cast<SDL_Scancode>(code));
        std::set<SDL_Scancode> expected{SDL_SCANCODE_SPACE, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT,
                                        SDL_SCANCODE_RIGHT, SDL_SCANCODE_KP_0, SDL_SCANCODE_P,
                                        SDL_SCANCODE_PAUSE};
        if (!numLock) expected.insert({SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_2});
        EXPECT_EQ(bound, expected) << "NumLock " << numLock;
    }
}

} // namespace
} // namespace plonta
