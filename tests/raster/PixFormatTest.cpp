#include "raster/PixFormat.h"
#include "raster/ZoRGB.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(PixFormat, SingleValueConverters)
{
    struct Case {
        const char* what;
        uint32_t got;
        uint32_t want;
    } cases[] = {
        {"565 white", RGBto16_565(0x00FFFFFF), 0xFFFF},
        {"565 fields", RGBto16_565(0x00F8FC08), 0xFFE1},
        {"565 back to white", RGBfrom16_565(0xFFFF), 0x00FFFFFF},
        {"565 replicates low fields", RGBfrom16_565(0x0821), 0x00080408},
        {"555 white", RGBfrom16_555(0x7FFF) & 0xFFFFFF, 0x00FFFFFF},
        {"555 top byte never reaches bit 15", RGBto16_555(0x80FFFFFF), 0x7FFF},
        {"5551 alpha bit always 0", RGBto16_5551(0xFFFFFFFF), 0x7FFF},
        {"4444 white", RGBfrom16_4444(0x0FFF) & 0xFFFFFF, 0x00FFFFFF},
        {"4444 fields widen x17", RGBfrom16_4444(0x1234) & 0xFFFFFF, 0x00223344},
        {"4444 alpha nibble from the top byte", RGBto16_4444(0xFF000000), 0xF000},
        {"4444 alpha takes only the low nibble", RGBto16_4444(0x35000000), 0x5000},
        {"4444 colour", RGBto16_4444(0x00FF8010), 0x0F81},
        {"24 unchanged", RGBto24_888(0x00123456), 0x00123456},
        {"32_8888 drops alpha", RGBfrom32_8888(0x80112233), 0x00112233},
        {"32_888 keeps all", RGBfrom32_888(0x80112233), 0x80112233},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, c.got) << c.what;
}

// Widening is bit replication: every 16-bit value survives the trip to 8 bits
// per channel and back, which a plain shift would not give (0x1F -> 0xF8).
TEST(PixFormat, SixteenBitValuesSurviveARoundTrip)
{
    struct Format {
        TRGBConvProc to, from;
        uint32_t colourBits;
    } formats[] = {
        {RGBto16_565, RGBfrom16_565, 0xFFFF},
        {RGBto16_555, RGBfrom16_555, 0x7FFF},
        {RGBto16_5551, RGBfrom16_5551, 0x7FFF},
        {RGBto16_4444, RGBfrom16_4444, 0x0FFF},
    };
    for (const Format& f : formats) {
        for (uint32_t p = 0; p <= 0xFFFF; ++p) {
            uint32_t colour = f.from(p) & 0x00FFFFFF;
            ASSERT_EQ(p & f.colourBits, f.to(colour)) << std::hex << p;
        }
    }
    EXPECT_EQ(0x00FFFFFFu, RGBfrom16_565(0xFFFF));
    EXPECT_EQ(0x00FF0000u, RGBfrom16_565(0xF800));
}

TEST(PixFormat, TablesFollowTheFormats)
{
    for (int f = 1; f < kPixFormatCount; ++f) {
        SCOPED_TRACE(f);
        ASSERT_NE(nullptr, RGBtoProcTable[f]);
        ASSERT_NE(nullptr, RGBfromProcTable[f]);
        // Every mask bit is a bit the converter can produce.
        uint32_t all = RGBBitMask[f][0] | RGBBitMask[f][1] | RGBBitMask[f][2];
        EXPECT_EQ(all, RGBtoProcTable[f](0x00FFFFFF) & all);
        EXPECT_EQ(0u, RGBBitMask[f][0] & RGBBitMask[f][1]);
        EXPECT_TRUE(ChkDepthAndFormat(static_cast<TBitDepth>(FormatAndDepthTable[f]), static_cast<TPixFormat>(f)));
    }
    EXPECT_EQ(nullptr, RGBtoProcTable[0]);
    EXPECT_EQ(0xF000u, RGBBitMask[pf16_4444][3]);
    EXPECT_EQ(0xFF000000u, RGBBitMask[pf32_8888][3]);
    EXPECT_EQ(0u, RGBBitMask[pf32_888][3]);
}

TEST(PixFormat, DepthAndFormatChecks)
{
    // Rows: depth 0..4 and one beyond; columns: format 0..7 and one beyond.
    const char* allowed[] = {
        "100000000", // bdNone
        "100000000", // bd8
        "111110000", // bd16
        "100001000", // bd24
        "100000110", // bd32
        "100000000", // 5
    };
    for (int d = 0; d <= 5; ++d) {
        for (int f = 0; f <= 8; ++f) {
            EXPECT_EQ(allowed[d][f] == '1',
                      ChkDepthAndFormat(static_cast<TBitDepth>(d), static_cast<TPixFormat>(f)))
                << "depth " << d << " format " << f;
        }
    }
    struct Pair {
        TPixFormat a, b;
        bool compatible;
    } pairs[] = {
        {pf16_565, pf16_555, false}, {pf32_8888, pf32_888, true}, {pf32_888, pf32_8888, true},
        {pf16_5551, pf16_555, true}, {pf24_888, pf32_888, false}, {pf16_4444, pf16_4444, true},
        {pf16_4444, pf16_5551, false},
    };
    for (const Pair& p : pairs)
        EXPECT_EQ(p.compatible, FormatsCompatible(p.a, p.b)) << int(p.a) << "," << int(p.b);
}

TEST(PixFormat, PixelMemoryRoutinesTouchOnlyTheirBytes)
{
    for (int n = 1; n <= 4; ++n) {
        uint8_t mem[6];
        std::memset(mem, 0xEE, sizeof mem);
        PixelStoreProcTable[n](mem + 1, 0x44332211);
        const uint8_t want[] = {0xEE, 0x11, 0x22, 0x33, 0x44, 0xEE};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(i >= 1 && i <= n ? want[i] : 0xEE, mem[i]) << n << " byte " << i;
        uint32_t mask = n == 4 ? 0xFFFFFFFF : (1u << (8 * n)) - 1;
        EXPECT_EQ(0x44332211 & mask, PixelLoadProcTable[n](mem + 1));
        uint8_t copy[4] = {};
        PixelCopyProcTable[n](copy, mem + 1);
        EXPECT_EQ(0, std::memcmp(copy, mem + 1, size_t(n)));
    }
}

TEST(ZoRGB, ConstructsFromEveryColourForm)
{
    static_assert(sizeof(TZoRGB[4]) == 12);
    TZoRGB c(0x00123456);
    EXPECT_EQ(0x00123456u, c.ToDWORD());
    EXPECT_EQ(0x56, c.Blue);
    EXPECT_EQ(0x12, c.Red);
    EXPECT_EQ(0x00123456u, TZoRGB(0xFF123456).ToDWORD());
    RGBQUAD q = c.ToRGBQUAD();
    EXPECT_EQ(0, q.rgbReserved);
    EXPECT_EQ(0x56, q.rgbBlue);
    q.rgbReserved = 0x99;
    EXPECT_EQ(c, TZoRGB(q));
    EXPECT_EQ(c, ZoRGB(0x12, 0x34, 0x56));
    EXPECT_EQ(TZoRGB(0, 0, 0), TZoRGB());
    TZoRGB assigned;
    assigned = 0x00ABCDEFu;
    EXPECT_EQ(ZoRGB(0xAB, 0xCD, 0xEF), assigned);
    // Memory order blue, green, red: a TZoRGB array is a pf24_888 row.
    TZoRGB row[2] = {ZoRGB(1, 2, 3), ZoRGB(4, 5, 6)};
    const uint8_t bytes[] = {3, 2, 1, 6, 5, 4};
    EXPECT_EQ(0, std::memcmp(row, bytes, 6));
}

} // namespace
