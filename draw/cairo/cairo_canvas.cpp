// GDI's drawing on a Cairo image: shapes from draw/shape_raster.cpp on whole pixels, texts
// through Cairo, and retained frames drawn again only where draw/retained_frame.cpp finds
// them changed.
#include "draw/cairo/cairo_canvas.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include <cairo.h>

#include "draw/cairo/cairo_fonts.h"
#include "draw/retained_frame.h"
#include "draw/shape_raster.h"

namespace plonta {

namespace {

constexpr std::size_t shapeCacheLimit = 64;

using SurfaceHandle = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_destroy>>;
using ContextHandle = std::unique_ptr<cairo_t, Releaser<cairo_destroy>>;

enum class ObjectKind : std::uint8_t { Pen, Brush, Font };

struct DrawingObject {
    ObjectKind kind;
    std::int32_t width = 1;
    Colour colour = 0;
    std::size_t font = 0; // index into the fonts
};

} // namespace

struct CairoCanvas::State {
    // The frame's size at scale 1.
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    std::int32_t scale = 1;

    SurfaceHandle surface;
    ContextHandle cairo;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    unsigned char* pixels = nullptr;
    // Which side wrote last, so the other is told before it draws.
    bool cairoDrew = false;
    bool pixelsWritten = false;

    std::vector<DrawingObject> objects;
    CairoFonts fonts;
    std::vector<Shape> shapes;

    // GDI's defaults in a fresh device context: black pen, white brush, no font yet.
    std::int32_t penWidth = 1;
    Colour pen = 0;
    Colour brush = rgb(255, 255, 255);
    std::size_t font = SIZE_MAX;
    std::int32_t currentX = 0;
    std::int32_t currentY = 0;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    Colour textColour = 0;
    std::uint32_t textAlign = alignLeft | alignTop;

    // A layout's glyphs where a text puts them.
    std::vector<cairo_glyph_t> placed;

    // What drawing may change now: the whole image, or the part of a retained frame redrawn.
    PixelRect clip;
    RetainedFrame frames;

    ~State() { releaseImage(); }

    void releaseImage() {
        cairo.reset();
        surface.reset();
        pixels = nullptr;
        width = height = stride = 0;
        clip = {};
        cairoDrew = pixelsWritten = false;
        frames.forget();
    }

    PixelRect whole() const { return {0, 0, width, height}; }

    bool makeImage(std::int32_t newScale, unsigned char* memory, std::int32_t memoryStride) {
        releaseImage();
        if (newScale != scale) shapes.clear();
        scale = std::max(newScale, 1);
        fonts.setScale(scale);
        const std::int32_t w = frameWidth * scale;
        const std::int32_t h = frameHeight * scale;
        surface.reset(memory != nullptr ? cairo_image_surface_create_for_data(
                                              memory, CAIRO_FORMAT_RGB24, w, h, memoryStride)
                                        : cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
            releaseImage();
            return false;
        }
        cairo.reset(cairo_create(surface.get()));
        width = cairo_image_surface_get_width(surface.get());
        height = cairo_image_surface_get_height(surface.get());
        stride = cairo_image_surface_get_stride(surface.get());
        pixels = cairo_image_surface_get_data(surface.get());
        cairo_set_antialias(cairo.get(), CAIRO_ANTIALIAS_NONE);
        cairo_set_line_cap(cairo.get(), CAIRO_LINE_CAP_BUTT);
        clip = whole();
        return pixels != nullptr;
    }

    std::uint32_t* row(std::int32_t y) {
        return reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
    }

    void beginPixels() {
        if (cairoDrew) cairo_surface_flush(surface.get());
        cairoDrew = false;
        pixelsWritten = true;
    }

    void beginCairo() {
        if (pixelsWritten) cairo_surface_mark_dirty(surface.get());
        pixelsWritten = false;
        cairoDrew = true;
    }

    // In image pixels, inside the clip.
    void fill(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint32_t pixel) {
        if (y < clip.top || y >= clip.bottom) return;
        x0 = std::max(x0, clip.left);
        x1 = std::min(x1, clip.right);
        if (x0 < x1) std::fill(row(y) + x0, row(y) + x1, pixel);
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

    static PixelRect straightLineOf(const Op& op) {
        return straightLine(op.x0, op.y0, op.x1, op.y1, op.penWidth);
    }

    // Draws a call now, or keeps it for the retained frame being made.
    void draw(Op& op, const char* text) {
        op.box = intersection(op.box, whole());
        if (frames.recording()) {
            frames.record(op, text);
            return;
        }
        frames.forget();
        render(op, std::string_view(text, op.length));
    }

    void render(const Op& op, std::string_view text) {
        if (pixels == nullptr) return;
        switch (op.kind) {
        case Op::Kind::Line: renderLine(op); break;
        case Op::Kind::Shape: renderShape(op); break;
        case Op::Kind::Text: renderText(op, text); break;
        }
    }

    void renderShape(const Op& op) {
        const Shape& s = shape(keyOf(op));
        beginPixels();
        for (const Span& span : s.spans)
            fill(scale * op.x0 + span.x0, scale * op.x0 + span.x1, scale * op.y0 + span.y,
                 span.pixel);
    }

    PixelRect scaled(const PixelRect& r) const {
        return {r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
    }

    void renderLine(const Op& op) {
        const PixelRect straight = straightLineOf(op);
        if (!straight.empty()) {
            beginPixels();
            const PixelRect r = scaled(straight);
            for (std::int32_t y = r.top; y < r.bottom; ++y)
                fill(r.left, r.right, y, pixelOf(op.pen));
            return;
        }
        // A slanted line: rare, so Cairo strokes it, still aliased.
        beginCairo();
        beginClip();
        const double n = scale;
        cairo_set_source_rgb(cairo.get(), redOf(op.pen) / 255.0, greenOf(op.pen) / 255.0,
                             blueOf(op.pen) / 255.0);
        cairo_set_line_width(cairo.get(), std::max(op.penWidth, 1) * n);
        cairo_move_to(cairo.get(), (op.x0 + 0.5) * n, (op.y0 + 0.5) * n);
        cairo_line_to(cairo.get(), (op.x1 + 0.5) * n, (op.y1 + 0.5) * n);
        cairo_stroke(cairo.get());
        endClip();
    }

    void renderText(const Op& op, std::string_view text) {
        const Font* f = fonts.resolved(op.font);
        const Layout* laid = f != nullptr ? fonts.layout(op.font, text) : nullptr;
        if (laid == nullptr) return;
        if (op.mode == BackgroundMode::Opaque) {
            // GDI's default background colour is white.
            beginPixels();
            for (std::int32_t y = op.y0; y < op.y1; ++y)
                fill(op.x0, op.x1, y, pixelOf(rgb(255, 255, 255)));
        }
        // TA_TOP: the baseline lies the scaled Windows ascent below the top of the cell.
        const std::int32_t baseline = op.y0 + scale * f->metrics.baseline;
        placed.assign(laid->glyphs.begin(), laid->glyphs.end());
        for (cairo_glyph_t& glyph : placed) {
            glyph.x += op.x0;
            glyph.y += baseline;
        }
        beginCairo();
        beginClip();
        cairo_set_source_rgb(cairo.get(), redOf(op.pen) / 255.0, greenOf(op.pen) / 255.0,
                             blueOf(op.pen) / 255.0);
        cairo_set_scaled_font(cairo.get(), f->scaled.get());
        cairo_show_glyphs(cairo.get(), placed.data(), static_cast<int>(placed.size()));
        endClip();
    }

    void beginClip() {
        if (clip == whole()) return;
        cairo_save(cairo.get());
        cairo_rectangle(cairo.get(), clip.left, clip.top, clip.right - clip.left,
                        clip.bottom - clip.top);
        cairo_clip(cairo.get());
    }

    void endClip() {
        if (clip != whole()) cairo_restore(cairo.get());
    }

    // Each changed part cleared and drawn again by the frame's calls that reach it.
    const std::vector<PixelRect>& finishFrame() {
        const std::vector<PixelRect>& changed =
            frames.end(pixels != nullptr ? whole() : PixelRect{});
        const FrameRecord& frame = frames.frame();
        for (const PixelRect& part : changed) {
            clip = part;
            beginPixels();
            for (std::int32_t y = part.top; y < part.bottom; ++y) fill(part.left, part.right, y, 0);
            for (const Op& op : frame.ops)
                if (overlaps(op.box, part)) render(op, frame.bytes(op));
        }
        clip = whole();
        return changed;
    }
};

CairoCanvas::CairoCanvas(int width, int height, int scale) : state_(std::make_unique<State>()) {
    state_->frameWidth = width;
    state_->frameHeight = height;
    setImage(scale);
}

CairoCanvas::~CairoCanvas() = default;

bool CairoCanvas::setImage(int scale, unsigned char* pixels, int stride) {
    if (!state_->makeImage(scale, pixels, stride)) return false;
    clear();
    return true;
}

bool CairoCanvas::ok() const {
    State& s = *state_;
    if (s.pixels == nullptr || cairo_status(s.cairo.get()) != CAIRO_STATUS_SUCCESS) return false;
    for (std::size_t i = 0; i < s.fonts.size(); ++i)
        if (s.fonts.resolved(i) == nullptr) return false;
    return true;
}

void CairoCanvas::clear() {
    State& s = *state_;
    if (s.pixels == nullptr) return;
    s.beginPixels();
    s.frames.forget();
    // Row by row: the rows of a caller's image may lie inside wider ones.
    for (std::int32_t y = 0; y < s.height; ++y)
        std::memset(s.row(y), 0, static_cast<std::size_t>(s.width) * 4);
}

void CairoCanvas::beginFrame() {
    state_->frames.begin();
}

const std::vector<PixelRect>& CairoCanvas::endFrame() {
    return state_->finishFrame();
}

const unsigned char* CairoCanvas::data() {
    State& s = *state_;
    if (s.cairoDrew) cairo_surface_flush(s.surface.get());
    s.cairoDrew = false;
    return s.pixels;
}

int CairoCanvas::stride() const {
    return state_->stride;
}
int CairoCanvas::width() const {
    return state_->width;
}
int CairoCanvas::height() const {
    return state_->height;
}
int CairoCanvas::scale() const {
    return state_->scale;
}

bool CairoCanvas::writePng(const char* path) {
    State& s = *state_;
    if (s.pixels == nullptr) return false;
    s.beginCairo();
    return cairo_surface_write_to_png(s.surface.get(), path) == CAIRO_STATUS_SUCCESS;
}

DrawingHandle CairoCanvas::createPen(std::int32_t width, Colour colour) {
    state_->objects.push_back(DrawingObject{ObjectKind::Pen, width, colour, 0});
    return static_cast<DrawingHandle>(state_->objects.size());
}

DrawingHandle CairoCanvas::createSolidBrush(Colour colour) {
    state_->objects.push_back(DrawingObject{ObjectKind::Brush, 0, colour, 0});
    return static_cast<DrawingHandle>(state_->objects.size());
}

DrawingHandle CairoCanvas::createFont(const FontRequest& request) {
    State& s = *state_;
    s.objects.push_back(DrawingObject{ObjectKind::Font, 0, 0, s.fonts.add(request)});
    return static_cast<DrawingHandle>(s.objects.size());
}

void CairoCanvas::selectObject(DrawingHandle object) {
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

void CairoCanvas::moveTo(std::int32_t x, std::int32_t y) {
    state_->currentX = x;
    state_->currentY = y;
}

void CairoCanvas::lineTo(std::int32_t x, std::int32_t y) {
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
    op.box = s.scaled(State::straightLineOf(op));
    if (op.box.empty()) {
        // Cairo's slanted stroke, with a pixel to spare round it.
        const std::int32_t reach = std::max(op.penWidth, 1) + 1;
        op.box = s.scaled({std::min(op.x0, x) - reach, std::min(op.y0, y) - reach,
                           std::max(op.x0, x) + reach + 1, std::max(op.y0, y) + reach + 1});
    }
    s.draw(op, "");
}

void CairoCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom) {
    roundRect(left, top, right, bottom, 0, 0);
}

void CairoCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
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

void CairoCanvas::setBkMode(BackgroundMode mode) {
    state_->backgroundMode = mode;
}

void CairoCanvas::setTextColor(Colour colour) {
    state_->textColour = colour;
}

void CairoCanvas::setTextAlign(std::uint32_t align) {
    state_->textAlign = align;
}

void CairoCanvas::textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) {
    State& s = *state_;
    if (length <= 0) return;
    const Font* f = s.fonts.resolved(s.font);
    const Layout* laid =
        f != nullptr
            ? s.fonts.layout(s.font, std::string_view(text, static_cast<std::size_t>(length)))
            : nullptr;
    if (laid == nullptr) return;
    // In image pixels from here on.
    Op op;
    op.kind = Op::Kind::Text;
    op.mode = s.backgroundMode;
    op.x0 = s.scale * x;
    constexpr std::uint32_t horizontal = 6;
    if ((s.textAlign & horizontal) == alignCenter)
        op.x0 -= laid->advance / 2;
    else if ((s.textAlign & horizontal) == alignRight)
        op.x0 -= laid->advance;
    op.y0 = s.scale * y;
    op.x1 = op.x0 + laid->advance;
    op.y1 = op.y0 + s.scale * f->metrics.cellHeight;
    op.pen = s.textColour;
    op.font = s.font;
    op.length = static_cast<std::size_t>(length);
    const std::int32_t baseline = op.y0 + s.scale * f->metrics.baseline;
    op.box = {op.x0 + laid->ink.left, baseline + laid->ink.top, op.x0 + laid->ink.right,
              baseline + laid->ink.bottom};
    if (laid->ink.empty()) op.box = {};
    if (op.mode == BackgroundMode::Opaque) {
        const PixelRect cell{op.x0, op.y0, op.x1, op.y1};
        op.box = op.box.empty()
                     ? cell
                     : PixelRect{std::min(op.box.left, cell.left), std::min(op.box.top, cell.top),
                                 std::max(op.box.right, cell.right),
                                 std::max(op.box.bottom, cell.bottom)};
    }
    s.draw(op, text);
}

} // namespace plonta
