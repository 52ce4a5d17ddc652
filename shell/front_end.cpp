// Start-up, the tick, the commands and shut-down, for every platform.
#include "shell/front_end.h"

#include <cstdio>

namespace plonta {

FrontEnd::FrontEnd(Platform& platform, Display& display, const char* statsPath)
    : platform_(platform), display_(display), stats_(statsPath) {}

void FrontEnd::startUp() {
    displayReady = platform_.createDisplay();
    game.setUp(standardRules, platform_.tickCount());
    makeDrawingObjects();
    platform_.startTimer(tickPeriodMs);
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
    if (!active) return;
    game.tick();
    platform_.requestRepaint();
}

void FrontEnd::command(Command command) {
    const auto received = PaintStats::Clock::now();
    applyCommand(game, command);
    if (command == Command::TogglePause) return;
    platform_.requestRepaint();
    if (displayReady) stats_.recordKeyToFrame(PaintStats::Clock::now() - received);
}

void FrontEnd::quit() {
    keepRunning = false;
    exitStatus = exitStatusEscape;
}

void FrontEnd::windowClosed() {
    keepRunning = false;
    exitStatus = exitStatusClosed;
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
    if (!stats_.write()) std::fprintf(stderr, "plonta: cannot write the paint timings\n");
}

} // namespace plonta
