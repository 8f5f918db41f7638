// Wave files through the reader and the streaming play path (into a silent
// sink): nothing may be read outside the input, an accepted layout must lie
// inside it, and every block handed to the device must come from its
// samples.
#include "audio/AudioSink.h"
#include "audio/WaveFormat.h"
#include "audio/ZoWave.h"
#include "port/Stream.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Counts what reaches the device.
class CountingSink final : public audio::IAudioSink {
public:
    class Output final : public audio::IAudioOutput {
    public:
        explicit Output(size_t& total) : total_(total) {}
        bool Write(const uint8_t* bytes, size_t count) override
        {
            volatile uint8_t sum = 0;
            for (size_t i = 0; i < count; ++i)
                sum = static_cast<uint8_t>(sum + bytes[i]); // every byte must be readable
            total_ += count;
            return true;
        }
        void Drain() override {}
        void Abort() override {}

    private:
        size_t& total_;
    };
    std::unique_ptr<audio::IAudioOutput> Open(const audio::TWaveFormat&) override
    {
        return std::make_unique<Output>(total);
    }
    size_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto layout = audio::ParseWave(data, size);
    if (layout) {
        if (layout->dataOffset + layout->dataBytes > size || layout->dataBytes == 0 ||
            layout->dataBytes % layout->format.blockAlign != 0)
            std::abort();
    }
    CountingSink sink;
    audio::SetAudioSink(&sink);
    {
        TZoWave wave;
        wave.SetPlayMode(pmLow); // smSync: returns when the last block is done
        TMemoryStream stream(data, size);
        bool played = wave.Play(&stream);
        if (played != layout.has_value() || (layout && sink.total != layout->dataBytes))
            std::abort();
    }
    audio::SetAudioSink(nullptr);
    return 0;
}
