// The browser's Display: the frame drawn into wasm memory at the largest scale that fits
// the viewport's device pixels, and put on the page's <canvas id="frame">, texts on top.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "draw/frame_fit.h"
#include "draw/web/web_canvas.h"
#include "present/display.h"

namespace plonta {

// The viewport in device pixels, rounded down: the frame must fit in it whole.
FitSize webViewport();

class WebDisplay final : public Display {
  public:
    WebDisplay();
    ~WebDisplay() override;
    WebDisplay(const WebDisplay&) = delete;
    WebDisplay& operator=(const WebDisplay&) = delete;

    // Finds the page's canvas and sizes it, and the image behind it, for the viewport.
    bool create() override;
    // The viewport or its pixel ratio changed: a new scale makes the image anew.
    bool resize() override;
    void release() override;
    std::string failure() const override { return failure_; }
    void showAll() override { sendAll_ = true; }
    Canvas* canvas() override { return backBuffer_.get(); }
    // Draws the frame again where it changed, and puts that part on the page with one
    // putImageData and the texts that reach it.
    void paintFrame(const FrameDrawer& drawer, const Game& game) override;

    FrameScale scale() const { return scale_; }

  private:
    bool place();
    bool fail(const char* step, const char* why);
    void tellProbe(const std::vector<WebText>& texts);

    std::unique_ptr<WebCanvas> backBuffer_;
    FrameScale scale_;
    bool sendAll_ = true;
    std::string failure_;
    bool probed_ = false;
};

} // namespace plonta
