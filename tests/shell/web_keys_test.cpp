// The page's keys: the keypad is arrows only while NumLock is off, which the page learns from
// the key the browser names; keys outside the map stay the browser's.
#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "shell/web/web_keys.h"

namespace plonta {
namespace {

struct KeyCase {
    std::string_view code;
    std::string_view key;
    std::optional<KeyAction> action;
};

class WebKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(WebKeys, MapByPositionAndNumLock) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(actionForCode(c.code, c.key), c.action) << c.code << " as " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WebKeys,
    testing::Values(
        // NumLock off: the keypad's arrows.
        KeyCase{"Numpad4", "ArrowLeft", playKey(Command::PaddleLeft)},
        KeyCase{"Numpad6", "ArrowRight", playKey(Command::PaddleRight)},
        KeyCase{"Numpad2", "ArrowDown", downKey},
        // NumLock on: digits, which play nothing, except keypad 0, which pauses either way.
        KeyCase{"Numpad4", "4", std::nullopt}, KeyCase{"Numpad2", "2", std::nullopt},
        KeyCase{"Numpad0", "0", playKey(Command::TogglePause)},
        KeyCase{"Numpad0", "Insert", playKey(Command::TogglePause)},
        // By position: on a Dvorak layout the key in P's place types l and pauses; p does not.
        KeyCase{"KeyP", "l", playKey(Command::TogglePause)}, KeyCase{"KeyR", "p", std::nullopt},
        KeyCase{"Tab", "Tab", std::nullopt}));

} // namespace
} // namespace plonta
