// The Win32 window, timer and message loop, and what their messages mean to the front end.
#include "shell/win32/win32_shell.h"

#include <cstdio>

#include "shell/win32/win32_io.h"
#include "shell/win32/win32_keys.h"

namespace plonta {

namespace {

constexpr UINT_PTR tickTimer = 1;
// Posted by a failed display set-up: the message box waits for the loop rather than running
// its own loop inside the set-up.
constexpr UINT displayFailedMessage = WM_APP + 1;
constexpr char windowClass[] = "DDWinClass";
constexpr char windowTitle[] = "Plonta-Test";
// A popup with caption, system menu and minimise box: no maximise box, no sizing frame.
constexpr DWORD windowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_MINIMIZEBOX;
static_assert(windowStyle == 0x80CA0000);

Win32Shell* shellOf(HWND window) {
    return reinterpret_cast<Win32Shell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The user can act on this one: say what failed.
void tellWindowFailed(const char* what) {
    char text[200];
    std::snprintf(text, sizeof text, "Plonta cannot start: %s failed (error %lu).", what,
                  GetLastError());
    MessageBoxA(nullptr, text, windowTitle, MB_OK | MB_ICONERROR);
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
    if (Win32Shell* shell = shellOf(window)) shell->timerFired();
}

Win32Shell::Win32Shell(HINSTANCE instance, DirectDrawCreateExFunction directDrawCreateEx,
                       const char* statsPath)
    : instance_(instance), display_(directDrawCreateEx), frontEnd_(*this, display_, statsPath) {}

int Win32Shell::run(HINSTANCE previous, int showCommand) {
    if (!startUp(previous, showCommand)) return exitStatusNoWindow;
    runLoop();
    frontEnd_.shutDown();
    // Only now: a message box in mid-game would hold play up while it waits.
    if (!recordingProblem_.empty()) tellUser(recordingProblem_ + "\n");
    return frontEnd_.exitStatus;
}

bool Win32Shell::startUp(HINSTANCE previous, int showCommand, HWND parent) {
    bool classRegistered = previous != nullptr;
    if (previous == nullptr) {
        WNDCLASSA fields{};
        fields.style = CS_HREDRAW | CS_VREDRAW;
        fields.lpfnWndProc = WndProc;
        fields.cbClsExtra = 0;
        fields.cbWndExtra = 0;
        fields.hInstance = instance_;
        fields.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        fields.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        fields.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        fields.lpszMenuName = nullptr;
        fields.lpszClassName = windowClass;
        classRegistered = RegisterClassA(&fields) != 0;
    }
    window_ = CreateWindowExA(0, windowClass, windowTitle, windowStyle, 100, 150, 400, 500, parent,
                              nullptr, instance_, nullptr);
    if (window_ == nullptr) {
        tellWindowFailed(classRegistered ? "creating the window (CreateWindowExA)"
                                         : "registering the window class (RegisterClassA)");
        return false;
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, showCommand);
    // This first paint finds no display yet: the window shows its black class background.
    UpdateWindow(window_);
    SetFocus(window_);
    frontEnd_.startUp();
    return true;
}

bool Win32Shell::dispatchOne() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        frontEnd_.windowClosed();
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void Win32Shell::runLoop() {
    // Nothing waits: sleep until a message comes. The timer wakes the loop every 250 ms.
    while (frontEnd_.keepRunning)
        if (!dispatchOne()) WaitMessage();
}

LRESULT Win32Shell::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE:
        // The high word is the minimised flag; losing the focus alone keeps the game ticking.
        frontEnd_.active = HIWORD(wParam) == 0;
        return 0;
    case WM_SIZE:
        // A window minimised while another one is active, or with no other window to take
        // the activation (as under Wine), gets no WM_ACTIVATE: its size change tells too.
        if (wParam == SIZE_MINIMIZED) frontEnd_.active = false;
        if (wParam == SIZE_RESTORED) frontEnd_.active = true;
        frontEnd_.clientAreaChanged(wParam != SIZE_MINIMIZED && LOWORD(lParam) > 0 &&
                                    HIWORD(lParam) > 0);
        break;
    case displayFailedMessage: tellDisplayFailed(); return 0;
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
        frontEnd_.paint();
        EndPaint(window, &ps);
        break;
    }
    case WM_KEYDOWN: {
        if (wParam == VK_ESCAPE) {
            frontEnd_.quit();
            return 0;
        }
        const std::optional<Command> command = commandForVirtualKey(
            static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        if (command) frontEnd_.command(*command);
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Shell::timerFired() {
    frontEnd_.timerTick();
}

bool Win32Shell::createDisplay() {
    // Started minimised the client area is empty, and a surface of no size cannot be made:
    // the set-up waits for WM_SIZE to bring an area.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right <= client.left || client.bottom <= client.top) return false;
    const bool ready = display_.createSurfaces(window_);
    display_.prepareFill();
    if (!ready && !displayFailureTold_) {
        displayFailureTold_ = true;
        PostMessageA(window_, displayFailedMessage, 0, 0);
    }
    return ready;
}

void Win32Shell::tellDisplayFailed() {
    char text[240];
    std::snprintf(text, sizeof text,
                  "Plonta cannot show its picture: %s failed with error 0x%08lX.\n\n"
                  "The game goes on, but the window stays black.",
                  display_.failedCall != nullptr ? display_.failedCall : "DirectDraw",
                  static_cast<unsigned long>(display_.lastResult));
    notice(window_, text);
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

void Win32Shell::requestRepaint() {
    SendMessageA(window_, WM_PAINT, 0, 0);
}

void Win32Shell::releaseDisplay() {
    display_.releaseSurfaces();
}

void Win32Shell::recordingFailed(const std::string& message) {
    if (recordingProblem_.empty()) recordingProblem_ = message;
}

} // namespace plonta
