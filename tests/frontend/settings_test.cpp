// The settings file: what reads as what, and what a rewrite keeps.
#include <gtest/gtest.h>

#include <optional>

#include "frontend/settings.h"

namespace plonta::test {
namespace {

struct SettingsCase {
    const char* text;
    Settings read;
    // What writing the written settings makes of it; null: left alone.
    const char* rewritten;
};

class SettingsFile : public testing::TestWithParam<SettingsCase> {};

const Settings written{true, false, true, Language::English};

TEST_P(SettingsFile, ReadsForgivinglyAndKeepsWhatItDoesNotOwn) {
    EXPECT_EQ(readSettings(GetParam().text), GetParam().read);
    const std::optional<std::string> rewritten = updateSettings(GetParam().text, written);
    if (GetParam().rewritten == nullptr) {
        EXPECT_FALSE(rewritten.has_value());
        return;
    }
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(*rewritten, GetParam().rewritten);
    // What was written reads back as written.
    EXPECT_EQ(readSettings(*rewritten), written);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, SettingsFile, testing::Values(
    SettingsCase{"", {}, "# Plonta's settings\nversion=1\nmute=1\nfullscreen=0\nmarks=1\nlang=en\n"},
    // A file of the first version, before marks and languages.
    SettingsCase{"version=1\nmute=0\nfullscreen=1\n", {false, true, false, std::nullopt},
                 "version=1\nmute=1\nfullscreen=0\nmarks=1\nlang=en\n"},
    SettingsCase{"version=1\r\nfullscreen = on\r\nlang=de\r\ncolour=blue\r\n",
                 {false, true, false, Language::German},
                 "version=1\r\nfullscreen=0\nlang=en\ncolour=blue\r\nmute=1\nmarks=1\n"},
    // Garbage and bad values give defaults and stay in the file.
    SettingsCase{"version=1\n\x01\xFFgarbage\nmute=maybe\nlang=fr\n", {},
                 "version=1\n\x01\xFFgarbage\nmute=1\nlang=en\nfullscreen=0\nmarks=1\n"},
    // A newer program's file: what can be read is, and the file is left to it.
    SettingsCase{"version=2\nmute=1\nfullscreen=1\nmarks=1\nlang=en\nvolume=3\n",
                 {true, true, true, Language::English}, nullptr},
    SettingsCase{"version=two\nmute=1\n", {true, false, false, std::nullopt}, nullptr}));
// clang-format on

} // namespace
} // namespace plonta::test
