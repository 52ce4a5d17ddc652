// From the command line to a game: each bad input refused with status 2 and one message before
// any file is made, and a replay read whole before its own path is opened to record into.
#include <gtest/gtest.h>

#include <map>

#include "frontend/launch.h"
#include "tests/frontend/string_sink.h"

namespace plonta {
namespace {

// Files by path; a path that is not there reads and opens as the system would refuse it.
class FakeFiles final : public LaunchFiles {
  public:
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override {
        calls.push_back("read " + path);
        if (path == "dir") {
            error = "Is a directory";
            return false;
        }
        const auto found = files.find(path);
        if (found == files.end()) {
            error = "No such file or directory";
            return false;
        }
        text = found->second.substr(0, limit + 1);
        return true;
    }
    std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                    std::string& error) override {
        calls.push_back("open " + path);
        if (path.rfind("/nope/", 0) == 0) {
            error = "No such file or directory";
            return nullptr;
        }
        return std::make_unique<test::StringSink>(files[path]);
    }

    std::map<std::string, std::string> files{
        {"game.sim", "# old\nseed 3\nspace\ntick 4\n"},
        {"bad.sim", "seed 3\nspace\nset lives 9\n"},
        {"torn.sim", "seed 3\nspace\ntick 4\nri"},
        {"huge.sim", std::string(maxRecordingBytes + 1, '\n')},
    };
    std::vector<std::string> calls;
};

const OptionSet withScale{true};

Launch launchWith(FakeFiles& files, std::vector<std::string_view> arguments) {
    return prepareLaunch(arguments, "plonta", withScale, files);
}

struct BadLaunch {
    std::vector<std::string_view> arguments;
    const char* message;
    bool withUsage;
};

class RefusedLaunch : public testing::TestWithParam<BadLaunch> {};

TEST_P(RefusedLaunch, ExitsWithTwoAndOneMessageAndMakesNoFile) {
    FakeFiles files;
    const Launch launch = launchWith(files, GetParam().arguments);
    EXPECT_FALSE(launch.play);
    EXPECT_EQ(launch.exitStatus, 2);
    EXPECT_EQ(launch.output, "");
    std::string expected = std::string(GetParam().message) + "\n";
    if (GetParam().withUsage) expected += usageText("plonta", withScale);
    EXPECT_EQ(launch.error, expected);
    EXPECT_EQ(files.files.size(), FakeFiles().files.size()) << "a file was made";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Inputs, RefusedLaunch, testing::Values(
    BadLaunch{{"--replay", "missing.sim"}, "plonta: missing.sim: No such file or directory", false},
    BadLaunch{{"--replay", "dir", "--record", "new.sim"}, "plonta: dir: Is a directory", false},
    BadLaunch{{"--record", "new.sim", "--replay", "bad.sim"},
              "plonta: bad.sim: line 3: set is not allowed in a recording (only seed, tick, space, "
              "down, left, right, pause)", false},
    BadLaunch{{"--replay", "huge.sim"}, "plonta: huge.sim: not a recording: larger than 16 MiB", false},
    BadLaunch{{"--record", "/nope/new.sim"}, "plonta: /nope/new.sim: No such file or directory", false},
    BadLaunch{{"--record", "new.sim", "--replay", "game.sim", "--speed", "0"},
              "plonta: --speed takes a whole number from 1 to 16, not '0'", true},
    BadLaunch{{"--replay", "game.sim", "--speed", "x"},
              "plonta: --speed takes a whole number from 1 to 16, not 'x'", true},
    BadLaunch{{"--record"}, "plonta: --record needs a value", true},
    BadLaunch{{"--replay", "game.sim", "--fast"}, "plonta: unknown option '--fast'", true}));
// clang-format on

TEST(Launch, AReplayIsReadWholeBeforeTheSameFileOpensForRecording) {
    FakeFiles files;
    Launch launch = launchWith(files, {"--record", "game.sim", "--replay", "game.sim"});
    ASSERT_TRUE(launch.play) << launch.error;
    EXPECT_EQ(files.calls, (std::vector<std::string>{"read game.sim", "open game.sim"}));
    ASSERT_TRUE(launch.replay.has_value());
    EXPECT_EQ(launch.replay->steps.size(), 3u);
    EXPECT_NE(launch.record, nullptr);
}

TEST(Launch, ALastLineCutShortIsToldAndTheGameBeforeItPlays) {
    FakeFiles files;
    const Launch launch = launchWith(files, {"--replay", "torn.sim"});
    EXPECT_TRUE(launch.play && launch.replay && launch.replay->steps.size() == 3u);
    EXPECT_EQ(launch.note, "plonta: torn.sim: line 4 is cut short; the game before it replays\n");
}

TEST(Launch, HelpAndVersionAnswerWithoutTouchingAFile) {
    FakeFiles files;
    Launch help = launchWith(files, {"--replay", "missing.sim", "--help"});
    EXPECT_FALSE(help.play);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.output, usageText("plonta", withScale));
    Launch version = launchWith(files, {"--version", "--record", "/nope/x.sim"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output, versionText("plonta"));
    EXPECT_EQ(version.error, "");
    EXPECT_TRUE(files.calls.empty());
}

} // namespace
} // namespace plonta
