// Pixel formats of the raster engine: the depth and layout enumerations, the
// Windows row element types, the single-value converters between a colour
// value (0x00RRGGBB) and a raw pixel value (a pixel's stored bits,
// zero-extended), and the tables that pick a converter by format.
#pragma once

#include <cstdint>

using uchar = unsigned char;

// Ordinal = bytes per pixel.
enum TBitDepth : uint8_t { bdNone = 0, bd8 = 1, bd16 = 2, bd24 = 3, bd32 = 4 };

enum TPixFormat : uint8_t {
    pfNone = 0,
    pf16_565 = 1,  // red 15..11, green 10..5, blue 4..0
    pf16_555 = 2,  // red 14..10, green 9..5, blue 4..0, bit 15 ignored
    pf16_5551 = 3, // as pf16_555, bit 15 a 1-bit alpha
    pf16_4444 = 4, // alpha 15..12, red 11..8, green 7..4, blue 3..0
    pf24_888 = 5,  // bytes blue, green, red
    pf32_888 = 6,  // bytes blue, green, red, one byte without colour
    pf32_8888 = 7, // bytes blue, green, red, alpha
};

constexpr int kPixFormatCount = 8;

struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

struct RGBTRIPLE {
    uint8_t rgbtBlue;
    uint8_t rgbtGreen;
    uint8_t rgbtRed;
};

static_assert(sizeof(RGBQUAD) == 4 && sizeof(RGBTRIPLE) == 3);

// True for pfNone at any depth and for each format at its own depth.
bool ChkDepthAndFormat(TBitDepth depth, TPixFormat format);
// True when copies between the two formats are plain byte copies.
bool FormatsCompatible(TPixFormat a, TPixFormat b);

// Red, green, blue and alpha masks per format, for BI_BITFIELDS headers.
extern const uint32_t RGBBitMask[kPixFormatCount][4];
// Bytes per pixel per format: 0, 2, 2, 2, 2, 3, 4, 4.
extern const uint8_t FormatAndDepthTable[kPixFormatCount];

// ---- single-value converters: colour value -> raw pixel value -------------

namespace pendar::pixel {
constexpr uint32_t R(uint32_t c) { return (c >> 16) & 0xFF; }
constexpr uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
constexpr uint32_t B(uint32_t c) { return c & 0xFF; }
// A 5- or 6-bit field widened to 8 bits by replicating its top bits.
constexpr uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
constexpr uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }
constexpr uint32_t Widen4(uint32_t v) { return v * 17; }
} // namespace pendar::pixel

constexpr uint32_t RGBto16_565(uint32_t c)
{
    using namespace pendar::pixel;
    return ((R(c) >> 3) << 11) | ((G(c) >> 2) << 5) | (B(c) >> 3);
}
constexpr uint32_t RGBto16_555(uint32_t c)
{
    using namespace pendar::pixel;
    return ((R(c) >> 3) << 10) | ((G(c) >> 3) << 5) | (B(c) >> 3);
}
// The alpha bit is always 0.
constexpr uint32_t RGBto16_5551(uint32_t c) { return RGBto16_555(c); }
// The alpha nibble takes the low four bits of the top byte.
constexpr uint32_t RGBto16_4444(uint32_t c)
{
    using namespace pendar::pixel;
    return (((c >> 24) & 0x0F) << 12) | ((R(c) >> 4) << 8) | ((G(c) >> 4) << 4) | (B(c) >> 4);
}
constexpr uint32_t RGBto24_888(uint32_t c) { return c; }
constexpr uint32_t RGBto32_888(uint32_t c) { return c; }
constexpr uint32_t RGBto32_8888(uint32_t c) { return c; }

// ---- raw pixel value -> colour value ---------------------------------------

constexpr uint32_t RGBfrom16_565(uint32_t p)
{
    using namespace pendar::pixel;
    return (Widen5((p >> 11) & 31) << 16) | (Widen6((p >> 5) & 63) << 8) | Widen5(p & 31);
}
// The top byte carries bit 15 of p; it is not a colour.
constexpr uint32_t RGBfrom16_555(uint32_t p)
{
    using namespace pendar::pixel;
    return ((p & 0x8000) << 9) | (Widen5((p >> 10) & 31) << 16) | (Widen5((p >> 5) & 31) << 8) |
           Widen5(p & 31);
}
constexpr uint32_t RGBfrom16_5551(uint32_t p) { return RGBfrom16_555(p); }
// The top byte carries the alpha nibble; colour users ignore it.
constexpr uint32_t RGBfrom16_4444(uint32_t p)
{
    using namespace pendar::pixel;
    return (((p >> 12) & 15) << 24) | (Widen4((p >> 8) & 15) << 16) | (Widen4((p >> 4) & 15) << 8) |
           Widen4(p & 15);
}
constexpr uint32_t RGBfrom24_888(uint32_t p) { return p; }
constexpr uint32_t RGBfrom32_888(uint32_t p) { return p; }
constexpr uint32_t RGBfrom32_8888(uint32_t p) { return p & 0x00FFFFFF; }

using TRGBConvProc = uint32_t (*)(uint32_t);
// Entry 0 (pfNone) is empty.
extern const TRGBConvProc RGBtoProcTable[kPixFormatCount];
extern const TRGBConvProc RGBfromProcTable[kPixFormatCount];

// ---- one pixel in memory, by bytes per pixel (entry 0 empty) ---------------

using TPixelStoreProc = void (*)(void* at, uint32_t value);
using TPixelLoadProc = uint32_t (*)(const void* at);
using TPixelCopyProc = void (*)(void* dst, const void* src);
extern const TPixelStoreProc PixelStoreProcTable[5];
extern const TPixelLoadProc PixelLoadProcTable[5];
extern const TPixelCopyProc PixelCopyProcTable[5];
