// GDI's drawing on a Cairo image: shapes from draw/shape_raster.cpp on whole pixels, texts
// through Cairo, and retained frames drawn again only where draw/retained_frame.cpp finds
// them changed.
#include "draw/cairo/cairo_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>

#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "draw/retained_frame.h"
#include "draw/shape_raster.h"
#include "draw/windows1252.h"

namespace plonta {

namespace {

constexpr std::size_t shapeCacheLimit = 64;
constexpr std::size_t layoutCacheLimit = 64;

// FreeType stays loaded for the process: Cairo may keep faces alive past any canvas.
FT_Library freeTypeLibrary() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) made = nullptr;
        return made;
    }();
    return library;
}

const cairo_user_data_key_t faceKey{};

// Cairo's and fontconfig's objects, each given back by its own call when its handle goes.
template <auto release> struct Releaser {
    template <typename Object> void operator()(Object* object) const { release(object); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_destroy>>;
using ContextHandle = std::unique_ptr<cairo_t, Releaser<cairo_destroy>>;
using FontFaceHandle = std::unique_ptr<cairo_font_face_t, Releaser<cairo_font_face_destroy>>;
using ScaledFontHandle = std::unique_ptr<cairo_scaled_font_t, Releaser<cairo_scaled_font_destroy>>;
using FontOptionsHandle =
    std::unique_ptr<cairo_font_options_t, Releaser<cairo_font_options_destroy>>;
using PatternHandle = std::unique_ptr<FcPattern, Releaser<FcPatternDestroy>>;

void releaseFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

enum class ObjectKind : std::uint8_t { Pen, Brush, Font };

struct Font {
    FontRequest request{};
    std::string faceName;
    bool resolved = false;
    FontFaceHandle face;
    // At the canvas's scale, made again when that changes.
    ScaledFontHandle scaled;
    std::int32_t scaledAt = 0;
    FontMetrics metrics;
};

struct DrawingObject {
    ObjectKind kind;
    std::int32_t width = 1;
    Colour colour = 0;
    std::size_t font = 0; // index into the fonts
};

// A text laid out from the origin on its baseline, in one font at the canvas's scale.
struct Layout {
    std::size_t font = 0;
    std::string bytes;
    std::vector<cairo_glyph_t> glyphs;
    std::int32_t advance = 0;
    PixelRect ink; // around the origin, a pixel wider than the glyphs' own extents
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
    std::vector<Font> fonts;
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

    std::string utf8;
    std::vector<Layout> layouts;
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
        if (newScale != scale) {
            shapes.clear();
            layouts.clear();
            for (Font& f : fonts) f.scaledAt = 0;
        }
        scale = std::max(newScale, 1);
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

    // In the frame's pixels: each becomes a scale by scale block.
    void fillScaled(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1,
                    std::uint32_t pixel) {
        for (std::int32_t y = y0 * scale; y < y1 * scale; ++y)
            fill(x0 * scale, x1 * scale, y, pixel);
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

    // The pixels a level or upright line covers, at scale 1; empty for a slanted one.
    static PixelRect straightLine(const Op& op) {
        const double half = std::max(op.penWidth, 1) / 2.0;
        // Across the line the pen covers [p - half, p + half); the end point is left out.
        const auto across = [half](std::int32_t p, std::int32_t& from, std::int32_t& to) {
            from = static_cast<std::int32_t>(std::ceil(p - half));
            to = static_cast<std::int32_t>(std::ceil(p + half));
        };
        // A wide pen has round caps that reach half its width past both ends, end point
        // included.
        const auto widenEnds = [&op](std::int32_t& low, std::int32_t& high) {
            if (op.penWidth <= 1) return;
            const bool upright = op.x0 == op.x1;
            const std::int32_t lowEnd = std::min(upright ? op.y0 : op.x0, upright ? op.y1 : op.x1);
            const std::int32_t highEnd = std::max(upright ? op.y0 : op.x0, upright ? op.y1 : op.x1);
            low = lowEnd - op.penWidth / 2;
            high = highEnd + (op.penWidth + 1) / 2;
        };
        PixelRect r;
        if (op.y1 == op.y0) {
            across(op.y1, r.top, r.bottom);
            r.left = op.x1 > op.x0 ? op.x0 : op.x1 + 1;
            r.right = op.x1 > op.x0 ? op.x1 : op.x0 + 1;
            widenEnds(r.left, r.right);
        } else if (op.x1 == op.x0) {
            across(op.x1, r.left, r.right);
            r.top = op.y1 > op.y0 ? op.y0 : op.y1 + 1;
            r.bottom = op.y1 > op.y0 ? op.y1 : op.y0 + 1;
            widenEnds(r.top, r.bottom);
        }
        return r;
    }

    PixelRect scaled(const PixelRect& r) const {
        return {r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
    }

    void renderLine(const Op& op) {
        const PixelRect straight = straightLine(op);
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
        const Font* f = resolvedFont(op.font);
        const Layout* laid = f != nullptr ? layout(op.font, text) : nullptr;
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

    // The text laid out in a font at the canvas's scale, from a small cache: the texts of a
    // frame mostly stay from one frame to the next. Valid until the next call.
    const Layout* layout(std::size_t index, std::string_view text) {
        for (const Layout& l : layouts)
            if (l.font == index && l.bytes == text) return &l;
        Font* f = resolvedFont(index);
        if (f == nullptr) return nullptr;
        windows1252ToUtf8(text.data(), text.size(), utf8);
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        if (cairo_scaled_font_text_to_glyphs(f->scaled.get(), 0, 0, utf8.data(),
                                             static_cast<int>(utf8.size()), &glyphs, &count,
                                             nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        Layout made;
        made.font = index;
        made.bytes = text;
        made.glyphs.assign(glyphs, glyphs + count);
        cairo_glyph_free(glyphs);
        cairo_text_extents_t extents;
        cairo_scaled_font_glyph_extents(f->scaled.get(), made.glyphs.data(), count, &extents);
        made.advance = static_cast<std::int32_t>(std::lround(extents.x_advance));
        if (extents.width > 0 && extents.height > 0) {
            const auto floorOf = [](double v) { return static_cast<std::int32_t>(std::floor(v)); };
            const auto ceilOf = [](double v) { return static_cast<std::int32_t>(std::ceil(v)); };
            made.ink = {floorOf(extents.x_bearing) - 1, floorOf(extents.y_bearing) - 1,
                        ceilOf(extents.x_bearing + extents.width) + 1,
                        ceilOf(extents.y_bearing + extents.height) + 1};
        }
        if (layouts.size() >= layoutCacheLimit) layouts.clear();
        layouts.push_back(std::move(made));
        return &layouts.back();
    }

    // Finds the face for a font on its first use (the fontconfig look-up is not free) and sizes
    // it for the current scale.
    Font* resolvedFont(std::size_t index) {
        if (index >= fonts.size()) return nullptr;
        Font& f = fonts[index];
        if (!f.resolved) {
            f.resolved = true;
            f.face = openFace(f);
        }
        if (!f.face) return nullptr;
        if (f.scaledAt != scale) {
            f.scaled = scaleFont(f, scale);
            f.scaledAt = scale;
        }
        return f.scaled ? &f : nullptr;
    }

    static FontFaceHandle openFace(Font& f) {
        FT_Library library = freeTypeLibrary();
        if (library == nullptr) return nullptr;
        const PatternHandle pattern(FcPatternCreate());
        if (!pattern) return nullptr;
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(f.faceName.c_str()));
        const int weight = f.request.weight > 0 ? f.request.weight : 400;
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
        FcPatternAddInteger(pattern.get(), FC_SLANT,
                            f.request.italic != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        const PatternHandle match(FcFontMatch(nullptr, pattern.get(), &result));
        if (!match) return nullptr;
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int faceIndex = 0;
        FT_Face face = nullptr;
        if (FcPatternGetString(match.get(), FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match.get(), FC_INDEX, 0, &faceIndex);
            if (FcPatternGetString(match.get(), FC_FAMILY, 0, &family) == FcResultMatch)
                f.metrics.family = reinterpret_cast<const char*>(family);
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), faceIndex, &face) != 0)
                face = nullptr;
        }
        if (face == nullptr) return nullptr;
        if (f.metrics.family.empty() && face->family_name != nullptr)
            f.metrics.family = face->family_name;

        // GDI's sizes: a positive height is the cell (Windows ascent plus descent), a negative
        // one the em; the width is the average character width.
        double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
        double ascentUnits = face->ascender;
        double descentUnits = -face->descender;
        double averageUnits = unitsPerEm / 2;
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            os2 != nullptr && os2->version != 0xFFFF) {
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                ascentUnits = os2->usWinAscent;
                descentUnits = os2->usWinDescent;
            }
            if (os2->xAvgCharWidth > 0) averageUnits = os2->xAvgCharWidth;
        }
        const double cellUnits = std::max(ascentUnits + descentUnits, 1.0);
        const std::int32_t height = f.request.height;
        double cellScale = 16.0 / cellUnits;
        if (height > 0) cellScale = height / cellUnits;
        if (height < 0) cellScale = -height / unitsPerEm;
        // GDI draws the glyphs at a whole number of pixels per em, and keeps the cell.
        const double em = std::max(std::round(cellScale * unitsPerEm), 1.0);
        const double yScale = em / unitsPerEm;
        const double xScale = f.request.width > 0 ? f.request.width / averageUnits : yScale;
        f.metrics.xScale = xScale;
        f.metrics.yScale = yScale;
        f.metrics.em = em;
        f.metrics.unitsPerEm = unitsPerEm;
        f.metrics.ascent = ascentUnits * cellScale;
        f.metrics.descent = descentUnits * cellScale;
        f.metrics.baseline = static_cast<std::int32_t>(std::lround(f.metrics.ascent));
        f.metrics.cellHeight =
            f.metrics.baseline + static_cast<std::int32_t>(std::lround(f.metrics.descent));

        FontFaceHandle cairoFace(cairo_ft_font_face_create_for_ft_face(face, 0));
        // From here on the Cairo face owns the FreeType face.
        if (cairo_font_face_set_user_data(cairoFace.get(), &faceKey, face, releaseFace) !=
            CAIRO_STATUS_SUCCESS) {
            FT_Done_Face(face);
            return nullptr;
        }
        return cairoFace;
    }

    // N times the size: the em stays a whole number of pixels.
    static ScaledFontHandle scaleFont(const Font& f, std::int32_t scale) {
        const double unitsPerEm = f.metrics.unitsPerEm;
        cairo_matrix_t fontMatrix;
        cairo_matrix_init_scale(&fontMatrix, scale * unitsPerEm * f.metrics.xScale,
                                scale * unitsPerEm * f.metrics.yScale);
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        // Fixed, so that desktop settings never change a frame.
        const FontOptionsHandle options(cairo_font_options_create());
        cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_subpixel_order(options.get(), CAIRO_SUBPIXEL_ORDER_DEFAULT);
        cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
        ScaledFontHandle scaled(
            cairo_scaled_font_create(f.face.get(), &fontMatrix, &identity, options.get()));
        if (cairo_scaled_font_status(scaled.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
        return scaled;
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
        if (s.resolvedFont(i) == nullptr) return false;
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

bool CairoCanvas::fontMetrics(DrawingHandle font, FontMetrics& metrics) {
    State& s = *state_;
    if (font == 0 || font > s.objects.size()) return false;
    const DrawingObject& object = s.objects[font - 1];
    if (object.kind != ObjectKind::Font) return false;
    const Font* f = s.resolvedFont(object.font);
    if (f == nullptr) return false;
    metrics = f->metrics;
    return true;
}

std::int32_t CairoCanvas::textWidth(const char* text, std::int32_t length) {
    State& s = *state_;
    const Layout* laid =
        s.layout(s.font, std::string_view(text, static_cast<std::size_t>(std::max(length, 0))));
    return laid != nullptr ? laid->advance : 0;
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
    Font f;
    f.request = request;
    f.faceName = request.faceName != nullptr ? request.faceName : "";
    f.request.faceName = nullptr; // the copied name above is the one kept
    s.fonts.push_back(std::move(f));
    s.objects.push_back(DrawingObject{ObjectKind::Font, 0, 0, s.fonts.size() - 1});
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
    op.box = s.scaled(State::straightLine(op));
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
    const Font* f = s.resolvedFont(s.font);
    const Layout* laid =
        f != nullptr ? s.layout(s.font, std::string_view(text, static_cast<std::size_t>(length)))
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
