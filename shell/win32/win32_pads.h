// Gamepads through XInput, loaded at run time: where the system has no XInput the program
// plays with the keyboard alone. Only the shell's timers ask: connected pads often, the free
// slots seldom, since XInput is slow to look at an empty slot.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstdint>

#include "frontend/front_end.h"

namespace plonta {

class Win32Pads {
  public:
    // How often the shell looks for new pads.
    static constexpr std::uint32_t scanPeriodMs = 2000;

    // The first XInput that loads: the one of Windows 8 and later, else the one every Windows
    // since Vista has.
    // Never unloaded: an XInput may run a thread of its own that outlives FreeLibrary (Wine's
    // does, and ended the process with SIGKILL at exit now and then); the process's end
    // releases it.
    Win32Pads();
    Win32Pads(const Win32Pads&) = delete;
    Win32Pads& operator=(const Win32Pads&) = delete;

    bool available() const { return getState_ != nullptr; }
    // Whether a slot holds a pad, so the shell reads them often.
    bool anyConnected() const;
    // The free slots: a pad found there reports to the front end from now on.
    void scan(FrontEnd& frontEnd, std::uint32_t nowMs);
    // The connected pads, each reported to the front end, a pad that went too.
    void poll(FrontEnd& frontEnd, std::uint32_t nowMs);

  private:
    using GetStateFunction = DWORD(WINAPI*)(DWORD, void*);
    void read(bool connectedSlots, FrontEnd& frontEnd, std::uint32_t nowMs);

    GetStateFunction getState_ = nullptr;
    // XInput's four slots.
    std::array<bool, 4> connected_{};
};

} // namespace plonta
