// The single-instance guard: an exclusive lock on a file named after the
// application in a folder only this user can change (the runtime folder, or
// one under the cache folder). The lock ends with the process, so a crashed
// instance never blocks the next start.
#pragma once

#include "port/PrivateFolder.h"

#include <string>

namespace port {

class InstanceLock {
public:
    enum class Result {
        Acquired,   // this process is the instance now
        HeldByMine, // another process of this user holds it
        Failed,     // no lock could be made: Error() says why
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock `name` in `folder` (a private folder): the file is
    // opened without following a symbolic link and must be this user's own
    // regular file.
    Result Acquire(const std::string& folder, const std::string& name);
    void Release();

    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }

    static std::string LockPath(const std::string& folder, const std::string& name);

private:
    int fd_ = -1;
    std::string path_;
    std::string error_;
};

} // namespace port
