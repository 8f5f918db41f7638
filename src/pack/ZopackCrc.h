// The CRC-16 used everywhere in the pack format: reflected, polynomial
// 0x8408, started at 0xFFFF, no final inversion (check value 0x6F91).
#pragma once

#include "port/Stream.h"

#include <cstdint>
#include <functional>

enum TCrcType : uint8_t { ctCcitt = 0, ctAlt = 1 };

class TCrcCheck {
public:
    TCrcCheck() { MakeCrcTable(); }
    void MakeCrcTable();
    unsigned short UpDateCrc(unsigned short crc, const unsigned char* data, int64_t count) const;
    unsigned short Crc(const unsigned char* data, int64_t count) const { return UpDateCrc(0xFFFF, data, count); }
    void SetCrcType(TCrcType type);

    TCrcType CrcType = ctCcitt;

private:
    uint16_t table_[256] = {};
};

// CRC of the next `n` bytes of `stream`, read in 32 KiB pieces. False (and
// *out untouched) on a short read, a stream exception or no memory.
bool CrcStream(TStream* stream, int64_t n, unsigned short* out);

// The same with a piece size of the caller's and `beforePiece(done)` called
// before each piece with the byte count done once that piece is in.
bool CrcStreamPieces(TStream* stream, int64_t n, int64_t piece, unsigned short* out,
                     const std::function<void(int64_t done)>& beforePiece);
