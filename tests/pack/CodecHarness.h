// Runs the codecs over byte vectors, and the sample inputs the codec tests
// share.
#pragma once

#include "pack/Codec.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace pendar::test {

using Bytes = std::vector<uint8_t>;

// Callbacks over an input vector and an output vector, as the pack does it.
struct CodecIo {
    explicit CodecIo(const Bytes& input) : in(input) {}
    const Bytes& in;
    size_t readPos = 0;
    Bytes out;
    bool failReads = false;

    TCodecRead Reader()
    {
        return [this](unsigned char* buf, int len) {
            if (failReads || len < 0 || readPos + static_cast<size_t>(len) > in.size())
                return false;
            std::copy(in.begin() + static_cast<long>(readPos), in.begin() + static_cast<long>(readPos) + len, buf);
            readPos += static_cast<size_t>(len);
            return true;
        };
    }
    TCodecWrite Writer()
    {
        return [this](const unsigned char* buf, int len) {
            out.insert(out.end(), buf, buf + len);
            return true;
        };
    }
};

// Encodes with codec number `codec` (0 dictionary, 1/2/3 block-sorting with
// 32 KiB/8 KiB/1 KiB blocks) within `limit` bytes (default: twice the input).
std::optional<Bytes> Encode(int codec, const Bytes& plain, long long limit = -1);
// Decodes `coded` into `size` bytes with the decoder of `codec`.
std::optional<Bytes> Decode(int codec, const Bytes& coded, int size);

inline Bytes RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<uint8_t>(rng());
    return b;
}

// Words from a small vocabulary in random order: text-like, repetitive.
inline Bytes TextBytes(size_t n, unsigned seed)
{
    static const char* words[] = {"the ", "clock ", "shows ", "a ", "skin ", "with ", "its ", "voice ",
                                  "and ", "mail ", "arrives ", "today, ", "Info.ini ", "balloon. ", "\r\n"};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < n)
        text += words[rng() % (sizeof words / sizeof words[0])];
    return Bytes(text.begin(), text.begin() + static_cast<long>(n));
}

// Long runs of a few byte values.
inline Bytes RunBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n)
        b.insert(b.end(), std::min<size_t>(n - b.size(), 1 + rng() % 3000), static_cast<uint8_t>(rng() % 3));
    return b;
}

inline Bytes B(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

} // namespace pendar::test
