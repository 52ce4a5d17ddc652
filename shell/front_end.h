// The program's own logic, the same on every platform: start-up order, what a tick and a key
// do, Escape and the exit status, recording and replaying, and the paint timings. A platform
// shell turns its window's events into calls on it and does for it what only the platform can
// (the Platform below).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "draw/frame.h"
#include "game/command.h"
#include "game/game.h"
#include "present/display.h"
#include "shell/paint_stats.h"
#include "shell/recording.h"

namespace plonta {

inline constexpr std::uint32_t tickPeriodMs = 250;

// How the program ended.
inline constexpr int exitStatusEscape = 27;
inline constexpr int exitStatusClosed = 0;
inline constexpr int exitStatusNoWindow = 1;

// What only the platform can do, called by the front end at the right moments.
class Platform {
  public:
    virtual ~Platform() = default;

    // Sets the display up on the window; true when frames can be drawn. False, telling no one,
    // while the window has no client area to draw on (started minimised).
    virtual bool createDisplay() = 0;
    // The millisecond tick count, read once as the game's seed.
    virtual std::uint32_t tickCount() = 0;
    // A periodic call of FrontEnd::timerTick on the loop's thread, until stopped.
    virtual void startTimer(std::uint32_t periodMs) = 0;
    virtual void stopTimer() = 0;
    // Has the frame painted now (FrontEnd::paint) and returns when it is on the screen.
    virtual void requestRepaint() = 0;
    virtual void releaseDisplay() = 0;
    // Writing the recording failed mid-game; the game goes on. Tells the player: here, one line
    // on standard error.
    virtual void recordingFailed(const std::string& message);
};

class FrontEnd {
  public:
    // The timings go to statsPath at shut-down; none are kept without one.
    FrontEnd(Platform& platform, Display& display, const char* statsPath = nullptr);

    // Before start-up: play this recording first, speed times as fast, seeded from it.
    void playBack(Recording recording, std::uint32_t speed);
    // Before start-up: write the game to sink as it is played; messages name the file path,
    // the recording's first line the program.
    void record(std::unique_ptr<RecordingSink> sink, std::string path, std::string program);

    // With the window shown: the display, the game seeded from the tick count (or the
    // recording played back), the drawing objects, the recording's first lines, the timer and
    // the first frame. The loop may run from here on.
    void startUp();
    // The timer fired: one step of play and its frame, but not while minimised. While a
    // recording plays, its next tick with the commands before it.
    void timerTick();
    // A key's command, and its frame unless it only toggles the pause (that shows at the
    // next tick). Keys reach the game minimised or not, but not while a recording plays; the
    // first one after it ends starts live play.
    void command(Command command);
    // Escape: the loop ends after the current pass, with status 27.
    void quit();
    // The window went: the loop ends with status 0.
    void windowClosed();
    // The session is ending (logging off): the recording is closed now, since the process may
    // not see its loop end; the loop ends with status 0.
    void sessionEnding();
    // The frame, drawn and shown now; nothing without a display.
    void paint();
    // The client area was resized, restored or minimised. A display not set up yet (a window
    // started minimised has no area to set it up on) is set up whenever there is an area,
    // and the frame shown.
    void clientAreaChanged(bool nonEmpty);
    // After the loop: timer off, display released, recording closed, timings written.
    void shutDown();

    bool replaying() const { return replaying_; }

    Game game;
    FrameDrawer drawer;
    // False while the window is minimised: no ticks then.
    bool active = true;
    bool keepRunning = false;
    bool displayReady = false;
    int exitStatus = exitStatusClosed;

  private:
    // Once on each canvas the display hands out.
    void makeDrawingObjects();
    void stepReplay();
    void startGame(std::uint32_t seed);
    // Tells the platform once when the recording stopped for a failed write.
    void checkRecording();

    Platform& platform_;
    Display& display_;
    PaintStats stats_;
    Canvas* objectsMadeOn_ = nullptr;

    Recorder recorder_;
    std::unique_ptr<RecordingSink> recordSink_;
    std::string recordPath_;
    std::string recordProgram_;

    Recording replay_;
    std::size_t replayNext_ = 0;
    std::uint32_t replayTicksDone_ = 0;
    std::uint32_t replaySpeed_ = 1;
    bool replaying_ = false;
    // The recording has ended: no ticks until a key starts live play.
    bool waitingForKey_ = false;
};

} // namespace plonta
