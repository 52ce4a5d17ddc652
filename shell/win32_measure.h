// Only in plonta-measure.exe: paint times by QueryPerformanceCounter, and the old busy loop.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace plonta {

// PLONTA_BUSY_LOOP=1 selects the spinning loop; PLONTA_PAINT_LOG=FILE receives one paint
// time in microseconds per line, then the median, when the loop ends.
class Measurement {
  public:
    Measurement() {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        ticksPerMicrosecond_ = static_cast<double>(frequency.QuadPart) / 1e6;
        paintMicroseconds_.reserve(1 << 12);
    }

    bool busyLoop() const {
        const char* value = std::getenv("PLONTA_BUSY_LOOP");
        return value != nullptr && value[0] == '1';
    }

    LONGLONG now() const {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        return counter.QuadPart;
    }

    void paintDone(LONGLONG started) {
        paintMicroseconds_.push_back(static_cast<double>(now() - started) / ticksPerMicrosecond_);
    }

    void write() {
        const char* path = std::getenv("PLONTA_PAINT_LOG");
        if (path == nullptr) return;
        std::FILE* file = std::fopen(path, "w");
        if (file == nullptr) return;
        for (double us : paintMicroseconds_) std::fprintf(file, "%.1f\n", us);
        std::vector<double> sorted = paintMicroseconds_;
        std::sort(sorted.begin(), sorted.end());
        if (!sorted.empty()) {
            std::fprintf(file, "# paints %zu median_us %.1f\n", sorted.size(),
                         sorted[sorted.size() / 2]);
        }
        std::fclose(file);
    }

  private:
    double ticksPerMicrosecond_ = 1.0;
    std::vector<double> paintMicroseconds_;
};

} // namespace plonta
