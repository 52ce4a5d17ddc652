// XInput's state of each slot read into the portable pad snapshot.
#include "shell/win32/win32_pads.h"

#include <xinput.h>

#include <algorithm>

namespace plonta {

namespace {

PadState snapshot(const XINPUT_GAMEPAD& pad) {
    const auto pressed = [&pad](WORD button) { return (pad.wButtons & button) != 0; };
    PadState state;
    state.connected = true;
    state.dpadLeft = pressed(XINPUT_GAMEPAD_DPAD_LEFT);
    state.dpadRight = pressed(XINPUT_GAMEPAD_DPAD_RIGHT);
    state.dpadDown = pressed(XINPUT_GAMEPAD_DPAD_DOWN);
    state.south = pressed(XINPUT_GAMEPAD_A);
    state.start = pressed(XINPUT_GAMEPAD_START);
    state.back = pressed(XINPUT_GAMEPAD_BACK);
    state.north = pressed(XINPUT_GAMEPAD_Y);
    state.stickX = std::max(-1.0f, static_cast<float>(pad.sThumbLX) / 32767.0f);
    return state;
}

} // namespace

Win32Pads::Win32Pads() {
    HMODULE library = nullptr;
    for (const char* name : {"xinput1_4.dll", "xinput9_1_0.dll"}) {
        library = LoadLibraryA(name);
        if (library != nullptr) break;
    }
    if (library == nullptr) return;
    // Through a function pointer of no type: GetProcAddress's own type is not the function's.
    getState_ = reinterpret_cast<GetStateFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "XInputGetState")));
}

bool Win32Pads::anyConnected() const {
    return std::any_of(connected_.begin(), connected_.end(), [](bool there) { return there; });
}

void Win32Pads::scan(FrontEnd& frontEnd, std::uint32_t nowMs) {
    read(false, frontEnd, nowMs);
}

void Win32Pads::poll(FrontEnd& frontEnd, std::uint32_t nowMs) {
    read(true, frontEnd, nowMs);
}

void Win32Pads::read(bool connectedSlots, FrontEnd& frontEnd, std::uint32_t nowMs) {
    if (getState_ == nullptr) return;
    for (DWORD slot = 0; slot < connected_.size(); ++slot) {
        if (connected_[slot] != connectedSlots) continue;
        XINPUT_STATE state{};
        const bool there = getState_(slot, &state) == ERROR_SUCCESS;
        // An empty slot that stays empty says nothing.
        if (!there && !connected_[slot]) continue;
        connected_[slot] = there;
        frontEnd.pad(static_cast<int>(slot), there ? snapshot(state.Gamepad) : PadState{}, nowMs);
    }
}

} // namespace plonta
