// The platform's millisecond tick count, read once at set-up as the seed.
#pragma once

#include <cstdint>

namespace plonta {

std::uint32_t millisecondTickCount();

} // namespace plonta
