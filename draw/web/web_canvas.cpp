// GDI's drawing for the page: draw/retained_canvas.cpp's shapes into RGBA pixels, and texts
// handed on with the metrics GDI gives the font.
#include "draw/web/web_canvas.h"

#include <algorithm>
#include <cmath>

#include "draw/windows1252.h"

namespace plonta {

namespace {

// The shipped face's own numbers (its head and OS/2 tables): what FreeType reads from it for
// the Cairo canvas, so that both size the cell alike.
constexpr double faceUnitsPerEm = 1000;
constexpr double faceWinAscent = 1000;
constexpr double faceWinDescent = 350;
constexpr double faceAverageWidth = 493;
// No glyph of the face reaches further across than this many ems, its overhang included.
constexpr double widestGlyphEms = 1.25;

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
    std::vector<std::uint32_t> image;
    std::vector<FontSize> fonts;
    std::vector<WebText> texts;
};

WebCanvas::WebCanvas(int width, int height, FrameScale scale)
    : RetainedCanvas(width, height), state_(std::make_unique<State>()) {
    setScale(scale);
}

WebCanvas::~WebCanvas() = default;

void WebCanvas::setScale(FrameScale scale) {
    setDrawingScale(scale);
    setImageSize(this->scale().edge(frameWidth()), this->scale().edge(frameHeight()));
    state_->image.assign(static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()),
                         rgbaOf(0));
    state_->texts.clear();
}

const std::uint8_t* WebCanvas::pixels() const {
    return reinterpret_cast<const std::uint8_t*>(state_->image.data());
}

const std::vector<WebText>& WebCanvas::texts() const {
    return state_->texts;
}

std::size_t WebCanvas::addFont(const FontRequest& request) {
    state_->fonts.push_back(sizeOf(request));
    return state_->fonts.size() - 1;
}

bool WebCanvas::placeText(Op& op, std::string_view text) {
    if (op.font >= state_->fonts.size()) return false;
    const FontSize& size = state_->fonts[op.font];
    // The page lays the text out, so the op keeps its anchor and alignment, and its box is
    // what the widest glyphs could cover.
    op.textAlign = textAlign();
    const auto reach = static_cast<std::int32_t>(std::ceil(
        static_cast<double>(text.size()) * widestGlyphEms * scale().em(size.em) * size.stretch));
    const std::int32_t margin = scale().edge(2);
    const std::int32_t left = alignedLeft(op.x0, reach);
    op.box = {left - margin, op.y0 - margin, left + reach + margin,
              op.y0 + scale().rounded(size.cellHeight) + margin};
    return true;
}

void WebCanvas::fillRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t pixel) {
    std::uint32_t* row = state_->image.data() + static_cast<std::ptrdiff_t>(y) * width();
    std::fill(row + x0, row + x1, rgbaOf(pixel));
}

void WebCanvas::renderSlantedLine(const Op& op) {
    // One the frame never draws: pen-wide squares along it, aliased.
    const std::uint32_t pixel = pixelOf(op.pen);
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

// The page draws the texts over the image, so a changed part needs none drawn again: one
// drawn outside a frame joins the list, and a frame's are all listed again when it ends.
void WebCanvas::renderText(const Op& op, std::string_view text) {
    if (!redrawing()) state_->texts.push_back(textOf(op, text));
}

void WebCanvas::frameDrawn(const FrameRecord& frame) {
    state_->texts.clear();
    for (const Op& op : frame.ops)
        if (op.kind == Op::Kind::Text) state_->texts.push_back(textOf(op, frame.bytes(op)));
}

// A text op keeps its anchor in x0 and y0: the page lays it out from there.
WebText WebCanvas::textOf(const Op& op, std::string_view bytes) const {
    WebText text;
    windows1252ToUtf8(bytes.data(), bytes.size(), text.utf8);
    const FontSize& size = state_->fonts[op.font];
    text.x = op.x0;
    text.y = op.y0;
    text.align = op.textAlign;
    text.colour = op.pen;
    text.opaque = op.mode == BackgroundMode::Opaque;
    text.em = scale().em(size.em);
    text.stretch = size.stretch;
    text.baseline = scale().rounded(size.baseline);
    text.cellHeight = scale().rounded(size.cellHeight);
    text.box = op.box;
    return text;
}

} // namespace plonta
