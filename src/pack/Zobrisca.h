// The block-sorting codec. A stream is a sequence of block records:
//   u16 blockLen (the whole record), u16 plainLen (1..32768), payload.
// The payload is, after an adaptive range coder (left out when it does not
// pay: blockLen = plainLen + 6), a move-to-front coded buffer of the primary
// index (u16) and the last column of the block's sorted cyclic rotations.
// The move-to-front list and the frequency model run across the blocks of
// one call; the model starts again after a raw block.
#pragma once

#include "pack/Codec.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int kBriscaMaxBlock = 32768;
constexpr int kBriscaSymbols = 257; // bytes and the end-of-block symbol
constexpr int kBriscaEndSymbol = 256;

// Quasi-static frequency model: counts collect in newFreq and are published
// to cumFreq every `rescale` updates (doubling up to targetRescale), halving
// the old counts each time.
class TQSModel {
public:
    bool Open(int n, int lgTotal, int targetRescale, const int* initFreq, bool forEncoder);
    void Reset(const int* initFreq);
    void Rescale();
    void Close();
    void GetFreq(int sym, int& symFreq, int& lowFreq) const
    {
        lowFreq = cumFreq_[static_cast<size_t>(sym)];
        symFreq = cumFreq_[static_cast<size_t>(sym) + 1] - lowFreq;
    }
    int FindSymbol(int target) const
    {
        size_t index = static_cast<size_t>(target) >> searchShift_;
        int lo = search_[index];
        int hi = search_[index + 1] + 1;
        while (lo + 1 < hi) {
            int mid = (lo + hi) / 2;
            if (target < cumFreq_[static_cast<size_t>(mid)])
                hi = mid;
            else
                lo = mid;
        }
        return lo;
    }
    // The cumulative table; it changes only inside Update (at a rescale).
    const uint16_t* CumFreq() const { return cumFreq_.data(); }
    void Update(int sym)
    {
        if (left_ <= 0)
            Rescale();
        --left_;
        newFreq_[static_cast<size_t>(sym)] = static_cast<uint16_t>(newFreq_[static_cast<size_t>(sym)] + incr_);
    }
    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
    int n_ = 0;
    int left_ = 0;
    int nextLeft_ = 0;
    int rescale_ = 0;
    int targetRescale_ = 0;
    int incr_ = 0;
    int searchShift_ = 0;
    std::vector<uint16_t> cumFreq_;
    std::vector<uint16_t> newFreq_;
    std::vector<uint16_t> search_;
};

// The initial frequencies of the 257 symbols (sum 4096).
const int* BriscaInitialFrequencies();

// What the range decoder and encoder share: the registers and the model
// (257 symbols, total 4096, rescales up to 2000, the initial table).
class TRangeCoder {
public:
    bool Setup(); // does nothing when already set up
    void Release();
    void ResetModel();
    int OutSize = 0;

protected:
    explicit TRangeCoder(bool forEncoder) : forEncoder_(forEncoder) {}

    bool busy_ = false;
    bool failed_ = false;
    uint32_t low_ = 0;
    uint32_t range_ = 0;
    uint32_t help_ = 0;
    uint8_t buffer_ = 0;
    TQSModel model_;

private:
    bool forEncoder_;
};

class TRangeDecode : public TRangeCoder {
public:
    TRangeDecode() : TRangeCoder(false) {}
    // Decodes up to `outCount` bytes from `inCount` bytes; false when the
    // input ran out. OutSize: the bytes produced.
    bool DecodeBlock(const unsigned char* in, unsigned char* out, int outCount, int inCount);

private:
    void Normalize();
    void DecodeUpdate(int symFreq, int lowFreq, int total);
    uint8_t NextByte();

    const unsigned char* in_ = nullptr;
    int inPos_ = 0;
    int inCount_ = 0;
};

class TRangeEncode : public TRangeCoder {
public:
    TRangeEncode() : TRangeCoder(true) {}
    // Codes `inCount` bytes and the end symbol into at most `outLimit` bytes;
    // false when they do not fit. OutSize: the coded length (0 on failure).
    bool EncodeBlock(const unsigned char* in, unsigned char* out, int outLimit, int inCount);

private:
    void BeginBlock(unsigned char first, int byteCount);
    void Normalize();
    void EncodeShift(int symFreq, int lowFreq, int shift);
    int EndBlock();
    void Emit(unsigned b)
    {
        if (outPos_ < outLimit_)
            out_[outPos_++] = static_cast<unsigned char>(b);
        else
            failed_ = true;
    }
    void EmitRun(unsigned b, uint32_t count)
    {
        for (uint32_t i = 0; i < count; ++i)
            Emit(b);
    }

    unsigned char* out_ = nullptr;
    int outPos_ = 0;
    int outLimit_ = 0;
    int byteCount_ = 0;
};

class TMTFDecode {
public:
    TMTFDecode() { Reset(); }
    void Reset();
    bool Decode(unsigned char* buf, int count);

private:
    uint8_t list_[256];
};

class TMTFEncode {
public:
    TMTFEncode() { Reset(); }
    void Reset();
    bool Encode(unsigned char* buf, int count);

private:
    uint8_t list_[256];
};

class TBWTDecode {
public:
    bool Setup();
    void Release();
    // `in`: the primary index (u16 little-endian) and len - 2 bytes of last
    // column; `out` receives len - 2 bytes. False on a bad index or length.
    bool Decode(const unsigned char* in, unsigned char* out, int len);

private:
    bool ready_ = false;
    std::unique_ptr<uint32_t[]> table_; // written before it is read, so left uninitialised
};

class TBWTEncode {
public:
    // Tables for blocks of up to `longest` bytes (at most 65536).
    bool Setup(int longest = 65536);
    void Release();
    // `out` receives the primary index (u16 little-endian) and `len` bytes of
    // last column; false when len is outside 1 up to the longest set up.
    bool Encode(const unsigned char* in, unsigned char* out, int len);

private:
    bool ready_ = false;
    int longest_ = 0;
    std::unique_ptr<uint16_t[]> text_;
    std::unique_ptr<int32_t[]> order_;
};

class TBriscaDecode {
public:
    // True when `dstSize` bytes were produced and written.
    bool Decode(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
                const TCodecProgress& progress);

private:
    bool busy_ = false;
};

// Encodes in blocks of `BlockSize()` bytes; the three variants differ only there.
class TBriscaEncode {
public:
    TBriscaEncode() = default;
    virtual ~TBriscaEncode() = default;
    // True when the whole input was coded within `dstLimit` bytes; OutSize
    // then holds the coded length.
    bool Encode(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
                const TCodecProgress& progress);
    int OutSize = 0;

protected:
    explicit TBriscaEncode(int blockSize) : blockSize_(blockSize) {}

private:
    int blockSize_ = 32768;
    bool busy_ = false;
};

class TBriscaLEEncode final : public TBriscaEncode {
public:
    TBriscaLEEncode() : TBriscaEncode(8192) {}
};

class TBriscaMiniEncode final : public TBriscaEncode {
public:
    TBriscaMiniEncode() : TBriscaEncode(1024) {}
};

// The encoder of codec number 1 (32 KiB blocks), 2 (8 KiB) or any other (1 KiB).
std::unique_ptr<TBriscaEncode> MakeBriscaEncoder(int codec);
