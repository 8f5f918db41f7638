// Every encoder over any bytes: what it codes must decode to the input, and
// a decoder given one byte less of output room stops cleanly.
#include "pack/Codec.h"
#include "pack/CodecStreams.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 70000)
        return 0;
    int n = static_cast<int>(size);
    for (int codec : {cnLunet, cnBrisca, cnBriscaLE, cnBriscaMini}) {
        TMemoryStream plain(data, size);
        TMemoryStream coded;
        int length = EncodeStream(plain, n, coded, 2 * n, codec, nullptr);
        if (length == 0)
            continue;
        TMemoryStream decoded;
        coded.Seek(0, soFromBeginning);
        if (!DecodeStream(coded, length, decoded, n, codec, nullptr) || decoded.Bytes() != plain.Bytes())
            __builtin_trap();
        TMemoryStream shorter;
        coded.Seek(0, soFromBeginning);
        if (!DecodeStream(coded, length, shorter, n - 1, codec, nullptr) ||
            !std::equal(shorter.Bytes().begin(), shorter.Bytes().end(), plain.Bytes().begin()))
            __builtin_trap();
    }
    return 0;
}
