// The browser's Gamepad API, as the page reads it, into the front end's pad snapshot.
#pragma once

#include <cstdint>

#include "frontend/gamepad.h"

namespace plonta {

// A pad the page read: its pressed buttons as bits in the standard mapping's order (bit i for
// buttons[i]), and the left stick across.
PadState webPadState(bool connected, std::uint32_t buttons, double stickX);

} // namespace plonta
