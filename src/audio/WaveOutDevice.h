// A wave-out device over an audio output: blocks of samples are queued with
// Write and played in order on the device's own thread, which reports each
// finished block to the completion function (on that thread). The function
// may queue the block again.
#pragma once

#include "audio/AudioSink.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace audio {

// A block of samples and its bookkeeping.
struct TWaveHeader {
    uint8_t* data = nullptr;
    uint32_t length = 0; // bytes to play
    uint32_t flags = 0;
    uint32_t loops = 0;
    uintptr_t user = 0; // the owner's word (1: the block that ends the sound)
};

class TWaveOutDevice {
public:
    using Completion = std::function<void(TWaveHeader*)>;

    TWaveOutDevice() = default;
    ~TWaveOutDevice() { Close(); }
    TWaveOutDevice(const TWaveOutDevice&) = delete;
    TWaveOutDevice& operator=(const TWaveOutDevice&) = delete;

    // Opens an output of `sink` for `format`; false when it cannot be had.
    // With releaseWhenIdle the output is given back as soon as nothing is
    // queued after a completion (a one-shot sound holds no device after it).
    bool Open(IAudioSink& sink, const TWaveFormat& format, Completion done, bool releaseWhenIdle = false);
    // Queues a block; false when the device is not open.
    bool Write(TWaveHeader* header);
    // Stops at once: the block playing is cut off, queued blocks are given
    // back unplayed and without notice. When Close returns no completion
    // runs any more and the device touches no block: they may be freed.
    // Never call it from the completion function.
    void Close();

private:
    void Run();

    std::unique_ptr<IAudioOutput> output_;
    Completion done_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<TWaveHeader*> queue_;
    bool closing_ = false;
    bool releaseWhenIdle_ = false;
    std::thread thread_;
};

} // namespace audio
