// Rasterising GDI's outlined figures, at a scale.
#include "draw/shape_raster.h"

#include <algorithm>
#include <cmath>

namespace plonta {

namespace {

// A box with rounded corners in continuous coordinates; pixel centres lie at half steps.
struct RoundedBox {
    double x0, x1, y0, y1;
    double rx, ry;
    // The straight edges moved onto the nearest pixel centres at or after them, less a half:
    // that changes no pixel at scale 1, and at any finer scale they fall on the image's own
    // pixel edges, as a straight line's do.
    std::int64_t left, right, top, bottom;

    RoundedBox(double fromX, double toX, double fromY, double toY, double cornerX, double cornerY)
        : x0(fromX), x1(toX), y0(fromY), y1(toY), rx(cornerX), ry(cornerY), left(snap(fromX)),
          right(snap(toX)), top(snap(fromY)), bottom(snap(toY)) {}

    bool empty() const { return x1 <= x0 || y1 <= y0; }

    // The sampling point at nx / t + 0.5 across and ny / t + 0.5 down, t the scale in
    // thousandths: exact for the straight edges.
    bool contains(std::int64_t nx, std::int64_t ny, std::int64_t t) const {
        // Left and top edges belong to the figure, right and bottom edges do not, as in GDI.
        if (nx < left * t || nx >= right * t || ny < top * t || ny >= bottom * t) return false;
        if (rx <= 0 || ry <= 0) return true;
        const double px = static_cast<double>(2 * nx + t) / static_cast<double>(2 * t);
        const double py = static_cast<double>(2 * ny + t) / static_cast<double>(2 * t);
        const double cx = std::clamp(px, x0 + rx, x1 - rx);
        const double cy = std::clamp(py, y0 + ry, y1 - ry);
        const double dx = (px - cx) / rx;
        const double dy = (py - cy) / ry;
        // Between the corners the edge is straight and the box decides; a point exactly on a
        // curve stays out, or the round ends of a bar would grow a one-pixel nub.
        if ((dx == 0 && x0 + rx < x1 - rx) || (dy == 0 && y0 + ry < y1 - ry)) return true;
        return dx * dx + dy * dy < 1.0;
    }

    static std::int64_t snap(double edge) {
        return static_cast<std::int64_t>(std::ceil(edge - 0.5));
    }
};

} // namespace

PixelRect boundsOf(const std::vector<Span>& spans) {
    if (spans.empty()) return {};
    PixelRect r{spans.front().x0, spans.front().y, spans.front().x1, spans.front().y + 1};
    for (const Span& span : spans)
        r = {std::min(r.left, span.x0), std::min(r.top, span.y), std::max(r.right, span.x1),
             std::max(r.bottom, span.y + 1)};
    return r;
}

std::vector<Span> rasterise(const ShapeKey& key, FrameScale scale, std::int32_t leadX,
                            std::int32_t leadY) {
    const double half = std::max(key.penWidth, 1) / 2.0;
    const double right = key.width - 0.5;
    const double bottom = key.height - 0.5;
    double rx = std::min(key.ellipseWidth, key.width) / 2.0;
    double ry = std::min(key.ellipseHeight, key.height) / 2.0;
    rx = std::clamp(rx, 0.0, (right - 0.5) / 2.0);
    ry = std::clamp(ry, 0.0, (bottom - 0.5) / 2.0);
    const bool rounded = rx > 0 && ry > 0;
    const RoundedBox outer{0.5 - half,
                           right + half,
                           0.5 - half,
                           bottom + half,
                           rounded ? rx + half : 0,
                           rounded ? ry + half : 0};
    const RoundedBox inner{0.5 + half,
                           right - half,
                           0.5 + half,
                           bottom - half,
                           rounded ? std::max(rx - half, 0.0) : 0,
                           rounded ? std::max(ry - half, 0.0) : 0};
    const std::uint32_t penPixel = pixelOf(key.pen);
    const std::uint32_t brushPixel = pixelOf(key.brush);
    const std::int64_t t = scale.thousandths();
    constexpr std::int64_t unit = FrameScale::unit;
    // Image pixel q from the shape's left edge samples the frame at (unit q + lead) / t + 0.5:
    // at a whole scale pixel p's own point, then steps between.
    const auto firstOf = [&](double from) {
        return static_cast<std::int32_t>(std::floor((std::floor(from) - 1) * scale.factor())) - 1;
    };
    const auto lastOf = [&](double to) {
        return static_cast<std::int32_t>(std::ceil((std::ceil(to) + 2) * scale.factor()));
    };
    const std::int32_t first = firstOf(outer.x0);
    const std::int32_t lastX = lastOf(outer.x1);
    const std::int32_t top = firstOf(outer.y0);
    const std::int32_t lastY = lastOf(outer.y1);

    std::vector<Span> spans;
    for (std::int32_t y = top; y <= lastY; ++y) {
        bool open = false;
        Span run{y, 0, 0, 0};
        const std::int64_t ny = unit * y + leadY;
        for (std::int32_t x = first; x <= lastX; ++x) {
            const std::int64_t nx = unit * x + leadX;
            bool covered = true;
            std::uint32_t pixel = 0;
            if (!inner.empty() && inner.contains(nx, ny, t))
                pixel = brushPixel;
            else if (outer.contains(nx, ny, t))
                pixel = penPixel;
            else
                covered = false;
            if (open && (!covered || pixel != run.pixel)) {
                run.x1 = x;
                spans.push_back(run);
                open = false;
            }
            if (covered && !open) {
                run = Span{y, x, x, pixel};
                open = true;
            }
        }
        if (open) {
            run.x1 = lastX + 1;
            spans.push_back(run);
        }
    }
    return spans;
}

PixelRect straightLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                       std::int32_t penWidth) {
    const double half = std::max(penWidth, 1) / 2.0;
    // Across the line the pen covers [p - half, p + half); the end point is left out.
    const auto across = [half](std::int32_t p, std::int32_t& from, std::int32_t& to) {
        from = static_cast<std::int32_t>(std::ceil(p - half));
        to = static_cast<std::int32_t>(std::ceil(p + half));
    };
    // A wide pen has round caps that reach half its width past both ends, end point included.
    const auto widenEnds = [penWidth](std::int32_t from, std::int32_t to, std::int32_t& low,
                                      std::int32_t& high) {
        if (penWidth <= 1) return;
        low = std::min(from, to) - penWidth / 2;
        high = std::max(from, to) + (penWidth + 1) / 2;
    };
    PixelRect r;
    if (y1 == y0) {
        across(y1, r.top, r.bottom);
        r.left = x1 > x0 ? x0 : x1 + 1;
        r.right = x1 > x0 ? x1 : x0 + 1;
        widenEnds(x0, x1, r.left, r.right);
    } else if (x1 == x0) {
        across(x1, r.left, r.right);
        r.top = y1 > y0 ? y0 : y1 + 1;
        r.bottom = y1 > y0 ? y1 : y0 + 1;
        widenEnds(y0, y1, r.top, r.bottom);
    }
    return r;
}

} // namespace plonta
