// The pack file layout, shared by the reader and the writer: header,
// directory records of every version, entry names, codings and times.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

namespace zopack {

constexpr uint16_t kVersion1 = 0x0100;  // 32-byte records, stored entries only
constexpr uint16_t kVersion2 = 0x0200;  // 40-byte records with sizes and coding
constexpr uint16_t kVersion3 = 0x0300;  // what a new pack is written as
constexpr uint16_t kVersion31 = 0x0301; // what a loaded pack is written back as
constexpr int kHeaderSize = 16;
constexpr int kRecordSize = 48;
constexpr int kBaseLength = 21;
constexpr int kExtLength = 3;
constexpr int kLongestName = kBaseLength + 1 + kExtLength; // 25 bytes composed
constexpr int kDataAlign = 16;
// Stored for entries of the older versions: 1990-01-01 00:00 Japan time.
constexpr FILETIME kLegacyFileTime{0xA8EE9800u, 0x01B41DDEu};

// Codings in a record's comp field.
constexpr int kStored = 0;
constexpr int kLunet = 1;
constexpr int kBrisca = 2;
constexpr int kComplement = 3;

// Record size of a directory version, 0 for an unknown version.
int RecordSize(uint16_t version);

// The codec number of a writer method (or, for reading, of a comp value):
// -1 when the method has no codec.
int CodecOfMethod(int method);

// The largest decoded size a codec stream of `dsize` bytes can have: a
// dictionary token of three bytes copies at most 65535 bytes, a block record
// of six bytes holds at most 32768.
int64_t MaxDecodedSize(int codec, int64_t dsize);

// Length of the data an entry occupies once padded.
inline int64_t Padded(int64_t n)
{
    return (n + kDataAlign - 1) / kDataAlign * kDataAlign;
}

} // namespace zopack

struct TZoFileTable3 {
    char name[zopack::kBaseLength] = {};
    char ext[zopack::kExtLength] = {};
    int32_t offset = 0; // relative to the data area
    int32_t size = 0;   // decoded size
    int32_t dsize = 0;  // stored size, before padding
    int8_t comp = 0;
    uint8_t crcflag = 0;
    uint16_t crc = 0;
    FILETIME time;

    // Reads a record of the given directory version (48, 40 or 32 bytes).
    static TZoFileTable3 Parse(const unsigned char* bytes, uint16_t version);
    void Serialize(unsigned char out[zopack::kRecordSize]) const;

    bool Deleted() const;
    // "base" or "base.ext"; empty for a deleted entry.
    std::string ComposedName() const;
};

namespace zopack {

// Fills a record's name fields: split at the last dot unless it is the first
// character, base cut to 21 bytes and extension to 3, never inside a
// double-byte character.
void SplitName(TZoFileTable3& record, std::string_view name);

// The name upper-cased the code page 932 way: only single-byte a..z change.
std::string UpperName(std::string_view name);

FILETIME FileTimeFromUnix(const struct timespec& t);
struct timespec UnixFromFileTime(const FILETIME& t);

} // namespace zopack
