// Drives the running game's window from inside Wine, for the end-to-end tests.
// Usage: plonta_ctl where|minimise|restore|close
//   where     prints the client area on the screen and two flags:
//             "LEFT TOP WIDTH HEIGHT ICONIC FOREGROUND"
//   minimise, restore  post WM_SYSCOMMAND as the window's own buttons would
//   close     posts WM_CLOSE, as the system menu's Close would
// Waits up to five seconds for the window; exit status 2 when it never appears.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plonta_ctl where|minimise|restore|close\n");
        return 2;
    }
    HWND window = nullptr;
    for (int waited = 0; waited < 5000 && window == nullptr; waited += 50) {
        window = FindWindowA("DDWinClass", "Plonta-Test");
        if (window == nullptr) Sleep(50);
    }
    if (window == nullptr) {
        std::fprintf(stderr, "plonta_ctl: no Plonta-Test window\n");
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "where") == 0) {
        RECT client{};
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        std::printf("%ld %ld %ld %ld %d %d\n", origin.x, origin.y, client.right, client.bottom,
                    IsIconic(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0);
        return 0;
    }
    if (std::strcmp(command, "minimise") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (std::strcmp(command, "restore") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (std::strcmp(command, "close") == 0) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
        std::fprintf(stderr, "plonta_ctl: unknown command %s\n", command);
        return 2;
    }
    return 0;
}
