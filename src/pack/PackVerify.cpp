#include "pack/PackVerify.h"

#include "pack/Zopack.h"

#include <cstdio>

namespace pendar {

namespace {

int64_t Le32(const unsigned char* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// The reason the pack CRC of a pack that loaded is wrong, or empty when it
// is sound or the version has none. Checked here rather than by loading in
// the pack-CRC mode, which would show the error box.
std::string PackCrcProblem(const std::string& path)
{
    auto file = TFileStream::Open(path, fmOpenRead);
    unsigned char header[zopack::kHeaderSize];
    if (!file || file->Read(header, sizeof header) != static_cast<int64_t>(sizeof header))
        return "cannot be read";
    uint16_t version = static_cast<uint16_t>(header[6] | header[7] << 8);
    if (zopack::RecordSize(version) != zopack::kRecordSize)
        return "";
    int64_t length = zopack::kHeaderSize + Le32(header + 8) + Le32(header + 12) * zopack::kRecordSize;
    unsigned short crc = 0;
    unsigned char stored[2];
    if (file->Seek(0, soFromBeginning) != 0 || !CrcStream(file.get(), length, &crc) || file->Read(stored, 2) != 2)
        return "pack CRC missing";
    return crc == (stored[0] | stored[1] << 8) ? "" : "pack CRC mismatch";
}

} // namespace

std::string LoadProblem(const std::string& path)
{
    std::string error;
    auto file = TFileStream::Open(path, fmOpenRead, &error);
    if (!file)
        return "cannot be opened: " + error;
    unsigned char header[zopack::kHeaderSize];
    if (file->Read(header, sizeof header) != static_cast<int64_t>(sizeof header))
        return "shorter than a pack header";
    uint16_t version = static_cast<uint16_t>(header[6] | header[7] << 8);
    int recordSize = zopack::RecordSize(version);
    if (recordSize == 0) {
        char text[48];
        std::snprintf(text, sizeof text, "not a pack (unknown version 0x%04X)", version);
        return text;
    }
    int64_t total = Le32(header + 8);
    int64_t count = Le32(header + 12);
    if (total < 0 || count < 0)
        return "damaged header (negative sizes)";
    if (zopack::kHeaderSize + total + count * recordSize > file->Size())
        return "truncated or damaged: the directory lies beyond the end of the file";
    TZoPack pack;
    return pack.LoadPack(path) ? "" : "cannot be read";
}

std::vector<PackProblem> VerifyPack(const std::string& path)
{
    std::vector<PackProblem> problems;
    TZoPack pack;
    if (!pack.LoadPack(path)) {
        problems.push_back({true, "", LoadProblem(path)});
        return problems;
    }
    if (std::string why = PackCrcProblem(path); !why.empty())
        problems.push_back({true, "", why});
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TZoFileTable3* record = pack.Record(i);
        if (record->Deleted())
            continue;
        std::string name = record->ComposedName();
        if (!pack.EntryIsSound(i))
            problems.push_back({false, name, "stored bytes outside the data area or impossible sizes"});
        else if (!pack.VerifyFileCrc(i))
            problems.push_back({false, name, "CRC mismatch"});
        else if (!pack.ZoMakeStreamAt(i))
            problems.push_back({false, name, "cannot be decoded"});
    }
    return problems;
}

} // namespace pendar
