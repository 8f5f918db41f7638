// Reading entries: handles, memory streams and extraction to files.
#include "pack/Zopack.h"
#include "pack/ZopackMessages.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool IsCoded(int comp)
{
    return comp == zopack::kLunet || comp == zopack::kBrisca;
}

} // namespace

ZoFILE* TZoPack::ZofopenComp(std::string_view name, bool decode)
{
    return opened_ ? ZofopenIndex(CheckFileName(name), decode) : nullptr;
}

ZoFILE* TZoPack::ZofopenIndex(int index, bool decode)
{
    if (!EntryIsSound(index))
        return nullptr;
    const TZoFileTable3& r = directory_[static_cast<size_t>(index)];
    if (CrcMode == cmEachFile && r.crcflag && !EntryCrcMatches(r)) {
        ShowPackBroken();
        return nullptr;
    }
    auto handle = std::make_unique<ZoFILE>();
    handle->index = index;
    handle->offset = zopack::kHeaderSize + static_cast<int64_t>(r.offset);
    handle->size = r.size;
    handle->dsize = r.dsize;
    handle->comp = r.comp;
    if (decode && (IsCoded(r.comp) || r.comp == zopack::kComplement)) {
        auto memory = std::make_unique<TMemoryStream>();
        if (pack_->Seek(handle->offset, soFromBeginning) != handle->offset)
            return nullptr;
        bool ok = IsCoded(r.comp)
                      ? FileDecode(memory.get(), pack_, r.size, r.dsize, zopack::CodecOfMethod(r.comp))
                      : FileCopy(memory.get(), pack_, true, r.size).has_value();
        if (!ok)
            return nullptr; // never hand out bytes a decoder did not produce
        memory->Seek(0, soFromBeginning);
        handle->stream = std::move(memory);
    }
    return handle.release();
}

bool TZoPack::Zofclose(ZoFILE* handle)
{
    if (!handle)
        return false;
    delete handle;
    return true;
}

int TZoPack::Zofsize(ZoFILE* handle) const
{
    return opened_ && handle ? handle->size : 0;
}

int TZoPack::Zodsize(ZoFILE* handle) const
{
    return opened_ && handle ? handle->dsize : 0;
}

int TZoPack::ZoIsComp(ZoFILE* handle) const
{
    return opened_ && handle ? handle->comp : 0;
}

namespace {

// How far reads and seeks of a handle may go.
int64_t Bound(const ZoFILE& h)
{
    return h.comp == 0 || h.stream ? h.size : h.dsize;
}

int Clamp(int64_t pos, int64_t bound)
{
    return static_cast<int>(std::clamp<int64_t>(pos, 0, bound));
}

} // namespace

bool TZoPack::Zofseek(ZoFILE* handle, int offset, int origin)
{
    if (!opened_ || !handle)
        return false;
    int64_t bound = Bound(*handle);
    int64_t pos = handle->pos;
    if (origin == 0)
        pos = offset;
    else if (origin == 1)
        pos += offset;
    else if (origin == 2)
        pos = bound + offset;
    handle->pos = Clamp(pos, bound);
    return true;
}

bool TZoPack::Zofgetpos(ZoFILE* handle, int* out) const
{
    if (!opened_ || !handle || !out)
        return false;
    *out = handle->pos;
    return true;
}

bool TZoPack::Zofsetpos(ZoFILE* handle, const int* in)
{
    if (!opened_ || !handle || !in)
        return false;
    handle->pos = Clamp(*in, Bound(*handle));
    return true;
}

size_t TZoPack::Zofread(void* buf, unsigned size, unsigned count, ZoFILE* handle)
{
    if (!opened_ || !handle || size == 0)
        return 0;
    bool fromMemory = handle->comp != 0 && handle->stream;
    TStream* source = fromMemory ? handle->stream.get() : pack_;
    int64_t bound = handle->comp != 0 && !fromMemory ? handle->dsize : handle->size;
    handle->pos = static_cast<int>(std::min<int64_t>(handle->pos, bound));
    if (fromMemory) {
        source->Seek(handle->pos, soFromBeginning);
    } else {
        int64_t at = handle->offset + handle->pos;
        if (source->Position() != at && source->Seek(at, soFromBeginning) != at)
            return 0;
    }
    uint64_t want = static_cast<uint64_t>(size) * count;
    if (handle->pos + want > static_cast<uint64_t>(bound))
        count = static_cast<unsigned>((static_cast<uint64_t>(bound) - handle->pos) / size);
    if (count == 0)
        return 0;
    int64_t n = static_cast<int64_t>(size) * count;
    int got = 0;
    bool ok = StreamRead(source, buf, static_cast<int>(n), &got);
    handle->pos = static_cast<int>(handle->pos + n);
    return ok ? count : 0;
}

bool TZoPack::ZoIsCrc(ZoFILE* handle) const
{
    return handle && handle->index >= 0 && static_cast<size_t>(handle->index) < directory_.size() &&
           directory_[static_cast<size_t>(handle->index)].crcflag == 1;
}

unsigned short TZoPack::ZoGetCrc(ZoFILE* handle) const
{
    return handle && handle->index >= 0 && static_cast<size_t>(handle->index) < directory_.size()
               ? directory_[static_cast<size_t>(handle->index)].crc
               : 0;
}

bool TZoPack::ZoGetFileTime(ZoFILE* handle, FILETIME* out) const
{
    if (!handle || !out || handle->index < 0 || static_cast<size_t>(handle->index) >= directory_.size())
        return false;
    *out = directory_[static_cast<size_t>(handle->index)].time;
    return true;
}

std::unique_ptr<TMemoryStream> TZoPack::ZoMakeStream(std::string_view name)
{
    return opened_ ? ZoMakeStreamAt(CheckFileName(name)) : nullptr;
}

std::unique_ptr<TMemoryStream> TZoPack::ZoMakeStreamAt(int index)
{
    std::unique_ptr<ZoFILE> handle(ZofopenIndex(index, true));
    if (!handle)
        return nullptr;
    if (handle->stream) {
        handle->stream->Seek(0, soFromBeginning);
        return std::move(handle->stream);
    }
    auto memory = std::make_unique<TMemoryStream>();
    if (!memory->SetSize(handle->size))
        return nullptr;
    if (handle->size > 0 && Zofread(memory->Memory(), static_cast<unsigned>(handle->size), 1, handle.get()) != 1)
        return nullptr;
    memory->Seek(0, soFromBeginning);
    return memory;
}

bool TZoPack::OpenFile(const std::string& name)
{
    entryStream_.reset();
    fileName_ = name;
    if (name.empty())
        return true;
    entryStream_ = ZoMakeStream(name);
    if (!entryStream_) {
        fileName_.clear();
        return false;
    }
    return true;
}

void TZoPack::CloseFile()
{
    entryStream_.reset();
    fileName_.clear();
}

bool TZoPack::ZofopenToStream(TStream* out, std::string_view name, bool decode)
{
    int index = opened_ && out ? CheckFileName(name) : -1;
    if (index < 0 || !EntryIsSound(index))
        return false;
    const TZoFileTable3& r = directory_[static_cast<size_t>(index)];
    if (CrcMode == cmEachFile && r.crcflag && !EntryCrcMatches(r)) {
        ShowPackBroken();
        return false;
    }
    int64_t at = zopack::kHeaderSize + static_cast<int64_t>(r.offset);
    if (out->Seek(0, soFromBeginning) != 0 || pack_->Seek(at, soFromBeginning) != at)
        return false;
    bool ok;
    if (decode && IsCoded(r.comp))
        ok = FileDecode(out, pack_, r.size, r.dsize, zopack::CodecOfMethod(r.comp));
    else if (decode && r.comp == zopack::kComplement)
        ok = FileCopy(out, pack_, true, r.size).has_value();
    else
        ok = FileCopy(out, pack_, false, r.comp == 0 ? r.size : r.dsize).has_value();
    out->Seek(0, soFromBeginning);
    return ok;
}

bool TZoPack::GetFile(const std::string& destPath, std::string_view name)
{
    if (!opened_ || CheckFileName(name) < 0)
        return false;
    auto file = TFileStream::Open(destPath, fmCreate);
    if (!file || !ZofopenToStream(file.get(), name, true))
        return false;
    file.reset();
    FILETIME time;
    if (!GetFileTime(CheckFileName(name), &time))
        return true; // a deleted entry has no time of its own
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = zopack::UnixFromFileTime(time);
    return ::utimensat(AT_FDCWD, destPath.c_str(), times, 0) == 0;
}
