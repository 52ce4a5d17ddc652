// What the front end needs of a display, whatever realises it: a canvas for the drawing
// objects, and the paint cycle that shows one whole frame.
#pragma once

#include <chrono>

#include "draw/canvas.h"
#include "draw/frame.h"
#include "game/game.h"

namespace plonta {

class Display {
  public:
    using Duration = std::chrono::steady_clock::duration;

    virtual ~Display() = default;

    // The canvas the drawing objects are made on; null while there is none.
    virtual Canvas* canvas() = 0;
    // Shows the whole frame as if drawn on a cleared back buffer (a display may draw and send
    // only what changed since the last); returns once the frame is on its way to the screen.
    // Only on a display that was set up.
    virtual void paintFrame(FrameDrawer& drawer, const Game& game) = 0;

    // How long the latest paint took to draw, and to copy to the screen.
    Duration lastCompose{};
    Duration lastPresent{};
};

} // namespace plonta
