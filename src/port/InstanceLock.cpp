#include "port/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace port {

InstanceLock::~InstanceLock()
{
    Release();
}

std::string InstanceLock::LockPath(const std::string& folder, const std::string& name)
{
    return folder + "/" + name + ".lock";
}

InstanceLock::Result InstanceLock::Acquire(const std::string& folder, const std::string& name)
{
    Release();
    error_.clear();
    path_ = LockPath(folder, name);
    auto fail = [this](const std::string& what) {
        error_ = what;
        return Result::Failed;
    };
    // O_NONBLOCK: a FIFO planted under the name must not hang the start.
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == ELOOP)
            return fail(path_ + " is a symbolic link");
        return fail("cannot open " + path_ + ": " + std::strerror(errno));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return fail(path_ + " is not a regular file of this user");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return Result::HeldByMine;
        errno = err;
        return fail("cannot lock " + path_ + ": " + std::strerror(errno));
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceLock::Release()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace port
