// What the game sounds like: each event of a step to its sound, and the sound of a whole game
// laid out tick by tick as a device would have played it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound_bank.h"
#include "game/events.h"

namespace plonta {

// Starts the sounds of one step's events on sink. The lines of a chain follow one another, so
// the chain is heard climbing; a pause silences what is playing.
void playEvents(const EventLog& events, const SoundBank& bank, SoundSink& sink);

// The sound of a game from its start: what was played at which frame. Rendering replays it
// through a mixer of its own, as a device pulling from the game's mixer would have heard it.
class SoundTrack final : public SoundSink {
  public:
    // Moves the timeline on by ticks steps of play.
    void ticked(std::int64_t ticks) { ticks_ += ticks; }
    void play(Pcm sound, std::uint32_t delay = 0) override;
    void stopAll() override;
    // Frames from the start to now.
    std::uint64_t frames() const;
    // The mix from the start to now, the last sound to its end.
    std::vector<std::int16_t> render() const;

  private:
    struct Cue {
        std::uint64_t frame;
        Pcm sound; // empty: stop everything
        std::uint32_t delay;
    };
    std::int64_t ticks_ = 0;
    std::vector<Cue> cues_;
};

// A RIFF WAVE file of mono 16-bit samples; false with errno set when writing fails.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples,
              std::uint32_t sampleRate);

} // namespace plonta
