// The code page table at the Cairo boundary.
#include <gtest/gtest.h>

#include <string>

#include "draw/windows1252.h"

namespace plonta {
namespace {

std::string utf8(const std::string& bytes) {
    std::string out = "stale";
    windows1252ToUtf8(bytes.data(), bytes.size(), out);
    return out;
}

TEST(Windows1252, AsciiPassesThrough) {
    EXPECT_EQ(utf8("Ziel: 05    x"), "Ziel: 05    x");
    EXPECT_EQ(utf8(""), "");
}

TEST(Windows1252, BarGlyphIsOWithStroke) {
    EXPECT_EQ(windows1252CodePoint(0xD8), U'\u00D8');
    EXPECT_EQ(utf8("\xD8\xD8"), "\u00D8\u00D8");
}

TEST(Windows1252, UpperControlsCarryTypographicCharacters) {
    EXPECT_EQ(utf8("\x80"), "\u20AC");
    EXPECT_EQ(utf8("\x9F"), "\u0178");
    EXPECT_EQ(utf8("\xFF"), "\u00FF");
}

TEST(Windows1252, UndefinedBytesBecomeReplacementCharacters) {
    for (const int byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(windows1252CodePoint(static_cast<std::uint8_t>(byte)), U'\uFFFD') << byte;
    EXPECT_EQ(utf8("a\x81z"), "a\uFFFDz");
}

} // namespace
} // namespace plonta
