// Decoding a block-sorting stream. Every block header is checked where it is
// read: the record must lie inside the input, its plain length must be
// 1..32768, and a range-coded payload must yield exactly plainLen + 2 bytes.
#include "pack/CodecCall.h"
#include "pack/Zobrisca.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kHeader = 4;
// A record is at most a raw one: header, primary index and the plain bytes.
constexpr int kLongestRecord = kHeader + 2 + kBriscaMaxBlock;

int Le16(const unsigned char* p)
{
    return p[0] | p[1] << 8;
}

class BriscaDecoder {
public:
    BriscaDecoder() : in_(kLongestRecord), work_(kBriscaMaxBlock + 2), out_(kBriscaMaxBlock)
    {
        if (!bwt_.Setup() || !range_.Setup())
            throw std::bad_alloc();
    }

    bool Run(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
             const TCodecProgress& progress)
    {
        int inCount = 0;
        int outCount = 0;
        while (inCount < srcSize) {
            int rest = srcSize - inCount;
            if (rest < 2)
                return false;
            if (!read(in_.data(), 2))
                throw ECodecError{"ReadBuffer Error"};
            int blockLen = Le16(in_.data());
            if (blockLen < kHeader + 2 || blockLen > rest || blockLen > kLongestRecord)
                return false; // shorter than its header or beyond the input
            if (!read(in_.data() + 2, blockLen - 2))
                throw ECodecError{"ReadBuffer Error"};
            int plainLen = Le16(in_.data() + 2);
            if (plainLen < 1 || plainLen > kBriscaMaxBlock || blockLen > plainLen + kHeader + 2)
                return false;
            inCount += blockLen;
            if (!DecodeBlock(blockLen, plainLen))
                return false;
            int keep = std::min(plainLen, dstSize - outCount);
            outCount += keep;
            if (keep > 0 && !write(out_.data(), keep))
                throw ECodecError{"WriteBuffer Error"};
            if (progress)
                progress(CodecPercent(inCount, srcSize));
            if (outCount >= dstSize)
                return true;
        }
        return false; // the input ended first
    }

private:
    bool DecodeBlock(int blockLen, int plainLen)
    {
        const unsigned char* payload = in_.data() + kHeader;
        int workLen = plainLen + 2;
        if (blockLen == workLen + kHeader) {
            std::memcpy(work_.data(), payload, static_cast<size_t>(workLen));
            range_.ResetModel(); // the coder did the same after a raw block
        } else if (!range_.DecodeBlock(payload, work_.data(), workLen, blockLen - kHeader) ||
                   range_.OutSize != workLen) {
            return false; // payload too short, or an early end symbol
        }
        return mtf_.Decode(work_.data(), workLen) && bwt_.Decode(work_.data(), out_.data(), workLen);
    }

    std::vector<unsigned char> in_;
    std::vector<unsigned char> work_;
    std::vector<unsigned char> out_;
    TBWTDecode bwt_;
    TMTFDecode mtf_;
    TRangeDecode range_;
};

} // namespace

bool TBriscaDecode::Decode(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
                           const TCodecProgress& progress)
{
    return RunCodecCall(busy_, srcSize, [&] {
        return dstSize >= 0 && BriscaDecoder().Run(srcSize, dstSize, read, write, progress);
    });
}
