// Timings for measuring the program from outside: paints, key-to-frame latency, first frame.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace plonta {

class PaintStats {
  public:
    using Clock = std::chrono::steady_clock;

    // Records nothing and writes nothing unless a path is given.
    explicit PaintStats(const char* path);

    bool enabled() const { return !path_.empty(); }
    // The whole paint, and its two halves: drawing the frame and copying it to the screen.
    void recordPaint(Clock::duration took, Clock::duration compose, Clock::duration present);
    void recordKeyToFrame(Clock::duration took);
    void recordFirstFrame(Clock::time_point presented);
    // One JSON object; false when the file cannot be written.
    bool write() const;

  private:
    std::string path_;
    std::vector<std::int64_t> paintNs_;
    std::vector<std::int64_t> composeNs_;
    std::vector<std::int64_t> presentNs_;
    std::vector<std::int64_t> keyToFrameNs_;
    std::int64_t firstFrameNs_ = 0;
};

} // namespace plonta
