// The Win32 window, timer and message loop, and what their messages report to the front end.
#include "shell/win32/win32_shell.h"

#include <cstdio>

#include "shell/win32/win32_dpi.h"
#include "shell/win32/win32_keys.h"
#include "shell/win32/win32_messages.h"

namespace plonta {

namespace {

constexpr UINT_PTR tickTimer = 1;
constexpr UINT_PTR padPollTimer = 2;
constexpr UINT_PTR padScanTimer = 3;
// Posted when the picture is missing: the message box waits for the loop rather than running
// its own loop inside the set-up.
constexpr UINT noPictureMessage = WM_APP + 1;
// Host::wakeLoop's: the score server's answer waits.
constexpr UINT wakeMessage = WM_APP + 2;
constexpr char windowClass[] = "DDWinClass";
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif
// A popup with caption, system menu and minimise box: no maximise box, no sizing frame.
constexpr DWORD windowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_MINIMIZEBOX;
static_assert(windowStyle == 0x80CA0000);

Win32Shell* shellOf(HWND window) {
    return reinterpret_cast<Win32Shell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

} // namespace

void showMessageBox(HWND owner, const char* text) {
    MessageBoxA(owner, text, "Plonta", MB_OK | MB_ICONWARNING);
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages sent while the window is being made come before it knows its shell.
    if (Win32Shell* shell = shellOf(window))
        return shell->handleMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void CALLBACK TimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Win32Shell* shell = shellOf(window)) shell->frontEnd().timerTick();
}

void CALLBACK PadTimerProc(HWND window, UINT, UINT_PTR timer, DWORD) {
    if (Win32Shell* shell = shellOf(window)) shell->padsDue(timer == padScanTimer);
}

Win32Shell::Win32Shell(const Win32Start& start, DirectDrawCreateExFunction directDrawCreateEx)
    : start_(start), display_(directDrawCreateEx), frontEnd_(*this, display_) {}

void Win32Shell::showOutput(const std::string& text) {
    plonta::showOutput(text);
}

bool Win32Shell::openWindow(const CommandLine& options) {
    bool classRegistered = start_.previous != nullptr;
    if (start_.previous == nullptr) {
        WNDCLASSA fields{};
        fields.style = CS_HREDRAW | CS_VREDRAW;
        fields.lpfnWndProc = WndProc;
        fields.cbClsExtra = 0;
        fields.cbWndExtra = 0;
        fields.hInstance = start_.instance;
        fields.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        fields.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        fields.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        fields.lpszMenuName = nullptr;
        fields.lpszClassName = windowClass;
        classRegistered = RegisterClassA(&fields) != 0;
    }
    window_ =
        CreateWindowExA(0, windowClass, windowTitle, windowStyle, windowLeft, windowTop, frameWidth,
                        frameHeight, start_.parent, nullptr, start_.instance, nullptr);
    if (window_ == nullptr) {
        char text[200];
        std::snprintf(text, sizeof text, "Plonta cannot start: %s failed (error %lu).\n",
                      classRegistered ? "creating the window (CreateWindowExA)"
                                      : "registering the window class (RegisterClassA)",
                      GetLastError());
        tell(Trouble::Launch, text);
        return false;
    }
    display_.attach(window_);
    chosenScale_ = options.scale;
    // Made at its 96-DPI size as ever; only another DPI or a chosen scale changes it. Its own
    // client area is the one at scale 1 when it stands at 96 DPI.
    const UINT dpi = dpiOf(window_);
    RECT outside{};
    RECT client{};
    GetWindowRect(window_, &outside);
    GetClientRect(window_, &client);
    const SIZE extra96 = frameExtra(windowStyle, standardDpi);
    client1_ = dpi == standardDpi ? SIZE{client.right, client.bottom}
                                  : SIZE{frameWidth - extra96.cx, frameHeight - extra96.cy};
    const SIZE outer = sizeForDpi(dpi, {windowLeft, windowTop},
                                  {outside.right - outside.left - client.right,
                                   outside.bottom - outside.top - client.bottom});
    if (outer.cx != frameWidth || outer.cy != frameHeight) {
        const POINT at = windowPlaceIn(workAreaAt({windowLeft, windowTop}), outer);
        SetWindowPos(window_, nullptr, at.x, at.y, outer.cx, outer.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // From here on the window's messages report to the front end: showing it tells whether it
    // starts minimised, and its area.
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, start_.showCommand);
    // This first paint finds no display yet: the window shows its black class background.
    UpdateWindow(window_);
    SetFocus(window_);
    return true;
}

SIZE Win32Shell::sizeForDpi(UINT dpi, POINT place, SIZE extra) {
    const RECT work = workAreaAt(place);
    const FrameScale scale = chosenScale_
                                 ? *chosenScale_
                                 : windowScaleFor(dpi, client1_, extra,
                                                  {work.right - work.left, work.bottom - work.top});
    display_.windowScale = scale;
    return {scale.edge(client1_.cx) + extra.cx, scale.edge(client1_.cy) + extra.cy};
}

void Win32Shell::toggleFullscreen() {
    if (!fullscreen_) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        windowedStyle_ = GetWindowLongA(window_, GWL_STYLE);
        GetWindowRect(window_, &windowedRect_);
        fullscreen_ = true;
        display_.filling = true;
        // No display mode change: a popup without caption or frame over the whole monitor.
        SetWindowLongA(window_, GWL_STYLE, windowedStyle_ & ~static_cast<LONG>(WS_CAPTION));
        const RECT& m = monitor.rcMonitor;
        SetWindowPos(window_, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                     SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        // Now, not at the next move: a pointer left standing would stay over the game.
        SetCursor(nullptr);
    } else {
        fullscreen_ = false;
        display_.filling = false;
        SetWindowLongA(window_, GWL_STYLE, windowedStyle_);
        const RECT& w = windowedRect_;
        SetWindowPos(window_, nullptr, w.left, w.top, w.right - w.left, w.bottom - w.top,
                     SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOOWNERZORDER);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
}

bool Win32Shell::dispatchOne() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        frontEnd_.closed();
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void Win32Shell::runLoop() {
    // A pad plugged in before the start plays at once; later ones are found within two
    // seconds.
    if (pads_.available()) {
        padsDue(true);
        SetTimer(window_, padScanTimer, Win32Pads::scanPeriodMs, PadTimerProc);
    }
    // Nothing waits: sleep until a message comes. The timer wakes the loop every 250 ms.
    while (frontEnd_.running())
        if (!dispatchOne()) WaitMessage();
    KillTimer(window_, padScanTimer);
    KillTimer(window_, padPollTimer);
}

void Win32Shell::padsDue(bool scan) {
    const bool polling = pads_.anyConnected();
    if (scan)
        pads_.scan(frontEnd_, GetTickCount());
    else
        pads_.poll(frontEnd_, GetTickCount());
    if (pads_.anyConnected() == polling) return;
    if (pads_.anyConnected())
        SetTimer(window_, padPollTimer, Gamepads::pollPeriodMs, PadTimerProc);
    else
        KillTimer(window_, padPollTimer);
}

void Win32Shell::finish() {
    if (!recordingProblem_.empty()) tellUser(recordingProblem_ + "\n");
}

LRESULT Win32Shell::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE:
        // The high word is the minimised flag; losing the focus alone keeps the game ticking.
        frontEnd_.minimised(HIWORD(wParam) != 0);
        return 0;
    case WM_SIZE:
        // A window minimised while another one is active, or with no other window to take
        // the activation (as under Wine), gets no WM_ACTIVATE: its size change tells too.
        if (wParam == SIZE_MINIMIZED) frontEnd_.minimised(true);
        if (wParam == SIZE_RESTORED) frontEnd_.minimised(false);
        if (wParam == SIZE_MINIMIZED)
            frontEnd_.clientAreaChanged(0, 0);
        else
            frontEnd_.clientAreaChanged(LOWORD(lParam), HIWORD(lParam));
        break;
    case noPictureMessage: {
        const std::string text = "Plonta cannot show its picture: " + noPicture_ +
                                 ".\n\nThe game goes on, but the window stays black.";
        showBox(window_, text.c_str());
        return 0;
    }
    case wakeMessage: frontEnd_.woken(); return 0;
    case WM_QUERYENDSESSION:
        // The recording is on the disk line by line: nothing to stop logging off for.
        return TRUE;
    case WM_ENDSESSION:
        // Once this returns the process may end at any moment, its loop unfinished.
        if (wParam) frontEnd_.sessionEnding();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        frontEnd_.exposed();
        EndPaint(window, &ps);
        break;
    }
    case WM_DPICHANGED: {
        // Onto a monitor with another DPI: the scale follows, at the place Windows suggests.
        // Fullscreen covers the new monitor as it is.
        if (fullscreen_) return 0;
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        const SIZE outer = sizeForDpi(LOWORD(wParam), {suggested->left, suggested->top},
                                      frameExtra(windowStyle, LOWORD(wParam)));
        SetWindowPos(window, nullptr, suggested->left, suggested->top, outer.cx, outer.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SETCURSOR:
        if (fullscreen_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        // Alt+Enter; without a menu Windows would beep at it.
        if (wParam == (message == WM_SYSCHAR ? '\r' : VK_RETURN)) {
            const std::optional<KeyAction> action =
                actionForVirtualKey(VK_RETURN, static_cast<std::uint32_t>(lParam));
            if (action && message == WM_SYSKEYDOWN) frontEnd_.key(*action);
            if (action || message == WM_SYSCHAR) return 0;
        }
        break;
    case WM_KEYDOWN: {
        const std::optional<KeyAction> action = actionForVirtualKey(
            static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        if (!action) break;
        frontEnd_.key(*action);
        // Escape ends the program here, with no default processing.
        if (action->kind == KeyAction::Kind::Quit) return 0;
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::uint32_t Win32Shell::tickCount() {
    return GetTickCount();
}

void Win32Shell::startTimer(std::uint32_t periodMs) {
    SetTimer(window_, tickTimer, periodMs, TimerProc);
}

void Win32Shell::stopTimer() {
    KillTimer(window_, tickTimer);
}

void Win32Shell::wakeLoop() {
    PostMessageA(window_, wakeMessage, 0, 0);
}

void Win32Shell::setTitle(const std::string& title) {
    SetWindowTextA(window_, title.c_str());
}

void Win32Shell::tell(Trouble trouble, const std::string& text) {
    switch (trouble) {
    case Trouble::Launch: tellUser(text); break;
    case Trouble::NoPicture:
        noPicture_ = text;
        PostMessageA(window_, noPictureMessage, 0, 0);
        break;
    case Trouble::RecordingStopped:
        if (recordingProblem_.empty()) recordingProblem_ = text;
        break;
    // A game without sound is still the game: no message box for it.
    case Trouble::NoSound: break;
    // Before any window (--scores) at once; in play once, at the end, so the game is not held
    // up.
    case Trouble::DataFolder:
        if (window_ == nullptr)
            tellUser(text + "\n");
        else if (recordingProblem_.empty())
            recordingProblem_ = text;
        break;
    }
}

} // namespace plonta
