// GDI's drawing on a Cairo image: draw/retained_canvas.cpp's shapes on whole pixels, texts
// and slanted lines through Cairo.
#include "draw/cairo/cairo_canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <cairo.h>

#include "draw/cairo/cairo_fonts.h"

namespace plonta {

namespace {

using SurfaceHandle = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_destroy>>;
using ContextHandle = std::unique_ptr<cairo_t, Releaser<cairo_destroy>>;

} // namespace

struct CairoCanvas::State {
    SurfaceHandle surface;
    ContextHandle cairo;
    std::int32_t stride = 0;
    unsigned char* pixels = nullptr;
    // Which side wrote last, so the other is told before it draws.
    bool cairoDrew = false;
    bool pixelsWritten = false;

    CairoFonts fonts;
    // A layout's glyphs where a text puts them.
    std::vector<cairo_glyph_t> placed;

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

    void setSource(Colour c) {
        cairo_set_source_rgb(cairo.get(), redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0);
    }
};

CairoCanvas::CairoCanvas(int width, int height, FrameScale scale)
    : RetainedCanvas(width, height), state_(std::make_unique<State>()) {
    setImage(scale);
}

CairoCanvas::~CairoCanvas() = default;

void CairoCanvas::releaseImage() {
    State& s = *state_;
    s.cairo.reset();
    s.surface.reset();
    s.pixels = nullptr;
    s.stride = 0;
    s.cairoDrew = s.pixelsWritten = false;
    setImageSize(0, 0);
}

bool CairoCanvas::setImage(FrameScale scale, unsigned char* pixels, int stride) {
    State& s = *state_;
    releaseImage();
    setDrawingScale(scale);
    s.fonts.setScale(this->scale());
    const std::int32_t w = this->scale().edge(frameWidth());
    const std::int32_t h = this->scale().edge(frameHeight());
    s.surface.reset(pixels != nullptr ? cairo_image_surface_create_for_data(
                                            pixels, CAIRO_FORMAT_RGB24, w, h, stride)
                                      : cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
    if (cairo_surface_status(s.surface.get()) == CAIRO_STATUS_SUCCESS)
        s.pixels = cairo_image_surface_get_data(s.surface.get());
    if (s.pixels == nullptr) {
        releaseImage();
        return false;
    }
    s.cairo.reset(cairo_create(s.surface.get()));
    s.stride = cairo_image_surface_get_stride(s.surface.get());
    cairo_set_antialias(s.cairo.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_line_cap(s.cairo.get(), CAIRO_LINE_CAP_BUTT);
    setImageSize(cairo_image_surface_get_width(s.surface.get()),
                 cairo_image_surface_get_height(s.surface.get()));
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
    forgetFrame();
    // Row by row: the rows of a caller's image may lie inside wider ones.
    for (std::int32_t y = 0; y < height(); ++y)
        std::memset(s.row(y), 0, static_cast<std::size_t>(width()) * 4);
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

bool CairoCanvas::writePng(const char* path) {
    State& s = *state_;
    if (s.pixels == nullptr) return false;
    s.beginCairo();
    return cairo_surface_write_to_png(s.surface.get(), path) == CAIRO_STATUS_SUCCESS;
}

std::size_t CairoCanvas::addFont(const FontRequest& request) {
    return state_->fonts.add(request);
}

bool CairoCanvas::placeText(Op& op, std::string_view text) {
    State& s = *state_;
    const Font* f = s.fonts.resolved(op.font);
    const Layout* laid = f != nullptr ? s.fonts.layout(op.font, text) : nullptr;
    if (laid == nullptr) return false;
    op.x0 = alignedLeft(op.x0, laid->advance);
    op.x1 = op.x0 + laid->advance;
    op.y1 = op.y0 + scale().rounded(f->metrics.cellHeight);
    const std::int32_t baseline = op.y0 + scale().rounded(f->metrics.baseline);
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
    return true;
}

void CairoCanvas::fillRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t pixel) {
    State& s = *state_;
    s.beginPixels();
    std::fill(s.row(y) + x0, s.row(y) + x1, pixel);
}

void CairoCanvas::renderSlantedLine(const Op& op) {
    State& s = *state_;
    if (s.pixels == nullptr) return;
    // Rare, so Cairo strokes it, still aliased.
    s.beginCairo();
    beginClip();
    const double n = scale().factor();
    s.setSource(op.pen);
    cairo_set_line_width(s.cairo.get(), std::max(op.penWidth, 1) * n);
    cairo_move_to(s.cairo.get(), (op.x0 + 0.5) * n, (op.y0 + 0.5) * n);
    cairo_line_to(s.cairo.get(), (op.x1 + 0.5) * n, (op.y1 + 0.5) * n);
    cairo_stroke(s.cairo.get());
    endClip();
}

void CairoCanvas::renderText(const Op& op, std::string_view text) {
    State& s = *state_;
    if (s.pixels == nullptr) return;
    const Font* f = s.fonts.resolved(op.font);
    const Layout* laid = f != nullptr ? s.fonts.layout(op.font, text) : nullptr;
    if (laid == nullptr) return;
    if (op.mode == BackgroundMode::Opaque) {
        // GDI's default background colour is white.
        for (std::int32_t y = op.y0; y < op.y1; ++y)
            fill(op.x0, op.x1, y, pixelOf(rgb(255, 255, 255)));
    }
    // TA_TOP: the baseline lies the scaled Windows ascent below the top of the cell.
    const std::int32_t baseline = op.y0 + scale().rounded(f->metrics.baseline);
    s.placed.assign(laid->glyphs.begin(), laid->glyphs.end());
    for (cairo_glyph_t& glyph : s.placed) {
        glyph.x += op.x0;
        glyph.y += baseline;
    }
    s.beginCairo();
    beginClip();
    s.setSource(op.pen);
    cairo_set_scaled_font(s.cairo.get(), f->scaled.get());
    cairo_show_glyphs(s.cairo.get(), s.placed.data(), static_cast<int>(s.placed.size()));
    endClip();
}

void CairoCanvas::beginClip() {
    if (clip() == image()) return;
    cairo_save(state_->cairo.get());
    cairo_rectangle(state_->cairo.get(), clip().left, clip().top, clip().right - clip().left,
                    clip().bottom - clip().top);
    cairo_clip(state_->cairo.get());
}

void CairoCanvas::endClip() {
    if (clip() != image()) cairo_restore(state_->cairo.get());
}

} // namespace plonta
