// How many image pixels a frame pixel spans: whole, or a fraction in thousandths, which is exact
// for what a player types (1.6) and close enough for any screen's largest fit.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

#include "draw/pixel_rect.h"

namespace plonta {

class FrameScale {
  public:
    static constexpr std::int32_t unit = 1000;

    constexpr FrameScale() = default;
    // A whole scale; below 1 counts as 1.
    constexpr FrameScale(int whole) : thousandths_(whole > 1 ? whole * unit : unit) {}
    static constexpr FrameScale ofThousandths(std::int64_t thousandths) {
        FrameScale s;
        s.thousandths_ = static_cast<std::int32_t>(thousandths > unit ? thousandths : unit);
        return s;
    }

    constexpr std::int32_t thousandths() const { return thousandths_; }
    constexpr bool whole() const { return thousandths_ % unit == 0; }
    // The whole part: the scale itself when it is whole.
    constexpr int wholePart() const { return thousandths_ / unit; }
    constexpr double factor() const { return thousandths_ / static_cast<double>(unit); }

    // The image's pixel grid: frame pixel x covers image pixels edge(x) to edge(x + 1), the
    // ones whose sampling points (a pixel's left edge mapped back) lie in it. Edges land on
    // whole image pixels, so what meets in the frame meets in the image, with no gap or overlap.
    constexpr std::int32_t edge(std::int32_t x) const {
        const std::int64_t scaled = static_cast<std::int64_t>(x) * thousandths_;
        const std::int64_t down = scaled >= 0 ? scaled / unit : -((-scaled + unit - 1) / unit);
        return static_cast<std::int32_t>(down * unit == scaled ? down : down + 1);
    }
    // How far past frame coordinate x its edge lies, in thousandths of an image pixel: 0 at a
    // whole scale, below unit always.
    constexpr std::int32_t lead(std::int32_t x) const {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(edge(x)) * unit -
                                         static_cast<std::int64_t>(x) * thousandths_);
    }
    constexpr PixelRect of(const PixelRect& r) const {
        return {edge(r.left), edge(r.top), edge(r.right), edge(r.bottom)};
    }
    // A length in frame pixels as image pixels, to the nearest; what a font's size scales by.
    constexpr std::int32_t rounded(std::int32_t length) const {
        const std::int64_t scaled = static_cast<std::int64_t>(length) * thousandths_;
        return static_cast<std::int32_t>(scaled >= 0 ? (scaled + unit / 2) / unit
                                                     : -((-scaled + unit / 2) / unit));
    }

    // A font's em in pixels at the scale: as many times as large, and whole at a fraction too,
    // as GDI makes a font of a whole height.
    double em(double pixels) const {
        const double scaled = pixels * factor();
        if (whole()) return scaled;
        const double down = static_cast<double>(static_cast<std::int64_t>(scaled + 0.5));
        return down > 1 ? down : 1;
    }

    constexpr auto operator<=>(const FrameScale&) const = default;

    // "2", "1.6", "2.16": as a player would write it.
    std::string text() const {
        std::string digits = std::to_string(wholePart());
        std::int32_t rest = thousandths_ % unit;
        if (rest == 0) return digits;
        digits += '.';
        for (std::int32_t place = unit / 10; rest != 0; place /= 10) {
            digits += static_cast<char>('0' + rest / place);
            rest %= place;
        }
        return digits;
    }

  private:
    std::int32_t thousandths_ = unit;
};

} // namespace plonta
