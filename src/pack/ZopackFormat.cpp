#include "pack/ZopackFormat.h"

#include "pack/Codec.h"
#include "port/Cp932.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The longest prefix of `text` of at most `limit` bytes that ends on a
// character boundary.
size_t CutLength(std::string_view text, size_t limit)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t width = port::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + width > limit)
            break;
        i += width;
    }
    return i;
}

} // namespace

namespace zopack {

int RecordSize(uint16_t version)
{
    switch (version) {
    case kVersion1: return 32;
    case kVersion2: return 40;
    case kVersion3:
    case kVersion31: return kRecordSize;
    default: return 0;
    }
}

int CodecOfMethod(int method)
{
    static constexpr int table[] = {-1, cnLunet, cnBrisca, -1, cnBriscaLE, cnBriscaMini};
    return method >= 0 && method < 6 ? table[method] : -1;
}

int64_t MaxDecodedSize(int codec, int64_t dsize)
{
    if (dsize <= 0)
        return 0;
    if (codec == cnLunet)
        return dsize / 3 * 65535 + 65535;
    return (dsize / 6) * 32768;
}

void SplitName(TZoFileTable3& record, std::string_view name)
{
    std::memset(record.name, 0, sizeof record.name);
    std::memset(record.ext, 0, sizeof record.ext);
    size_t dot = name.rfind('.'); // 0x2E is never a trail byte, so this is a real dot
    std::string_view base = name;
    std::string_view ext;
    if (dot != std::string_view::npos && dot > 0) {
        base = name.substr(0, dot);
        ext = name.substr(dot + 1);
    }
    std::copy_n(base.data(), CutLength(base, kBaseLength), record.name);
    std::copy_n(ext.data(), CutLength(ext, kExtLength), record.ext);
}

std::string UpperName(std::string_view name)
{
    std::string upper(name);
    for (size_t i = 0; i < upper.size(); ++i) {
        auto c = static_cast<unsigned char>(upper[i]);
        if (port::IsCp932LeadByte(c))
            ++i; // the trail byte may look like a letter
        else if (c >= 'a' && c <= 'z')
            upper[i] = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// FILETIME counts 100 ns steps since 1601-01-01 UTC.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000LL;

FILETIME FileTimeFromUnix(const struct timespec& t)
{
    int64_t ticks = kUnixEpochInFileTime + static_cast<int64_t>(t.tv_sec) * 10000000 + t.tv_nsec / 100;
    if (ticks < 0)
        ticks = 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<uint32_t>(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<uint32_t>(static_cast<uint64_t>(ticks) >> 32);
    return ft;
}

struct timespec UnixFromFileTime(const FILETIME& ft)
{
    uint64_t ticks = static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
    int64_t rel = static_cast<int64_t>(ticks / 10) - kUnixEpochInFileTime / 10; // microseconds, no overflow
    struct timespec t {};
    int64_t sec = rel / 1000000;
    int64_t usec = rel % 1000000;
    if (usec < 0) {
        usec += 1000000;
        --sec;
    }
    t.tv_sec = static_cast<time_t>(sec);
    t.tv_nsec = static_cast<long>(usec * 1000 + static_cast<int64_t>(ticks % 10) * 100);
    return t;
}

} // namespace zopack

TZoFileTable3 TZoFileTable3::Parse(const unsigned char* p, uint16_t version)
{
    TZoFileTable3 r;
    std::memcpy(r.name, p, sizeof r.name);
    std::memcpy(r.ext, p + 21, sizeof r.ext);
    r.offset = static_cast<int32_t>(Le32(p + 24));
    r.size = static_cast<int32_t>(Le32(p + 28));
    if (version == zopack::kVersion1) {
        r.dsize = r.size;
        r.time = zopack::kLegacyFileTime;
        return r;
    }
    r.dsize = static_cast<int32_t>(Le32(p + 32));
    r.comp = static_cast<int8_t>(p[36]);
    if (version == zopack::kVersion2) {
        r.time = zopack::kLegacyFileTime;
        return r;
    }
    r.crcflag = p[37];
    r.crc = static_cast<uint16_t>(p[38] | p[39] << 8);
    r.time.dwLowDateTime = Le32(p + 40);
    r.time.dwHighDateTime = Le32(p + 44);
    return r;
}

void TZoFileTable3::Serialize(unsigned char out[zopack::kRecordSize]) const
{
    std::memcpy(out, name, sizeof name);
    std::memcpy(out + 21, ext, sizeof ext);
    Put32(out + 24, static_cast<uint32_t>(offset));
    Put32(out + 28, static_cast<uint32_t>(size));
    Put32(out + 32, static_cast<uint32_t>(dsize));
    out[36] = static_cast<unsigned char>(comp);
    out[37] = crcflag;
    out[38] = static_cast<unsigned char>(crc & 0xFF);
    out[39] = static_cast<unsigned char>(crc >> 8);
    Put32(out + 40, time.dwLowDateTime);
    Put32(out + 44, time.dwHighDateTime);
}

bool TZoFileTable3::Deleted() const
{
    for (char c : name)
        if (c)
            return false;
    for (char c : ext)
        if (c)
            return false;
    return true;
}

std::string TZoFileTable3::ComposedName() const
{
    std::string composed(name, strnlen(name, sizeof name));
    if (ext[0]) {
        composed += '.';
        composed.append(ext, strnlen(ext, sizeof ext));
    }
    return composed;
}
