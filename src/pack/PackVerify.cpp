#include "pack/PackVerify.h"

#include "pack/Zopack.h"

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

std::vector<PackProblem> VerifyPack(const std::string& path)
{
    std::vector<PackProblem> problems;
    TZoPack pack;
    if (!pack.LoadPack(path)) {
        problems.push_back({true, "", "not a readable pack (missing, truncated or damaged header or directory)"});
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
