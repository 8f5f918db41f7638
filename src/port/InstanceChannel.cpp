#include "port/InstanceChannel.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace port {

namespace {

// The socket's address; false when the path does not fit one.
bool Address(const std::string& path, sockaddr_un* addr, std::string* error)
{
    *addr = {};
    addr->sun_family = AF_UNIX;
    if (path.size() >= sizeof addr->sun_path) {
        *error = path + " is too long for a socket";
        return false;
    }
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// The socket `path` names, when it is this user's, and a fresh socket
// for it; -1 with `error` set otherwise. `missingOk`: nothing there yet
// is fine (the listener makes it).
int OpenFor(const std::string& path, bool missingOk, sockaddr_un* addr, std::string* error)
{
    if (!Address(path, addr, error))
        return -1;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 ? !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid() : !missingOk) {
        *error = path + " is not a socket of this user";
        return -1;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        *error = std::string("cannot make a socket: ") + std::strerror(errno);
    return fd;
}

bool FromThisUser(int fd)
{
    struct ucred cred {};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

} // namespace

InstanceChannel::~InstanceChannel()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
}

std::string InstanceChannel::SocketPath(const std::string& folder, const std::string& name)
{
    return folder + "/" + name + ".sock";
}

bool InstanceChannel::Listen(const std::string& folder, const std::string& name, std::string* error)
{
    std::string path = SocketPath(folder, name);
    sockaddr_un addr;
    int fd = OpenFor(path, true, &addr, error);
    if (fd < 0)
        return false;
    ::unlink(path.c_str()); // a stale socket: the caller holds the lock
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::chmod(path.c_str(), 0600) != 0 ||
        ::listen(fd, 8) != 0) {
        *error = "cannot listen on " + path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    return true;
}

bool InstanceChannel::TakeKnocks()
{
    bool knocked = false;
    for (;;) {
        int peer = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (peer < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return knocked;
        }
        knocked = FromThisUser(peer) || knocked;
        ::close(peer);
    }
}

bool InstanceChannel::Knock(const std::string& folder, const std::string& name, std::string* error)
{
    std::string path = SocketPath(folder, name);
    sockaddr_un addr;
    // Non-blocking: a full backlog must not hold the second start up.
    int fd = OpenFor(path, false, &addr, error);
    if (fd < 0)
        return false;
    bool reached = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (!reached)
        *error = "cannot reach " + path + ": " + std::strerror(errno);
    else if (!FromThisUser(fd)) {
        *error = path + " is held by another user";
        reached = false;
    }
    ::close(fd);
    return reached;
}

} // namespace port
