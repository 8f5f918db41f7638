// Building and changing packs: new data goes behind the data area, and the
// directory and pack CRC are written by EndPack. No addition ever records an
// entry that cannot be read back, and a failed one leaves the file on disk
// byte for byte as it was.
#include "pack/Zopack.h"
#include "pack/ZopackMessages.h"
#include "platform/FileTests.h"
#include "port/MessageBoxes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool UsesEncoder(int method)
{
    return method == pmLunet || method == pmBrisca || method == pmBriscaLE || method == pmBriscaMini;
}

// Removes the temporary file of an addition however it ends.
struct TempFile {
    std::string path;
    std::unique_ptr<TFileStream> stream;
    ~TempFile()
    {
        stream.reset();
        if (!path.empty())
            std::remove(path.c_str());
    }
};

} // namespace

bool TZoPack::NewPack(const std::string& path)
{
    if (readOnly_)
        return false;
    EndPack();
    auto file = TFileStream::Open(path, fmCreate);
    if (!file)
        return false;
    unsigned char header[zopack::kHeaderSize] = {'Z', 'o', 'P', 'a', 'c', 'k', 0x00, 0x03};
    if (file->Write(header, sizeof header) != static_cast<int64_t>(sizeof header))
        return false;
    ownedPack_ = std::move(file);
    pack_ = ownedPack_.get();
    version_ = zopack::kVersion3;
    total_ = 0;
    directory_.clear();
    modified_ = true;
    opened_ = true;
    packName_ = path;
    return true;
}

bool TZoPack::MakeTempFile(std::string& out)
{
    std::error_code ec;
    std::string folder = std::filesystem::temp_directory_path(ec).string();
    if (ec)
        folder = "/tmp";
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    for (int i = 0; i < 1000; ++i) {
        char leaf[32];
        std::snprintf(leaf, sizeof leaf, "ZoTmp%03d.ZoPack", i);
        std::string path = folder + leaf;
        if (FileIsExist(path.c_str()))
            continue;
        // Created exclusively, so that two pack builders never share one.
        int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            out = path;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TZoPack::NameIsFree(std::string_view name) const
{
    if (name.empty() || name.size() > static_cast<size_t>(zopack::kLongestName) ||
        name.find('\0') != std::string_view::npos)
        return false;
    // The stored name is cut: it must not meet an entry either, or the new
    // entry could never be found.
    TZoFileTable3 stored;
    zopack::SplitName(stored, name);
    return CheckFileName(name) < 0 && CheckFileName(stored.ComposedName()) < 0;
}

void TZoPack::ReportAddError(const std::string& text)
{
    port::MessageBoxes().Show(text, zopack::ErrorCaption(), port::MessageButtons::Ok, port::MessageIcon::Error);
}

bool TZoPack::Pad(int64_t stored)
{
    static const unsigned char zeros[zopack::kDataAlign] = {};
    int64_t pad = zopack::Padded(stored) - stored;
    return pad == 0 || StreamWrite(pack_, zeros, static_cast<int>(pad), nullptr);
}

bool TZoPack::StoreEntry(TZoFileTable3 record, const std::function<std::optional<unsigned short>()>& copy)
{
    int64_t at = zopack::kHeaderSize + static_cast<int64_t>(total_);
    int64_t padded = zopack::Padded(record.dsize);
    if (record.dsize < 0 || static_cast<int64_t>(total_) + padded > INT32_MAX)
        return false;
    // The stored bytes go where a loaded pack keeps its directory and CRC:
    // keep what they write over, so that a failed copy can put it back and
    // the file on disk stays the pack it was.
    int64_t fileSize = pack_->Size();
    if (fileSize < at)
        return false;
    std::vector<unsigned char> kept;
    try {
        kept.resize(static_cast<size_t>(std::min(fileSize - at, padded)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!kept.empty() && (pack_->Seek(at, soFromBeginning) != at ||
                          !StreamRead(pack_, kept.data(), static_cast<int>(kept.size()), nullptr)))
        return false;
    std::optional<unsigned short> crc;
    if (pack_->Seek(at, soFromBeginning) == at)
        crc = copy();
    if (!crc || !Pad(record.dsize)) {
        bool restored = pack_->Seek(at, soFromBeginning) == at &&
                        (kept.empty() || StreamWrite(pack_, kept.data(), static_cast<int>(kept.size()), nullptr)) &&
                        pack_->SetSize(fileSize);
        // Not put back: the directory held in memory is written at the end
        // instead, so that the pack is whole again if it can be.
        if (!restored)
            modified_ = true;
        return false;
    }
    record.crc = *crc;
    directory_.push_back(record);
    total_ = static_cast<int32_t>(total_ + padded);
    modified_ = true;
    return true;
}

bool TZoPack::AddFile(std::string_view name, const std::string& path, int method, bool smart)
{
    if (readOnly_)
        return false;
    if (!opened_)
        return true;
    if (!NameIsFree(name)) {
        ReportAddError(zopack::BadNameText(name));
        return false;
    }
    auto source = TFileStream::Open(path, fmOpenRead);
    struct stat st {};
    if (!source || ::fstat(source->Handle(), &st) != 0 || st.st_size > INT_MAX) {
        ReportAddError(zopack::CannotOpenText(path));
        return false;
    }
    TZoFileTable3 record;
    MakeFTName(record, name);
    record.offset = total_;
    record.size = static_cast<int32_t>(st.st_size);
    record.time = zopack::FileTimeFromUnix(st.st_mtim);
    if (record.size == 0)
        method = pmStored;

    TempFile temp;
    int comp = method;
    int64_t coded = 0;
    if (UsesEncoder(method)) {
        if (!MakeTempFile(temp.path)) {
            ReportAddError(zopack::NoTempFileText());
            return false;
        }
        temp.stream = TFileStream::Open(temp.path, fmOpenReadWrite);
        if (!temp.stream) {
            ReportAddError(zopack::CannotOpenText(temp.path));
            return false;
        }
        coded = FileEncode(temp.stream.get(), source.get(), zopack::CodecOfMethod(method), record.size);
        comp = method == pmLunet ? zopack::kLunet : zopack::kBrisca;
        if (coded > 0 && (!smart || coded < record.size)) {
            if (temp.stream->Seek(0, soFromBeginning) != 0)
                return false;
        } else if (smart) {
            comp = pmStored; // coding does not pay, or failed
            if (source->Seek(0, soFromBeginning) != 0)
                return false;
        } else {
            return false; // the encoder failed: record nothing
        }
    }
    record.comp = static_cast<int8_t>(comp);
    record.crcflag = 1;
    bool fromTemp = comp == zopack::kLunet || comp == zopack::kBrisca;
    record.dsize = fromTemp ? static_cast<int32_t>(coded) : record.size;
    TStream* from = fromTemp ? temp.stream.get() : source.get();
    bool complement = comp == zopack::kComplement;
    return StoreEntry(record, [&] { return FileCopy(pack_, from, complement, record.dsize); });
}

std::optional<unsigned short> TZoPack::PackCopy(TStream* out, TZoPack* source, ZoFILE* handle, int count)
{
    if (!source || !handle)
        return std::nullopt;
    return CopyPieces(out, false, count, [source, handle](unsigned char* buf, int len) {
        return source->Zofread(buf, 1, static_cast<unsigned>(len), handle) == static_cast<size_t>(len);
    });
}

bool TZoPack::AddPack(std::string_view name, TZoPack* source, std::string_view sourceName)
{
    if (readOnly_ || !opened_ || !source || source == this || !NameIsFree(name))
        return false;
    std::unique_ptr<ZoFILE> handle(source->ZofopenComp(sourceName, false));
    if (!handle)
        return false;
    TZoFileTable3 record;
    MakeFTName(record, name);
    record.offset = total_;
    record.size = source->Zofsize(handle.get());
    record.dsize = source->Zodsize(handle.get());
    record.comp = static_cast<int8_t>(source->ZoIsComp(handle.get()));
    source->ZoGetFileTime(handle.get(), &record.time);
    record.crcflag = 1;
    source->Zofseek(handle.get(), 0, 0);
    return StoreEntry(record, [&] { return PackCopy(pack_, source, handle.get(), record.dsize); });
}

bool TZoPack::DelFile(std::string_view name)
{
    if (readOnly_ || !opened_ || name.empty())
        return false;
    int index = CheckFileName(name);
    if (index < 0)
        return false;
    TZoFileTable3& record = directory_[static_cast<size_t>(index)];
    std::memset(record.name, 0, sizeof record.name);
    std::memset(record.ext, 0, sizeof record.ext);
    modified_ = true;
    return true;
}
