#include "port/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

int64_t TStream::Size()
{
    int64_t pos = Seek(0, soFromCurrent);
    int64_t end = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return end;
}

bool TStream::SetSize(int64_t)
{
    return false;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || Read(buffer, count) != count)
        throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || Write(buffer, count) != count)
        throw EStreamError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        throw EStreamError("Stream read error");
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(count, 64 * 1024)));
    int64_t done = 0;
    while (done < count) {
        int64_t n = std::min<int64_t>(count - done, static_cast<int64_t>(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        done += n;
    }
    return done;
}

TMemoryStream::TMemoryStream(const void* bytes, size_t size)
    : data_(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size)
{
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    int64_t size = Size();
    if (count <= 0 || pos_ >= size)
        return 0;
    int64_t n = std::min(count, size - pos_);
    std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    int64_t end = pos_ + count;
    if (end > Size() && !SetSize(end))
        return 0;
    std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
    pos_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? pos_ : Size();
    int64_t target = base + offset;
    if (target < 0)
        return -1;
    pos_ = target;
    return pos_;
}

bool TMemoryStream::SetSize(int64_t size)
{
    if (size < 0 || static_cast<uint64_t>(size) > data_.max_size())
        return false;
    try {
        data_.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    pos_ = std::min(pos_, size);
    return true;
}

void TMemoryStream::Clear()
{
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
}

bool TMemoryStream::LoadFromStream(TStream& source)
{
    int64_t size = source.Size();
    if (size < 0 || !source.SetPosition(0) || !SetSize(size))
        return false;
    pos_ = 0;
    if (size > 0 && source.Read(data_.data(), size) != size) {
        Clear();
        return false;
    }
    return true;
}

bool TMemoryStream::LoadFromFile(const std::string& path)
{
    auto file = TFileStream::Open(path, fmOpenRead);
    return file && LoadFromStream(*file);
}

bool TMemoryStream::SaveToFile(const std::string& path) const
{
    auto file = TFileStream::Open(path, fmCreate);
    return file && file->Write(data_.data(), static_cast<int64_t>(data_.size())) == static_cast<int64_t>(data_.size());
}

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, TFileMode mode,
                                               std::string* errorText)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    case fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        if (errorText)
            *errorText = std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (errorText)
            *errorText = "Is a directory";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TFileStream>(new TFileStream(fd, path));
}

TFileStream::~TFileStream()
{
    ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(fd_, p + done, static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    int64_t done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(fd_, p + done, static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int whence = origin == soFromBeginning ? SEEK_SET : origin == soFromCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t TFileStream::Size()
{
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

bool TFileStream::SetSize(int64_t size)
{
    return size >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool TFileStream::Sync()
{
    return ::fsync(fd_) == 0;
}
