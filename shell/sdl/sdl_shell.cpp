// The SDL2 window, the blocking event loop and what its events mean to the front end.
#include "shell/sdl/sdl_shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "shell/command_line.h"
#include "shell/sdl/sdl_keys.h"

namespace plonta {

std::uint64_t sdlClock() {
    return SDL_GetTicks64();
}

namespace {

bool isSet(const char* variable) {
    return variable != nullptr && *variable != '\0';
}

} // namespace

bool videoDriverShowsWindows(std::string_view driver) {
    return driver != "offscreen" && driver != "dummy" && driver != "evdev";
}

bool waylandReachable(const char* waylandDisplay, const char* waylandSocket,
                      const char* runtimeDir) {
    // An absolute WAYLAND_DISPLAY or an inherited socket need no runtime directory.
    return isSet(waylandSocket) || (isSet(waylandDisplay) && waylandDisplay[0] == '/') ||
           isSet(runtimeDir);
}

std::string windowDriverList() {
    const bool wayland =
        waylandReachable(std::getenv("WAYLAND_DISPLAY"), std::getenv("WAYLAND_SOCKET"),
                         std::getenv("XDG_RUNTIME_DIR"));
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string_view driver = SDL_GetVideoDriver(i);
        if (!videoDriverShowsWindows(driver) || (driver == "wayland" && !wayland)) continue;
        if (!list.empty()) list += ',';
        list += driver;
    }
    return list;
}

std::string noDisplayReason(const char* x11Display, const char* waylandDisplay) {
    const bool x11 = isSet(x11Display);
    const bool wayland = isSet(waylandDisplay);
    std::string reason = "no display to open a window on (";
    if (!x11 && !wayland) return reason + "DISPLAY and WAYLAND_DISPLAY are not set)";
    reason += "cannot reach ";
    if (x11) reason += "DISPLAY=" + oneLine(x11Display);
    if (x11 && wayland) reason += " or ";
    if (wayland) reason += "WAYLAND_DISPLAY=" + oneLine(waylandDisplay);
    return reason + ")";
}

std::string oneLine(const char* text) {
    std::string line = text != nullptr ? text : "";
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
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
    // Unless the user asked for a driver, only one that can show the window will do.
    const bool driverChosen = isSet(std::getenv("SDL_VIDEODRIVER"));
    const std::string drivers = driverChosen ? std::string() : windowDriverList();
    if (!driverChosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if ((!driverChosen && drivers.empty()) || SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (driverChosen)
            std::fprintf(stderr, "plonta: cannot start the video system: %s\n",
                         oneLine(SDL_GetError()).c_str());
        else
            std::fprintf(
                stderr, "plonta: %s\n",
                noDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")).c_str());
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
        std::fprintf(stderr, "plonta: cannot open the window: %s\n",
                     oneLine(SDL_GetError()).c_str());
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
    case SDL_KEYDOWN: handleKey(event.key.keysym); break;
    case SDL_WINDOWEVENT: {
        const bool wasActive = frontEnd_.active;
        frontEnd_.active = activeFromWindowFlags(SDL_GetWindowFlags(window_.get()));
        // Back from the taskbar: the next tick a full period away, not a catch-up. A timer
        // that was stopped (a replay waiting for a key) stays stopped.
        if (frontEnd_.active && !wasActive && schedule_.running()) schedule_.start();
        const Uint8 what = event.window.event;
        const bool wasReady = frontEnd_.displayReady;
        // Shown, restored or resized: a display still waiting for an area is set up.
        if (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_RESTORED ||
            what == SDL_WINDOWEVENT_SIZE_CHANGED) {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(window_.get(), &width, &height);
            frontEnd_.clientAreaChanged(width > 0 && height > 0);
        }
        if (what == SDL_WINDOWEVENT_SIZE_CHANGED && wasReady) {
            // Fullscreen or back: the window's surface is made anew, at the new size.
            frontEnd_.displayReady = display_.restoreSurfaces();
            if (!frontEnd_.displayReady) noteDisplayFailure();
            frontEnd_.paint();
        }
        if (what == SDL_WINDOWEVENT_EXPOSED) {
            display_.showAll();
            frontEnd_.paint();
        }
        break;
    }
    default: break;
    }
}

void SdlShell::handleKey(const SDL_Keysym& key) {
    if (key.scancode == SDL_SCANCODE_ESCAPE) {
        frontEnd_.quit();
        return;
    }
    if (key.scancode == SDL_SCANCODE_F11) {
        toggleFullscreen();
        return;
    }
    if (const std::optional<Command> command =
            commandForScancode(key.scancode, (key.mod & KMOD_NUM) != 0))
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
    // A window without an area yet is no failure: the set-up waits for one.
    if (!ready && display_.lastResult != nullptr) noteDisplayFailure();
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
    // Once: a set-up tried again at each restore would otherwise repeat it.
    if (displayFailureNoted_) return;
    displayFailureNoted_ = true;
    std::fprintf(stderr, "plonta: playing without a picture: %s failed: %s\n",
                 display_.lastResult ? display_.lastResult : "display",
                 oneLine(SDL_GetError()).c_str());
}

} // namespace plonta
