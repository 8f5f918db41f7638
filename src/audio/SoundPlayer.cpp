#include "audio/SoundPlayer.h"

namespace audio {

bool TSoundPlayer::PlayImage(const uint8_t* image, size_t size, bool wait)
{
    Stop();
    std::optional<TWaveLayout> layout = ParseWave(image, size);
    if (!layout)
        return false;
    header_ = TWaveHeader{};
    header_.data = const_cast<uint8_t*>(image) + layout->dataOffset; // only read
    header_.length = static_cast<uint32_t>(layout->dataBytes);
    header_.user = 1;
    done_ = false;
    auto finished = [this](TWaveHeader*) {
        done_ = true;
        done_.notify_all();
    };
    if (!device_.Open(AudioSink(), layout->format, finished, true) || !device_.Write(&header_))
        return false;
    if (wait)
        done_.wait(false);
    return true;
}

void TSoundPlayer::Stop()
{
    device_.Close();
    done_ = true; // a wait for a sound cut off ends too
    done_.notify_all();
}

} // namespace audio
