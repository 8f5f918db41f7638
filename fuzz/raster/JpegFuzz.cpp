// The JPEG loader over hostile bytes. The first byte picks the output format
// and whether the caller supplies the block; the rest is the file. Pictures
// the header says are above a million pixels are only probed. A successful
// decode must match the probe and decode the same into the caller's block.
#include "FuzzSupport.h"
#include "port/Stream.h"
#include "raster/JpegLoader.h"
#include "raster/PixelMemory.h"

#include <cstring>
#include <vector>

using pendar::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pendar::fuzz::Choice choice;
    if (!pendar::fuzz::TakeChoice(data, size, choice))
        return 0;
    const TPixFormat format = choice.format;
    const bool callerBlock = choice.Bit(0x80);

    int w = 0, h = 0;
    {
        TMemoryStream s(data, size);
        if (!LoadJpeg(&s, nullptr, &w, &h, format) || !pendar::fuzz::SmallEnough(w, h))
            return 0;
    }
    TMemoryStream s(data, size);
    uchar* p = nullptr;
    int dw = 0, dh = 0;
    const bool ok = LoadJpeg(&s, &p, &dw, &dh, format);
    pendar::TPixelBlock pixels(p);
    Check(ok == (p != nullptr));
    if (!ok)
        return 0;
    Check(dw == w && dh == h);
    const size_t bytes = size_t(w) * h * FormatAndDepthTable[format];
    pendar::fuzz::Touch(pixels.get(), bytes);
    if (callerBlock) {
        std::vector<uint8_t> block(bytes);
        uchar* q = block.data();
        TMemoryStream again(data, size);
        Check(LoadJpeg(&again, &q, nullptr, nullptr, format) && q == block.data());
        Check(std::memcmp(block.data(), pixels.get(), bytes) == 0);
    }
    return 0;
}
