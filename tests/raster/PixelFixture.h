// Fixtures of the pixel buffer tests: raw snapshots of a buffer, created
// buffers with random contents, and patterns held with any pitch (slack
// between rows, or negative for rows stored bottom-up).
#pragma once

#include "RasterTestUtil.h"
#include "raster/CpuId.h"
#include "raster/ZoAlphaDib.h"
#include "raster/ZoRGBBits.h"
#include "raster/ZoRGBDib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

namespace pendar::test {

inline constexpr TPixFormat kAllFormats[] = {pf16_565,  pf16_555, pf16_5551, pf16_4444,
                                             pf24_888, pf32_888, pf32_8888};

// Buffers and planes made while it lives take the fast routines or not.
struct ForcedRoutines {
    TScopedCPUID cpu;
    explicit ForcedRoutines(bool fast) : cpu(CPUID::Simulated("GenuineIntel", 0x0000067A, fast ? 1u << 23 : 0)) {}
};

// Raw pixel values of an image, row by row.
struct Image {
    int w = 0;
    int h = 0;
    std::vector<uint32_t> px;

    uint32_t& At(int x, int y) { return px[size_t(y) * w + x]; }
    bool operator==(const Image&) const = default;
};

// Failures list the pixels in hexadecimal, row by row.
inline void PrintTo(const Image& img, std::ostream* os)
{
    *os << img.w << "x" << img.h << std::hex;
    for (size_t i = 0; i < img.px.size(); ++i)
        *os << (i % size_t(std::max(img.w, 1)) == 0 ? "\n  " : " ") << img.px[i];
    *os << std::dec;
}

inline Image Snapshot(const TZoRGBBits& b)
{
    Image img{b.Width(), b.Height(), {}};
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            img.px.push_back(LoadLE(b.Bits() + y * b.Pitch() + x * b.BitDepth(), b.BitDepth()));
    }
    return img;
}

inline uint32_t Mask(int bytes) { return bytes == 4 ? 0xFFFFFFFF : (1u << (8 * bytes)) - 1; }

struct Buffer : TZoRGBBits {
    Buffer(int w, int h, TPixFormat f)
    {
        SetPixFormat(f);
        Resize(w, h);
        EXPECT_TRUE(Create());
    }
    void Randomise(PixelRandom& random)
    {
        for (int y = 0; y < Height(); ++y) {
            std::vector<uint8_t> row = random.Bytes(size_t(Width()) * BitDepth());
            std::memcpy(Bits() + y * Pitch(), row.data(), row.size());
        }
    }
};

// A pattern held in memory with a chosen pitch (slack bytes between rows, or
// a negative pitch for rows stored bottom-up).
struct Pattern {
    Image img;
    int bpp;
    std::vector<uint8_t> bytes;
    const uchar* first = nullptr;
    int pitch = 0;

    Pattern(PixelRandom& random, int w, int h, int bytesPerPixel, bool bottomUp, int slack)
        : img{w, h, {}}, bpp(bytesPerPixel)
    {
        const int rowBytes = w * bpp + slack;
        bytes = random.Bytes(size_t(std::max(h, 1)) * rowBytes + 1);
        pitch = bottomUp ? -rowBytes : rowBytes;
        first = bytes.data() + (bottomUp ? size_t(std::max(h - 1, 0)) * rowBytes : 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                img.px.push_back(LoadLE(first + y * pitch + x * bpp, bpp));
        }
    }
};

// What one pixel of format `from` becomes in format `to` through ZoConvert.
inline uint32_t ModelConvert(TPixFormat from, TPixFormat to, uint32_t v)
{
    const int fromDepth = FormatAndDepthTable[from];
    const int toDepth = FormatAndDepthTable[to];
    if (fromDepth >= 3)
        return toDepth == 2 ? RGBtoProcTable[to](v) : v; // 24-bit sources carry a zero top byte
    const uint32_t colour = RGBfromProcTable[from](v) & 0x00FFFFFF;
    if (toDepth >= 3)
        return colour;
    return from == to ? v : RGBtoProcTable[to](colour);
}

// A created plain or display buffer (either row order) with random pixels.
inline std::unique_ptr<TZoRGBBits> RandomBuffer(PixelRandom& random, TPixFormat f, int w, int h)
{
    std::unique_ptr<TZoRGBBits> b;
    if (random.Chance(30)) {
        auto dib = std::make_unique<TZoRGBDib>();
        dib->SetDirection(random.Chance(50) ? ddBottomUp : ddTopDown);
        b = std::move(dib);
    } else {
        b = std::make_unique<TZoRGBBits>();
    }
    b->SetPixFormat(f);
    b->Resize(w, h);
    EXPECT_TRUE(b->Create());
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row = random.Bytes(size_t(w) * b->BitDepth());
        std::memcpy(b->Bits() + int64_t{y} * b->Pitch(), row.data(), row.size());
    }
    return b;
}

// A created plain or display-section alpha plane with random values.
inline std::unique_ptr<TZoAlpha> RandomPlane(PixelRandom& random, int w, int h)
{
    std::unique_ptr<TZoAlpha> a;
    if (random.Chance(30)) {
        auto dib = std::make_unique<TZoAlphaDib>();
        dib->SetDirection(random.Chance(50) ? ddBottomUp : ddTopDown);
        a = std::move(dib);
    } else {
        a = std::make_unique<TZoAlpha>();
    }
    a->Resize(w, h);
    EXPECT_TRUE(a->Create());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            a->PSet(x, y, random.Byte());
    }
    return a;
}

} // namespace pendar::test
