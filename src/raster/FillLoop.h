// The vector loop of the 2-, 3- and 4-byte fills, shared by the builds for
// each instruction set. It sits in an unnamed namespace on purpose: every
// file that includes it compiles its own copy for its own instruction set,
// and no copy may be merged with another file's at link time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

template <typename V>
[[gnu::always_inline]] inline void PutVector(uint8_t* at, const V& v)
{
    std::memcpy(at, &v, sizeof v);
}

// A large fill whose element bytes are all alike goes to memset, whose string
// instructions need not read the cache lines they overwrite. True when done.
template <int E>
inline bool FillUniformBytes(uint8_t* d, size_t bytes, uint32_t value)
{
    constexpr uint32_t kMask = E == 4 ? 0xFFFFFFFFu : (1u << (8 * E)) - 1;
    const uint32_t b = value & 0xFF;
    if (bytes < 4096 || (value & kMask) != ((b * 0x01010101u) & kMask))
        return false;
    std::memset(d, static_cast<int>(b), bytes);
    return true;
}

// Fills `bytes` bytes, at least sizeof(V) and a whole number of E-byte
// elements. source.Phase(r) is the vector to store at offsets o with
// o mod E = r. Short fills are up to eight overlapping stores; longer ones an
// unaligned head, aligned stores three at a time (three vectors cover whole
// elements for every E, so the phases repeat) and an overlapping tail.
template <int E, typename V, typename Source>
[[gnu::always_inline]] inline void FillLoop(uint8_t* d, size_t bytes, const Source& source)
{
    constexpr size_t kV = sizeof(V);
    // bytes is a multiple of E, so the phases of offsets counted back from
    // the end are known in advance.
    constexpr auto kPhaseOf = [](size_t offset) { return static_cast<unsigned>(offset % E); };
    constexpr auto kBackPhase = [](size_t back) { return static_cast<unsigned>((E - back % E) % E); };
    // Short fills: up to eight overlapping stores, half from the front and
    // half counted back from the end, no loop.
    auto front = [&]<size_t... I>(std::index_sequence<I...>) {
        (PutVector(d + I * kV, source.Phase(kPhaseOf(I * kV))), ...);
        (PutVector(d + bytes - (I + 1) * kV, source.Phase(kBackPhase((I + 1) * kV))), ...);
    };
    if (bytes <= 2 * kV) {
        front(std::make_index_sequence<1>());
        return;
    }
    if (bytes <= 4 * kV) {
        front(std::make_index_sequence<2>());
        return;
    }
    if (bytes <= 8 * kV) {
        front(std::make_index_sequence<4>());
        return;
    }
    PutVector(d, source.Phase(0));
    size_t o = kV - (reinterpret_cast<uintptr_t>(d) & (kV - 1));
    const unsigned r = static_cast<unsigned>(o % E);
    const V a = source.Phase(r);
    const V b = source.Phase((r + kV) % E);
    const V c = source.Phase((r + 2 * kV) % E);
    for (; o + 3 * kV <= bytes; o += 3 * kV) {
        PutVector(d + o, a);
        PutVector(d + o + kV, b);
        PutVector(d + o + 2 * kV, c);
    }
    if (o + kV <= bytes) {
        PutVector(d + o, a);
        if (o + 2 * kV <= bytes)
            PutVector(d + o + kV, b);
    }
    PutVector(d + bytes - kV, source.Phase(kBackPhase(kV)));
}

} // namespace
