// A per-pixel model of the blending rules, written from the rules
// themselves (field by field, byte by byte) so that the row routines, their
// fast forms and the buffer operations can be checked against it.
#pragma once

#include "raster/PixFormat.h"

#include <algorithm>
#include <cstdint>

namespace pendar::test::blend {

// floor(n / d) for d > 0.
constexpr int FloorDiv(int n, int d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

// The colour fields of a format (bytes: each byte a field of 8 bits).
struct Field {
    int shift;
    int bits;
    uint32_t Max() const { return (1u << bits) - 1; }
    uint32_t Get(uint32_t p) const { return (p >> shift) & Max(); }
};

struct Layout {
    int bpp;
    int fields;
    Field f[4];
    enum Extra { None, Bit15, Nibble } extra;
};

// 8-bit alpha planes are format 0 here.
inline Layout LayoutOf(int format)
{
    switch (format) {
    case pf16_565: return {2, 3, {{11, 5}, {5, 6}, {0, 5}, {}}, Layout::None};
    case pf16_555:
    case pf16_5551: return {2, 3, {{10, 5}, {5, 5}, {0, 5}, {}}, Layout::Bit15};
    case pf16_4444: return {2, 3, {{8, 4}, {4, 4}, {0, 4}, {}}, Layout::Nibble};
    case pf24_888: return {3, 3, {{0, 8}, {8, 8}, {16, 8}, {}}, Layout::None};
    case pf32_888:
    case pf32_8888: return {4, 4, {{0, 8}, {8, 8}, {16, 8}, {24, 8}}, Layout::None};
    default: return {1, 1, {{0, 8}, {}, {}, {}}, Layout::None};
    }
}

enum class Op { Alpha, Half, Add, Sub };

// One pixel of the two-source families (a the first source or the
// destination, b the second source).
inline uint32_t TwoSource(Op op, int format, uint32_t a, uint32_t b, int alpha)
{
    const Layout l = LayoutOf(format);
    uint32_t out = 0;
    for (int i = 0; i < l.fields; ++i) {
        const Field& f = l.f[i];
        const int x = int(f.Get(a)), y = int(f.Get(b)), max = int(f.Max());
        int v = 0;
        switch (op) {
        case Op::Alpha: v = x + FloorDiv(alpha * (y - x), 128); break;
        case Op::Half: v = (x + y) / 2; break;
        case Op::Add: v = std::min(max, x + y); break;
        case Op::Sub: v = std::max(0, x - y); break;
        }
        out |= uint32_t(v) << f.shift;
    }
    if (l.extra == Layout::Bit15) {
        if (op == Op::Half)
            out |= a & b & 0x8000;
        else if (op == Op::Add)
            out |= (a ^ b) & 0x8000;
    } else if (l.extra == Layout::Nibble) {
        const uint32_t na = a >> 12, nb = b >> 12;
        if (op == Op::Half)
            out |= ((na + nb) / 2) << 12;
        else if (op == Op::Add)
            out |= ((na + nb) & 15) << 12;
    }
    return out;
}

// d + floor(f * (s - d) / scale) per colour byte of a pixel in RGBQUAD
// order (channels 0..2), the fourth byte untouched.
inline uint32_t Towards(uint32_t d, uint32_t s, int f, int scale)
{
    uint32_t out = d & 0xFF000000;
    for (int c = 0; c < 3; ++c) {
        const int x = int((d >> (8 * c)) & 0xFF), y = int((s >> (8 * c)) & 0xFF);
        out |= uint32_t(x + FloorDiv(f * (y - x), scale)) << (8 * c);
    }
    return out;
}

// The per-pixel opacity of the plain alpha-plane routines (of 128) and of
// the fast 32-bit ones (of 256).
inline int PlainFactor(int alpha) { return (alpha + 1) >> 1; }
inline int FastFactor(int alpha) { return alpha == 255 ? 256 : alpha; }

inline uint32_t Tone(uint32_t s, unsigned long tone, int channels)
{
    uint32_t out = 0;
    for (int c = 0; c < channels; ++c) {
        const uint32_t t = (tone >> (8 * c)) & 0xFF;
        out |= std::min(255u, (((s >> (8 * c)) & 0xFF) * t) >> 7) << (8 * c);
    }
    return out;
}

} // namespace pendar::test::blend
