// The Cairo canvas's fonts: GDI's font requests matched through fontconfig, opened with
// FreeType, sized the way GDI sizes them, and texts laid out in them at the canvas's scale.
#pragma once

#include <cairo.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "draw/canvas.h"
#include "draw/frame_scale.h"
#include "draw/pixel_rect.h"

namespace plonta {

// Cairo's and fontconfig's objects, each given back by its own call when its handle goes.
template <auto release> struct Releaser {
    template <typename Object> void operator()(Object* object) const { release(object); }
};
using FontFaceHandle = std::unique_ptr<cairo_font_face_t, Releaser<cairo_font_face_destroy>>;
using ScaledFontHandle = std::unique_ptr<cairo_scaled_font_t, Releaser<cairo_scaled_font_destroy>>;

// What a font request resolved to, in pixels at the requested size (at scale 1).
struct FontMetrics {
    std::string family;
    double ascent = 0;  // the face's Windows ascent, scaled
    double descent = 0; // the face's Windows descent, scaled
    double xScale = 0;  // pixels per font unit across
    double yScale = 0;  // pixels per font unit down
    double em = 0;      // pixels per em down, a whole number as GDI picks it for the cell
    double unitsPerEm = 0;
    std::int32_t cellHeight = 0;
    std::int32_t baseline = 0; // below the top of a top-aligned text
};

struct Font {
    FontRequest request{};
    std::string faceName;
    bool resolved = false;
    FontFaceHandle face;
    // At the fonts' scale, made again when that changes.
    ScaledFontHandle scaled;
    std::int32_t scaledAt = 0; // in thousandths
    FontMetrics metrics;
};

// A text laid out from the origin on its baseline, in one font at the fonts' scale.
struct Layout {
    std::size_t font = 0;
    std::string bytes;
    std::vector<cairo_glyph_t> glyphs;
    std::int32_t advance = 0;
    PixelRect ink; // around the origin, a pixel wider than the glyphs' own extents
};

class CairoFonts {
  public:
    // Keeps a request (its face name copied); its face is looked up on first use. Its index.
    std::size_t add(const FontRequest& request);
    std::size_t size() const { return fonts_.size(); }
    // From now on fonts are sized and texts laid out scale times as large.
    void setScale(FrameScale scale);
    // The font with its face found and sized for the scale; null when there is no such font or
    // no face for it.
    const Font* resolved(std::size_t index);
    // The text laid out in a font, from a small cache: the texts of a frame mostly stay from
    // one frame to the next. Null without the font; valid until the next call.
    const Layout* layout(std::size_t index, std::string_view text);

  private:
    FrameScale scale_;
    std::vector<Font> fonts_;
    std::vector<Layout> layouts_;
    std::string utf8_;
};

} // namespace plonta
