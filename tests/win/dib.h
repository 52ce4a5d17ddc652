// A top-down 32-bit DIB section in a memory DC: GDI draws into it, tests read its pixels back.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace plonta::test {

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};
std::string describe(Rgb colour);
// For GoogleTest's messages.
inline void PrintTo(const Rgb& colour, std::ostream* out) {
    *out << describe(colour);
}

class Dib {
  public:
    Dib(int width, int height);
    ~Dib();
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Black everywhere, as the paint cycle clears the back surface.
    void clear();
    Rgb at(int x, int y) const;
    // Writes the image as a binary PPM, for a look at what a failed check saw.
    void save(const std::string& path) const;

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

} // namespace plonta::test
