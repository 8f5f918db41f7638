// Opening, loading and committing a pack.
#include "pack/Codec.h"
#include "pack/Zopack.h"
#include "pack/ZopackMessages.h"
#include "port/MessageBoxes.h"

#include <cstring>
#include <new>

namespace {

constexpr int64_t kCrcPiece = 1048576;

bool ReadExact(TStream* s, void* buf, int64_t n)
{
    try {
        return s->Read(buf, n) == n;
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteExact(TStream* s, const void* buf, int64_t n)
{
    try {
        return s->Write(buf, n) == n;
    } catch (const std::exception&) {
        return false;
    }
}

int32_t Le32(const unsigned char* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

void ShowPackBroken()
{
    port::MessageBoxes().Show(zopack::PackBrokenText(), zopack::CrcErrorCaption(), port::MessageButtons::Ok,
                              port::MessageIcon::Error);
}

TZoPack::TZoPack() = default;

TZoPack::~TZoPack()
{
    EndPack();
}

void TZoPack::SetReadOnly(bool value)
{
    if (!opened_ && !pack_)
        readOnly_ = value;
}

void TZoPack::CallBackProgress(int percent)
{
    progress_ = percent;
    if (OnProgress)
        OnProgress(*this);
}

bool TZoPack::OpenPack(const std::string& path)
{
    if (path.empty()) {
        EndPack();
        return true;
    }
    return LoadPack(path);
}

bool TZoPack::LoadPack(const std::string& path)
{
    EndPack();
    std::unique_ptr<TFileStream> file;
    try {
        file = TFileStream::Open(path, readOnly_ ? fmOpenRead : fmOpenReadWrite);
    } catch (const std::exception&) {
        return false;
    }
    if (!file)
        return false;
    ownedPack_ = std::move(file);
    pack_ = ownedPack_.get();
    if (!LoadMain()) {
        pack_ = nullptr;
        ownedPack_.reset();
        return false;
    }
    packName_ = path;
    return true;
}

bool TZoPack::LoadPackStream(TStream* stream)
{
    EndPack();
    if (!readOnly_ || !stream)
        return false;
    pack_ = stream;
    if (!LoadMain()) {
        pack_ = nullptr;
        return false;
    }
    packName_.clear();
    return true;
}

bool TZoPack::PackCrc(int64_t length, unsigned short* out)
{
    CallBackProgress(0);
    if (pack_->Seek(0, soFromBeginning) != 0)
        return false;
    return CrcStreamPieces(pack_, length, kCrcPiece, out,
                           [&](int64_t done) { CallBackProgress(CodecPercent(done, length)); });
}

bool TZoPack::LoadMain()
{
    if (!pack_)
        return false;
    unsigned char header[zopack::kHeaderSize];
    if (pack_->Seek(0, soFromBeginning) != 0 || !ReadExact(pack_, header, sizeof header))
        return false;
    uint16_t version = static_cast<uint16_t>(header[6] | header[7] << 8);
    int32_t total = Le32(header + 8);
    int32_t count = Le32(header + 12);
    int recordSize = zopack::RecordSize(version);
    if (recordSize == 0)
        return false;
    bool checkCrc = recordSize == zopack::kRecordSize && CrcMode == cmPackAll;
    // A pack whose CRC is to be checked but whose layout cannot even be read
    // is broken all the same.
    auto broken = [&] {
        if (checkCrc)
            ShowPackBroken();
        return false;
    };
    // The directory must lie wholly inside the file (64-bit sums: no overflow).
    int64_t fileSize = pack_->Size();
    int64_t dirStart = zopack::kHeaderSize + static_cast<int64_t>(total);
    int64_t dirBytes = static_cast<int64_t>(count) * recordSize;
    if (total < 0 || count < 0 || fileSize < 0 || dirStart + dirBytes > fileSize)
        return broken();
    std::vector<TZoFileTable3> directory;
    try {
        std::vector<unsigned char> raw(static_cast<size_t>(dirBytes));
        if (count > 0 && (pack_->Seek(dirStart, soFromBeginning) != dirStart || !ReadExact(pack_, raw.data(), dirBytes)))
            return broken();
        directory.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            directory.push_back(TZoFileTable3::Parse(raw.data() + static_cast<size_t>(i) * recordSize, version));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (checkCrc) {
        unsigned short computed = 0;
        unsigned char stored[2];
        if (!PackCrc(dirStart + dirBytes, &computed) || !ReadExact(pack_, stored, 2) ||
            computed != (stored[0] | stored[1] << 8))
            return broken();
    }
    directory_ = std::move(directory);
    total_ = total;
    version_ = zopack::kVersion31;
    modified_ = false;
    opened_ = true;
    return true;
}

void TZoPack::ClosePack()
{
    if (opened_)
        EndPack();
}

bool TZoPack::EndPack()
{
    if (!pack_)
        return true;
    CloseFile();
    bool ok = true;
    if (modified_) {
        unsigned char header[zopack::kHeaderSize];
        std::memcpy(header, "ZoPack", 6);
        header[6] = static_cast<unsigned char>(version_ & 0xFF);
        header[7] = static_cast<unsigned char>(version_ >> 8);
        uint32_t fields[2] = {static_cast<uint32_t>(total_), static_cast<uint32_t>(directory_.size())};
        for (int f = 0; f < 2; ++f)
            for (int i = 0; i < 4; ++i)
                header[8 + 4 * f + i] = static_cast<unsigned char>(fields[f] >> (8 * i));
        std::vector<unsigned char> dir(directory_.size() * zopack::kRecordSize);
        for (size_t i = 0; i < directory_.size(); ++i)
            directory_[i].Serialize(dir.data() + i * zopack::kRecordSize);
        int64_t dirStart = zopack::kHeaderSize + static_cast<int64_t>(total_);
        int64_t end = dirStart + static_cast<int64_t>(dir.size());
        unsigned short crc = 0;
        ok = pack_->Seek(0, soFromBeginning) == 0 && WriteExact(pack_, header, sizeof header) &&
             pack_->Seek(dirStart, soFromBeginning) == dirStart && WriteExact(pack_, dir.data(), static_cast<int64_t>(dir.size())) &&
             PackCrc(end, &crc);
        unsigned char crcBytes[2] = {static_cast<unsigned char>(crc & 0xFF), static_cast<unsigned char>(crc >> 8)};
        ok = ok && WriteExact(pack_, crcBytes, 2);
        // Bytes of a failed addition may lie beyond the new end: the CRC ends the file.
        if (ok && pack_->Size() > end + 2)
            ok = pack_->SetSize(end + 2);
        if (auto* file = dynamic_cast<TFileStream*>(pack_))
            ok = ok && file->Sync();
    }
    directory_.clear();
    pack_ = nullptr;
    ownedPack_.reset();
    packName_.clear();
    opened_ = false;
    modified_ = false;
    total_ = 0;
    return ok;
}
