#include "port/UserFile.h"

#include "port/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace port {

namespace {

// More links than anyone chains by hand; past it the chain counts as a loop.
constexpr int kMaxLinks = 16;

UserFile Refuse(std::string path, std::string reason)
{
    return {FileCheck::Refused, std::move(path), std::move(reason)};
}

UserFile Fail(std::string path, const std::string& what)
{
    return {FileCheck::Failed, std::move(path), what + ": " + std::strerror(errno)};
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

UserFile FollowUserLinks(const std::string& path)
{
    const uid_t me = ::geteuid();
    std::string at = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) {
            // A name under a non-folder cannot exist either.
            if (errno != ENOENT && errno != ENOTDIR)
                return Fail(at, "cannot look at " + at);
            if (hops == 0)
                return {FileCheck::Missing, at, {}};
            return Refuse(at, "the symbolic link " + path + " points to nothing");
        }
        if (S_ISREG(st.st_mode))
            return {FileCheck::Usable, at, {}};
        if (!S_ISLNK(st.st_mode))
            return Refuse(at, at + " is not a regular file");
        if (st.st_uid != me)
            return Refuse(at, "the symbolic link " + at + " belongs to another user");
        if (hops == kMaxLinks)
            return Refuse(at, "too many symbolic links from " + path);
        char buf[4096];
        ssize_t n = ::readlink(at.c_str(), buf, sizeof buf);
        if (n < 0)
            return Fail(at, "cannot read the symbolic link " + at);
        if (static_cast<size_t>(n) == sizeof buf)
            return Refuse(at, "the symbolic link " + at + " is too long");
        std::string target(buf, static_cast<size_t>(n));
        at = target.front() == '/' ? target : FolderOf(at) + "/" + target;
    }
}

UserFile ReplaceTarget(const std::string& path)
{
    UserFile f = FollowUserLinks(path);
    if (f.state != FileCheck::Usable)
        return f;
    struct stat st {};
    if (::lstat(f.path.c_str(), &st) != 0)
        return Fail(f.path, "cannot look at " + f.path);
    if (st.st_uid != ::geteuid())
        return Refuse(f.path, f.path + " belongs to another user");
    if ((st.st_mode & S_IWUSR) == 0)
        return Refuse(f.path, f.path + " is read-only");
    return f;
}

ReadResult ReadUserFile(const std::string& path, size_t cap, std::string* bytes, std::string* reason)
{
    bytes->clear();
    UserFile f = FollowUserLinks(path);
    if (f.state == FileCheck::Missing)
        return ReadResult::Missing;
    if (f.state != FileCheck::Usable) {
        *reason = f.reason;
        return ReadResult::Unreadable;
    }
    auto unreadable = [&](const std::string& what) {
        *reason = what + ": " + std::strerror(errno);
        return ReadResult::Unreadable;
    };
    // No following and no waiting: whatever replaced the checked file in the
    // meantime is read only if it is still a regular file.
    int fd = ::open(f.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return unreadable("cannot open " + f.path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *reason = f.path + " is not a regular file";
        return ReadResult::Unreadable;
    }
    if (static_cast<uint64_t>(st.st_size) > cap) {
        ::close(fd);
        *reason = f.path + " is larger than " + std::to_string(cap) + " bytes";
        return ReadResult::Unreadable;
    }
    std::string text(static_cast<size_t>(st.st_size) + 1, '\0'); // one more byte sees growth
    size_t done = 0;
    for (;;) {
        if (done == text.size()) {
            if (text.size() > cap) {
                ::close(fd);
                *reason = f.path + " is larger than " + std::to_string(cap) + " bytes";
                return ReadResult::Unreadable;
            }
            text.resize(std::min(cap + 1, text.size() * 2));
        }
        ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ReadResult r = unreadable("cannot read " + f.path);
            ::close(fd);
            return r;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(done);
    *bytes = std::move(text);
    return ReadResult::Read;
}

void RemoveStaleTemporaries(const std::string& path)
{
    UserFile f = FollowUserLinks(path);
    if (f.state == FileCheck::Refused || f.state == FileCheck::Failed)
        return;
    const std::string prefix = NameOf(f.path) + std::string(kTemporaryInfix);
    int dirFd = ::open(FolderOf(f.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    const uid_t me = ::geteuid();
    while (const struct dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() != prefix.size() + kTemporaryRandomLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        struct stat st {};
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == me)
            ::unlinkat(dirFd, name.c_str(), 0);
    }
    ::closedir(dir);
}

} // namespace port
