// The SDL2 program: window, loop, the 250 ms tick, keys and shutdown.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "draw/frame.h"
#include "game/game.h"
#include "present/sdl_display.h"
#include "shell/command.h"
#include "shell/paint_stats.h"
#include "shell/tick_schedule.h"

namespace plonta {

inline constexpr std::uint32_t tickPeriodMs = 250;

// Ticks run only while the window is not minimised.
constexpr bool activeFromWindowFlags(Uint32 flags) {
    return (flags & SDL_WINDOW_MINIMIZED) == 0;
}

// Milliseconds since SDL started.
std::uint64_t sdlClock();

class Shell {
  public:
    explicit Shell(const SdlDisplayCalls& calls = sdlDisplayCalls(),
                   TickSchedule::Clock clock = sdlClock, const char* statsPath = nullptr);
    // Does no work: the process's end takes the window with it.
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Start-up through to the loop, the loop, shutdown: the program's exit status.
    int run();

    // Window, display, game, drawing objects, tick, first frame. False only without a window.
    bool startUp();
    // Until Escape or the window closes.
    void runLoop();
    // One pass: sleep until an event or the next tick, handle what came, tick when due.
    void runPass();
    void handleEvent(const SDL_Event& event);
    // Timer off, surfaces released. The window and SDL stay until the process ends: SDL's
    // X11 wake-up message may still be on its way to the window, and destroying the window
    // first turns a clean exit into a fatal X error when SDL closes its second connection.
    void shutDown();
    // Window gone and SDL closed, for running several shells in one process.
    void closeWindow();

    // Draws the frame now, when there is a display to draw on.
    void repaint();

    Display display;
    Game game;
    FrameDrawer drawer;
    TickSchedule schedule;
    PaintStats stats;
    SDL_Window* window = nullptr;

    bool active = true;
    bool keepRunning = false;
    bool displayReady = false;
    int exitStatus = exitStatusClosed;
    std::uint32_t ticks = 0;
    std::uint32_t paints = 0;

  private:
    void handleKey(SDL_Scancode scancode);
    void noteDisplayFailure();

    bool sdlStarted_ = false;
    PaintStats::Clock::time_point wokeAt_{};
};

} // namespace plonta
