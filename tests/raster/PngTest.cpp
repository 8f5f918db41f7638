// PNG reading and writing: small fixtures of every colour type, bit depth and
// interlacing the loader accepts (loaded into every format, with and without
// the alpha output, white matte or not, into the caller's block or a new
// one) and refuses; damaged and hostile files; the round trip through the
// writer; and the stream loaders of the pixel buffer.
#include "raster/PngLoader.h"

#include "ImageFixtures.h"
#include "PixelFixture.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"
#include "raster/ZoAlpha.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

using pendar::TPixelBlock;
using pendar::test::MakePng;
using pendar::test::PixelRandom;
using pendar::test::PngSpec;

const auto& kFormats = pendar::test::kAllFormats;

struct Picture {
    PngSpec spec;
    std::vector<uint16_t> samples;
    std::vector<uint8_t> file;
};

Picture RandomPicture(PixelRandom& random, int colourType, int bitDepth, bool interlaced, int paletteSize = 256)
{
    Picture p;
    p.spec.width = random.Between(1, 37);
    p.spec.height = random.Between(1, 19);
    p.spec.colourType = colourType;
    p.spec.bitDepth = bitDepth;
    p.spec.interlaced = interlaced;
    const int channels = pendar::test::PngChannels(colourType);
    const uint32_t limit = 1u << bitDepth;
    for (int i = 0; i < p.spec.width * p.spec.height * channels; ++i) {
        const uint32_t v = bitDepth == 16 ? (uint32_t(random.Byte()) << 8 | random.Below(256)) : random.Below(limit);
        p.samples.push_back(uint16_t(bitDepth == 8 && random.Chance(50) ? random.Byte() : v));
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < paletteSize; ++i)
            p.spec.palette.push_back(png_color{random.Byte(), random.Byte(), random.Byte()});
    }
    p.file = MakePng(p.spec, p.samples);
    return p;
}

// The RGBQUAD row the loader builds for row y, and the alpha values.
void Expected(const Picture& p, TPixFormat format, bool whiteMatte, std::vector<RGBQUAD>& quads,
              std::vector<uint8_t>& alpha)
{
    const int channels = pendar::test::PngChannels(p.spec.colourType);
    quads.clear();
    alpha.clear();
    auto eight = [&](uint16_t v) { return uint8_t(p.spec.bitDepth == 16 ? v >> 8 : v); };
    for (int i = 0; i < p.spec.width * p.spec.height; ++i) {
        const uint16_t* s = &p.samples[size_t(i) * channels];
        RGBQUAD q{0, 0, 0, 0};
        uint8_t a = 255;
        if (channels == 1) {
            if (s[0] < p.spec.palette.size()) {
                const png_color& c = p.spec.palette[s[0]];
                q = RGBQUAD{c.blue, c.green, c.red, 0};
            }
        } else {
            q = RGBQUAD{eight(s[2]), eight(s[1]), eight(s[0]), 0};
            if (channels == 4) {
                a = eight(s[3]);
                if (whiteMatte) {
                    for (uint8_t* c : {&q.rgbBlue, &q.rgbGreen, &q.rgbRed})
                        *c = uint8_t(a == 0 ? 0 : ((a + *c) * 255 - 65025) / a);
                }
                if (format == pf32_8888)
                    q.rgbReserved = a;
            }
        }
        quads.push_back(q);
        alpha.push_back(a);
    }
}

struct Accepted {
    const char* name;
    int colourType;
    int bitDepth;
    bool interlaced;
};

const Accepted kAccepted[] = {
    {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false},     {"palette 8 interlaced", PNG_COLOR_TYPE_PALETTE, 8, true},
    {"RGB 8", PNG_COLOR_TYPE_RGB, 8, false},             {"RGB 8 interlaced", PNG_COLOR_TYPE_RGB, 8, true},
    {"RGB 16", PNG_COLOR_TYPE_RGB, 16, false},           {"RGB 16 interlaced", PNG_COLOR_TYPE_RGB, 16, true},
    {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},      {"RGBA 8 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true},
    {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false},    {"RGBA 16 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true},
};

TEST(Png, AcceptedPicturesLoadIntoEveryFormat)
{
    int caseNo = 0;
    for (const Accepted& kind : kAccepted) {
        for (TPixFormat format : kFormats) {
            for (int round = 0; round < 4; ++round, ++caseNo) {
                SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << kind.name << " format " << int(format));
                PixelRandom random(610000 + caseNo);
                // Short palettes leave indices beyond them: those come out black.
                const Picture p = RandomPicture(random, kind.colourType, kind.bitDepth, kind.interlaced,
                                                round == 3 ? 5 : 256);
                const bool whiteMatte = round % 2 == 1;
                const bool wantAlpha = round != 2;
                const bool callerBlock = round == 1;
                const size_t n = size_t(p.spec.width) * p.spec.height;
                const int bpp = FormatAndDepthTable[format];
                std::vector<uint8_t> callerPixels(n * bpp, 0xEE);
                uchar* pixels = callerBlock ? callerPixels.data() : nullptr;
                uchar* alpha = nullptr;
                int w = -1, h = -1;
                TMemoryStream s(p.file);
                const bool ok = whiteMatte ? LoadPngWhiteMat(&s, &pixels, wantAlpha ? &alpha : nullptr, &w, &h, format)
                                           : LoadPng(&s, &pixels, wantAlpha ? &alpha : nullptr, &w, &h, format);
                TPixelBlock ownPixels(callerBlock ? nullptr : pixels), ownAlpha(alpha);
                ASSERT_TRUE(ok);
                ASSERT_EQ(p.spec.width, w);
                ASSERT_EQ(p.spec.height, h);
                if (callerBlock) {
                    ASSERT_EQ(callerPixels.data(), pixels);
                }

                std::vector<RGBQUAD> quads;
                std::vector<uint8_t> wantAlphaValues;
                Expected(p, format, whiteMatte, quads, wantAlphaValues);
                std::vector<uint8_t> want(n * bpp);
                RGBQUADcpyToProcTable[format](want.data(), quads.data(), unsigned(n));
                ASSERT_EQ(want, std::vector<uint8_t>(pixels, pixels + n * bpp));
                if (wantAlpha) {
                    ASSERT_EQ(wantAlphaValues, std::vector<uint8_t>(alpha, alpha + n));
                }
                EXPECT_EQ(s.Size(), s.Position()); // read to the end

                TMemoryStream again(p.file);
                EXPECT_EQ(kind.colourType == PNG_COLOR_TYPE_PALETTE ? 1 : kind.colourType == PNG_COLOR_TYPE_RGB ? 3 : 4,
                          ChkChannelPng(&again));
            }
        }
    }
}

TEST(Png, TransparencyChunksAreNotUsed)
{
    PixelRandom random(620000);
    Picture p = RandomPicture(random, PNG_COLOR_TYPE_PALETTE, 8, false);
    p.spec.trns.assign(256, 0);
    p.file = MakePng(p.spec, p.samples);
    TMemoryStream s(p.file);
    uchar* alpha = nullptr;
    uchar* pixels = nullptr;
    int w = 0, h = 0;
    ASSERT_TRUE(LoadPng(&s, &pixels, &alpha, &w, &h, pf32_8888));
    TPixelBlock ownPixels(pixels), ownAlpha(alpha);
    EXPECT_EQ(std::vector<uint8_t>(size_t(w) * h, 255), std::vector<uint8_t>(alpha, alpha + size_t(w) * h));
    EXPECT_EQ(0, pixels[3]); // the palette's reserved byte
}

struct Refused {
    const char* name;
    int colourType;
    int bitDepth;
    int channels; // ChkChannelPng's answer
};

TEST(Png, GreyPicturesAndSmallPalettesAreRefusedBeforeAnyRow)
{
    const Refused cases[] = {
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1, 0},        {"grey 2", PNG_COLOR_TYPE_GRAY, 2, 0},
        {"grey 4", PNG_COLOR_TYPE_GRAY, 4, 0},        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, 0},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16, 0},      {"grey alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 0},
        {"grey alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, 0}, {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, 1},
        {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, 1},  {"palette 4", PNG_COLOR_TYPE_PALETTE, 4, 1},
    };
    int caseNo = 0;
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        PixelRandom random(630000 + caseNo++);
        const Picture p = RandomPicture(random, c.colourType, c.bitDepth, random.Chance(50), 2);
        for (bool probe : {false, true}) {
            uchar* pixels = nullptr;
            uchar* alpha = nullptr;
            int w = -7, h = -7;
            TMemoryStream s(p.file);
            std::string reason;
            EXPECT_FALSE(
                LoadPng(&s, probe ? nullptr : &pixels, probe ? nullptr : &alpha, &w, &h, pf24_888, &reason));
            EXPECT_EQ(c.channels == 1 ? "LoadPng Error:Bit Depth.Not Support" : "LoadPng Error:GrayScale.Not Support",
                      reason);
            EXPECT_EQ(nullptr, pixels);
            EXPECT_EQ(nullptr, alpha);
            EXPECT_EQ(-7, w);
            // Only the header was read: no row reached the loader.
            EXPECT_LT(s.Position(), 100);
        }
        TMemoryStream s(p.file);
        EXPECT_EQ(c.channels, ChkChannelPng(&s));
    }
}

TEST(Png, HeaderOnlyAndRefusedArguments)
{
    PixelRandom random(640000);
    const Picture p = RandomPicture(random, PNG_COLOR_TYPE_RGB_ALPHA, 8, false);
    TMemoryStream s(p.file);
    int w = 0, h = 0;
    ASSERT_TRUE(LoadPng(&s, nullptr, nullptr, &w, &h, pf16_565));
    EXPECT_EQ(p.spec.width, w);
    EXPECT_EQ(p.spec.height, h);

    uchar* pixels = nullptr;
    TMemoryStream t(p.file);
    std::string reason;
    EXPECT_FALSE(LoadPng(&t, &pixels, &w, &h, pfNone, &reason));
    EXPECT_EQ("no such pixel format", reason);
    EXPECT_FALSE(LoadPng(&t, &pixels, &w, &h, static_cast<TPixFormat>(8)));
    EXPECT_FALSE(LoadPng(nullptr, &pixels, &w, &h, pf24_888, &reason));
    EXPECT_EQ("no stream", reason);
    const std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    TMemoryStream notPng(bmp);
    EXPECT_FALSE(LoadPng(&notPng, &pixels, &w, &h, pf24_888, &reason));
    EXPECT_EQ("not a PNG file", reason);
    TMemoryStream empty;
    EXPECT_EQ(0, ChkChannelPng(&empty));
    EXPECT_EQ(0, ChkChannelPng(nullptr));
}

// Every prefix of a file and every damaged byte fails cleanly (the
// sanitizers check that nothing leaks or is read uninitialised).
TEST(Png, DamagedFilesFail)
{
    PixelRandom random(650000);
    const Picture p = RandomPicture(random, PNG_COLOR_TYPE_RGB_ALPHA, 8, true);
    for (size_t n = 0; n < p.file.size(); ++n) {
        std::vector<uint8_t> cut(p.file.begin(), p.file.begin() + long(n));
        TMemoryStream s(cut);
        uchar* pixels = nullptr;
        uchar* alpha = nullptr;
        ASSERT_FALSE(LoadPng(&s, &pixels, &alpha, nullptr, nullptr, pf24_888)) << n;
        ASSERT_EQ(nullptr, pixels);
    }
    // A changed byte in the picture data breaks its chunk's checksum.
    std::vector<uint8_t> flipped = p.file;
    flipped[flipped.size() / 2] ^= 0x40;
    TMemoryStream s(flipped);
    uchar* pixels = nullptr;
    EXPECT_FALSE(LoadPng(&s, &pixels, nullptr, nullptr, pf24_888));
    EXPECT_EQ(nullptr, pixels);
    // A stream that raises is a short read.
    pendar::test::LimitedStream raising(p.file, 60, true);
    EXPECT_FALSE(LoadPng(&raising, &pixels, nullptr, nullptr, pf24_888));
}

// A header may claim any size: it is answered as it is, but the pixels of
// a picture above the engine's limit are refused before anything is
// allocated for them.
TEST(Png, HugeHeadersAreAnsweredButNeverDecoded)
{
    struct Case {
        png_uint_32 width, height;
        bool header;        // the header is answered (libpng itself takes no side above 2^26)
        const char* reason; // why the pixels are not decoded
    } cases[] = {
        {100000, 100000, true, "size 100000 x 100000 is above the limit of 67108864 pixels"},
        {60000, 60000, true, "size 60000 x 60000 is above the limit of 67108864 pixels"},
        {1u << 27, 1, false, nullptr},
        {8192, 8192, true, "Png Error. Read Error."}, // allowed, but its rows never come
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        // A valid header and an empty picture stream: enough for the probe.
        std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        for (png_uint_32 v : {c.width, c.height}) {
            for (int i = 3; i >= 0; --i)
                file.push_back(uint8_t(v >> (8 * i)));
        }
        file.insert(file.end(), {8, 2, 0, 0, 0});
        uint32_t crc = uint32_t(crc32(0, file.data() + 12, 17));
        for (int i = 3; i >= 0; --i)
            file.push_back(uint8_t(crc >> (8 * i)));
        // The start of a picture chunk that never comes.
        file.insert(file.end(), {0, 0, 0, 10, 'I', 'D', 'A', 'T'});
        TMemoryStream s(file);
        int w = 0, h = 0;
        EXPECT_EQ(c.header, LoadPng(&s, nullptr, nullptr, &w, &h, pf24_888));
        TMemoryStream probe(file);
        EXPECT_EQ(c.header ? 3 : 0, ChkChannelPng(&probe));
        if (c.header) {
            EXPECT_EQ(int(c.width), w);
            EXPECT_EQ(int(c.height), h);
        }
        TMemoryStream t(file);
        uchar* pixels = nullptr;
        std::string reason;
        EXPECT_FALSE(LoadPng(&t, &pixels, nullptr, nullptr, pf24_888, &reason));
        EXPECT_EQ(nullptr, pixels);
        if (c.reason) {
            EXPECT_EQ(c.reason, reason);
        } else {
            EXPECT_FALSE(reason.empty());
        }
    }
}

TEST(Png, WhiteMatteUndoesACompositionOverWhite)
{
    EXPECT_EQ(255, pendar::WhiteMatte(128, 255));
    EXPECT_EQ(0, pendar::WhiteMatte(128, 127));
    EXPECT_EQ(0, pendar::WhiteMatte(0, 200));
    // A colour composited over white at opacity a comes back.
    for (int a = 1; a < 256; ++a) {
        for (int c = 0; c < 256; c += 5) {
            const int over = c + (255 - c) * (255 - a) / 255; // rounded down
            EXPECT_NEAR(c, pendar::WhiteMatte(a, over), 255.0 / a + 1) << a << " " << c;
        }
    }
}

// ---- writing ----------------------------------------------------------------------

TEST(Png, SavedPicturesLoadBack)
{
    for (int caseNo = 0; caseNo < 70; ++caseNo) {
        const TPixFormat format = kFormats[caseNo % 7];
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " format " << int(format));
        PixelRandom random(660000 + caseNo);
        const int w = random.Between(1, 30), h = random.Between(1, 12);
        const int bpp = FormatAndDepthTable[format];
        const std::vector<uint8_t> pixels = random.Bytes(size_t(w) * h * bpp);
        const std::vector<uint8_t> alpha = random.Bytes(size_t(w) * h);
        const bool withAlpha = caseNo % 2 == 0;
        TMemoryStream out;
        ASSERT_TRUE(withAlpha ? SavePng(&out, pixels.data(), alpha.data(), w, h, format)
                              : SavePng(&out, pixels.data(), w, h, format));
        out.Seek(0, soFromBeginning);
        EXPECT_EQ(withAlpha ? 4 : 3, ChkChannelPng(&out));

        // The file holds each pixel's 24-bit colour.
        out.Seek(0, soFromBeginning);
        uchar* back = nullptr;
        uchar* backAlpha = nullptr;
        int bw = 0, bh = 0;
        ASSERT_TRUE(LoadPng(&out, &back, &backAlpha, &bw, &bh, pf24_888));
        TPixelBlock ownBack(back), ownAlpha(backAlpha);
        ASSERT_EQ(w, bw);
        ASSERT_EQ(h, bh);
        std::vector<uint8_t> colours(size_t(w) * h * 3);
        RGBTRIPLEcpyFromProcTable[format](colours.data(), pixels.data(), unsigned(w * h));
        ASSERT_EQ(colours, std::vector<uint8_t>(back, back + colours.size()));
        ASSERT_EQ(withAlpha ? alpha : std::vector<uint8_t>(alpha.size(), 255),
                  std::vector<uint8_t>(backAlpha, backAlpha + alpha.size()));
    }
    // A 24-bit picture comes back byte for byte.
    PixelRandom random(669999);
    const std::vector<uint8_t> pixels = random.Bytes(7 * 5 * 3);
    TMemoryStream out;
    ASSERT_TRUE(SavePng(&out, pixels.data(), 7, 5, pf24_888));
    out.Seek(0, soFromBeginning);
    uchar* back = nullptr;
    ASSERT_TRUE(LoadPng(&out, &back, nullptr, nullptr, pf24_888));
    TPixelBlock own(back);
    EXPECT_EQ(pixels, std::vector<uint8_t>(back, back + pixels.size()));
}

TEST(Png, SavingRefusesWhatItCannotWrite)
{
    const std::vector<uint8_t> pixels(4 * 4 * 4, 0x55);
    TMemoryStream out;
    EXPECT_FALSE(SavePng(&out, nullptr, 4, 4, pf24_888));
    EXPECT_FALSE(SavePng(&out, pixels.data(), 0, 4, pf24_888));
    EXPECT_FALSE(SavePng(&out, pixels.data(), 4, 4, pfNone));
    EXPECT_FALSE(SavePng(nullptr, pixels.data(), 4, 4, pf24_888));
    for (int64_t limit : {0, 10, 40, 60}) {
        pendar::test::LimitedStream full({}, limit, limit == 40);
        EXPECT_FALSE(SavePng(&full, pixels.data(), 4, 4, pf32_8888)) << limit;
    }
}

// ---- into pixel buffers ------------------------------------------------------------

TEST(Png, StreamLoadersSizeAFreshBufferAndPlane)
{
    PixelRandom random(670000);
    const Picture p = RandomPicture(random, PNG_COLOR_TYPE_RGB_ALPHA, 8, false);
    TZoRGBBits fresh;
    fresh.SetPixFormat(pf32_8888);
    TZoAlpha alpha;
    TMemoryStream s(p.file);
    ASSERT_TRUE(fresh.DrawPngWMStream(&s, 3, 2, &alpha));
    ASSERT_TRUE(fresh.Created());
    ASSERT_TRUE(alpha.Created());
    EXPECT_EQ(p.spec.width + 3, fresh.Width());
    EXPECT_EQ(p.spec.height + 2, alpha.Height());
    std::vector<RGBQUAD> quads;
    std::vector<uint8_t> values;
    Expected(p, pf32_8888, true, quads, values);
    for (int y = 0; y < p.spec.height; ++y) {
        for (int x = 0; x < p.spec.width; ++x) {
            const RGBQUAD& q = quads[size_t(y) * p.spec.width + x];
            const uint32_t want = q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16 | uint32_t(q.rgbReserved) << 24;
            ASSERT_EQ(want, fresh.PGet(x + 3, y + 2));
            ASSERT_EQ(values[size_t(y) * p.spec.width + x], alpha.PGet(x + 3, y + 2));
        }
    }
    EXPECT_EQ(0u, fresh.PGet(0, 0));
    EXPECT_EQ(255, alpha.PGet(0, 0)); // a new plane is opaque

    // A created buffer keeps its size; a failure leaves a fresh one alone.
    TZoRGBBits small;
    small.Resize(2, 2);
    ASSERT_TRUE(small.Create());
    TMemoryStream again(p.file);
    ASSERT_TRUE(small.DrawPngStream(&again, 0, 0));
    EXPECT_EQ(2, small.Width());
    std::vector<uint8_t> cut(p.file.begin(), p.file.end() - 20);
    TMemoryStream broken(cut);
    TZoRGBBits untouched;
    TZoAlpha plane;
    EXPECT_FALSE(untouched.DrawPngStream(&broken, 0, 0, &plane));
    EXPECT_FALSE(untouched.Created());
    EXPECT_FALSE(plane.Created());
}

} // namespace
