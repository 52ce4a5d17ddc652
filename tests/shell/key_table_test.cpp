// The SDL key table: each game key by its scancode, and nothing else.
#include <gtest/gtest.h>

#include <set>

#include "shell/sdl/sdl_keys.h"

namespace plonta {
namespace {

struct KeyCase {
    SDL_Scancode scancode;
    std::optional<Command> command;
};

class KeyTableTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTableTest, MapsScancodeToCommand) {
    EXPECT_EQ(commandForScancode(GetParam().scancode), GetParam().command);
}

constexpr std::optional<Command> none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTableTest,
    testing::Values(
        KeyCase{SDL_SCANCODE_SPACE, Command::Action}, KeyCase{SDL_SCANCODE_DOWN, Command::Action},
        KeyCase{SDL_SCANCODE_LEFT, Command::PaddleLeft},
        KeyCase{SDL_SCANCODE_RIGHT, Command::PaddleRight},
        KeyCase{SDL_SCANCODE_KP_0, Command::TogglePause},
        KeyCase{SDL_SCANCODE_P, Command::TogglePause},
        KeyCase{SDL_SCANCODE_PAUSE, Command::TogglePause},
        // Escape is the shell's; neighbours and look-alikes of the game keys do nothing.
        KeyCase{SDL_SCANCODE_ESCAPE, none}, KeyCase{SDL_SCANCODE_UP, none},
        KeyCase{SDL_SCANCODE_0, none}, KeyCase{SDL_SCANCODE_KP_1, none},
        KeyCase{SDL_SCANCODE_KP_2, none}, KeyCase{SDL_SCANCODE_KP_4, none},
        KeyCase{SDL_SCANCODE_KP_6, none}, KeyCase{SDL_SCANCODE_INSERT, none},
        KeyCase{SDL_SCANCODE_RETURN, none}, KeyCase{SDL_SCANCODE_KP_ENTER, none},
        KeyCase{SDL_SCANCODE_NUMLOCKCLEAR, none}, KeyCase{SDL_SCANCODE_O, none},
        KeyCase{SDL_SCANCODE_UNKNOWN, none}));

TEST(KeyTable, NoKeyOutsideTheTableCommands) {
    std::set<SDL_Scancode> bound;
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code)
        if (commandForScancode(static_cast<SDL_Scancode>(code)))
            bound.insert(static_cast<SDL_Scancode>(code));
    EXPECT_EQ(bound,
              (std::set<SDL_Scancode>{SDL_SCANCODE_SPACE, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT,
                                      SDL_SCANCODE_RIGHT, SDL_SCANCODE_KP_0, SDL_SCANCODE_P,
                                      SDL_SCANCODE_PAUSE}));
}

} // namespace
} // namespace plonta
