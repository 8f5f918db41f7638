// Decoding a dictionary stream. The input is hostile: every token is checked
// to lie wholly inside the input, every copy is cut at the output size, and a
// distance reaching before the first output byte fails the call.
#include "pack/CodecCall.h"
#include "pack/Zolunet.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kHistory = 1536;        // window kept in front of new output
constexpr int kInPiece = 16384;       // bytes fetched per read
constexpr int kInSlack = 256;         // refill when fewer are left unconsumed
constexpr int kOutFlushAt = 32768;    // pending output that triggers a write
constexpr int kLongestCopy = 65535;   // a token never copies more

class LunetDecoder {
public:
    LunetDecoder(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
                 const TCodecProgress& progress)
        : srcSize_(srcSize), dstSize_(dstSize), read_(read), write_(write), progress_(progress),
          in_(kInPiece + kInSlack), out_(kHistory + kOutFlushAt + kLongestCopy + 1)
    {
    }

    bool Run(int& produced)
    {
        Refill();
        uint32_t flags = 0;
        uint32_t mask = 0;
        int counter = 0;
        while (produced_ < dstSize_) {
            if (inEnd_ - inPos_ < kInSlack && fetched_ < srcSize_)
                Refill();
            if (counter == 0) {
                if (inEnd_ - inPos_ < 4)
                    return false; // the stream ends at a group boundary
                const uint8_t* p = &in_[static_cast<size_t>(inPos_)];
                flags = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                        static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
                inPos_ += 4;
                mask = 0x80000000u;
            }
            if (!(flags & mask) ? !Literal() : !Match())
                return false;
            counter = counter == 31 ? 0 : counter + 1;
            mask >>= 1;
            if (outPos_ - kHistory >= kOutFlushAt)
                Flush();
        }
        Flush();
        Progress();
        produced = produced_;
        return true;
    }

private:
    bool Literal()
    {
        if (inEnd_ - inPos_ < 1)
            return false;
        out_[static_cast<size_t>(outPos_++)] = in_[static_cast<size_t>(inPos_++)];
        ++produced_;
        return true;
    }

    bool Match()
    {
        int avail = inEnd_ - inPos_;
        if (avail < 1)
            return false;
        const uint8_t* p = &in_[static_cast<size_t>(inPos_)];
        int high = p[0] >> 4;
        int low = p[0] & 0x0F;
        int need = 1 + (high == 14 ? 1 : high == 15 ? 2 : 0) + (low >= 10 ? 1 : 0);
        if (avail < need)
            return false; // the stream ends inside the token
        int k = 1;
        int length = high + 1;
        if (high == 14) {
            length = p[k++];
        } else if (high == 15) {
            length = p[k] | p[k + 1] << 8;
            k += 2;
        }
        int distance = low < 10 ? low + 1 : (low - 10) * 256 + p[k++];
        inPos_ += need;
        if (distance == 0 || distance > produced_)
            return false; // reaches before the first output byte
        length = std::min(length, dstSize_ - produced_);
        uint8_t* dst = &out_[static_cast<size_t>(outPos_)];
        const uint8_t* src = dst - distance;
        if (distance >= length) {
            std::memcpy(dst, src, static_cast<size_t>(length));
        } else if (distance == 1) {
            std::memset(dst, *src, static_cast<size_t>(length));
        } else {
            for (int i = 0; i < length; ++i)
                dst[i] = src[i]; // overlapping: repeats the last `distance` bytes
        }
        outPos_ += length;
        produced_ += length;
        return true;
    }

    void Refill()
    {
        int keep = inEnd_ - inPos_;
        std::memmove(in_.data(), in_.data() + inPos_, static_cast<size_t>(keep));
        consumedBefore_ += inPos_;
        inPos_ = 0;
        inEnd_ = keep;
        int n = std::min(kInPiece, srcSize_ - fetched_);
        if (n > 0) {
            if (!read_(in_.data() + keep, n))
                throw ECodecError{"ReadBuffer Error"};
            fetched_ += n;
            inEnd_ += n;
        }
        Progress();
    }

    void Flush()
    {
        int pending = outPos_ - kHistory;
        if (pending > 0 && !write_(out_.data() + kHistory, pending))
            throw ECodecError{"WriteBuffer Error"};
        std::memmove(out_.data(), out_.data() + outPos_ - kHistory, kHistory);
        outPos_ = kHistory;
    }

    void Progress()
    {
        if (progress_)
            progress_(CodecPercent(consumedBefore_ + inPos_, srcSize_));
    }

    int srcSize_;
    int dstSize_;
    const TCodecRead& read_;
    const TCodecWrite& write_;
    const TCodecProgress& progress_;
    std::vector<uint8_t> in_;
    int inPos_ = 0;
    int inEnd_ = 0;
    int fetched_ = 0;
    long long consumedBefore_ = 0;
    std::vector<uint8_t> out_;
    int outPos_ = kHistory;
    int produced_ = 0;
};

} // namespace

bool TLunetDecode::Decode(int srcSize, int dstSize, const TCodecRead& read, const TCodecWrite& write,
                          const TCodecProgress& progress)
{
    OutSize = 0;
    return RunCodecCall(busy_, srcSize, [&] {
        return dstSize >= 0 && LunetDecoder(srcSize, dstSize, read, write, progress).Run(OutSize);
    });
}
