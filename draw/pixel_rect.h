// Rectangles of image pixels, as the canvases and displays pass them round.
#pragma once

#include <algorithm>
#include <cstdint>

namespace plonta {

// A rectangle of image pixels; right and bottom excluded.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect&) const = default;
};

inline PixelRect intersection(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

inline bool overlaps(const PixelRect& a, const PixelRect& b) {
    return !intersection(a, b).empty();
}

// Sharing a pixel or an edge: two such parts join into one without taking in much more.
inline bool overlapsOrTouches(const PixelRect& a, const PixelRect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace plonta
