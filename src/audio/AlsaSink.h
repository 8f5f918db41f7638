// ALSA's default device: on a PulseAudio or PipeWire desktop it reaches the
// desktop's sound server. Without a device the sound is silent and one
// notice says so, once.
#pragma once

#include "audio/AudioSink.h"

#include <atomic>

namespace audio {

class AlsaSink final : public IAudioSink {
public:
    std::unique_ptr<IAudioOutput> Open(const TWaveFormat& format) override;

private:
    std::atomic<bool> toldSilent_{false};
};

} // namespace audio
