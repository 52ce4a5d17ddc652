// The portable front end against a platform and a display that write down what they are asked:
// start-up order, ticks only while shown, which commands repaint, the exit statuses, shutdown
// and the timings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "script/fields.h"
#include "script/script_runner.h"
#include "shell/front_end.h"
#include "tests/shell/string_sink.h"

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
    void recordingFailed(const std::string& message) override {
        log_.push_back("recordingFailed " + message);
    }

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

// -- recording and replaying ---------------------------------------------------------------

Recording recordingOf(const std::string& text) {
    Recording recording;
    std::string error;
    EXPECT_TRUE(readRecording(text, recording, error)) << error;
    return recording;
}

// The game plonta-sim makes of a script.
std::string simDump(const std::string& script) {
    ScriptRunner runner;
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runner.runScript(in, out, err), 0) << err.str();
    return dumpGame(runner.game());
}

TEST_F(FrontEndTest, ARecordingOfLivePlayReplaysToTheSameGame) {
    std::string file;
    frontEnd.record(std::make_unique<test::StringSink>(file), "game.sim", "plonta");
    start();
    EXPECT_NE(file.find("\nseed 4242\n"), std::string::npos) << file;
    frontEnd.timerTick(); // ticks in Ready count too: they are frames the window drew
    frontEnd.command(Command::Action);
    for (int i = 0; i < 14; ++i) frontEnd.timerTick();
    frontEnd.command(Command::PaddleLeft);
    frontEnd.command(Command::TogglePause);
    frontEnd.timerTick();
    frontEnd.command(Command::TogglePause);
    frontEnd.active = false; // minimised: these ticks never happen
    frontEnd.timerTick();
    frontEnd.active = true;
    for (int i = 0; i < 6; ++i) frontEnd.timerTick();
    frontEnd.command(Command::Action);
    frontEnd.shutDown();
    EXPECT_EQ(file.substr(file.find("seed")),
              "seed 4242\ntick 1\nspace\ntick 14\nleft\npause\ntick 1\npause\ntick 6\nspace\n");
    EXPECT_EQ(simDump(file), dumpGame(frontEnd.game));
}

TEST_F(FrontEndTest, AReplayIsSeededFromItsFileAndPacedBySpeed) {
    frontEnd.playBack(recordingOf("# old game\nseed 77\nspace\ntick 2\n"), 4);
    platform.frontEnd = &frontEnd;
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"createDisplay", "startTimer 62", "repaint", "paint 0"}));
    Game expected;
    expected.setUp(standardRules, 77);
    EXPECT_EQ(dumpGame(frontEnd.game), dumpGame(expected));
}

TEST_F(FrontEndTest, EachFiringPlaysTheCommandsBeforeTheNextTickThenTheTick) {
    const std::string script = "seed 5\nspace\ntick 2\nleft\nright\nright\ntick 1\npause\ntick 1\n";
    frontEnd.playBack(recordingOf(script), 1);
    start();
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"repaint", "paint 1", "repaint", "paint 1"})); // space, then a tick
    EXPECT_EQ(frontEnd.game.spawnCounter, 1);
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"repaint", "paint 1"}));
    log.clear();
    frontEnd.timerTick();
    const Log commandAndFrame{"repaint", "paint 1"};
    Log threeCommandsAndATick;
    for (int i = 0; i < 4; ++i)
        threeCommandsAndATick.insert(threeCommandsAndATick.end(), commandAndFrame.begin(),
                                     commandAndFrame.end());
    EXPECT_EQ(log, threeCommandsAndATick);
    EXPECT_EQ(frontEnd.game.player.paddleLane, 3);
    log.clear();
    // The pause draws nothing, as a key would not; then the last tick, and the timer stops.
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"repaint", "paint 4", "stopTimer"}));
    EXPECT_FALSE(frontEnd.replaying());
    EXPECT_EQ(dumpGame(frontEnd.game), simDump(script));
}

TEST_F(FrontEndTest, KeysWaitForTheReplaysEndAndTheFirstOneAfterItGoesLive) {
    std::string file;
    frontEnd.playBack(recordingOf("seed 5\nspace\ntick 3\n"), 1);
    frontEnd.record(std::make_unique<test::StringSink>(file), "game.sim", "plonta");
    start();
    frontEnd.command(Command::PaddleRight);
    frontEnd.command(Command::TogglePause);
    EXPECT_TRUE(log.empty());
    for (int i = 0; i < 3; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.player.paddleLane, 2);
    EXPECT_EQ(frontEnd.game.state, GameState::Running);
    EXPECT_EQ(log.back(), "stopTimer");
    // A timer message already queued when the timer stopped: still no tick.
    const std::string ended = dumpGame(frontEnd.game);
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(dumpGame(frontEnd.game), ended);
    EXPECT_TRUE(log.empty());
    frontEnd.command(Command::PaddleLeft);
    EXPECT_EQ(log, (Log{"repaint", "paint 1", "startTimer 250"}));
    EXPECT_EQ(frontEnd.game.player.paddleLane, 1);
    frontEnd.timerTick();
    frontEnd.shutDown();
    // The replayed game, then the new play: a saved game that went on.
    EXPECT_EQ(file.substr(file.find("seed")), "seed 5\nspace\ntick 3\nleft\ntick 1\n");
    EXPECT_EQ(simDump(file), dumpGame(frontEnd.game));
}

TEST_F(FrontEndTest, TheWholeReplayIsInTheNewFileBeforeItPlays) {
    std::string file;
    int writes = 0;
    // Written as people write scripts: no seed, "down", ticks in pieces. Out comes the seed
    // it played, one word per command and one run per stretch of ticks.
    frontEnd.playBack(recordingOf("down\ntick 2\ntick 3\nright\n"), 1);
    frontEnd.record(std::make_unique<test::StringSink>(file, 0, nullptr, &writes), "game.sim",
                    "plonta");
    start();
    EXPECT_EQ(file.substr(file.find("seed")), "seed 1\nspace\ntick 5\nright\n");
    // The first lines, then the replayed game in one: a long game must not wait for a disk
    // sync per line before its first frame.
    EXPECT_EQ(writes, 2);
    frontEnd.quit();
    frontEnd.shutDown();
    EXPECT_EQ(file.substr(file.find("seed")), "seed 1\nspace\ntick 5\nright\n");
}

TEST_F(FrontEndTest, MinimisedTheReplayWaits) {
    frontEnd.playBack(recordingOf("space\ntick 2\n"), 1);
    start();
    frontEnd.active = false;
    for (int i = 0; i < 5; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.state, GameState::Ready);
    EXPECT_TRUE(frontEnd.replaying());
    frontEnd.active = true;
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.spawnCounter, 1);
}

TEST_F(FrontEndTest, AnEmptyReplayWaitsForAKeyFromTheStart) {
    frontEnd.playBack(recordingOf("seed 9\n"), 1);
    platform.frontEnd = &frontEnd;
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"createDisplay", "repaint", "paint 0"}));
    log.clear();
    frontEnd.command(Command::Action);
    EXPECT_EQ(log, (Log{"repaint", "paint 1", "startTimer 250"}));
}

TEST_F(FrontEndTest, ASeedInTheReplayStartsAFreshGameWithAFreshBlink) {
    frontEnd.playBack(recordingOf("space\npause\ntick 3\nseed 12\ntick 1\n"), 1);
    start();
    for (int i = 0; i < 3; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.drawer.pauseBlink, 1);
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.drawer.pauseBlink, 0);
    EXPECT_EQ(dumpGame(frontEnd.game), simDump("seed 12\ntick 1\n"));
}

TEST_F(FrontEndTest, AFailedWriteIsToldOnceAndTheGameGoesOn) {
    std::string file;
    // Write 1 is the first lines, 2 the Action, 3 the first tick.
    frontEnd.record(std::make_unique<test::StringSink>(file, 3), "/full/game.sim", "plonta");
    start();
    frontEnd.command(Command::Action);
    log.clear();
    for (int i = 0; i < 4; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game.spawnCounter, 4);
    const Log told(std::find_if(log.begin(), log.end(),
                                [](const std::string& entry) {
                                    return entry.rfind("recordingFailed", 0) == 0;
                                }),
                   log.end());
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front(), "recordingFailed plonta: /full/game.sim: No space left on device; "
                            "recording stopped, the game goes on");
    EXPECT_EQ(std::count(log.begin(), log.end(), told.front()), 1);
    EXPECT_EQ(file.substr(file.find("seed")), "seed 4242\nspace\n");
}

TEST_F(FrontEndTest, LoggingOffClosesTheRecordingAtOnce) {
    std::string file;
    bool closed = false;
    frontEnd.record(std::make_unique<test::StringSink>(file, 0, &closed), "game.sim", "plonta");
    start();
    frontEnd.command(Command::Action);
    frontEnd.sessionEnding();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frontEnd.keepRunning);
    EXPECT_EQ(frontEnd.exitStatus, exitStatusClosed);
}

} // namespace
} // namespace plonta
