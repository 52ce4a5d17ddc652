// The Windows program: its window, timer and message loop around the portable front end.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "present/ddraw/ddraw_display.h"
#include "shell/front_end.h"

namespace plonta {

// Shows the player a message about the window; the shell's own is a message box.
using NoticeFunction = void (*)(HWND owner, const char* text);
void showMessageBox(HWND owner, const char* text);

class Win32Shell final : public Platform {
  public:
    explicit Win32Shell(HINSTANCE instance,
                        DirectDrawCreateExFunction directDrawCreateEx = DirectDrawCreateEx,
                        const char* statsPath = nullptr);
    Win32Shell(const Win32Shell&) = delete;
    Win32Shell& operator=(const Win32Shell&) = delete;

    // WinMain's work: start-up, the loop, shutdown; the program's exit status.
    int run(HINSTANCE previous, int showCommand);
    // The window class (unless a previous instance made it), the window shown with the
    // show command, then the front end's start-up. False, having told the user, without one.
    // A parent of HWND_MESSAGE makes a window that needs no screen, for tests.
    bool startUp(HINSTANCE previous, int showCommand, HWND parent = nullptr);
    // Until Escape or WM_QUIT; sleeps whenever no message waits.
    void runLoop();
    // Takes and dispatches one waiting message; false when none waited. WM_QUIT ends play.
    bool dispatchOne();

    // The window procedure's and the timer procedure's work.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void timerFired();

    FrontEnd& frontEnd() { return frontEnd_; }
    // How a failed display set-up is told, once: tests take the text instead of a box.
    NoticeFunction notice = showMessageBox;
    DDrawDisplay& display() { return display_; }
    HWND window() const { return window_; }

    // Platform
    bool createDisplay() override;
    std::uint32_t tickCount() override;
    void startTimer(std::uint32_t periodMs) override;
    void stopTimer() override;
    void requestRepaint() override;
    void releaseDisplay() override;
    void recordingFailed(const std::string& message) override;

    // What went wrong with the recording, for a message box once the game is over.
    const std::string& recordingProblem() const { return recordingProblem_; }

  private:
    void tellDisplayFailed();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    DDrawDisplay display_;
    FrontEnd frontEnd_;
    std::string recordingProblem_;
    bool displayFailureTold_ = false;
};

// The window procedure of "DDWinClass" and the procedure of timer 1: both find their shell
// through the window.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR timer, DWORD time);

} // namespace plonta
