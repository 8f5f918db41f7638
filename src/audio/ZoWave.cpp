#include "audio/ZoWave.h"

#include "audio/AudioSink.h"
#include "audio/SystemSounds.h"
#include "port/Stream.h"

#include <algorithm>
#include <cstring>

using audio::TWaveHeader;

void TZoWave::SetPlayMode(int mode)
{
    if (mode == pmHigh || mode == pmLow)
        playMode_ = static_cast<TPlayMode>(mode);
}

void TZoWave::SetSyncMode(int mode)
{
    if (mode == smSync || mode == smASync)
        syncMode_ = static_cast<TSyncMode>(mode);
}

bool TZoWave::Play(TStream* stream)
{
    Stop();
    if (!stream)
        return false;
    try {
        int64_t size = stream->Size();
        // Capped before anything is allocated.
        if (size <= 0 || size > audio::kMaxWaveBytes || stream->Seek(0, soFromBeginning) != 0)
            return false;
        image_.resize(static_cast<size_t>(size));
        stream->ReadBuffer(image_.data(), size);
    } catch (...) {
        Stop();
        return false;
    }
    return PlayImage();
}

bool TZoWave::Play(const std::string& path)
{
    // A file that cannot be opened changes nothing: a sound that plays goes on.
    std::unique_ptr<TFileStream> file = TFileStream::Open(path, fmOpenRead);
    if (!file)
        return false;
    return Play(file.get());
}

bool TZoWave::PlayDef(const char* name)
{
    Stop();
    return audio::SystemSounds().Play(name ? name : "", syncMode_ == smSync);
}

bool TZoWave::PlayImage()
{
    bool ok = playMode_ == pmHigh ? PlayBufferPlaySound() : PlayBufferWaveOut();
    // A synchronous or failed play leaves nothing held.
    if (syncMode_ == smSync || !ok)
        Stop();
    return ok;
}

void TZoWave::Stop()
{
    playing_ = false;
    playing_.notify_all();
    // Closing joins the audio thread; no lock is held meanwhile, so a
    // completion waiting for the stop lock can finish first.
    if (deviceOpen_) {
        device_.Close();
        deviceOpen_ = false;
    }
    player_.Stop();
    audio::SystemSounds().Stop();
    std::lock_guard lock(stopLock_);
    for (auto& h : headers_)
        h = TWaveHeader{};
    for (auto& b : buffers_)
        std::vector<uint8_t>().swap(b);
    std::vector<uint8_t>().swap(image_);
    layout_.reset();
    queued_ = 0;
}

bool TZoWave::GetFormatInfo()
{
    layout_ = audio::ParseWave(image_.data(), image_.size());
    return layout_.has_value();
}

bool TZoWave::MakeNextBlock(TWaveHeader* header)
{
    if (!layout_ || queued_ >= layout_->dataBytes)
        return false;
    size_t rest = layout_->dataBytes - queued_;
    size_t count = std::min<size_t>(rest, kBlockBytes);
    std::memcpy(header->data, image_.data() + layout_->dataOffset + queued_, count);
    header->length = static_cast<uint32_t>(count);
    header->user = rest > kBlockBytes ? 0 : 1;
    queued_ += count;
    return true;
}

bool TZoWave::PlayBufferPlaySound()
{
    return player_.PlayImage(image_.data(), image_.size(), syncMode_ == smSync);
}

bool TZoWave::PlayBufferWaveOut()
{
    if (!GetFormatInfo())
        return false;
    for (size_t i = 0; i < headers_.size(); ++i) {
        buffers_[i].assign(kBlockBytes, 0);
        headers_[i] = TWaveHeader{buffers_[i].data(), kBlockBytes, 0, 0, 0};
    }
    if (!device_.Open(audio::AudioSink(), layout_->format, [this](TWaveHeader* h) { BlockDone(h); }))
        return false;
    deviceOpen_ = true;
    queued_ = 0;
    MakeNextBlock(&headers_[0]);
    MakeNextBlock(&headers_[1]);
    {
        // No completion is handled before both blocks are queued.
        std::lock_guard lock(callbackLock_);
        playing_ = true;
        if (!device_.Write(&headers_[0]))
            return false;
        if (headers_[0].user != 1 && !device_.Write(&headers_[1]))
            return false;
    }
    if (syncMode_ == smSync)
        playing_.wait(true);
    return true;
}

void TZoWave::BlockDone(TWaveHeader* header)
{
    std::lock_guard lock(callbackLock_);
    if (inCallback_ || !playing_)
        return;
    inCallback_ = true;
    bool ended = false;
    if (header->user == 0) {
        std::lock_guard stop(stopLock_);
        if (MakeNextBlock(header) && !device_.Write(header))
            ended = true;
    } else {
        ended = true; // the last block was heard
    }
    if (ended) {
        playing_ = false;
        playing_.notify_all();
        CallBackEnd();
    }
    inCallback_ = false;
}

void TZoWave::CallBackEnd()
{
    if (OnCallBackEnd)
        OnCallBackEnd(this);
}
