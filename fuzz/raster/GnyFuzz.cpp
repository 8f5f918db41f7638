// The GNY loader over hostile bytes, with a fixed descrambling table. The
// first byte picks the output format; the rest is the file. Pictures above a
// million pixels are only probed. A successful decode must have read the
// whole picture: 8 + width * height * 3 bytes.
#include "FuzzSupport.h"
#include "port/Stream.h"
#include "raster/GnyLoader.h"
#include "raster/PixelMemory.h"

#include <array>

using pendar::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = uint8_t(i * 37 + 11);
        return t;
    }();
    pendar::fuzz::Choice choice;
    if (!pendar::fuzz::TakeChoice(data, size, choice))
        return 0;
    const TPixFormat format = choice.format;

    int w = 0, h = 0;
    {
        TMemoryStream s(data, size);
        const bool probed = LoadGny(&s, nullptr, &w, &h, format, table.data());
        Check(!probed || (w >= 1 && h >= 1));
        if (!probed || !pendar::fuzz::SmallEnough(w, h))
            return 0;
    }
    TMemoryStream s(data, size);
    uchar* p = nullptr;
    const bool ok = LoadGny(&s, &p, nullptr, nullptr, format, table.data());
    pendar::TPixelBlock pixels(p);
    Check(ok == (p != nullptr));
    Check(ok == (size >= 8 + size_t(w) * h * 3));
    if (ok)
        pendar::fuzz::Touch(pixels.get(), size_t(w) * h * FormatAndDepthTable[format]);
    return 0;
}
