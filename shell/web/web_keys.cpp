// Key look-up.
#include "shell/web/web_keys.h"

namespace plonta {

std::optional<KeyAction> actionForCode(std::string_view code, std::string_view key) {
    for (const WebKeyBinding& binding : webKeyTable)
        if (binding.code == code) return binding.action;
    // A keypad key is a digit with NumLock on and an arrow (or nothing) with it off.
    const bool digit = key.size() == 1 && key[0] >= '0' && key[0] <= '9';
    if (!digit)
        for (const WebKeyBinding& binding : webKeypadArrowTable)
            if (binding.code == code) return binding.action;
    return std::nullopt;
}

} // namespace plonta
