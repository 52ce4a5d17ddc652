// The SDL device behind the speaker, on stand-in SDL calls whose device may fail to open; the
// test pulls it as SDL's thread would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "audio/game_sounds.h"
#include "audio/sdl/sdl_audio.h"
#include "audio/speaker.h"
#include "game/game.h"

namespace plonta {
namespace {

int opens = 0;
bool openFails = false;
SDL_AudioSpec opened{};

int initSubSystem(Uint32) {
    return 0;
}
void quitSubSystem(Uint32) {}
SDL_AudioDeviceID openAudioDevice(const char*, int, const SDL_AudioSpec* wanted, SDL_AudioSpec*,
                                  int) {
    ++opens;
    if (openFails) {
        std::fputs("ALSA lib: no card\n", stderr); // as alsa-lib says it
        return 0;
    }
    opened = *wanted;
    return 1;
}
void closeAudioDevice(SDL_AudioDeviceID) {
    opened.callback = nullptr;
}
void pauseAudioDevice(SDL_AudioDeviceID, int) {}
void lockAudioDevice(SDL_AudioDeviceID) {}

const SdlAudioCalls fakeCalls{initSubSystem,    quitSubSystem,   openAudioDevice, closeAudioDevice,
                              pauseAudioDevice, lockAudioDevice, lockAudioDevice};

TEST(SdlAudio, ADeviceThatWouldNotWakeIsTriedQuietlyAtASoundASecondLater) {
    SdlAudio audio(fakeCalls);
    Speaker speaker;
    std::string failure;
    ASSERT_TRUE(speaker.start(audio, failure));
    EventLog caught;
    caught.add(Event{});
    testing::internal::CaptureStderr();
    openFails = true;
    speaker.play(caught);
    openFails = false;
    // Sounds within the second find the device resting and leave it so; the next one wakes it.
    const int second = 1000 / tickPeriodMs;
    for (int tick = 0; tick <= second; ++tick) {
        speaker.play(caught);
        EXPECT_EQ(opens, tick < second ? 2 : 3) << tick;
        speaker.tick();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(opened.callback, nullptr);
    std::vector<std::int16_t> out(512);
    opened.callback(opened.userdata, reinterpret_cast<Uint8*>(out.data()),
                    static_cast<int>(out.size() * sizeof(out[0])));
    EXPECT_GT(*std::max_element(out.begin(), out.end()), 1000);
}

} // namespace
} // namespace plonta
