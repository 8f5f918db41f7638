// JPEG reading through libjpeg, with the contract of the other loaders:
// read from the stream's current position; deliver top-down, row-packed
// pixels of a requested format (pf16_565..pf32_8888). A null `pixels` asks
// for the header only; a null *pixels lets the loader allocate the block
// (free it with pendar::FreePixelBlock); a non-null *pixels is filled and
// must be large enough. Width and height (each may be null) are written only
// on success; a non-null `reason` is given the cause of a failure. Nothing
// throws.
//
// Colour and greyscale pictures, baseline or progressive, are accepted; a
// stream that ends early decodes with what the library makes of the missing
// part, an empty one fails. Pictures above pendar::kMaxImagePixels, with
// more than a thousand scans, or needing more than 1 GiB of working memory
// are refused.
#pragma once

#include "port/Stream.h"
#include "raster/PixFormat.h"

#include <string>

bool LoadJpeg(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format,
              std::string* reason = nullptr);
