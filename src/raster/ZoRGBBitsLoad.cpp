// TZoRGBBits: drawing decoded pictures from streams.
#include "raster/ZoRGBBits.h"

#include "raster/BmpLoader.h"
#include "raster/PixelMemory.h"

#include <climits>

bool TZoRGBBits::DrawBmpStream(TStream* s, int x, int y)
{
    uchar* pixels = nullptr;
    int w = 0;
    int h = 0;
    if (!LoadBmp(s, &pixels, &w, &h, pixFormat_))
        return false;
    pendar::TPixelBlock block(pixels);
    if (w < 1 || h < 1)
        return false;
    if (!created_) {
        // A fresh buffer becomes the picture's size plus the offset; a size
        // that does not fit is refused like any other invalid one.
        const int64_t width = int64_t{x} + w;
        const int64_t height = int64_t{y} + h;
        if (width <= INT_MAX)
            SetWidth(static_cast<int>(width));
        if (height <= INT_MAX)
            SetHeight(static_cast<int>(height));
        Create();
    }
    if (created_)
        PutPat(x, y, w, h, block.get());
    return true;
}
