// Which Win32 key-down does what: by virtual key, with the key data to tell the keypad apart.
#pragma once

#include <cstdint>
#include <optional>

#include "frontend/host.h"

namespace plonta {

// Bit 24 of a key message's lParam: the key is one of the extended keys (the editing block).
inline constexpr std::uint32_t extendedKeyFlag = 1u << 24;
// Bit 29: Alt was down. Bit 30: the key was already down, a repeat.
inline constexpr std::uint32_t altFlag = 1u << 29;
inline constexpr std::uint32_t repeatFlag = 1u << 30;

// Nothing for keys outside the map. keyData is the lParam.
std::optional<KeyAction> actionForVirtualKey(std::uint32_t virtualKey, std::uint32_t keyData);

} // namespace plonta
