// The game's keys by their Win32 virtual-key codes.
#include "shell/win32/win32_keys.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plonta {

std::optional<KeyAction> actionForVirtualKey(std::uint32_t virtualKey, std::uint32_t keyData) {
    switch (virtualKey) {
    case VK_ESCAPE: return quitKey;
    case 'M': return muteKey;
    case VK_SPACE:
    case VK_DOWN: return playKey(Command::Action);
    case VK_LEFT: return playKey(Command::PaddleLeft);
    case VK_RIGHT: return playKey(Command::PaddleRight);
    case VK_NUMPAD0:
    // Most laptops have no keypad: P and the Pause key pause too.
    case 'P':
    case VK_PAUSE: return playKey(Command::TogglePause);
    case VK_INSERT:
        // With NumLock off the keypad's 0 arrives as Insert, but without the extended flag
        // that the Insert key of the editing block carries.
        if ((keyData & extendedKeyFlag) == 0) return playKey(Command::TogglePause);
        return std::nullopt;
    default: return std::nullopt;
    }
}

} // namespace plonta
