// Drives the running game's window from inside Wine, for the end-to-end tests.
// Usage: plonta_ctl where|actions|minimise|restore|close|logoff|message|pointer
//   where     prints the client area on the screen and two flags:
//             "LEFT TOP WIDTH HEIGHT ICONIC FOREGROUND"
//   actions   prints what the window's frame offers: "minimise", "maximise", "resize"
//   minimise, restore  post WM_SYSCOMMAND as the window's own buttons would
//   close     posts WM_CLOSE, as the system menu's Close would
//   logoff    sends WM_QUERYENDSESSION and, when the game agrees, WM_ENDSESSION, as logging
//             off does
//   pointer   prints "shown" or "hidden": whether the screen shows a pointer
//   message   waits for the game's message box, prints its text as UTF-8, then a line
//             "game window: yes" or "no", and presses OK
// Waits up to five seconds for the window; exit status 2 when it never appears.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK longestText(HWND child, LPARAM found) {
    wchar_t text[2048];
    const int length = GetWindowTextW(child, text, 2048);
    auto* longest = reinterpret_cast<std::wstring*>(found);
    if (static_cast<std::size_t>(length) > longest->size()) longest->assign(text, length);
    return TRUE;
}

int answerMessage() {
    HWND box = nullptr;
    for (int waited = 0; waited < 5000 && box == nullptr; waited += 50) {
        box = FindWindowA("#32770", "Plonta");
        if (box == nullptr) Sleep(50);
    }
    if (box == nullptr) {
        std::fprintf(stderr, "plonta_ctl: no Plonta message box\n");
        return 2;
    }
    std::wstring text;
    EnumChildWindows(box, longestText, reinterpret_cast<LPARAM>(&text));
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    std::printf("%s\ngame window: %s\n", utf8.c_str(),
                FindWindowA("DDWinClass", nullptr) != nullptr ? "yes" : "no");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(
            stderr,
            "usage: plonta_ctl where|actions|minimise|restore|close|logoff|message|pointer\n");
        return 2;
    }
    if (std::strcmp(argv[1], "message") == 0) return answerMessage();
    HWND window = nullptr;
    for (int waited = 0; waited < 5000 && window == nullptr; waited += 50) {
        // By its class: a replay adds to the title.
        window = FindWindowA("DDWinClass", nullptr);
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
    if (std::strcmp(command, "actions") == 0) {
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        std::printf("%s %s %s\n", (style & WS_MINIMIZEBOX) != 0 ? "minimise" : "",
                    (style & WS_MAXIMIZEBOX) != 0 ? "maximise" : "",
                    (style & WS_THICKFRAME) != 0 ? "resize" : "");
    } else if (std::strcmp(command, "pointer") == 0) {
        CURSORINFO pointer{};
        pointer.cbSize = sizeof pointer;
        GetCursorInfo(&pointer);
        std::printf("%s\n", pointer.hCursor != nullptr ? "shown" : "hidden");
    } else if (std::strcmp(command, "minimise") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (std::strcmp(command, "restore") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (std::strcmp(command, "close") == 0) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (std::strcmp(command, "logoff") == 0) {
        const LRESULT agreed = SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageA(window, WM_ENDSESSION, agreed != 0, ENDSESSION_LOGOFF);
        std::printf("%s\n", agreed != 0 ? "agreed" : "refused");
    } else {
        std::fprintf(stderr, "plonta_ctl: unknown command %s\n", command);
        return 2;
    }
    return 0;
}
