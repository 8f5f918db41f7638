// The contract every codec of the pack format follows: input, output and
// progress go through three callbacks, so that a codec never sees a stream
// and any entry size streams through bounded buffers.
#pragma once

#include <functional>

// Must fill `buf` with the next `len` input bytes; false: the input failed.
using TCodecRead = std::function<bool(unsigned char* buf, int len)>;
// Must take the `len` bytes as the next output; false: the output failed.
using TCodecWrite = std::function<bool(const unsigned char* buf, int len)>;
// Percent done, 0..100; may be empty.
using TCodecProgress = std::function<void(int percent)>;

// Codec numbers, as the pack's codec table gives them.
enum TCodecNumber : int {
    cnLunet = 0,      // dictionary codec
    cnBrisca = 1,     // block-sorting, 32 KiB blocks
    cnBriscaLE = 2,   // block-sorting, 8 KiB blocks
    cnBriscaMini = 3, // block-sorting, 1 KiB blocks
};

// Percent of `done` in `total`, computed in 64 bits; 100 when total <= 0.
constexpr int CodecPercent(long long done, long long total)
{
    return total <= 0 ? 100 : static_cast<int>(done * 100 / total);
}

// Raised inside a codec call and caught by it; never escapes a codec.
struct ECodecError {
    const char* text;
};
