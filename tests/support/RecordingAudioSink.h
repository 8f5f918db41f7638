// An audio sink that records what would be heard: each output opened, its
// format and the bytes written to it. Writes can be held until the test lets
// them go, so a sound can be caught while it plays. Installed for a scope.
#pragma once

#include "audio/AudioSink.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pendar::test {

class RecordingAudioSink final : public audio::IAudioSink {
public:
    struct Sound {
        audio::TWaveFormat format;
        std::string bytes;    // everything written
        int writes = 0;       // Write calls
        bool aborted = false; // cut off by the player
        bool closed = false;  // the output was released
    };

    RecordingAudioSink() { audio::SetAudioSink(this); }
    ~RecordingAudioSink() override { audio::SetAudioSink(nullptr); }
    RecordingAudioSink(const RecordingAudioSink&) = delete;
    RecordingAudioSink& operator=(const RecordingAudioSink&) = delete;

    std::unique_ptr<audio::IAudioOutput> Open(const audio::TWaveFormat& format) override
    {
        std::lock_guard lock(lock_);
        if (refuse)
            return nullptr;
        sounds_.push_back(std::make_shared<Sound>());
        sounds_.back()->format = format;
        return std::make_unique<Output>(*this, sounds_.back());
    }

    // While held, every Write waits (until released or aborted).
    void Hold()
    {
        std::lock_guard lock(lock_);
        held_ = true;
    }
    void Release()
    {
        std::lock_guard lock(lock_);
        held_ = false;
        changed_.notify_all();
    }
    // Waits until `writes` Write calls have begun in all.
    void WaitForWrites(int writes)
    {
        std::unique_lock lock(lock_);
        changed_.wait(lock, [&] { return writesBegun_ >= writes; });
    }
    // Waits until every output opened so far was released.
    void WaitAllClosed()
    {
        std::unique_lock lock(lock_);
        changed_.wait(lock, [&] {
            for (const auto& s : sounds_)
                if (!s->closed)
                    return false;
            return true;
        });
    }
    std::vector<Sound> Sounds()
    {
        std::lock_guard lock(lock_);
        std::vector<Sound> copy;
        for (const auto& s : sounds_)
            copy.push_back(*s);
        return copy;
    }

    bool refuse = false; // Open gives null (a format the device cannot play)

private:
    class Output final : public audio::IAudioOutput {
    public:
        Output(RecordingAudioSink& sink, std::shared_ptr<Sound> sound) : sink_(sink), sound_(std::move(sound)) {}
        ~Output() override
        {
            std::lock_guard lock(sink_.lock_);
            sound_->closed = true;
            sink_.changed_.notify_all();
        }
        bool Write(const uint8_t* bytes, size_t count) override
        {
            std::unique_lock lock(sink_.lock_);
            ++sound_->writes;
            ++sink_.writesBegun_;
            sink_.changed_.notify_all();
            sink_.changed_.wait(lock, [&] { return !sink_.held_ || sound_->aborted; });
            if (sound_->aborted)
                return false;
            sound_->bytes.append(reinterpret_cast<const char*>(bytes), count);
            return true;
        }
        void Drain() override {}
        void Abort() override
        {
            std::lock_guard lock(sink_.lock_);
            sound_->aborted = true;
            sink_.changed_.notify_all();
        }

    private:
        RecordingAudioSink& sink_;
        std::shared_ptr<Sound> sound_;
    };

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<Sound>> sounds_;
    bool held_ = false;
    int writesBegun_ = 0;
};

} // namespace pendar::test
