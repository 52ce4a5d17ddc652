// The Cairo canvas: GDI-looking drawing onto a Cairo RGB24 image surface, at a whole scale.
#pragma once

#include <memory>
#include <vector>

#include "draw/canvas.h"
#include "draw/pixel_rect.h"

namespace plonta {

class CairoCanvas final : public Canvas {
  public:
    // A frame of width by height pixels drawn scale times as large into an image of its own:
    // a pixel of a line or a straight edge becomes a scale by scale block, while curves and
    // texts are drawn at the finer resolution. Coordinates stay those of scale 1.
    CairoCanvas(int width, int height, int scale = 1);
    ~CairoCanvas() override;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    // From now on draws at scale into pixels owned by the caller (RGB888 words, rows stride
    // bytes apart, room for width x scale by height x scale), or into an image of its own when
    // pixels is null. The drawing objects stay; the next retained frame is drawn whole. False,
    // drawing nothing, when the image cannot be made.
    bool setImage(int scale, unsigned char* pixels = nullptr, int stride = 0);

    // False when the surface or its font could not be made.
    bool ok() const;
    // Every pixel black.
    void clear();
    // The pixels as SDL_PIXELFORMAT_RGB888 (0x00RRGGBB words), rows stride() bytes apart.
    const unsigned char* data();
    int stride() const;
    // The image's size in pixels: the frame's times the scale.
    int width() const;
    int height() const;
    int scale() const;
    // The image as a PNG file; false when it cannot be written.
    bool writePng(const char* path);

    // Retained frames: the calls between beginFrame and endFrame are kept and compared with
    // the previous frame's, and only where the two differ is the image cleared and drawn
    // again; the pixels come out as if the whole frame had been drawn on a cleared image.
    void beginFrame();
    // The parts of the image that changed, disjoint; the whole image for the first frame, after
    // setImage, or after drawing outside a frame.
    const std::vector<PixelRect>& endFrame();

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
    void textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace plonta
