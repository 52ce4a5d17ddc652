// The Cairo canvas: GDI-looking drawing onto a Cairo RGB24 image surface, at any scale.
#pragma once

#include <memory>
#include <string_view>

#include "draw/retained_canvas.h"

namespace plonta {

class CairoCanvas final : public RetainedCanvas {
  public:
    // A frame of width by height pixels drawn scale times as large into an image of its own:
    // a pixel of a line or a straight edge becomes a block of whole image pixels, while curves
    // and texts are drawn at the finer resolution. Coordinates stay those of scale 1.
    CairoCanvas(int width, int height, FrameScale scale = 1);
    ~CairoCanvas() override;

    // From now on draws at scale into pixels owned by the caller (RGB888 words, rows stride
    // bytes apart, room for the frame's size at the scale), or into an image of its own when
    // pixels is null. The drawing objects stay; the next retained frame is drawn whole. False,
    // drawing nothing, when the image cannot be made.
    bool setImage(FrameScale scale, unsigned char* pixels = nullptr, int stride = 0);

    // False when the surface or its font could not be made.
    bool ok() const;
    // Every pixel black.
    void clear();
    // The pixels as SDL_PIXELFORMAT_RGB888 (0x00RRGGBB words), rows stride() bytes apart.
    const unsigned char* data();
    int stride() const;
    // The image as a PNG file; false when it cannot be written.
    bool writePng(const char* path);

  private:
    std::size_t addFont(const FontRequest& request) override;
    bool placeText(Op& op, std::string_view text) override;
    void fillRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t pixel) override;
    void renderSlantedLine(const Op& op) override;
    void renderText(const Op& op, std::string_view text) override;
    void releaseImage();
    void beginClip();
    void endClip();

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace plonta
