// Encoding a block-sorting stream: each block goes through the rotation
// sort, move-to-front and the range coder, and is kept raw when coding does
// not make it shorter.
#include "pack/CodecCall.h"
#include "pack/Zobrisca.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kHeader = 4;

class BriscaEncoder {
public:
    explicit BriscaEncoder(int blockSize)
        : blockSize_(blockSize), in_(static_cast<size_t>(blockSize)), work_(static_cast<size_t>(blockSize) + 2),
          record_(2 * static_cast<size_t>(blockSize) + kHeader)
    {
        if (!bwt_.Setup(blockSize) || !range_.Setup())
            throw std::bad_alloc();
    }

    bool Run(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
             const TCodecProgress& progress, int& outSize)
    {
        int inCount = 0;
        long long total = 0;
        while (inCount < srcSize) {
            int k = std::min(blockSize_, srcSize - inCount);
            if (!read(in_.data(), k))
                throw ECodecError{"ReadBuffer Error"};
            inCount += k;
            if (!bwt_.Encode(in_.data(), work_.data(), k) || !mtf_.Encode(work_.data(), k + 2))
                return false;
            int blockLen = MakeRecord(k);
            total += blockLen;
            if (total > dstLimit)
                return false;
            if (!write(record_.data(), blockLen))
                throw ECodecError{"WriteBuffer Error"};
            outSize += blockLen;
            if (progress)
                progress(CodecPercent(inCount, srcSize));
        }
        return true;
    }

private:
    // Builds the record of a block of k plain bytes; returns its length.
    int MakeRecord(int k)
    {
        int workLen = k + 2;
        unsigned char* payload = record_.data() + kHeader;
        int capacity = static_cast<int>(record_.size()) - kHeader;
        int blockLen;
        if (range_.EncodeBlock(work_.data(), payload, capacity, workLen) && range_.OutSize < workLen) {
            blockLen = range_.OutSize + kHeader;
        } else {
            std::memcpy(payload, work_.data(), static_cast<size_t>(workLen));
            blockLen = workLen + kHeader;
            range_.ResetModel(); // the decoder starts the model again after a raw block
        }
        record_[0] = static_cast<unsigned char>(blockLen & 0xFF);
        record_[1] = static_cast<unsigned char>(blockLen >> 8);
        record_[2] = static_cast<unsigned char>(k & 0xFF);
        record_[3] = static_cast<unsigned char>(k >> 8);
        return blockLen;
    }

    int blockSize_;
    std::vector<unsigned char> in_;
    std::vector<unsigned char> work_;
    std::vector<unsigned char> record_;
    TBWTEncode bwt_;
    TMTFEncode mtf_;
    TRangeEncode range_;
};

} // namespace

bool TBriscaEncode::Encode(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
                           const TCodecProgress& progress)
{
    OutSize = 0;
    return RunCodecCall(busy_, srcSize, [&] {
        return BriscaEncoder(blockSize_).Run(srcSize, dstLimit, read, write, progress, OutSize);
    });
}

std::unique_ptr<TBriscaEncode> MakeBriscaEncoder(int codec)
{
    if (codec == cnBrisca)
        return std::make_unique<TBriscaEncode>();
    if (codec == cnBriscaLE)
        return std::make_unique<TBriscaLEEncode>();
    return std::make_unique<TBriscaMiniEncode>();
}
