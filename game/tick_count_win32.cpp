// Millisecond tick count on Windows.
#include <windows.h>

#include "game/tick_count.h"

namespace plonta {

std::uint32_t millisecondTickCount() { return GetTickCount(); }

} // namespace plonta
