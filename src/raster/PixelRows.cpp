#include "raster/PixelRows.h"

#include "raster/PixelAccess.h"

#include <cstring>

namespace {

using pendar::pixel::Load;
using pendar::pixel::Store;

// Converts count elements of SrcN bytes into elements of DstN bytes through
// `rule` (raw value in, raw value out).
template <int SrcN, int DstN, uint32_t (*Rule)(uint32_t)>
void* ConvertRow(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    for (unsigned i = 0; i < count; ++i)
        Store<DstN>(d + size_t{i} * DstN, Rule(Load<SrcN>(s + size_t{i} * SrcN)));
    return dst;
}

template <int N>
void* CopyRow(void* dst, const void* src, unsigned count)
{
    if (count != 0)
        std::memcpy(dst, src, size_t{count} * N);
    return dst;
}

constexpr uint32_t Same(uint32_t v) { return v; }
constexpr uint32_t ColourOnly(uint32_t v) { return v & 0x00FFFFFF; }

template <uint32_t (*From)(uint32_t)>
constexpr uint32_t ColourFrom(uint32_t p)
{
    return From(p) & 0x00FFFFFF;
}

} // namespace

void* RGBQUADcpyTo16_565(void* d, const void* s, unsigned n) { return ConvertRow<4, 2, RGBto16_565>(d, s, n); }
void* RGBQUADcpyTo16_555(void* d, const void* s, unsigned n) { return ConvertRow<4, 2, RGBto16_555>(d, s, n); }
void* RGBQUADcpyTo16_5551(void* d, const void* s, unsigned n) { return ConvertRow<4, 2, RGBto16_5551>(d, s, n); }
void* RGBQUADcpyTo16_4444(void* d, const void* s, unsigned n) { return ConvertRow<4, 2, RGBto16_4444>(d, s, n); }
void* RGBQUADcpyTo24_888(void* d, const void* s, unsigned n) { return ConvertRow<4, 3, Same>(d, s, n); }
void* RGBQUADcpyTo32_888(void* d, const void* s, unsigned n) { return CopyRow<4>(d, s, n); }
void* RGBQUADcpyTo32_8888(void* d, const void* s, unsigned n) { return CopyRow<4>(d, s, n); }

void* RGBQUADcpyFrom16_565(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 4, ColourFrom<RGBfrom16_565>>(d, s, n);
}
void* RGBQUADcpyFrom16_555(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 4, ColourFrom<RGBfrom16_555>>(d, s, n);
}
void* RGBQUADcpyFrom16_5551(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 4, ColourFrom<RGBfrom16_5551>>(d, s, n);
}
void* RGBQUADcpyFrom16_4444(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 4, ColourFrom<RGBfrom16_4444>>(d, s, n);
}
void* RGBQUADcpyFrom24_888(void* d, const void* s, unsigned n) { return ConvertRow<3, 4, Same>(d, s, n); }
void* RGBQUADcpyFrom32_888(void* d, const void* s, unsigned n) { return CopyRow<4>(d, s, n); }
void* RGBQUADcpyFrom32_8888(void* d, const void* s, unsigned n) { return CopyRow<4>(d, s, n); }

void* RGBTRIPLEcpyTo16_565(void* d, const void* s, unsigned n) { return ConvertRow<3, 2, RGBto16_565>(d, s, n); }
void* RGBTRIPLEcpyTo16_555(void* d, const void* s, unsigned n) { return ConvertRow<3, 2, RGBto16_555>(d, s, n); }
void* RGBTRIPLEcpyTo16_5551(void* d, const void* s, unsigned n) { return ConvertRow<3, 2, RGBto16_5551>(d, s, n); }
void* RGBTRIPLEcpyTo16_4444(void* d, const void* s, unsigned n) { return ConvertRow<3, 2, RGBto16_4444>(d, s, n); }
void* RGBTRIPLEcpyTo24_888(void* d, const void* s, unsigned n) { return CopyRow<3>(d, s, n); }
void* RGBTRIPLEcpyTo32_888(void* d, const void* s, unsigned n) { return ConvertRow<3, 4, Same>(d, s, n); }
void* RGBTRIPLEcpyTo32_8888(void* d, const void* s, unsigned n) { return ConvertRow<3, 4, Same>(d, s, n); }

void* RGBTRIPLEcpyFrom16_565(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 3, RGBfrom16_565>(d, s, n);
}
void* RGBTRIPLEcpyFrom16_555(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 3, RGBfrom16_555>(d, s, n);
}
void* RGBTRIPLEcpyFrom16_5551(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 3, RGBfrom16_5551>(d, s, n);
}
void* RGBTRIPLEcpyFrom16_4444(void* d, const void* s, unsigned n)
{
    return ConvertRow<2, 3, RGBfrom16_4444>(d, s, n);
}
void* RGBTRIPLEcpyFrom24_888(void* d, const void* s, unsigned n) { return CopyRow<3>(d, s, n); }
void* RGBTRIPLEcpyFrom32_888(void* d, const void* s, unsigned n) { return ConvertRow<4, 3, ColourOnly>(d, s, n); }
void* RGBTRIPLEcpyFrom32_8888(void* d, const void* s, unsigned n) { return ConvertRow<4, 3, ColourOnly>(d, s, n); }

const TRGBCpyProc RGBQUADcpyToProcTable[kPixFormatCount] = {
    nullptr,          RGBQUADcpyTo16_565, RGBQUADcpyTo16_555, RGBQUADcpyTo16_5551,
    RGBQUADcpyTo16_4444, RGBQUADcpyTo24_888, RGBQUADcpyTo32_888, RGBQUADcpyTo32_8888,
};
const TRGBCpyProc RGBQUADcpyFromProcTable[kPixFormatCount] = {
    nullptr,            RGBQUADcpyFrom16_565, RGBQUADcpyFrom16_555, RGBQUADcpyFrom16_5551,
    RGBQUADcpyFrom16_4444, RGBQUADcpyFrom24_888, RGBQUADcpyFrom32_888, RGBQUADcpyFrom32_8888,
};
const TRGBCpyProc RGBTRIPLEcpyToProcTable[kPixFormatCount] = {
    nullptr,            RGBTRIPLEcpyTo16_565, RGBTRIPLEcpyTo16_555, RGBTRIPLEcpyTo16_5551,
    RGBTRIPLEcpyTo16_4444, RGBTRIPLEcpyTo24_888, RGBTRIPLEcpyTo32_888, RGBTRIPLEcpyTo32_8888,
};
const TRGBCpyProc RGBTRIPLEcpyFromProcTable[kPixFormatCount] = {
    nullptr,              RGBTRIPLEcpyFrom16_565, RGBTRIPLEcpyFrom16_555, RGBTRIPLEcpyFrom16_5551,
    RGBTRIPLEcpyFrom16_4444, RGBTRIPLEcpyFrom24_888, RGBTRIPLEcpyFrom32_888, RGBTRIPLEcpyFrom32_8888,
};

void* RGBQUADcpyFrom8(void* dst, const void* src, const void* palette, unsigned count)
{
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    const auto* pal = static_cast<const uint8_t*>(palette);
    for (unsigned i = 0; i < count; ++i)
        std::memcpy(d + size_t{i} * 4, pal + size_t{s[i]} * 4, 4);
    return dst;
}

void* RGBTRIPLEcpyFrom8(void* dst, const void* src, const void* palette, unsigned count)
{
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    const auto* pal = static_cast<const uint8_t*>(palette);
    for (unsigned i = 0; i < count; ++i)
        std::memcpy(d + size_t{i} * 3, pal + size_t{s[i]} * 4, 3);
    return dst;
}
