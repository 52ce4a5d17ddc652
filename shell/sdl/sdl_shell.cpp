// The SDL2 window, the blocking event loop and what its events report to the front end.
#include "shell/sdl/sdl_shell.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "draw/frame_fit.h"
#include "shell/posix/posix_clock.h"
#include "shell/sdl/sdl_keys.h"
#include "shell/sdl/video_driver.h"

namespace plonta {

std::uint64_t sdlClock() {
    return SDL_GetTicks64();
}

SdlShell::SdlSubsystem::~SdlSubsystem() {
    if (started) SDL_Quit();
}

SdlShell::SdlShell(const SdlDisplayCalls& calls, TickSchedule::Clock clock)
    : display_(calls), clock_(std::move(clock)), schedule_(clock_, tickPeriodMs),
      frontEnd_(*this, display_) {}

SdlShell::~SdlShell() = default;

void SdlShell::showOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
}

bool SdlShell::openWindow(const CommandLine& options) {
    std::string error;
    if (!startVideo(error)) {
        tell(Trouble::Launch, "plonta: " + error + "\n");
        return false;
    }
    sdl_.started = true;
    // Sized for the display it opens on: the one at the usual place.
    const SDL_Point usual{windowLeft, windowTop};
    const int display = std::max(SDL_GetPointDisplayIndex(&usual), 0);
    SDL_Rect usable{0, 0, frameWidth, frameHeight};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0)
        usable = SDL_Rect{0, 0, usual.x + frameWidth, usual.y + frameHeight};
    const FitSize area{usable.w, usable.h};
    FrameScale scale = comfortableScale(frameSize, area, static_cast<int>(maxScale));
    if (options.scale) {
        // A window larger than the screen would put the paddle and the bin out of sight.
        scale = *options.scale <= largestScaleThatFits(frameSize, area)
                    ? *options.scale
                    : FrameScale(scaleThatFits(frameSize, area, options.scale->wholePart()));
        if (scale != *options.scale)
            std::fprintf(stderr, "plonta: --scale %s does not fit the screen (%dx%d): scale %s\n",
                         options.scale->text().c_str(), usable.w, usable.h, scale.text().c_str());
    }
    const auto [width, height] = scaledSize(frameSize, scale);
    const FitPoint at = windowPlace({usable.x, usable.y, usable.w, usable.h}, {width, height},
                                    {windowLeft, windowTop});
    // Fixed size without a resizable flag: the window manager offers no maximise.
    window_.reset(SDL_CreateWindow(windowTitle, at.x, at.y, width, height, SDL_WINDOW_SHOWN));
    if (!window_) {
        tell(Trouble::Launch, "plonta: cannot open the window: " + oneLine(SDL_GetError()) + "\n");
        return false;
    }
    display_.attach(window_.get());
    // Keys are read by scancode; composed text would only cost an input method round trip.
    SDL_StopTextInput();
    frontEnd_.minimised((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0);
    reportArea();
    return true;
}

void SdlShell::runLoop() {
    while (frontEnd_.running()) runPass();
}

void SdlShell::finish() {
    // After play, as on Windows: a box in the middle of the game would stop it.
    if (!recordingProblem_.empty())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "Plonta", recordingProblem_.c_str(),
                                 nullptr);
    // The window and SDL are left to the process's end. SDL wakes its waiting loop with an X
    // event sent to the window over a second connection; one still on its way when the window
    // is destroyed comes back as BadWindow, which Xlib turns into exit status 1.
    static_cast<void>(window_.release());
    sdl_.started = false;
}

void SdlShell::startPads() {
    padsStarted_ = true;
    // Controllers already plugged in arrive as added events, like those plugged in later.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "plonta: no game controllers: %s\n", oneLine(SDL_GetError()).c_str());
}

bool SdlShell::waitForEvent(SDL_Event& event, int timeout) {
    if (!pads_.anyOpen())
        return timeout < 0 ? SDL_WaitEvent(&event) == 1
                           : SDL_WaitEventTimeout(&event, timeout) == 1;
    // With a pad open SDL's own wait looks for news every millisecond; a look every
    // pollPeriodMs is as quick for a player at a fraction of the cost.
    if (SDL_PollEvent(&event) == 1) return true;
    if (timeout == 0) return false;
    constexpr int period = static_cast<int>(Gamepads::pollPeriodMs);
    SDL_Delay(static_cast<Uint32>(timeout < 0 ? period : std::min(timeout, period)));
    return SDL_PollEvent(&event) == 1;
}

void SdlShell::runPass() {
    // After the first frame: looking for controllers takes a while at start-up.
    if (!padsStarted_) startPads();
    SDL_Event event;
    // With the timer stopped (minimised, or a replay waiting for a key) there is nothing to
    // tick, so sleep until the window system has news.
    int timeout = schedule_.msUntilDue();
    // A pad holding a direction wakes the loop for its repeat; pads otherwise wake it by their
    // events only.
    if (const std::optional<std::uint32_t> repeat = frontEnd_.nextPadDeadline()) {
        const int untilRepeat = std::max(static_cast<std::int32_t>(*repeat - padClock()), 0);
        timeout = timeout < 0 ? untilRepeat : std::min(timeout, untilRepeat);
    }
    if (waitForEvent(event, timeout)) {
        handleEvent(event);
        while (frontEnd_.running() && SDL_PollEvent(&event)) handleEvent(event);
    }
    if (frontEnd_.running() && frontEnd_.nextPadDeadline()) frontEnd_.padRepeats(padClock());
    if (frontEnd_.running() && schedule_.takeDue()) frontEnd_.timerTick();
}

void SdlShell::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    // Closing the window; also SIGINT and SIGTERM, which SDL's own handlers turn into SDL_QUIT,
    // so the loop ends and the recording is closed as after a close.
    case SDL_QUIT: frontEnd_.closed(); break;
    case SDL_KEYDOWN:
        if (const std::optional<KeyAction> action = actionForScancode(
                event.key.keysym.scancode, (event.key.keysym.mod & KMOD_NUM) != 0))
            frontEnd_.key(*action);
        break;
    case SDL_WINDOWEVENT: {
        const Uint8 what = event.window.event;
        frontEnd_.minimised((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0);
        // Shown, restored or resized: a display still waiting for an area gets one.
        if (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_RESTORED ||
            what == SDL_WINDOWEVENT_SIZE_CHANGED)
            reportArea();
        if (what == SDL_WINDOWEVENT_EXPOSED) frontEnd_.exposed();
        break;
    }
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: touched(event.tfinger); break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        if (const std::optional<PadReport> pad = pads_.event(event))
            frontEnd_.pad(pad->id, pad->state, padClock());
        break;
    // The program's only user event: Host::wakeLoop's.
    case SDL_USEREVENT: frontEnd_.woken(); break;
    default: break;
    }
}

void SdlShell::wakeLoop() {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    SDL_PushEvent(&event);
}

void SdlShell::touched(const SDL_TouchFingerEvent& finger) {
    // SDL gives the point as fractions of the window; the frame may lie inside it, scaled.
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    const double scale = display_.scale.factor();
    const double x = (double{finger.x} * width - display_.frameRect.x) / scale;
    const double y = (double{finger.y} * height - display_.frameRect.y) / scale;
    const PointerPhase phase = finger.type == SDL_FINGERDOWN ? PointerPhase::Down
                               : finger.type == SDL_FINGERUP ? PointerPhase::Up
                                                             : PointerPhase::Moved;
    // A finger on the black round a fullscreen frame is not on the game.
    if (phase == PointerPhase::Down && (x < 0 || y < 0 || x >= frameWidth || y >= frameHeight))
        return;
    touch_.pointer(frontEnd_, phase, static_cast<int>(finger.fingerId), x, y);
}

void SdlShell::reportArea() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    frontEnd_.clientAreaChanged(width, height);
}

void SdlShell::toggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
    // The desktop's own resolution: no mode change. The new size arrives as an event.
    if (SDL_SetWindowFullscreen(window_.get(), full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::fprintf(stderr, "plonta: cannot switch fullscreen: %s\n",
                     oneLine(SDL_GetError()).c_str());
        return;
    }
    SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
}

std::uint32_t SdlShell::tickCount() {
    return bootMilliseconds();
}

void SdlShell::startTimer(std::uint32_t periodMs) {
    schedule_.start(periodMs);
}

void SdlShell::stopTimer() {
    schedule_.stop();
}

void SdlShell::setTitle(const std::string& title) {
    SDL_SetWindowTitle(window_.get(), title.c_str());
}

void SdlShell::tell(Trouble trouble, const std::string& text) {
    switch (trouble) {
    case Trouble::Launch: std::fputs(text.c_str(), stderr); break;
    case Trouble::NoPicture:
        std::fprintf(stderr, "plonta: playing without a picture: %s\n", oneLine(text).c_str());
        break;
    case Trouble::RecordingStopped:
        std::fprintf(stderr, "%s\n", text.c_str());
        if (isatty(STDERR_FILENO) == 0 && recordingProblem_.empty()) recordingProblem_ = text;
        break;
    case Trouble::NoSound:
    case Trouble::DataFolder: std::fprintf(stderr, "%s\n", oneLine(text).c_str()); break;
    }
}

} // namespace plonta
