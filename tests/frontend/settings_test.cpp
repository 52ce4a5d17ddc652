// The settings file: what reads as what, and what a rewrite keeps.
#include <gtest/gtest.h>

#include <optional>

#include "frontend/settings.h"

namespace plonta::test {
namespace {

struct SettingsCase {
    const char* text;
    Settings read;
    // What writing {mute on, fullscreen off} makes of it; null: left alone.
    const char* rewritten;
};

class SettingsFile : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFile, ReadsForgivinglyAndKeepsWhatItDoesNotOwn) {
    EXPECT_EQ(readSettings(GetParam().text), GetParam().read);
    const std::optional<std::string> rewritten = updateSettings(GetParam().text, {true, false});
    if (GetParam().rewritten == nullptr) {
        EXPECT_FALSE(rewritten.has_value());
        return;
    }
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(*rewritten, GetParam().rewritten);
    // What was written reads back as written.
    EXPECT_EQ(readSettings(*rewritten), (Settings{true, false}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, SettingsFile, testing::Values(
    SettingsCase{"", {}, "# Plonta's settings\nversion=1\nmute=1\nfullscreen=0\n"},
    SettingsCase{"version=1\nmute=0\nfullscreen=1\n", {false, true},
                 "version=1\nmute=1\nfullscreen=0\n"},
    SettingsCase{"version=1\r\nfullscreen = on\r\ncolour=blue\r\n", {false, true},
                 "version=1\r\nfullscreen=0\ncolour=blue\r\nmute=1\n"},
    // Garbage and bad values give defaults and stay in the file.
    SettingsCase{"version=1\n\x01\xFFgarbage\nmute=maybe\n", {false, false},
                 "version=1\n\x01\xFFgarbage\nmute=1\nfullscreen=0\n"},
    // A newer program's file: what can be read is, and the file is left to it.
    SettingsCase{"version=2\nmute=1\nfullscreen=1\nvolume=3\n", {true, true}, nullptr},
    SettingsCase{"version=two\nmute=1\n", {true, false}, nullptr}));
// clang-format on

} // namespace
} // namespace plonta::test
