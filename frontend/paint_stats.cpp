// Timing samples kept in memory during the run and written once at exit.
#include "frontend/paint_stats.h"

#include <cstdio>

namespace plonta {

namespace {

// Enough for hours of play at four frames a second plus key repeats; beyond it samples drop.
constexpr std::size_t sampleLimit = 1 << 16;

void add(std::vector<std::int64_t>& samples, PaintStats::Clock::duration took) {
    if (samples.size() < sampleLimit)
        samples.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count());
}

void writeList(std::FILE* file, const char* name, const std::vector<std::int64_t>& samples) {
    std::fprintf(file, "\"%s\": [", name);
    for (std::size_t i = 0; i < samples.size(); ++i)
        std::fprintf(file, "%s%lld", i ? ", " : "", static_cast<long long>(samples[i]));
    std::fprintf(file, "]");
}

} // namespace

PaintStats::PaintStats(const char* path) : path_(path ? path : "") {
    if (enabled()) {
        paintNs_.reserve(4096);
        composeNs_.reserve(4096);
        presentNs_.reserve(4096);
        keyToFrameNs_.reserve(1024);
    }
}

void PaintStats::recordPaint(Clock::duration took, Clock::duration compose,
                             Clock::duration present) {
    if (!enabled()) return;
    add(paintNs_, took);
    add(composeNs_, compose);
    add(presentNs_, present);
}

void PaintStats::recordKeyToFrame(Clock::duration took) {
    if (enabled()) add(keyToFrameNs_, took);
}

void PaintStats::recordFirstFrame(Clock::time_point presented) {
    if (enabled() && firstFrameNs_ == 0)
        firstFrameNs_ =
            std::chrono::duration_cast<std::chrono::nanoseconds>(presented.time_since_epoch())
                .count();
}

bool PaintStats::write() const {
    if (!enabled()) return true;
    std::FILE* file = std::fopen(path_.c_str(), "w");
    if (!file) return false;
    // The steady clock is CLOCK_MONOTONIC, so a launcher can compare it with its own start time.
    std::fprintf(file, "{\"first_frame_monotonic_ns\": %lld, ",
                 static_cast<long long>(firstFrameNs_));
    writeList(file, "paint_ns", paintNs_);
    std::fprintf(file, ", ");
    writeList(file, "compose_ns", composeNs_);
    std::fprintf(file, ", ");
    writeList(file, "present_ns", presentNs_);
    std::fprintf(file, ", ");
    writeList(file, "key_to_frame_ns", keyToFrameNs_);
    std::fprintf(file, "}\n");
    return std::fclose(file) == 0;
}

} // namespace plonta
