// The sound device on Windows: waveOut, which every Windows has, fed from the mixer by a thread
// of its own. winmm.dll is loaded when the device opens, so a system without it still plays.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>

#include "audio/audio_device.h"

namespace plonta {

// The waveOut functions the device calls, so that a test can stand in for winmm.dll.
struct WaveOutCalls {
    decltype(&waveOutOpen) open = nullptr;
    decltype(&waveOutClose) close = nullptr;
    decltype(&waveOutPrepareHeader) prepare = nullptr;
    decltype(&waveOutUnprepareHeader) unprepare = nullptr;
    decltype(&waveOutWrite) write = nullptr;
    decltype(&waveOutReset) reset = nullptr;
};

class WaveOutAudio final : public AudioDevice {
  public:
    // winmm.dll's functions, loaded when the device opens.
    WaveOutAudio();
    // Stand-ins for them.
    explicit WaveOutAudio(const WaveOutCalls& calls);
    ~WaveOutAudio() override;
    WaveOutAudio(const WaveOutAudio&) = delete;
    WaveOutAudio& operator=(const WaveOutAudio&) = delete;

    bool open(Mixer& mixer, std::string& failure) override;
    void lock() override;
    void unlock() override;
    void rest() override;
    bool wake() override;
    void close() override;

  private:
    // Three buffers of 16 ms: what is queued stays under 50 ms.
    static constexpr std::size_t bufferCount = 3;
    static constexpr std::size_t bufferFrames = 368;

    bool loadWinmm();
    static DWORD WINAPI feed(void* self);
    // Mixes into every buffer the device has played and queues it again, unless resting.
    void refill();

    CRITICAL_SECTION mixerLock_;
    HMODULE winmm_ = nullptr;
    WaveOutCalls calls_;
    bool loadsWinmm_ = true;
    HWAVEOUT device_ = nullptr;
    HANDLE done_ = nullptr;
    HANDLE thread_ = nullptr;
    volatile LONG stopping_ = 0;
    // Under the mixer's lock.
    bool resting_ = true;
    Mixer* mixer_ = nullptr;
    std::array<WAVEHDR, bufferCount> headers_{};
    std::array<std::array<std::int16_t, bufferFrames>, bufferCount> buffers_{};
};

} // namespace plonta
