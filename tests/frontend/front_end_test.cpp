// The portable front end against a host and a display that write down what they are asked:
// start-up order, ticks only while shown, which commands paint, the display's life cycle, the
// exit statuses, shutdown, the timings file, recordings and replays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/front_end.h"
#include "script/fields.h"
#include "script/script_runner.h"
#include "tests/frontend/memory_folder.h"
#include "tests/frontend/string_sink.h"

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

// A paint logs the game's state, and "+" when the pause text shows.
class FakeDisplay final : public Display {
  public:
    explicit FakeDisplay(Log& log) : log_(log) {}
    bool create() override {
        log_.push_back("create");
        const bool made = works && clientArea;
        failure_ = works ? "" : "Step failed: no";
        // The SDL display's canvas is its back buffer, made with the rest of it.
        if (canvasComesWithDisplay) hasCanvas = made;
        return made;
    }
    bool resize() override {
        log_.push_back("resize");
        failure_ = works ? "" : "Step failed: no";
        if (!works) hasCanvas = false;
        return works;
    }
    void release() override { log_.push_back("release"); }
    std::string failure() const override { return failure_; }
    void showAll() override { log_.push_back("showAll"); }
    Canvas* canvas() override { return hasCanvas ? &canvas_ : nullptr; }
    void paintFrame(const FrameDrawer& drawer, const Game& game) override {
        log_.push_back("paint " + std::to_string(static_cast<int>(game.state)) +
                       (drawer.pauseBlink() == 1 ? "+" : ""));
        drawer.drawFrame(canvas_, game);
    }
    bool works = true;
    bool clientArea = true;
    bool canvasComesWithDisplay = false;
    bool hasCanvas = true;
    CountingCanvas canvas_;

  private:
    Log& log_;
    std::string failure_;
};

// Logs when it plays or rests; the test pulls the mixer as a device thread would.
class FakeAudio final : public AudioDevice {
  public:
    explicit FakeAudio(Log& log) : log_(log) {}
    bool open(Mixer& mixer, std::string& failure) override {
        mixer_ = &mixer;
        failure = works ? "" : "no card";
        return works;
    }
    void lock() override {}
    void unlock() override {}
    void rest() override { log_.push_back("sound rests"); }
    bool wake() override {
        log_.push_back("sound plays");
        return true;
    }
    void close() override {}
    // The loudest sample of the next frames.
    int loudest(std::size_t frames) {
        std::vector<std::int16_t> out(frames);
        mixer_->mix(out.data(), frames);
        int most = 0;
        for (const std::int16_t sample : out) most = std::max(most, std::abs(int{sample}));
        return most;
    }
    bool works = true;

  private:
    Log& log_;
    Mixer* mixer_ = nullptr;
};

class FakeHost final : public Host {
  public:
    AudioDevice* audioDevice() override { return audio; }
    AudioDevice* audio = nullptr;
    DataFolder* dataFolder() override { return folder; }
    DataFolder* folder = nullptr;
    explicit FakeHost(Log& log) : log_(log) {}
    std::uint32_t tickCount() override {
        log_.push_back("tickCount");
        return 4242;
    }
    void startTimer(std::uint32_t periodMs) override {
        log_.push_back("startTimer " + std::to_string(periodMs));
    }
    void stopTimer() override { log_.push_back("stopTimer"); }
    void toggleFullscreen() override { log_.push_back("fullscreen"); }
    void setTitle(const std::string& text) override { title = text; }
    std::string title; // kept apart from the log: only the replay cases look at it
    void announce(const std::string& text) override { said.push_back(text); }
    Language preferredLanguage() override { return Language::English; }
    Log said;
    void tell(Trouble trouble, const std::string& text) override {
        log_.push_back("tell " + std::to_string(static_cast<int>(trouble)) + " " + text);
    }

  private:
    Log& log_;
};

class FrontEndTest : public testing::Test {
  protected:
    void start() {
        frontEnd.startUp();
        log.clear();
    }
    void press(Command command) { frontEnd.key(playKey(command)); }
    Log log;
    FakeHost host{log};
    FakeDisplay display{log};
    FakeAudio audio{log};
    FrontEnd frontEnd{host, display};
};

TEST_F(FrontEndTest, StartUpSetsTheDisplayUpBeforeTheGameAndPaintsTheFirstFrame) {
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"create", "tickCount", "startTimer 250", "paint 0"}));
    EXPECT_TRUE(frontEnd.running());
    // Seeded with the tick count: the same game as a script's "seed 4242".
    Game expected;
    expected.setUp(standardRules, 4242);
    EXPECT_EQ(frontEnd.game().random.state, expected.random.state);
    EXPECT_EQ(frontEnd.game().player.lives, standardRules.startLives);
    EXPECT_EQ(display.canvas_.made, 15u);
}

TEST_F(FrontEndTest, SoundPlaysAsTheGameGoesRestsWhenQuietAndMIsSilence) {
    host.audio = &audio;
    start();
    press(Command::Action);
    // The first tile reaches the paddle's end at tick 21: caught or missed, it sounds.
    for (int i = 0; i < 21; ++i) frontEnd.timerTick();
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound plays"), 1);
    EXPECT_GT(audio.loudest(2 * SoundBank::sampleRate), 1000);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound rests"), 0);
    frontEnd.timerTick();
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound rests"), 1);
    frontEnd.key(muteKey);
    log.clear();
    for (int i = 0; i < 10; ++i) frontEnd.timerTick(); // the next tile's end
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound plays"), 0);
    EXPECT_EQ(audio.loudest(SoundBank::sampleRate), 0);
    EXPECT_TRUE(frontEnd.muted());
    // Minimised, no tick comes to rest the device: it rests at once.
    frontEnd.key(muteKey);
    for (int i = 0; i < 10; ++i) frontEnd.timerTick();
    ASSERT_EQ(std::count(log.begin(), log.end(), "sound plays"), 1);
    frontEnd.minimised(true);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound rests"), 1);
}

TEST_F(FrontEndTest, NoSoundDeviceIsToldOnceAndPlayGoesOn) {
    audio.works = false;
    host.audio = &audio;
    frontEnd.startUp();
    press(Command::Action);
    for (int i = 0; i < 21; ++i) frontEnd.timerTick();
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "tell 3 plonta: no sound (no card); the game goes on silently"),
              1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound plays"), 0);
    EXPECT_EQ(frontEnd.game().state, GameState::Running);
}

TEST_F(FrontEndTest, MinimisedTheTimerStopsAndShownAgainItStartsAFullPeriodLater) {
    frontEnd.minimised(true); // started minimised
    start();
    EXPECT_EQ(log, Log{});
    frontEnd.minimised(false);
    EXPECT_EQ(log, (Log{"startTimer 250"}));
    press(Command::Action);
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().spawnCounter, 1);
    EXPECT_EQ(log, (Log{"paint 1"}));
    log.clear();
    frontEnd.minimised(true);
    frontEnd.minimised(true);
    // A timer message already on its way ticks nothing.
    for (int i = 0; i < 20; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().spawnCounter, 1);
    EXPECT_EQ(log, (Log{"stopTimer"}));
    // Keys still reach the game.
    press(Command::PaddleLeft);
    EXPECT_EQ(frontEnd.game().player.paddleLane, 1);
    frontEnd.minimised(false);
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().spawnCounter, 2);
}

TEST_F(FrontEndTest, EveryCommandButThePauseRepaintsAfterItRan) {
    start();
    press(Command::Action);
    EXPECT_EQ(log, (Log{"paint 1"})); // the frame shows the command's result
    log.clear();
    press(Command::PaddleRight);
    press(Command::PaddleLeft);
    press(Command::PaddleLeft);
    EXPECT_EQ(frontEnd.game().player.paddleLane, 1);
    EXPECT_EQ(log, (Log{"paint 1", "paint 1", "paint 1"}));
    log.clear();
    press(Command::TogglePause);
    EXPECT_EQ(frontEnd.game().state, GameState::Paused);
    EXPECT_TRUE(log.empty());
    // Each frame drawn while paused flips the blink; uncovering the window draws one too.
    frontEnd.timerTick();
    frontEnd.timerTick();
    frontEnd.exposed();
    EXPECT_EQ(log, (Log{"paint 4+", "paint 4", "showAll", "paint 4+"}));
}

TEST_F(FrontEndTest, EscapeEndsWith27ClosingWith0AndNothingAfterIt) {
    start();
    EXPECT_EQ(frontEnd.exitStatus(), exitStatusClosed);
    frontEnd.key(fullscreenKey);
    EXPECT_EQ(log, (Log{"fullscreen"}));
    frontEnd.key(quitKey);
    EXPECT_FALSE(frontEnd.running());
    EXPECT_EQ(frontEnd.exitStatus(), 27);
    press(Command::Action);
    EXPECT_EQ(frontEnd.game().state, GameState::Ready);
    FrontEnd other{host, display};
    other.startUp();
    other.closed();
    EXPECT_FALSE(other.running());
    EXPECT_EQ(other.exitStatus(), 0);
}

TEST_F(FrontEndTest, WithoutADisplayThePlayGoesOnUnseenAndTheFailureIsToldOnce) {
    display.works = false;
    display.hasCanvas = false;
    start();
    press(Command::Action);
    for (int i = 0; i < 9; ++i) frontEnd.timerTick();
    frontEnd.exposed();
    EXPECT_EQ(frontEnd.game().spawnCounter, 9);
    EXPECT_TRUE(log.empty()); // nothing painted
    FrontEnd told{host, display};
    told.startUp();
    told.clientAreaChanged(400, 500);
    told.clientAreaChanged(0, 0);
    told.clientAreaChanged(400, 500);
    EXPECT_EQ(std::count(log.begin(), log.end(), "tell 1 Step failed: no"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "create"), 3);
}

TEST_F(FrontEndTest, ShutDownStopsTheTimerThenReleasesTheDisplay) {
    start();
    frontEnd.shutDown();
    EXPECT_EQ(log, (Log{"stopTimer", "release"}));
    log.clear();
    frontEnd.exposed();
    EXPECT_TRUE(log.empty());
}

TEST_F(FrontEndTest, TimingsFileHoldsOneSampleForEachPaint) {
    const std::string path = testing::TempDir() + "plonta_front_end_stats.json";
    std::remove(path.c_str());
    frontEnd.writeTimingsTo(path.c_str());
    frontEnd.startUp();
    press(Command::Action);
    frontEnd.timerTick();
    frontEnd.shutDown();
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
        display.canvasComesWithDisplay = GetParam();
        display.hasCanvas = !GetParam();
    }
};

TEST_P(LateDisplay, StartedMinimisedTheDisplayIsSetUpWhenTheWindowGetsItsArea) {
    display.clientArea = false;
    frontEnd.clientAreaChanged(0, 0);
    start();
    frontEnd.clientAreaChanged(0, 0);
    frontEnd.timerTick();
    EXPECT_TRUE(log.empty()); // nothing to paint on yet

    display.clientArea = true;
    frontEnd.clientAreaChanged(400, 500);
    EXPECT_EQ(log, (Log{"create", "paint 0"}));
    // Fifteen objects, made once whichever way the canvas came.
    EXPECT_EQ(display.canvas_.made, 15u);

    log.clear();
    frontEnd.clientAreaChanged(400, 500);
    frontEnd.clientAreaChanged(0, 0);
    frontEnd.clientAreaChanged(400, 500);
    EXPECT_TRUE(log.empty());
    press(Command::Action);
    EXPECT_EQ(log, (Log{"paint 1"}));
}

TEST_P(LateDisplay, AFailedSetUpIsTriedAgainWhenThereIsAnArea) {
    display.works = false;
    start();
    frontEnd.clientAreaChanged(0, 0);
    EXPECT_TRUE(log.empty());
    frontEnd.clientAreaChanged(400, 500);
    EXPECT_EQ(log, (Log{"create"}));
    display.works = true;
    frontEnd.clientAreaChanged(400, 500);
    EXPECT_EQ(display.canvas_.made, 15u);
    log.clear();
    frontEnd.exposed();
    EXPECT_EQ(log, (Log{"showAll", "paint 0"}));
}

TEST_P(LateDisplay, NothingIsSetUpBeforeStartUpOrAfterTheEnd) {
    display.clientArea = false;
    frontEnd.clientAreaChanged(400, 500);
    EXPECT_TRUE(log.empty());
    frontEnd.startUp();
    frontEnd.key(quitKey);
    log.clear();
    display.clientArea = true;
    frontEnd.clientAreaChanged(800, 1000);
    frontEnd.exposed();
    EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(Canvas, LateDisplay, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "MadeWithTheDisplay" : "ThereFromTheStart";
                         });

TEST_F(FrontEndTest, ANewSizeIsFollowedAndAFailureThereMakesTheDisplayAnew) {
    display.canvasComesWithDisplay = true;
    frontEnd.clientAreaChanged(400, 500);
    start();
    frontEnd.clientAreaChanged(1920, 1080);
    EXPECT_EQ(log, (Log{"resize", "paint 0"}));
    // The resize failed: the display went, with its back buffer; told once, play goes on.
    display.works = false;
    log.clear();
    frontEnd.clientAreaChanged(400, 500);
    press(Command::Action);
    EXPECT_EQ(log, (Log{"resize", "tell 1 Step failed: no"}));
    display.works = true;
    frontEnd.clientAreaChanged(400, 500);
    // The stand-in's new canvas lies where the old one was; it is new all the same.
    EXPECT_EQ(display.canvas_.made, 30u);
    EXPECT_EQ(log.back(), "paint 1");
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
    press(Command::Action);
    for (int i = 0; i < 14; ++i) frontEnd.timerTick();
    press(Command::PaddleLeft);
    press(Command::TogglePause);
    frontEnd.timerTick();
    press(Command::TogglePause);
    frontEnd.minimised(true); // minimised: these ticks never happen
    frontEnd.timerTick();
    frontEnd.minimised(false);
    for (int i = 0; i < 6; ++i) frontEnd.timerTick();
    press(Command::Action);
    frontEnd.key(newGameKey);
    press(Command::Action);
    frontEnd.shutDown();
    EXPECT_EQ(file.substr(file.find("seed")), "seed 4242\ntick 1\nspace\ntick 14\nleft\npause\n"
                                              "tick 1\npause\ntick 6\nspace\nseed 4242\nspace\n");
    EXPECT_EQ(simDump(file), dumpGame(frontEnd.game()));
}

TEST_F(FrontEndTest, ANewGameStartsAtOnceFromTheTickCountAndEndsAPlayback) {
    frontEnd.playBack(recordingOf("seed 5\nspace\ntick 30\n"), 4);
    start();
    frontEnd.key(newGameKey);
    // Its first frame now, its first tick a whole live period later.
    EXPECT_EQ(log, (Log{"tickCount", "paint 0", "startTimer 250"}));
    EXPECT_FALSE(frontEnd.replaying());
    EXPECT_EQ(host.title, "Plonta-Test");
    Game fresh;
    fresh.setUp(standardRules, 4242);
    EXPECT_EQ(dumpGame(frontEnd.game()), dumpGame(fresh));
    // Minimised, nothing ticks until the window is back; after Escape nothing happens.
    frontEnd.minimised(true);
    log.clear();
    frontEnd.key(newGameKey);
    frontEnd.key(quitKey);
    frontEnd.key(newGameKey);
    EXPECT_EQ(log, (Log{"tickCount", "paint 0"}));
}

TEST_F(FrontEndTest, AReplayIsSeededFromItsFileAndPacedBySpeed) {
    frontEnd.playBack(recordingOf("# old game\nseed 77\nspace\ntick 2\n"), 4);
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"create", "startTimer 62", "paint 0"}));
    Game expected;
    expected.setUp(standardRules, 77);
    EXPECT_EQ(dumpGame(frontEnd.game()), dumpGame(expected));
}

TEST_F(FrontEndTest, EachFiringPlaysTheCommandsBeforeTheNextTickThenTheTick) {
    const std::string script = "seed 5\nspace\ntick 2\nleft\nright\nright\ntick 1\npause\ntick 1\n";
    frontEnd.playBack(recordingOf(script), 1);
    start();
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"paint 1", "paint 1"})); // space, then a tick
    EXPECT_EQ(frontEnd.game().spawnCounter, 1);
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"paint 1"}));
    log.clear();
    frontEnd.timerTick();
    const Log commandAndFrame{"paint 1"};
    Log threeCommandsAndATick;
    for (int i = 0; i < 4; ++i)
        threeCommandsAndATick.insert(threeCommandsAndATick.end(), commandAndFrame.begin(),
                                     commandAndFrame.end());
    EXPECT_EQ(log, threeCommandsAndATick);
    EXPECT_EQ(frontEnd.game().player.paddleLane, 3);
    log.clear();
    // The pause draws nothing, as a key would not; then the last tick, and the timer stops.
    frontEnd.timerTick();
    EXPECT_EQ(log, (Log{"paint 4+", "stopTimer"}));
    EXPECT_FALSE(frontEnd.replaying());
    EXPECT_EQ(dumpGame(frontEnd.game()), simDump(script));
}

TEST_F(FrontEndTest, KeysWaitForTheReplaysEndAndTheFirstOneAfterItGoesLive) {
    std::string file;
    frontEnd.playBack(recordingOf("seed 5\nspace\ntick 3\n"), 1);
    frontEnd.record(std::make_unique<test::StringSink>(file), "game.sim", "plonta");
    start();
    press(Command::PaddleRight);
    press(Command::TogglePause);
    EXPECT_TRUE(log.empty());
    for (int i = 0; i < 3; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().player.paddleLane, 2);
    EXPECT_EQ(frontEnd.game().state, GameState::Running);
    EXPECT_EQ(log.back(), "stopTimer");
    // A timer message already queued when the timer stopped: still no tick.
    const std::string ended = dumpGame(frontEnd.game());
    log.clear();
    frontEnd.timerTick();
    EXPECT_EQ(dumpGame(frontEnd.game()), ended);
    EXPECT_TRUE(log.empty());
    press(Command::PaddleLeft);
    EXPECT_EQ(log, (Log{"paint 1", "startTimer 250"}));
    EXPECT_EQ(frontEnd.game().player.paddleLane, 1);
    frontEnd.timerTick();
    frontEnd.shutDown();
    // The replayed game, then the new play: a saved game that went on.
    EXPECT_EQ(file.substr(file.find("seed")), "seed 5\nspace\ntick 3\nleft\ntick 1\n");
    EXPECT_EQ(simDump(file), dumpGame(frontEnd.game()));
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
    frontEnd.key(quitKey);
    frontEnd.shutDown();
    EXPECT_EQ(file.substr(file.find("seed")), "seed 1\nspace\ntick 5\nright\n");
}

// Skipped, the rest plays at once to the frame the whole replay would have ended on, the pause
// blink's phase included; the title tells a replay, its end, and live play again.
TEST_F(FrontEndTest, EndSkipsTheReplayToItsLastFrameAndTheTitleFollows) {
    const std::string script = "seed 12\nspace\ntick 2\npause\ntick 3\n";
    frontEnd.playBack(recordingOf(script), 1);
    start();
    EXPECT_EQ(host.title, "Plonta-Test - replay (End skips to its end)");
    frontEnd.timerTick();
    log.clear();
    frontEnd.key(skipReplayKey);
    // The whole replay's last frame, the third paused one: with the pause text.
    EXPECT_EQ(log, (Log{"stopTimer", "paint 4+"}));
    EXPECT_FALSE(frontEnd.replaying());
    EXPECT_EQ(dumpGame(frontEnd.game()), simDump(script));
    EXPECT_EQ(host.title, "Plonta-Test - replay ended (a game key plays on)");
    press(Command::TogglePause);
    EXPECT_EQ(host.title, "Plonta-Test");
    // Years of ticks take no time.
    FrontEnd longer{host, display};
    longer.playBack(recordingOf("seed 3\nspace\ntick 2147483647\n"), 1);
    longer.startUp();
    longer.key(skipReplayKey);
    EXPECT_EQ(dumpGame(longer.game()), simDump("seed 3\nspace\ntick 2147483647\n"));
}

TEST_F(FrontEndTest, MinimisedTheReplayWaits) {
    frontEnd.playBack(recordingOf("space\ntick 2\n"), 1);
    start();
    frontEnd.minimised(true);
    for (int i = 0; i < 5; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().state, GameState::Ready);
    EXPECT_TRUE(frontEnd.replaying());
    frontEnd.minimised(false);
    frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().spawnCounter, 1);
}

TEST_F(FrontEndTest, AnEmptyReplayWaitsForAKeyFromTheStart) {
    frontEnd.playBack(recordingOf("seed 9\n"), 1);
    frontEnd.startUp();
    EXPECT_EQ(log, (Log{"create", "paint 0"}));
    log.clear();
    press(Command::Action);
    EXPECT_EQ(log, (Log{"paint 1", "startTimer 250"}));
}

TEST_F(FrontEndTest, ASeedInTheReplayStartsAFreshGameWithAFreshBlink) {
    const std::string fresh = "seed 12\nspace\npause\ntick 1\n";
    frontEnd.playBack(recordingOf("space\npause\ntick 3\n" + fresh), 1);
    start();
    for (int i = 0; i < 4; ++i) frontEnd.timerTick();
    // The new game's first paused frame shows the text, whatever the old blink was.
    EXPECT_EQ(log, (Log{"paint 1", "paint 4+", "paint 4", "paint 4+", "paint 0", "paint 1",
                        "paint 4+", "stopTimer"}));
    EXPECT_EQ(dumpGame(frontEnd.game()), simDump(fresh));
}

TEST_F(FrontEndTest, AFailedWriteIsToldOnceAndTheGameGoesOn) {
    std::string file;
    // Write 1 is the first lines, 2 the Action, 3 the first tick.
    frontEnd.record(std::make_unique<test::StringSink>(file, 3), "/full/game.sim", "plonta");
    start();
    press(Command::Action);
    log.clear();
    for (int i = 0; i < 4; ++i) frontEnd.timerTick();
    EXPECT_EQ(frontEnd.game().spawnCounter, 4);
    const Log told(
        std::find_if(log.begin(), log.end(),
                     [](const std::string& entry) { return entry.rfind("tell 2", 0) == 0; }),
        log.end());
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front(), "tell 2 plonta: /full/game.sim: No space left on device; "
                            "recording stopped, the game goes on");
    EXPECT_EQ(std::count(log.begin(), log.end(), told.front()), 1);
    EXPECT_EQ(file.substr(file.find("seed")), "seed 4242\nspace\n");
}

TEST_F(FrontEndTest, LoggingOffClosesTheRecordingAtOnce) {
    std::string file;
    bool closed = false;
    frontEnd.record(std::make_unique<test::StringSink>(file, 0, &closed), "game.sim", "plonta");
    start();
    press(Command::Action);
    frontEnd.sessionEnding();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frontEnd.running());
    EXPECT_EQ(frontEnd.exitStatus(), exitStatusClosed);
}

} // namespace
} // namespace plonta

namespace plonta {
namespace {

enum class Leaving : std::uint8_t { Escape, Closed, LoggingOff, NewGame };

struct Keeping {
    const char* replay; // played back first, to its end; null for none
    bool actionFirst;   // Space, then the ticks, live
    int liveTicks;
    Leaving leaving;
    bool kept;
};

class GamesKept : public FrontEndTest, public testing::WithParamInterface<Keeping> {};

// A game enters the best games when it is left with a score, live play in it; a replay alone
// never does, and one continued live does with its whole recording.
TEST_P(GamesKept, WhenLeftWithAScoreAndPlayedLive) {
    test::MemoryFolder folder;
    host.folder = &folder;
    if (GetParam().replay != nullptr) frontEnd.playBack(recordingOf(GetParam().replay), 1);
    start();
    for (int i = 0; i < 40; ++i) frontEnd.timerTick();
    if (GetParam().actionFirst) press(Command::Action);
    for (int i = 0; i < GetParam().liveTicks; ++i) frontEnd.timerTick();
    const Game left = frontEnd.game();
    switch (GetParam().leaving) {
    case Leaving::Escape: frontEnd.key(quitKey); break;
    case Leaving::Closed: frontEnd.closed(); break;
    case Leaving::LoggingOff: frontEnd.sessionEnding(); break;
    case Leaving::NewGame: frontEnd.key(newGameKey); break;
    }
    frontEnd.shutDown();
    ASSERT_EQ(folder.games.size(), GetParam().kept ? 1u : 0u);
    if (!GetParam().kept) return;
    const std::string& kept = folder.games.begin()->second.text;
    EXPECT_EQ(simDump(kept), dumpGame(left));
    if (GetParam().replay != nullptr) {
        EXPECT_EQ(kept.substr(kept.find("seed")).rfind(GetParam().replay, 0), 0u);
    }
}

// Seed 4242 (the tick count) scores at its 80th tick, seed 5 at its 40th.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Endings, GamesKept, testing::Values(
    Keeping{nullptr, true, 80, Leaving::Escape, true},
    Keeping{nullptr, true, 80, Leaving::Closed, true},
    Keeping{nullptr, true, 80, Leaving::LoggingOff, true},
    Keeping{nullptr, true, 80, Leaving::NewGame, true},
    Keeping{nullptr, true, 20, Leaving::Escape, false},
    Keeping{"seed 5\nspace\ntick 40\n", false, 0, Leaving::Escape, false},
    Keeping{"seed 5\nspace\ntick 40\n", true, 0, Leaving::Closed, true}));
// clang-format on

TEST_F(FrontEndTest, AFolderThatCannotBeWrittenIsToldOnceAndPlayGoesOn) {
    test::MemoryFolder folder;
    folder.refuseWrites = true;
    host.folder = &folder;
    start();
    frontEnd.key(muteKey);
    frontEnd.key(muteKey);
    press(Command::Action);
    for (int i = 0; i < 80; ++i) frontEnd.timerTick();
    ASSERT_GT(frontEnd.game().player.score, 0);
    frontEnd.key(quitKey);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.rfind("tell 4 ", 0) == 0; }),
              1);
    EXPECT_TRUE(folder.games.empty());
    EXPECT_EQ(frontEnd.exitStatus(), exitStatusEscape);
}

TEST_F(FrontEndTest, MIsKeptForTheNextStartAndMuteForItsRunOnly) {
    test::MemoryFolder folder;
    host.folder = &folder;
    frontEnd.startMuted(true);
    start();
    frontEnd.key(quitKey);
    frontEnd.shutDown();
    EXPECT_EQ(folder.settings, "");
    FrontEnd second{host, display};
    second.startUp();
    EXPECT_FALSE(second.muted());
    second.key(muteKey);
    second.shutDown();
    FrontEnd third{host, display};
    third.startUp();
    EXPECT_TRUE(third.muted());
}

TEST_F(FrontEndTest, AScreenReaderHearsTheMomentsOfAGameNotItsTicks) {
    // With the paddle where no tile comes, every tile is missed: the lives go in 600 ticks.
    start();
    for (const Command command : {Command::PaddleRight, Command::PaddleRight, Command::Action,
                                  Command::TogglePause, Command::TogglePause})
        press(command);
    for (int i = 0; i < 600; ++i) {
        frontEnd.timerTick();
        if (frontEnd.game().state == GameState::LifeLost) press(Command::Action);
    }
    // Ready, started, paused and on again; two lost lives, each tried again (a try costs a life
    // too); the end.
    ASSERT_EQ(host.said.size(), 4U + 2 * 2 + 1);
    EXPECT_EQ(host.said[1], "The game has started. Level 1, goal: 5 vertical lines.");
    EXPECT_EQ(host.said[4], "Too many tiles dropped! 4 lives left. Press Space to try again.");
    EXPECT_EQ(host.said.back(), "Game over. 0 points.");
}

} // namespace
} // namespace plonta
