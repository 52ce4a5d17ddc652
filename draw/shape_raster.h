// GDI's outlined figures as runs of pixels, rasterised once per look and reused wherever the
// figure stands, and the pixels of GDI's level and upright lines.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/canvas.h"
#include "draw/frame_scale.h"
#include "draw/pixel_rect.h"

namespace plonta {

// A pixel of the RGB24 image from a COLORREF.
inline std::uint32_t pixelOf(Colour c) {
    return static_cast<std::uint32_t>(redOf(c)) << 16 |
           static_cast<std::uint32_t>(greenOf(c)) << 8 | blueOf(c);
}

// One run of equal pixels in a row of a shape, relative to the shape's left and top.
struct Span {
    std::int32_t y;
    std::int32_t x0;
    std::int32_t x1;
    std::uint32_t pixel;
};

// Everything that makes two outlined shapes look the same, wherever they stand.
struct ShapeKey {
    std::int32_t width;
    std::int32_t height;
    std::int32_t ellipseWidth;
    std::int32_t ellipseHeight;
    std::int32_t penWidth;
    Colour pen;
    Colour brush;
    bool operator==(const ShapeKey&) const = default;
};

struct Shape {
    ShapeKey key;
    // Where the image's grid lies past the shape's corner (FrameScale::lead).
    std::int32_t leadX = 0;
    std::int32_t leadY = 0;
    std::vector<Span> spans;
    PixelRect bounds; // of the spans
};

PixelRect boundsOf(const std::vector<Span>& spans);

// GDI's outlined figure: the outline runs through the centres of the first and last pixel
// rows and columns (right and bottom edge excluded), the pen is centred on it, the brush
// fills what lies inside the pen. At a scale above 1 the image's pixels are sampled where
// they fall in the frame, so the curves come out finer; the spans are relative to the image
// pixel at the shape's left and top edges, which lie leadX and leadY thousandths of an image
// pixel past them (FrameScale::lead), 0 at whole scales.
std::vector<Span> rasterise(const ShapeKey& key, FrameScale scale, std::int32_t leadX = 0,
                            std::int32_t leadY = 0);

// The pixels a level or upright line from (x0, y0) to (x1, y1) covers, at scale 1; empty for a
// slanted one.
PixelRect straightLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                       std::int32_t penWidth);

} // namespace plonta
