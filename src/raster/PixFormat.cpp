#include "raster/PixFormat.h"

#include "raster/PixelAccess.h"

bool ChkDepthAndFormat(TBitDepth depth, TPixFormat format)
{
    switch (format) {
    case pfNone: return true;
    case pf16_565:
    case pf16_555:
    case pf16_5551:
    case pf16_4444: return depth == bd16;
    case pf24_888: return depth == bd24;
    case pf32_888:
    case pf32_8888: return depth == bd32;
    default: return false;
    }
}

bool FormatsCompatible(TPixFormat a, TPixFormat b)
{
    auto pair = [&](TPixFormat x, TPixFormat y) { return (a == x && b == y) || (a == y && b == x); };
    return a == b || pair(pf32_888, pf32_8888) || pair(pf16_555, pf16_5551);
}

const uint32_t RGBBitMask[kPixFormatCount][4] = {
    {0, 0, 0, 0},
    {0xF800, 0x07E0, 0x001F, 0},
    {0x7C00, 0x03E0, 0x001F, 0},
    {0x7C00, 0x03E0, 0x001F, 0x8000},
    {0x0F00, 0x00F0, 0x000F, 0xF000},
    {0xFF0000, 0xFF00, 0xFF, 0},
    {0xFF0000, 0xFF00, 0xFF, 0},
    {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
};

const uint8_t FormatAndDepthTable[kPixFormatCount] = {0, 2, 2, 2, 2, 3, 4, 4};

const TRGBConvProc RGBtoProcTable[kPixFormatCount] = {
    nullptr,     RGBto16_565, RGBto16_555,  RGBto16_5551,
    RGBto16_4444, RGBto24_888, RGBto32_888, RGBto32_8888,
};

const TRGBConvProc RGBfromProcTable[kPixFormatCount] = {
    nullptr,        RGBfrom16_565,  RGBfrom16_555,  RGBfrom16_5551,
    RGBfrom16_4444, RGBfrom24_888, RGBfrom32_888, RGBfrom32_8888,
};

namespace {

template <int N>
void StorePixel(void* at, uint32_t value)
{
    pendar::pixel::Store<N>(at, value);
}

template <int N>
uint32_t LoadPixel(const void* at)
{
    return pendar::pixel::Load<N>(at);
}

template <int N>
void CopyPixel(void* dst, const void* src)
{
    pendar::pixel::Store<N>(dst, pendar::pixel::Load<N>(src));
}

} // namespace

const TPixelStoreProc PixelStoreProcTable[5] = {nullptr, StorePixel<1>, StorePixel<2>, StorePixel<3>,
                                                StorePixel<4>};
const TPixelLoadProc PixelLoadProcTable[5] = {nullptr, LoadPixel<1>, LoadPixel<2>, LoadPixel<3>, LoadPixel<4>};
const TPixelCopyProc PixelCopyProcTable[5] = {nullptr, CopyPixel<1>, CopyPixel<2>, CopyPixel<3>, CopyPixel<4>};
