// The engine's own scrambled raw picture format, GNY: a 32-bit little-endian
// width and height, then the rows top row first, each width pixels of blue,
// green, red, no padding. Every byte of the file is combined by exclusive or
// with table[k mod 256], k its offset from the start of the GNY data; the
// 256-byte table comes from the caller.
//
// The loader has the contract of the others: read from the stream's current
// position into top-down, row-packed pixels of `format` (pf16_565..
// pf32_8888); a null `pixels` asks for the header only, a null *pixels lets
// the loader allocate (free with pendar::FreePixelBlock), a non-null one is
// filled. Width and height are written only on success. A size below 1 or
// above pendar::kMaxImagePixels is refused, and so is a stream too short for
// the rows it announces, before anything is allocated. A non-null `reason`
// is given the cause of a failure. Nothing throws.
#pragma once

#include "port/Stream.h"
#include "raster/PixFormat.h"

#include <string>

bool LoadGny(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, const uchar* table,
             std::string* reason = nullptr);
