// DPI look-ups through functions found at run time: a Windows older than 10 has none of them,
// and the program still starts there at the system's DPI.
#include "shell/win32/win32_dpi.h"

#include <algorithm>

#include "frontend/command_line.h"
#include "frontend/host.h"

namespace plonta {

namespace {

template <typename Function> Function user32Function(const char* name) {
    static HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

} // namespace

FrameScale windowScaleFor(UINT dpi, SIZE client1, SIZE extra, SIZE workArea) {
    return scaleForDpi(dpi, {static_cast<int>(client1.cx), static_cast<int>(client1.cy)},
                       {static_cast<int>(workArea.cx), static_cast<int>(workArea.cy)},
                       static_cast<int>(maxScale),
                       {static_cast<int>(extra.cx), static_cast<int>(extra.cy)});
}

POINT windowPlaceIn(const RECT& workArea, SIZE outer) {
    const FitPoint at = windowPlace(
        {static_cast<int>(workArea.left), static_cast<int>(workArea.top),
         static_cast<int>(workArea.right - workArea.left),
         static_cast<int>(workArea.bottom - workArea.top)},
        {static_cast<int>(outer.cx), static_cast<int>(outer.cy)}, {windowLeft, windowTop});
    return {at.x, at.y};
}

UINT dpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : standardDpi;
}

SIZE frameExtra(DWORD style, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT r{0, 0, 0, 0};
    if (adjustForDpi == nullptr || !adjustForDpi(&r, style, FALSE, 0, dpi))
        AdjustWindowRectEx(&r, style, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

RECT workAreaAt(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace plonta
