// A process-wide service that tests may replace: the one installed, else the
// given default.
#pragma once

#include <atomic>

namespace audio {

template <typename T>
class TInstalled {
public:
    T& Or(T& fallback) const
    {
        T* installed = installed_.load();
        return installed ? *installed : fallback;
    }
    void Set(T* service) { installed_ = service; }

private:
    std::atomic<T*> installed_{nullptr};
};

} // namespace audio
