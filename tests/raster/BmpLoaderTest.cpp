#include "raster/BmpLoader.h"

#include "BmpFixture.h"
#include "PixelFixture.h"
#include "RasterTestUtil.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using pendar::TPixelBlock;
using pendar::test::BmpSpec;
using pendar::test::MakeBmp;
using pendar::test::PixelRandom;

constexpr int kUntouched = -7;

struct Outcome {
    bool ok = false;
    int width = kUntouched;
    int height = kUntouched;
    std::vector<uint8_t> pixels;
    std::string reason;
};

Outcome Bmp(const std::vector<uint8_t>& file, TPixFormat format, bool probe = false)
{
    TMemoryStream s(file);
    Outcome o;
    uchar* pixels = nullptr;
    o.ok = LoadBmp(&s, probe ? nullptr : &pixels, &o.width, &o.height, format, &o.reason);
    TPixelBlock owned(pixels);
    if (o.ok && pixels)
        o.pixels.assign(pixels, pixels + size_t(o.width) * o.height * FormatAndDepthTable[format]);
    EXPECT_TRUE(o.ok || !pixels) << "a failed load hands back no block";
    return o;
}

Outcome Alpha(const std::vector<uint8_t>& file)
{
    TMemoryStream s(file);
    Outcome o;
    uchar* plane = nullptr;
    o.ok = LoadAlpha(&s, &plane, &o.width, &o.height, &o.reason);
    TPixelBlock owned(plane);
    if (o.ok)
        o.pixels.assign(plane, plane + size_t(o.width) * o.height);
    return o;
}

std::vector<RGBQUAD> RandomPalette(PixelRandom& random, size_t n)
{
    std::vector<RGBQUAD> p(n);
    for (auto& q : p)
        q = RGBQUAD{random.Byte(), random.Byte(), random.Byte(), random.Byte()};
    return p;
}

const auto& kFormats = pendar::test::kAllFormats;

TEST(BmpLoader, TwoByTwoTwentyFourBitReadsTheBottomRowLast)
{
    // Top row 1..6, bottom row 7..12: the file stores the bottom row first.
    const std::vector<uint8_t> top_down = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    BmpSpec spec;
    spec.width = spec.height = 2;
    std::vector<uint8_t> file = MakeBmp(spec, top_down);
    ASSERT_EQ(54u + 16, file.size());
    EXPECT_EQ(7, file[54]);
    Outcome o = Bmp(file, pf24_888);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(2, o.width);
    EXPECT_EQ(2, o.height);
    EXPECT_EQ(top_down, o.pixels);
}

// Random pictures of both depths in every format against the row converters:
// 24-bit rows through RGBTRIPLEcpyTo, 8-bit through the palette converted by
// RGBQUADcpyTo; palettes of every size, indices beyond the palette zero.
TEST(BmpLoader, DecodesRandomPicturesIntoEveryFormat)
{
    PixelRandom random(6601);
    for (int caseNo = 0; caseNo < 140; ++caseNo) {
        const TPixFormat format = kFormats[caseNo % 7];
        const bool indexed = caseNo % 2 == 1;
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " format " << int(format) << " indexed " << indexed);
        BmpSpec spec;
        spec.width = random.Between(1, 9);
        spec.height = random.Between(1, 5);
        spec.bitCount = indexed ? 8 : 24;
        const size_t entries = indexed ? random.Between(1, 256) : 0;
        spec.clrUsed = entries == 256 && random.Chance(50) ? 0 : uint32_t(entries);
        spec.palette = RandomPalette(random, entries);
        const size_t n = size_t(spec.width) * spec.height;
        std::vector<uint8_t> picture = random.Bytes(n * (indexed ? 1 : 3));
        if (indexed) {
            for (auto& i : picture)
                i = random.Chance(90) ? uint8_t(random.Below(uint32_t(entries))) : i;
        }
        Outcome o = Bmp(MakeBmp(spec, picture), format);
        ASSERT_TRUE(o.ok);

        const int bpp = FormatAndDepthTable[format];
        std::vector<uint8_t> want(n * bpp);
        if (indexed) {
            std::vector<RGBQUAD> full(256, RGBQUAD{0, 0, 0, 0});
            std::copy(spec.palette.begin(), spec.palette.end(), full.begin());
            std::vector<RGBQUAD> quads(n);
            for (size_t i = 0; i < n; ++i)
                quads[i] = full[picture[i]];
            RGBQUADcpyToProcTable[format](want.data(), quads.data(), unsigned(n));
        } else {
            RGBTRIPLEcpyToProcTable[format](want.data(), picture.data(), unsigned(n));
        }
        ASSERT_EQ(want, o.pixels);
    }
}

TEST(BmpLoader, PaletteSizeDecidesWherePixelsStart)
{
    // Three pixels wide: rows of 4 bytes; the padding byte is never copied.
    // Two palette entries: exactly 8 bytes come before the rows.
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 8;
    spec.clrUsed = 2;
    spec.palette = {RGBQUAD{10, 20, 30, 0}, RGBQUAD{40, 50, 60, 0}};
    spec.offBits = 0; // unset: the pixels follow the palette
    std::vector<uint8_t> file = MakeBmp(spec, {0, 1, 0, 1, 1, 1});
    EXPECT_EQ(54u + 8 + 8, file.size());
    Outcome o = Bmp(file, pf24_888);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 10, 20, 30, 40, 50, 60, 40, 50, 60, 40, 50, 60}),
              o.pixels);
}

TEST(BmpLoader, LaterHeaderVersionsAndOffsetGapsAreHonoured)
{
    PixelRandom random(6602);
    struct Case {
        uint32_t infoSize;
        uint16_t bitCount;
        size_t gap;
        bool offBitsSet;
    } cases[] = {{124, 24, 0, true}, {108, 8, 0, true}, {56, 8, 12, true}, {52, 24, 5, true},
                 {40, 24, 100, true}, {124, 8, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.infoSize << " " << c.bitCount << " gap " << c.gap);
        BmpSpec spec;
        spec.width = 5;
        spec.height = 3;
        spec.bitCount = c.bitCount;
        spec.infoSize = c.infoSize;
        spec.gap = c.gap;
        if (c.bitCount == 8) {
            spec.clrUsed = 16;
            spec.palette = RandomPalette(random, 16);
        }
        if (!c.offBitsSet)
            spec.offBits = 0;
        std::vector<uint8_t> picture = random.Bytes(15 * (c.bitCount / 8));
        if (c.bitCount == 8) {
            for (auto& i : picture)
                i &= 15;
        }
        Outcome o = Bmp(MakeBmp(spec, picture), pf32_8888);
        ASSERT_TRUE(o.ok);
        for (size_t i = 0; i < 15; ++i) {
            const uint8_t* want = c.bitCount == 8 ? &spec.palette[picture[i]].rgbBlue : &picture[i * 3];
            ASSERT_EQ(0, std::memcmp(want, &o.pixels[i * 4], 3)) << "pixel " << i;
        }
    }
}

// Files refused for what they hold: false, with the header's dimensions.
TEST(BmpLoader, RefusesWhatItCannotDecodeFaithfully)
{
    struct Case {
        const char* what;
        BmpSpec spec;
        std::string reason;
    };
    auto with = [](auto change) {
        BmpSpec s;
        s.width = 4;
        s.height = 2;
        change(s);
        return s;
    };
    const std::string kLimit = " is above the limit of 67108864 pixels";
    const Case cases[] = {
        {"1-bit", with([](BmpSpec& s) { s.bitCount = 1; }), "1-bit pictures are not supported (8 or 24 bits only)"},
        {"4-bit", with([](BmpSpec& s) { s.bitCount = 4; }), "4-bit pictures are not supported (8 or 24 bits only)"},
        {"16-bit", with([](BmpSpec& s) { s.bitCount = 16; }),
         "16-bit pictures are not supported (8 or 24 bits only)"},
        {"32-bit", with([](BmpSpec& s) { s.bitCount = 32; }),
         "32-bit pictures are not supported (8 or 24 bits only)"},
        {"RLE8", with([](BmpSpec& s) { s.bitCount = 8, s.compression = 1; }), "compression type 1 is not supported"},
        {"bit fields", with([](BmpSpec& s) { s.compression = 3; }), "compression type 3 is not supported"},
        {"core header", with([](BmpSpec& s) { s.infoSize = 12; }), "an info header of 12 bytes is not supported"},
        {"unknown header size", with([](BmpSpec& s) { s.infoSize = 64; }),
         "an info header of 64 bytes is not supported"},
        {"gigantic header", with([](BmpSpec& s) { s.infoSize = 0xFFFFFFF0; }),
         "an info header of 4294967280 bytes is not supported"},
        {"zero width", with([](BmpSpec& s) { s.width = 0; }), "size 0 x 2 holds no pixels"},
        {"negative width", with([](BmpSpec& s) { s.width = -4; }), "size -4 x 2 holds no pixels"},
        {"top-down", with([](BmpSpec& s) { s.height = -2; }), "top-down pictures are not supported"},
        {"zero height", with([](BmpSpec& s) { s.height = 0; }), "size 4 x 0 holds no pixels"},
        {"product overflows 32 bits", with([](BmpSpec& s) { s.width = 0x10001, s.height = 0x10001; }),
         "size 65537 x 65537" + kLimit},
        {"too many pixels", with([](BmpSpec& s) { s.width = 8193, s.height = 8192; }), "size 8193 x 8192" + kLimit},
        {"widest row", with([](BmpSpec& s) { s.width = 0x7FFFFFFF, s.height = 1; }),
         "size 2147483647 x 1" + kLimit},
        {"257 palette entries", with([](BmpSpec& s) { s.bitCount = 8, s.clrUsed = 257; }),
         "a palette of 257 colours is more than 256"},
        {"huge palette", with([](BmpSpec& s) { s.bitCount = 8, s.clrUsed = 0xFFFFFFFF; }),
         "a palette of 4294967295 colours is more than 256"},
        {"pixels inside the header", with([](BmpSpec& s) { s.offBits = 40; }),
         "the pixel data would start inside the headers"},
        {"pixels inside the palette",
         with([](BmpSpec& s) { s.bitCount = 8, s.clrUsed = 4, s.palette.resize(4), s.offBits = 54 + 8; }),
         "the pixel data would start inside the headers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Enough bytes follow for any real decode to go wrong visibly.
        std::vector<uint8_t> file = MakeBmp(c.spec, {});
        file.resize(file.size() + 4096, 0x42);
        for (TPixFormat f : {pf24_888, pf16_565}) {
            Outcome o = Bmp(file, f);
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(c.reason, o.reason);
            EXPECT_EQ(c.spec.width, o.width);
            EXPECT_EQ(c.spec.height, o.height);
            Outcome probe = Bmp(file, f, true);
            EXPECT_FALSE(probe.ok);
            EXPECT_EQ(c.reason, probe.reason) << "probe";
        }
        Outcome alpha = Alpha(file);
        EXPECT_FALSE(alpha.ok);
        // The alpha loader takes 8-bit pictures only, and says so first.
        EXPECT_EQ(c.spec.bitCount == 8
                      ? c.reason
                      : std::to_string(c.spec.bitCount) + "-bit pictures are not supported (8 bits only)",
                  alpha.reason);
    }
}

TEST(BmpLoader, TruncatedFilesFailCleanly)
{
    PixelRandom random(6603);
    for (uint16_t bits : {uint16_t(8), uint16_t(24)}) {
        BmpSpec spec;
        spec.width = 3;
        spec.height = 3;
        spec.bitCount = bits;
        if (bits == 8) {
            spec.clrUsed = 3;
            spec.palette = RandomPalette(random, 3);
        }
        std::vector<uint8_t> file = MakeBmp(spec, std::vector<uint8_t>(9 * bits / 8, 1));
        ASSERT_TRUE(Bmp(file, pf24_888).ok);
        for (size_t len = 0; len < file.size(); ++len) {
            SCOPED_TRACE(testing::Message() << bits << "-bit cut at " << len);
            std::vector<uint8_t> cut(file.begin(), file.begin() + long(len));
            // Where the file ends decides the reason.
            const size_t pixelsStart = 54 + 4 * spec.palette.size();
            const char* reason = len < 54            ? "the file ends inside its headers"
                                 : len < pixelsStart ? "the file ends inside its palette"
                                                     : "the file ends inside its pixels";
            for (TPixFormat f : kFormats) {
                Outcome o = Bmp(cut, f);
                ASSERT_FALSE(o.ok);
                ASSERT_EQ(reason, o.reason);
                // A read that fails leaves the dimensions alone.
                ASSERT_EQ(kUntouched, o.width);
                ASSERT_EQ(kUntouched, o.height);
            }
            if (bits == 8) {
                ASSERT_FALSE(Alpha(cut).ok);
                TMemoryStream s(cut);
                uchar* indices = nullptr;
                ASSERT_FALSE(LoadPalette(&s, nullptr, &indices, nullptr, nullptr));
                ASSERT_EQ(nullptr, indices);
            }
        }
    }
    // Streams that are not bitmaps at all.
    const std::vector<uint8_t> shortFiles[] = {{}, {'B', 'M'}, std::vector<uint8_t>(53, 0)};
    for (const auto& f : shortFiles)
        EXPECT_FALSE(Bmp(f, pf24_888).ok);
    Outcome zeros = Bmp(std::vector<uint8_t>(54, 0), pf24_888); // bit count 0
    EXPECT_FALSE(zeros.ok);
    EXPECT_EQ(0, zeros.width);
}

TEST(BmpLoader, ProbeReadsOnlyTheHeader)
{
    for (uint16_t bits : {uint16_t(8), uint16_t(24)}) {
        BmpSpec spec;
        spec.width = 640;
        spec.height = 480;
        spec.bitCount = bits;
        spec.offBits = 0;
        std::vector<uint8_t> header = MakeBmp(spec, {}); // no palette, no pixels
        Outcome o = Bmp(header, pf24_888, true);
        EXPECT_TRUE(o.ok);
        EXPECT_EQ(640, o.width);
        EXPECT_EQ(480, o.height);
        TMemoryStream s(header);
        EXPECT_TRUE(LoadAlpha(&s, nullptr, nullptr, nullptr) == (bits == 8));
    }
    // A format outside the seven reads nothing and fails at once.
    BmpSpec spec;
    std::vector<uint8_t> file = MakeBmp(spec, {1, 2, 3});
    for (int f : {0, 8, 200}) {
        TMemoryStream s(file);
        int w = kUntouched;
        EXPECT_FALSE(LoadBmp(&s, nullptr, &w, nullptr, static_cast<TPixFormat>(f)));
        EXPECT_EQ(kUntouched, w);
        EXPECT_EQ(0, s.Position());
    }
}

TEST(BmpLoader, ReadsFromTheStreamPositionIntoTheCallersBlock)
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.gap = 6; // offsets count from the start of the picture, not the stream
    std::vector<uint8_t> data(100, 0x99);
    std::vector<uint8_t> file = MakeBmp(spec, {1, 2, 3, 4, 5, 6});
    data.insert(data.end(), file.begin(), file.end());
    TMemoryStream s(data);
    s.Seek(100, soFromBeginning);
    uint8_t block[8];
    std::memset(block, 0xEE, sizeof block);
    uchar* pixels = block;
    int w = 0, h = 0;
    ASSERT_TRUE(LoadBmp(&s, &pixels, &w, &h, pf32_888));
    EXPECT_EQ(block, pixels);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0}), std::vector<uint8_t>(block, block + 8));
}

TEST(BmpLoader, AlphaIsThePlainAverageOfThePaletteColour)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 1;
    spec.bitCount = 8;
    spec.clrUsed = 3;
    spec.palette = {RGBQUAD{10, 20, 31, 0}, RGBQUAD{255, 255, 255, 0}, RGBQUAD{0, 0, 0, 255}};
    Outcome o = Alpha(MakeBmp(spec, {0, 1, 2, 200}));
    ASSERT_TRUE(o.ok);
    // Index 200 lies beyond the palette: a defined 0.
    EXPECT_EQ((std::vector<uint8_t>{20, 255, 0, 0}), o.pixels);

    BmpSpec truecolour;
    Outcome refused = Alpha(MakeBmp(truecolour, {1, 2, 3}));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(1, refused.width);
}

TEST(BmpLoader, PaletteAndIndicesSeparately)
{
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 8;
    spec.clrUsed = 2;
    spec.palette = {RGBQUAD{1, 2, 3, 4}, RGBQUAD{5, 6, 7, 8}};
    spec.gap = 3;
    const std::vector<uint8_t> indices = {0, 1, 7, 9, 8, 0};
    const std::vector<uint8_t> file = MakeBmp(spec, indices);

    for (int wanted = 0; wanted < 4; ++wanted) {
        SCOPED_TRACE(wanted);
        TMemoryStream s(file);
        RGBQUAD* palette = nullptr;
        uchar* idx = nullptr;
        int w = 0, h = 0;
        ASSERT_TRUE(LoadPalette(&s, wanted & 1 ? &palette : nullptr, wanted & 2 ? &idx : nullptr, &w, &h));
        TPixelBlock ownPalette(reinterpret_cast<uint8_t*>(palette));
        TPixelBlock ownIndices(idx);
        EXPECT_EQ(3, w);
        EXPECT_EQ(2, h);
        if (wanted & 1) {
            ASSERT_NE(nullptr, palette);
            EXPECT_EQ(0, std::memcmp(spec.palette.data(), palette, 8));
            std::vector<uint8_t> rest(reinterpret_cast<uint8_t*>(palette) + 8, reinterpret_cast<uint8_t*>(palette) + 1024);
            EXPECT_EQ(std::vector<uint8_t>(1016, 0), rest);
        }
        if (wanted & 2) {
            ASSERT_NE(nullptr, idx);
            EXPECT_EQ(indices, std::vector<uint8_t>(idx, idx + 6));
        }
    }
    // The caller's palette block is filled, its unused entries zeroed.
    std::vector<RGBQUAD> block(256, RGBQUAD{9, 9, 9, 9});
    RGBQUAD* into = block.data();
    TMemoryStream s(file);
    ASSERT_TRUE(LoadPalette(&s, &into, nullptr, nullptr, nullptr));
    EXPECT_EQ(block.data(), into);
    EXPECT_EQ(5, block[1].rgbBlue);
    EXPECT_EQ(0, block[2].rgbBlue);
}

// A stream that raises part-way (as a pack member's codec may on corrupt
// data): the loaders catch it and free what they allocated.
class FailingStream : public TStream {
public:
    FailingStream(std::vector<uint8_t> bytes, size_t failAt) : inner_(std::move(bytes)), failAt_(failAt) {}
    int64_t Read(void* buffer, int64_t count) override
    {
        if (inner_.Position() + count > int64_t(failAt_))
            throw EStreamError("corrupt member");
        return inner_.Read(buffer, count);
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return inner_.Seek(offset, origin); }

private:
    TMemoryStream inner_;
    size_t failAt_;
};

TEST(BmpLoader, StreamErrorsEndInFalse)
{
    BmpSpec spec;
    spec.width = 8;
    spec.height = 8;
    spec.bitCount = 8;
    spec.palette.resize(256);
    std::vector<uint8_t> file = MakeBmp(spec, std::vector<uint8_t>(64, 3));
    for (size_t at : {size_t(10), size_t(60), size_t(54 + 1024 + 9)}) {
        FailingStream s(file, at);
        uchar* pixels = nullptr;
        EXPECT_FALSE(LoadBmp(&s, &pixels, nullptr, nullptr, pf24_888)) << at;
        EXPECT_EQ(nullptr, pixels);
        FailingStream a(file, at);
        EXPECT_FALSE(LoadAlpha(&a, &pixels, nullptr, nullptr));
    }
    EXPECT_FALSE(LoadBmp(nullptr, nullptr, nullptr, nullptr, pf24_888));
}

} // namespace
