// The PNG loaders over hostile bytes. The first byte picks the output
// format, the white-matte loader and whether the caller supplies the blocks;
// the rest is the file. Pictures the header says are above a million pixels
// are only probed. Besides surviving, the loaders must agree: the probe gives
// the decoded size, the channel count matches what decodes, a pf32_8888
// output of a picture with alpha carries it, and what decodes survives the writer and comes
// back the same.
#include "FuzzSupport.h"
#include "port/Stream.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"

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
    TPixelBlock alpha;
};

Decoded Load(const uint8_t* data, size_t size, TPixFormat format, bool whiteMatte)
{
    TMemoryStream s(data, size);
    Decoded d;
    uchar* p = nullptr;
    uchar* a = nullptr;
    d.ok = whiteMatte ? LoadPngWhiteMat(&s, &p, &a, &d.w, &d.h, format) : LoadPng(&s, &p, &a, &d.w, &d.h, format);
    d.pixels.reset(p);
    d.alpha.reset(a);
    Check(d.ok == (p != nullptr) && d.ok == (a != nullptr));
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pendar::fuzz::Choice choice;
    if (!pendar::fuzz::TakeChoice(data, size, choice))
        return 0;
    const TPixFormat format = choice.format;
    const bool whiteMatte = choice.Bit(0x40);
    const bool callerBlocks = choice.Bit(0x80);

    int w = 0, h = 0;
    {
        TMemoryStream s(data, size);
        if (!LoadPng(&s, nullptr, nullptr, &w, &h, format) || !pendar::fuzz::SmallEnough(w, h))
            return 0;
    }
    Decoded d = Load(data, size, format, whiteMatte);
    TMemoryStream check(data, size);
    const int channels = ChkChannelPng(&check);
    if (!d.ok)
        return 0;
    Check(d.w == w && d.h == h && (channels == 1 || channels == 3 || channels == 4));
    const size_t n = size_t(w) * h;
    const size_t bytes = n * FormatAndDepthTable[format];
    pendar::fuzz::Touch(d.pixels.get(), bytes);
    pendar::fuzz::Touch(d.alpha.get(), n);
    for (size_t i = 0; i < n; ++i) {
        Check(channels == 4 || d.alpha[i] == 255);
        // Only a picture with alpha puts it into a pf32_8888 pixel.
        Check(format != pf32_8888 || d.pixels[i * 4 + 3] == (channels == 4 ? d.alpha[i] : 0));
    }
    if (callerBlocks) {
        std::vector<uint8_t> pixels(bytes), alpha(n);
        uchar* p = pixels.data();
        uchar* a = alpha.data();
        TMemoryStream s(data, size);
        Check(LoadPng(&s, &p, &a, nullptr, nullptr, format) && p == pixels.data() && a == alpha.data());
        if (!whiteMatte)
            Check(std::memcmp(p, d.pixels.get(), bytes) == 0 && std::memcmp(a, d.alpha.get(), n) == 0);
    }

    // Through the writer and back: the same 24-bit colours and alpha.
    Decoded colours = Load(data, size, pf24_888, false);
    Check(colours.ok);
    TMemoryStream out;
    Check(SavePng(&out, colours.pixels.get(), colours.alpha.get(), w, h, pf24_888));
    out.Seek(0, soFromBeginning);
    Decoded back = Load(out.Memory(), size_t(out.Size()), pf24_888, false);
    Check(back.ok && back.w == w && back.h == h);
    Check(std::memcmp(back.pixels.get(), colours.pixels.get(), n * 3) == 0);
    Check(std::memcmp(back.alpha.get(), colours.alpha.get(), n) == 0);
    return 0;
}
