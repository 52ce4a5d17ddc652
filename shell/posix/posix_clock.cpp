// The seed's clock.
#include "shell/posix/posix_clock.h"

#include <time.h>

namespace plonta {

std::uint32_t bootMilliseconds() {
    timespec now{};
    // CLOCK_BOOTTIME is Linux's; elsewhere the monotonic clock also counts from boot.
#ifdef CLOCK_BOOTTIME
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0)
#endif
        clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

} // namespace plonta
