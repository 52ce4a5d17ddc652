// The browser's canvas: GDI's shapes rasterised into an RGBA image in wasm memory, and texts
// kept as runs for the page's 2D context to draw on top, in the font shipped beside the page.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "draw/canvas.h"
#include "draw/pixel_rect.h"

namespace plonta {

// The family the page loads its font under before the first frame.
inline constexpr char webFontFamily[] = "Comic Neue";

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

class WebCanvas final : public Canvas {
  public:
    // A frame of width by height pixels drawn scale times as large; coordinates stay those of
    // scale 1.
    WebCanvas(int width, int height, int scale = 1);
    ~WebCanvas() override;
    WebCanvas(const WebCanvas&) = delete;
    WebCanvas& operator=(const WebCanvas&) = delete;

    // From now on draws at this scale into a fresh black image; the objects stay, and the next
    // retained frame is drawn whole.
    void setScale(int scale);
    int scale() const;
    // The image's size in pixels: the frame's times the scale.
    int width() const;
    int height() const;
    // RGBA bytes, width() * 4 per row, every alpha 255; texts are not in it.
    const std::uint8_t* pixels() const;

    // Retained frames, as the Cairo canvas keeps them: only where the calls between the two
    // differ from the previous frame's is the image cleared and drawn again.
    void beginFrame();
    // The changed parts of the image, disjoint; the whole image after setScale or drawing
    // outside a frame.
    const std::vector<PixelRect>& endFrame();
    // The texts of the frame ended last, in drawing order.
    const std::vector<WebText>& texts() const;

    DrawingHandle createPen(std::int32_t width, Colour colour) override;
    DrawingHandle createSolidBrush(Colour colour) override;
    DrawingHandle createFont(const FontRequest& request) override;
    void selectObject(DrawingHandle object) override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) override;
    void roundRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t ellipseWidth, std::int32_t ellipseHeight) override;
    void setBkMode(BackgroundMode mode) override;
    void setTextColor(Colour colour) override;
    void setTextAlign(std::uint32_t align) override;
    // Kept for the page; outside a frame it joins the texts of the frame ended last.
    void textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace plonta
