// At most so many submissions per address per minute: a bucket per address that refills evenly.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace plonta {

class RateLimit {
  public:
    using Clock = std::chrono::steady_clock;
    // 0 lets everything through.
    explicit RateLimit(std::uint32_t perMinute) : perMinute_(perMinute) {}
    // Whether address may submit now; counts the submission when it may.
    bool allow(const std::string& address, Clock::time_point now = Clock::now());

  private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point filledAt;
    };

    std::uint32_t perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

} // namespace plonta
