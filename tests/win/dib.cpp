// Pixels of a GDI drawing, without a window or a screen.
#include "tests/win/dib.h"

#include <cstdio>

namespace plonta::test {

std::string describe(Rgb c) {
    char text[32];
    std::snprintf(text, sizeof text, "(%u, %u, %u)", c.red, c.green, c.blue);
    return text;
}

Dib::Dib(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 is y 0
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    clear();
}

Dib::~Dib() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Dib::clear() {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = 0;
}

Rgb Dib::at(int x, int y) const {
    GdiFlush();
    const std::uint32_t pixel = bits_[y * width_ + x];
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}

void Dib::save(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Rgb p = at(x, y);
            const unsigned char bytes[3] = {p.red, p.green, p.blue};
            std::fwrite(bytes, 1, 3, file);
        }
    }
    std::fclose(file);
}

} // namespace plonta::test
