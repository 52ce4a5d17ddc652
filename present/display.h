// What the front end needs of a display, whatever realises it: its life cycle on the host's
// window, a canvas for the drawing objects, and the paint cycle that shows one whole frame.
#pragma once

#include <chrono>
#include <string>

#include "draw/canvas.h"
#include "draw/frame.h"
#include "game/game.h"

namespace plonta {

class Display {
  public:
    using Duration = std::chrono::steady_clock::duration;

    virtual ~Display() = default;

    // Sets the display up on its window; true when frames can be drawn. All or nothing: a
    // failed step releases what was made and failure() says what failed. A window without a
    // client area (started minimised) makes nothing and is no failure.
    virtual bool create() = 0;
    // The window's client area took a new size (fullscreen and back): the display follows it,
    // keeping its canvas and with it the drawing objects. False, everything released and
    // failure() set, when that fails.
    virtual bool resize() { return true; }
    // Safe after a partial set-up and a second time.
    virtual void release() = 0;
    // What made the last set-up fail, for the player: "<step> failed..."; empty otherwise.
    virtual std::string failure() const = 0;
    // The window lost what it showed: the next paint shows all of it again.
    virtual void showAll() {}

    // The canvas the drawing objects are made on; null while there is none.
    virtual Canvas* canvas() = 0;
    // Shows the whole frame as if drawn on a cleared back buffer (a display may draw and send
    // only what changed since the last); returns once the frame is on its way to the screen.
    // Only on a display that was set up.
    virtual void paintFrame(const FrameDrawer& drawer, const Game& game) = 0;

    // How long the latest paint took to draw, and to copy to the screen.
    Duration lastCompose{};
    Duration lastPresent{};
};

} // namespace plonta
