// The driver's runner: the script language, plus frames drawn as the window shows them.
#pragma once

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"
#include "game/script.h"

namespace plonta {

class SimRunner final : public ScriptRunner {
  public:
    SimRunner();

    const FrameDrawer& drawer() const { return drawer_; }

  protected:
    // A fresh game starts a fresh blink; the drawing objects stay those made at start.
    void gameStarted() override;
    // Draws the current frame as the window shows it at that scale, into a PNG file.
    bool shot(const std::string& path, std::int32_t scale, std::string& error) override;

  private:
    // The window's client area, as the real program draws it.
    CairoCanvas canvas_;
    FrameDrawer drawer_;
};

} // namespace plonta
