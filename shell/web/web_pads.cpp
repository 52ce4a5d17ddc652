// The standard mapping's buttons the game uses.
#include "shell/web/web_pads.h"

namespace plonta {

namespace {

enum PadButton : std::uint32_t {
    padSouth = 1u << 0,
    padNorth = 1u << 3,
    padBack = 1u << 8,
    padStart = 1u << 9,
    padDown = 1u << 13,
    padLeft = 1u << 14,
    padRight = 1u << 15,
};

} // namespace

PadState webPadState(bool connected, std::uint32_t buttons, double stickX) {
    PadState pad;
    pad.connected = connected;
    pad.south = (buttons & padSouth) != 0;
    pad.back = (buttons & padBack) != 0;
    pad.north = (buttons & padNorth) != 0;
    pad.start = (buttons & padStart) != 0;
    pad.dpadDown = (buttons & padDown) != 0;
    pad.dpadLeft = (buttons & padLeft) != 0;
    pad.dpadRight = (buttons & padRight) != 0;
    pad.stickX = static_cast<float>(stickX);
    return pad;
}

} // namespace plonta
