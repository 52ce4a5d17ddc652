// The waveOut device behind the speaker, on stand-ins for winmm.dll that keep the queue of
// written buffers a device plays in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "audio/speaker.h"
#include "audio/win32/waveout_audio.h"

namespace plonta {
namespace {

std::deque<WAVEHDR*> queued;

MMRESULT WINAPI openDevice(LPHWAVEOUT device, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) {
    *device = reinterpret_cast<HWAVEOUT>(&queued);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI write(HWAVEOUT, LPWAVEHDR header, UINT) {
    queued.push_back(header);
    return MMSYSERR_NOERROR;
}
// As Windows does: every queued buffer back, marked done.
MMRESULT WINAPI reset(HWAVEOUT) {
    for (WAVEHDR* header : queued) header->dwFlags |= WHDR_DONE;
    queued.clear();
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI none(HWAVEOUT, LPWAVEHDR, UINT) {
    return MMSYSERR_NOERROR;
}

TEST(WaveOutAudio, TheFirstBufferPlayedAfterWakingStartsTheNewSound) {
    const SoundBank bank;
    EventLog caught, levelDone;
    caught.add(Event{});
    levelDone.add(Event{EventKind::LevelCompleted});
    // Fresh from opening, and with a jingle cut short by minimising.
    for (const bool minimised : {false, true}) {
        WaveOutAudio audio({openDevice, reset, none, none, write, reset});
        Speaker speaker;
        std::string failure;
        ASSERT_TRUE(speaker.start(audio, failure));
        if (minimised) speaker.play(levelDone);
        speaker.hush();
        speaker.play(caught);
        ASSERT_FALSE(queued.empty());
        const auto* first = reinterpret_cast<const std::int16_t*>(queued.front()->lpData);
        EXPECT_TRUE(std::equal(first, first + queued.front()->dwBufferLength / 2,
                               bank.effect(Effect::Catch).begin()))
            << minimised;
    }
}

} // namespace
} // namespace plonta
