// An xinput1_4.dll for the end-to-end tests: slot 0 holds the pad that the file named by
// PLONTA_XINPUT_PAD describes, read afresh at every call, so a test plugs, presses and unplugs
// by replacing it: "connected", the held buttons (south start back left right down) and
// "stick X" for the left stick across, -1 to 1. No file, or one without "connected", no pad:
// a file rewritten in place is empty for a moment, so a test renames a whole one over it.
// Each call appends its slot to the file PLONTA_XINPUT_LOG names, so a test can count how
// often the program asks.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <xinput.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::FILE* openNamed(const char* variable, const char* mode) {
    const char* path = std::getenv(variable);
    return path != nullptr ? std::fopen(path, mode) : nullptr;
}

} // namespace

extern "C" DWORD WINAPI standInXInputGetState(DWORD slot, XINPUT_STATE* state) {
    if (std::FILE* log = openNamed("PLONTA_XINPUT_LOG", "a")) {
        std::fprintf(log, "%lu\n", slot);
        std::fclose(log);
    }
    char text[256]{};
    std::FILE* file = slot == 0 ? openNamed("PLONTA_XINPUT_PAD", "r") : nullptr;
    if (file == nullptr) return ERROR_DEVICE_NOT_CONNECTED;
    std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    if (std::strstr(text, "connected") == nullptr) return ERROR_DEVICE_NOT_CONNECTED;
    *state = XINPUT_STATE{};
    const struct {
        const char* name;
        WORD bit;
    } buttons[] = {{"south", XINPUT_GAMEPAD_A},          {"start", XINPUT_GAMEPAD_START},
                   {"back", XINPUT_GAMEPAD_BACK},        {"left", XINPUT_GAMEPAD_DPAD_LEFT},
                   {"right", XINPUT_GAMEPAD_DPAD_RIGHT}, {"down", XINPUT_GAMEPAD_DPAD_DOWN}};
    for (const auto& button : buttons)
        if (std::strstr(text, button.name) != nullptr) state->Gamepad.wButtons |= button.bit;
    if (const char* stick = std::strstr(text, "stick "))
        state->Gamepad.sThumbLX = static_cast<SHORT>(std::strtod(stick + 6, nullptr) * 32767);
    return ERROR_SUCCESS;
}
