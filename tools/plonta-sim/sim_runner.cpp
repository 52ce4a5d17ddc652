// Frames for the driver's shot command.
#include "tools/plonta-sim/sim_runner.h"

namespace plonta {

namespace {
constexpr int clientWidth = 400;
constexpr int clientHeight = 500;
} // namespace

SimRunner::SimRunner() : canvas_(clientWidth, clientHeight) {
    // Once per run, right after the set-up, as the real program does.
    drawer_.createDrawingObjects(canvas_);
}

void SimRunner::gameStarted() {
    const DrawingObjects objects = drawer_.drawingObjects;
    drawer_ = FrameDrawer{};
    drawer_.drawingObjects = objects;
}

bool SimRunner::shot(const std::string& path, std::int32_t scale, std::string& error) {
    if (scale != canvas_.scale() && !canvas_.setImage(scale)) {
        error = "shot: no image at scale " + std::to_string(scale);
        return false;
    }
    // A shot is a frame like any other: in Paused it flips the blink.
    const std::uint8_t blinkBefore = drawer_.pauseBlink;
    canvas_.clear();
    drawer_.drawFrame(canvas_, game());
    if (!canvas_.writePng(path.c_str())) {
        drawer_.pauseBlink = blinkBefore;
        error = "shot: cannot write '" + path.substr(0, 40) + (path.size() > 40 ? "...'" : "'");
        return false;
    }
    return true;
}

} // namespace plonta
