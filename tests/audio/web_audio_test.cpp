// The browser's device under node, on a stand-in Web Audio whose processor the test runs as a
// browser would: what the page's processor plays, however many frames it is asked for.
#include <gtest/gtest.h>

#include <emscripten/emscripten.h>
// em_js.h wants emscripten.h before it.
#include <emscripten/em_js.h>

#include <algorithm>
#include <vector>

#include "audio/sound_bank.h"
#include "audio/web/web_audio.h"

namespace plonta {
namespace {

EM_JS(void, standInWebAudio, (), {
    const ignore = function(){};
    const Context = function(){};
    Context.prototype.createScriptProcessor = function() {
        globalThis.processor = {connect : ignore};
        return globalThis.processor;
    };
    Context.prototype.suspend = ignore;
    Context.prototype.close = ignore;
    globalThis.window = {AudioContext : Context};
    window.addEventListener = window.removeEventListener = ignore;
    globalThis.plontaPage = {};
});
// Runs the processor for frames frames, and gives back what it played as 16-bit samples.
EM_JS(void, runProcessor, (std::int16_t * into, int frames), {
    const out = new Float32Array(frames);
    const outputBuffer = {};
    outputBuffer.getChannelData = function() {
        return out;
    };
    globalThis.processor.onaudioprocess({outputBuffer : outputBuffer});
    for (let i = 0; i < frames; ++i) HEAP16[(into >> 1) + i] = Math.round(out[i] * 32768);
});

TEST(WebAudio, TheProcessorPlaysTheMixWhateverItsSize) {
    standInWebAudio();
    const SoundBank bank;
    const Pcm jingle = bank.effect(Effect::LevelComplete);
    // The smallest and the largest processor Web Audio makes.
    for (const int frames : {256, 16384}) {
        Mixer mixer(SoundBank::sampleRate);
        WebAudio audio;
        std::string failure;
        ASSERT_TRUE(audio.open(mixer, failure));
        mixer.play(jingle);
        std::vector<std::int16_t> played(static_cast<std::size_t>(frames));
        runProcessor(played.data(), frames);
        EXPECT_TRUE(std::equal(played.begin(), played.end(), jingle.begin())) << frames;
    }
}

} // namespace
} // namespace plonta
