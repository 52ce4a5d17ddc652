// The SDL device behind the speaker, on stand-in SDL calls whose device may fail to open.
#include <gtest/gtest.h>

#include <cstdio>

#include "audio/sdl/sdl_audio.h"
#include "audio/speaker.h"
#include "game/game.h"

namespace plonta {
namespace {

int opens = 0;
bool openFails = false;

SDL_AudioDeviceID openDevice(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int) {
    ++opens;
    if (openFails) std::fputs("ALSA lib: no card\n", stderr); // as alsa-lib says it
    return openFails ? 0 : 1;
}
void none(SDL_AudioDeviceID) {}

const SdlAudioCalls calls{[](Uint32) { return 0; },      [](Uint32) {}, openDevice, none,
                          [](SDL_AudioDeviceID, int) {}, none,          none};

TEST(SdlAudio, ADeviceThatWouldNotWakeIsTriedQuietlyAtASoundASecondLater) {
    SdlAudio audio(calls);
    Speaker speaker;
    std::string failure;
    ASSERT_TRUE(speaker.start(audio, failure));
    EventLog caught;
    caught.add(Event{});
    testing::internal::CaptureStderr();
    openFails = true;
    speaker.play(caught);
    openFails = false;
    // Sounds within the second leave the device resting; the first after it wakes the device.
    const int second = 1000 / tickPeriodMs;
    for (int tick = 0; tick <= second; ++tick, speaker.tick()) {
        speaker.play(caught);
        EXPECT_EQ(opens, tick < second ? 2 : 3) << tick;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace plonta
