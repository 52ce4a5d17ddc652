// The SDL2 program: its window, its event loop and the keys, around the portable front end.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "present/sdl/sdl_display.h"
#include "shell/front_end.h"
#include "shell/tick_schedule.h"

namespace plonta {

// Ticks run only while the window is not minimised.
constexpr bool activeFromWindowFlags(Uint32 flags) {
    return (flags & SDL_WINDOW_MINIMIZED) == 0;
}

// Milliseconds since SDL started.
std::uint64_t sdlClock();

// Without a reachable display SDL falls back on drivers that show nothing (offscreen, dummy and
// its evdev variant), and the game would run unseen with no way to quit it.
bool videoDriverShowsWindows(std::string_view driver);
// Whether the Wayland client library has anything to connect to; asked without, it complains
// on standard error.
bool waylandReachable(const char* waylandDisplay, const char* waylandSocket,
                      const char* runtimeDir);
// The drivers SDL may try, in its own order, when the user chose none by SDL_VIDEODRIVER:
// comma-separated, empty when none of them can show a window here.
std::string windowDriverList();
// Why no window can be opened, from the DISPLAY and WAYLAND_DISPLAY variables.
std::string noDisplayReason(const char* x11Display, const char* waylandDisplay);
// A message of SDL's on one line of ours.
std::string oneLine(const char* text);
// The largest scale, up to maxScale, whose window fits in 80% of a display's usable area;
// at least 1.
int defaultScale(const SDL_Rect& usable);
// Where a window of that size opens: at (100, 150) when it fits there, else centred in the
// usable area, never above or left of it.
SDL_Point windowPosition(const SDL_Rect& usable, int width, int height);

class SdlShell final : public Platform {
  public:
    explicit SdlShell(const SdlDisplayCalls& calls = sdlDisplayCalls(),
                      TickSchedule::Clock clock = sdlClock, const char* statsPath = nullptr);
    // The window and SDL go with the shell.
    ~SdlShell() override;
    SdlShell(const SdlShell&) = delete;
    SdlShell& operator=(const SdlShell&) = delete;

    // Start-up through to the loop, the loop, shutdown: the program's exit status.
    int run();

    // SDL and the window, then the front end's start-up. False, having said why on one line,
    // only without a window.
    bool startUp();
    // Until Escape or the window closes.
    void runLoop();
    // One pass: sleep until an event or the next tick, handle what came, tick when due.
    void runPass();
    void handleEvent(const SDL_Event& event);

    // F11: the desktop's own resolution with the frame centred and the pointer hidden, and
    // back to the window.
    void toggleFullscreen();

    FrontEnd& frontEnd() { return frontEnd_; }
    const SdlDisplay& display() const { return display_; }
    const TickSchedule& schedule() const { return schedule_; }
    SDL_Window* window() const { return window_.get(); }

    // Platform
    bool createDisplay() override;
    std::uint32_t tickCount() override;
    void startTimer(std::uint32_t periodMs) override;
    void stopTimer() override;
    void requestRepaint() override;
    void releaseDisplay() override;

    // --scale N: the window is N times the frame's size; 0 suits the screen. Read by startUp.
    std::uint32_t scale = 0;

  private:
    void handleKey(const SDL_Keysym& key);
    void noteDisplayFailure();

    // SDL_Quit at the end, once SDL_Init has succeeded.
    struct SdlSubsystem {
        bool started = false;
        ~SdlSubsystem();
    };
    using WindowHandle = std::unique_ptr<SDL_Window, void (*)(SDL_Window*)>;

    // Declared in the order of making: SDL itself goes last, the window after the display's
    // renderer that belongs to it.
    SdlSubsystem sdl_;
    WindowHandle window_{nullptr, SDL_DestroyWindow};
    SdlDisplay display_;
    TickSchedule schedule_;
    FrontEnd frontEnd_;
    bool displayFailureNoted_ = false;
};

} // namespace plonta
