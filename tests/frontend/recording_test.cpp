// Recordings: ticks written as runs, each thing on file as it happens, failures that stop the
// recording, and the reader's refusals.
#include <gtest/gtest.h>

#include <sstream>

#include "frontend/recording.h"
#include "script/fields.h"
#include "script/script_runner.h"
#include "tests/frontend/string_sink.h"

namespace plonta::test {
namespace {

// Feeds a recorder events written as words: "t" one tick, "T5" five ticks in one call,
// "seed7" a new game, any other word a command.
void feed(Recorder& recorder, const std::string& events) {
    std::istringstream words(events);
    std::string word;
    while (words >> word) {
        if (word == "t") {
            recorder.ticks(1);
        } else if (word[0] == 'T') {
            recorder.ticks(static_cast<std::uint32_t>(std::stoul(word.substr(1))));
        } else if (word.rfind("seed", 0) == 0) {
            recorder.seed(static_cast<std::uint32_t>(std::stoul(word.substr(4))));
        } else {
            recorder.command(*commandForWord(word));
        }
    }
}

// The recording's lines after the comment and seed line it starts with.
std::string body(const std::string& text) {
    const std::size_t first = text.find('\n');
    return text.substr(text.find('\n', first + 1) + 1);
}

struct Coalescing {
    const char* events;
    const char* lines;
};

class RecorderLines : public testing::TestWithParam<Coalescing> {};

TEST_P(RecorderLines, TicksBetweenCommandsShareALine) {
    std::string text;
    Recorder recorder;
    recorder.start(std::make_unique<StringSink>(text), "plonta", 42);
    feed(recorder, GetParam().events);
    EXPECT_EQ(body(text), GetParam().lines);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, RecorderLines, testing::Values(
    Coalescing{"", ""},
    Coalescing{"t t t", "tick 3\n"},
    Coalescing{"space t t left right t", "space\ntick 2\nleft\nright\ntick 1\n"},
    Coalescing{"t t pause t t pause", "tick 2\npause\ntick 2\npause\n"},
    Coalescing{"t t t t t t t t t t", "tick 10\n"},
    Coalescing{"T5 t T2", "tick 8\n"},
    Coalescing{"down t", "space\ntick 1\n"},
    Coalescing{"seed9 t space seed9 t", "seed 9\ntick 1\nspace\nseed 9\ntick 1\n"},
    // A line holds no more than the reader takes.
    Coalescing{"T2147483647 t", "tick 2147483647\ntick 1\n"},
    Coalescing{"T2147483640 T10", "tick 2147483647\ntick 3\n"},
    Coalescing{"T4294967295", "tick 2147483647\ntick 2147483647\ntick 1\n"}));
// clang-format on

TEST(Recorder, StartsWithTheProgramAndTheSeedAndDropsWhatTheFileHeld) {
    std::string text = "an older and much longer game, replaced by the new one\n";
    Recorder recorder;
    recorder.start(std::make_unique<StringSink>(text), "plonta.exe", 123456);
    EXPECT_EQ(text.rfind("# ", 0), 0u);
    EXPECT_NE(text.find("plonta.exe"), std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n') + 1), "seed 123456\n");
}

// Whenever the program stops, the file holds everything up to then: read back after every
// step, it replays to the same game as the steps themselves.
TEST(Recorder, TheFileIsCompleteAfterEveryStep) {
    std::string text;
    Recorder recorder;
    recorder.start(std::make_unique<StringSink>(text), "plonta", 3);
    ScriptRunner live;
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(live.runLine("seed 3", out, error));
    const char* steps[] = {"space", "t", "t", "left", "t",     "pause", "t", "t",
                           "pause", "t", "t", "down", "right", "t",     "t", "t"};
    for (const char* step : steps) {
        feed(recorder, step);
        ASSERT_TRUE(live.runLine(std::string(step) == "t" ? "tick" : step, out, error));
        ScriptRunner replayed;
        std::istringstream file(text);
        std::ostringstream err;
        ASSERT_EQ(replayed.runScript(file, out, err), 0) << err.str();
        EXPECT_EQ(dumpGame(replayed.game()), dumpGame(live.game())) << "after " << step;
    }
}

TEST(Recorder, AFailedWriteStopsTheRecordingAndIsToldOnce) {
    std::string text;
    Recorder recorder;
    // The header is write 1, "space" 2, the tick run 3 and 4.
    recorder.start(std::make_unique<StringSink>(text, 4), "plonta", 1);
    feed(recorder, "space t");
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(recorder.takeFailure(), "");
    feed(recorder, "t");
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorder.takeFailure(), "No space left on device");
    EXPECT_EQ(recorder.takeFailure(), "");
    const std::string kept = text;
    feed(recorder, "t left t");
    EXPECT_EQ(text, kept);
    EXPECT_EQ(body(text), "space\ntick 1\n");
}

struct Refusal {
    const char* line;
    const char* error;
};

class ReaderRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(ReaderRefuses, NamesTheLineAndWhy) {
    Recording recording;
    std::string error;
    const std::string text = std::string("seed 4\n# a comment\n") + GetParam().line + "\nspace\n";
    EXPECT_FALSE(readRecording(text, recording, error));
    EXPECT_EQ(error, std::string("line 3: ") + GetParam().error);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, ReaderRefuses, testing::Values(
    Refusal{"set lives 99", "set is not allowed in a recording (only seed, tick, space, down, left, right, pause)"},
    Refusal{"set state 4", "set is not allowed in a recording (only seed, tick, space, down, left, right, pause)"},
    Refusal{"dump", "dump is not allowed in a recording (only seed, tick, space, down, left, right, pause)"},
    Refusal{"shot /tmp/overwritten.png", "shot is not allowed in a recording (only seed, tick, space, down, left, right, pause)"},
    Refusal{"sound /tmp/overwritten.wav", "sound is not allowed in a recording (only seed, tick, space, down, left, right, pause)"},
    Refusal{"set", "set: missing field name"},
    Refusal{"jump", "unknown command 'jump'"},
    Refusal{"tick -1", "tick: '-1' is outside 0 to 2147483647"},
    Refusal{"seed x", "seed: 'x' is not a number"},
    Refusal{"left 2", "left: too many arguments (expects 0)"},
    // Bytes from a file someone sent are never echoed raw to a terminal.
    Refusal{"\x1b]0;owned\x07", "unknown command '?]0;owned?'"},
    Refusal{"\x89PNG", "unknown command '?PNG'"}));
// clang-format on

// Notepad's byte-order mark and old Mac line ends read as the plain file does; a last line
// cut short by a failed write is left out, the game before it kept.
TEST(Reader, ReadsAnEditorsFileAndLeavesOutALastLineCutShort) {
    const std::string plain = "# by hand\nseed 7\nspace\ntick 3\nright\n";
    Recording expected;
    std::string error;
    ASSERT_TRUE(readRecording(plain, expected, error));
    for (const std::string& text :
         {"\xEF\xBB\xBF" + plain, std::string("# by hand\rseed 7\rspace\rtick 3\rright\r"),
          plain + "ri", plain + "tick 3x"}) {
        Recording read;
        EXPECT_TRUE(readRecording(text, read, error) && read.steps == expected.steps) << text;
        EXPECT_EQ(read.cutShortLine, text.ends_with("\n") || text.ends_with("\r") ? 0u : 6u);
    }
    EXPECT_FALSE(readRecording(plain + "ri\n", expected, error)) << "a whole line is no cut";
}

TEST(Reader, TakesWhatARecordingHolds) {
    Recording recording;
    std::string error;
    ASSERT_TRUE(readRecording("# by hand\r\nseed 7\r\n\r\n  down\ntick 0\ntick 3\nleft\ntick\n"
                              "right\npause\nseed 8\nspace",
                              recording, error))
        << error;
    using Kind = RecordedStep::Kind;
    std::ostringstream steps;
    for (const RecordedStep& step : recording.steps)
        steps << (step.kind == Kind::Seed    ? "seed" + std::to_string(step.value)
                  : step.kind == Kind::Ticks ? "T" + std::to_string(step.value)
                                             : std::string(commandWord(step.command)))
              << ' ';
    EXPECT_EQ(steps.str(), "seed7 space T3 left T1 right pause seed8 space ");
}

} // namespace
} // namespace plonta::test
