// The SDL2 window, the blocking event loop and what its events mean to the front end.
#include "shell/sdl/sdl_shell.h"

#include <cstdio>
#include <utility>

#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::uint64_t sdlClock() {
    return SDL_GetTicks64();
}

SdlShell::SdlSubsystem::~SdlSubsystem() {
    if (started) SDL_Quit();
}

SdlShell::SdlShell(const SdlDisplayCalls& calls, TickSchedule::Clock clock, const char* statsPath)
    : display_(calls), schedule_(std::move(clock), tickPeriodMs),
      frontEnd_(*this, display_, statsPath) {}

SdlShell::~SdlShell() = default;

int SdlShell::run() {
    if (!startUp()) return exitStatusNoWindow;
    runLoop();
    frontEnd_.shutDown();
    return frontEnd_.exitStatus;
}

bool SdlShell::startUp() {
    // Present through shared memory rather than software OpenGL: a tenth of the time and memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // A small window game has no reason to switch a compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "plonta: cannot start the video system: %s\n", SDL_GetError());
        return false;
    }
    sdl_.started = true;
    // Fixed size without a resizable flag: the window manager offers no maximise.
    window_.reset(SDL_CreateWindow("Plonta-Test", 100, 150, 400, 500, SDL_WINDOW_SHOWN));
    if (!window_) {
        std::fprintf(stderr, "plonta: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    // Keys are read by scancode; composed text would only cost an input method round trip.
    SDL_StopTextInput();
    frontEnd_.active = activeFromWindowFlags(SDL_GetWindowFlags(window_.get()));
    frontEnd_.startUp();
    return true;
}

void SdlShell::runLoop() {
    while (frontEnd_.keepRunning) runPass();
}

void SdlShell::runPass() {
    SDL_Event event;
    // Minimised there is nothing to tick, so sleep until the window system has news.
    const int timeout = frontEnd_.active ? schedule_.msUntilDue() : -1;
    const bool got =
        timeout < 0 ? SDL_WaitEvent(&event) == 1 : SDL_WaitEventTimeout(&event, timeout) == 1;
    if (got) {
        handleEvent(event);
        while (frontEnd_.keepRunning && SDL_PollEvent(&event)) handleEvent(event);
    }
    if (frontEnd_.keepRunning && frontEnd_.active && schedule_.takeDue()) frontEnd_.timerTick();
}

void SdlShell::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    // Closing the window; also SIGINT and SIGTERM, which SDL's own handlers turn into SDL_QUIT,
    // so the loop ends and the recording is closed as after a close.
    case SDL_QUIT: frontEnd_.windowClosed(); break;
    case SDL_KEYDOWN: handleKey(event.key.keysym.scancode); break;
    case SDL_WINDOWEVENT: {
        const bool wasActive = frontEnd_.active;
        frontEnd_.active = activeFromWindowFlags(SDL_GetWindowFlags(window_.get()));
        // Back from the taskbar: the next tick a full period away, not a catch-up. A timer
        // that was stopped (a replay waiting for a key) stays stopped.
        if (frontEnd_.active && !wasActive && schedule_.running()) schedule_.start();
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) frontEnd_.paint();
        break;
    }
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        if (frontEnd_.displayReady) {
            frontEnd_.displayReady =
                display_.restoreSurfaces(event.type == SDL_RENDER_DEVICE_RESET);
            if (!frontEnd_.displayReady) noteDisplayFailure();
            frontEnd_.paint();
        }
        break;
    default: break;
    }
}

void SdlShell::handleKey(SDL_Scancode scancode) {
    if (scancode == SDL_SCANCODE_ESCAPE) {
        frontEnd_.quit();
        return;
    }
    if (const std::optional<Command> command = commandForScancode(scancode))
        frontEnd_.command(*command);
}

bool SdlShell::createDisplay() {
    const bool ready = display_.createSurfaces(window_.get());
    if (!ready) noteDisplayFailure();
    display_.prepareFill();
    return ready;
}

std::uint32_t SdlShell::tickCount() {
    return SDL_GetTicks();
}

void SdlShell::startTimer(std::uint32_t periodMs) {
    schedule_.start(periodMs);
}

void SdlShell::stopTimer() {
    schedule_.stop();
}

void SdlShell::requestRepaint() {
    frontEnd_.paint();
}

void SdlShell::releaseDisplay() {
    display_.releaseSurfaces();
}

void SdlShell::noteDisplayFailure() {
    std::fprintf(stderr, "plonta: playing without a picture: %s failed: %s\n",
                 display_.lastResult ? display_.lastResult : "display", SDL_GetError());
}

} // namespace plonta
