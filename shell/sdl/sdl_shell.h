// The SDL2 program: its window, its event loop and the keys, around the portable front end.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <memory>

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

    // SDL and the window, then the front end's start-up. False only without a window.
    bool startUp();
    // Until Escape or the window closes.
    void runLoop();
    // One pass: sleep until an event or the next tick, handle what came, tick when due.
    void runPass();
    void handleEvent(const SDL_Event& event);

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

  private:
    void handleKey(SDL_Scancode scancode);
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
};

} // namespace plonta
