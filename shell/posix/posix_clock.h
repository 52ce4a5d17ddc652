// The POSIX clock the Linux program seeds its games with.
#pragma once

#include <cstdint>

namespace plonta {

// Milliseconds since the machine booted, suspended time included, in 32 bits: a count that
// differs from one start of the program to the next, as Windows' GetTickCount does.
std::uint32_t bootMilliseconds();

} // namespace plonta
