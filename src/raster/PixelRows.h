// Row converters between pixel rows of every format and Windows RGBQUAD /
// RGBTRIPLE rows. Each converts `count` pixels front to back, applies the
// single-value rule of its format to every pixel, never touches a byte past
// the last pixel of either row, and returns dst. Source and destination must
// not overlap.
#pragma once

#include "raster/PixFormat.h"

using TRGBCpyProc = void* (*)(void* dst, const void* src, unsigned count);

// RGBQUAD row -> pixel row: each RGBQUAD read as a little-endian 32-bit value,
// then RGBto<fmt> (pf16_4444 takes rgbReserved & 0x0F as alpha; pf24_888 drops
// rgbReserved; the 32-bit formats copy all four bytes).
void* RGBQUADcpyTo16_565(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo16_555(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo16_5551(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo16_4444(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo24_888(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo32_888(void* dst, const void* src, unsigned count);
void* RGBQUADcpyTo32_8888(void* dst, const void* src, unsigned count);

// Pixel row -> RGBQUAD row: 16-bit formats widen by bit replication and write
// rgbReserved 0; pf24_888 writes rgbReserved 0; 32-bit formats copy all bytes.
void* RGBQUADcpyFrom16_565(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom16_555(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom16_5551(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom16_4444(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom24_888(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom32_888(void* dst, const void* src, unsigned count);
void* RGBQUADcpyFrom32_8888(void* dst, const void* src, unsigned count);

// RGBTRIPLE row -> pixel row: 16-bit formats truncate (pf16_4444 writes alpha
// 0); pf24_888 copies; 32-bit formats add a fourth byte of 0.
void* RGBTRIPLEcpyTo16_565(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo16_555(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo16_5551(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo16_4444(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo24_888(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo32_888(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyTo32_8888(void* dst, const void* src, unsigned count);

// Pixel row -> RGBTRIPLE row: 16-bit formats widen by bit replication;
// pf24_888 copies; 32-bit formats drop the fourth byte.
void* RGBTRIPLEcpyFrom16_565(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom16_555(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom16_5551(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom16_4444(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom24_888(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom32_888(void* dst, const void* src, unsigned count);
void* RGBTRIPLEcpyFrom32_8888(void* dst, const void* src, unsigned count);

// Indexed by TPixFormat; entry 0 (pfNone) is empty.
extern const TRGBCpyProc RGBQUADcpyToProcTable[kPixFormatCount];
extern const TRGBCpyProc RGBQUADcpyFromProcTable[kPixFormatCount];
extern const TRGBCpyProc RGBTRIPLEcpyToProcTable[kPixFormatCount];
extern const TRGBCpyProc RGBTRIPLEcpyFromProcTable[kPixFormatCount];

// Palette expansion of 8-bit indices through 256 RGBQUAD entries: the whole
// entry (rgbReserved included), or its blue, green and red bytes.
void* RGBQUADcpyFrom8(void* dst, const void* src, const void* palette, unsigned count);
void* RGBTRIPLEcpyFrom8(void* dst, const void* src, const void* palette, unsigned count);
