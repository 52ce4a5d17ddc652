// A window on Linux takes a whole scale, at which a frame is every pixel of scale 1 as a block;
// a window on Windows takes its monitor's scale, and a screen or a page is filled, to the
// thousandth.
#include "draw/frame_fit.h"

#include <algorithm>
#include <cstdint>

namespace plonta {

int scaleThatFits(FitSize content, FitSize area, int upTo) {
    if (content.width <= 0 || content.height <= 0 || upTo <= 1) return 1;
    const int across = area.width / content.width;
    const int down = area.height / content.height;
    return std::clamp(std::min(across, down), 1, upTo);
}

FrameScale largestScaleThatFits(FitSize content, FitSize area) {
    if (content.width <= 0 || content.height <= 0) return 1;
    // Rounded down, so the frame's edges land inside the area.
    const std::int64_t across = std::int64_t{area.width} * FrameScale::unit / content.width;
    const std::int64_t down = std::int64_t{area.height} * FrameScale::unit / content.height;
    return FrameScale::ofThousandths(std::min(across, down));
}

int comfortableScale(FitSize content, FitSize usable, int upTo) {
    // Four fifths in whole pixels: a frame of whole pixels fits in the fraction exactly when it
    // fits in its whole part.
    return scaleThatFits(content, {usable.width * 4 / 5, usable.height * 4 / 5}, upTo);
}

FrameScale scaleForDpi(unsigned dpi, FitSize content, FitSize area, int upTo, FitSize extra) {
    // Below, never above: 96 DPI is 1 exactly, so such a window is the one it always was.
    const std::int64_t own = std::min(std::int64_t{dpi} * FrameScale::unit / standardDpi,
                                      std::int64_t{std::max(upTo, 1)} * FrameScale::unit);
    // edge(n) = ceil(n * s) fits in m exactly when s <= m / n: the largest fit is its floor.
    const FrameScale fits =
        largestScaleThatFits(content, {area.width - extra.width, area.height - extra.height});
    return FrameScale::ofThousandths(std::min<std::int64_t>(own, fits.thousandths()));
}

FitPoint centred(FitSize area, FitSize size) {
    return {(area.width - size.width) / 2, (area.height - size.height) / 2};
}

FitPoint windowPlace(const FitArea& usable, FitSize outer, FitPoint usual) {
    if (usual.x >= usable.left && usual.y >= usable.top &&
        usual.x + outer.width <= usable.left + usable.width &&
        usual.y + outer.height <= usable.top + usable.height)
        return usual;
    return {usable.left + std::max((usable.width - outer.width) / 2, 0),
            usable.top + std::max((usable.height - outer.height) / 2, 0)};
}

} // namespace plonta
