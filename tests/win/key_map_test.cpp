// The Win32 key map: each game key by virtual key, the keypad told apart by the key data.
#include <gtest/gtest.h>

#include "shell/win32/win32_keys.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plonta::test {
namespace {

struct KeyCase {
    std::uint32_t virtualKey;
    std::uint32_t keyData;
    std::optional<Command> command;
};

constexpr std::uint32_t extended = extendedKeyFlag;
constexpr std::uint32_t firstPress = 1; // repeat count 1, as a fresh key-down carries
constexpr std::uint32_t held = 0x4000'0000u | firstPress; // an auto-repeat: previously down
constexpr std::optional<Command> none = std::nullopt;

class KeyMap : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMap, GivesItsCommand) {
    EXPECT_EQ(commandForVirtualKey(GetParam().virtualKey, GetParam().keyData), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyMap,
    ::testing::Values(KeyCase{VK_SPACE, firstPress, Command::Action},
                      KeyCase{VK_DOWN, firstPress | extended, Command::Action},
                      // Keypad 2 with NumLock off is a Down arrow too.
                      KeyCase{VK_DOWN, firstPress, Command::Action},
                      KeyCase{VK_LEFT, firstPress | extended, Command::PaddleLeft},
                      KeyCase{VK_RIGHT, firstPress | extended, Command::PaddleRight},
                      KeyCase{VK_RIGHT, held | extended, Command::PaddleRight},
                      KeyCase{VK_NUMPAD0, firstPress, Command::TogglePause},
                      KeyCase{'P', firstPress, Command::TogglePause},
                      KeyCase{VK_PAUSE, firstPress, Command::TogglePause},
                      // Keypad 0 with NumLock off.
                      KeyCase{VK_INSERT, firstPress, Command::TogglePause},
                      // The Insert key of the editing block.
                      KeyCase{VK_INSERT, firstPress | extended, none},
                      // Escape is the shell's own: it never reaches the game.
                      KeyCase{VK_ESCAPE, firstPress, none}, KeyCase{VK_RETURN, firstPress, none},
                      KeyCase{VK_UP, firstPress | extended, none}, KeyCase{'O', firstPress, none},
                      KeyCase{VK_NUMPAD1, firstPress, none}));

} // namespace
} // namespace plonta::test
