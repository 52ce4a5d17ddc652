// A recording played back: its seed, then its steps, a run of ticks one tick at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "frontend/recording.h"

namespace plonta {

class Replay {
  public:
    // speed times as fast as play; 0 counts as 1.
    Replay(Recording recording, std::uint32_t speed);

    // The seed the recording starts with, taken off its front; without one 1, as plonta-sim
    // plays a script that has no seed line.
    std::uint32_t takeSeed();
    // The next step, a single tick out of a run of them; none after the last.
    std::optional<RecordedStep> next();
    // The same with what is left of a run of ticks whole, for skipping to the end.
    std::optional<RecordedStep> nextRun();
    bool finished() const { return next_ == recording_.steps.size(); }
    // The steps still to come, for a new recording to copy; before any was handed out.
    std::span<const RecordedStep> rest() const;
    // The timer's period at the replay's speed.
    std::uint32_t periodMs(std::uint32_t playPeriodMs) const { return playPeriodMs / speed_; }

  private:
    Recording recording_;
    std::uint32_t speed_;
    std::size_t next_ = 0;
    // Ticks handed out of the run at next_.
    std::uint32_t ticksDone_ = 0;
};

} // namespace plonta
