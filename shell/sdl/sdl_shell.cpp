// The SDL2 window, the blocking event loop and what its events mean to the front end.
#include "shell/sdl/sdl_shell.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "shell/command_line.h"
#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::uint64_t sdlClock() {
    return SDL_GetTicks64();
}

int defaultScale(const SDL_Rect& usable) {
    int scale = 1;
    // Whole numbers: 80% of the area is four fifths of it.
    while (scale < static_cast<int>(maxScale) && 5 * frameWidth * (scale + 1) <= 4 * usable.w &&
           5 * frameHeight * (scale + 1) <= 4 * usable.h)
        ++scale;
    return scale;
}

SDL_Point windowPosition(const SDL_Rect& usable, int width, int height) {
    constexpr SDL_Point usual{100, 150};
    if (usual.x >= usable.x && usual.y >= usable.y && usual.x + width <= usable.x + usable.w &&
        usual.y + height <= usable.y + usable.h)
        return usual;
    return SDL_Point{usable.x + std::max((usable.w - width) / 2, 0),
                     usable.y + std::max((usable.h - height) / 2, 0)};
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
    // The window and SDL are left to the process's end. SDL wakes its waiting loop with an X
    // event sent to the window over a second connection; one still on its way when the window
    // is destroyed comes back as BadWindow, which Xlib turns into exit status 1.
    static_cast<void>(window_.release());
    sdl_.started = false;
    return frontEnd_.exitStatus;
}

bool SdlShell::startUp() {
    // The window's surface in shared memory rather than a texture through OpenGL: a tenth of
    // the time and memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A small window game has no reason to switch a compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "plonta: cannot start the video system: %s\n", SDL_GetError());
        return false;
    }
    sdl_.started = true;
    // Sized for the display it opens on: the one at the usual place.
    const SDL_Point usual{100, 150};
    const int display = std::max(SDL_GetPointDisplayIndex(&usual), 0);
    SDL_Rect usable{0, 0, frameWidth, frameHeight};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0)
        usable = SDL_Rect{0, 0, usual.x + frameWidth, usual.y + frameHeight};
    const int windowScale = scale != 0 ? static_cast<int>(scale) : defaultScale(usable);
    const int width = frameWidth * windowScale;
    const int height = frameHeight * windowScale;
    const SDL_Point at = windowPosition(usable, width, height);
    // Fixed size without a resizable flag: the window manager offers no maximise.
    window_.reset(SDL_CreateWindow("Plonta-Test", at.x, at.y, width, height, SDL_WINDOW_SHOWN));
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
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && frontEnd_.displayReady) {
            // Fullscreen or back: the window's surface is made anew, at the new size.
            frontEnd_.displayReady = display_.restoreSurfaces();
            if (!frontEnd_.displayReady) noteDisplayFailure();
            frontEnd_.paint();
        }
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            display_.showAll();
            frontEnd_.paint();
        }
        break;
    }
    default: break;
    }
}

void SdlShell::handleKey(SDL_Scancode scancode) {
    if (scancode == SDL_SCANCODE_ESCAPE) {
        frontEnd_.quit();
        return;
    }
    if (scancode == SDL_SCANCODE_F11) {
        toggleFullscreen();
        return;
    }
    if (const std::optional<Command> command = commandForScancode(scancode))
        frontEnd_.command(*command);
}

void SdlShell::toggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
    // The desktop's own resolution: no mode change. The new size arrives as an event.
    if (SDL_SetWindowFullscreen(window_.get(), full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::fprintf(stderr, "plonta: cannot switch fullscreen: %s\n", SDL_GetError());
        return;
    }
    SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlShell::createDisplay() {
    const bool ready = display_.createSurfaces(window_.get());
    if (!ready) noteDisplayFailure();
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
