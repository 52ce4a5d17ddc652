// GDI takes the frame's calls as they are at scale 1; the texts' Windows-1252 bytes become
// UTF-16. At a larger scale the figures come from draw/shape_raster.cpp, as the other canvases
// draw them, and are filled as rectangles of whole blocks, so nothing is stretched.
#include "draw/gdi/gdi_canvas.h"

#include <algorithm>
#include <utility>

#include "draw/windows1252.h"

namespace plonta {

namespace {

// Room for every look at the leads a fractional scale gives them.
constexpr std::size_t shapeCacheLimit = 256;

Colour colourOf(std::uint32_t pixel) {
    return rgb(static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
               static_cast<std::uint8_t>(pixel));
}

} // namespace

void GdiCanvas::setScale(FrameScale scale) {
    if (scale != scale_) shapes_.clear();
    scale_ = scale;
}

HGDIOBJ GdiCanvas::object(DrawingHandle handle) const {
    if (handle == 0 || handle > objects_.size()) return nullptr;
    return objects_[handle - 1];
}

DrawingHandle GdiCanvas::remember(HGDIOBJ object, Made made) {
    // A failed creation still gets a handle, as the frame stores what it is given; selecting
    // it then does nothing.
    objects_.push_back(object);
    made_.push_back(std::move(made));
    return static_cast<DrawingHandle>(objects_.size());
}

DrawingHandle GdiCanvas::createPen(std::int32_t width, Colour colour) {
    return remember(CreatePen(PS_SOLID, width, colour),
                    {Made::Kind::Pen, width, colour, {}, {}, nullptr, 0});
}

DrawingHandle GdiCanvas::createSolidBrush(Colour colour) {
    return remember(CreateSolidBrush(colour), {Made::Kind::Brush, 0, colour, {}, {}, nullptr, 0});
}

DrawingHandle GdiCanvas::createFont(const FontRequest& r) {
    Made made{Made::Kind::Font, 0, 0, r, r.faceName != nullptr ? r.faceName : "", nullptr, 0};
    return remember(CreateFontA(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic,
                                r.underline, r.strikeOut, r.charSet, r.outPrecision,
                                r.clipPrecision, r.quality, r.pitchAndFamily, r.faceName),
                    std::move(made));
}

HGDIOBJ GdiCanvas::scaledObject(Made& made) {
    if (made.scaledAt == scale_.thousandths()) return made.scaled;
    if (made.scaled != nullptr) DeleteObject(made.scaled);
    made.scaledAt = scale_.thousandths();
    if (made.kind == Made::Kind::Pen) {
        made.scaled =
            CreatePen(PS_SOLID, std::max(scale_.rounded(std::max(made.width, 1)), 1), made.colour);
        return made.scaled;
    }
    // The em GDI picks for the font at scale 1, whole, times the scale (rounded to whole
    // pixels): the texts come out as large as everything else and as sharp as at scale 1.
    FontRequest r = made.font;
    HGDIOBJ plain = objects_[static_cast<std::size_t>(&made - made_.data())];
    TEXTMETRICA metrics{};
    const HGDIOBJ was = SelectObject(dc_, plain);
    const bool measured = GetTextMetricsA(dc_, &metrics) != 0;
    SelectObject(dc_, was);
    const auto em = [this](LONG pixels) {
        return static_cast<LONG>(scale_.em(static_cast<double>(pixels)));
    };
    r.height = measured ? -em(metrics.tmHeight - metrics.tmInternalLeading)
                        : (r.height < 0 ? -em(-r.height) : em(r.height));
    r.width = r.width > 0 ? em(r.width) : 0;
    made.scaled = CreateFontA(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic,
                              r.underline, r.strikeOut, r.charSet, r.outPrecision, r.clipPrecision,
                              r.quality, r.pitchAndFamily, made.faceName.c_str());
    return made.scaled;
}

void GdiCanvas::selectObject(DrawingHandle handle) {
    HGDIOBJ chosen = object(handle);
    if (chosen == nullptr) return;
    const Made& made = made_[handle - 1];
    switch (made.kind) {
    case Made::Kind::Pen:
        pen_ = handle - 1;
        penWidth_ = made.width;
        penColour_ = made.colour;
        break;
    case Made::Kind::Brush: brush_ = made.colour; break;
    case Made::Kind::Font: font_ = handle - 1; break;
    }
    if (direct()) SelectObject(dc_, chosen);
}

void GdiCanvas::moveTo(std::int32_t x, std::int32_t y) {
    currentX_ = x;
    currentY_ = y;
    if (direct()) MoveToEx(dc_, x, y, nullptr);
}

void GdiCanvas::lineTo(std::int32_t x, std::int32_t y) {
    const std::int32_t x0 = std::exchange(currentX_, x);
    const std::int32_t y0 = std::exchange(currentY_, y);
    if (direct()) {
        LineTo(dc_, x, y);
        return;
    }
    const PixelRect r = scale_.of(straightLine(x0, y0, x, y, penWidth_));
    if (!r.empty()) {
        fillBlock({r.left, r.top, r.right, r.bottom}, penColour_);
        return;
    }
    // Slanted: rare, so GDI draws it with a pen as much wider, through the blocks' middles.
    if (pen_ < made_.size()) SelectObject(dc_, scaledObject(made_[pen_]));
    const auto middle = [this](std::int32_t p) {
        return (scale_.edge(p) + scale_.edge(p + 1)) / 2;
    };
    MoveToEx(dc_, middle(x0), middle(y0), nullptr);
    LineTo(dc_, middle(x), middle(y));
}

void GdiCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    if (direct()) {
        Rectangle(dc_, left, top, right, bottom);
        return;
    }
    roundRect(left, top, right, bottom, 0, 0);
}

void GdiCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, std::int32_t ellipseWidth,
                          std::int32_t ellipseHeight) {
    if (direct()) {
        RoundRect(dc_, left, top, right, bottom, ellipseWidth, ellipseHeight);
        return;
    }
    // GDI puts the corners in order first.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    const Blocks& shape = blocks(
        {right - left, bottom - top, ellipseWidth, ellipseHeight, penWidth_, penColour_, brush_},
        scale_.lead(left), scale_.lead(top));
    for (std::size_t i = 0; i < shape.rects.size(); ++i) {
        RECT r = shape.rects[i];
        OffsetRect(&r, scale_.edge(left), scale_.edge(top));
        fillBlock(r, shape.colours[i]);
    }
}

const GdiCanvas::Blocks& GdiCanvas::blocks(const ShapeKey& key, std::int32_t leadX,
                                           std::int32_t leadY) {
    for (const Blocks& b : shapes_)
        if (b.key == key && b.leadX == leadX && b.leadY == leadY) return b;
    if (shapes_.size() >= shapeCacheLimit) shapes_.clear();
    Blocks made{key, leadX, leadY, {}, {}};
    // Runs of equal rows become one rectangle: a figure is a handful of fills, not a row each.
    for (const Span& span : rasterise(key, scale_, leadX, leadY)) {
        const Colour colour = colourOf(span.pixel);
        bool extended = false;
        for (std::size_t i = 0; i < made.rects.size() && !extended; ++i) {
            RECT& r = made.rects[i];
            if (r.bottom == span.y && r.left == span.x0 && r.right == span.x1 &&
                made.colours[i] == colour) {
                r.bottom = span.y + 1;
                extended = true;
            }
        }
        if (!extended) {
            made.rects.push_back({span.x0, span.y, span.x1, span.y + 1});
            made.colours.push_back(colour);
        }
    }
    shapes_.push_back(std::move(made));
    return shapes_.back();
}

void GdiCanvas::fillBlock(const RECT& rect, Colour colour) {
    SetDCBrushColor(dc_, colour);
    FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::setBkMode(BackgroundMode mode) {
    SetBkMode(dc_, static_cast<int>(mode));
}

void GdiCanvas::setTextColor(Colour colour) {
    SetTextColor(dc_, colour);
}

void GdiCanvas::setTextAlign(std::uint32_t align) {
    SetTextAlign(dc_, align);
}

void GdiCanvas::textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) {
    // GDI gets the length up to the text's zero byte, however long the caller says it is.
    const int counted = lstrlenA(text);
    const int drawn = counted < length ? counted : length;
    // TextOutA would read the bytes in the system's code page (a Russian Windows shows the bar's
    // 0xD8 as a Cyrillic letter): give GDI the characters the game means instead.
    wide_.resize(static_cast<std::size_t>(drawn > 0 ? drawn : 0));
    for (std::size_t i = 0; i < wide_.size(); ++i)
        wide_[i] = static_cast<wchar_t>(windows1252CodePoint(static_cast<std::uint8_t>(text[i])));
    if (!direct() && font_ < made_.size()) SelectObject(dc_, scaledObject(made_[font_]));
    TextOutW(dc_, scale_.edge(x), scale_.edge(y), wide_.data(), static_cast<int>(wide_.size()));
}

} // namespace plonta
