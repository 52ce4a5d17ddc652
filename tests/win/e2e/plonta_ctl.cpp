// Drives the running game's window from inside Wine, for the end-to-end tests.
// Usage: plonta_ctl where|minimise|restore|close|message|dismiss
//   where     prints the client area on the screen and two flags:
//             "LEFT TOP WIDTH HEIGHT ICONIC FOREGROUND"
//   minimise, restore  post WM_SYSCOMMAND as the window's own buttons would
//   close     posts WM_CLOSE, as the system menu's Close would
//   message   prints the text of the game's message box, "Plonta", on one line
//   dismiss   presses the message box's OK button
// Waits up to five seconds for the window (and the box); exit status 2 when it never appears.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HWND waitForWindow(const char* windowClass, const char* title) {
    HWND window = nullptr;
    for (int waited = 0; waited < 5000 && window == nullptr; waited += 50) {
        window = FindWindowA(windowClass, title);
        if (window == nullptr) Sleep(50);
    }
    return window;
}

// The texts of a dialog's static controls: the message, line breaks made spaces.
BOOL CALLBACK collectText(HWND child, LPARAM into) {
    char name[32]{};
    char text[512]{};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
        std::string& all = *reinterpret_cast<std::string*>(into);
        if (!all.empty()) all += ' ';
        for (const char* c = text; *c != '\0'; ++c) all += (*c == '\r' || *c == '\n') ? ' ' : *c;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plonta_ctl where|minimise|restore|close|message|dismiss\n");
        return 2;
    }
    HWND window = waitForWindow("DDWinClass", "Plonta-Test");
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
    if (std::strcmp(command, "message") == 0 || std::strcmp(command, "dismiss") == 0) {
        HWND box = waitForWindow("#32770", "Plonta");
        if (box == nullptr) {
            std::fprintf(stderr, "plonta_ctl: no message box\n");
            return 2;
        }
        if (std::strcmp(command, "dismiss") == 0) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        std::string text;
        EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&text));
        std::printf("%s\n", text.c_str());
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
