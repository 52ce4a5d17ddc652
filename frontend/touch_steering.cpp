// Where on the frame a finger lands decides its keys: the lanes' columns above the bin, the bin.
#include "frontend/touch_steering.h"

#include <cmath>
#include <cstdlib>

namespace plonta {

namespace {

// Lane k's column on the frame runs from 45 + 60k to 105 + 60k; the outer lanes' columns reach
// the frame's edges.
int laneUnder(double x) {
    const double lane = std::floor((x - 45) / 60);
    if (!(lane > 0)) return 0;
    return lane < laneCount - 1 ? static_cast<int>(lane) : laneCount - 1;
}

// A tap from the bin's top down drops.
constexpr double binTop = 340;

void steerTo(FrontEnd& frontEnd, double x) {
    // Counted once: while a recording plays the keys wait, and the paddle stays where it is.
    const int steps = laneUnder(x) - frontEnd.game().player.paddleLane;
    const KeyAction move = playKey(steps < 0 ? Command::PaddleLeft : Command::PaddleRight);
    for (int i = 0; i < std::abs(steps); ++i) frontEnd.key(move);
}

} // namespace

void TouchSteering::pointer(FrontEnd& frontEnd, PointerPhase phase, int id, double x, double y) {
    if (!frontEnd.running()) return;
    const GameState state = frontEnd.game().state;
    if (phase == PointerPhase::Up) {
        if (steering_ == id) steering_.reset();
    } else if (phase == PointerPhase::Moved) {
        if (steering_ == id && state == GameState::Running) steerTo(frontEnd, x);
    } else if (state == GameState::Ready || state == GameState::LifeLost) {
        // Where Space starts or confirms, the whole frame is Space.
        frontEnd.key(playKey(Command::Action));
    } else if (state == GameState::GameOver) {
        // A touch screen has no F2.
        frontEnd.key(KeyAction{KeyAction::Kind::NewGame});
    } else if (state == GameState::Running && y >= binTop) {
        frontEnd.key(playKey(Command::Action));
    } else if (state == GameState::Running) {
        steering_ = id;
        steerTo(frontEnd, x);
    }
}

} // namespace plonta
