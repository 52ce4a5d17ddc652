// The synthesiser: notes of a few plain waves with short envelopes, added up and scaled.
#include "audio/sound_bank.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace plonta {

namespace {

enum class Wave : std::uint8_t { Sine, Square, Triangle, Noise };

struct Note {
    float start;   // seconds into the sound
    float seconds; // how long it lasts
    float hz;      // its pitch at the start
    float endHz;   // and at its end: a slide when they differ
    Wave wave;
    float level;
};

constexpr float rate = static_cast<float>(SoundBank::sampleRate);
constexpr float peak = soundPeak;

float semitones(float hz, float steps) {
    return hz * std::exp2(steps / 12.0f);
}

// At cycle, from 0 up to 1.
float waveAt(Wave wave, double cycle, std::uint32_t& noise) {
    switch (wave) {
    case Wave::Sine: return std::sin(2.0f * std::numbers::pi_v<float> * static_cast<float>(cycle));
    case Wave::Square: return cycle < 0.5 ? 0.6f : -0.6f; // as loud to the ear as the sine
    case Wave::Triangle:
        return static_cast<float>(cycle < 0.5 ? 4.0 * cycle - 1.0 : 3.0 - 4.0 * cycle);
    case Wave::Noise:
        noise = noise * 1664525u + 1013904223u;
        return static_cast<float>(noise >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }
    return 0.0f;
}

// How many samples the notes take.
std::size_t frames(const std::vector<Note>& notes) {
    float length = 0.0f;
    for (const Note& note : notes) length = std::max(length, note.start + note.seconds);
    return static_cast<std::size_t>(std::ceil(length * rate));
}

// Adds the notes up into out, which holds frames(notes) samples, scaled to the common peak. The
// decay and the pitch run on from sample to sample rather than each being worked out afresh.
void render(const std::vector<Note>& notes, std::span<std::int16_t> out) {
    std::vector<float> mix(out.size(), 0.0f);
    std::uint32_t noise = 1;
    for (const Note& note : notes) {
        const auto first = static_cast<std::size_t>(note.start * rate);
        const auto count = static_cast<std::size_t>(note.seconds * rate);
        // A quick attack, a decay over the note, and a short fade so no note ends in a click.
        const float attackStep = 1.0f / (0.002f * rate);
        const float fadeStep = 1.0f / (0.006f * rate);
        const float decayStep = std::exp(-2.5f / static_cast<float>(count));
        const double slide = (note.endHz - note.hz) / static_cast<double>(count) / rate;
        double step = note.hz / rate;
        double cycle = 0.0;
        float decay = 1.0f;
        for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
            const float attack = std::min(1.0f, static_cast<float>(i) * attackStep);
            const float fade = std::min(1.0f, static_cast<float>(count - i) * fadeStep);
            mix[first + i] += note.level * attack * fade * decay * waveAt(note.wave, cycle, noise);
            decay *= decayStep;
            cycle += step;
            if (cycle >= 1.0) cycle -= 1.0;
            step += slide;
        }
    }
    float loudest = 0.0f;
    for (const float sample : mix) loudest = std::max(loudest, std::fabs(sample));
    const float scale = loudest > 0.0f ? peak / loudest : 0.0f;
    for (std::size_t i = 0; i < mix.size(); ++i) out[i] = toSample(mix[i] * scale);
}

// A tune of equal notes on one wave, each starting as the one before ends.
std::vector<Note> tune(std::initializer_list<float> steps, float root, float noteSeconds, Wave wave,
                       float lastSeconds) {
    std::vector<Note> notes;
    float start = 0.0f;
    std::size_t index = 0;
    for (const float step : steps) {
        const bool last = ++index == steps.size();
        const float seconds = last ? lastSeconds : noteSeconds;
        const float hz = semitones(root, step);
        notes.push_back({start, seconds, hz, hz, wave, 1.0f});
        start += noteSeconds;
    }
    return notes;
}

std::vector<Note> effectNotes(Effect effect) {
    switch (effect) {
    case Effect::Catch: return {{0.0f, 0.06f, 880.0f, 1320.0f, Wave::Square, 1.0f}};
    case Effect::Drop:
        return {{0.0f, 0.09f, 330.0f, 110.0f, Wave::Triangle, 1.0f},
                {0.0f, 0.03f, 0.0f, 0.0f, Wave::Noise, 0.3f}};
    case Effect::Missed:
        return {{0.0f, 0.12f, 220.0f, 110.0f, Wave::Square, 1.0f},
                {0.0f, 0.12f, 0.0f, 0.0f, Wave::Noise, 0.25f}};
    case Effect::Blocked:
        return {{0.0f, 0.045f, 150.0f, 140.0f, Wave::Square, 1.0f},
                {0.06f, 0.045f, 150.0f, 140.0f, Wave::Square, 1.0f}};
    case Effect::LifeLost: return tune({7, 4, 0, -5}, 392.0f, 0.13f, Wave::Square, 0.3f);
    case Effect::LevelComplete:
        return tune({0, 4, 7, 12, 16, 19, 24}, 523.25f, 0.09f, Wave::Triangle, 0.45f);
    case Effect::GameOver: return tune({0, -1, -2, -3, -12}, 392.0f, 0.22f, Wave::Square, 0.5f);
    }
    return {};
}

// A line: one note per tile, on a wave and a figure by its kind; each chain step a major
// third higher.
std::vector<Note> lineNotes(LineKind kind, int length, int depth) {
    static constexpr float figures[SoundBank::lineKinds][SoundBank::longestLine] = {
        {0, 7, 12, 19, 24}, // vertical: open fifths, straight up
        {0, 4, 7, 12, 16},  // horizontal: the major chord
        {0, 5, 9, 14, 17},  // diagonal: fourths and sixths, leaning
    };
    static constexpr Wave waves[SoundBank::lineKinds] = {Wave::Sine, Wave::Square, Wave::Triangle};
    const auto k = static_cast<std::size_t>(kind);
    const float root = semitones(440.0f, 4.0f * static_cast<float>(depth - 1));
    std::vector<Note> notes;
    for (int i = 0; i < length; ++i) {
        const float hz = semitones(root, figures[k][i]);
        const bool last = i == length - 1;
        notes.push_back(
            {0.055f * static_cast<float>(i), last ? 0.14f : 0.055f, hz, hz, waves[k], 1.0f});
    }
    return notes;
}

} // namespace

SoundBank::SoundBank() {
    std::size_t total = 0;
    const auto place = [&total](Slot& slot, const std::vector<Note>& notes) {
        slot = {total, frames(notes), false};
        total += slot.count;
    };
    for (std::size_t e = 0; e < effectCount; ++e)
        place(effects_[e], effectNotes(static_cast<Effect>(e)));
    for (std::size_t kind = 0; kind < lineKinds; ++kind)
        for (int length = shortestLine; length <= longestLine; ++length)
            for (int depth = 1; depth <= chainPitches; ++depth)
                place(lineSlot(static_cast<LineKind>(kind), length, depth),
                      lineNotes(static_cast<LineKind>(kind), length, depth));
    // Left unwritten: the pages of sounds never made are never touched.
    samples_.reset(new std::int16_t[total]);
}

SoundBank::Slot& SoundBank::lineSlot(LineKind kind, int length, int depth) const {
    const auto k = static_cast<std::size_t>(kind);
    const auto l = static_cast<std::size_t>(length - shortestLine);
    const auto d = static_cast<std::size_t>(depth - 1);
    return lines_[(k * lineLengths + l) * chainPitches + d];
}

Pcm SoundBank::effect(Effect effect) const {
    Slot& slot = effects_[static_cast<std::size_t>(effect)];
    if (!slot.made) render(effectNotes(effect), samples(slot));
    slot.made = true;
    return samples(slot);
}

Pcm SoundBank::line(LineKind kind, int length, int depth) const {
    length = std::clamp(length, shortestLine, longestLine);
    depth = std::clamp(depth, 1, chainPitches);
    Slot& slot = lineSlot(kind, length, depth);
    if (!slot.made) render(lineNotes(kind, length, depth), samples(slot));
    slot.made = true;
    return samples(slot);
}

} // namespace plonta
