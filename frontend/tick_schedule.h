// The 250 ms tick as a schedule of deadlines the loop can sleep toward.
#pragma once

#include <cstdint>
#include <functional>

#include "game/game.h"

namespace plonta {

class TickSchedule {
  public:
    // Milliseconds from any fixed origin, never going back.
    using Clock = std::function<std::uint64_t()>;

    explicit TickSchedule(Clock clock, std::uint32_t periodMs = tickPeriodMs);

    // The first deadline one period from now.
    void start(std::uint32_t periodMs);
    // The same after a pause in ticking, with the period last started.
    void start();
    void stop();
    bool running() const { return running_; }

    // True once for each deadline reached. Deadlines stay on a fixed grid so ticks never drift;
    // after a stall of a whole period or more there is one tick and a fresh grid, not a burst.
    bool takeDue();
    // How long the loop may sleep before the next deadline; 0 when one is due, -1 when stopped.
    std::int32_t msUntilDue() const;

    std::uint64_t deadline() const { return deadline_; }

  private:
    Clock clock_;
    std::uint32_t period_;
    std::uint64_t deadline_ = 0;
    bool running_ = false;
};

} // namespace plonta
