// The SDL2 Display: a client-sized back buffer drawn by the frame, copied whole to the window.
#pragma once

#include <SDL.h>
#include <chrono>
#include <memory>

#include "draw/cairo_canvas.h"
#include "draw/frame.h"
#include "game/game.h"

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

class Display {
  public:
    explicit Display(const SdlDisplayCalls& calls = sdlDisplayCalls());
    // Does no work of its own: only releaseSurfaces gives the SDL objects back.
    virtual ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Once, with the window shown. All or nothing: a failed step releases what was made,
    // leaves lastResult naming the step and returns false.
    bool createSurfaces(SDL_Window* window);
    // The black fill and the whole-frame copy rectangle; once, whatever createSurfaces said.
    void prepareFill();
    // Clears the back buffer, draws the whole frame into it and shows it with one copy.
    // Returns when the frame has been handed to the X server.
    void paintFrame(FrameDrawer& drawer, const Game& game);
    // Newest first; safe after a partial set-up and a second time.
    void releaseSurfaces();
    // The renderer lost its texture (or itself): make them again, keeping the back buffer and
    // with it the drawing objects made on it. False, with everything released, when it fails.
    bool restoreSurfaces(bool deviceLost);

    // The canvas on the back buffer, null without one.
    Canvas* canvas() const { return backBuffer.get(); }

    Colour fillColour = 0;
    SDL_Rect frameRect{};
    std::unique_ptr<CairoCanvas> backBuffer;
    SDL_Texture* texture = nullptr;
    SDL_Rect clientRect{};
    SDL_Renderer* renderer = nullptr;
    SDL_Window* window = nullptr;
    // Null after a successful set-up, else the call that failed.
    const char* lastResult = nullptr;
    // How long the latest paint took to draw, and to copy to the screen.
    std::chrono::steady_clock::duration lastCompose{};
    std::chrono::steady_clock::duration lastPresent{};

  private:
    bool createTexture();
    bool fail(const char* step);

    const SdlDisplayCalls& calls_;
};

} // namespace plonta
