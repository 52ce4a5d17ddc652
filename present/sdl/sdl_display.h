// The SDL2 Display: a client-sized back buffer drawn by the frame, copied whole to the window.
#pragma once

#include <SDL.h>
#include <memory>

#include "draw/cairo/cairo_canvas.h"
#include "present/display.h"

namespace plonta {

// Every SDL call the display makes, so that a test can fail any step of the set-up.
struct SdlDisplayCalls {
    void (*getWindowSize)(SDL_Window* window, int* width, int* height);
    SDL_Renderer* (*createRenderer)(SDL_Window* window, int index, Uint32 flags);
    void (*destroyRenderer)(SDL_Renderer* renderer);
    SDL_Texture* (*createTexture)(SDL_Renderer* renderer, Uint32 format, int access, int width,
                                  int height);
    void (*destroyTexture)(SDL_Texture* texture);
    // Null when the image or its font could not be made.
    std::unique_ptr<CairoCanvas> (*createCanvas)(int width, int height);
    int (*updateTexture)(SDL_Texture* texture, const SDL_Rect* rect, const void* pixels, int pitch);
    int (*renderCopy)(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
                      const SDL_Rect* destination);
    void (*renderPresent)(SDL_Renderer* renderer);
};

// The real SDL functions and the Cairo canvas.
const SdlDisplayCalls& sdlDisplayCalls();

class SdlDisplay final : public Display {
  public:
    explicit SdlDisplay(const SdlDisplayCalls& calls = sdlDisplayCalls());
    // Gives back whatever is still held, in releaseSurfaces' order.
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    // With the window shown. All or nothing: a failed step releases what was made, leaves
    // lastResult naming the step and returns false. A window without an area makes nothing
    // and returns false with lastResult null.
    bool createSurfaces(SDL_Window* window);
    // The black fill and the whole-frame copy rectangle; once, whatever createSurfaces said.
    void prepareFill();
    // Clears the back buffer, draws the whole frame into it and shows it with one copy.
    // Returns when the frame has been handed to the X server.
    void paintFrame(FrameDrawer& drawer, const Game& game) override;
    // Newest first; safe after a partial set-up and a second time.
    void releaseSurfaces();
    // The renderer lost its texture (or itself): make them again, keeping the back buffer and
    // with it the drawing objects made on it. False, with everything released, when it fails.
    bool restoreSurfaces(bool deviceLost);

    // The canvas on the back buffer, null without one.
    Canvas* canvas() override { return backBuffer.get(); }

    using RendererHandle = std::unique_ptr<SDL_Renderer, void (*)(SDL_Renderer*)>;
    using TextureHandle = std::unique_ptr<SDL_Texture, void (*)(SDL_Texture*)>;

    Colour fillColour = 0;
    SDL_Rect frameRect{};
    std::unique_ptr<CairoCanvas> backBuffer;
    TextureHandle texture;
    SDL_Rect clientRect{};
    RendererHandle renderer;
    SDL_Window* window = nullptr;
    // Null after a successful set-up, else the call that failed.
    const char* lastResult = nullptr;

  private:
    bool createTexture();
    bool fail(const char* step);

    const SdlDisplayCalls& calls_;
};

} // namespace plonta
