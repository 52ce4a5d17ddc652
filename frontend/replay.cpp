// Handing out a recording's steps.
#include "frontend/replay.h"

#include <utility>

namespace plonta {

namespace {
// A recording without a seed line plays this one, as plonta-sim does.
constexpr std::uint32_t unseededRecording = 1;
} // namespace

Replay::Replay(Recording recording, std::uint32_t speed)
    : recording_(std::move(recording)), speed_(speed == 0 ? 1 : speed) {}

std::uint32_t Replay::takeSeed() {
    if (next_ < recording_.steps.size() && recording_.steps[next_].kind == RecordedStep::Kind::Seed)
        return recording_.steps[next_++].value;
    return unseededRecording;
}

std::optional<RecordedStep> Replay::next() {
    if (finished()) return std::nullopt;
    RecordedStep step = recording_.steps[next_];
    if (step.kind != RecordedStep::Kind::Ticks) {
        ++next_;
        return step;
    }
    if (++ticksDone_ >= step.value) {
        ticksDone_ = 0;
        ++next_;
    }
    step.value = 1;
    return step;
}

std::optional<RecordedStep> Replay::nextRun() {
    if (finished()) return std::nullopt;
    RecordedStep step = recording_.steps[next_++];
    if (step.kind == RecordedStep::Kind::Ticks) step.value -= std::exchange(ticksDone_, 0);
    return step;
}

std::span<const RecordedStep> Replay::rest() const {
    return std::span<const RecordedStep>(recording_.steps).subspan(next_);
}

} // namespace plonta
