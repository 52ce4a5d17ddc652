// The Windows program: the window, the 250 ms timer, the key map and the message loop.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

#include "draw/frame.h"
#include "draw/gdi_canvas.h"
#include "game/game.h"
#include "present/ddraw_display.h"
#include "shell/command.h"
#include "shell/win32_keys.h"

#ifdef PLONTA_MEASURE
#include "shell/win32_measure.h"
#endif

namespace {

constexpr UINT_PTR tickTimer = 1;
constexpr UINT tickPeriodMs = 250;
constexpr char windowClass[] = "DDWinClass";
constexpr char windowTitle[] = "Plonta-Test";
// A popup with caption, system menu and minimise box: no maximise box, no sizing frame.
constexpr DWORD windowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_MINIMIZEBOX;
static_assert(windowStyle == 0x80CA0000);

// The two long-lived objects, constructed in this order before WinMain runs.
plonta::Display display;
plonta::Game game;
// The canvas whose handles the drawing objects are, and the drawing layer's lasting state.
plonta::GdiCanvas canvas;
plonta::FrameDrawer drawer;

// False while the window is minimised: no ticks then.
bool active = true;
bool keepRunning = false;
bool displayReady = false;

#ifdef PLONTA_MEASURE
plonta::Measurement measurement;
#endif

void repaint(HWND window) {
    SendMessageA(window, WM_PAINT, 0, 0);
}

void paint(HWND window) {
#ifdef PLONTA_MEASURE
    const auto started = measurement.now();
    display.paintFrame(window, canvas, drawer, game);
    measurement.paintDone(started);
#else
    display.paintFrame(window, canvas, drawer, game);
#endif
}

void CALLBACK TimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (!active) return;
    game.tick();
    repaint(window);
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE:
        // The high word is the minimised flag; losing the focus alone keeps the game ticking.
        active = HIWORD(wParam) == 0;
        return 0;
    case WM_SIZE:
        // A window minimised while another one is active, or with no other window to take
        // the activation (as under Wine), gets no WM_ACTIVATE: its size change tells too.
        if (wParam == SIZE_MINIMIZED) active = false;
        if (wParam == SIZE_RESTORED) active = true;
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        if (displayReady) paint(window);
        EndPaint(window, &ps);
        break;
    }
    case WM_KEYDOWN: {
        const plonta::Command command = plonta::commandForVirtualKey(
            static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        if (command == plonta::Command::Quit) {
            keepRunning = false;
            return 0;
        }
        if (plonta::applyCommand(game, command)) repaint(window);
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The user can act on this one: say what failed, then end with a non-zero status.
int windowFailed(const char* what) {
    char text[200];
    std::snprintf(text, sizeof text, "Plonta cannot start: %s failed (error %lu).", what,
                  GetLastError());
    MessageBoxA(nullptr, text, windowTitle, MB_OK | MB_ICONERROR);
    return plonta::exitStatusNoWindow;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    bool classRegistered = previous != nullptr;
    if (previous == nullptr) {
        WNDCLASSA windowClassFields{};
        windowClassFields.style = CS_HREDRAW | CS_VREDRAW;
        windowClassFields.lpfnWndProc = WndProc;
        windowClassFields.cbClsExtra = 0;
        windowClassFields.cbWndExtra = 0;
        windowClassFields.hInstance = instance;
        windowClassFields.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        windowClassFields.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClassFields.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClassFields.lpszMenuName = nullptr;
        windowClassFields.lpszClassName = windowClass;
        classRegistered = RegisterClassA(&windowClassFields) != 0;
    }

    HWND window = CreateWindowExA(0, windowClass, windowTitle, windowStyle, 100, 150, 400, 500,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return windowFailed(classRegistered ? "creating the window (CreateWindowExA)"
                                            : "registering the window class (RegisterClassA)");
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetFocus(window);

    displayReady = display.createSurfaces(window);
    display.prepareFill();
    game.setUp(10, 5, 5, 1);
    drawer.createDrawingObjects(canvas);
    SetTimer(window, tickTimer, tickPeriodMs, TimerProc);
    repaint(window);
    keepRunning = true;

#ifdef PLONTA_MEASURE
    const bool busyLoop = measurement.busyLoop();
#endif
    MSG message{};
    while (keepRunning) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
#ifdef PLONTA_MEASURE
        // The loop this one replaced, kept only to measure against: it spun while not minimised.
        if (busyLoop && active) continue;
#endif
        // Nothing waits: sleep until a message comes. The timer wakes the loop every 250 ms.
        WaitMessage();
    }

    KillTimer(window, tickTimer);
    display.releaseSurfaces();
#ifdef PLONTA_MEASURE
    measurement.write();
#endif
    return static_cast<int>(message.wParam);
}
