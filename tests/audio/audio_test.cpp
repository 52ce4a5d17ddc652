// The synthesiser, the mixer and the recorded timeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/game_sounds.h"

namespace plonta {
namespace {

double seconds(Pcm sound) {
    return static_cast<double>(sound.size()) / SoundBank::sampleRate;
}

// Upward zero crossings in the first note of a sound: its pitch.
int crossings(Pcm sound) {
    int count = 0;
    for (std::size_t i = 1; i < std::min<std::size_t>(sound.size(), 1000); ++i)
        count += sound[i - 1] < 0 && sound[i] >= 0;
    return count;
}

std::vector<Pcm> everySound(const SoundBank& bank) {
    std::vector<Pcm> sounds;
    for (std::size_t e = 0; e < effectCount; ++e)
        sounds.push_back(bank.effect(static_cast<Effect>(e)));
    for (const LineKind kind : {LineKind::Vertical, LineKind::Horizontal, LineKind::Diagonal})
        for (int length = SoundBank::shortestLine; length <= SoundBank::longestLine; ++length)
            for (int depth = 1; depth <= SoundBank::chainPitches; ++depth)
                sounds.push_back(bank.line(kind, length, depth));
    return sounds;
}

TEST(Synth, RendersTheSameSamplesEachTime) {
    const SoundBank first;
    const SoundBank second;
    const std::vector<Pcm> a = everySound(first);
    const std::vector<Pcm> b = everySound(second);
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_FALSE(a[i].empty()) << i;
        EXPECT_TRUE(std::equal(a[i].begin(), a[i].end(), b[i].begin(), b[i].end())) << i;
    }
}

TEST(Synth, ShortSoundsAreShortAndJinglesUnderASecondAndAHalf) {
    const SoundBank bank;
    for (const Effect e : {Effect::Catch, Effect::Drop, Effect::Missed, Effect::Blocked})
        EXPECT_LT(seconds(bank.effect(e)), 0.15) << static_cast<int>(e);
    for (const Effect e : {Effect::LifeLost, Effect::LevelComplete, Effect::GameOver})
        EXPECT_LT(seconds(bank.effect(e)), 1.5) << static_cast<int>(e);
}

TEST(Synth, LinesSayTheirKindAndADeeperChainSoundsHigher) {
    const SoundBank bank;
    for (const LineKind kind : {LineKind::Vertical, LineKind::Horizontal, LineKind::Diagonal}) {
        for (int depth = 2; depth <= SoundBank::chainPitches; ++depth)
            EXPECT_GT(crossings(bank.line(kind, 3, depth)),
                      crossings(bank.line(kind, 3, depth - 1)))
                << static_cast<int>(kind) << " depth " << depth;
        // A longer line has more notes; deeper than the deepest pitch sounds as it.
        EXPECT_GT(bank.line(kind, 5, 1).size(), bank.line(kind, 3, 1).size());
        EXPECT_EQ(bank.line(kind, 3, 40).data(),
                  bank.line(kind, 3, SoundBank::chainPitches).data());
    }
    const Pcm vertical = bank.line(LineKind::Vertical, 3, 1);
    const Pcm horizontal = bank.line(LineKind::Horizontal, 3, 1);
    EXPECT_FALSE(
        std::equal(vertical.begin(), vertical.end(), horizontal.begin(), horizontal.end()));
}

TEST(Mixer, EveryVoiceAtFullLevelStaysInRangeWithTheSoundsShape) {
    const SoundBank bank;
    const Pcm loud = bank.effect(Effect::GameOver);
    Mixer mixer(SoundBank::sampleRate);
    for (std::size_t v = 0; v < Mixer::voiceCount; ++v) mixer.play(loud);
    std::vector<std::int16_t> out(loud.size());
    mixer.mix(out.data(), out.size());
    // No sample at the rails, and still the sound itself, not flattened tops: it correlates
    // with the single voice.
    double dot = 0, a = 0, b = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        EXPECT_LT(std::abs(out[i]), 32767) << i;
        dot += static_cast<double>(out[i]) * loud[i];
        a += static_cast<double>(out[i]) * out[i];
        b += static_cast<double>(loud[i]) * loud[i];
    }
    EXPECT_GT(dot / std::sqrt(a * b), 0.99);
    EXPECT_TRUE(mixer.idle());
}

TEST(Mixer, MuteSilencesAndUnmutedPlaysOnWithoutReplaying) {
    const SoundBank bank;
    const Pcm catchSound = bank.effect(Effect::Catch);
    const std::size_t half = catchSound.size() / 2;
    std::vector<std::int16_t> out(catchSound.size());
    Mixer mixer(SoundBank::sampleRate);
    mixer.play(catchSound);
    mixer.setMuted(true);
    mixer.mix(out.data(), half);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + static_cast<long>(half),
                            [](auto s) { return s == 0; }));
    mixer.setMuted(false);
    mixer.mix(out.data() + half, out.size() - half);
    EXPECT_TRUE(std::equal(out.begin() + static_cast<long>(half), out.end(),
                           catchSound.begin() + static_cast<long>(half)));
}

TEST(Track, SoundsStartAtTheirTickAndAPauseStopsThem) {
    const SoundBank bank;
    const Pcm jingle = bank.effect(Effect::LevelComplete);
    SoundTrack track;
    track.ticked(3);
    track.play(jingle);
    track.ticked(1);
    track.stopAll();
    const std::vector<std::int16_t> out = track.render();
    const auto start = static_cast<long>(3 * SoundBank::sampleRate / 4); // frame 16537.5, floored
    const auto stop = static_cast<long>(SoundBank::sampleRate);
    const auto silent = [](std::int16_t s) { return s == 0; };
    ASSERT_GT(out.size(), static_cast<std::size_t>(stop));
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + start, silent));
    EXPECT_TRUE(std::equal(out.begin() + start, out.begin() + stop, jingle.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + stop, out.end(), silent));
}

} // namespace
} // namespace plonta
