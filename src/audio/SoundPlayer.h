// The one-call player: it is handed a whole wave file image, reads its
// header itself and plays its samples, waiting for the end or not. Starting
// a sound or Stop silences the one before.
#pragma once

#include "audio/WaveOutDevice.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace audio {

class TSoundPlayer {
public:
    // The image must stay alive until Stop (or the next PlayImage); false
    // when it is refused or cannot be played.
    bool PlayImage(const uint8_t* image, size_t size, bool wait);
    void Stop();

private:
    TWaveOutDevice device_;
    TWaveHeader header_;
    std::atomic<bool> done_{false};
};

} // namespace audio
