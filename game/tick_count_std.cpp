// Millisecond tick count from the standard steady clock (every platform but Windows).
#include <chrono>

#include "game/tick_count.h"

namespace plonta {

std::uint32_t millisecondTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    // Wraps like a 32-bit tick count does.
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace plonta
