// The plain row routines, the blending parameters and the routine tables.
#include "raster/RGBBlend.h"

#include "raster/PixelAccess.h"

#include <algorithm>

namespace {

using pendar::pixel::Load;
using pendar::pixel::Store;

int g_alpha = 0;
int g_doubleAlpha = 0;

const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }
uint8_t* Bytes(void* p) { return static_cast<uint8_t*>(p); }

// ---- 16-bit pixels ------------------------------------------------------------

struct Field {
    int shift;
    int bits;
    constexpr uint32_t Max() const { return (1u << bits) - 1; }
    constexpr uint32_t Get(uint32_t p) const { return (p >> shift) & Max(); }
};

// The colour fields of a 16-bit format and what happens to its other bits.
enum class Extra { None, Bit15, Nibble };

struct Layout16 {
    Field f[3];
    Extra extra;
    uint32_t halfMask; // the bits whose halves stay inside their field
};

constexpr Layout16 k565{{{11, 5}, {5, 6}, {0, 5}}, Extra::None, 0xF7DE};
constexpr Layout16 k555{{{10, 5}, {5, 5}, {0, 5}}, Extra::Bit15, 0x7BDE};
constexpr Layout16 k4444{{{8, 4}, {4, 4}, {0, 4}}, Extra::Nibble, 0xEEEE};

// Applies field(a, b, max) to every colour field and extra(a, b) to the other
// bits of each pixel pair.
template <const Layout16& L, typename FieldOp, typename ExtraOp>
void* Map16(void* dst, const void* a, const void* b, unsigned count, FieldOp field, ExtraOp extra)
{
    for (unsigned i = 0; i < count; ++i) {
        const uint32_t pa = Load<2>(Bytes(a) + 2 * size_t{i});
        const uint32_t pb = Load<2>(Bytes(b) + 2 * size_t{i});
        uint32_t out = extra(pa, pb);
        for (const Field& f : L.f)
            out |= field(f.Get(pa), f.Get(pb), f.Max()) << f.shift;
        Store<2>(Bytes(dst) + 2 * size_t{i}, out);
    }
    return dst;
}

template <const Layout16& L>
void* Alpha16(void* dst, const void* a, const void* b, unsigned count)
{
    const uint8_t* table = pendar::blend::g_alphaDiff + 256;
    return Map16<L>(
        dst, a, b, count,
        [&](uint32_t x, uint32_t y, uint32_t) { return (x + table[int(y) - int(x)]) & 0xFF; },
        [](uint32_t, uint32_t) { return 0u; });
}

template <const Layout16& L>
void* Half16(void* dst, const void* a, const void* b, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        const uint32_t pa = Load<2>(Bytes(a) + 2 * size_t{i});
        const uint32_t pb = Load<2>(Bytes(b) + 2 * size_t{i});
        Store<2>(Bytes(dst) + 2 * size_t{i}, (pa & pb) + (((pa ^ pb) & L.halfMask) >> 1));
    }
    return dst;
}

template <const Layout16& L>
void* Add16(void* dst, const void* src, unsigned count)
{
    return Map16<L>(
        dst, dst, src, count, [](uint32_t x, uint32_t y, uint32_t max) { return std::min(max, x + y); },
        [](uint32_t x, uint32_t y) {
            if constexpr (L.extra == Extra::Bit15)
                return (x ^ y) & 0x8000;
            else if constexpr (L.extra == Extra::Nibble)
                return (((x >> 12) + (y >> 12)) & 15) << 12;
            else
                return 0u;
        });
}

template <const Layout16& L>
void* Sub16(void* dst, const void* src, unsigned count)
{
    return Map16<L>(
        dst, dst, src, count, [](uint32_t x, uint32_t y, uint32_t) { return x > y ? x - y : 0; },
        [](uint32_t, uint32_t) { return 0u; });
}

// ---- byte formats: every byte a channel -----------------------------------------

template <typename Op>
void* MapBytes(void* dst, const void* a, const void* b, size_t n, Op op)
{
    for (size_t i = 0; i < n; ++i)
        Bytes(dst)[i] = static_cast<uint8_t>(op(Bytes(a)[i], Bytes(b)[i]));
    return dst;
}

template <int Bpp>
void* AlphaBytes(void* dst, const void* a, const void* b, unsigned count)
{
    const uint8_t* table = pendar::blend::g_alphaDiff + 256;
    return MapBytes(dst, a, b, size_t{count} * Bpp, [&](int x, int y) { return x + table[y - x]; });
}

template <int Bpp>
void* HalfBytes(void* dst, const void* a, const void* b, unsigned count)
{
    return MapBytes(dst, a, b, size_t{count} * Bpp, [](int x, int y) { return (x + y) >> 1; });
}

template <int Bpp>
void* AddBytes(void* dst, const void* src, unsigned count)
{
    return MapBytes(dst, dst, src, size_t{count} * Bpp, [](int x, int y) { return std::min(255, x + y); });
}

template <int Bpp>
void* SubBytes(void* dst, const void* src, unsigned count)
{
    return MapBytes(dst, dst, src, size_t{count} * Bpp, [](int x, int y) { return std::max(0, x - y); });
}

// ---- per-pixel operations on the three colour bytes -------------------------------

// Calls op(d, s, i) for pixel i of each row: d and s its colour bytes.
template <int Bpp, typename Op>
void* EachPixel(void* dst, const void* src, unsigned count, Op op)
{
    for (unsigned i = 0; i < count; ++i)
        op(Bytes(dst) + size_t{i} * Bpp, Bytes(src) + size_t{i} * Bpp, i);
    return dst;
}

// d + floor(a * (s - d) / 128) for a = 0..128.
inline uint8_t Towards(int d, int s, int a)
{
    return static_cast<uint8_t>(d + ((a * (s - d)) >> 7));
}

// alpha[i * alphaStride] is pixel i's alpha.
template <int Bpp, typename Factor>
void* OutChannel(void* dst, const void* src, const void* alpha, size_t alphaStride, unsigned count, Factor factor)
{
    return EachPixel<Bpp>(dst, src, count, [&](uint8_t* d, const uint8_t* s, unsigned i) {
        const int a = factor(Bytes(alpha)[i * alphaStride]);
        for (int c = 0; c < 3; ++c)
            d[c] = Towards(d[c], s[c], a);
    });
}

int HalfAlpha(uint8_t alpha) { return (alpha + 1) >> 1; }
int DoubleAlpha(uint8_t alpha) { return pendar::blend::g_doubleAlpha[alpha]; }

template <int Bpp>
void* Tone(void* dst, const void* src, unsigned long tone, unsigned count)
{
    const unsigned t[3] = {unsigned(tone & 0xFF), unsigned((tone >> 8) & 0xFF), unsigned((tone >> 16) & 0xFF)};
    return EachPixel<Bpp>(dst, src, count, [&](uint8_t* d, const uint8_t* s, unsigned) {
        for (int c = 0; c < 3; ++c)
            d[c] = static_cast<uint8_t>(std::min(255u, (s[c] * t[c]) >> 7));
    });
}

template <int Bpp>
void* Monochrome(void* dst, const void* src, unsigned count)
{
    return EachPixel<Bpp>(dst, src, count, [](uint8_t* d, const uint8_t* s, unsigned) {
        const auto grey = static_cast<uint8_t>((s[0] + s[1] + s[2]) / 3);
        d[0] = d[1] = d[2] = grey;
    });
}

template <int Bpp>
void* Sepia(void* dst, const void* src, unsigned count)
{
    return EachPixel<Bpp>(dst, src, count, [](uint8_t* d, const uint8_t* s, unsigned) {
        const int sum = s[0] + s[1] + s[2];
        const int b = s[0], g = s[1], r = s[2];
        d[0] = static_cast<uint8_t>((b + sum) >> 3);
        d[1] = static_cast<uint8_t>((g + sum) / 5);
        d[2] = static_cast<uint8_t>((r + sum) >> 2);
    });
}

template <int Bpp>
void* Negative(void* dst, const void* src, unsigned count)
{
    return EachPixel<Bpp>(dst, src, count, [](uint8_t* d, const uint8_t* s, unsigned) {
        for (int c = 0; c < 3; ++c)
            d[c] = static_cast<uint8_t>(255 - s[c]);
    });
}

template <typename Op>
void* PlaneBytes(void* dst, const void* src, const int value, unsigned count, Op op)
{
    const int v = value & 0xFF;
    for (unsigned i = 0; i < count; ++i)
        Bytes(dst)[i] = static_cast<uint8_t>(op(Bytes(src)[i], v));
    return dst;
}

} // namespace

uint8_t pendar::blend::g_alphaDiff[512] = {};
uint8_t pendar::blend::g_doubleAlpha[256] = {};

void SetAlphaParam(int a)
{
    g_alpha = std::clamp(a, 0, 128);
    for (int d = -256; d < 256; ++d)
        pendar::blend::g_alphaDiff[d + 256] = static_cast<uint8_t>((g_alpha * d) >> 7);
}

int AlphaParam()
{
    return g_alpha;
}

void SetDoubleAlphaParam(int p)
{
    g_doubleAlpha = std::clamp(p, 0, 128);
    for (int i = 0; i < 256; ++i)
        pendar::blend::g_doubleAlpha[i] = static_cast<uint8_t>(g_doubleAlpha * i / 255);
}

int DoubleAlphaParam()
{
    return g_doubleAlpha;
}

void* RGBAlpha16_565(void* d, const void* a, const void* b, unsigned n) { return Alpha16<k565>(d, a, b, n); }
void* RGBAlpha16_555(void* d, const void* a, const void* b, unsigned n) { return Alpha16<k555>(d, a, b, n); }
void* RGBAlpha16_5551(void* d, const void* a, const void* b, unsigned n) { return Alpha16<k555>(d, a, b, n); }
void* RGBAlpha16_4444(void* d, const void* a, const void* b, unsigned n) { return Alpha16<k4444>(d, a, b, n); }
void* RGBAlpha24_888(void* d, const void* a, const void* b, unsigned n) { return AlphaBytes<3>(d, a, b, n); }
void* RGBAlpha32_888(void* d, const void* a, const void* b, unsigned n) { return AlphaBytes<4>(d, a, b, n); }
void* RGBAlpha32_8888(void* d, const void* a, const void* b, unsigned n) { return AlphaBytes<4>(d, a, b, n); }
void* RGBAlpha8(void* d, const void* a, const void* b, unsigned n) { return AlphaBytes<1>(d, a, b, n); }

void* RGBHalf16_565(void* d, const void* a, const void* b, unsigned n) { return Half16<k565>(d, a, b, n); }
void* RGBHalf16_555(void* d, const void* a, const void* b, unsigned n) { return Half16<k555>(d, a, b, n); }
void* RGBHalf16_5551(void* d, const void* a, const void* b, unsigned n) { return Half16<k555>(d, a, b, n); }
void* RGBHalf16_4444(void* d, const void* a, const void* b, unsigned n) { return Half16<k4444>(d, a, b, n); }
void* RGBHalf24_888(void* d, const void* a, const void* b, unsigned n) { return HalfBytes<3>(d, a, b, n); }
void* RGBHalf32_888(void* d, const void* a, const void* b, unsigned n) { return HalfBytes<4>(d, a, b, n); }
void* RGBHalf32_8888(void* d, const void* a, const void* b, unsigned n) { return HalfBytes<4>(d, a, b, n); }
void* RGBHalf8(void* d, const void* a, const void* b, unsigned n) { return HalfBytes<1>(d, a, b, n); }

void* RGBAdd16_565(void* d, const void* s, unsigned n) { return Add16<k565>(d, s, n); }
void* RGBAdd16_555(void* d, const void* s, unsigned n) { return Add16<k555>(d, s, n); }
void* RGBAdd16_5551(void* d, const void* s, unsigned n) { return Add16<k555>(d, s, n); }
void* RGBAdd16_4444(void* d, const void* s, unsigned n) { return Add16<k4444>(d, s, n); }
void* RGBAdd24_888(void* d, const void* s, unsigned n) { return AddBytes<3>(d, s, n); }
void* RGBAdd32_888(void* d, const void* s, unsigned n) { return AddBytes<4>(d, s, n); }
void* RGBAdd32_8888(void* d, const void* s, unsigned n) { return AddBytes<4>(d, s, n); }

void* RGBSub16_565(void* d, const void* s, unsigned n) { return Sub16<k565>(d, s, n); }
void* RGBSub16_555(void* d, const void* s, unsigned n) { return Sub16<k555>(d, s, n); }
void* RGBSub16_5551(void* d, const void* s, unsigned n) { return Sub16<k555>(d, s, n); }
void* RGBSub16_4444(void* d, const void* s, unsigned n) { return Sub16<k4444>(d, s, n); }
void* RGBSub24_888(void* d, const void* s, unsigned n) { return SubBytes<3>(d, s, n); }
void* RGBSub32_888(void* d, const void* s, unsigned n) { return SubBytes<4>(d, s, n); }
void* RGBSub32_8888(void* d, const void* s, unsigned n) { return SubBytes<4>(d, s, n); }

void* RGBAlphaOutChannel(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel<3>(d, s, a, 1, n, HalfAlpha);
}
void* RGBAlphaOutChannel32(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel<4>(d, s, a, 1, n, HalfAlpha);
}
void* RGBAlphaInChannel(void* d, const void* s, unsigned n)
{
    // Each source pixel's alpha is its own fourth byte.
    return n == 0 ? d : OutChannel<4>(d, s, Bytes(s) + 3, 4, n, HalfAlpha);
}
void* RGBDoubleAlphaOutChannel(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel<3>(d, s, a, 1, n, DoubleAlpha);
}
void* RGBDoubleAlphaOutChannel32(void* d, const void* s, const void* a, unsigned n)
{
    return OutChannel<4>(d, s, a, 1, n, DoubleAlpha);
}

void* RGBTone24(void* d, const void* s, unsigned long t, unsigned n) { return Tone<3>(d, s, t, n); }
void* RGBTone32(void* d, const void* s, unsigned long t, unsigned n) { return Tone<4>(d, s, t, n); }
void* RGBMonochrome24(void* d, const void* s, unsigned n) { return Monochrome<3>(d, s, n); }
void* RGBMonochrome32(void* d, const void* s, unsigned n) { return Monochrome<4>(d, s, n); }
void* pendar::blend::Sepia24(void* d, const void* s, unsigned n) { return Sepia<3>(d, s, n); }
void* pendar::blend::Sepia32(void* d, const void* s, unsigned n) { return Sepia<4>(d, s, n); }
void* pendar::blend::Negative24(void* d, const void* s, unsigned n) { return Negative<3>(d, s, n); }
void* pendar::blend::Negative32(void* d, const void* s, unsigned n) { return Negative<4>(d, s, n); }

void* RGBExtractAlpha(void* d, const void* s, const int value, unsigned n)
{
    return PlaneBytes(d, s, value, n, [](int x, int v) {
        const int sum = std::min(255, x + v);
        return sum < 240 ? 0 : (sum - 240) * 17;
    });
}
void* RGBSAddAlpha(void* d, const void* s, const int value, unsigned n)
{
    return PlaneBytes(d, s, value, n, [](int x, int v) { return std::min(255, x + v); });
}
void* RGBSSubAlpha(void* d, const void* s, const int value, unsigned n)
{
    return PlaneBytes(d, s, value, n, [](int x, int v) { return std::max(0, x - v); });
}

const TRGBBlendProc RGBAlphaProcTable[kPixFormatCount] = {
    nullptr,         RGBAlpha16_565, RGBAlpha16_555, RGBAlpha16_5551,
    RGBAlpha16_4444, RGBAlpha24_888, RGBAlpha32_888, RGBAlpha32_8888,
};
const TRGBBlendProc RGBAlphaMMXProcTable[kPixFormatCount] = {
    nullptr,         RGBAlpha16_565,     RGBAlpha16_555,     RGBAlpha16_5551,
    RGBAlpha16_4444, RGBAlpha24_888_MMX, RGBAlpha32_888_MMX, RGBAlpha32_8888_MMX,
};
const TRGBBlendProc RGBHalfProcTable[kPixFormatCount] = {
    nullptr,        RGBHalf16_565, RGBHalf16_555, RGBHalf16_5551,
    RGBHalf16_4444, RGBHalf24_888, RGBHalf32_888, RGBHalf32_8888,
};
const TRGBSatProc RGBAddProcTable[kPixFormatCount] = {
    nullptr,       RGBAdd16_565, RGBAdd16_555, RGBAdd16_5551,
    RGBAdd16_4444, RGBAdd24_888, RGBAdd32_888, RGBAdd32_8888,
};
const TRGBSatProc RGBAddMMXProcTable[kPixFormatCount] = {
    nullptr,       RGBAdd16_565,     RGBAdd16_555,     RGBAdd16_5551,
    RGBAdd16_4444, RGBAdd24_888_MMX, RGBAdd32_888_MMX, RGBAdd32_8888_MMX,
};
const TRGBSatProc RGBSubProcTable[kPixFormatCount] = {
    nullptr,       RGBSub16_565, RGBSub16_555, RGBSub16_5551,
    RGBSub16_4444, RGBSub24_888, RGBSub32_888, RGBSub32_8888,
};
const TRGBSatProc RGBSubMMXProcTable[kPixFormatCount] = {
    nullptr,       RGBSub16_565,     RGBSub16_555,     RGBSub16_5551,
    RGBSub16_4444, RGBSub24_888_MMX, RGBSub32_888_MMX, RGBSub32_8888_MMX,
};
