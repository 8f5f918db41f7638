// JPEG and GNY loading: JPEG fixtures of the kinds the loader accepts
// (colour at several subsamplings, grey, progressive, with restart markers),
// each decoded into every format and compared with libjpeg's own decoding;
// the refusals (CMYK, empty, not a JPEG, huge headers, tables only); cut
// streams; GNY files descrambled at every offset, cut, and with hostile
// headers; and the pixel buffer's stream loaders.
#include "raster/GnyLoader.h"
#include "raster/JpegLoader.h"

#include "ImageFixtures.h"
#include "PixelFixture.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using pendar::TPixelBlock;
using pendar::test::JpegKind;
using pendar::test::JpegSpec;
using pendar::test::PixelRandom;

const auto& kFormats = pendar::test::kAllFormats;

// A picture with smooth areas and sharp edges, so that every decoder stage
// has work.
std::vector<uint8_t> Samples(PixelRandom& random, const JpegSpec& spec, int components)
{
    std::vector<uint8_t> s;
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            for (int c = 0; c < components; ++c)
                s.push_back(random.Chance(10) ? random.Byte() : uint8_t((x * 7 + y * 13 + c * 50) & 0xFF));
        }
    }
    return s;
}

struct Decoded {
    bool ok = false;
    int w = -1;
    int h = -1;
    TPixelBlock pixels;
    std::string reason;
};

Decoded Jpeg(const std::vector<uint8_t>& file, TPixFormat format, bool probe = false)
{
    Decoded d;
    TMemoryStream s(file);
    uchar* p = nullptr;
    d.ok = LoadJpeg(&s, probe ? nullptr : &p, &d.w, &d.h, format, &d.reason);
    d.pixels.reset(p);
    return d;
}

TEST(Jpeg, AcceptedKindsDecodeIntoEveryFormatAsTheLibraryDecodesThem)
{
    struct Kind {
        const char* name;
        JpegKind kind;
        bool progressive;
        int subsampling;
        int restartRows;
    } kinds[] = {
        {"colour 4:4:4", JpegKind::Colour, false, 1, 0},  {"colour 4:2:0", JpegKind::Colour, false, 2, 0},
        {"colour progressive", JpegKind::Colour, true, 2, 0}, {"grey", JpegKind::Grey, false, 1, 0},
        {"grey progressive", JpegKind::Grey, true, 1, 0}, {"colour with restarts", JpegKind::Colour, false, 2, 1},
    };
    int caseNo = 0;
    for (const Kind& k : kinds) {
        for (TPixFormat format : kFormats) {
            SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << k.name << " format " << int(format));
            PixelRandom random(710000 + caseNo++);
            JpegSpec spec;
            spec.width = random.Between(1, 45);
            spec.height = random.Between(1, 30);
            spec.kind = k.kind;
            spec.progressive = k.progressive;
            spec.subsampling = k.subsampling;
            spec.restartRows = k.restartRows;
            const auto file = pendar::test::MakeJpeg(spec, Samples(random, spec, k.kind == JpegKind::Grey ? 1 : 3));
            const std::vector<uint8_t> bgr = pendar::test::DecodeJpegBgr(file);
            const size_t n = size_t(spec.width) * spec.height;
            std::vector<uint8_t> want(n * FormatAndDepthTable[format]);
            RGBTRIPLEcpyToProcTable[format](want.data(), bgr.data(), unsigned(n));

            Decoded d = Jpeg(file, format);
            ASSERT_TRUE(d.ok);
            ASSERT_EQ(spec.width, d.w);
            ASSERT_EQ(spec.height, d.h);
            ASSERT_EQ(want, std::vector<uint8_t>(d.pixels.get(), d.pixels.get() + want.size()));

            // Into the caller's block, and the header alone.
            std::vector<uint8_t> block(want.size(), 0xEE);
            uchar* p = block.data();
            TMemoryStream s(file);
            ASSERT_TRUE(LoadJpeg(&s, &p, nullptr, nullptr, format));
            ASSERT_EQ(block.data(), p);
            ASSERT_EQ(want, block);
            Decoded probe = Jpeg(file, format, true);
            ASSERT_TRUE(probe.ok);
            ASSERT_EQ(spec.width, probe.w);
        }
    }
}

TEST(Jpeg, RefusedInput)
{
    PixelRandom random(720000);
    JpegSpec spec;
    spec.kind = JpegKind::Cmyk;
    const auto cmyk = pendar::test::MakeJpeg(spec, Samples(random, spec, 4));
    // The library's own words, whatever they are, say why.
    for (const std::vector<uint8_t>& file : {cmyk,                                    // no conversion to RGB
                                             std::vector<uint8_t>{},                  // empty
                                             std::vector<uint8_t>{'B', 'M', 1, 2, 3, 4}}) {
        const Decoded d = Jpeg(file, pf24_888);
        EXPECT_FALSE(d.ok);
        EXPECT_NE("", d.reason);
    }
    const Decoded refused = Jpeg({0xFF, 0xD8, 0xFF, 0xD9}, pf24_888); // no frame
    EXPECT_FALSE(refused.ok);
    EXPECT_NE("", refused.reason);
    EXPECT_EQ(-1, refused.w); // untouched

    spec.kind = JpegKind::Colour;
    const auto good = pendar::test::MakeJpeg(spec, Samples(random, spec, 3));
    EXPECT_EQ("no such pixel format", Jpeg(good, pfNone).reason);
    std::string reason;
    EXPECT_FALSE(LoadJpeg(nullptr, nullptr, nullptr, nullptr, pf24_888, &reason));
    EXPECT_EQ("no stream", reason);

    // A frame header claiming 8192 x 8193 (just above the pixel limit) is
    // refused, header-only or not; 65535 x 65535 the library refuses itself.
    auto claiming = [&](uint16_t w, uint16_t h) {
        std::vector<uint8_t> file = good;
        for (size_t i = 0; i + 8 < file.size(); ++i) {
            if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
                file[i + 5] = uint8_t(h >> 8), file[i + 6] = uint8_t(h);
                file[i + 7] = uint8_t(w >> 8), file[i + 8] = uint8_t(w);
                break;
            }
        }
        return file;
    };
    for (const auto& huge : {claiming(8192, 8193), claiming(65535, 65535)}) {
        EXPECT_FALSE(Jpeg(huge, pf24_888, true).ok);
        EXPECT_FALSE(Jpeg(huge, pf24_888).ok);
    }
    EXPECT_EQ("size 8192 x 8193 is above the limit of 67108864 pixels", Jpeg(claiming(8192, 8193), pf24_888).reason);
}

// A stream cut anywhere after its header still decodes (the library fills
// what is missing); cut inside the header it fails; a stream that raises
// fails. The sanitizers watch for leaks on every path.
TEST(Jpeg, CutStreams)
{
    PixelRandom random(730000);
    for (bool progressive : {false, true}) {
        JpegSpec spec;
        spec.width = 40;
        spec.height = 24;
        spec.progressive = progressive;
        const auto file = pendar::test::MakeJpeg(spec, Samples(random, spec, 3));
        int decoded = 0;
        for (size_t n = 0; n < file.size(); n += 7) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + long(n));
            Decoded d = Jpeg(cut, pf32_888);
            if (d.ok) {
                ASSERT_EQ(40, d.w) << n;
                ++decoded;
            } else {
                ASSERT_EQ(nullptr, d.pixels) << n;
            }
        }
        EXPECT_GT(decoded, 0);
        EXPECT_FALSE(Jpeg(std::vector<uint8_t>(file.begin(), file.begin() + 20), pf24_888).ok);
        std::vector<uint8_t> half(file.begin(), file.begin() + long(file.size() / 2));
        EXPECT_TRUE(Jpeg(half, pf24_888).ok);
        pendar::test::LimitedStream raising(file, 300, true);
        uchar* p = nullptr;
        EXPECT_FALSE(LoadJpeg(&raising, &p, nullptr, nullptr, pf24_888));
        EXPECT_EQ(nullptr, p);
    }
}

// ---- GNY ---------------------------------------------------------------------------

std::vector<uint8_t> Table(PixelRandom& random)
{
    std::vector<uint8_t> t(256);
    for (auto& b : t)
        b = uint8_t(random.Below(256));
    return t;
}

TEST(Gny, DescramblesEveryByteAtItsOffsetIntoEveryFormat)
{
    for (int caseNo = 0; caseNo < 70; ++caseNo) {
        const TPixFormat format = kFormats[caseNo % 7];
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " format " << int(format));
        PixelRandom random(740000 + caseNo);
        const std::vector<uint8_t> table = Table(random);
        // Wide enough that the table index wraps within the pixels.
        const int w = random.Between(1, 120), h = random.Between(1, 6);
        const std::vector<uint8_t> bgr = random.Bytes(size_t(w) * h * 3);
        const auto file = pendar::test::MakeGny(w, h, bgr, table.data());
        std::vector<uint8_t> want(size_t(w) * h * FormatAndDepthTable[format]);
        RGBTRIPLEcpyToProcTable[format](want.data(), bgr.data(), unsigned(w * h));

        TMemoryStream s(file);
        uchar* p = nullptr;
        int gw = 0, gh = 0;
        ASSERT_TRUE(LoadGny(&s, &p, &gw, &gh, format, table.data()));
        TPixelBlock own(p);
        EXPECT_EQ(w, gw);
        EXPECT_EQ(h, gh);
        EXPECT_EQ(want, std::vector<uint8_t>(p, p + want.size()));
    }
}

TEST(Gny, SizesCutFilesAndHostileHeaders)
{
    PixelRandom random(750000);
    const std::vector<uint8_t> table = Table(random);
    const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6};
    const auto file = pendar::test::MakeGny(2, 1, pixels, table.data());
    ASSERT_EQ(14u, file.size()); // 2 x 1 needs exactly 8 + 6 bytes

    // The header alone gives the size.
    TMemoryStream probe(std::vector<uint8_t>(file.begin(), file.begin() + 8));
    int w = 0, h = 0;
    ASSERT_TRUE(LoadGny(&probe, nullptr, &w, &h, pf24_888, table.data()));
    EXPECT_EQ(2, w);
    EXPECT_EQ(1, h);

    // One byte short: false, size not stored, nothing handed out.
    TMemoryStream cut(std::vector<uint8_t>(file.begin(), file.end() - 1));
    uchar* p = nullptr;
    w = h = -1;
    std::string reason;
    EXPECT_FALSE(LoadGny(&cut, &p, &w, &h, pf24_888, table.data(), &reason));
    EXPECT_EQ("the file ends before the rows its header announces", reason);
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(-1, w);
    TMemoryStream headless(std::vector<uint8_t>(file.begin(), file.begin() + 7));
    EXPECT_FALSE(LoadGny(&headless, nullptr, &w, &h, pf24_888, table.data(), &reason));
    EXPECT_EQ("the file ends inside its header", reason);

    struct Case {
        int32_t w, h;
        const char* reason;
    } hostile[] = {{0, 1, "size 0 x 1 holds no pixels"},
                   {1, 0, "size 1 x 0 holds no pixels"},
                   {-1, 5, "size -1 x 5 holds no pixels"},
                   {5, -1, "size 5 x -1 holds no pixels"},
                   {100000, 100000, "size 100000 x 100000 is above the limit of 67108864 pixels"},
                   {INT32_MAX, INT32_MAX, "size 2147483647 x 2147483647 is above the limit of 67108864 pixels"}};
    for (const Case& c : hostile) {
        TMemoryStream s(pendar::test::MakeGny(c.w, c.h, {}, table.data()));
        EXPECT_FALSE(LoadGny(&s, &p, &w, &h, pf24_888, table.data(), &reason)) << c.w << "x" << c.h;
        EXPECT_EQ(c.reason, reason);
        TMemoryStream t(pendar::test::MakeGny(c.w, c.h, {}, table.data()));
        EXPECT_FALSE(LoadGny(&t, nullptr, &w, &h, pf24_888, table.data())) << c.w << "x" << c.h;
    }
    // The largest picture the engine takes, announced by a file without its
    // rows: the size is given, the pixels refused at once.
    const auto bare = pendar::test::MakeGny(8192, 8192, {}, table.data());
    TMemoryStream announced(bare);
    EXPECT_TRUE(LoadGny(&announced, nullptr, &w, &h, pf24_888, table.data()));
    EXPECT_EQ(8192, w);
    TMemoryStream empty(bare);
    EXPECT_FALSE(LoadGny(&empty, &p, &w, &h, pf32_8888, table.data()));
    EXPECT_EQ(nullptr, p);

    TMemoryStream s(file);
    EXPECT_FALSE(LoadGny(&s, &p, &w, &h, pf24_888, nullptr, &reason));
    EXPECT_EQ("no descrambling table", reason);
    EXPECT_FALSE(LoadGny(&s, &p, &w, &h, pfNone, table.data(), &reason));
    EXPECT_EQ("no such pixel format", reason);
    pendar::test::LimitedStream raising(file, 10, true);
    EXPECT_FALSE(LoadGny(&raising, &p, &w, &h, pf24_888, table.data()));
    EXPECT_EQ(nullptr, p);
}

// ---- into pixel buffers --------------------------------------------------------------

TEST(JpegGny, StreamLoadersSizeAFreshBuffer)
{
    PixelRandom random(760000);
    const std::vector<uint8_t> table = Table(random);
    const std::vector<uint8_t> bgr = random.Bytes(3 * 2 * 3);
    TZoRGBBits gny;
    gny.SetPixFormat(pf32_888);
    TMemoryStream g(pendar::test::MakeGny(3, 2, bgr, table.data()));
    ASSERT_TRUE(gny.DrawGnyStream(&g, 1, 4, table.data()));
    EXPECT_EQ(4, gny.Width());
    EXPECT_EQ(6, gny.Height());
    EXPECT_EQ(uint32_t(bgr[0] | bgr[1] << 8 | bgr[2] << 16), gny.PGet(1, 4));
    EXPECT_EQ(0u, gny.PGet(0, 0));

    JpegSpec spec;
    spec.width = 9;
    spec.height = 5;
    const auto file = pendar::test::MakeJpeg(spec, Samples(random, spec, 3));
    const std::vector<uint8_t> want = pendar::test::DecodeJpegBgr(file);
    TZoRGBBits jpeg;
    TMemoryStream j(file);
    ASSERT_TRUE(jpeg.DrawJpegStream(&j, 2, 0));
    EXPECT_EQ(11, jpeg.Width());
    EXPECT_EQ(uint32_t(want[0] | want[1] << 8 | want[2] << 16), jpeg.PGet(2, 0));

    TZoRGBBits untouched;
    TMemoryStream empty;
    EXPECT_FALSE(untouched.DrawJpegStream(&empty, 0, 0));
    EXPECT_FALSE(untouched.DrawGnyStream(&empty, 0, 0, table.data()));
    EXPECT_FALSE(untouched.Created());
}

} // namespace
