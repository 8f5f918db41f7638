#include "audio/WaveOutDevice.h"

namespace audio {

bool TWaveOutDevice::Open(IAudioSink& sink, const TWaveFormat& format, Completion done, bool releaseWhenIdle)
{
    Close();
    output_ = sink.Open(format);
    if (!output_)
        return false;
    done_ = std::move(done);
    closing_ = false;
    releaseWhenIdle_ = releaseWhenIdle;
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool TWaveOutDevice::Write(TWaveHeader* header)
{
    std::lock_guard lock(lock_);
    if (!output_ || closing_)
        return false;
    queue_.push_back(header);
    wake_.notify_one();
    return true;
}

void TWaveOutDevice::Close()
{
    {
        std::lock_guard lock(lock_);
        closing_ = true;
        if (output_)
            output_->Abort();
        wake_.notify_one();
    }
    if (thread_.joinable())
        thread_.join();
    std::lock_guard lock(lock_);
    queue_.clear();
    output_.reset();
    done_ = nullptr;
}

void TWaveOutDevice::Run()
{
    for (;;) {
        TWaveHeader* header = nullptr;
        {
            std::unique_lock lock(lock_);
            wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (closing_)
                return;
            header = queue_.front();
            queue_.pop_front();
        }
        output_->Write(header->data, header->length);
        bool idle = false;
        {
            std::lock_guard lock(lock_);
            if (closing_)
                return;
            idle = queue_.empty();
        }
        // Nothing queued behind it: the block is done when it has been
        // heard, not when the device took it.
        if (idle)
            output_->Drain();
        {
            std::lock_guard lock(lock_);
            if (closing_)
                return;
        }
        done_(header);
        if (releaseWhenIdle_) {
            std::lock_guard lock(lock_);
            if (queue_.empty()) {
                output_.reset();
                return;
            }
        }
    }
}

} // namespace audio
