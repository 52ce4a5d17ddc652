// Sound: the bank at start-up, making every sound, and mixing a device buffer with every voice
// playing or none.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/sound_bank.h"

namespace {

// The bank at start-up: room for every sound, none made yet.
void makeTheBank(benchmark::State& state) {
    for (auto _ : state) {
        const plonta::SoundBank bank;
        benchmark::DoNotOptimize(&bank);
    }
}
BENCHMARK(makeTheBank)->Unit(benchmark::kMicrosecond);

// Every sound made, as a long game may come to ask for them.
void synthesiseEverySound(benchmark::State& state) {
    using plonta::SoundBank;
    for (auto _ : state) {
        const SoundBank bank;
        for (std::size_t e = 0; e < plonta::effectCount; ++e)
            benchmark::DoNotOptimize(bank.effect(static_cast<plonta::Effect>(e)).data());
        for (std::size_t kind = 0; kind < SoundBank::lineKinds; ++kind)
            for (int length = SoundBank::shortestLine; length <= SoundBank::longestLine; ++length)
                for (int depth = 1; depth <= SoundBank::chainPitches; ++depth)
                    benchmark::DoNotOptimize(
                        bank.line(static_cast<plonta::LineKind>(kind), length, depth).data());
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

// One 512-frame buffer with nothing playing: what an awake device pulls between sounds.
void mixBufferSilent(benchmark::State& state) {
    plonta::Mixer mixer(plonta::SoundBank::sampleRate);
    std::vector<std::int16_t> out(512);
    for (auto _ : state) {
        mixer.mix(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(mixBufferSilent)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
