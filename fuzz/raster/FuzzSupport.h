// What the image fuzz targets share: a check that stops the run, the picture
// size they decode at most (so that each input stays quick), and a sum over
// every byte of a decoded block, so that a byte the decoder left
// uninitialised is read.
#pragma once

#include "raster/PixFormat.h"

#include <cstddef>
#include <cstdint>

namespace pendar::fuzz {

inline void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The first byte of an input chooses how it is decoded: the output format
// (pf16_565..pf32_8888) from its value, switches from its top bits. False
// for an empty input; otherwise data and size then hold the file.
struct Choice {
    TPixFormat format = pf24_888;
    uint8_t bits = 0;
    bool Bit(uint8_t mask) const { return bits & mask; }
};

inline bool TakeChoice(const uint8_t*& data, size_t& size, Choice& choice)
{
    if (size < 1)
        return false;
    choice.format = static_cast<TPixFormat>(1 + data[0] % 7);
    choice.bits = data[0];
    ++data;
    --size;
    return true;
}

constexpr int64_t kMaxFuzzPixels = int64_t{1} << 20;

inline bool SmallEnough(int w, int h)
{
    return w >= 1 && h >= 1 && int64_t{w} * h <= kMaxFuzzPixels;
}

inline uint32_t Touch(const uint8_t* block, size_t bytes)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum = sum * 31 + block[i];
    // Keeps the sum (and so every read) from being optimised away.
    asm volatile("" : : "r"(sum));
    return sum;
}

} // namespace pendar::fuzz
