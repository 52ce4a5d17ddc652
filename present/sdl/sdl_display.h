// The SDL2 Display: the frame drawn by Cairo straight into the window's own surface, at the
// largest scale that fits it, and only what changed sent to the window system.
#pragma once

#include <SDL.h>
#include <memory>
#include <string>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/pixel_rect.h"
#include "present/display.h"

namespace plonta {

// Every SDL call the display makes, so that a test can fail any step.
struct SdlDisplayCalls {
    SDL_Surface* (*getWindowSurface)(SDL_Window* window);
    int (*updateWindowSurfaceRects)(SDL_Window* window, const SDL_Rect* rects, int count);
    int (*convertPixels)(int width, int height, Uint32 sourceFormat, const void* source,
                         int sourcePitch, Uint32 targetFormat, void* target, int targetPitch);
    // The frame's canvas at scale 1 with an image of its own; null when the image or its font
    // could not be made.
    std::unique_ptr<CairoCanvas> (*createCanvas)(int width, int height);
};

// The real SDL functions and the Cairo canvas.
const SdlDisplayCalls& sdlDisplayCalls();

class SdlDisplay final : public Display {
  public:
    explicit SdlDisplay(const SdlDisplayCalls& calls = sdlDisplayCalls());
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    // The window the display shows its frames in; before create.
    void attach(SDL_Window* target) { window = target; }

    // With the window shown: its own surface, and a canvas drawing into it.
    bool create() override;
    // The window's surface is made anew at its new size, and the frame placed in it again.
    bool resize() override;
    void release() override;
    std::string failure() const override { return failure_; }
    // The next paint sends the whole window, not only what changed.
    void showAll() override { sendAll = true; }
    // Draws the frame, again only where it changed, and sends that to the window system.
    // Returns when the X server has it.
    void paintFrame(const FrameDrawer& drawer, const Game& game) override;

    // The canvas, null without one.
    Canvas* canvas() override { return backBuffer.get(); }

    // Where the frame lies in the window, at which scale.
    SDL_Rect frameRect{};
    FrameScale scale;
    std::unique_ptr<CairoCanvas> backBuffer;
    // The window's own surface, SDL's to free; null without one.
    SDL_Surface* surface = nullptr;
    // The canvas draws into an image of its own, converted into the surface: the surface's
    // format is not the canvas's, or the frame does not fit it at scale 1.
    bool converting = false;
    // The next paint sends the whole window, not only what changed.
    bool sendAll = true;
    SDL_Window* window = nullptr;

  private:
    bool placeFrame();
    void convert(const PixelRect& part);
    bool fail(const char* step);

    const SdlDisplayCalls& calls_;
    std::vector<SDL_Rect> sent_;
    std::string failure_;
};

} // namespace plonta
