// The dictionary codec: a byte-oriented sliding-window coder with a 1535-byte
// window. A stream is a sequence of groups, each a 32-bit little-endian flag
// word (bit 31 first; 1 = match) and up to 32 tokens. A literal is one byte;
// a match is a byte whose high nibble gives the length (0..13: 1..14,
// 14: one more byte, 15: two more bytes little-endian) and whose low nibble
// gives the distance (0..9: 1..10, 10..15: (L - 10) * 256 + one more byte).
#pragma once

#include "pack/Codec.h"

#include <cstdint>
#include <vector>

// Largest distance a match may reach back, and the window the coder keeps.
constexpr int kLunetWindow = 1535;
// Longest match the encoder writes.
constexpr int kLunetMaxMatch = 8192;

// Hash chains over the last `nodes` input positions, one chain per 16-bit key
// (the two bytes at the position, low byte first), newest first. Positions
// must be inserted in increasing order, one each, as the encoder does.
class TLunetHush {
public:
    static constexpr int kNone = -1;

    bool Setup(int nodes);
    void Release();
    void Clear();
    void Insert(uint16_t key, int pos)
    {
        if (!ready_)
            return;
        older_[static_cast<size_t>(pos) & mask_] = heads_[key];
        heads_[key] = pos;
        newest_ = pos;
    }
    // The newest position with `key`, or kNone.
    int First(uint16_t key) const { return ready_ ? Live(heads_[key]) : kNone; }
    // The next older position of the same chain, or kNone.
    int Next(int pos) const { return ready_ ? Live(older_[static_cast<size_t>(pos) & mask_]) : kNone; }

private:
    int Live(int pos) const { return pos != kNone && pos > newest_ - nodes_ ? pos : kNone; }

    bool ready_ = false;
    int nodes_ = 0;
    int newest_ = kNone;
    size_t mask_ = 0;
    std::vector<int> heads_;
    std::vector<int> older_;
};

class TLunetDecode {
public:
    // True when exactly `dstSize` bytes were produced and written.
    bool Decode(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
                const TCodecProgress& progress);
    int OutSize = 0;

private:
    bool busy_ = false;
};

class TLunetEncode {
public:
    // True when the whole input was coded within `dstLimit` output bytes;
    // OutSize then holds the coded length.
    bool Encode(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
                const TCodecProgress& progress);
    int OutSize = 0;

private:
    bool busy_ = false;
};
