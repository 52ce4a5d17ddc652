// Web Audio fed from the mixer: a script processor of 512 frames (23 ms) at the mixer's rate.
#include "audio/web/web_audio.h"

#include <algorithm>

#include <emscripten/emscripten.h>
// em_js.h wants emscripten.h before it.
#include <emscripten/em_js.h>

namespace plonta {

namespace {

// The context waits, suspended, for the page's first key; a resting device suspends it again.
// The page reads only the frames the device says it mixed, in turns when a browser asks for more
// than the buffer holds.
EM_JS(int, pageOpenSound, (int rate, int frames, void* device, const std::int16_t* buffer), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    const sound = {context : new Context({sampleRate : rate}), resting : true, heard : 0};
    const processor = sound.context.createScriptProcessor(frames, 0, 1);
    processor.onaudioprocess = function(event) {
        const out = event.outputBuffer.getChannelData(0);
        const at = buffer >> 1;
        let done = 0;
        let loud = false;
        while (done < out.length) {
            const mixed = _plonta_mix(device, out.length - done);
            if (mixed <= 0) break;
            for (let i = 0; i < mixed; ++i) {
                out[done + i] = HEAP16[at + i] / 32768;
                loud = loud || HEAP16[at + i] != 0;
            }
            done += mixed;
        }
        out.fill(0, done);
        if (loud) ++sound.heard;
    };
    processor.connect(sound.context.destination);
    sound.processor = processor;
    sound.wake = function() {
        if (!sound.resting && sound.context.state != "running") sound.context.resume();
    };
    window.addEventListener("keydown", sound.wake);
    sound.context.suspend();
    plontaPage.sound = sound;
    return 1;
});
EM_JS(void, pageRestSound, (int resting), {
    const sound = plontaPage.sound;
    if (!sound) return;
    sound.resting = resting != 0;
    if (sound.resting)
        sound.context.suspend();
    else
        sound.wake();
});
EM_JS(void, pageCloseSound, (), {
    const sound = plontaPage.sound;
    if (!sound) return;
    window.removeEventListener("keydown", sound.wake);
    sound.processor.onaudioprocess = null;
    sound.context.close();
    plontaPage.sound = undefined;
});

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int plonta_mix(void* device, int frames) {
    return static_cast<WebAudio*>(device)->mix(frames);
}

WebAudio::~WebAudio() {
    close();
}

bool WebAudio::open(Mixer& mixer, std::string& failure) {
    mixer_ = &mixer;
    if (pageOpenSound(static_cast<int>(mixer.sampleRate()), bufferFrames, this, buffer_.data()) ==
        0) {
        failure = "this browser has no Web Audio";
        return false;
    }
    open_ = true;
    return true;
}

int WebAudio::mix(int frames) {
    if (mixer_ == nullptr) return 0;
    const int mixed = std::clamp(frames, 0, bufferFrames);
    mixer_->mix(buffer_.data(), static_cast<std::size_t>(mixed));
    return mixed;
}

void WebAudio::rest() {
    if (open_) pageRestSound(1);
}

bool WebAudio::wake() {
    if (open_) pageRestSound(0);
    return open_;
}

void WebAudio::close() {
    if (open_) pageCloseSound();
    open_ = false;
    mixer_ = nullptr;
}

} // namespace plonta
