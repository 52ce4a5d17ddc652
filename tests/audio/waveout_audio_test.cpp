// The waveOut device behind the speaker, on stand-ins for winmm.dll that keep the queue of
// written buffers a real device would play in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "audio/speaker.h"
#include "audio/win32/waveout_audio.h"

namespace plonta {
namespace {

std::deque<WAVEHDR*> queued;
HANDLE bufferDone = nullptr;

MMRESULT WINAPI open(LPHWAVEOUT device, UINT, LPCWAVEFORMATEX, DWORD_PTR event, DWORD_PTR, DWORD) {
    bufferDone = reinterpret_cast<HANDLE>(event);
    *device = reinterpret_cast<HWAVEOUT>(&queued);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI close(HWAVEOUT) {
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI withHeader(HWAVEOUT, LPWAVEHDR, UINT) {
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
    SetEvent(bufferDone);
    return MMSYSERR_NOERROR;
}

const WaveOutCalls fakeCalls{open, close, withHeader, withHeader, write, reset};

TEST(WaveOutAudio, TheFirstBufferPlayedAfterWakingStartsTheNewSound) {
    const SoundBank bank;
    const Pcm catchSound = bank.effect(Effect::Catch);
    EventLog caught, levelDone;
    caught.add(Event{});
    levelDone.add(Event{EventKind::LevelCompleted});
    // Fresh from opening, and with a jingle cut short by minimising.
    for (const bool minimisedBefore : {false, true}) {
        queued.clear();
        WaveOutAudio audio(fakeCalls);
        Speaker speaker;
        std::string failure;
        ASSERT_TRUE(speaker.start(audio, failure));
        if (minimisedBefore) {
            speaker.play(levelDone);
            speaker.hush();
        }
        speaker.play(caught);
        ASSERT_FALSE(queued.empty());
        const auto* first = reinterpret_cast<const std::int16_t*>(queued.front()->lpData);
        const std::size_t frames = queued.front()->dwBufferLength / sizeof(std::int16_t);
        EXPECT_TRUE(std::equal(first, first + frames, catchSound.begin())) << minimisedBefore;
        speaker.stop();
    }
}

} // namespace
} // namespace plonta
