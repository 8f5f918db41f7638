// The row converters against the per-pixel rules, on seeded random rows of
// every length up to a few dozen pixels, with guard bytes around the
// destination.
#include "raster/PixelRows.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using pendar::test::Guarded;
using pendar::test::LoadLE;
using pendar::test::PixelRandom;
using pendar::test::StoreLE;

struct Family {
    const char* name;
    const TRGBCpyProc* table;
    // Bytes of one source and one destination element for format f.
    int (*srcBytes)(int f);
    int (*dstBytes)(int f);
    // The destination value (as stored, low dstBytes bytes) for a source value.
    uint32_t (*rule)(int f, uint32_t v);
};

int Depth(int f) { return FormatAndDepthTable[f]; }
int Quad(int) { return 4; }
int Triple(int) { return 3; }
bool Is16(int f) { return Depth(f) == 2; }

const Family kFamilies[] = {
    {"RGBQUADcpyTo", RGBQUADcpyToProcTable, Quad, Depth, [](int f, uint32_t v) { return RGBtoProcTable[f](v); }},
    {"RGBQUADcpyFrom", RGBQUADcpyFromProcTable, Depth, Quad,
     [](int f, uint32_t v) {
         // 16-bit and 24-bit sources get rgbReserved 0; 32-bit ones keep it.
         return Depth(f) == 4 ? v : RGBfromProcTable[f](v) & 0x00FFFFFF;
     }},
    {"RGBTRIPLEcpyTo", RGBTRIPLEcpyToProcTable, Triple, Depth,
     [](int f, uint32_t v) { return Is16(f) ? RGBtoProcTable[f](v) : v; }},
    {"RGBTRIPLEcpyFrom", RGBTRIPLEcpyFromProcTable, Depth, Triple,
     [](int f, uint32_t v) { return RGBfromProcTable[f](v) & 0x00FFFFFF; }},
};

TEST(PixelRows, EveryConverterFollowsItsPerPixelRule)
{
    PixelRandom random(6101);
    int caseNo = 0;
    for (const Family& family : kFamilies) {
        EXPECT_EQ(nullptr, family.table[pfNone]);
        for (int f = 1; f < kPixFormatCount; ++f) {
            for (unsigned count = 0; count <= 37; ++count, ++caseNo) {
                SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << family.name << " format " << f
                                                << " count " << count);
                const int sb = family.srcBytes(f);
                const int db = family.dstBytes(f);
                std::vector<uint8_t> src = random.Bytes(size_t(count) * sb);
                Guarded dst(size_t(count) * db);
                ASSERT_EQ(dst.Data(), family.table[f](dst.Data(), src.data(), count));
                ASSERT_TRUE(dst.GuardsIntact());
                for (unsigned i = 0; i < count; ++i) {
                    uint32_t want = family.rule(f, LoadLE(src.data() + i * sb, sb));
                    uint32_t mask = db == 4 ? 0xFFFFFFFF : (1u << (8 * db)) - 1;
                    ASSERT_EQ(want & mask, LoadLE(dst.Data() + i * db, db)) << "pixel " << i;
                }
            }
        }
    }
}

TEST(PixelRows, RgbquadToTwentyFourBitWritesExactlyThreeBytesAPixel)
{
    const uint8_t quads[] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99, 13, 14, 15, 99};
    Guarded dst(15);
    RGBQUADcpyTo24_888(dst.Data(), quads, 5);
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), dst.Contents());
}

TEST(PixelRows, PaletteExpansion)
{
    PixelRandom random(6102);
    std::vector<uint8_t> palette = random.Bytes(1024);
    std::vector<uint8_t> indices = random.Bytes(41);
    Guarded quads(41 * 4);
    Guarded triples(41 * 3);
    RGBQUADcpyFrom8(quads.Data(), indices.data(), palette.data(), 41);
    RGBTRIPLEcpyFrom8(triples.Data(), indices.data(), palette.data(), 41);
    ASSERT_TRUE(quads.GuardsIntact());
    ASSERT_TRUE(triples.GuardsIntact());
    for (size_t i = 0; i < 41; ++i) {
        const uint8_t* entry = palette.data() + indices[i] * 4;
        EXPECT_EQ(0, std::memcmp(entry, quads.Data() + i * 4, 4)) << i; // rgbReserved included
        EXPECT_EQ(0, std::memcmp(entry, triples.Data() + i * 3, 3)) << i;
    }
}

} // namespace
