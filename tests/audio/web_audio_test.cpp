// The page's processor on a stand-in Web Audio, run as a browser would with the largest buffer
// Web Audio makes: it plays the mix, whatever the device's own buffer holds.
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
    globalThis.window = {addEventListener : ignore, removeEventListener : ignore};
    window.AudioContext = function() {
        this.suspend = this.close = ignore;
    };
    window.AudioContext.prototype.createScriptProcessor = function() {
        window.processor = {connect : ignore};
        return window.processor;
    };
    globalThis.plontaPage = {};
});
// What the processor plays for frames frames, as 16-bit samples.
EM_JS(void, runProcessor, (std::int16_t * into, int frames), {
    const out = new Float32Array(frames);
    const outputBuffer = {};
    outputBuffer.getChannelData = function() {
        return out;
    };
    window.processor.onaudioprocess({outputBuffer : outputBuffer});
    HEAP16.set(out.map(function(level) { return level * 32768; }), into >> 1);
});

TEST(WebAudio, TheProcessorPlaysTheMixWhateverItsSize) {
    standInWebAudio();
    const SoundBank bank;
    const Pcm jingle = bank.effect(Effect::LevelComplete);
    Mixer mixer(SoundBank::sampleRate);
    WebAudio audio;
    std::string failure;
    ASSERT_TRUE(audio.open(mixer, failure));
    mixer.play(jingle);
    std::vector<std::int16_t> played(16384);
    runProcessor(played.data(), static_cast<int>(played.size()));
    EXPECT_TRUE(std::equal(played.begin(), played.end(), jingle.begin()));
}

} // namespace
} // namespace plonta
