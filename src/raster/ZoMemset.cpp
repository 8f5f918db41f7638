// The 2-, 3- and 4-byte fills (the 1-byte one, and the 4-byte one of
// aligned blocks, are the C library's). They store vectors of the repeating element pattern, here the baseline SSE2
// ones; ZoMemsetAvx2.cpp has the AVX2 ones, chosen at run time. A vector
// stored at byte offset o must start with element byte (o mod size), so a
// fill keeps one vector per phase.
#include "raster/ZoMemory.h"

#include "raster/FillLoop.h"
#include "raster/FillPaths.h"
#include "raster/PixelAccess.h"

#include <cstddef>
#include <cstring>

namespace {

typedef uint32_t Vec16 __attribute__((vector_size(16)));

// The element's bytes as 32-bit words: word[r] holds the four pattern bytes
// that start at an offset o with o mod E = r.
template <int E>
struct Pattern {
    uint32_t word[E];

    explicit Pattern(uint32_t value)
    {
        const uint32_t b0 = value & 0xFF, b1 = (value >> 8) & 0xFF, b2 = (value >> 16) & 0xFF;
        auto rotate = [](uint32_t v, int bytes) { return bytes == 0 ? v : (v >> (8 * bytes)) | (v << (32 - 8 * bytes)); };
        if constexpr (E == 3) {
            word[0] = b0 | b1 << 8 | b2 << 16 | b0 << 24;
            word[1] = b1 | b2 << 8 | b0 << 16 | b1 << 24;
            word[2] = b2 | b0 << 8 | b1 << 16 | b2 << 24;
        } else {
            const uint32_t w = E == 2 ? (value & 0xFFFF) * 0x00010001u : value;
            for (int r = 0; r < E; ++r)
                word[r] = rotate(w, r);
        }
    }

    uint32_t At(size_t offset) const { return word[offset % E]; }
};

// One vector per phase: word i of phase r is word[(r + 4i) mod E].
template <int E>
struct Phases {
    Vec16 phase[E];

    explicit Phases(const Pattern<E>& p)
    {
        for (int r = 0; r < E; ++r) {
            auto w = [&](int i) { return p.word[(r + 4 * i) % E]; };
            phase[r] = Vec16{w(0), w(1), w(2), w(3)};
        }
    }
    const Vec16& Phase(unsigned r) const { return phase[r]; }
};

// A 2- or 4-byte fill that starts on an element boundary only ever stores at
// offsets that are whole elements, so one vector serves every store.
struct OnePhase {
    Vec16 v;

    explicit OnePhase(uint32_t w) : v(Vec16{w, w, w, w}) {}
    const Vec16& Phase(unsigned) const { return v; }
};

// Fewer than 16 bytes: overlapping word stores, or single elements.
template <int E>
void FillSmall(uint8_t* d, size_t bytes, const Pattern<E>& p)
{
    if (bytes >= 8) {
        PutVector(d, uint64_t{p.At(0)} | uint64_t{p.At(4)} << 32);
        size_t t = bytes - 8;
        PutVector(d + t, uint64_t{p.At(t)} | uint64_t{p.At(t + 4)} << 32);
    } else if (bytes >= 4) {
        PutVector(d, p.At(0));
        PutVector(d + bytes - 4, p.At(bytes - 4));
    } else {
        for (size_t o = 0; o < bytes; o += E)
            pendar::pixel::Store<E>(d + o, p.At(0));
    }
}

template <int E>
void FillSse2(uint8_t* d, size_t bytes, uint32_t value)
{
    if (FillUniformBytes<E>(d, bytes, value))
        return;
    const Pattern<E> p(value);
    if (bytes < 16)
        FillSmall<E>(d, bytes, p);
    else if (E != 3 && reinterpret_cast<uintptr_t>(d) % E == 0)
        FillLoop<E, Vec16>(d, bytes, OnePhase(p.word[0]));
    else
        FillLoop<E, Vec16>(d, bytes, Phases<E>(p));
}

bool HaveAvx2()
{
#if defined(PENDAR_HAVE_AVX2_FILLS)
    static const bool have = pendar::fill::HaveAvx2();
    return have;
#else
    return false;
#endif
}

const pendar::fill::TFillProc* BestTable()
{
#if defined(PENDAR_HAVE_AVX2_FILLS)
    if (HaveAvx2())
        return pendar::fill::kAvx2;
#endif
    return pendar::fill::kSse2;
}

template <int E>
void Resolve(uint8_t* d, size_t bytes, uint32_t value)
{
    pendar::fill::g_current[E] = BestTable()[E];
    pendar::fill::g_current[E](d, bytes, value);
}

} // namespace

const pendar::fill::TFillProc pendar::fill::kSse2[5] = {nullptr, nullptr, FillSse2<2>, FillSse2<3>, FillSse2<4>};

// Constant-initialised, so fills work even from other files' static
// initialisers.
pendar::fill::TFillProc pendar::fill::g_current[5] = {nullptr, nullptr, Resolve<2>, Resolve<3>, Resolve<4>};

const TZoMemsetProc ZoMemsetTable[5] = {nullptr, ZoMemset, ZoMemset2, ZoMemset3, ZoMemset4};

bool pendar::FillIsaAvailable(TFillIsa isa)
{
    return isa == TFillIsa::Sse2 || HaveAvx2();
}

void pendar::FillElements(TFillIsa isa, int elementSize, void* dst, uint32_t value, unsigned count)
{
    if (count == 0 || elementSize < 2 || elementSize > 4 || !FillIsaAvailable(isa))
        return;
    auto* d = static_cast<uint8_t*>(dst);
    const size_t bytes = size_t{count} * elementSize;
    if (isa == TFillIsa::Avx2)
        pendar::fill::kAvx2[elementSize](d, bytes, value);
    else
        pendar::fill::kSse2[elementSize](d, bytes, value);
}
