// The SDL2 window, the blocking event loop and what its events report to the front end.
#include "shell/sdl/sdl_shell.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "shell/posix/posix_clock.h"
#include "shell/sdl/sdl_keys.h"
#include "shell/sdl/video_driver.h"

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

int fittingScale(int asked, const SDL_Rect& usable) {
    int scale = asked;
    while (scale > 1 && (frameWidth * scale > usable.w || frameHeight * scale > usable.h)) --scale;
    return scale;
}

SDL_Point windowPosition(const SDL_Rect& usable, int width, int height) {
    constexpr SDL_Point usual{windowLeft, windowTop};
    if (usual.x >= usable.x && usual.y >= usable.y && usual.x + width <= usable.x + usable.w &&
        usual.y + height <= usable.y + usable.h)
        return usual;
    return SDL_Point{usable.x + std::max((usable.w - width) / 2, 0),
                     usable.y + std::max((usable.h - height) / 2, 0)};
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
    int scale = defaultScale(usable);
    if (options.scale != 0) {
        // A window larger than the screen would put the paddle and the bin out of sight.
        scale = fittingScale(static_cast<int>(options.scale), usable);
        if (scale != static_cast<int>(options.scale))
            std::fprintf(stderr, "plonta: --scale %u does not fit the screen (%dx%d): scale %d\n",
                         options.scale, usable.w, usable.h, scale);
    }
    const int width = frameWidth * scale;
    const int height = frameHeight * scale;
    const SDL_Point at = windowPosition(usable, width, height);
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
    if (openPads_.empty())
        return timeout < 0 ? SDL_WaitEvent(&event) == 1
                           : SDL_WaitEventTimeout(&event, timeout) == 1;
    // With a pad open SDL's own wait looks for news every millisecond; a look every
    // padPollMs is as quick for a player at a fraction of the cost.
    if (SDL_PollEvent(&event) == 1) return true;
    if (timeout == 0) return false;
    SDL_Delay(static_cast<Uint32>(timeout < 0 ? padPollMs : std::min(timeout, padPollMs)));
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
    if (const std::optional<std::uint32_t> repeat = pads_.nextDeadline()) {
        const int untilRepeat = std::max(static_cast<std::int32_t>(*repeat - padClock()), 0);
        timeout = timeout < 0 ? untilRepeat : std::min(timeout, untilRepeat);
    }
    if (waitForEvent(event, timeout)) {
        handleEvent(event);
        while (frontEnd_.running() && SDL_PollEvent(&event)) handleEvent(event);
    }
    if (frontEnd_.running() && pads_.nextDeadline()) sendPadActions(pads_.repeat(padClock()));
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
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION: controllerEvent(event); break;
    default: break;
    }
}

void SdlShell::controllerEvent(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        // The event names a device index; everything after it the controller's instance id.
        SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
        if (controller == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        // A controller there at start-up can be reported twice.
        const bool known = std::any_of(openPads_.begin(), openPads_.end(),
                                       [id](const OpenPad& pad) { return pad.id == id; });
        if (known) {
            SDL_GameControllerClose(controller);
            return;
        }
        OpenPad& pad = openPads_.emplace_back();
        pad.id = id;
        pad.controller.reset(controller);
        sendPadActions(pads_.update(id, pad.state, padClock(), frontEnd_.game().state));
        return;
    }
    // Button and axis events carry the instance id where the removal does.
    const SDL_JoystickID id = event.type == SDL_CONTROLLERAXISMOTION      ? event.caxis.which
                              : event.type == SDL_CONTROLLERDEVICEREMOVED ? event.cdevice.which
                                                                          : event.cbutton.which;
    const auto pad = std::find_if(openPads_.begin(), openPads_.end(),
                                  [id](const OpenPad& open) { return open.id == id; });
    if (pad == openPads_.end()) return;
    PadState& state = pad->state;
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        state = PadState{};
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        if (event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return;
        state.stickX = std::max(static_cast<float>(event.caxis.value) / 32767.0f, -1.0f);
    } else {
        const bool down = event.cbutton.state == SDL_PRESSED;
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: state.dpadLeft = down; break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: state.dpadRight = down; break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: state.dpadDown = down; break;
        case SDL_CONTROLLER_BUTTON_A: state.south = down; break;
        case SDL_CONTROLLER_BUTTON_START: state.start = down; break;
        case SDL_CONTROLLER_BUTTON_BACK: state.back = down; break;
        default: return;
        }
    }
    sendPadActions(pads_.update(id, state, padClock(), frontEnd_.game().state));
    if (!state.connected) openPads_.erase(pad);
}

void SdlShell::sendPadActions(const std::vector<KeyAction>& actions) {
    for (const KeyAction& action : actions) frontEnd_.key(action);
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
    case Trouble::NoSound: std::fprintf(stderr, "%s\n", oneLine(text).c_str()); break;
    }
}

} // namespace plonta
