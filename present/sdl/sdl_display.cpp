// Back buffer, streaming texture and the paint cycle on SDL's software renderer.
#include "present/sdl/sdl_display.h"

namespace plonta {

namespace {

std::unique_ptr<CairoCanvas> makeCairoCanvas(int width, int height) {
    auto canvas = std::make_unique<CairoCanvas>(width, height);
    if (!canvas->ok()) return nullptr;
    return canvas;
}

const SdlDisplayCalls realCalls{
    SDL_GetWindowSize, SDL_CreateRenderer, SDL_DestroyRenderer,
    SDL_CreateTexture, SDL_DestroyTexture, makeCairoCanvas,
    SDL_UpdateTexture, SDL_RenderCopy,     SDL_RenderPresent,
};

} // namespace

const SdlDisplayCalls& sdlDisplayCalls() {
    return realCalls;
}

SdlDisplay::SdlDisplay(const SdlDisplayCalls& calls)
    : texture(nullptr, calls.destroyTexture), renderer(nullptr, calls.destroyRenderer),
      calls_(calls) {}

SdlDisplay::~SdlDisplay() {
    releaseSurfaces();
}

bool SdlDisplay::fail(const char* step) {
    lastResult = step;
    releaseSurfaces();
    return false;
}

bool SdlDisplay::createTexture() {
    // RGB888 is the canvas's own layout, so the copy converts nothing.
    texture.reset(calls_.createTexture(renderer.get(), SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, clientRect.w, clientRect.h));
    return texture != nullptr;
}

bool SdlDisplay::createSurfaces(SDL_Window* target) {
    window = target;
    lastResult = nullptr;
    int width = 0;
    int height = 0;
    calls_.getWindowSize(window, &width, &height);
    clientRect = SDL_Rect{0, 0, width, height};
    // Nothing to draw on yet: no failure, and nothing to release.
    if (width <= 0 || height <= 0) return false;

    // Software rendering straight into the window's shared-memory image: no OpenGL, no vsync.
    renderer.reset(calls_.createRenderer(window, -1, SDL_RENDERER_SOFTWARE));
    if (!renderer) return fail("SDL_CreateRenderer");
    if (!createTexture()) return fail("SDL_CreateTexture");
    backBuffer = calls_.createCanvas(width, height);
    if (!backBuffer) return fail("CairoCanvas");
    return true;
}

void SdlDisplay::prepareFill() {
    fillColour = rgb(0, 0, 0);
    frameRect = SDL_Rect{0, 0, clientRect.w, clientRect.h};
}

void SdlDisplay::paintFrame(FrameDrawer& drawer, const Game& game) {
    const auto started = std::chrono::steady_clock::now();
    backBuffer->clear();
    drawer.drawFrame(*backBuffer, game);
    const unsigned char* pixels = backBuffer->data();
    const auto composed = std::chrono::steady_clock::now();
    calls_.updateTexture(texture.get(), &frameRect, pixels, backBuffer->stride());
    calls_.renderCopy(renderer.get(), texture.get(), &frameRect, &frameRect);
    calls_.renderPresent(renderer.get());
    lastCompose = composed - started;
    lastPresent = std::chrono::steady_clock::now() - composed;
}

void SdlDisplay::releaseSurfaces() {
    backBuffer.reset();
    texture.reset();
    renderer.reset();
}

bool SdlDisplay::restoreSurfaces(bool deviceLost) {
    if (!renderer || !backBuffer) return false;
    texture.reset();
    if (deviceLost) {
        renderer.reset();
        renderer.reset(calls_.createRenderer(window, -1, SDL_RENDERER_SOFTWARE));
        if (!renderer) return fail("SDL_CreateRenderer");
    }
    if (!createTexture()) return fail("SDL_CreateTexture");
    lastResult = nullptr;
    return true;
}

} // namespace plonta
