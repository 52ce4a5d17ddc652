// The SDL2 program: its window and event loop, reporting to the portable front end.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/sdl/sdl_audio.h"
#include "frontend/program.h"
#include "frontend/tick_schedule.h"
#include "frontend/touch_steering.h"
#include "present/sdl/sdl_display.h"
#include "shell/sdl/sdl_pads.h"

namespace plonta {

// Milliseconds since SDL started, for the tick schedule.
std::uint64_t sdlClock();

class SdlShell final : public HostProgram {
  public:
    explicit SdlShell(const SdlDisplayCalls& calls = sdlDisplayCalls(),
                      TickSchedule::Clock clock = sdlClock);
    // The window and SDL go with the shell.
    ~SdlShell() override;
    SdlShell(const SdlShell&) = delete;
    SdlShell& operator=(const SdlShell&) = delete;

    // One pass of the loop: sleep until an event, the next tick or a held pad direction's next
    // repeat, report what came, tick when due.
    void runPass();
    void handleEvent(const SDL_Event& event);

    const SdlDisplay& display() const { return display_; }
    const TickSchedule& schedule() const { return schedule_; }
    SDL_Window* window() const { return window_.get(); }

    // HostProgram
    FrontEnd& frontEnd() override { return frontEnd_; }
    void showOutput(const std::string& text) override;
    // SDL, then the window: --scale times the frame, or as large as suits the screen. Game
    // controllers where SDL has them: without, the keys play alone.
    bool openWindow(const CommandLine& options) override;
    void runLoop() override;
    void finish() override;

    // Host
    std::uint32_t tickCount() override;
    void startTimer(std::uint32_t periodMs) override;
    void stopTimer() override;
    // The desktop's own resolution with the frame centred and the pointer hidden, and back.
    void toggleFullscreen() override;
    void setTitle(const std::string& title) override;
    // One line on standard error; a recording that stopped also in a message box at the end
    // when standard error leads to no terminal (started from the desktop's menu).
    void tell(Trouble trouble, const std::string& text) override;
    AudioDevice* audioDevice() override { return &audio_; }
    DataFolder* dataFolder() override { return dataFolder_; }
    // The program's data folder; the shell's tests keep none.
    void useDataFolder(DataFolder* folder) { dataFolder_ = folder; }
    // An SDL user event, which SDL lets any thread push.
    void wakeLoop() override;
    ScoreClient* scoreClient() override { return scoreClient_; }
    void useScoreClient(ScoreClient* client) { scoreClient_ = client; }

  private:
    // The window's client area, as the front end needs it.
    void reportArea();
    // A finger on the window's frame, as on the page.
    void touched(const SDL_TouchFingerEvent& finger);
    void startPads();
    // Until an event (true, in event) or timeout ms (-1: no limit); with a pad open, to within
    // Gamepads::pollPeriodMs.
    bool waitForEvent(SDL_Event& event, int timeout);
    std::uint32_t padClock() const { return static_cast<std::uint32_t>(clock_()); }

    // SDL_Quit at the end, once SDL_Init has succeeded.
    struct SdlSubsystem {
        bool started = false;
        ~SdlSubsystem();
    };
    using WindowHandle = std::unique_ptr<SDL_Window, void (*)(SDL_Window*)>;
    // Declared in the order of making: SDL itself goes last, the window after the display's
    // surface that belongs to it.
    std::string recordingProblem_;
    SdlSubsystem sdl_;
    SdlAudio audio_;
    WindowHandle window_{nullptr, SDL_DestroyWindow};
    SdlDisplay display_;
    TickSchedule::Clock clock_;
    TickSchedule schedule_;
    FrontEnd frontEnd_;
    bool padsStarted_ = false;
    DataFolder* dataFolder_ = nullptr;
    ScoreClient* scoreClient_ = nullptr;
    SdlPads pads_;
    TouchSteering touch_;
};

} // namespace plonta
