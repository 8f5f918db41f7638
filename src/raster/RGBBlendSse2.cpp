// The fast row routines (the _MMX names), written with SSE2. Channels are
// widened to 16-bit lanes, blended as d + ((((s - d) * f) mod 65536) >> 8)
// (the low byte of which is the plain routines' d + floor(a * (s - d) / 128)
// for f = 2a), and packed back. Every routine works in whole blocks of
// 16 bytes; a row's last partial block is staged through a small buffer, so
// every pixel of a row gets the same arithmetic.
#include "raster/RGBBlend.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include <array>
#include <cstring>
#include <utility>

namespace {

struct Stream {
    const uint8_t* p;
    int bpp;
};

Stream In(const void* p, int bpp) { return Stream{static_cast<const uint8_t*>(p), bpp}; }

// Calls op(dst block, source blocks...) for every run of P pixels; the last,
// shorter run goes through zeroed staging blocks of P pixels.
template <unsigned P, typename Op, typename... S, size_t... I>
void RunTail(unsigned i, unsigned count, uint8_t* dst, int dstBpp, Op& op, std::index_sequence<I...>,
             const S&... srcs)
{
    const unsigned rest = count - i;
    alignas(16) uint8_t d[P * 4] = {};
    alignas(16) uint8_t staged[sizeof...(S) + 1][P * 4] = {};
    std::memcpy(d, dst + size_t{i} * dstBpp, size_t{rest} * dstBpp);
    ((std::memcpy(staged[I], srcs.p + size_t{i} * srcs.bpp, size_t{rest} * srcs.bpp)), ...);
    op(d, static_cast<const uint8_t*>(staged[I])...);
    std::memcpy(dst + size_t{i} * dstBpp, d, size_t{rest} * dstBpp);
}

template <unsigned P, typename Op, typename... S>
void* Run(void* dstRow, int dstBpp, unsigned count, Op op, S... srcs)
{
    auto* dst = static_cast<uint8_t*>(dstRow);
    unsigned i = 0;
    for (; i + P <= count; i += P)
        op(dst + size_t{i} * dstBpp, (srcs.p + size_t{i} * srcs.bpp)...);
    if (i < count)
        RunTail<P>(i, count, dst, dstBpp, op, std::index_sequence_for<S...>(), srcs...);
    return dstRow;
}

__m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// The lanes' d + ((((s - d) * f) mod 65536) >> 8), low byte.
__m128i Lerp16(__m128i d, __m128i s, __m128i f)
{
    const __m128i r = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), f), 8);
    return _mm_and_si128(_mm_add_epi16(d, r), _mm_set1_epi16(0xFF));
}

// Sixteen bytes blended with the factors of their low and high eight.
__m128i Lerp8(__m128i d, __m128i s, __m128i fLo, __m128i fHi)
{
    const __m128i z = _mm_setzero_si128();
    return _mm_packus_epi16(Lerp16(_mm_unpacklo_epi8(d, z), _mm_unpacklo_epi8(s, z), fLo),
                            Lerp16(_mm_unpackhi_epi8(d, z), _mm_unpackhi_epi8(s, z), fHi));
}

// min(255, (s * t) >> 7) for sixteen bytes with per-lane tones.
__m128i Scale8(__m128i s, __m128i tLo, __m128i tHi)
{
    const __m128i z = _mm_setzero_si128();
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, z), tLo), 7);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, z), tHi), 7);
    return _mm_packus_epi16(lo, hi);
}

// The pixels of a byte format per block: 16 bytes, or 48 for 24-bit rows so
// that blocks hold whole pixels.
constexpr unsigned PixelsPerBlock(int bpp) { return bpp == 3 ? 16 : 16 / bpp; }

// A two-source byte routine: op(a vector, b vector) on every 16 bytes.
template <int Bpp, typename VecOp>
void* TwoSources(void* dst, const void* a, const void* b, unsigned count, VecOp vec)
{
    return Run<PixelsPerBlock(Bpp)>(
        dst, Bpp, count,
        [&](uint8_t* d, const uint8_t* x, const uint8_t* y) {
            for (int o = 0; o < (Bpp == 3 ? 48 : 16); o += 16)
                Store(d + o, vec(Load(x + o), Load(y + o)));
        },
        In(a, Bpp), In(b, Bpp));
}

template <int Bpp>
void* AlphaFast(void* dst, const void* a, const void* b, unsigned count)
{
    const __m128i f = _mm_set1_epi16(static_cast<short>(2 * AlphaParam()));
    return TwoSources<Bpp>(dst, a, b, count, [&](__m128i x, __m128i y) { return Lerp8(x, y, f, f); });
}

template <int Bpp>
void* HalfFast(void* dst, const void* a, const void* b, unsigned count)
{
    // The rounding-up average, less the bit it rounded up.
    const __m128i one = _mm_set1_epi8(1);
    return TwoSources<Bpp>(dst, a, b, count, [&](__m128i x, __m128i y) {
        return _mm_sub_epi8(_mm_avg_epu8(x, y), _mm_and_si128(_mm_xor_si128(x, y), one));
    });
}

template <int Bpp>
void* AddFast(void* dst, const void* src, unsigned count)
{
    return TwoSources<Bpp>(dst, dst, src, count, [](__m128i x, __m128i y) { return _mm_adds_epu8(x, y); });
}

template <int Bpp>
void* SubFast(void* dst, const void* src, unsigned count)
{
    return TwoSources<Bpp>(dst, dst, src, count, [](__m128i x, __m128i y) { return _mm_subs_epu8(x, y); });
}

// ---- per-pixel factors ---------------------------------------------------------

// Four 32-bit pixels' factors (16-bit lanes 0..3) spread over their colour
// lanes: lanes (f0, f0, f0, 0, f1, f1, f1, 0) and the same for f2, f3.
void Spread4(__m128i f, __m128i& lo, __m128i& hi)
{
    const __m128i colour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i pairs = _mm_unpacklo_epi16(f, f); // f0 f0 f1 f1 f2 f2 f3 f3
    lo = _mm_and_si128(_mm_unpacklo_epi32(pairs, pairs), colour);
    hi = _mm_and_si128(_mm_unpackhi_epi32(pairs, pairs), colour);
}

// Alpha values in 16-bit lanes 0..3 to the factor table's values: 256 for
// 255, else the value itself.
__m128i AlphaFactors(__m128i a)
{
    return _mm_sub_epi16(a, _mm_cmpeq_epi16(a, _mm_set1_epi16(255)));
}

// Four alpha bytes into 16-bit lanes 0..3.
__m128i Widen4(const uint8_t* alpha)
{
    int32_t v;
    std::memcpy(&v, alpha, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), _mm_setzero_si128());
}

// 32-bit pixels blended with per-pixel factors in lanes 0..3.
void Blend4(uint8_t* d, const uint8_t* s, __m128i factors)
{
    __m128i lo, hi;
    Spread4(factors, lo, hi);
    Store(d, Lerp8(Load(d), Load(s), lo, hi));
}

// Sixteen 24-bit pixels (48 bytes) blended with per-pixel factors.
void Blend16x3(uint8_t* d, const uint8_t* s, const uint16_t* factors)
{
    alignas(16) uint16_t lanes[48];
    for (int p = 0; p < 16; ++p)
        lanes[3 * p] = lanes[3 * p + 1] = lanes[3 * p + 2] = factors[p];
    for (int o = 0; o < 48; o += 16) {
        const __m128i fLo = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes + o));
        const __m128i fHi = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes + o + 8));
        Store(d + o, Lerp8(Load(d + o), Load(s + o), fLo, fHi));
    }
}

// Per-pixel alpha of a plane, through factor(alpha) (already doubled).
template <typename Factor>
void* OutChannel24(void* dst, const void* src, const void* alpha, unsigned count, Factor factor)
{
    return Run<16>(
        dst, 3, count,
        [&](uint8_t* d, const uint8_t* s, const uint8_t* a) {
            uint16_t f[16];
            for (int p = 0; p < 16; ++p)
                f[p] = static_cast<uint16_t>(factor(a[p]));
            Blend16x3(d, s, f);
        },
        In(src, 3), In(alpha, 1));
}

unsigned DoubledHalf(uint8_t alpha) { return 2 * ((alpha + 1u) >> 1); }
unsigned DoubledDouble(uint8_t alpha) { return 2u * pendar::blend::g_doubleAlpha[alpha]; }

template <int Bpp>
__m128i ToneLanes(unsigned long tone, int firstByte)
{
    alignas(16) uint16_t lanes[8];
    for (int k = 0; k < 8; ++k)
        lanes[k] = static_cast<uint16_t>((tone >> (8 * ((firstByte + k) % Bpp))) & 0xFF);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
}

} // namespace

void* RGBAlpha24_888_MMX(void* d, const void* a, const void* b, unsigned n) { return AlphaFast<3>(d, a, b, n); }
void* RGBAlpha32_888_MMX(void* d, const void* a, const void* b, unsigned n) { return AlphaFast<4>(d, a, b, n); }
void* RGBAlpha32_8888_MMX(void* d, const void* a, const void* b, unsigned n) { return AlphaFast<4>(d, a, b, n); }
void* RGBAlpha8_MMX(void* d, const void* a, const void* b, unsigned n) { return AlphaFast<1>(d, a, b, n); }

void* RGBHalf24_888_MMX(void* d, const void* a, const void* b, unsigned n) { return HalfFast<3>(d, a, b, n); }
void* RGBHalf32_888_MMX(void* d, const void* a, const void* b, unsigned n) { return HalfFast<4>(d, a, b, n); }
void* RGBHalf32_8888_MMX(void* d, const void* a, const void* b, unsigned n) { return HalfFast<4>(d, a, b, n); }
void* RGBHalf8_MMX(void* d, const void* a, const void* b, unsigned n) { return HalfFast<1>(d, a, b, n); }

void* RGBAdd24_888_MMX(void* d, const void* s, unsigned n) { return AddFast<3>(d, s, n); }
void* RGBAdd32_888_MMX(void* d, const void* s, unsigned n) { return AddFast<4>(d, s, n); }
void* RGBAdd32_8888_MMX(void* d, const void* s, unsigned n) { return AddFast<4>(d, s, n); }
void* RGBSub24_888_MMX(void* d, const void* s, unsigned n) { return SubFast<3>(d, s, n); }
void* RGBSub32_888_MMX(void* d, const void* s, unsigned n) { return SubFast<4>(d, s, n); }
void* RGBSub32_8888_MMX(void* d, const void* s, unsigned n) { return SubFast<4>(d, s, n); }

void* RGBAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel24(d, s, a, n, DoubledHalf);
}

void* RGBDoubleAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel24(d, s, a, n, DoubledDouble);
}

void* RGBAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return Run<4>(
        d, 4, n,
        [](uint8_t* dp, const uint8_t* sp, const uint8_t* ap) { Blend4(dp, sp, AlphaFactors(Widen4(ap))); },
        In(s, 4), In(a, 1));
}

void* RGBDoubleAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return Run<4>(
        d, 4, n,
        [](uint8_t* dp, const uint8_t* sp, const uint8_t* ap) {
            const __m128i f = _mm_setr_epi16(short(DoubledDouble(ap[0])), short(DoubledDouble(ap[1])),
                                             short(DoubledDouble(ap[2])), short(DoubledDouble(ap[3])), 0, 0, 0, 0);
            Blend4(dp, sp, f);
        },
        In(s, 4), In(a, 1));
}

void* RGBAlphaInChannel_MMX(void* d, const void* s, unsigned n)
{
    return Run<4>(
        d, 4, n,
        [](uint8_t* dp, const uint8_t* sp) {
            // The fourth bytes of the four source pixels, in lanes 0..3.
            const __m128i alpha = _mm_srli_epi32(Load(sp), 24);
            Blend4(dp, sp, AlphaFactors(_mm_packs_epi32(alpha, _mm_setzero_si128())));
        },
        In(s, 4));
}

void* RGBTone24_MMX(void* d, const void* s, unsigned long tone, unsigned n)
{
    // A 48-byte block starts on a pixel, so its six lane groups always meet
    // the same channels.
    __m128i t[6];
    for (int g = 0; g < 6; ++g)
        t[g] = ToneLanes<3>(tone, 8 * g);
    return Run<16>(
        d, 3, n,
        [&](uint8_t* dp, const uint8_t* sp) {
            for (int o = 0; o < 3; ++o)
                Store(dp + 16 * o, Scale8(Load(sp + 16 * o), t[2 * o], t[2 * o + 1]));
        },
        In(s, 3));
}

void* RGBTone32_MMX(void* d, const void* s, unsigned long tone, unsigned n)
{
    // All four bytes are scaled, the fourth by the tone's top byte.
    const __m128i t = ToneLanes<4>(tone, 0);
    return Run<4>(
        d, 4, n, [&](uint8_t* dp, const uint8_t* sp) { Store(dp, Scale8(Load(sp), t, t)); }, In(s, 4));
}

namespace {

template <typename VecOp>
void* PlaneFast(void* dst, const void* src, const int value, unsigned count, VecOp vec)
{
    const __m128i v = _mm_set1_epi8(static_cast<char>(value & 0xFF));
    return Run<16>(
        dst, 1, count, [&](uint8_t* d, const uint8_t* s) { Store(d, vec(Load(s), v)); }, In(src, 1));
}

} // namespace

void* RGBExtractAlpha_MMX(void* d, const void* s, const int value, unsigned n)
{
    return PlaneFast(d, s, value, n, [](__m128i x, __m128i v) {
        // (s - 240) * 17 as x * 16 + x; x is at most 15, so no bit leaves its byte.
        const __m128i above = _mm_subs_epu8(_mm_adds_epu8(x, v), _mm_set1_epi8(static_cast<char>(240)));
        return _mm_add_epi8(_mm_slli_epi16(above, 4), above);
    });
}

void* RGBSAddAlpha_MMX(void* d, const void* s, const int value, unsigned n)
{
    return PlaneFast(d, s, value, n, [](__m128i x, __m128i v) { return _mm_adds_epu8(x, v); });
}

void* RGBSSubAlpha_MMX(void* d, const void* s, const int value, unsigned n)
{
    return PlaneFast(d, s, value, n, [](__m128i x, __m128i v) { return _mm_subs_epu8(x, v); });
}

#else // no SSE2: the fast names are the plain routines

void* RGBAlpha24_888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBAlpha24_888(d, a, b, n); }
void* RGBAlpha32_888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBAlpha32_888(d, a, b, n); }
void* RGBAlpha32_8888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBAlpha32_8888(d, a, b, n); }
void* RGBAlpha8_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBAlpha8(d, a, b, n); }
void* RGBHalf24_888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBHalf24_888(d, a, b, n); }
void* RGBHalf32_888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBHalf32_888(d, a, b, n); }
void* RGBHalf32_8888_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBHalf32_8888(d, a, b, n); }
void* RGBHalf8_MMX(void* d, const void* a, const void* b, unsigned n) { return RGBHalf8(d, a, b, n); }
void* RGBAdd24_888_MMX(void* d, const void* s, unsigned n) { return RGBAdd24_888(d, s, n); }
void* RGBAdd32_888_MMX(void* d, const void* s, unsigned n) { return RGBAdd32_888(d, s, n); }
void* RGBAdd32_8888_MMX(void* d, const void* s, unsigned n) { return RGBAdd32_8888(d, s, n); }
void* RGBSub24_888_MMX(void* d, const void* s, unsigned n) { return RGBSub24_888(d, s, n); }
void* RGBSub32_888_MMX(void* d, const void* s, unsigned n) { return RGBSub32_888(d, s, n); }
void* RGBSub32_8888_MMX(void* d, const void* s, unsigned n) { return RGBSub32_8888(d, s, n); }
void* RGBAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return RGBAlphaOutChannel(d, s, a, n);
}
void* RGBAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return RGBAlphaOutChannel32(d, s, a, n);
}
void* RGBAlphaInChannel_MMX(void* d, const void* s, unsigned n) { return RGBAlphaInChannel(d, s, n); }
void* RGBDoubleAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return RGBDoubleAlphaOutChannel(d, s, a, n);
}
void* RGBDoubleAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n)
{
    return RGBDoubleAlphaOutChannel32(d, s, a, n);
}
void* RGBTone24_MMX(void* d, const void* s, unsigned long t, unsigned n) { return RGBTone24(d, s, t, n); }
void* RGBTone32_MMX(void* d, const void* s, unsigned long t, unsigned n) { return RGBTone32(d, s, t, n); }
void* RGBExtractAlpha_MMX(void* d, const void* s, const int v, unsigned n) { return RGBExtractAlpha(d, s, v, n); }
void* RGBSAddAlpha_MMX(void* d, const void* s, const int v, unsigned n) { return RGBSAddAlpha(d, s, v, n); }
void* RGBSSubAlpha_MMX(void* d, const void* s, const int v, unsigned n) { return RGBSSubAlpha(d, s, v, n); }

#endif
