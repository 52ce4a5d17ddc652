// An xinput1_4.dll for the end-to-end tests: slot 0 holds the pad that the file named by
// PLONTA_XINPUT_PAD describes, read afresh at every call, so a test plugs, presses and unplugs
// by rewriting it. The file holds "connected" and the pressed buttons' names (a b start back
// left right up down), and "stick X" for the left stick's X from -1 to 1; a file that is missing
// or says nothing else is no pad. When PLONTA_XINPUT_LOG names a file, each call appends its
// slot there, so a test can count how often the program asks.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <xinput.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Button {
    const char* name;
    WORD bit;
};

constexpr Button buttons[] = {
    {"a", XINPUT_GAMEPAD_A},
    {"b", XINPUT_GAMEPAD_B},
    {"start", XINPUT_GAMEPAD_START},
    {"back", XINPUT_GAMEPAD_BACK},
    {"left", XINPUT_GAMEPAD_DPAD_LEFT},
    {"right", XINPUT_GAMEPAD_DPAD_RIGHT},
    {"up", XINPUT_GAMEPAD_DPAD_UP},
    {"down", XINPUT_GAMEPAD_DPAD_DOWN},
};

void logCall(DWORD slot) {
    const char* log = std::getenv("PLONTA_XINPUT_LOG");
    if (log == nullptr) return;
    if (std::FILE* file = std::fopen(log, "a")) {
        std::fprintf(file, "%lu\n", slot);
        std::fclose(file);
    }
}

// Whether the file describes a connected pad, and its state when it does.
bool readPad(XINPUT_GAMEPAD& pad) {
    const char* path = std::getenv("PLONTA_XINPUT_PAD");
    std::FILE* file = path != nullptr ? std::fopen(path, "r") : nullptr;
    if (file == nullptr) return false;
    bool connected = false;
    char word[32];
    while (std::fscanf(file, "%31s", word) == 1) {
        if (std::strcmp(word, "connected") == 0) connected = true;
        if (std::strcmp(word, "stick") == 0) {
            double x = 0;
            if (std::fscanf(file, "%lf", &x) == 1)
                pad.sThumbLX = static_cast<SHORT>(x < 0 ? x * 32768 : x * 32767);
        }
        for (const Button& button : buttons)
            if (std::strcmp(word, button.name) == 0) pad.wButtons |= button.bit;
    }
    std::fclose(file);
    return connected;
}

} // namespace

extern "C" DWORD WINAPI standInXInputGetState(DWORD slot, XINPUT_STATE* state) {
    logCall(slot);
    static DWORD packet = 0;
    XINPUT_STATE now{};
    if (slot != 0 || !readPad(now.Gamepad)) return ERROR_DEVICE_NOT_CONNECTED;
    now.dwPacketNumber = ++packet;
    *state = now;
    return ERROR_SUCCESS;
}
