// GDI's drawing state and retained frames for a canvas that fills its own pixels: each call
// becomes an op with its box, shapes come from draw/shape_raster.cpp, and a frame is drawn
// again only where draw/retained_frame.cpp finds it changed.
#include "draw/retained_canvas.h"

#include <algorithm>
#include <utility>

namespace plonta {

namespace {

// Room for every look at the leads a fractional scale gives them.
constexpr std::size_t shapeCacheLimit = 256;

ShapeKey keyOf(const Op& op) {
    return ShapeKey{op.x1 - op.x0, op.y1 - op.y0, op.ellipseWidth, op.ellipseHeight,
                    op.penWidth,   op.pen,        op.brush};
}

PixelRect straightLineOf(const Op& op) {
    return straightLine(op.x0, op.y0, op.x1, op.y1, op.penWidth);
}

} // namespace

void RetainedCanvas::setDrawingScale(FrameScale scale) {
    if (scale != scale_) shapes_.clear();
    scale_ = scale;
}

void RetainedCanvas::setImageSize(std::int32_t width, std::int32_t height) {
    image_ = {0, 0, width, height};
    clip_ = image_;
    frames_.forget();
}

void RetainedCanvas::fill(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint32_t pixel) {
    if (y < clip_.top || y >= clip_.bottom) return;
    x0 = std::max(x0, clip_.left);
    x1 = std::min(x1, clip_.right);
    if (x0 < x1) fillRow(y, x0, x1, pixel);
}

std::int32_t RetainedCanvas::alignedLeft(std::int32_t x, std::int32_t advance) const {
    constexpr std::uint32_t horizontal = 6;
    if ((textAlign_ & horizontal) == alignCenter) return x - advance / 2;
    if ((textAlign_ & horizontal) == alignRight) return x - advance;
    return x;
}

const Shape& RetainedCanvas::shape(const ShapeKey& key, std::int32_t x, std::int32_t y) {
    const std::int32_t leadX = scale_.lead(x);
    const std::int32_t leadY = scale_.lead(y);
    for (const Shape& s : shapes_)
        if (s.key == key && s.leadX == leadX && s.leadY == leadY) return s;
    if (shapes_.size() >= shapeCacheLimit) shapes_.clear();
    std::vector<Span> spans = rasterise(key, scale_, leadX, leadY);
    const PixelRect bounds = boundsOf(spans);
    shapes_.push_back(Shape{key, leadX, leadY, std::move(spans), bounds});
    return shapes_.back();
}

void RetainedCanvas::draw(Op& op, const char* text) {
    op.box = intersection(op.box, image_);
    if (frames_.recording()) {
        frames_.record(op, text);
        return;
    }
    frames_.forget();
    render(op, std::string_view(text, op.length));
}

void RetainedCanvas::render(const Op& op, std::string_view text) {
    switch (op.kind) {
    case Op::Kind::Line: {
        const PixelRect r = scaled(straightLineOf(op));
        if (r.empty()) {
            renderSlantedLine(op);
            break;
        }
        for (std::int32_t y = r.top; y < r.bottom; ++y) fill(r.left, r.right, y, pixelOf(op.pen));
        break;
    }
    case Op::Kind::Shape: {
        const Shape& s = shape(keyOf(op), op.x0, op.y0);
        const std::int32_t left = scale_.edge(op.x0);
        const std::int32_t top = scale_.edge(op.y0);
        for (const Span& span : s.spans)
            fill(left + span.x0, left + span.x1, top + span.y, span.pixel);
        break;
    }
    case Op::Kind::Text: renderText(op, text); break;
    }
}

// Each changed part cleared and drawn again by the frame's calls that reach it.
const std::vector<PixelRect>& RetainedCanvas::endFrame() {
    const std::vector<PixelRect>& changed = frames_.end(image_);
    const FrameRecord& frame = frames_.frame();
    redrawing_ = true;
    for (const PixelRect& part : changed) {
        clip_ = part;
        for (std::int32_t y = part.top; y < part.bottom; ++y) fill(part.left, part.right, y, 0);
        for (const Op& op : frame.ops)
            if (overlaps(op.box, part)) render(op, frame.bytes(op));
    }
    redrawing_ = false;
    clip_ = image_;
    frameDrawn(frame);
    return changed;
}

DrawingHandle RetainedCanvas::add(const DrawingObject& object) {
    objects_.push_back(object);
    return static_cast<DrawingHandle>(objects_.size());
}

DrawingHandle RetainedCanvas::createPen(std::int32_t width, Colour colour) {
    return add({ObjectKind::Pen, width, colour, 0});
}

DrawingHandle RetainedCanvas::createSolidBrush(Colour colour) {
    return add({ObjectKind::Brush, 0, colour, 0});
}

DrawingHandle RetainedCanvas::createFont(const FontRequest& request) {
    return add({ObjectKind::Font, 0, 0, addFont(request)});
}

void RetainedCanvas::selectObject(DrawingHandle object) {
    if (object == 0 || object > objects_.size()) return;
    const DrawingObject& o = objects_[object - 1];
    switch (o.kind) {
    case ObjectKind::Pen:
        penWidth_ = o.width;
        pen_ = o.colour;
        break;
    case ObjectKind::Brush: brush_ = o.colour; break;
    case ObjectKind::Font: font_ = o.font; break;
    }
}

void RetainedCanvas::moveTo(std::int32_t x, std::int32_t y) {
    currentX_ = x;
    currentY_ = y;
}

void RetainedCanvas::lineTo(std::int32_t x, std::int32_t y) {
    Op op;
    op.kind = Op::Kind::Line;
    op.x0 = std::exchange(currentX_, x);
    op.y0 = std::exchange(currentY_, y);
    op.x1 = x;
    op.y1 = y;
    if (x == op.x0 && y == op.y0) return;
    op.penWidth = penWidth_;
    op.pen = pen_;
    op.box = scaled(straightLineOf(op));
    if (op.box.empty()) {
        // A slanted line's pen, with a pixel to spare round it.
        const std::int32_t reach = std::max(op.penWidth, 1) + 1;
        op.box = scaled({std::min(op.x0, x) - reach, std::min(op.y0, y) - reach,
                         std::max(op.x0, x) + reach + 1, std::max(op.y0, y) + reach + 1});
    }
    draw(op, "");
}

void RetainedCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom) {
    roundRect(left, top, right, bottom, 0, 0);
}

void RetainedCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom, std::int32_t ellipseWidth,
                               std::int32_t ellipseHeight) {
    // GDI puts the corners in order first.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    Op op;
    op.x0 = left;
    op.y0 = top;
    op.x1 = right;
    op.y1 = bottom;
    op.ellipseWidth = ellipseWidth;
    op.ellipseHeight = ellipseHeight;
    op.penWidth = penWidth_;
    op.pen = pen_;
    op.brush = brush_;
    const PixelRect bounds = shape(keyOf(op), left, top).bounds;
    const std::int32_t x = scale_.edge(left);
    const std::int32_t y = scale_.edge(top);
    op.box = {x + bounds.left, y + bounds.top, x + bounds.right, y + bounds.bottom};
    draw(op, "");
}

void RetainedCanvas::setBkMode(BackgroundMode mode) {
    backgroundMode_ = mode;
}

void RetainedCanvas::setTextColor(Colour colour) {
    textColour_ = colour;
}

void RetainedCanvas::setTextAlign(std::uint32_t align) {
    textAlign_ = align;
}

void RetainedCanvas::textOut(std::int32_t x, std::int32_t y, const char* text,
                             std::int32_t length) {
    if (length <= 0) return;
    // In image pixels from here on.
    Op op;
    op.kind = Op::Kind::Text;
    op.mode = backgroundMode_;
    op.x0 = scale_.edge(x);
    op.y0 = scale_.edge(y);
    op.pen = textColour_;
    op.font = font_;
    op.length = static_cast<std::size_t>(length);
    if (!placeText(op, std::string_view(text, op.length))) return;
    draw(op, text);
}

} // namespace plonta
