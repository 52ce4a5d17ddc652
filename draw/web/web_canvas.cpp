// GDI's drawing for the page: shapes from draw/shape_raster.cpp into RGBA pixels, retained
// frames from draw/retained_frame.cpp, and texts handed on with the metrics GDI gives the font.
#include "draw/web/web_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "draw/retained_frame.h"
#include "draw/shape_raster.h"
#include "draw/windows1252.h"

namespace plonta {

namespace {

constexpr std::size_t shapeCacheLimit = 64;

// The shipped face's own numbers (its head and OS/2 tables): what FreeType reads from it for
// the Cairo canvas, so that both size the cell alike.
constexpr double faceUnitsPerEm = 1000;
constexpr double faceWinAscent = 1000;
constexpr double faceWinDescent = 350;
constexpr double faceAverageWidth = 493;
// No glyph of the face reaches further across than this many ems, its overhang included.
constexpr double widestGlyphEms = 1.25;

enum class ObjectKind : std::uint8_t { Pen, Brush, Font };

struct DrawingObject {
    ObjectKind kind;
    std::int32_t width = 1;
    Colour colour = 0;
    std::size_t font = 0;
};

// GDI's sizes at scale 1: a positive height is the cell, a negative one the em, and the glyphs
// are drawn at a whole number of pixels per em; a width is the average character's.
struct FontSize {
    double em = 0;
    double stretch = 1;
    std::int32_t baseline = 0;
    std::int32_t cellHeight = 0;
};

FontSize sizeOf(const FontRequest& request) {
    const double cellUnits = faceWinAscent + faceWinDescent;
    double cellScale = 16.0 / cellUnits;
    if (request.height > 0) cellScale = request.height / cellUnits;
    if (request.height < 0) cellScale = -request.height / faceUnitsPerEm;
    FontSize size;
    size.em = std::max(std::round(cellScale * faceUnitsPerEm), 1.0);
    const double yScale = size.em / faceUnitsPerEm;
    const double xScale = request.width > 0 ? request.width / faceAverageWidth : yScale;
    size.stretch = xScale / yScale;
    size.baseline = static_cast<std::int32_t>(std::lround(faceWinAscent * cellScale));
    size.cellHeight =
        size.baseline + static_cast<std::int32_t>(std::lround(faceWinDescent * cellScale));
    return size;
}

std::uint32_t rgbaOf(std::uint32_t pixel) {
    // pixelOf's 0x00RRGGBB as the bytes R, G, B, A in memory (wasm is little-endian).
    return 0xFF000000u | (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}

} // namespace

struct WebCanvas::State {
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    std::int32_t scale = 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> image;

    std::vector<DrawingObject> objects;
    std::vector<FontSize> fonts;
    std::vector<Shape> shapes;

    // GDI's defaults in a fresh device context.
    std::int32_t penWidth = 1;
    Colour pen = 0;
    Colour brush = rgb(255, 255, 255);
    std::size_t font = SIZE_MAX;
    std::int32_t currentX = 0;
    std::int32_t currentY = 0;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    Colour textColour = 0;
    std::uint32_t textAlign = alignLeft | alignTop;

    PixelRect clip;
    RetainedFrame frames;
    std::vector<WebText> texts;

    PixelRect whole() const { return {0, 0, width, height}; }

    void makeImage(std::int32_t newScale) {
        newScale = std::max(newScale, 1);
        if (newScale != scale) shapes.clear();
        scale = newScale;
        width = frameWidth * scale;
        height = frameHeight * scale;
        image.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), rgbaOf(0));
        clip = whole();
        texts.clear();
        frames.forget();
    }

    void fill(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint32_t pixel) {
        if (y < clip.top || y >= clip.bottom) return;
        x0 = std::max(x0, clip.left);
        x1 = std::min(x1, clip.right);
        if (x0 >= x1) return;
        std::uint32_t* row = image.data() + static_cast<std::ptrdiff_t>(y) * width;
        std::fill(row + x0, row + x1, rgbaOf(pixel));
    }

    const Shape& shape(const ShapeKey& key) {
        for (const Shape& s : shapes)
            if (s.key == key) return s;
        if (shapes.size() >= shapeCacheLimit) shapes.clear();
        std::vector<Span> spans = rasterise(key, scale);
        const PixelRect bounds = boundsOf(spans);
        shapes.push_back(Shape{key, std::move(spans), bounds});
        return shapes.back();
    }

    static ShapeKey keyOf(const Op& op) {
        return ShapeKey{op.x1 - op.x0, op.y1 - op.y0, op.ellipseWidth, op.ellipseHeight,
                        op.penWidth,   op.pen,        op.brush};
    }

    PixelRect scaled(const PixelRect& r) const {
        return {r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
    }

    void draw(Op& op, const char* text) {
        op.box = intersection(op.box, whole());
        if (frames.recording()) {
            frames.record(op, text);
            return;
        }
        frames.forget();
        if (op.kind == Op::Kind::Text)
            texts.push_back(textOf(op, std::string_view(text, op.length)));
        else
            render(op);
    }

    void render(const Op& op) {
        if (op.kind == Op::Kind::Shape) {
            const Shape& s = shape(keyOf(op));
            for (const Span& span : s.spans)
                fill(scale * op.x0 + span.x0, scale * op.x0 + span.x1, scale * op.y0 + span.y,
                     span.pixel);
        } else if (op.kind == Op::Kind::Line) {
            renderLine(op);
        }
    }

    void renderLine(const Op& op) {
        const PixelRect straight = straightLine(op.x0, op.y0, op.x1, op.y1, op.penWidth);
        const std::uint32_t pixel = pixelOf(op.pen);
        if (!straight.empty()) {
            const PixelRect r = scaled(straight);
            for (std::int32_t y = r.top; y < r.bottom; ++y) fill(r.left, r.right, y, pixel);
            return;
        }
        // A slanted line, which the frame never draws: pen-wide squares along it, aliased.
        const std::int32_t steps = std::max(std::abs(op.x1 - op.x0), std::abs(op.y1 - op.y0));
        const std::int32_t side = std::max(op.penWidth, 1);
        for (std::int32_t i = 0; i < steps; ++i) {
            const auto x = static_cast<std::int32_t>(
                std::lround(op.x0 + static_cast<double>(op.x1 - op.x0) * i / steps));
            const auto y = static_cast<std::int32_t>(
                std::lround(op.y0 + static_cast<double>(op.y1 - op.y0) * i / steps));
            const PixelRect r =
                scaled({x - side / 2, y - side / 2, x - side / 2 + side, y - side / 2 + side});
            for (std::int32_t row = r.top; row < r.bottom; ++row) fill(r.left, r.right, row, pixel);
        }
    }

    // A text op keeps its anchor in x0 and y0 and its alignment in x1: all its pixels depend on.
    WebText textOf(const Op& op, std::string_view bytes) const {
        WebText text;
        windows1252ToUtf8(bytes.data(), bytes.size(), text.utf8);
        const FontSize& size = fonts[op.font];
        text.x = op.x0;
        text.y = op.y0;
        text.align = static_cast<std::uint32_t>(op.x1);
        text.colour = op.pen;
        text.opaque = op.mode == BackgroundMode::Opaque;
        text.em = size.em * scale;
        text.stretch = size.stretch;
        text.baseline = size.baseline * scale;
        text.cellHeight = size.cellHeight * scale;
        text.box = op.box;
        return text;
    }

    const std::vector<PixelRect>& finishFrame() {
        const std::vector<PixelRect>& changed = frames.end(whole());
        const FrameRecord& frame = frames.frame();
        for (const PixelRect& part : changed) {
            clip = part;
            for (std::int32_t y = part.top; y < part.bottom; ++y) fill(part.left, part.right, y, 0);
            for (const Op& op : frame.ops)
                if (op.kind != Op::Kind::Text && overlaps(op.box, part)) render(op);
        }
        clip = whole();
        texts.clear();
        for (const Op& op : frame.ops)
            if (op.kind == Op::Kind::Text) texts.push_back(textOf(op, frame.bytes(op)));
        return changed;
    }
};

WebCanvas::WebCanvas(int width, int height, int scale) : state_(std::make_unique<State>()) {
    state_->frameWidth = width;
    state_->frameHeight = height;
    state_->makeImage(scale);
}

WebCanvas::~WebCanvas() = default;

void WebCanvas::setScale(int scale) {
    state_->makeImage(scale);
}

int WebCanvas::scale() const {
    return state_->scale;
}
int WebCanvas::width() const {
    return state_->width;
}
int WebCanvas::height() const {
    return state_->height;
}

const std::uint8_t* WebCanvas::pixels() const {
    return reinterpret_cast<const std::uint8_t*>(state_->image.data());
}

void WebCanvas::beginFrame() {
    state_->frames.begin();
}

const std::vector<PixelRect>& WebCanvas::endFrame() {
    return state_->finishFrame();
}

const std::vector<WebText>& WebCanvas::texts() const {
    return state_->texts;
}

DrawingHandle WebCanvas::createPen(std::int32_t width, Colour colour) {
    state_->objects.push_back(DrawingObject{ObjectKind::Pen, width, colour, 0});
    return static_cast<DrawingHandle>(state_->objects.size());
}

DrawingHandle WebCanvas::createSolidBrush(Colour colour) {
    state_->objects.push_back(DrawingObject{ObjectKind::Brush, 0, colour, 0});
    return static_cast<DrawingHandle>(state_->objects.size());
}

DrawingHandle WebCanvas::createFont(const FontRequest& request) {
    State& s = *state_;
    s.fonts.push_back(sizeOf(request));
    s.objects.push_back(DrawingObject{ObjectKind::Font, 0, 0, s.fonts.size() - 1});
    return static_cast<DrawingHandle>(s.objects.size());
}

void WebCanvas::selectObject(DrawingHandle object) {
    State& s = *state_;
    if (object == 0 || object > s.objects.size()) return;
    const DrawingObject& o = s.objects[object - 1];
    switch (o.kind) {
    case ObjectKind::Pen:
        s.penWidth = o.width;
        s.pen = o.colour;
        break;
    case ObjectKind::Brush: s.brush = o.colour; break;
    case ObjectKind::Font: s.font = o.font; break;
    }
}

void WebCanvas::moveTo(std::int32_t x, std::int32_t y) {
    state_->currentX = x;
    state_->currentY = y;
}

void WebCanvas::lineTo(std::int32_t x, std::int32_t y) {
    State& s = *state_;
    Op op;
    op.kind = Op::Kind::Line;
    op.x0 = s.currentX;
    op.y0 = s.currentY;
    op.x1 = x;
    op.y1 = y;
    s.currentX = x;
    s.currentY = y;
    if (x == op.x0 && y == op.y0) return;
    op.penWidth = s.penWidth;
    op.pen = s.pen;
    op.box = s.scaled(straightLine(op.x0, op.y0, x, y, op.penWidth));
    if (op.box.empty()) {
        const std::int32_t reach = std::max(op.penWidth, 1) + 1;
        op.box = s.scaled({std::min(op.x0, x) - reach, std::min(op.y0, y) - reach,
                           std::max(op.x0, x) + reach + 1, std::max(op.y0, y) + reach + 1});
    }
    s.draw(op, "");
}

void WebCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    roundRect(left, top, right, bottom, 0, 0);
}

void WebCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, std::int32_t ellipseWidth,
                          std::int32_t ellipseHeight) {
    State& s = *state_;
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
    op.penWidth = s.penWidth;
    op.pen = s.pen;
    op.brush = s.brush;
    const PixelRect bounds = s.shape(State::keyOf(op)).bounds;
    op.box = {s.scale * left + bounds.left, s.scale * top + bounds.top,
              s.scale * left + bounds.right, s.scale * top + bounds.bottom};
    s.draw(op, "");
}

void WebCanvas::setBkMode(BackgroundMode mode) {
    state_->backgroundMode = mode;
}

void WebCanvas::setTextColor(Colour colour) {
    state_->textColour = colour;
}

void WebCanvas::setTextAlign(std::uint32_t align) {
    state_->textAlign = align;
}

void WebCanvas::textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) {
    State& s = *state_;
    if (length <= 0 || s.font >= s.fonts.size()) return;
    const FontSize& size = s.fonts[s.font];
    Op op;
    op.kind = Op::Kind::Text;
    op.mode = s.backgroundMode;
    op.x0 = s.scale * x;
    op.y0 = s.scale * y;
    op.x1 = static_cast<std::int32_t>(s.textAlign);
    op.pen = s.textColour;
    op.font = s.font;
    op.length = static_cast<std::size_t>(length);
    // The page lays the text out, so its box is what the widest glyphs could cover.
    const auto reach = static_cast<std::int32_t>(
        std::ceil(length * widestGlyphEms * size.em * size.stretch * s.scale));
    const std::int32_t margin = 2 * s.scale;
    constexpr std::uint32_t horizontal = 6;
    std::int32_t left = op.x0;
    if ((s.textAlign & horizontal) == alignCenter)
        left -= reach / 2;
    else if ((s.textAlign & horizontal) == alignRight)
        left -= reach;
    op.box = {left - margin, op.y0 - margin, left + reach + margin,
              op.y0 + s.scale * size.cellHeight + margin};
    s.draw(op, text);
}

} // namespace plonta
