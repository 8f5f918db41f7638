#include "pack/ZopackCrc.h"

#include <algorithm>
#include <new>
#include <vector>

void TCrcCheck::MakeCrcTable()
{
    uint16_t constant = CrcType == ctAlt ? 0xC001 : 0x8408;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned v = i;
        for (int step = 0; step < 8; ++step)
            v = (v & 1) ? (v >> 1) ^ constant : v >> 1;
        table_[i] = static_cast<uint16_t>(v);
    }
}

unsigned short TCrcCheck::UpDateCrc(unsigned short crc, const unsigned char* data, int64_t count) const
{
    unsigned c = crc;
    for (int64_t i = 0; i < count; ++i)
        c = table_[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return static_cast<unsigned short>(c);
}

void TCrcCheck::SetCrcType(TCrcType type)
{
    CrcType = type;
    MakeCrcTable();
}

bool CrcStreamPieces(TStream* stream, int64_t n, int64_t piece, unsigned short* out,
                     const std::function<void(int64_t done)>& beforePiece)
{
    if (!stream || n < 0 || piece <= 0)
        return false;
    static const TCrcCheck crc;
    try {
        std::vector<unsigned char> buf(static_cast<size_t>(std::min(n, piece)));
        unsigned short value = 0xFFFF;
        for (int64_t done = 0; done < n;) {
            int64_t len = std::min(piece, n - done);
            if (beforePiece)
                beforePiece(done + len);
            if (stream->Read(buf.data(), len) != len)
                return false;
            value = crc.UpDateCrc(value, buf.data(), len);
            done += len;
        }
        *out = value;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CrcStream(TStream* stream, int64_t n, unsigned short* out)
{
    return CrcStreamPieces(stream, n, 32768, out, nullptr);
}
