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
    case VK_F2: return newGameKey;
    case 'M': return muteKey;
    case 'C': return marksKey;
    case 'L': return languageKey;
    case 'H': return bestGamesKey;
    case 'S': return sendGameKey;
    case VK_SPACE: return playKey(Command::Action);
    case VK_DOWN: return downKey;
    case VK_UP: return upKey;
    case VK_LEFT: return playKey(Command::PaddleLeft);
    case VK_RIGHT: return playKey(Command::PaddleRight);
    case VK_NUMPAD0:
    // Most laptops have no keypad: P and the Pause key pause too.
    case 'P':
    case VK_PAUSE: return playKey(Command::TogglePause);
    // Fullscreen and back: once per press, however long the key is held.
    case VK_F11: return (keyData & repeatFlag) == 0 ? std::optional(fullscreenKey) : std::nullopt;
    case VK_RETURN:
        if ((keyData & (altFlag | repeatFlag)) == altFlag) return fullscreenKey;
        if ((keyData & altFlag) == 0) return chooseKey;
        return std::nullopt;
    case VK_INSERT:
        // With NumLock off the keypad's 0 arrives as Insert, but without the extended flag
        // that the Insert key of the editing block carries.
        if ((keyData & extendedKeyFlag) == 0) return playKey(Command::TogglePause);
        return std::nullopt;
    case VK_END:
        // Keypad 1 with NumLock off arrives as End too, without the extended flag.
        if ((keyData & extendedKeyFlag) != 0) return skipReplayKey;
        return std::nullopt;
    default: return std::nullopt;
    }
}

} // namespace plonta
