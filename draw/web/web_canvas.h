// The browser's canvas: GDI's shapes rasterised into an RGBA image in wasm memory, and texts
// kept as runs for the page's 2D context to draw on top, in the font shipped beside the page.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "draw/retained_canvas.h"

namespace plonta {

// A text for the page to draw: the anchor in image pixels, the font sized as GDI sizes it.
struct WebText {
    std::string utf8;
    std::int32_t x = 0; // where alignment puts it: left, centre or right end
    std::int32_t y = 0; // top of the cell
    std::uint32_t align = alignLeft | alignTop;
    Colour colour = 0;
    bool opaque = false;
    double em = 0;             // pixels per em down, at the scale
    double stretch = 1;        // across per down
    std::int32_t baseline = 0; // below the top, at the scale
    std::int32_t cellHeight = 0;
    // Every pixel the text can touch, in image pixels, cut to the image.
    PixelRect box;
};

class WebCanvas final : public RetainedCanvas {
  public:
    // A frame of width by height pixels drawn scale times as large; coordinates stay those of
    // scale 1.
    WebCanvas(int width, int height, FrameScale scale = 1);
    ~WebCanvas() override;

    // From now on draws at this scale into a fresh black image; the objects stay, and the next
    // retained frame is drawn whole.
    void setScale(FrameScale scale);
    // RGBA bytes, width() * 4 per row, every alpha 255; texts are not in it.
    const std::uint8_t* pixels() const;
    // The texts of the frame ended last, in drawing order; one drawn outside a frame joins them.
    const std::vector<WebText>& texts() const;

  private:
    std::size_t addFont(const FontRequest& request) override;
    bool placeText(Op& op, std::string_view text) override;
    void fillRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t pixel) override;
    void renderSlantedLine(const Op& op) override;
    void renderText(const Op& op, std::string_view text) override;
    void frameDrawn(const FrameRecord& frame) override;
    WebText textOf(const Op& op, std::string_view bytes) const;

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace plonta
