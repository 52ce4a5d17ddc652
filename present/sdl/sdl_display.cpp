// The frame in the window's own surface: one copy to the X server through shared memory, and
// only of what changed.
#include "present/sdl/sdl_display.h"

#include "draw/frame_fit.h"

#include <algorithm>
#include <cstring>

namespace plonta {

namespace {

std::unique_ptr<CairoCanvas> makeCairoCanvas(int width, int height) {
    auto canvas = std::make_unique<CairoCanvas>(width, height);
    if (!canvas->ok()) return nullptr;
    return canvas;
}

const SdlDisplayCalls realCalls{SDL_GetWindowSurface, SDL_UpdateWindowSurfaceRects,
                                SDL_ConvertPixels, makeCairoCanvas};

using Clock = std::chrono::steady_clock;

} // namespace

const SdlDisplayCalls& sdlDisplayCalls() {
    return realCalls;
}

SdlDisplay::SdlDisplay(const SdlDisplayCalls& calls) : calls_(calls) {}

SdlDisplay::~SdlDisplay() {
    release();
}

bool SdlDisplay::fail(const char* step) {
    failure_ = std::string(step) + " failed: " + SDL_GetError();
    release();
    return false;
}

bool SdlDisplay::create() {
    failure_.clear();
    // The software framebuffer: shared memory with the X server, no OpenGL, no vsync.
    surface = calls_.getWindowSurface(window);
    if (surface == nullptr) return fail("SDL_GetWindowSurface");
    // Nothing to draw on yet: no failure, and nothing of ours to release.
    if (surface->w <= 0 || surface->h <= 0) {
        surface = nullptr;
        return false;
    }
    backBuffer = calls_.createCanvas(frameWidth, frameHeight);
    if (!backBuffer || !placeFrame()) return fail("CairoCanvas");
    return true;
}

bool SdlDisplay::placeFrame() {
    const FitSize area{surface->w, surface->h};
    // The window is made a whole scale large, where this finds that scale again; fullscreen
    // fills the screen's height or width to the pixel.
    scale = largestScaleThatFits(frameSize, area);
    const FitSize size = scaledSize(frameSize, scale);
    const FitPoint at = centred(area, size);
    frameRect = SDL_Rect{at.x, at.y, size.width, size.height};
    // Black around the frame; black has every bit clear in the RGB formats of a window.
    std::memset(surface->pixels, 0,
                static_cast<std::size_t>(surface->pitch) * static_cast<std::size_t>(surface->h));
    // RGB888 is the canvas's own layout, so Cairo can draw straight into the window's pixels.
    converting =
        surface->format->format != SDL_PIXELFORMAT_RGB888 || frameRect.x < 0 || frameRect.y < 0;
    unsigned char* framePixels = nullptr;
    if (!converting)
        framePixels = static_cast<unsigned char*>(surface->pixels) +
                      static_cast<std::ptrdiff_t>(frameRect.y) * surface->pitch + frameRect.x * 4;
    sendAll = true;
    return backBuffer->setImage(scale, framePixels, surface->pitch);
}

void SdlDisplay::convert(const PixelRect& part) {
    // The part in the window, cut to it: a window smaller than the frame shows its middle.
    const int left = std::max(part.left + frameRect.x, 0);
    const int top = std::max(part.top + frameRect.y, 0);
    const int right = std::min(part.right + frameRect.x, surface->w);
    const int bottom = std::min(part.bottom + frameRect.y, surface->h);
    if (right <= left || bottom <= top) return;
    const unsigned char* source =
        backBuffer->data() + static_cast<std::ptrdiff_t>(top - frameRect.y) * backBuffer->stride() +
        (left - frameRect.x) * 4;
    unsigned char* target = static_cast<unsigned char*>(surface->pixels) +
                            static_cast<std::ptrdiff_t>(top) * surface->pitch +
                            left * surface->format->BytesPerPixel;
    if (calls_.convertPixels(right - left, bottom - top, SDL_PIXELFORMAT_RGB888, source,
                             backBuffer->stride(), surface->format->format, target,
                             surface->pitch) != 0)
        sendAll = true;
}

void SdlDisplay::paintFrame(const FrameDrawer& drawer, const Game& game) {
    const auto started = Clock::now();
    backBuffer->beginFrame();
    drawer.drawFrame(*backBuffer, game);
    const std::vector<PixelRect>& changed = backBuffer->endFrame();
    const auto composed = Clock::now();

    const bool all = sendAll;
    sendAll = false;
    sent_.clear();
    if (all) {
        if (converting) convert(PixelRect{0, 0, frameRect.w, frameRect.h});
        sent_.push_back(SDL_Rect{0, 0, surface->w, surface->h});
    } else {
        for (const PixelRect& part : changed) {
            if (converting) convert(part);
            const int left = std::max(part.left + frameRect.x, 0);
            const int top = std::max(part.top + frameRect.y, 0);
            const int right = std::min(part.right + frameRect.x, surface->w);
            const int bottom = std::min(part.bottom + frameRect.y, surface->h);
            if (left < right && top < bottom)
                sent_.push_back(SDL_Rect{left, top, right - left, bottom - top});
        }
    }
    // What did not arrive goes again, whole, with the next paint.
    if (!sent_.empty() &&
        calls_.updateWindowSurfaceRects(window, sent_.data(), static_cast<int>(sent_.size())) != 0)
        sendAll = true;
    lastCompose = composed - started;
    lastPresent = Clock::now() - composed;
}

void SdlDisplay::release() {
    backBuffer.reset();
    surface = nullptr;
}

bool SdlDisplay::resize() {
    if (!backBuffer) return false;
    surface = calls_.getWindowSurface(window);
    if (surface == nullptr) return fail("SDL_GetWindowSurface");
    if (!placeFrame()) return fail("CairoCanvas");
    failure_.clear();
    return true;
}

} // namespace plonta
