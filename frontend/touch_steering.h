// Fingers on the frame as the keys they stand for, so that a game played by touch records what
// keys would: a tap starts or confirms where Space does, a tap or a drag above the bin takes
// the paddle lane by lane under the finger, a tap on the bin drops, and a tap on a finished
// game starts the next one.
#pragma once

#include <optional>

#include "frontend/front_end.h"

namespace plonta {

enum class PointerPhase : int { Down = 0, Moved = 1, Up = 2 };

class TouchSteering {
  public:
    // A pointer (a finger, the mouse on the page) at a point of the frame in its own pixels at
    // scale 1; what it means goes to the front end as keys.
    void pointer(FrontEnd& frontEnd, PointerPhase phase, int id, double x, double y);
    // A new game: no finger steers any more.
    void reset() { steering_.reset(); }

  private:
    std::optional<int> steering_;
};

} // namespace plonta
