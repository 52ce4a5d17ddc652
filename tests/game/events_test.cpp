// What each step reports, for short scripts: one table, the events of every line in order.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "script/script_runner.h"

namespace plonta {
namespace {

std::string describe(const Event& e) {
    static const char* const losses[] = {"missed", "paddle-full", "column-full"};
    static const char* const lines[] = {"vertical", "horizontal", "diagonal"};
    switch (e.kind) {
    case EventKind::TileCaught: return "caught " + std::to_string(e.lane);
    case EventKind::TileLost: return std::string("lost ") + losses[static_cast<int>(e.loss)];
    case EventKind::TileDropped: return "dropped " + std::to_string(e.lane);
    case EventKind::LineRemoved:
        return std::string(lines[static_cast<int>(e.line)]) + " " + std::to_string(e.length) +
               " depth " + std::to_string(e.depth);
    case EventKind::LifeLost: return "life lost " + std::to_string(e.lives);
    case EventKind::LevelCompleted: return "level " + std::to_string(e.level);
    case EventKind::GameOver: return "game over";
    case EventKind::Paused: return "paused";
    case EventKind::Resumed: return "resumed";
    }
    return "?";
}

class EventRunner : public ScriptRunner {
  public:
    std::string seen;

  protected:
    void stepped(std::int32_t) override {
        for (const Event& event : game().events) seen += describe(event) + "; ";
    }
};

// A game running from seed 1 plays the script; the events of every step in order.
std::string eventsOf(const std::vector<std::string>& script) {
    EventRunner runner;
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(runner.runLine("set state 1", out, error)) << error;
    for (const std::string& line : script)
        EXPECT_TRUE(runner.runLine(line, out, error)) << line << ": " << error;
    return runner.seen;
}

struct EventCase {
    const char* name;
    std::vector<std::string> script;
    std::string expected;
};

class Events : public testing::TestWithParam<EventCase> {};

TEST_P(Events, ComeOutInTheOrderTheyHappened) {
    EXPECT_EQ(eventsOf(GetParam().script), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, Events,
    testing::Values(
        EventCase{"catch", {"set conveyor 2 10 3", "tick"}, "caught 2; "},
        EventCase{"miss", {"set conveyor 1 10 3", "tick"}, "lost missed; "},
        EventCase{"fullPaddle",
                  {"set carried 1 2 3", "set conveyor 2 10 4", "tick"},
                  "lost paddle-full; "},
        EventCase{"fullColumn",
                  {"set bin 2 0 3", "set carried 1 0 0", "space"},
                  "dropped 2; lost column-full; "},
        // The first line's removal lets the hanging tile fall into the second.
        EventCase{"chain",
                  {"set bin 0 4 1", "set bin 1 4 1", "set bin 3 4 2", "set bin 4 4 2",
                   "set bin 2 3 2", "set carried 1 0 0", "space"},
                  "dropped 2; horizontal 3 depth 1; horizontal 3 depth 2; "},
        EventCase{"vertical",
                  {"set bin 0 4 1", "set bin 0 3 1", "set carried 1 0 0", "left", "left", "space"},
                  "dropped 0; vertical 3 depth 1; "},
        EventCase{"lifeAndTryAgain",
                  {"set dropsLeft 1", "set conveyor 0 10 1", "tick", "tick", "space"},
                  "lost missed; life lost 4; life lost 3; "},
        EventCase{"gameOver", {"set dropsLeft 0", "set lives 0", "tick", "tick"}, "game over; "},
        EventCase{"level",
                  {"set level 4", "set goal 4 1", "set conveyor 2 10 1", "tick"},
                  "caught 2; level 4; "},
        EventCase{"lastLevel", {"set level 7", "set goal 7 0", "tick"}, "level 7; game over; "},
        EventCase{"pause", {"pause", "tick", "pause"}, "paused; resumed; "}),
    [](const testing::TestParamInfo<EventCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace plonta
