// Decodes any bytes as a codec stream; the first two bytes give the size.
// Built once per decoder: FUZZ_DECODER names its class.
#include "pack/Zobrisca.h"
#include "pack/Zolunet.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    int dstSize = (data[0] | data[1] << 8) * 8;
    const uint8_t* coded = data + 2;
    int srcSize = static_cast<int>(size - 2);
    int pos = 0;
    long long written = 0;
    bool ok = FUZZ_DECODER().Decode(
        srcSize, dstSize,
        [&](unsigned char* buf, int len) {
            if (len < 0 || pos + len > srcSize)
                __builtin_trap(); // never asks past the input
            std::memcpy(buf, coded + pos, static_cast<size_t>(len));
            pos += len;
            return true;
        },
        [&](const unsigned char*, int len) {
            written += len;
            return true;
        },
        nullptr);
    if (ok && srcSize > 0 && written != dstSize)
        __builtin_trap(); // success means the whole output (no input at all succeeds at once)
    return 0;
}
