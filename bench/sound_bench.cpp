// Sound: making every effect at start-up, and mixing a device buffer with every voice busy.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/sound_bank.h"

namespace {

void synthesiseEverySound(benchmark::State& state) {
    for (auto _ : state) {
        const plonta::SoundBank bank;
        benchmark::DoNotOptimize(bank.effect(plonta::Effect::Catch).data());
    }
}
BENCHMARK(synthesiseEverySound)->Unit(benchmark::kMillisecond);

// One 512-frame buffer, as the SDL device pulls it, with all eight voices playing.
void mixBufferEveryVoice(benchmark::State& state) {
    const plonta::SoundBank bank;
    plonta::Mixer mixer(plonta::SoundBank::sampleRate);
    std::vector<std::int16_t> out(512);
    for (auto _ : state) {
        if (mixer.idle())
            for (std::size_t v = 0; v < plonta::Mixer::voiceCount; ++v)
                mixer.play(bank.effect(plonta::Effect::GameOver));
        mixer.mix(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(mixBufferEveryVoice)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
