#include "audio/AudioSink.h"

#include "audio/AlsaSink.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>

namespace audio {

namespace {

std::atomic<IAudioSink*> installedSink{nullptr};
std::mutex noticeLock;
NoticeFunction noticeFunction;

} // namespace

IAudioSink& AudioSink()
{
    static AlsaSink alsa;
    IAudioSink* sink = installedSink.load();
    return sink ? *sink : alsa;
}

void SetAudioSink(IAudioSink* sink)
{
    installedSink = sink;
}

void SetAudioNotice(NoticeFunction notice)
{
    std::lock_guard lock(noticeLock);
    noticeFunction = std::move(notice);
}

void AudioNotice(std::string_view text)
{
    std::lock_guard lock(noticeLock);
    if (noticeFunction)
        noticeFunction(text);
    else
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace audio
