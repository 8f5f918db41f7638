// Pack files made byte by byte, for the reader's tests: any version, any
// record values, with or without the pack CRC.
#pragma once

#include "pack/ZopackCrc.h"
#include "pack/ZopackFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pendar::test {

struct RawEntry {
    std::string name; // composed name, split as the writer does
    std::string stored;
    int comp = 0;
    std::optional<int32_t> size = std::nullopt;  // default: the stored length
    std::optional<int32_t> dsize = std::nullopt; // default: the stored length
    bool crc = true;
    std::optional<int32_t> offset = std::nullopt; // default: where the data lands
};

inline void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}

// Byte offset of record `i`'s field at `field` in a pack made by BuildPack.
inline size_t RecordOffset(const std::string& pack, int i, int field, int recordSize = 48)
{
    uint32_t total = static_cast<uint8_t>(pack[8]) | static_cast<uint8_t>(pack[9]) << 8 |
                     static_cast<uint8_t>(pack[10]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(pack[11])) << 24;
    return 16 + total + static_cast<size_t>(i) * static_cast<size_t>(recordSize) + static_cast<size_t>(field);
}

inline std::string BuildPack(uint16_t version, const std::vector<RawEntry>& entries, bool withCrc = true)
{
    int recordSize = zopack::RecordSize(version);
    std::string data;
    std::string dir;
    for (const RawEntry& e : entries) {
        int32_t offset = e.offset.value_or(static_cast<int32_t>(data.size()));
        unsigned short crc = TCrcCheck().Crc(reinterpret_cast<const unsigned char*>(e.stored.data()),
                                             static_cast<int64_t>(e.stored.size()));
        TZoFileTable3 r;
        zopack::SplitName(r, e.name);
        r.offset = offset;
        r.size = e.size.value_or(static_cast<int32_t>(e.stored.size()));
        r.dsize = e.dsize.value_or(static_cast<int32_t>(e.stored.size()));
        r.comp = static_cast<int8_t>(e.comp);
        bool withRecordCrc = e.crc && recordSize == 48; // older records have no CRC fields
        r.crcflag = withRecordCrc ? 1 : 0;
        r.crc = withRecordCrc ? crc : 0;
        r.time = {0x11223344, 0x01D00000};
        unsigned char bytes[48];
        r.Serialize(bytes);
        dir.append(reinterpret_cast<char*>(bytes), static_cast<size_t>(recordSize));
        data += e.stored;
        data.append(static_cast<size_t>(zopack::Padded(static_cast<int64_t>(data.size())) - static_cast<int64_t>(data.size())), '\0');
    }
    std::string pack = "ZoPack";
    pack.push_back(static_cast<char>(version & 0xFF));
    pack.push_back(static_cast<char>(version >> 8));
    Put32(pack, static_cast<uint32_t>(data.size()));
    Put32(pack, static_cast<uint32_t>(entries.size()));
    pack += data + dir;
    if (withCrc && recordSize == 48) {
        unsigned short crc = TCrcCheck().Crc(reinterpret_cast<const unsigned char*>(pack.data()),
                                             static_cast<int64_t>(pack.size()));
        pack.push_back(static_cast<char>(crc & 0xFF));
        pack.push_back(static_cast<char>(crc >> 8));
    }
    return pack;
}

} // namespace pendar::test
