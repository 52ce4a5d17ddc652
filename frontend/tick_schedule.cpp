// Fixed-grid deadlines for the game tick.
#include "frontend/tick_schedule.h"

#include <algorithm>
#include <utility>

namespace plonta {

TickSchedule::TickSchedule(Clock clock, std::uint32_t periodMs)
    : clock_(std::move(clock)), period_(periodMs) {}

void TickSchedule::start(std::uint32_t periodMs) {
    period_ = periodMs;
    start();
}

void TickSchedule::start() {
    deadline_ = clock_() + period_;
    running_ = true;
}

void TickSchedule::stop() {
    running_ = false;
}

bool TickSchedule::takeDue() {
    if (!running_) return false;
    const std::uint64_t now = clock_();
    if (now < deadline_) return false;
    deadline_ += period_;
    // Missed a whole deadline: catching up would be a burst of ticks the player never saw.
    if (deadline_ <= now) deadline_ = now + period_;
    return true;
}

std::int32_t TickSchedule::msUntilDue() const {
    if (!running_) return -1;
    const std::uint64_t now = clock_();
    if (now >= deadline_) return 0;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(deadline_ - now, period_));
}

} // namespace plonta
