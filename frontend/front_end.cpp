// Start-up, the tick, the keys, the window's reports and shut-down, for every host.
#include "frontend/front_end.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace plonta {

namespace {
// After the game's own title, so that a search for it still finds the window.
constexpr char replayingTitle[] = " - replay (End skips to its end)";
constexpr char replayEndedTitle[] = " - replay ended (a game key plays on)";

// A kept game's file name: when it was kept, and its seed, so that two programs keeping games
// in the same second still write two files.
std::string keptGameName(std::uint32_t seed) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char when[32] = "game";
    if (local != nullptr) std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", local);
    return std::string(when) + "-" + std::to_string(seed) + ".sim";
}
} // namespace

FrontEnd::FrontEnd(Host& host, Display& display) : host_(host), display_(display) {}

void FrontEnd::writeTimingsTo(const char* path) {
    stats_ = PaintStats(path);
}

void FrontEnd::playBack(Recording recording, std::uint32_t speed) {
    replay_.emplace(std::move(recording), speed);
}

void FrontEnd::record(std::unique_ptr<RecordingSink> sink, std::string path, std::string program) {
    recordSink_ = std::move(sink);
    recordPath_ = std::move(path);
    recordProgram_ = std::move(program);
}

void FrontEnd::sendScoresTo(ServerAddress server, std::string name, ScoreClient& client) {
    server_ = std::move(server);
    playerName_ = std::move(name);
    sender_ = std::make_unique<ScoreSender>(client, [this] { host_.wakeLoop(); });
}

void FrontEnd::carryOverFrom(const FrontEnd& previous) {
    startMuted_ = previous.muted();
    fullscreen_ = previous.fullscreen_;
    startMarks_ = previous.marks();
    startLanguage_ = previous.language();
    pads_ = previous.pads_;
}

void FrontEnd::startUp() {
    folder_ = host_.dataFolder();
    readKeptSettings();
    applyLook();
    createDisplay();
    const std::uint32_t seed = replay_ ? replay_->takeSeed() : host_.tickCount();
    game_.setUp(standardRules, seed);
    beginGameRecording(seed);
    makeDrawingObjects();
    if (recordSink_) {
        recorder_.start(std::move(recordSink_), recordProgram_, seed);
        // The whole replayed game goes into the new file now: leaving during the replay, even
        // into the file it came from, loses none of it.
        if (replay_) recorder_.copy(replay_->rest());
        checkRecording();
    }
    running_ = true;
    if (replay_) host_.setTitle(std::string(windowTitle) + replayingTitle);
    if (replay_ && replay_->finished())
        endReplay();
    else
        timerPeriod_ = replay_ ? replay_->periodMs(tickPeriodMs) : tickPeriodMs;
    updateTimer();
    paint();
    if (!replay_) host_.announce(readyAnnouncement(drawer_.language()));
    // After the first frame, which is not to wait for the sounds' making and the device; the
    // first tick is a whole period away.
    startSound();
    // Not again for a game that follows another on the same page.
    if (settings_.fullscreen && !fullscreen_) {
        fullscreen_ = true;
        host_.toggleFullscreen();
    }
    loadBestGames();
}

void FrontEnd::readKeptSettings() {
    if (folder_ == nullptr) return;
    std::string error;
    settingsReadable_ = folder_->readSettings(settingsText_, error);
    if (!settingsReadable_) {
        tellDataFolder({}, error);
        return;
    }
    settings_ = readSettings(settingsText_);
    // --mute is for this run only: it mutes, but what is kept stays as it was.
    startMuted_ = startMuted_ || settings_.mute;
}

void FrontEnd::applyLook() {
    drawer_.showMarks(startMarks_ || settings_.marks, nullptr);
    drawer_.useLanguage(
        startLanguage_.value_or(settings_.language.value_or(host_.preferredLanguage())));
    host_.settingsShown(drawer_.marks(), drawer_.language());
}

void FrontEnd::lookChanged() {
    keepSettings();
    host_.settingsShown(drawer_.marks(), drawer_.language());
    // The same frame in its new look: the pause blink keeps its phase.
    show();
}

void FrontEnd::announceStep(const StepStart& start) {
    // A skipped replay shows only its end; nobody saw its moments.
    if (skipping_) return;
    const std::string said = stepAnnouncement(start, game_, drawer_.language());
    if (!said.empty()) host_.announce(said);
}

void FrontEnd::keepSettings() {
    if (folder_ == nullptr || !settingsReadable_) return;
    const std::optional<std::string> text = updateSettings(settingsText_, settings_);
    // A newer program's file is left to it.
    if (!text || *text == settingsText_) return;
    std::string error;
    if (folder_->writeSettings(*text, error))
        settingsText_ = *text;
    else
        tellDataFolder({}, error);
}

void FrontEnd::loadBestGames() {
    if (folder_ == nullptr || bestLoaded_) return;
    std::vector<std::string> troubles;
    std::string error;
    bestLoaded_ = best_.load(*folder_, troubles, error);
    tellDataFolder(troubles, error);
}

void FrontEnd::beginGameRecording(std::uint32_t seed) {
    gameSeed_ = seed;
    gameLive_ = false;
    gameKept_ = false;
    drawer_.showPlace(0);
    if (folder_ == nullptr) return;
    gameText_.clear();
    gameRecorder_.start(std::make_unique<MemorySink>(gameText_), recordProgram_, seed);
}

void FrontEnd::keepGame() {
    if (folder_ == nullptr || !gameLive_ || gameKept_ || game_.player.score <= 0) return;
    gameKept_ = true;
    loadBestGames();
    std::vector<std::string> troubles;
    std::string error;
    const int place = best_.enter(*folder_, keptGameName(gameSeed_), gameText_, game_.player.score,
                                  troubles, error);
    drawer_.showPlace(place);
    if (place > 0) host_.announce(placeAnnouncement(place, drawer_.language()));
    tellDataFolder(troubles, error);
}

void FrontEnd::checkGameOver() {
    if (game_.state == GameState::GameOver) keepGame();
}

void FrontEnd::tellDataFolder(const std::vector<std::string>& troubles, const std::string& error) {
    for (const std::string& trouble : troubles) host_.tell(Trouble::DataFolder, trouble);
    // A folder that cannot be written is told once; the game goes on as without one.
    if (error.empty() || folderFailureTold_) return;
    folderFailureTold_ = true;
    host_.tell(Trouble::DataFolder,
               "plonta: the data folder: " + error + "; the best games and settings are not kept");
}

void FrontEnd::startSound() {
    speaker_.setMuted(startMuted_);
    AudioDevice* device = host_.audioDevice();
    std::string failure;
    if (device != nullptr && !speaker_.start(*device, failure))
        host_.tell(Trouble::NoSound,
                   "plonta: no sound (" + failure + "); the game goes on silently");
}

void FrontEnd::tickGame() {
    const StepStart start = stepStart();
    game_.events.clear();
    game_.tick();
    announceStep(start);
    speaker_.play(game_.events);
    speaker_.tick();
    gameRecorder_.ticks(1);
}

void FrontEnd::applyWithSound(Command command) {
    const StepStart start = stepStart();
    game_.events.clear();
    applyCommand(game_, command);
    announceStep(start);
    speaker_.play(game_.events);
    gameRecorder_.command(command);
}

void FrontEnd::createDisplay() {
    // A display that went away took its canvas along: a new one needs objects of its own,
    // even where it happens to be made at the same address.
    if (display_.canvas() == nullptr) objectsMadeOn_ = nullptr;
    displayReady_ = display_.create();
    if (!displayReady_) displayFailed();
}

void FrontEnd::displayFailed() {
    const std::string failure = display_.failure();
    // A window without an area yet is no failure: the set-up waits for one. Told once: a
    // set-up tried again at each restore would repeat it.
    if (failure.empty() || noPictureTold_) return;
    noPictureTold_ = true;
    host_.tell(Trouble::NoPicture, failure);
}

void FrontEnd::makeDrawingObjects() {
    Canvas* canvas = display_.canvas();
    if (canvas == nullptr || canvas == objectsMadeOn_) return;
    drawer_.createDrawingObjects(*canvas);
    objectsMadeOn_ = canvas;
}

void FrontEnd::minimised(bool minimised) {
    if (minimised == minimised_) return;
    minimised_ = minimised;
    if (minimised) speaker_.hush();
    updateTimer();
}

void FrontEnd::updateTimer() {
    // Before start-up the timer is start-up's; after Escape or closing nothing ticks.
    const bool wanted = running_ && timerPeriod_ != 0 && !minimised_;
    if (wanted == timerRunning_) return;
    timerRunning_ = wanted;
    if (wanted)
        host_.startTimer(timerPeriod_);
    else
        host_.stopTimer();
}

void FrontEnd::clientAreaChanged(int width, int height) {
    const bool sized = width > 0 && height > 0;
    const bool newSize = sized && (width != areaWidth_ || height != areaHeight_);
    if (sized) {
        areaWidth_ = width;
        areaHeight_ = height;
    }
    // Before start-up the set-up is start-up's; after Escape or closing nobody looks.
    if (!running_ || !sized) return;
    if (!displayReady_) {
        createDisplay();
        if (!displayReady_) return;
        makeDrawingObjects();
    } else if (newSize) {
        displayReady_ = display_.resize();
        if (!displayReady_) displayFailed();
    } else {
        return;
    }
    paint();
}

void FrontEnd::exposed() {
    if (!displayReady_) return;
    display_.showAll();
    paint();
}

void FrontEnd::timerTick() {
    // A stopped timer can still have a message on its way.
    if (!timerRunning_) return;
    if (replay_) {
        stepReplay();
        return;
    }
    tickGame();
    gameLive_ = true;
    checkGameOver();
    paint();
    // After the frame: the write, which waits for the disk, stays out of what the player sees.
    recorder_.ticks(1);
    checkRecording();
}

void FrontEnd::stepReplay() {
    // The commands before the next tick, in their order, then that tick.
    while (const std::optional<RecordedStep> step = replay_->next()) {
        if (step->kind == RecordedStep::Kind::Ticks) {
            tickGame();
            paint();
            break;
        }
        if (step->kind == RecordedStep::Kind::Seed) {
            startGame(step->value);
        } else {
            applyWithSound(step->command);
            // Frames as the recorded keys made them, so the pause blink keeps its phase.
            if (step->command != Command::TogglePause) paint();
        }
    }
    if (replay_->finished()) endReplay();
}

void FrontEnd::skipReplay() {
    if (!running_ || !replay_) return;
    // Runs of ticks whole, as plonta-sim plays them, so that hours of them take no time; each
    // frame counted for the pause blink as if drawn, and only the last one shown.
    skipping_ = true;
    while (const std::optional<RecordedStep> step = replay_->nextRun()) {
        switch (step->kind) {
        case RecordedStep::Kind::Ticks:
            game_.advance(static_cast<std::int32_t>(step->value));
            gameRecorder_.ticks(step->value);
            if (displayReady_) drawer_.nextFrame(game_, step->value);
            break;
        case RecordedStep::Kind::Seed: startGame(step->value); break;
        case RecordedStep::Kind::Play:
            applyCommand(game_, step->command);
            gameRecorder_.command(step->command);
            if (step->command != Command::TogglePause) paint();
            break;
        }
    }
    skipping_ = false;
    endReplay();
    show();
}

void FrontEnd::endReplay() {
    // The last frame stays up; the next game key goes on from here.
    replay_.reset();
    host_.setTitle(std::string(windowTitle) + replayEndedTitle);
    waitingForKey_ = true;
    timerPeriod_ = 0;
    updateTimer();
}

void FrontEnd::startGame(std::uint32_t seed) {
    game_ = Game{};
    game_.setUp(standardRules, seed);
    drawer_.restartBlink();
    beginGameRecording(seed);
    paint();
    if (!replay_) host_.announce(readyAnnouncement(drawer_.language()));
}

void FrontEnd::newGame(std::uint32_t seed) {
    if (!running_) return;
    keepGame();
    // The playback's file is in the recording already, whole: the new game follows it there.
    if (replay_ || waitingForKey_) host_.setTitle(windowTitle);
    replay_.reset();
    waitingForKey_ = false;
    startGame(seed);
    recorder_.seed(seed);
    checkRecording();
    timerPeriod_ = tickPeriodMs;
    // Started afresh, so the first tick is a whole period after the first frame.
    timerRunning_ = false;
    updateTimer();
}

void FrontEnd::pauseLivePlay() {
    if (replay_ || waitingForKey_ || game_.state != GameState::Running) return;
    command(Command::TogglePause);
}

void FrontEnd::key(KeyAction action) {
    if (bestGamesShown_ && action.kind != KeyAction::Kind::ToggleFullscreen &&
        action.kind != KeyAction::Kind::ToggleMute && action.kind != KeyAction::Kind::ToggleMarks &&
        action.kind != KeyAction::Kind::ToggleLanguage) {
        bestGamesKey(action);
        return;
    }
    switch (action.kind) {
    case KeyAction::Kind::Quit: quit(); break;
    case KeyAction::Kind::ToggleFullscreen:
        host_.toggleFullscreen();
        fullscreen_ = !fullscreen_;
        settings_.fullscreen = fullscreen_;
        keepSettings();
        break;
    case KeyAction::Kind::ToggleMute:
        speaker_.setMuted(!speaker_.muted());
        settings_.mute = speaker_.muted();
        keepSettings();
        break;
    case KeyAction::Kind::ToggleMarks:
        // Their objects go on the canvas the others are on; a new canvas makes them all.
        drawer_.showMarks(!drawer_.marks(),
                          display_.canvas() == objectsMadeOn_ ? objectsMadeOn_ : nullptr);
        // Only what the key changed is kept: a --lang of this run stays out of the file.
        settings_.marks = drawer_.marks();
        lookChanged();
        break;
    case KeyAction::Kind::ToggleLanguage:
        drawer_.useLanguage(drawer_.language() == Language::German ? Language::English
                                                                   : Language::German);
        settings_.language = drawer_.language();
        lookChanged();
        break;
    case KeyAction::Kind::Play: command(action.command); break;
    case KeyAction::Kind::NewGame:
        if (running_) newGame(host_.tickCount());
        break;
    case KeyAction::Kind::SkipReplay: skipReplay(); break;
    case KeyAction::Kind::BestGames: openBestGames(); break;
    case KeyAction::Kind::Down: command(Command::Action); break;
    case KeyAction::Kind::Up:
    case KeyAction::Kind::Choose:
    case KeyAction::Kind::SendGame: break;
    }
}

void FrontEnd::openBestGames() {
    // Not while a recording plays: its keys wait for its end.
    if (!running_ || folder_ == nullptr || replay_) return;
    loadBestGames();
    bestGamesShown_ = true;
    bestGamesRow_ = 0;
    // As P would: the pause is part of the game and its recording. A replay's end stands
    // still already.
    pausedForBestGames_ = game_.state == GameState::Running && !waitingForKey_;
    if (pausedForBestGames_) command(Command::TogglePause);
    showBestGamesPage();
}

void FrontEnd::closeBestGames() {
    bestGamesShown_ = false;
    drawer_.showBestGames(std::nullopt);
    if (pausedForBestGames_ && game_.state == GameState::Paused) command(Command::TogglePause);
    paint();
}

void FrontEnd::showBestGamesPage() {
    BestGamesPage page;
    for (const BestGame& game : best_.table())
        page.rows.push_back({game.score, game.level, screenDate(game.playedAt)});
    page.chosen = bestGamesRow_;
    page.sendable = sender_ != nullptr;
    page.sent = sent_;
    page.sent.reason = screenReason(sent_.reason);
    drawer_.showBestGames(std::move(page));
    paint();
}

void FrontEnd::bestGamesKey(KeyAction action) {
    const std::size_t rows = best_.table().size();
    const bool up = action.kind == KeyAction::Kind::Up || action == playKey(Command::PaddleLeft);
    const bool down =
        action.kind == KeyAction::Kind::Down || action == playKey(Command::PaddleRight);
    if (up || down) {
        if (up && bestGamesRow_ > 0) --bestGamesRow_;
        if (down && bestGamesRow_ + 1 < rows) ++bestGamesRow_;
        showBestGamesPage();
    } else if (action.kind == KeyAction::Kind::Choose || action == playKey(Command::Action)) {
        if (bestGamesRow_ < rows) replayBestGame(bestGamesRow_);
    } else if (action.kind == KeyAction::Kind::BestGames || action == quitKey) {
        closeBestGames();
    } else if (action == newGameKey) {
        closeBestGames();
        key(action);
    } else if (action == sendGameKey && bestGamesRow_ < rows) {
        sendBestGame(bestGamesRow_);
    }
}

void FrontEnd::sendBestGame(std::size_t row) {
    // Nothing is sent without a server, and never two at once.
    if (!sender_ || sender_->busy()) return;
    const std::string name = best_.table()[row].name;
    std::string text;
    std::string error;
    if (!folder_->readGame(name, maxRecordingBytes, text, error)) {
        host_.tell(Trouble::DataFolder, "plonta: " + folder_->gamePath(name) + ": " + error);
        return;
    }
    sender_->send(server_, gamesPath(server_, playerName_), std::move(text));
    sent_ = {SendOutcome::Kind::Sending, 0, {}};
    showBestGamesPage();
}

void FrontEnd::woken() {
    if (!sender_) return;
    const std::optional<HttpAnswer> answer = sender_->take();
    if (!answer) return;
    sent_ = readAnswer(*answer);
    // A connection's failure in the program's own words, for whoever looks.
    if (sent_.kind == SendOutcome::Kind::NoAnswer)
        std::fprintf(stderr, "plonta: the score server: %s\n", sent_.reason.c_str());
    if (bestGamesShown_) showBestGamesPage();
}

void FrontEnd::replayBestGame(std::size_t row) {
    const std::string name = best_.table()[row].name;
    std::string text;
    std::string error;
    Recording recording;
    if (!folder_->readGame(name, maxRecordingBytes, text, error) ||
        !readRecording(text, recording, error)) {
        host_.tell(Trouble::DataFolder, "plonta: " + folder_->gamePath(name) + ": " + error);
        return;
    }
    // The game underneath is left, as with F2.
    bestGamesShown_ = false;
    drawer_.showBestGames(std::nullopt);
    keepGame();
    replay_.emplace(std::move(recording), 1);
    waitingForKey_ = false;
    const std::uint32_t seed = replay_->takeSeed();
    startGame(seed);
    recorder_.seed(seed);
    recorder_.copy(replay_->rest());
    checkRecording();
    host_.setTitle(std::string(windowTitle) + replayingTitle);
    if (replay_->finished()) {
        endReplay();
        return;
    }
    timerPeriod_ = replay_->periodMs(tickPeriodMs);
    // Started afresh, so the first tick is a whole period after the first frame.
    timerRunning_ = false;
    updateTimer();
}

bool FrontEnd::pad(int id, const PadState& state, std::uint32_t nowMs) {
    // After Escape or closing a pad that went has no game to pause.
    const GameState game = running_ ? game_.state : GameState::GameOver;
    const std::vector<KeyAction> actions = pads_.update(id, state, nowMs, game);
    for (const KeyAction& action : actions) key(action);
    return !actions.empty();
}

void FrontEnd::padRepeats(std::uint32_t nowMs) {
    for (const KeyAction& action : pads_.repeat(nowMs)) key(action);
}

void FrontEnd::command(Command command) {
    // Nothing after Escape or closing; while the recording plays, the keys wait for its end.
    if (!running_ || replay_) return;
    const auto received = PaintStats::Clock::now();
    applyWithSound(command);
    gameLive_ = true;
    checkGameOver();
    if (command != Command::TogglePause) {
        paint();
        if (displayReady_) stats_.recordKeyToFrame(PaintStats::Clock::now() - received);
    }
    recorder_.command(command);
    checkRecording();
    if (waitingForKey_) {
        waitingForKey_ = false;
        host_.setTitle(windowTitle);
        timerPeriod_ = tickPeriodMs;
        updateTimer();
    }
}

void FrontEnd::checkRecording() {
    const std::string failure = recorder_.takeFailure();
    if (failure.empty()) return;
    host_.tell(Trouble::RecordingStopped,
               "plonta: " + recordPath_ + ": " + failure + "; recording stopped, the game goes on");
}

void FrontEnd::quit() {
    if (running_) keepGame();
    running_ = false;
    exitStatus_ = exitStatusEscape;
}

void FrontEnd::closed() {
    if (running_) keepGame();
    running_ = false;
    exitStatus_ = exitStatusClosed;
}

void FrontEnd::sessionEnding() {
    recorder_.stop();
    closed();
}

void FrontEnd::paint() {
    if (!displayReady_) return;
    drawer_.nextFrame(game_);
    if (!skipping_) show();
}

void FrontEnd::show() {
    if (!displayReady_) return;
    const auto started = PaintStats::Clock::now();
    display_.paintFrame(drawer_, game_);
    const auto presented = PaintStats::Clock::now();
    stats_.recordPaint(presented - started, display_.lastCompose, display_.lastPresent);
    stats_.recordFirstFrame(presented);
}

void FrontEnd::shutDown() {
    running_ = false;
    updateTimer();
    display_.release();
    displayReady_ = false;
    speaker_.stop();
    recorder_.stop();
    // A game on its way is waited for, at most the client's time-outs.
    sender_.reset();
    if (!stats_.write()) std::fprintf(stderr, "plonta: cannot write the paint timings\n");
}

} // namespace plonta
