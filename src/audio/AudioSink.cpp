#include "audio/AudioSink.h"

#include "audio/AlsaSink.h"
#include "audio/Installed.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace audio {

namespace {

TInstalled<IAudioSink> installedSink;
std::mutex noticeLock;
NoticeFunction noticeFunction;

} // namespace

IAudioSink& AudioSink()
{
    static AlsaSink alsa;
    return installedSink.Or(alsa);
}

void SetAudioSink(IAudioSink* sink)
{
    installedSink.Set(sink);
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
