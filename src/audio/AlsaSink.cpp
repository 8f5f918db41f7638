#include "audio/AlsaSink.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <string>
#include <thread>

namespace audio {

namespace {

// alsa-lib prints its own complaints to standard error; the player reports
// what matters itself.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t PcmFormat(uint16_t bits)
{
    switch (bits) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    default: return SND_PCM_FORMAT_S32_LE;
    }
}

constexpr unsigned kLatencyUs = 100000;

class AlsaOutput final : public IAudioOutput {
public:
    AlsaOutput(snd_pcm_t* pcm, const TWaveFormat& format) : pcm_(pcm), format_(format) {}
    ~AlsaOutput() override
    {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    bool Write(const uint8_t* bytes, size_t count) override
    {
        // Small pieces, so that an abort is seen within one of them.
        const snd_pcm_uframes_t piece = std::max<snd_pcm_uframes_t>(format_.rate / 50, 64);
        snd_pcm_uframes_t left = count / format_.blockAlign;
        while (left > 0) {
            if (aborted_)
                return false;
            snd_pcm_sframes_t n = snd_pcm_writei(pcm_, bytes, std::min(left, piece));
            if (n < 0) {
                if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0)
                    return false;
                continue;
            }
            bytes += static_cast<size_t>(n) * format_.blockAlign;
            left -= static_cast<snd_pcm_uframes_t>(n);
        }
        return !aborted_;
    }

    void Drain() override
    {
        // Polled rather than snd_pcm_drain, which an abort could not end.
        while (!aborted_) {
            snd_pcm_sframes_t delay = 0;
            if (snd_pcm_delay(pcm_, &delay) < 0 || delay <= 0)
                return;
            auto ms = std::clamp<long>(static_cast<long>(delay * 1000 / format_.rate), 1, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }

    void Abort() override { aborted_ = true; }

private:
    snd_pcm_t* pcm_;
    TWaveFormat format_;
    std::atomic<bool> aborted_{false};
};

} // namespace

std::unique_ptr<IAudioOutput> AlsaSink::Open(const TWaveFormat& format)
{
    snd_lib_error_set_handler(QuietAlsa);
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking, so a busy device cannot hang the caller.
    int rc = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (rc < 0) {
        if (!toldSilent_.exchange(true))
            AudioNotice(std::string("Sound: no audio device, sounds are silent (") + snd_strerror(rc) + ")");
        return std::make_unique<SilentOutput>();
    }
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, PcmFormat(format.bits), SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                           format.rate, 1, kLatencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaOutput>(pcm, format);
}

} // namespace audio
