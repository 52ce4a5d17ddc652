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
    // The base class set the first game up before this runner could follow it.
    shown_ = game();
}

void SimRunner::gameStarted() {
    const DrawingObjects objects = drawer_.drawingObjects;
    drawer_ = FrameDrawer{};
    drawer_.drawingObjects = objects;
    shown_ = game();
}

void SimRunner::framesShown(std::int32_t frames) {
    shown_ = game();
    // A run of ticks is Paused throughout or not at all: ticks neither enter nor leave it.
    if (shown_.state == GameState::Paused && frames % 2 == 1)
        drawer_.pauseBlink = drawer_.pauseBlink == 0 ? 1 : 0;
}

bool SimRunner::shot(const std::string& path, std::int32_t scale, std::string& error) {
    if (scale != canvas_.scale() && !canvas_.setImage(scale)) {
        error = "shot: no image at scale " + std::to_string(scale);
        return false;
    }
    // Drawing a paused frame flips the blink: start one phase back to land on the window's.
    FrameDrawer frame = drawer_;
    if (shown_.state == GameState::Paused) frame.pauseBlink = frame.pauseBlink == 0 ? 1 : 0;
    canvas_.clear();
    frame.drawFrame(canvas_, shown_);
    if (!canvas_.writePng(path.c_str())) {
        error = "shot: cannot write '" + path.substr(0, 40) + (path.size() > 40 ? "...'" : "'");
        return false;
    }
    return true;
}

} // namespace plonta
