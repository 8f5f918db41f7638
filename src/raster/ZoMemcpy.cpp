// The element copy routines (reversed, keyed, masked).
#include "raster/ZoMemory.h"

#include "raster/PixelAccess.h"

#include <cstddef>
#include <cstring>

namespace {

using pendar::pixel::ElementMask;
using pendar::pixel::Load;
using pendar::pixel::Store;

template <int N>
void* CopyReversed(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src) + size_t{count} * N;
    for (unsigned i = 0; i < count; ++i) {
        s -= N;
        Store<N>(d, Load<N>(s));
        d += N;
    }
    return dst;
}

template <int N, bool Reversed>
void* CopyKeyed(void* dst, const void* src, unsigned count, uint32_t key)
{
    // A 3-byte element never holds more than 24 bits, so a larger key never
    // matches; the 1- and 2-byte elements compare with the key's low part.
    if constexpr (N == 1 || N == 2)
        key &= ElementMask<N>();
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    for (unsigned i = 0; i < count; ++i) {
        size_t from = Reversed ? size_t{count - 1 - i} : size_t{i};
        uint32_t v = Load<N>(s + from * N);
        if (v != key)
            Store<N>(d + size_t{i} * N, v);
    }
    return dst;
}

template <int N>
void MaskedCopyN(bool reversed, void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth,
                 unsigned phase)
{
    if (maskWidth == 0 || count == 0)
        return;
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    const auto* m = static_cast<const uint8_t*>(mask);
    unsigned bit = phase % maskWidth;
    for (unsigned i = 0; i < count; ++i) {
        if (m[bit >> 3] & (0x80u >> (bit & 7))) {
            size_t to = reversed ? size_t{count - 1 - i} : size_t{i};
            Store<N>(d + to * N, Load<N>(s + size_t{i} * N));
        }
        if (++bit == maskWidth)
            bit = 0;
    }
}

template <int N, bool Reversed>
void* CopyMasked(void* dst, const void* src, unsigned count, const void* mask, unsigned maskWidth)
{
    MaskedCopyN<N>(Reversed, dst, src, count, mask, maskWidth, 0);
    return dst;
}

} // namespace

void* ZoMemcpyR(void* d, const void* s, unsigned n) { return CopyReversed<1>(d, s, n); }
void* ZoMemcpy2R(void* d, const void* s, unsigned n) { return CopyReversed<2>(d, s, n); }
void* ZoMemcpy3R(void* d, const void* s, unsigned n) { return CopyReversed<3>(d, s, n); }
void* ZoMemcpy4R(void* d, const void* s, unsigned n) { return CopyReversed<4>(d, s, n); }

void* ZoMemcpyK(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<1, false>(d, s, n, k); }
void* ZoMemcpy2K(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<2, false>(d, s, n, k); }
void* ZoMemcpy3K(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<3, false>(d, s, n, k); }
void* ZoMemcpy4K(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<4, false>(d, s, n, k); }

void* ZoMemcpyRK(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<1, true>(d, s, n, k); }
void* ZoMemcpy2RK(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<2, true>(d, s, n, k); }
void* ZoMemcpy3RK(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<3, true>(d, s, n, k); }
void* ZoMemcpy4RK(void* d, const void* s, unsigned n, uint32_t k) { return CopyKeyed<4, true>(d, s, n, k); }

void* ZoMemcpyM(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<1, false>(d, s, n, m, w);
}
void* ZoMemcpy2M(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<2, false>(d, s, n, m, w);
}
void* ZoMemcpy3M(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<3, false>(d, s, n, m, w);
}
void* ZoMemcpy4M(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<4, false>(d, s, n, m, w);
}

void* ZoMemcpyRM(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<1, true>(d, s, n, m, w);
}
void* ZoMemcpy2RM(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<2, true>(d, s, n, m, w);
}
void* ZoMemcpy3RM(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<3, true>(d, s, n, m, w);
}
void* ZoMemcpy4RM(void* d, const void* s, unsigned n, const void* m, unsigned w)
{
    return CopyMasked<4, true>(d, s, n, m, w);
}

const TZoMemcpyProc ZoMemcpyRTable[5] = {nullptr, ZoMemcpyR, ZoMemcpy2R, ZoMemcpy3R, ZoMemcpy4R};
const TZoMemcpyKProc ZoMemcpyKTable[5] = {nullptr, ZoMemcpyK, ZoMemcpy2K, ZoMemcpy3K, ZoMemcpy4K};
const TZoMemcpyKProc ZoMemcpyRKTable[5] = {nullptr, ZoMemcpyRK, ZoMemcpy2RK, ZoMemcpy3RK, ZoMemcpy4RK};
const TZoMemcpyMProc ZoMemcpyMTable[5] = {nullptr, ZoMemcpyM, ZoMemcpy2M, ZoMemcpy3M, ZoMemcpy4M};
const TZoMemcpyMProc ZoMemcpyRMTable[5] = {nullptr, ZoMemcpyRM, ZoMemcpy2RM, ZoMemcpy3RM, ZoMemcpy4RM};

void pendar::MaskedCopy(int elementSize, bool reversed, void* dst, const void* src, unsigned count,
                        const void* mask, unsigned maskWidth, unsigned phase)
{
    pendar::pixel::WithElementSize(elementSize, [&]<int N>() {
        MaskedCopyN<N>(reversed, dst, src, count, mask, maskWidth, phase);
    });
}
