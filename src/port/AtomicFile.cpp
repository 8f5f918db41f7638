#include "port/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace port {

namespace {

bool Fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode, std::string* error)
{
    std::string folder = FolderOf(path);
    std::string tmp = path + std::string(kTemporaryInfix) + std::string(kTemporaryRandomLength, 'X');
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return Fail(error, "cannot create a file in " + folder);
    auto abandon = [&](const std::string& what) {
        int saved = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        errno = saved;
        return Fail(error, what);
    };
    if (::fchmod(fd, mode) != 0)
        return abandon("cannot set the mode of " + tmp);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon("cannot write " + tmp);
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return abandon("cannot flush " + tmp);
    if (::close(fd) != 0) {
        ::unlink(tmp.c_str());
        return Fail(error, "cannot close " + tmp);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return Fail(error, "cannot replace " + path);
    }
    // Make the rename itself durable.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace port
