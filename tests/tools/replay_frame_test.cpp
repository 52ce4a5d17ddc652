// A recording of play in the window, replayed by plonta-sim and by the window itself, ends on
// the very frame the window showed: pause blink, and a pause not yet drawn, included.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "draw/cairo/cairo_canvas.h"
#include "frontend/front_end.h"
#include "tests/frontend/string_sink.h"
#include "tools/plonta-sim/sim_runner.h"

namespace plonta {
namespace {

// The window's client area as a Cairo image, painted the way the displays paint.
class ImageDisplay final : public Display {
  public:
    bool create() override { return true; }
    void release() override {}
    std::string failure() const override { return {}; }
    Canvas* canvas() override { return &image; }
    void paintFrame(const FrameDrawer& drawer, const Game& game) override {
        image.clear();
        drawer.drawFrame(image, game);
    }
    CairoCanvas image{400, 500};
};

class StillHost final : public Host {
  public:
    std::uint32_t tickCount() override { return 2718; }
    void startTimer(std::uint32_t) override {}
    void stopTimer() override {}
    void tell(Trouble, const std::string&) override {}
};

std::string slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string pngOf(CairoCanvas& image, const std::string& name) {
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    const std::string path = std::string(PLONTA_ACTUAL_DIR) + "/" + name;
    EXPECT_TRUE(image.writePng(path.c_str()));
    return slurp(path);
}

struct Play {
    const char* name;
    // "t" a timer tick; any other word a key's command.
    const char* events;
};

class ReplayedFrame : public testing::TestWithParam<Play> {};

TEST_P(ReplayedFrame, IsTheFrameTheWindowShowed) {
    StillHost host;
    ImageDisplay display;
    FrontEnd window(host, display);
    std::string recording;
    window.record(std::make_unique<test::StringSink>(recording), "game.sim", "plonta");
    window.startUp();
    std::istringstream events(GetParam().events);
    std::string event;
    while (events >> event) {
        if (event == "t")
            window.timerTick();
        else
            window.key(playKey(*commandForWord(event)));
    }
    const std::string name = GetParam().name;
    const std::string shown = pngOf(display.image, name + "-window.png");

    SimRunner sim;
    std::istringstream script(recording + "shot " + PLONTA_ACTUAL_DIR + "/" + name + "-sim.png\n");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(sim.runScript(script, out, err), 0) << err.str();
    EXPECT_TRUE(slurp(std::string(PLONTA_ACTUAL_DIR) + "/" + name + "-sim.png") == shown)
        << "plonta-sim's shot differs from the window's frame\n"
        << recording;

    ImageDisplay replayDisplay;
    FrontEnd replay(host, replayDisplay);
    Recording steps;
    std::string error;
    ASSERT_TRUE(readRecording(recording, steps, error)) << error;
    replay.playBack(std::move(steps), 16);
    replay.startUp();
    while (replay.replaying()) replay.timerTick();
    EXPECT_TRUE(pngOf(replayDisplay.image, name + "-replayed.png") == shown)
        << "the window's replay ends on another frame\n"
        << recording;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Plays, ReplayedFrame, testing::Values(
    Play{"running", "space t t right t t left t down t"},
    Play{"pause_not_yet_drawn", "space t t pause"},
    Play{"paused_one_frame", "space t t pause t"},
    Play{"paused_two_frames", "space t t pause t t"},
    Play{"moved_while_paused", "space t pause t left t right"},
    Play{"resumed_not_yet_drawn", "space t pause t pause"},
    Play{"resumed", "space t pause t t t pause t t"},
    Play{"paused_before_the_start", "pause t t t"}),
    [](const testing::TestParamInfo<Play>& play) { return std::string(play.param.name); });
// clang-format on

} // namespace
} // namespace plonta
