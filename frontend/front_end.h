// The program's own logic, the same on every host: it owns the game, the display's life cycle,
// the drawing, recordings and replays. The host reports what happened to its window (shown,
// minimised, resized, uncovered, a key, closed) and serves what only it can (the Host).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "audio/speaker.h"
#include "draw/frame.h"
#include "frontend/announcements.h"
#include "frontend/best_games.h"
#include "frontend/gamepad.h"
#include "frontend/host.h"
#include "frontend/paint_stats.h"
#include "frontend/recording.h"
#include "frontend/replay.h"
#include "frontend/score_sender.h"
#include "frontend/settings.h"
#include "game/game.h"
#include "present/display.h"

namespace plonta {

// How the program ended.
inline constexpr int exitStatusEscape = 27;
inline constexpr int exitStatusClosed = 0;
inline constexpr int exitStatusNoWindow = 1;

class FrontEnd {
  public:
    FrontEnd(Host& host, Display& display);

    // Before start-up: the paint and key timings go to this file at shut-down.
    void writeTimingsTo(const char* path);
    // Before start-up: play this recording first, speed times as fast, seeded from it.
    void playBack(Recording recording, std::uint32_t speed);
    // Before start-up: write the game to sink as it is played; messages name the file path,
    // the recording's first line the program.
    void record(std::unique_ptr<RecordingSink> sink, std::string path, std::string program);

    // Before start-up: the program's name, which the recordings' first lines give.
    void nameProgram(std::string program) { recordProgram_ = std::move(program); }
    // Before start-up: the sound starts muted.
    void startMuted(bool muted) { startMuted_ = muted; }
    // Before start-up: the tile marks on, and a language, for this run whatever is kept.
    void startWith(bool marks, std::optional<Language> language) {
        startMarks_ = marks;
        startLanguage_ = language;
    }
    // Before start-up: S on the best games sends the chosen game to this server under this
    // name, through client.
    void sendScoresTo(ServerAddress server, std::string name, ScoreClient& client);
    // Before start-up, on a host that starts a new front end for each game (the page): what the
    // player set goes on, the mute, the fullscreen, the marks, the language and the pads with
    // what they hold.
    void carryOverFrom(const FrontEnd& previous);

    // The window is shown: the display, the game seeded from the tick count (or the recording
    // played back), the drawing objects, the recording's first lines, the timer and the first
    // frame. The host's loop runs from here while running().
    void startUp();
    // The host's timer fired: one step of play and its frame. While a recording plays, its
    // next tick with the commands before it.
    void timerTick();
    // A key's action. A command reaches the game minimised or not, but not while a recording
    // plays; the first one after it ends starts live play. Its frame follows unless it only
    // toggles the pause (that shows at the next tick). A new game is seeded from the tick count.
    // Skipping plays the rest of a replay at once. While a replay plays and after it ended, the
    // window's title says so.
    void key(KeyAction action);
    // Minimised, nothing ticks; shown again, the next tick is a whole period away.
    void minimised(bool minimised);
    // The window's client area now measures width by height (0 by 0 minimised). A display not
    // set up yet is set up once there is an area; one that is follows a new size.
    void clientAreaChanged(int width, int height);
    // The window system lost what the window showed: the frame again, whole.
    void exposed();
    // The host's loop woke for Host::wakeLoop: a game's answer from the server is shown.
    void woken();
    // The window went: the loop ends with status 0.
    void closed();
    // The session is ending (logging off): the recording is closed now, since the process may
    // not see its loop end; the loop ends with status 0.
    void sessionEnding();
    // After the loop: timer off, display released, recording closed, timings written.
    void shutDown();
    // A new game at once in any state, as at start-up: its first frame now, its first tick a
    // whole period later, the recording going on with its seed. A recording that plays ends
    // there, and the new game is live. Nothing after Escape or closing.
    void newGame(std::uint32_t seed);
    // Pauses a game being played live, as P would, so that the pause is in the recording. Not
    // in Ready or after a lost life, where resuming would skip the key that starts or
    // confirms, nor while a recording plays or waits at its end.
    void pauseLivePlay();

    // The pad the host calls id (its own numbering) now reads state, at nowMs on a millisecond
    // clock that wraps at 2^32: its presses, repeats that fell due, and a pause when it went
    // away from a running game, each as the key it stands for. Returns whether it gave any.
    bool pad(int id, const PadState& state, std::uint32_t nowMs);
    // The repeats of held directions due by nowMs.
    void padRepeats(std::uint32_t nowMs);
    // When padRepeats has something to give; nothing while no pad holds a direction, so the
    // host need not wake for pads at all.
    std::optional<std::uint32_t> nextPadDeadline() const { return pads_.nextDeadline(); }
    bool anyPadConnected() const { return pads_.anyConnected(); }

    bool running() const { return running_; }
    int exitStatus() const { return exitStatus_; }
    bool replaying() const { return replay_.has_value(); }
    // The conveyor runs: a game (played or replayed) in Running, the timer wanted.
    bool conveyorRuns() const {
        return running_ && timerPeriod_ != 0 && game_.state == GameState::Running;
    }
    bool muted() const { return speaker_.muted(); }
    bool marks() const { return drawer_.marks(); }
    Language language() const { return drawer_.language(); }
    // The best games as last read from the data folder; none without one.
    std::span<const BestGame> bestGames() const { return best_.table(); }
    const Game& game() const { return game_; }

  private:
    // Once on each canvas the display hands out.
    void makeDrawingObjects();
    void createDisplay();
    void displayFailed();
    void quit();
    void command(Command command);
    void stepReplay();
    void skipReplay();
    void endReplay();
    void startGame(std::uint32_t seed);
    // The game's next frame, drawn and shown now; nothing without a display.
    void paint();
    // The frame drawn last, shown again.
    void show();
    // The timer runs while it is wanted and the window is not minimised.
    void updateTimer();
    // Tells the host once when the recording stopped for a failed write.
    void checkRecording();
    // One step of play and its sounds.
    void tickGame();
    void applyWithSound(Command command);
    void startSound();
    // The settings from the data folder; the mute applies at the sound's start, the fullscreen
    // after the first frame.
    void readKeptSettings();
    // What the player set, kept for the next start.
    void keepSettings();
    // The marks and the language from the options, the kept settings or the host, before the
    // first frame.
    void applyLook();
    // The marks or the language changed: kept, and shown.
    void lookChanged();
    // A step of play or a command is about to change the game: what it does is told after.
    StepStart stepStart() const { return {game_.state, game_.player.score}; }
    void announceStep(const StepStart& start);
    // The best games read from the data folder, once, after the first frame.
    void loadBestGames();
    // The best games over the game, which pauses as with P while they show; a key on them.
    void openBestGames();
    void closeBestGames();
    void bestGamesKey(KeyAction action);
    void showBestGamesPage();
    // The chosen best game replayed, as --replay does, after the game being left.
    void replayBestGame(std::size_t row);
    // The chosen best game sent to the server, one at a time.
    void sendBestGame(std::size_t row);
    // The game that ends or is left now enters the best games when it was played live, scored
    // and takes a place; once a game.
    void keepGame();
    // After a step of live play: a game that ended enters the best games.
    void checkGameOver();
    void tellDataFolder(const std::vector<std::string>& troubles, const std::string& error);
    // The game from this seed on, written as its own recording while it is played.
    void beginGameRecording(std::uint32_t seed);

    Host& host_;
    Display& display_;
    Game game_;
    FrameDrawer drawer_;
    Canvas* objectsMadeOn_ = nullptr;
    PaintStats stats_{nullptr};

    bool running_ = false;
    int exitStatus_ = exitStatusClosed;
    bool minimised_ = false;
    bool displayReady_ = false;
    bool noPictureTold_ = false;
    int areaWidth_ = 0;
    int areaHeight_ = 0;
    // The period the timer runs at when the window is shown; 0 when it stays off.
    std::uint32_t timerPeriod_ = 0;
    bool timerRunning_ = false;

    Recorder recorder_;
    std::unique_ptr<RecordingSink> recordSink_;
    std::string recordPath_;
    std::string recordProgram_ = "plonta";

    Speaker speaker_;
    bool startMuted_ = false;
    bool startMarks_ = false;
    std::optional<Language> startLanguage_;
    Gamepads pads_;

    std::optional<Replay> replay_;
    // The recording has ended: no ticks until a key starts live play.
    bool waitingForKey_ = false;
    // Frames are counted for the blink but not shown while a replay is skipped.
    bool skipping_ = false;

    // The best games and settings, in the host's data folder when it has one.
    DataFolder* folder_ = nullptr;
    BestGames best_;
    bool bestLoaded_ = false;
    Settings settings_;
    // The settings file as read: rewritten keeping what it holds; never when it could not be
    // read.
    std::string settingsText_;
    bool settingsReadable_ = false;
    bool fullscreen_ = false;
    bool folderFailureTold_ = false;
    // The game being played as a recording of its own, for the best games.
    Recorder gameRecorder_;
    std::string gameText_;
    std::uint32_t gameSeed_ = 0;
    // A key or a tick of live play reached it: a game only replayed is never kept.
    bool gameLive_ = false;
    bool gameKept_ = false;
    // The best games show over the game; it was paused for them.
    bool bestGamesShown_ = false;
    bool pausedForBestGames_ = false;
    std::size_t bestGamesRow_ = 0;
    // The score server, with --server only.
    ServerAddress server_;
    std::string playerName_;
    std::unique_ptr<ScoreSender> sender_;
    SendOutcome sent_;
};

} // namespace plonta
