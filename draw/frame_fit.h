// The one rule for the frame's size on a screen: the largest scale that fits an area, where the
// frame sits in it, and where a window opens. Every display and host asks it.
#pragma once

#include <climits>

#include "draw/frame.h"
#include "draw/frame_scale.h"

namespace plonta {

struct FitSize {
    int width = 0;
    int height = 0;
    bool operator==(const FitSize&) const = default;
};

struct FitPoint {
    int x = 0;
    int y = 0;
    bool operator==(const FitPoint&) const = default;
};

// The frame at scale 1.
inline constexpr FitSize frameSize{frameWidth, frameHeight};

struct FitArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The largest whole scale from 1 to upTo at which content times the scale fits in area; 1 when
// none does, since a frame is always shown.
int scaleThatFits(FitSize content, FitSize area, int upTo = INT_MAX);
// The largest scale, fractions to the thousandth included, at which content fits in area: what
// a screen or a page is filled with; 1 when none does.
FrameScale largestScaleThatFits(FitSize content, FitSize area);
// Content's size in image pixels at a scale.
inline FitSize scaledSize(FitSize content, FrameScale scale) {
    return {scale.edge(content.width), scale.edge(content.height)};
}
// The scale a window opens at unasked: the largest up to upTo whose window takes at most four
// fifths of the usable area, leaving room for everything else on the screen.
int comfortableScale(FitSize content, FitSize usable, int upTo);
// A monitor's dots per inch at 100% scaling.
inline constexpr unsigned standardDpi = 96;
// A window's scale on a monitor of dpi: the monitor's own, dpi / 96 to the thousandth below and
// from 1 to upTo, lowered to the largest thousandth at which content (edge by edge, as the
// scale puts it) with extra around it (a window's frame and caption) fits in area; 1 when
// none does.
FrameScale scaleForDpi(unsigned dpi, FitSize content, FitSize area, int upTo, FitSize extra);
// The top-left corner of size in the middle of area; negative where it does not fit, so that a
// smaller area shows the middle of what it holds.
FitPoint centred(FitSize area, FitSize size);
// Where a window of outer size opens: at usual when it fits in the usable area there, else in
// the area's middle, never above or left of it.
FitPoint windowPlace(const FitArea& usable, FitSize outer, FitPoint usual);

} // namespace plonta
