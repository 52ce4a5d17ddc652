// Windows-1252 to Unicode: Latin-1 except 0x80 to 0x9F, which carry typographic extras.
#include "draw/windows1252.h"

#include <array>

namespace plonta {

namespace {

constexpr char32_t undefined = 0xFFFD;

constexpr std::array<char32_t, 32> upperControls{
    0x20AC,    undefined, 0x201A, 0x0192, 0x201E, 0x2026,    0x2020, 0x2021,
    0x02C6,    0x2030,    0x0160, 0x2039, 0x0152, undefined, 0x017D, undefined,
    undefined, 0x2018,    0x2019, 0x201C, 0x201D, 0x2022,    0x2013, 0x2014,
    0x02DC,    0x2122,    0x0161, 0x203A, 0x0153, undefined, 0x017E, 0x0178};

} // namespace

char32_t windows1252CodePoint(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return upperControls[byte - 0x80u];
    return byte;
}

void windows1252ToUtf8(const char* text, std::size_t length, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < length; ++i) {
        const char32_t c = windows1252CodePoint(static_cast<std::uint8_t>(text[i]));
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

} // namespace plonta
