// The three BMP loaders over one memory stream of hostile bytes. The first
// byte picks the output format and whether the caller supplies the blocks;
// the rest is the file. Besides surviving, the loaders must agree with each
// other: an 8-bit file that LoadPalette reads decodes through LoadBmp and
// LoadAlpha to exactly its palette lookups, and a successful decode probes
// to the same size.
#include "FuzzSupport.h"
#include "port/Stream.h"
#include "raster/BmpLoader.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using pendar::TPixelBlock;
using pendar::fuzz::Check;

struct Decoded {
    bool ok = false;
    int w = 0;
    int h = 0;
    TPixelBlock pixels;
};

Decoded Bmp(const uint8_t* data, size_t size, TPixFormat format)
{
    TMemoryStream s(data, size);
    Decoded d;
    uchar* p = nullptr;
    d.ok = LoadBmp(&s, &p, &d.w, &d.h, format);
    d.pixels.reset(p);
    Check(d.ok || !p);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pendar::fuzz::Choice choice;
    if (!pendar::fuzz::TakeChoice(data, size, choice))
        return 0;
    const TPixFormat format = choice.format;
    const bool callerBlocks = choice.Bit(0x80);

    Decoded d = Bmp(data, size, format);
    {
        TMemoryStream s(data, size);
        int w = 0, h = 0;
        bool probed = LoadBmp(&s, nullptr, &w, &h, format);
        Check(!d.ok || (probed && w == d.w && h == d.h));
    }
    if (d.ok && callerBlocks) {
        // Decoding into the caller's block gives the same pixels.
        size_t bytes = size_t(d.w) * d.h * FormatAndDepthTable[format];
        std::vector<uint8_t> block(bytes);
        uchar* p = block.data();
        TMemoryStream s(data, size);
        Check(LoadBmp(&s, &p, nullptr, nullptr, format) && p == block.data());
        Check(std::memcmp(block.data(), d.pixels.get(), bytes) == 0);
    }

    TMemoryStream s(data, size);
    RGBQUAD* palette = nullptr;
    uchar* indices = nullptr;
    int w = 0, h = 0;
    bool ok = LoadPalette(&s, &palette, &indices, &w, &h);
    TPixelBlock ownPalette(reinterpret_cast<uint8_t*>(palette));
    TPixelBlock ownIndices(indices);
    if (!ok)
        return 0;
    const size_t n = size_t(w) * h;
    Decoded quads = Bmp(data, size, pf32_8888);
    Check(quads.ok && quads.w == w && quads.h == h);
    TMemoryStream a(data, size);
    uchar* plane = nullptr;
    Check(LoadAlpha(&a, &plane, nullptr, nullptr));
    TPixelBlock ownPlane(plane);
    for (size_t i = 0; i < n; ++i) {
        const RGBQUAD& q = palette[indices[i]];
        Check(std::memcmp(&q, quads.pixels.get() + i * 4, 4) == 0);
        Check(plane[i] == (q.rgbBlue + q.rgbGreen + q.rgbRed) / 3);
    }
    return 0;
}
