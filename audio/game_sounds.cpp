// Events to sounds, the recorded timeline, and its WAV file.
#include "audio/game_sounds.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "game/game.h"

namespace plonta {

namespace {
// Between the lines of a chain: one step of the climb.
constexpr std::uint32_t chainStepFrames = SoundBank::sampleRate * 12 / 100;
} // namespace

void playEvents(const EventLog& events, const SoundBank& bank, SoundSink& sink) {
    for (const Event& event : events) {
        switch (event.kind) {
        case EventKind::TileCaught: sink.play(bank.effect(Effect::Catch)); break;
        case EventKind::TileLost:
            sink.play(
                bank.effect(event.loss == TileLoss::Missed ? Effect::Missed : Effect::Blocked));
            break;
        case EventKind::TileDropped: sink.play(bank.effect(Effect::Drop)); break;
        case EventKind::LineRemoved:
            sink.play(bank.line(event.line, event.length, event.depth),
                      chainStepFrames * static_cast<std::uint32_t>(std::max(event.depth - 1, 0)));
            break;
        case EventKind::LifeLost: sink.play(bank.effect(Effect::LifeLost)); break;
        case EventKind::LevelCompleted: sink.play(bank.effect(Effect::LevelComplete)); break;
        case EventKind::GameOver: sink.play(bank.effect(Effect::GameOver)); break;
        case EventKind::Paused: sink.stopAll(); break;
        case EventKind::Resumed: break;
        }
    }
}

std::uint64_t SoundTrack::frames() const {
    return static_cast<std::uint64_t>(ticks_) * SoundBank::sampleRate * tickPeriodMs / 1000;
}

void SoundTrack::play(Pcm sound, std::uint32_t delay) {
    cues_.push_back({frames(), sound, delay});
}

void SoundTrack::stopAll() {
    cues_.push_back({frames(), {}, 0});
}

std::vector<std::int16_t> SoundTrack::render() const {
    std::uint64_t end = frames();
    for (const Cue& cue : cues_)
        end = std::max<std::uint64_t>(end, cue.frame + cue.delay + cue.sound.size());
    // Callers keep a track within an hour or so: far inside a size_t, even on 32 bits.
    std::vector<std::int16_t> out(static_cast<std::size_t>(end));
    Mixer mixer(SoundBank::sampleRate);
    std::size_t done = 0;
    for (const Cue& cue : cues_) {
        const auto frame = static_cast<std::size_t>(cue.frame);
        mixer.mix(out.data() + done, frame - done);
        done = frame;
        if (cue.sound.empty())
            mixer.stopAll();
        else
            mixer.play(cue.sound, cue.delay);
    }
    mixer.mix(out.data() + done, out.size() - done);
    return out;
}

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples,
              std::uint32_t sampleRate) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               &std::fclose);
    if (!file) return false;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> bytes;
    const auto word = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    tag("RIFF");
    word(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    word(16, 4);
    word(1, 2); // PCM
    word(1, 2); // mono
    word(sampleRate, 4);
    word(sampleRate * 2, 4);
    word(2, 2);
    word(16, 2);
    tag("data");
    word(dataBytes, 4);
    for (const std::int16_t sample : samples) word(static_cast<std::uint16_t>(sample), 2);
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
           std::fflush(file.get()) == 0;
}

} // namespace plonta
