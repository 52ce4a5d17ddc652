// The Windows program: its window, timer and message loop, reporting to the portable front end.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "audio/win32/waveout_audio.h"
#include "frontend/program.h"
#include "present/ddraw/ddraw_display.h"
#include "shell/win32/win32_pads.h"

namespace plonta {

// Shows a message box about the window; tests take the text instead.
using MessageBoxFunction = void (*)(HWND owner, const char* text);
void showMessageBox(HWND owner, const char* text);

// How the window is made: WinMain's previous instance and show command. A parent of
// HWND_MESSAGE makes a window that needs no screen, for tests.
struct Win32Start {
    HINSTANCE instance = nullptr;
    HINSTANCE previous = nullptr;
    int showCommand = SW_SHOWNORMAL;
    HWND parent = nullptr;
};

class Win32Shell final : public HostProgram {
  public:
    explicit Win32Shell(const Win32Start& start,
                        DirectDrawCreateExFunction directDrawCreateEx = DirectDrawCreateEx);
    Win32Shell(const Win32Shell&) = delete;
    Win32Shell& operator=(const Win32Shell&) = delete;

    // Takes and dispatches one waiting message; false when none waited. WM_QUIT ends play.
    bool dispatchOne();
    // The window procedure's work.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DDrawDisplay& display() { return display_; }
    HWND window() const { return window_; }
    // How the missing picture is told, once the loop runs.
    MessageBoxFunction showBox = showMessageBox;

    // HostProgram
    FrontEnd& frontEnd() override { return frontEnd_; }
    void showOutput(const std::string& text) override;
    // The window class (unless a previous instance made it), then the window, shown, updated
    // and focused.
    bool openWindow(const CommandLine& options) override;
    // Until Escape or WM_QUIT; sleeps whenever no message waits. Pads are looked for from here.
    void runLoop() override;
    // A recording that stopped is told now: a message box in mid-game would hold play up.
    void finish() override;

    // Host
    std::uint32_t tickCount() override;
    void startTimer(std::uint32_t periodMs) override;
    void stopTimer() override;
    // A borderless window over the whole monitor, the frame in its middle and no pointer;
    // then the window as it was.
    void toggleFullscreen() override;
    void setTitle(const std::string& title) override;
    void tell(Trouble trouble, const std::string& text) override;
    AudioDevice* audioDevice() override { return &audio_; }
    DataFolder* dataFolder() override { return dataFolder_; }
    // The program's data folder; the shell's tests keep none.
    void useDataFolder(DataFolder* folder) { dataFolder_ = folder; }
    // A message posted to the window, which any thread may post.
    void wakeLoop() override;
    ScoreClient* scoreClient() override { return scoreClient_; }
    void useScoreClient(ScoreClient* client) { scoreClient_ = client; }

    // What went wrong with the recording, for a message box once the game is over.
    const std::string& recordingProblem() const { return recordingProblem_; }

    // A pad timer fired: the free slots looked at (scan) or the connected pads read. The
    // quick timer runs only while a pad is connected.
    void padsDue(bool scan);

  private:
    // The scale for a DPI (unless the command line chose one) and the window's outer size at
    // it, with extra for frame and caption: the client area shows what the window at 96 DPI
    // shows, scale times as large.
    SIZE sizeForDpi(UINT dpi, POINT place, SIZE extra);

    Win32Start start_;
    std::optional<FrameScale> chosenScale_;
    SIZE client1_{0, 0};
    bool fullscreen_ = false;
    LONG windowedStyle_ = 0;
    RECT windowedRect_{};
    HWND window_ = nullptr;
    DDrawDisplay display_;
    // Before the front end, whose sound closes it.
    WaveOutAudio audio_;
    FrontEnd frontEnd_;
    Win32Pads pads_;
    std::string noPicture_;
    std::string recordingProblem_;
    DataFolder* dataFolder_ = nullptr;
    ScoreClient* scoreClient_ = nullptr;
};

// The window procedure of "DDWinClass", the procedure of timer 1 and that of the pad timers:
// all find their shell through the window.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR timer, DWORD time);
void CALLBACK PadTimerProc(HWND window, UINT message, UINT_PTR timer, DWORD time);

} // namespace plonta
