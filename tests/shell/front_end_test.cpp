// The portable front end against a platform and a display that write down what they are asked:
// start-up order, ticks only while shown, which commands repaint, the exit statuses, shutdown
// and the timings file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "shell/front_end.h"

namespace plonta {
namespace {

using Log = std::vector<std::string>;

// Hands out distinct handles and draws nothing.
class CountingCanvas final : public Canvas {
  public:
    DrawingHandle createPen(std::int32_t, Colour) override { return ++made; }
    DrawingHandle createSolidBrush(Colour) override { return ++made; }
    DrawingHandle createFont(const FontRequest&) override { return ++made; }
    void selectObject(DrawingHandle) override {}
    void moveTo(std::int32_t, std::int32_t) override {}
    void lineTo(std::int32_t, std::int32_t) override {}
    void rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void roundRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                   std::int32_t) override {}
    void setBkMode(BackgroundMode) override {}
    void setTextColor(Colour) override {}
    void setTextAlign(std::uint32_t) override {}
    void textOut(std::int32_t, std::int32_t, const char*, std::int32_t) override {}
    DrawingHandle made = 0;
};

class FakeDisplay final : public Display {
  public:
    explicit FakeDisplay(Log& log) : log_(log) {}
    Canvas* canvas() override { return hasCanvas ? &canvas_ : nullptr; }
    void paintFrame(FrameDrawer& drawer, const Game& game) override {
        log_.push_back("paint " + std::to_string(static_cast<int>(game.state)));
        drawer.drawFrame(canvas_, game);
    }
    bool hasCanvas = true;
    CountingCanvas canvas_;

  private:
    Log& log_;
};

class FakePlatform final : public Platform {
  public:
    explicit FakePlatform(Log& log) : log_(log) {}
    bool createDisplay() override {
        log_.push_back("createDisplay");
        const bool made = displayWorks && clientArea;
        // The SDL display's canvas is its back buffer, made with the rest of it.
        if (canvasComesWithDisplay) display->hasCanvas = made;
        return made;
    }
    std::uint32_t tickCount() override {
        log_.push_back("tickCount");
        return 4242;
    }
    void startTimer(std::uint32_t periodMs) override {
        log_.push_back("startTimer " + std::to_string(periodMs));
    }
    void stopTimer() override { log_.push_back("stopTimer"); }
    void requestRepaint() override {
        log_.push_back("repaint");
        frontEnd->paint();
    }
    void releaseDisplay() override { log_.push_back("releaseDisplay"); }

    bool displayWorks = true;
    bool clientArea = true;
    bool canvasComesWithDisplay = false;
    FrontEnd* frontEnd = nullptr;
    FakeDisplay* display = nullptr;

  private:
    Log& log_;
};

class FrontEndTest : public testing::Test {
  protected:
    void start() {
        platform.frontEnd = &frontEnd;
        platform.display = &display;
        frontEnd.startUp();
        log.clear();
    }
    Log log;
    FakePlatform platform{log};
    FakeDisplay display{log};
    FrontEnd frontEnd{platform, display};
};

TEST_F(FrontEndTest, StartUpSetsTheDisplayUpBeforeTheGameAndPaintsTheFirstFrame) {
    platform.frontEnd = &frontEnd;
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"createDisplay", "tickCount", "startTimer 250", "repaint", "paint 0"}));
    EXPECT_TRUE(frontEnd.displayReady);
    EXPECT_TRUE(frontEnd.keepRunning);
    // Seeded with the tick count: the same game as a script's "seed 4242".
    Game expected;
    expected.setUp(standardRules, 4242);
    EXPECT_EQ(frontEnd.game.random.state, expected.random.state);
    EXPECT_EQ(frontEnd.game.player.lives, standardRules.startLives);
    for (DrawingHandle handle : frontEnd.drawer.drawingObjects) EXPECT_NE(handle, 0u);
}

TEST_F(FrontEndTest, TicksOnlyWhileShownAndEachTickRepaints) {
    start();
    frontEnd.command(Command::Action);
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.spawnCounter, 1);
    EXPECT_EQ(log, (Log{"repaint", "paint 1"}));
    frontEnd.active = false;
    log.clear();
    for (int i = 0; i < 20; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.spawnCounter, 1);
    EXPECT_TRUE(log.empty());
    frontEnd.active = true;
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.spawnCounter, 2);
}

TEST_F(FrontEndTest, EveryCommandButThePauseRepaintsAfterItRan) {
    start();
    frontEnd.command(Command::Action);
    EXPECT_EQ(log, (Log{"repaint", "paint 1"})); // the frame shows the command's result
    log.clear();
    frontEnd.command(Command::PaddleRight);
    frontEnd.command(Command::PaddleLeft);
    frontEnd.command(Command::PaddleLeft);
    EXPECT_EQ(frontEnd.game.player.paddleLane, 1);
    EXPECT_EQ(log, (Log{"repaint", "paint 1", "repaint", "paint 1", "repaint", "paint 1"}));
    log.clear();
    frontEnd.command(Command::TogglePause);
    EXPECT_EQ(frontEnd.game.state, GameState::Paused);
    EXPECT_TRUE(log.empty());
}

TEST_F(FrontEndTest, KeysReachTheGameWhileMinimised) {
    start();
    frontEnd.active = false;
    frontEnd.command(Command::Action);
    EXPECT_EQ(frontEnd.game.state, GameState::Running);
}

TEST_F(FrontEndTest, EscapeEndsWith27AndClosingWith0) {
    start();
    EXPECT_EQ(frontEnd.exitStatus, exitStatusClosed);
    frontEnd.quit();
    EXPECT_FALSE(frontEnd.keepRunning);
    EXPECT_EQ(frontEnd.exitStatus, 27);
    FrontEnd other{platform, display};
    platform.frontEnd = &other;
    other.startUp();
    other.windowClosed();
    EXPECT_FALSE(other.keepRunning);
    EXPECT_EQ(other.exitStatus, 0);
}

TEST_F(FrontEndTest, WithoutADisplayThePlayGoesOnUnseen) {
    platform.displayWorks = false;
    display.hasCanvas = false;
    start();
    EXPECT_FALSE(frontEnd.displayReady);
    frontEnd.command(Command::Action);
    for (int i = 0; i < 9; ++i) frontEnd.timerTick();
    frontEnd.paint();
    EXPECT_EQ(frontEnd.game.spawnCounter, 9);
    EXPECT_EQ(log, Log(10, "repaint")); // asked for, but nothing painted
    EXPECT_EQ(frontEnd.drawer.drawingObjects[0], 0u);
}

TEST_F(FrontEndTest, ShutDownStopsTheTimerThenReleasesTheDisplay) {
    start();
    frontEnd.shutDown();
    EXPECT_EQ(log, (Log{"stopTimer", "releaseDisplay"}));
    EXPECT_FALSE(frontEnd.displayReady);
    log.clear();
    frontEnd.paint();
    EXPECT_TRUE(log.empty());
}

TEST_F(FrontEndTest, TimingsFileHoldsOneSampleForEachPaint) {
    const std::string path = testing::TempDir() + "plonta_front_end_stats.json";
    std::remove(path.c_str());
    FrontEnd timed{platform, display, path.c_str()};
    platform.frontEnd = &timed;
    timed.startUp();
    timed.command(Command::Action);
    timed.timerTick();
    timed.shutDown();
    std::ifstream file(path);
    const std::string json((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(json.empty());
    for (const char* key :
         {"first_frame_monotonic_ns", "paint_ns", "compose_ns", "present_ns", "key_to_frame_ns"})
        EXPECT_NE(json.find(key), std::string::npos) << key;
    // Three paints, one key: three samples in each paint list, one key-to-frame.
    const auto listLength = [&json](const std::string& key) {
        const std::size_t open = json.find('[', json.find(key));
        const std::size_t close = json.find(']', open);
        const std::string list = json.substr(open + 1, close - open - 1);
        return list.empty() ? 0 : 1 + std::count(list.begin(), list.end(), ',');
    };
    EXPECT_EQ(listLength("\"paint_ns\""), 3);
    EXPECT_EQ(listLength("\"present_ns\""), 3);
    EXPECT_EQ(listLength("\"key_to_frame_ns\""), 1);
}

// The two kinds of display: a canvas made with the display (SDL's back buffer), and one there
// from the start (GDI's, whose objects need no device context).
class LateDisplay : public FrontEndTest, public testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        platform.canvasComesWithDisplay = GetParam();
        display.hasCanvas = !GetParam();
    }
};

TEST_P(LateDisplay, StartedMinimisedTheDisplayIsSetUpWhenTheWindowGetsItsArea) {
    platform.clientArea = false;
    start();
    EXPECT_FALSE(frontEnd.displayReady);
    frontEnd.clientAreaChanged(false);
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"repaint"})); // nothing to paint on yet

    log.clear();
    platform.clientArea = true;
    frontEnd.clientAreaChanged(true);
    EXPECT_TRUE(frontEnd.displayReady);
    EXPECT_EQ(log, (Log{"createDisplay", "repaint", "paint 0"}));
    // Fifteen objects, made once whichever way the canvas came.
    EXPECT_EQ(display.canvas_.made, 15u);
    for (DrawingHandle handle : frontEnd.drawer.drawingObjects) EXPECT_NE(handle, 0u);

    log.clear();
    frontEnd.clientAreaChanged(true);
    frontEnd.clientAreaChanged(false);
    EXPECT_TRUE(log.empty());
    frontEnd.command(Command::Action);
    EXPECT_EQ(log, (Log{"repaint", "paint 1"}));
}

TEST_P(LateDisplay, AFailedSetUpIsTriedAgainWhenThereIsAnArea) {
    platform.displayWorks = false;
    start();
    frontEnd.clientAreaChanged(false);
    EXPECT_TRUE(log.empty());
    frontEnd.clientAreaChanged(true);
    EXPECT_EQ(log, (Log{"createDisplay"}));
    platform.displayWorks = true;
    frontEnd.clientAreaChanged(true);
    EXPECT_TRUE(frontEnd.displayReady);
    EXPECT_EQ(display.canvas_.made, 15u);
}

TEST_P(LateDisplay, NothingIsSetUpBeforeStartUpOrAfterTheEnd) {
    platform.frontEnd = &frontEnd;
    platform.display = &display;
    platform.clientArea = false;
    frontEnd.clientAreaChanged(true);
    EXPECT_TRUE(log.empty());
    frontEnd.startUp();
    frontEnd.quit();
    log.clear();
    platform.clientArea = true;
    frontEnd.clientAreaChanged(true);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(frontEnd.displayReady);
}

INSTANTIATE_TEST_SUITE_P(Canvas, LateDisplay, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "MadeWithTheDisplay" : "ThereFromTheStart";
                         });

TEST_F(FrontEndTest, ADisplayMadeAgainGetsObjectsOnItsNewCanvas) {
    platform.canvasComesWithDisplay = true;
    start();
    EXPECT_EQ(display.canvas_.made, 15u);
    // The SDL shell's restore failed: the display went, with its back buffer.
    display.hasCanvas = false;
    frontEnd.displayReady = false;
    frontEnd.clientAreaChanged(true);
    EXPECT_TRUE(frontEnd.displayReady);
    // The stand-in's new canvas lies where the old one was; it is new all the same.
    EXPECT_EQ(display.canvas_.made, 30u);
}

} // namespace
} // namespace plonta
