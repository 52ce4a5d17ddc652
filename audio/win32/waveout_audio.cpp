// waveOut fed from the mixer: the device signals an event as each buffer is played, and the
// feeding thread mixes the next frames into it under the mixer's lock. Resting, nothing is queued.
#include "audio/win32/waveout_audio.h"

namespace plonta {

namespace {

template <typename Call> bool load(HMODULE module, const char* name, Call& call) {
    call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return call != nullptr;
}

} // namespace

WaveOutAudio::WaveOutAudio() {
    InitializeCriticalSection(&mixerLock_);
}

WaveOutAudio::WaveOutAudio(const WaveOutCalls& calls) : WaveOutAudio() {
    calls_ = calls;
    loadsWinmm_ = false;
}

WaveOutAudio::~WaveOutAudio() {
    close();
    DeleteCriticalSection(&mixerLock_);
}

bool WaveOutAudio::loadWinmm() {
    winmm_ = LoadLibraryA("winmm.dll");
    return winmm_ != nullptr && load(winmm_, "waveOutOpen", calls_.open) &&
           load(winmm_, "waveOutClose", calls_.close) &&
           load(winmm_, "waveOutPrepareHeader", calls_.prepare) &&
           load(winmm_, "waveOutUnprepareHeader", calls_.unprepare) &&
           load(winmm_, "waveOutWrite", calls_.write) && load(winmm_, "waveOutReset", calls_.reset);
}

bool WaveOutAudio::open(Mixer& mixer, std::string& failure) {
    if (loadsWinmm_ && !loadWinmm()) {
        failure = "no winmm.dll";
        close();
        return false;
    }
    mixer_ = &mixer;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = mixer.sampleRate();
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const MMRESULT opened =
        done_ == nullptr ? MMSYSERR_NOMEM
                         : calls_.open(&device_, WAVE_MAPPER, &format,
                                       reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        device_ = nullptr;
        failure = "waveOutOpen failed with " + std::to_string(opened);
        close();
        return false;
    }
    // Resting until the first sound: nothing queued, and the thread asleep.
    resting_ = true;
    for (std::size_t i = 0; i < bufferCount; ++i) {
        headers_[i] = WAVEHDR{};
        headers_[i].lpData = reinterpret_cast<LPSTR>(buffers_[i].data());
        headers_[i].dwBufferLength = static_cast<DWORD>(bufferFrames * sizeof(std::int16_t));
        calls_.prepare(device_, &headers_[i], sizeof(WAVEHDR));
        headers_[i].dwFlags |= WHDR_DONE;
    }
    stopping_ = 0;
    thread_ = CreateThread(nullptr, 0, &WaveOutAudio::feed, this, 0, nullptr);
    if (thread_ == nullptr) {
        failure = "no thread for the sound";
        close();
        return false;
    }
    return true;
}

DWORD WINAPI WaveOutAudio::feed(void* self) {
    auto* audio = static_cast<WaveOutAudio*>(self);
    while (InterlockedCompareExchange(&audio->stopping_, 0, 0) == 0) {
        WaitForSingleObject(audio->done_, INFINITE);
        if (InterlockedCompareExchange(&audio->stopping_, 0, 0) != 0) break;
        audio->refill();
    }
    return 0;
}

void WaveOutAudio::refill() {
    lock();
    for (WAVEHDR& header : headers_) {
        if (resting_ || (header.dwFlags & WHDR_DONE) == 0) continue;
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        mixer_->mix(reinterpret_cast<std::int16_t*>(header.lpData), bufferFrames);
        calls_.write(device_, &header, sizeof(WAVEHDR));
    }
    unlock();
}

void WaveOutAudio::lock() {
    EnterCriticalSection(&mixerLock_);
}

void WaveOutAudio::unlock() {
    LeaveCriticalSection(&mixerLock_);
}

void WaveOutAudio::rest() {
    if (device_ == nullptr) return;
    lock();
    resting_ = true;
    // Every queued buffer back unplayed: what was mixed before resting (some 50 ms) is not heard
    // before the next sound.
    calls_.reset(device_);
    unlock();
}

bool WaveOutAudio::wake() {
    if (device_ == nullptr) return false;
    lock();
    resting_ = false;
    // Every buffer is ours again: the first carries the sound at once, not behind silence.
    refill();
    unlock();
    return true;
}

void WaveOutAudio::close() {
    if (thread_ != nullptr) {
        InterlockedExchange(&stopping_, 1);
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (device_ != nullptr) {
        calls_.reset(device_);
        for (WAVEHDR& header : headers_)
            if ((header.dwFlags & WHDR_PREPARED) != 0)
                calls_.unprepare(device_, &header, sizeof(WAVEHDR));
        calls_.close(device_);
        device_ = nullptr;
    }
    if (done_ != nullptr) CloseHandle(done_);
    done_ = nullptr;
    if (winmm_ != nullptr) FreeLibrary(winmm_);
    winmm_ = nullptr;
    mixer_ = nullptr;
}

} // namespace plonta
