// Start-up, the blocking loop and shutdown of the SDL2 program.
#include "shell/sdl_shell.h"

#include <cstdio>
#include <utility>

#include "shell/command.h"
#include "shell/sdl_keys.h"

namespace plonta {

std::uint64_t sdlClock() {
    return SDL_GetTicks64();
}

Shell::Shell(const SdlDisplayCalls& calls, TickSchedule::Clock clock, const char* statsPath)
    : display(calls), schedule(std::move(clock), tickPeriodMs), stats(statsPath) {}

Shell::~Shell() {
    shutDown();
}

int Shell::run() {
    if (!startUp()) {
        shutDown();
        return exitStatusNoWindow;
    }
    runLoop();
    shutDown();
    if (!stats.write()) std::fprintf(stderr, "plonta: cannot write the paint timings\n");
    return exitStatus;
}

bool Shell::startUp() {
    // Present through shared memory rather than software OpenGL: a tenth of the time and memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // A small window game has no reason to switch a compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "plonta: cannot start the video system: %s\n", SDL_GetError());
        return false;
    }
    sdlStarted_ = true;
    // Fixed size without a resizable flag: the window manager offers no maximise.
    window = SDL_CreateWindow("Plonta-Test", 100, 150, 400, 500, SDL_WINDOW_SHOWN);
    if (!window) {
        std::fprintf(stderr, "plonta: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    // Keys are read by scancode; composed text would only cost an input method round trip.
    SDL_StopTextInput();
    active = activeFromWindowFlags(SDL_GetWindowFlags(window));

    displayReady = display.createSurfaces(window);
    if (!displayReady) noteDisplayFailure();
    display.prepareFill();

    game.setUp(10, 5, 5, 1);
    if (Canvas* canvas = display.canvas()) drawer.createDrawingObjects(*canvas);

    schedule.start();
    repaint();
    keepRunning = true;
    return true;
}

void Shell::runLoop() {
    while (keepRunning) runPass();
}

void Shell::runPass() {
    SDL_Event event;
    // Minimised there is nothing to tick, so sleep until the window system has news.
    const int timeout = active ? schedule.msUntilDue() : -1;
    const bool got =
        timeout < 0 ? SDL_WaitEvent(&event) == 1 : SDL_WaitEventTimeout(&event, timeout) == 1;
    wokeAt_ = PaintStats::Clock::now();
    if (got) {
        handleEvent(event);
        while (keepRunning && SDL_PollEvent(&event)) handleEvent(event);
    }
    if (keepRunning && active && schedule.takeDue()) {
        game.tick();
        ++ticks;
        repaint();
    }
}

void Shell::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        keepRunning = false;
        exitStatus = exitStatusClosed;
        break;
    case SDL_KEYDOWN: handleKey(event.key.keysym.scancode); break;
    case SDL_WINDOWEVENT: {
        const bool wasActive = active;
        active = activeFromWindowFlags(SDL_GetWindowFlags(window));
        // Back from the taskbar: the next tick a full period away, not a catch-up.
        if (active && !wasActive) schedule.start();
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) repaint();
        break;
    }
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        if (displayReady) {
            displayReady = display.restoreSurfaces(event.type == SDL_RENDER_DEVICE_RESET);
            if (!displayReady) noteDisplayFailure();
            repaint();
        }
        break;
    default: break;
    }
}

void Shell::handleKey(SDL_Scancode scancode) {
    const Command command = commandForScancode(scancode);
    if (command == Command::Quit) {
        keepRunning = false;
        exitStatus = exitStatusEscape;
        return;
    }
    if (applyCommand(game, command)) {
        repaint();
        if (displayReady) stats.recordKeyToFrame(PaintStats::Clock::now() - wokeAt_);
    }
}

void Shell::repaint() {
    if (!displayReady) return;
    const auto started = PaintStats::Clock::now();
    display.paintFrame(drawer, game);
    const auto presented = PaintStats::Clock::now();
    ++paints;
    stats.recordPaint(presented - started, display.lastCompose, display.lastPresent);
    stats.recordFirstFrame(presented);
}

void Shell::noteDisplayFailure() {
    std::fprintf(stderr, "plonta: playing without a picture: %s failed: %s\n",
                 display.lastResult ? display.lastResult : "display", SDL_GetError());
}

void Shell::shutDown() {
    schedule.stop();
    display.releaseSurfaces();
    displayReady = false;
}

void Shell::closeWindow() {
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (sdlStarted_) {
        SDL_Quit();
        sdlStarted_ = false;
    }
}

} // namespace plonta
