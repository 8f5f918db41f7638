// Helpers for the raster tests: seeded random bytes biased towards 0x00 and
// 0xFF (where channel arithmetic goes wrong), and guarded blocks that catch
// writes past either end.
#pragma once

#include "raster/ZoRect.h"

#include <cstdint>
#include <ostream>
#include <cstring>
#include <random>
#include <vector>

inline std::ostream& operator<<(std::ostream& os, const TZoRect& r)
{
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace pendar::test {

class PixelRandom {
public:
    explicit PixelRandom(uint32_t seed) : rng_(seed) {}

    uint32_t Below(uint32_t n) { return n == 0 ? 0 : std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Below(100) < uint32_t(percent); }

    uint8_t Byte()
    {
        switch (Below(4)) {
        case 0: return 0x00;
        case 1: return 0xFF;
        default: return static_cast<uint8_t>(Below(256));
        }
    }

    std::vector<uint8_t> Bytes(size_t n)
    {
        std::vector<uint8_t> v(n);
        for (auto& b : v)
            b = Byte();
        return v;
    }

private:
    std::mt19937 rng_;
};

// A block with guard bytes on both sides.
class Guarded {
public:
    static constexpr size_t kGuard = 16;
    static constexpr uint8_t kFill = 0xEE;

    explicit Guarded(size_t size) : bytes_(size + 2 * kGuard, kFill), size_(size) {}

    uint8_t* Data() { return bytes_.data() + kGuard; }
    const uint8_t* Data() const { return bytes_.data() + kGuard; }
    size_t Size() const { return size_; }
    bool GuardsIntact() const
    {
        for (size_t i = 0; i < kGuard; ++i) {
            if (bytes_[i] != kFill || bytes_[kGuard + size_ + i] != kFill)
                return false;
        }
        return true;
    }
    std::vector<uint8_t> Contents() const { return std::vector<uint8_t>(Data(), Data() + size_); }

private:
    std::vector<uint8_t> bytes_;
    size_t size_;
};

inline uint32_t LoadLE(const uint8_t* p, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= uint32_t{p[i]} << (8 * i);
    return v;
}

inline void StoreLE(uint8_t* p, int n, uint32_t v)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace pendar::test
