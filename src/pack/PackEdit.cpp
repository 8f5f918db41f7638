#include "pack/PackEdit.h"

#include "pack/PackVerify.h"
#include "platform/FileTests.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pendar {

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CopyInto(int fd, const std::string& from)
{
    auto source = TFileStream::Open(from, fmOpenRead);
    if (!source)
        return false;
    char buf[65536];
    for (;;) {
        int64_t n = source->Read(buf, sizeof buf);
        if (n == 0)
            return true;
        for (int64_t done = 0; done < n;) {
            ssize_t w = ::write(fd, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
}

} // namespace

bool EditPack(const std::string& path, PackStart start, const std::function<bool(TZoPack&, std::string&)>& edit,
              std::string& error)
{
    bool exists = FileIsExist(path.c_str());
    if (start == PackStart::Existing && !exists) {
        error = "no such pack";
        return false;
    }
    bool fromOld = exists && start != PackStart::New;
    std::string work = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(work.data());
    if (fd < 0) {
        error = std::string("cannot create a file beside the pack: ") + std::strerror(errno);
        return false;
    }
    struct stat st {};
    mode_t mode = exists && ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    bool copied = ::fchmod(fd, mode) == 0 && (!fromOld || CopyInto(fd, path));
    ::close(fd);
    auto abandon = [&](const std::string& why) {
        ::unlink(work.c_str());
        error = why;
        return false;
    };
    if (!copied)
        return abandon("cannot copy the pack");

    {
        TZoPack pack;
        pack.SetReadOnly(false);
        pack.CrcMode = cmPackAll;
        if (fromOld && !pack.LoadPack(work)) {
            std::string why = LoadProblem(work);
            return abandon(why.empty() ? "pack CRC mismatch" : why);
        }
        if (!fromOld && !pack.NewPack(work))
            return abandon("cannot create the pack");
        std::string why;
        if (!edit(pack, why)) {
            pack.EndPack();
            return abandon(why.empty() ? "the change failed" : why);
        }
        if (!pack.EndPack())
            return abandon("cannot write the pack");
    }
    if (::rename(work.c_str(), path.c_str()) != 0)
        return abandon(std::string("cannot replace the pack: ") + std::strerror(errno));
    int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace pendar
