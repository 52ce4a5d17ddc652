// The frame on the page: one putImageData of the changed part from wasm memory, then the
// page's 2D context draws the texts that reach it, in the font the page loaded.
#include "present/web/web_display.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <emscripten/emscripten.h>

#include <emscripten/em_js.h>

namespace plonta {

namespace {

using Clock = std::chrono::steady_clock;

// The page's canvas and its context, kept on the module; 0 when there is no canvas, -1 when it
// has no 2D context.
EM_JS(int, pageFrameOpen, (), {
    const canvas = document.getElementById('frame');
    if (!canvas) return 0;
    const context = canvas.getContext('2d', {alpha : false});
    if (!context) return -1;
    plontaPage.frame = {canvas : canvas, context : context};
    return 1;
});

// The viewport in device pixels.
EM_JS(void, pageViewport, (int* size), {
    const ratio = window.devicePixelRatio || 1;
    HEAP32[size >> 2] = Math.floor(window.innerWidth * ratio);
    HEAP32[(size >> 2) + 1] = Math.floor(window.innerHeight * ratio);
});

// The backing store in device pixels, shown at that size over the pixel ratio, so that one
// image pixel is one device pixel. Setting the size clears the canvas.
EM_JS(void, pageFrameSize, (int width, int height), {
    const frame = plontaPage.frame;
    const ratio = window.devicePixelRatio || 1;
    if (frame.canvas.width != width || frame.canvas.height != height) {
        frame.canvas.width = width;
        frame.canvas.height = height;
    }
    frame.canvas.style.width = (width / ratio) + 'px';
    frame.canvas.style.height = (height / ratio) + 'px';
});

EM_JS(void, pageFramePut,
      (const std::uint8_t* pixels, int width, int height, int left, int top, int right, int bottom),
      {
          const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
          plontaPage.frame.context.putImageData(new ImageData(bytes, width, height), 0, 0, left,
                                                top, right - left, bottom - top);
      });

// align: 0 left, 2 right, 6 centre (GDI's values).
EM_JS(void, pageFrameText,
      (const char* utf8, int length, int x, int y, int align, int colour, int opaque, double em,
       double stretch, int baseline, int cellHeight),
      {
          const context = plontaPage.frame.context;
          const text = UTF8ToString(utf8, length);
          context.font = em + 'px "' + plontaPage.fontFamily + '"';
          context.textBaseline = 'alphabetic';
          context.textAlign = align == 6 ? 'center' : align == 2 ? 'right' : 'left';
          context.setTransform(stretch, 0, 0, 1, x, y + baseline);
          if (opaque) {
              const width = context.measureText(text).width;
              const left = align == 6 ? -width / 2 : align == 2 ? -width : 0;
              context.fillStyle = 'rgb(255,255,255)';
              context.fillRect(left, -baseline, width, cellHeight);
          }
          context.fillStyle = 'rgb(' + (colour & 255) + ',' + (colour >> 8 & 255) + ',' +
                              (colour >> 16 & 255) + ')';
          context.fillText(text, 0, 0);
          context.setTransform(1, 0, 0, 1, 0, 0);
      });

// Tests and measurements install window.plontaProbe before the page loads and hear of every
// paint there: its two halves in milliseconds, the boxes the frame's texts may cover (left,
// top, right, bottom in image pixels) and the scale. Without a probe a paint costs nothing more.
EM_JS(int, pageHasProbe, (), { return window.plontaProbe ? 1 : 0; });
EM_JS(void, pageProbePainted,
      (double composeMs, double presentMs, const int* boxes, int count, double scale), {
          const textBoxes = [];
          for (let i = 0; i < count; ++i)
              textBoxes.push(
                  Array.from(HEAP32.subarray((boxes >> 2) + 4 * i, (boxes >> 2) + 4 * i + 4)));
          window.plontaProbe.painted(
              {composeMs : composeMs, presentMs : presentMs, textBoxes : textBoxes, scale : scale});
      });

PixelRect joined(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool inside(const PixelRect& part, const PixelRect& whole) {
    return part.left >= whole.left && part.top >= whole.top && part.right <= whole.right &&
           part.bottom <= whole.bottom;
}

double millisecondsOf(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

FitSize webViewport() {
    int viewport[2] = {0, 0};
    pageViewport(viewport);
    return {viewport[0], viewport[1]};
}

WebDisplay::WebDisplay() = default;

WebDisplay::~WebDisplay() {
    release();
}

bool WebDisplay::fail(const char* step, const char* why) {
    failure_ = std::string(step) + " failed: " + why;
    release();
    return false;
}

bool WebDisplay::create() {
    failure_.clear();
    const int opened = pageFrameOpen();
    if (opened == 0) return fail("canvas #frame", "the page has no such canvas");
    if (opened < 0) return fail("getContext", "the canvas gives no 2D context");
    backBuffer_ = std::make_unique<WebCanvas>(frameWidth, frameHeight);
    probed_ = pageHasProbe() != 0;
    return place();
}

bool WebDisplay::place() {
    scale_ = largestScaleThatFits(frameSize, webViewport());
    if (scale_ != backBuffer_->scale()) backBuffer_->setScale(scale_);
    pageFrameSize(backBuffer_->width(), backBuffer_->height());
    // A canvas given a new size is cleared, and the pixel ratio may have changed.
    sendAll_ = true;
    return true;
}

bool WebDisplay::resize() {
    if (!backBuffer_) return false;
    return place();
}

void WebDisplay::release() {
    backBuffer_.reset();
}

void WebDisplay::paintFrame(const FrameDrawer& drawer, const Game& game) {
    const auto started = Clock::now();
    WebCanvas& canvas = *backBuffer_;
    canvas.beginFrame();
    drawer.drawFrame(canvas, game);
    const std::vector<PixelRect>& changed = canvas.endFrame();
    const auto composed = Clock::now();

    const PixelRect image{0, 0, canvas.width(), canvas.height()};
    PixelRect put;
    if (sendAll_) {
        put = image;
    } else {
        for (const PixelRect& part : changed) put = joined(put, part);
    }
    sendAll_ = false;
    // The image holds no texts: a text the put part reaches is drawn again whole, so the part
    // grows until it holds every text it reaches.
    const std::vector<WebText>& texts = canvas.texts();
    for (bool grew = !put.empty(); grew;) {
        grew = false;
        for (const WebText& text : texts)
            if (overlaps(text.box, put) && !inside(text.box, put)) {
                put = joined(put, text.box);
                grew = true;
            }
    }
    if (!put.empty()) {
        pageFramePut(canvas.pixels(), canvas.width(), canvas.height(), put.left, put.top, put.right,
                     put.bottom);
        for (const WebText& text : texts)
            if (overlaps(text.box, put))
                pageFrameText(text.utf8.data(), static_cast<int>(text.utf8.size()), text.x, text.y,
                              static_cast<int>(text.align & 6u), static_cast<int>(text.colour),
                              text.opaque ? 1 : 0, text.em, text.stretch, text.baseline,
                              text.cellHeight);
    }
    const auto presented = Clock::now();
    lastCompose = composed - started;
    lastPresent = presented - composed;
    if (probed_) tellProbe(texts);
}

void WebDisplay::tellProbe(const std::vector<WebText>& texts) {
    std::vector<int> boxes;
    for (const WebText& text : texts)
        boxes.insert(boxes.end(), {text.box.left, text.box.top, text.box.right, text.box.bottom});
    pageProbePainted(millisecondsOf(lastCompose), millisecondsOf(lastPresent), boxes.data(),
                     static_cast<int>(texts.size()), scale_.factor());
}

} // namespace plonta
