// The game's texts are Windows-1252 bytes; text libraries outside GDI want UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace plonta {

// The Unicode code point of one byte; U+FFFD for the five bytes the code page leaves undefined.
char32_t windows1252CodePoint(std::uint8_t byte);

// The UTF-8 form of length bytes, written into out (its old contents go).
void windows1252ToUtf8(const char* text, std::size_t length, std::string& out);

} // namespace plonta
