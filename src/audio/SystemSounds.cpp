#include "audio/SystemSounds.h"

#include "audio/Installed.h"

#include <canberra.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>

namespace audio {

namespace {

constexpr uint32_t kSoundId = 1;

bool IsFile(const std::string& name)
{
    struct stat st {};
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class CanberraSounds final : public ISystemSounds {
public:
    ~CanberraSounds() override
    {
        if (context_)
            ca_context_destroy(context_);
    }

    bool Play(const std::string& name, bool wait) override
    {
        ca_context* context = Context();
        if (!context)
            return false;
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return false;
        if (IsFile(name))
            ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, name.c_str());
        else
            ca_proplist_sets(props, CA_PROP_EVENT_ID, SystemSoundEvent(name));
        uint64_t number = 0;
        {
            std::lock_guard count(countLock_);
            number = ++started_;
        }
        // No lock is held here: the callback may run before this returns.
        int rc = ca_context_play_full(context, kSoundId, props, Finished, this);
        ca_proplist_destroy(props);
        std::unique_lock count(countLock_);
        if (rc != CA_SUCCESS) {
            finished_ = std::max(finished_, number); // no sound to wait for
            return false;
        }
        if (wait)
            done_.wait(count, [&] { return finished_ >= number; });
        return true;
    }

    void Stop() override
    {
        std::lock_guard lock(lock_);
        if (context_)
            ca_context_cancel(context_, kSoundId);
    }

private:
    // Every sound started, also one cancelled, ends with this callback (on
    // libcanberra's thread).
    static void Finished(ca_context*, uint32_t, int, void* userdata)
    {
        auto* self = static_cast<CanberraSounds*>(userdata);
        std::lock_guard count(self->countLock_);
        ++self->finished_;
        self->done_.notify_all();
    }

    // Made on first use; null (and not tried again) where there is no
    // sound server or device.
    ca_context* Context()
    {
        std::lock_guard lock(lock_);
        if (context_ || tried_)
            return context_;
        tried_ = true;
        ca_context* c = nullptr;
        if (ca_context_create(&c) != CA_SUCCESS)
            return nullptr;
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Pendar", nullptr);
        if (ca_context_open(c) != CA_SUCCESS) {
            ca_context_destroy(c);
            return nullptr;
        }
        context_ = c;
        return context_;
    }

    std::mutex lock_;
    ca_context* context_ = nullptr;
    bool tried_ = false;
    std::mutex countLock_;
    std::condition_variable done_;
    uint64_t started_ = 0;
    uint64_t finished_ = 0;
};

TInstalled<ISystemSounds> installed;

} // namespace

const char* SystemSoundEvent(const std::string& name)
{
    if (name == "SystemAsterisk")
        return "dialog-information";
    if (name == "SystemExclamation")
        return "dialog-warning";
    if (name == "SystemHand")
        return "dialog-error";
    if (name == "SystemQuestion")
        return "dialog-question";
    return "bell";
}

ISystemSounds& SystemSounds()
{
    static CanberraSounds canberra;
    return installed.Or(canberra);
}

void SetSystemSounds(ISystemSounds* sounds)
{
    installed.Set(sounds);
}

} // namespace audio
