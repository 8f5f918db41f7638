// The single-instance guard: an exclusive lock on a file named after the
// application in the user's runtime folder. The lock ends with the process,
// so a crashed instance never blocks the next start.
#pragma once

#include <string>

namespace port {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock `name`; false when another
    // process holds it (or the lock file cannot be made).
    bool Acquire(const std::string& name);
    void Release();

    // $XDG_RUNTIME_DIR/<name>.lock, or /tmp/<name>-<uid>.lock without it.
    static std::string LockPath(const std::string& name);

private:
    int fd_ = -1;
};

} // namespace port
