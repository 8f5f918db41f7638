// PNG reading and writing (libpng), with the contract of the BMP loaders:
// read from the stream's current position; deliver top-down, row-packed
// pixels of a requested format (pf16_565..pf32_8888) and, on request, the
// alpha channel as an 8-bit plane (255 for pictures without one). A null
// output pointer asks for the header only; a null *output lets the loader
// allocate the block (free it with pendar::FreePixelBlock); a non-null
// *output is filled and must be large enough. Width and height (each may be
// null) are written only on success; a non-null `reason` is given the cause
// of a failure. Nothing throws.
//
// Accepted: 8-bit palette pictures (transparency chunks not used), and RGB
// and RGB with alpha at 8 or 16 bits per sample (16 bits keep their high
// bytes), interlaced or not. Greyscale, grey with alpha and palettes of
// fewer bits are refused, and so are the pixels of a picture above
// pendar::kMaxImagePixels (its header is still answered).
#pragma once

#include "port/Stream.h"
#include "raster/PixFormat.h"

#include <string>

// 1 for a palette picture, 3 for RGB, 4 for RGB with alpha, 0 for anything
// else (greyscale, grey with alpha, not a PNG, a damaged header).
int ChkChannelPng(TStream* s);

// Colour into `pixels`, the alpha channel into `alpha` (width * height
// bytes); a pf32_8888 output also carries the alpha in each pixel's fourth
// byte, the other formats a 0 there.
bool LoadPng(TStream* s, uchar** pixels, uchar** alpha, int* width, int* height, TPixFormat format,
             std::string* reason = nullptr);
bool LoadPng(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, std::string* reason = nullptr);

// As LoadPng, but each colour value c of a pixel with alpha a is first
// replaced by the value it had before being composited over white (the
// white-matte table below); pictures without alpha load unchanged.
bool LoadPngWhiteMat(TStream* s, uchar** pixels, uchar** alpha, int* width, int* height, TPixFormat format,
                     std::string* reason = nullptr);
bool LoadPngWhiteMat(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format,
                     std::string* reason = nullptr);

// Writes an 8-bit RGB picture, or RGB with alpha when `alpha` (width *
// height bytes) is given, not interlaced, from pixels of `format`. False
// (the stream may hold part of a file) when a write falls short, for no
// pixels, an invalid format or size, or no memory.
bool SavePng(TStream* s, const uchar* pixels, const uchar* alpha, int width, int height, TPixFormat format);
bool SavePng(TStream* s, const uchar* pixels, int width, int height, TPixFormat format);

namespace pendar {
// The white-matte entry for alpha a and colour c: 0 for a = 0, else the low
// byte of ((a + c) * 255 - 65025) / a (truncated): it undoes a composition
// of colour c at opacity a over white, for c >= 255 - a.
uint8_t WhiteMatte(int a, int c);
} // namespace pendar
