// Start-up, the tick, the commands and shut-down, for every platform.
#include "shell/front_end.h"

#include <cstdio>
#include <utility>

namespace plonta {

namespace {
// A recording without a seed line plays this one, as plonta-sim does.
constexpr std::uint32_t unseededRecording = 1;
} // namespace

void Platform::recordingFailed(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

FrontEnd::FrontEnd(Platform& platform, Display& display, const char* statsPath)
    : platform_(platform), display_(display), stats_(statsPath) {}

void FrontEnd::playBack(Recording recording, std::uint32_t speed) {
    replay_ = std::move(recording);
    replaySpeed_ = speed == 0 ? 1 : speed;
    replayNext_ = 0;
    replayTicksDone_ = 0;
    replaying_ = true;
}

void FrontEnd::record(std::unique_ptr<RecordingSink> sink, std::string path, std::string program) {
    recordSink_ = std::move(sink);
    recordPath_ = std::move(path);
    recordProgram_ = std::move(program);
}

void FrontEnd::startUp() {
    displayReady = platform_.createDisplay();
    std::uint32_t seed = unseededRecording;
    if (!replaying_) {
        seed = platform_.tickCount();
    } else if (!replay_.steps.empty() && replay_.steps.front().kind == RecordedStep::Kind::Seed) {
        seed = replay_.steps.front().value;
        replayNext_ = 1;
    }
    game.setUp(standardRules, seed);
    makeDrawingObjects();
    if (recordSink_) {
        recorder_.start(std::move(recordSink_), recordProgram_, seed);
        // The whole replayed game goes into the new file now: leaving during the replay, even
        // into the file it came from, loses none of it.
        recorder_.holdWrites();
        for (std::size_t i = replayNext_; i < replay_.steps.size(); ++i) {
            const RecordedStep& step = replay_.steps[i];
            switch (step.kind) {
            case RecordedStep::Kind::Seed: recorder_.seed(step.value); break;
            case RecordedStep::Kind::Ticks: recorder_.ticks(step.value); break;
            case RecordedStep::Kind::Play: recorder_.command(step.command); break;
            }
        }
        recorder_.releaseWrites();
        checkRecording();
    }
    if (replaying_ && replayNext_ == replay_.steps.size()) {
        replaying_ = false;
        waitingForKey_ = true;
    } else {
        platform_.startTimer(replaying_ ? tickPeriodMs / replaySpeed_ : tickPeriodMs);
    }
    platform_.requestRepaint();
    keepRunning = true;
}

void FrontEnd::makeDrawingObjects() {
    Canvas* canvas = display_.canvas();
    if (canvas == nullptr || canvas == objectsMadeOn_) return;
    drawer.createDrawingObjects(*canvas);
    objectsMadeOn_ = canvas;
}

void FrontEnd::clientAreaChanged(bool nonEmpty) {
    // Before start-up the set-up is start-up's; after Escape or closing nobody looks.
    if (!keepRunning || displayReady || !nonEmpty) return;
    // A display that went away took its canvas along: a new one needs objects of its own,
    // even where it happens to be made at the same address.
    if (display_.canvas() == nullptr) objectsMadeOn_ = nullptr;
    displayReady = platform_.createDisplay();
    if (!displayReady) return;
    makeDrawingObjects();
    platform_.requestRepaint();
}

void FrontEnd::timerTick() {
    // A stopped timer can still have a message on its way.
    if (!active || waitingForKey_) return;
    if (replaying_) {
        stepReplay();
        return;
    }
    game.tick();
    platform_.requestRepaint();
    // After the frame: the write, which waits for the disk, stays out of what the player sees.
    recorder_.ticks(1);
    checkRecording();
}

void FrontEnd::stepReplay() {
    // The commands before the next tick, in their order, then that tick.
    while (replayNext_ < replay_.steps.size()) {
        const RecordedStep step = replay_.steps[replayNext_];
        if (step.kind == RecordedStep::Kind::Ticks) {
            if (++replayTicksDone_ >= step.value) {
                replayTicksDone_ = 0;
                ++replayNext_;
            }
            game.tick();
            platform_.requestRepaint();
            break;
        }
        ++replayNext_;
        if (step.kind == RecordedStep::Kind::Seed) {
            startGame(step.value);
        } else {
            applyCommand(game, step.command);
            // Frames as the recorded keys made them, so the pause blink keeps its phase.
            if (step.command != Command::TogglePause) platform_.requestRepaint();
        }
    }
    if (replayNext_ == replay_.steps.size()) {
        // The last frame stays up; the next game key goes on from here.
        replaying_ = false;
        waitingForKey_ = true;
        platform_.stopTimer();
    }
}

void FrontEnd::startGame(std::uint32_t seed) {
    game = Game{};
    game.setUp(standardRules, seed);
    // A fresh blink for a fresh game, as plonta-sim's seed line does.
    drawer.pauseBlink = 0;
    platform_.requestRepaint();
}

void FrontEnd::command(Command command) {
    // The recording is playing: the keys wait for its end.
    if (replaying_) return;
    const auto received = PaintStats::Clock::now();
    applyCommand(game, command);
    if (command != Command::TogglePause) {
        platform_.requestRepaint();
        if (displayReady) stats_.recordKeyToFrame(PaintStats::Clock::now() - received);
    }
    recorder_.command(command);
    checkRecording();
    if (waitingForKey_) {
        waitingForKey_ = false;
        platform_.startTimer(tickPeriodMs);
    }
}

void FrontEnd::checkRecording() {
    const std::string failure = recorder_.takeFailure();
    if (failure.empty()) return;
    platform_.recordingFailed("plonta: " + recordPath_ + ": " + failure +
                              "; recording stopped, the game goes on");
}

void FrontEnd::quit() {
    keepRunning = false;
    exitStatus = exitStatusEscape;
}

void FrontEnd::windowClosed() {
    keepRunning = false;
    exitStatus = exitStatusClosed;
}

void FrontEnd::sessionEnding() {
    recorder_.stop();
    windowClosed();
}

void FrontEnd::paint() {
    if (!displayReady) return;
    const auto started = PaintStats::Clock::now();
    display_.paintFrame(drawer, game);
    const auto presented = PaintStats::Clock::now();
    stats_.recordPaint(presented - started, display_.lastCompose, display_.lastPresent);
    stats_.recordFirstFrame(presented);
}

void FrontEnd::shutDown() {
    platform_.stopTimer();
    platform_.releaseDisplay();
    displayReady = false;
    recorder_.stop();
    if (!stats_.write()) std::fprintf(stderr, "plonta: cannot write the paint timings\n");
}

} // namespace plonta
