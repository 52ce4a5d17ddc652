// Text to the user of a GUI program.
#include "shell/win32/win32_messages.h"

#include <cstdlib>

#include "shell/win32/win32_common.h"

namespace plonta {

namespace {

bool leadsSomewhere(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool writeTo(HANDLE handle, const std::string& text) {
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring characters = wide(text);
        DWORD wrote = 0;
        return WriteConsoleW(handle, characters.data(), static_cast<DWORD>(characters.size()),
                             &wrote, nullptr) != 0;
    }
    DWORD wrote = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) != 0;
}

void messageBox(const std::string& text, UINT icon) {
    MessageBoxW(nullptr, wide(text).c_str(), L"Plonta", MB_OK | icon);
}

} // namespace

std::vector<std::string> commandLineArguments() {
    std::vector<std::string> arguments;
    // The C runtime splits the wide command line as every Windows program's does.
    for (int i = 1; i < __argc && __wargv != nullptr; ++i) arguments.push_back(narrow(__wargv[i]));
    return arguments;
}

void showOutput(const std::string& text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (leadsSomewhere(out) && writeTo(out, text)) return;
    // Started from a command prompt: answer there. Its prompt is back already, as for every
    // GUI program, but the words are where the user looks.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        const Handle console(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        const bool written = console.valid() && writeTo(console.get(), text);
        FreeConsole();
        if (written) return;
    }
    messageBox(text, MB_ICONINFORMATION);
}

void tellUser(const std::string& text) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (leadsSomewhere(err)) writeTo(err, text);
    messageBox(text, MB_ICONERROR);
}

} // namespace plonta
