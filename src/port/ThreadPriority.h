// The GUI thread runs below normal priority while the clock idles.
#pragma once

namespace port {

class IThreadPriority {
public:
    virtual ~IThreadPriority() = default;
    virtual void Lower() = 0;
    virtual void Restore() = 0;
};

// setpriority on the calling thread: Lower adds a nice step; Restore takes
// it back where the system allows it (an unprivileged process may not).
class ThreadPriority final : public IThreadPriority {
public:
    void Lower() override;
    void Restore() override;

private:
    bool lowered_ = false;
    int before_ = 0;
};

} // namespace port
