// Fonts for the Cairo canvas: fontconfig finds the face, FreeType reads GDI's metrics from it.
#include "draw/cairo/cairo_fonts.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>

#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "draw/windows1252.h"

namespace plonta {

namespace {

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

using FontOptionsHandle =
    std::unique_ptr<cairo_font_options_t, Releaser<cairo_font_options_destroy>>;
using PatternHandle = std::unique_ptr<FcPattern, Releaser<FcPatternDestroy>>;

void releaseFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

FontFaceHandle openFace(Font& f) {
    FT_Library library = freeTypeLibrary();
    if (library == nullptr) return nullptr;
    const PatternHandle pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    // Then Comic Neue, drawn after Comic Sans MS, and a plain face: fontconfig's own way on
    // from Comic Sans MS is the cursive alias, a calligraphic italic on Debian.
    for (const char* family : {f.faceName.c_str(), "Comic Neue", "sans-serif"})
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
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

// The scale's times the size, the em rounded to whole pixels down, as GDI sizes a font.
ScaledFontHandle scaleFont(const Font& f, FrameScale scale) {
    const double unitsPerEm = f.metrics.unitsPerEm;
    const double em = unitsPerEm * f.metrics.yScale;
    const double times = em > 0 ? scale.em(em) / em : scale.factor();
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, times * unitsPerEm * f.metrics.xScale,
                            times * unitsPerEm * f.metrics.yScale);
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

} // namespace

std::size_t CairoFonts::add(const FontRequest& request) {
    Font f;
    f.request = request;
    f.faceName = request.faceName != nullptr ? request.faceName : "";
    f.request.faceName = nullptr; // the copied name above is the one kept
    fonts_.push_back(std::move(f));
    return fonts_.size() - 1;
}

void CairoFonts::setScale(FrameScale scale) {
    if (scale == scale_) return;
    scale_ = scale;
    layouts_.clear();
    for (Font& f : fonts_) f.scaledAt = 0;
}

// The fontconfig look-up is not free, so a face is found on its font's first use.
const Font* CairoFonts::resolved(std::size_t index) {
    if (index >= fonts_.size()) return nullptr;
    Font& f = fonts_[index];
    if (!f.resolved) {
        f.resolved = true;
        f.face = openFace(f);
    }
    if (!f.face) return nullptr;
    if (f.scaledAt != scale_.thousandths()) {
        f.scaled = scaleFont(f, scale_);
        f.scaledAt = scale_.thousandths();
    }
    return f.scaled ? &f : nullptr;
}

const Layout* CairoFonts::layout(std::size_t index, std::string_view text) {
    for (const Layout& l : layouts_)
        if (l.font == index && l.bytes == text) return &l;
    const Font* f = resolved(index);
    if (f == nullptr) return nullptr;
    windows1252ToUtf8(text.data(), text.size(), utf8_);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(f->scaled.get(), 0, 0, utf8_.data(),
                                         static_cast<int>(utf8_.size()), &glyphs, &count, nullptr,
                                         nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
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
    if (layouts_.size() >= layoutCacheLimit) layouts_.clear();
    layouts_.push_back(std::move(made));
    return &layouts_.back();
}

} // namespace plonta
