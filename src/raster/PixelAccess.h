// Loads and stores of one 1-, 2-, 3- or 4-byte element at any address. A
// 3-byte element is one byte plus one 16-bit word, byte 0 lowest, so nothing
// is touched past its last byte.
#pragma once

#include <cstdint>
#include <cstring>

namespace pendar::pixel {

template <int N>
inline uint32_t Load(const void* at)
{
    const auto* p = static_cast<const uint8_t*>(at);
    if constexpr (N == 1) {
        return p[0];
    } else if constexpr (N == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (N == 3) {
        uint16_t hi;
        std::memcpy(&hi, p + 1, 2);
        return p[0] | (uint32_t{hi} << 8);
    } else {
        static_assert(N == 4);
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <int N>
inline void Store(void* at, uint32_t value)
{
    auto* p = static_cast<uint8_t*>(at);
    if constexpr (N == 1) {
        p[0] = static_cast<uint8_t>(value);
    } else if constexpr (N == 2) {
        auto v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else if constexpr (N == 3) {
        p[0] = static_cast<uint8_t>(value);
        auto hi = static_cast<uint16_t>(value >> 8);
        std::memcpy(p + 1, &hi, 2);
    } else {
        static_assert(N == 4);
        std::memcpy(p, &value, 4);
    }
}

// The part of a 32-bit value an element of N bytes holds.
template <int N>
constexpr uint32_t ElementMask()
{
    return N == 4 ? 0xFFFFFFFFu : (1u << (8 * N)) - 1;
}

// Calls fn.template operator()<N>() for a run-time element size of 1..4;
// returns false for any other size.
template <typename Fn>
inline bool WithElementSize(int size, Fn&& fn)
{
    switch (size) {
    case 1: fn.template operator()<1>(); return true;
    case 2: fn.template operator()<2>(); return true;
    case 3: fn.template operator()<3>(); return true;
    case 4: fn.template operator()<4>(); return true;
    default: return false;
    }
}

} // namespace pendar::pixel
