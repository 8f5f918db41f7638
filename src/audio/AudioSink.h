// Where sound goes: a sink opens an output for one format, and the output
// takes PCM frames. The process has one sink, ALSA's default device unless
// another is installed (tests install a recording one).
#pragma once

#include "audio/WaveFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace audio {

class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;
    // Plays `bytes` (whole frames); blocks until the device has taken them.
    // False when the output was aborted or failed.
    virtual bool Write(const uint8_t* bytes, size_t count) = 0;
    // Waits until what was written has been heard (or the output is aborted).
    virtual void Drain() = 0;
    // Ends a Write or Drain in progress and every later one; any thread.
    virtual void Abort() = 0;
};

class IAudioSink {
public:
    virtual ~IAudioSink() = default;
    // Null when the format cannot be played. Called on the thread that
    // starts the sound.
    virtual std::unique_ptr<IAudioOutput> Open(const TWaveFormat& format) = 0;
};

// An output that takes everything and plays nothing.
class SilentOutput final : public IAudioOutput {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
    void Drain() override {}
    void Abort() override {}
};

// The process's sink: the one installed, else ALSA's default device (silent
// when there is none).
IAudioSink& AudioSink();
// Installs a sink (null: back to ALSA); the caller keeps it alive.
void SetAudioSink(IAudioSink* sink);

// Where the player's one-time notices go (the log); standard error until set.
using NoticeFunction = std::function<void(std::string_view)>;
void SetAudioNotice(NoticeFunction notice);
void AudioNotice(std::string_view text);

} // namespace audio
