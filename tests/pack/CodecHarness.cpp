#include "CodecHarness.h"

#include "pack/Zobrisca.h"
#include "pack/Zolunet.h"

#include <memory>

namespace pendar::test {

std::optional<Bytes> Encode(int codec, const Bytes& plain, long long limit)
{
    CodecIo io(plain);
    int size = static_cast<int>(plain.size());
    int dstLimit = static_cast<int>(limit < 0 ? 2LL * size : limit);
    bool ok;
    if (codec == cnLunet) {
        TLunetEncode encoder;
        ok = encoder.Encode(size, dstLimit, io.Reader(), io.Writer(), nullptr) &&
             static_cast<size_t>(encoder.OutSize) == io.out.size();
    } else {
        auto encoder = MakeBriscaEncoder(codec);
        ok = encoder->Encode(size, dstLimit, io.Reader(), io.Writer(), nullptr) &&
             static_cast<size_t>(encoder->OutSize) == io.out.size();
    }
    if (!ok)
        return std::nullopt;
    return io.out;
}

std::optional<Bytes> Decode(int codec, const Bytes& coded, int size)
{
    CodecIo io(coded);
    int srcSize = static_cast<int>(coded.size());
    bool ok = codec == cnLunet ? TLunetDecode().Decode(srcSize, size, io.Reader(), io.Writer(), nullptr)
                               : TBriscaDecode().Decode(srcSize, size, io.Reader(), io.Writer(), nullptr);
    if (!ok)
        return std::nullopt;
    return io.out;
}

} // namespace pendar::test
