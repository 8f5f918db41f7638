// TZoRGBBits: drawing decoded pictures from streams.
#include "raster/ZoRGBBits.h"

#include "raster/BmpLoader.h"
#include "raster/DecoderSupport.h"
#include "raster/GnyLoader.h"
#include "raster/JpegLoader.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"
#include "raster/ZoAlpha.h"

bool TZoRGBBits::DrawLoaded(bool decoded, uchar* pixels, int w, int h, int x, int y)
{
    pendar::TPixelBlock block(pixels);
    if (!decoded || w < 1 || h < 1)
        return false;
    pendar::decode::CreateForPicture(*this, x, y, w, h);
    if (created_)
        PutPat(x, y, w, h, block.get());
    return true;
}

bool TZoRGBBits::DrawBmpStream(TStream* s, int x, int y, std::string* reason)
{
    uchar* pixels = nullptr;
    int w = 0, h = 0;
    const bool ok = LoadBmp(s, &pixels, &w, &h, pixFormat_, reason);
    return DrawLoaded(ok, pixels, w, h, x, y);
}

bool TZoRGBBits::DrawJpegStream(TStream* s, int x, int y, std::string* reason)
{
    uchar* pixels = nullptr;
    int w = 0, h = 0;
    const bool ok = LoadJpeg(s, &pixels, &w, &h, pixFormat_, reason);
    return DrawLoaded(ok, pixels, w, h, x, y);
}

bool TZoRGBBits::DrawGnyStream(TStream* s, int x, int y, const uchar* table, std::string* reason)
{
    uchar* pixels = nullptr;
    int w = 0, h = 0;
    const bool ok = LoadGny(s, &pixels, &w, &h, pixFormat_, table, reason);
    return DrawLoaded(ok, pixels, w, h, x, y);
}

bool TZoRGBBits::DrawPng(TStream* s, int x, int y, TZoAlpha* alpha, bool whiteMatte, std::string* reason)
{
    uchar* pixels = nullptr;
    uchar* plane = nullptr;
    int w = 0, h = 0;
    uchar** planeOut = alpha ? &plane : nullptr;
    const bool ok = whiteMatte ? LoadPngWhiteMat(s, &pixels, planeOut, &w, &h, pixFormat_, reason)
                               : LoadPng(s, &pixels, planeOut, &w, &h, pixFormat_, reason);
    pendar::TPixelBlock planeBlock(plane);
    if (!DrawLoaded(ok, pixels, w, h, x, y))
        return false;
    if (alpha) {
        pendar::decode::CreateForPicture(*alpha, x, y, w, h);
        alpha->PutAlpha(x, y, w, h, planeBlock.get());
    }
    return true;
}

bool TZoRGBBits::DrawPngStream(TStream* s, int x, int y, std::string* reason)
{
    return DrawPng(s, x, y, nullptr, false, reason);
}

bool TZoRGBBits::DrawPngWMStream(TStream* s, int x, int y, std::string* reason)
{
    return DrawPng(s, x, y, nullptr, true, reason);
}

bool TZoRGBBits::DrawPngStream(TStream* s, int x, int y, TZoAlpha* alpha, std::string* reason)
{
    return DrawPng(s, x, y, alpha, false, reason);
}

bool TZoRGBBits::DrawPngWMStream(TStream* s, int x, int y, TZoAlpha* alpha, std::string* reason)
{
    return DrawPng(s, x, y, alpha, true, reason);
}
