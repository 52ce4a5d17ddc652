// The per-address buckets.
#include "server/rate_limit.h"

#include <algorithm>

namespace plonta {

bool RateLimit::allow(const std::string& address, Clock::time_point now) {
    if (perMinute_ == 0) return true;
    const double capacity = perMinute_;
    const auto refilled = [&](const Bucket& bucket) {
        const std::chrono::duration<double> since = now - bucket.filledAt;
        return std::min(capacity, bucket.tokens + since.count() * capacity / 60.0);
    };
    std::lock_guard lock(mutex_);
    // A full bucket says nothing a new one would not: many addresses cost no lasting memory.
    if (buckets_.size() > 10000)
        std::erase_if(buckets_,
                      [&](const auto& entry) { return refilled(entry.second) >= capacity; });
    Bucket& bucket = buckets_.try_emplace(address, Bucket{capacity, now}).first->second;
    bucket.tokens = refilled(bucket);
    bucket.filledAt = now;
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

} // namespace plonta
