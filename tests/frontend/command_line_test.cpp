// The programs' options: what each accepted line means, and one clear line for each bad one.
#include <gtest/gtest.h>

#include "frontend/command_line.h"

namespace plonta {
namespace {

std::vector<std::string_view> words(std::initializer_list<std::string_view> list) {
    return list;
}

const OptionSet withScale{true};
const OptionSet withoutScale{false};

TEST(CommandLine, NothingIsPlainPlay) {
    CommandLine parsed;
    std::string error;
    ASSERT_TRUE(parseCommandLine({}, withScale, parsed, error));
    EXPECT_TRUE(parsed.record.empty());
    EXPECT_TRUE(parsed.replay.empty());
    EXPECT_EQ(parsed.speed, 1u);
    EXPECT_FALSE(parsed.scale.has_value());
    EXPECT_FALSE(parsed.help || parsed.version || parsed.mute);
}

TEST(CommandLine, EveryOptionTogetherInAnyOrder) {
    CommandLine parsed;
    std::string error;
    ASSERT_TRUE(parseCommandLine(words({"--scale", "1.25", "--speed", "16", "--mute", "--replay",
                                        "in.sim", "--record", "same file.sim"}),
                                 withScale, parsed, error))
        << error;
    EXPECT_EQ(parsed.record, "same file.sim");
    EXPECT_EQ(parsed.replay, "in.sim");
    EXPECT_EQ(parsed.speed, 16u);
    EXPECT_EQ(parsed.scale, FrameScale::ofThousandths(1250));
    EXPECT_TRUE(parsed.mute);
}

TEST(CommandLine, HelpAndVersionWinOverWhatElseIsThere) {
    CommandLine parsed;
    std::string error;
    ASSERT_TRUE(parseCommandLine(words({"--speed", "2", "--help"}), withScale, parsed, error));
    EXPECT_TRUE(parsed.help);
    ASSERT_TRUE(parseCommandLine(words({"--version"}), withoutScale, parsed, error));
    EXPECT_TRUE(parsed.version);
    EXPECT_EQ(versionText("plonta").rfind("plonta ", 0), 0u);
}

struct BadLine {
    std::vector<std::string_view> arguments;
    OptionSet offered;
    const char* error;
};

class BadCommandLine : public testing::TestWithParam<BadLine> {};

TEST_P(BadCommandLine, IsRefusedWithOneLine) {
    CommandLine parsed;
    std::string error;
    EXPECT_FALSE(parseCommandLine(GetParam().arguments, GetParam().offered, parsed, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLine,
    testing::Values(BadLine{{"--bogus"}, withScale, "unknown option '--bogus'"},
                    BadLine{{"game.sim"}, withScale, "unknown option 'game.sim'"},
                    BadLine{{"--record"}, withScale, "--record needs a value"},
                    BadLine{{"--replay", ""}, withScale, "--replay needs a value"},
                    BadLine{{"--record", "--replay", "a.sim"}, withScale, "--record needs a value"},
                    BadLine{{"--replay", "a.sim", "--speed"}, withScale, "--speed needs a value"},
                    BadLine{{"--replay", "a.sim", "--speed", "0"},
                            withScale,
                            "--speed takes a whole number from 1 to 16, not '0'"},
                    BadLine{{"--replay", "a.sim", "--speed", "x"},
                            withScale,
                            "--speed takes a whole number from 1 to 16, not 'x'"},
                    BadLine{{"--replay", "a.sim", "--speed", "17"},
                            withScale,
                            "--speed takes a whole number from 1 to 16, not '17'"},
                    BadLine{{"--replay", "a.sim", "--speed", "2x"},
                            withScale,
                            "--speed takes a whole number from 1 to 16, not '2x'"},
                    BadLine{{"--replay", "a.sim", "--speed", "-1"},
                            withScale,
                            "--speed takes a whole number from 1 to 16, not '-1'"},
                    BadLine{{"--speed", "2"}, withScale, "--speed goes with --replay"},
                    BadLine{{"--scale", "4.5"},
                            withScale,
                            "--scale takes a number from 1 to 4 (such as 2 or 1.5), not '4.5'"},
                    BadLine{{"--scale", ".5"},
                            withScale,
                            "--scale takes a number from 1 to 4 (such as 2 or 1.5), not '.5'"},
                    BadLine{{"--scale", "2"}, withoutScale, "unknown option '--scale'"}));

TEST(CommandLine, UsageNamesTheOptionsOnOffer) {
    EXPECT_NE(usageText("plonta", withScale).find("--scale"), std::string::npos);
    EXPECT_EQ(usageText("plonta.exe", withoutScale).find("--scale"), std::string::npos);
    EXPECT_EQ(usageText("plonta", withScale).rfind("usage: plonta ", 0), 0u);
}

} // namespace
} // namespace plonta
