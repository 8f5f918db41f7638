// Windows bitmap decoding from a TStream, read strictly forwards from the
// stream's position (the start of the file). Supported: uncompressed
// bottom-up 8-bit palettised and 24-bit files with a 40-byte or later info
// header; anything else is refused. Output blocks are top-down and packed
// (no row padding). A null output pointer asks for the header only; a null
// *output lets the loader allocate the block (free it with
// pendar::FreePixelBlock); a non-null *output is filled and must be large
// enough. Width and height (each may be null) are written on success and when
// the file is refused for what it holds, but not when reading fails.
// A non-null `reason` is given the cause of a failure. Nothing throws.
#pragma once

#include "port/Stream.h"
#include "raster/PixFormat.h"

#include <string>

// Decodes an 8- or 24-bit file into pixels of `format` (pf16_565..pf32_8888):
// width * height * bytes-per-pixel bytes.
bool LoadBmp(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format,
             std::string* reason = nullptr);

// Decodes an 8-bit file into an opacity plane (one byte per pixel): each
// pixel is the plain average of its palette colour's three bytes.
bool LoadAlpha(TStream* s, uchar** plane, int* width, int* height, std::string* reason = nullptr);

// Reads an 8-bit file's palette into a 256-entry block (entries the file does
// not define are zero; null `palette`: skipped) and its indices into
// width * height bytes (null `indices`: not read).
bool LoadPalette(TStream* s, RGBQUAD** palette, uchar** indices, int* width, int* height,
                 std::string* reason = nullptr);
