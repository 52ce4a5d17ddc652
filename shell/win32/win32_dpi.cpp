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

int windowScaleFor(UINT dpi, SIZE client1, SIZE extra, SIZE workArea) {
    int scale = std::clamp(static_cast<int>((dpi + standardDpi / 2) / standardDpi), 1,
                           static_cast<int>(maxScale));
    while (scale > 1 && (scale * client1.cx + extra.cx > workArea.cx ||
                         scale * client1.cy + extra.cy > workArea.cy))
        --scale;
    return scale;
}

POINT windowPlaceIn(const RECT& workArea, SIZE outer) {
    const POINT usual{windowLeft, windowTop};
    if (usual.x >= workArea.left && usual.y >= workArea.top &&
        usual.x + outer.cx <= workArea.right && usual.y + outer.cy <= workArea.bottom)
        return usual;
    return {workArea.left + std::max((workArea.right - workArea.left - outer.cx) / 2, 0L),
            workArea.top + std::max((workArea.bottom - workArea.top - outer.cy) / 2, 0L)};
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
