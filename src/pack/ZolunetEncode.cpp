// Encoding a dictionary stream. The match search is fixed by the format's
// reference behaviour (newest candidate first, a longer match replaces the
// best only when strictly longer, the walk ends past 1024 bytes), so that the
// output is the same byte for byte; the shortcuts below never change which
// match is found.
#include "pack/CodecCall.h"
#include "pack/Zolunet.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kHistory = 1536;    // bytes kept behind the look-ahead
constexpr int kLookAhead = 32768; // bytes read ahead at most
constexpr int kSlide = 16384;     // the buffer moves down by this much
constexpr int kSlack = 16;        // lets word compares and keys read past the data
constexpr int kStopWalk = 1024;   // a match longer than this ends the search
constexpr int kOutPiece = 16384;  // committed output written at once

// Equal bytes of a and b, at most `max`.
int CommonLength(const uint8_t* a, const uint8_t* b, int max)
{
    int n = 0;
    while (n + 8 <= max) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            return n + (__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < max && a[n] == b[n])
        ++n;
    return n;
}

class LunetEncoder {
public:
    LunetEncoder(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
                 const TCodecProgress& progress)
        : srcSize_(srcSize), dstLimit_(dstLimit), read_(read), write_(write), progress_(progress),
          buf_(kHistory + kLookAhead + kSlack)
    {
        if (!hush_.Setup(kLunetWindow))
            throw std::bad_alloc();
        out_.reserve(kOutPiece + 1024);
    }

    bool Run(int& outSize)
    {
        Load(kHistory, std::min(srcSize_, kLookAhead));
        OpenGroup();
        while (pos_ < srcSize_) {
            if (pos_ - bufStart_ >= kHistory + kSlide + 1)
                Slide();
            int distance = 0;
            int length = Search(distance);
            int tokenSize = 1 + (length > 255 ? 2 : length > 14 ? 1 : 0) + (distance > 10 ? 1 : 0);
            if (length >= 2 && length >= tokenSize) {
                EmitMatch(length, distance);
                for (int i = 0; i < length; ++i)
                    hush_.Insert(KeyAt(pos_ + i), pos_ + i);
                pos_ += length;
            } else {
                hush_.Insert(KeyAt(pos_), pos_);
                out_.push_back(buf_[Index(pos_)]);
                ++pos_;
            }
            ++counter_;
            mask_ >>= 1;
            if (pos_ == srcSize_ || counter_ == 32)
                CloseGroup();
            if (written_ + static_cast<long long>(out_.size()) > dstLimit_)
                return false;
            if (committed_ >= kOutPiece)
                WriteCommitted();
        }
        WriteCommitted();
        if (progress_)
            progress_(CodecPercent(pos_, srcSize_));
        outSize = static_cast<int>(written_);
        return true;
    }

private:
    size_t Index(int pos) const { return static_cast<size_t>(pos - bufStart_); }
    uint16_t KeyAt(int pos) const
    {
        size_t i = Index(pos);
        return static_cast<uint16_t>(buf_[i] | buf_[i + 1] << 8);
    }

    int Search(int& distance) const
    {
        int limit = std::min(srcSize_ - pos_, kLunetMaxMatch);
        if (limit < 2)
            return 0;
        const uint8_t* here = &buf_[Index(pos_)];
        int best = 0;
        for (int cand = hush_.First(KeyAt(pos_)); cand != TLunetHush::kNone; cand = hush_.Next(cand)) {
            int d = pos_ - cand;
            if (d > kLunetWindow)
                continue;
            const uint8_t* there = here - d;
            // Only a candidate that also agrees at byte `best` can be longer.
            if (best >= 2 && here[best] != there[best])
                continue;
            int length = 2 + CommonLength(here + 2, there + 2, limit - 2);
            if (length > best) {
                best = length;
                distance = d;
                if (best > kStopWalk || best == limit)
                    break;
            }
        }
        return best;
    }

    void EmitMatch(int length, int distance)
    {
        flags_ |= mask_;
        int high = length <= 14 ? length - 1 : length <= 255 ? 14 : 15;
        int low = distance <= 10 ? distance - 1 : 10 + distance / 256;
        out_.push_back(static_cast<uint8_t>(high << 4 | low));
        if (high == 14) {
            out_.push_back(static_cast<uint8_t>(length));
        } else if (high == 15) {
            out_.push_back(static_cast<uint8_t>(length & 0xFF));
            out_.push_back(static_cast<uint8_t>(length >> 8));
        }
        if (distance > 10)
            out_.push_back(static_cast<uint8_t>(distance & 0xFF));
    }

    void OpenGroup()
    {
        flagPos_ = out_.size();
        out_.insert(out_.end(), 4, 0);
        flags_ = 0;
        mask_ = 0x80000000u;
        counter_ = 0;
    }

    void CloseGroup()
    {
        for (int i = 0; i < 4; ++i)
            out_[flagPos_ + static_cast<size_t>(i)] = static_cast<uint8_t>(flags_ >> (8 * i));
        committed_ = out_.size();
        if (pos_ < srcSize_)
            OpenGroup();
    }

    void WriteCommitted()
    {
        if (committed_ == 0)
            return;
        if (!write_(out_.data(), static_cast<int>(committed_)))
            throw ECodecError{"WriteBuffer Error"};
        written_ += static_cast<long long>(committed_);
        out_.erase(out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(committed_));
        flagPos_ -= committed_;
        committed_ = 0;
    }

    void Load(size_t at, int count)
    {
        if (count <= 0)
            return;
        if (!read_(&buf_[at], count))
            throw ECodecError{"ReadBuffer Error"};
        loaded_ += count;
    }

    void Slide()
    {
        std::memmove(buf_.data(), buf_.data() + kSlide, buf_.size() - kSlide);
        bufStart_ += kSlide;
        Load(Index(loaded_), std::min(kSlide, srcSize_ - loaded_));
        if (progress_)
            progress_(CodecPercent(pos_, srcSize_));
    }

    int srcSize_;
    int dstLimit_;
    const TCodecRead& read_;
    const TCodecWrite& write_;
    const TCodecProgress& progress_;
    std::vector<uint8_t> buf_;
    int bufStart_ = -kHistory; // input position of buf_[0]
    int loaded_ = 0;           // input bytes read so far
    int pos_ = 0;
    TLunetHush hush_;
    std::vector<uint8_t> out_; // output not yet written
    size_t committed_ = 0;     // out_ bytes up to the end of the last closed group
    size_t flagPos_ = 0;
    long long written_ = 0;
    uint32_t flags_ = 0;
    uint32_t mask_ = 0;
    int counter_ = 0;
};

} // namespace

bool TLunetEncode::Encode(int srcSize, int dstLimit, const TCodecRead& read, const TCodecWrite& write,
                          const TCodecProgress& progress)
{
    OutSize = 0;
    return RunCodecCall(busy_, srcSize,
                        [&] { return LunetEncoder(srcSize, dstLimit, read, write, progress).Run(OutSize); });
}
