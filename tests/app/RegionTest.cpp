// The character's shape from its pixels, and the plain skin's rounded
// picture whose corners that shape leaves out.
#include "app/MakeRegion.h"
#include "app/PlainFrame.h"

#include <gtest/gtest.h>

namespace {

using pendar::MakeRegion;
using pendar::TRegion;

// A w x h buffer painted from rows of letters: '.' the key colour, other
// letters other colours.
struct Picture {
    TZoRGBBits bits;
    explicit Picture(const std::vector<std::string>& rows)
    {
        bits.Resize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        bits.Create();
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size(); ++x)
                bits.PSet(static_cast<int>(x), static_cast<int>(y),
                          rows[y][x] == '.' ? 0x00FF00 : 0x101010u * static_cast<uint32_t>(rows[y][x] - 'A' + 1));
    }
};

// One-pixel rows of runs {left, right, y}, rows in order.
TRegion Runs(std::initializer_list<std::array<int, 3>> runs)
{
    TRegion r;
    std::vector<pendar::TRun> row;
    int y = 0;
    for (const auto& [left, right, runY] : runs) {
        if (runY != y) {
            r.AddBand(y, y + 1, row);
            row.clear();
            y = runY;
        }
        row.emplace_back(left, right);
    }
    r.AddBand(y, y + 1, row);
    return r;
}

TEST(MakeRegion, RunsOfEveryColourButTheTopLeftOne)
{
    Picture p({"..AB.C",
               "A.....",
               "......",
               "BB..BB"});
    EXPECT_EQ(Runs({{2, 4, 0}, {5, 6, 0}, {0, 1, 1}, {0, 2, 3}, {4, 6, 3}}), MakeRegion(p.bits, false, 0, 0, 6, 4));
    // The same rows mirrored within the width: runs still in column order.
    EXPECT_EQ(Runs({{0, 1, 0}, {2, 4, 0}, {5, 6, 1}, {0, 2, 3}, {4, 6, 3}}), MakeRegion(p.bits, true, 0, 0, 6, 4));
}

TEST(MakeRegion, TheKeyIsTheBlocksOwnCornerAndInnerKeyPixelsAreHoles)
{
    Picture p({"......",
               ".ABBA.",
               ".B..B.",
               ".ABBA."});
    // A block starting at (1, 1): its corner 'A' is the key now.
    EXPECT_EQ(Runs({{1, 3, 0}, {0, 4, 1}, {1, 3, 2}}), MakeRegion(p.bits, false, 1, 1, 5, 4));
    // The key colour inside the character is transparent too.
    Picture holes({".AAA",
                   "A.AA",
                   "AAAA"});
    EXPECT_EQ(Runs({{1, 4, 0}, {0, 1, 1}, {2, 4, 1}, {0, 4, 2}}), MakeRegion(holes.bits, false, 0, 0, 4, 3));
}

TEST(MakeRegion, RefusesWhatItCannotRead)
{
    Picture p({"..", ".."});
    EXPECT_FALSE(MakeRegion(p.bits, false, 0, 0, 3, 2));
    EXPECT_FALSE(MakeRegion(p.bits, false, -1, 0, 2, 2));
    EXPECT_FALSE(MakeRegion(p.bits, false, 1, 1, 1, 2));
    EXPECT_TRUE(MakeRegion(p.bits, false, 0, 0, 2, 2).value().IsEmpty());
    TZoRGBBits wide;
    wide.SetBitDepth(bd32);
    wide.Resize(2, 2);
    wide.Create();
    EXPECT_FALSE(MakeRegion(wide, false, 0, 0, 2, 2));
    TZoRGBBits none;
    EXPECT_FALSE(MakeRegion(none, false, 0, 0, 1, 1));
}

TEST(TRegion, UnionJoinsRunsThatTouchOrOverlap)
{
    TRegion a = Runs({{0, 2, 0}, {5, 6, 0}, {0, 1, 2}});
    TRegion b = Runs({{2, 3, 0}, {4, 8, 0}, {3, 4, 1}});
    EXPECT_EQ(Runs({{0, 3, 0}, {4, 8, 0}, {3, 4, 1}, {0, 1, 2}}), a.United(b));
    EXPECT_EQ(a.United(b), b.United(a));
    b.Offset(10, 5);
    EXPECT_EQ(Runs({{12, 13, 5}, {14, 18, 5}, {13, 14, 6}}), b);
    EXPECT_TRUE(b.Contains(17, 5));
    EXPECT_FALSE(b.Contains(18, 5));
    EXPECT_FALSE(b.Contains(13, 5));
}

// Every pixel of [0, w) x [0, h) in or out of the region, row by row.
std::string PixelsOf(const TRegion& r, int w, int h)
{
    std::string pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            pixels += r.Contains(x, y) ? '#' : '.';
        pixels += '\n';
    }
    return pixels;
}

// The banded form: bands from the top, apart; a band's rectangles share
// its rows, sorted and apart; touching bands differ in their runs.
void ExpectBanded(const TRegion& r)
{
    struct Band {
        int top, bottom;
        std::vector<pendar::TRun> runs;
    };
    std::vector<Band> bands;
    for (const port::TRect& rect : r.Rects()) {
        if (bands.empty() || bands.back().top != rect.top)
            bands.push_back({rect.top, rect.bottom, {}});
        Band& band = bands.back();
        EXPECT_EQ(band.bottom, rect.bottom);
        if (!band.runs.empty()) {
            EXPECT_LT(band.runs.back().second, rect.left);
        }
        band.runs.emplace_back(rect.left, rect.right);
    }
    for (size_t i = 1; i < bands.size(); ++i) {
        EXPECT_LE(bands[i - 1].bottom, bands[i].top);
        if (bands[i - 1].bottom == bands[i].top) {
            EXPECT_NE(bands[i - 1].runs, bands[i].runs) << "bands at " << bands[i].top << " should be one";
        }
    }
}

TEST(TRegion, RepeatedRowsAreOneBand)
{
    Picture p({"A..A",
               "A..A",
               "A..A",
               ".AA.",
               "A..A"});
    const TRegion r = MakeRegion(p.bits, false, 1, 0, 4, 5).value(); // key: the '.' at (1, 0)
    EXPECT_EQ((std::vector<port::TRect>{{2, 0, 3, 3}, {0, 3, 2, 4}, {2, 4, 3, 5}}), r.Rects());
    ExpectBanded(r);
}

TEST(TRegion, UnionOfBandsOfDifferentHeights)
{
    // Each shape's letters: '#' in, anything else out.
    const std::vector<std::string> shapes[] = {
        {"##..##", "##..##", "##..##", "......", "######", "######"},
        {"......", ".####.", ".####.", ".####.", ".####.", "......"},
        {"#.#.#.", ".#.#.#", "#.#.#.", ".#.#.#", "#.#.#.", ".#.#.#"},
        {"......", "......", "......", "......", "......", "......"},
    };
    auto regionOf = [](const std::vector<std::string>& rows) {
        std::vector<std::string> picture{"." + rows[0]};
        for (size_t y = 1; y < rows.size(); ++y)
            picture.push_back("." + rows[y]);
        for (std::string& row : picture)
            for (char& c : row)
                c = c == '#' ? 'A' : '.';
        Picture p(picture);
        return MakeRegion(p.bits, false, 0, 0, 7, 6).value();
    };
    for (const auto& a : shapes) {
        for (const auto& b : shapes) {
            TRegion ra = regionOf(a);
            TRegion rb = regionOf(b);
            const TRegion both = ra.United(rb);
            ExpectBanded(both);
            std::string expected = PixelsOf(ra, 8, 7);
            const std::string other = PixelsOf(rb, 8, 7);
            for (size_t i = 0; i < expected.size(); ++i)
                if (other[i] == '#')
                    expected[i] = '#';
            EXPECT_EQ(expected, PixelsOf(both, 8, 7));
        }
    }
}

TEST(TRegion, ACoarserShapeCoversTheFineOneWithinTheLimit)
{
    // A one-pixel checkerboard has a run for every second pixel of every
    // row, and no two rows alike.
    std::vector<std::string> rows(64, std::string(64, '.'));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if ((x + y) % 2 == 1)
                rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = 'A';
    rows[0][0] = '.';
    Picture p(rows);
    const TRegion fine = MakeRegion(p.bits, false, 0, 0, 64, 64, 1u << 20).value();
    EXPECT_EQ(64u * 32u, fine.Count());
    for (size_t limit : {size_t{1000}, size_t{64}, size_t{1}}) {
        SCOPED_TRACE(limit);
        const TRegion coarse = fine.Coarsened(limit);
        EXPECT_LE(coarse.Count(), limit);
        ExpectBanded(coarse);
        for (const port::TRect& r : fine.Rects())
            for (int x = r.left; x < r.right; ++x)
                ASSERT_TRUE(coarse.Contains(x, r.top)) << x << "," << r.top;
        // Built from the pixels the same way, within the block.
        const TRegion made = MakeRegion(p.bits, false, 0, 0, 64, 64, limit).value();
        EXPECT_LE(made.Count(), limit);
        EXPECT_EQ(PixelsOf(coarse, 64, 64), PixelsOf(made, 64, 64));
    }
    EXPECT_EQ(fine, fine.Coarsened(fine.Count()));
    // Mirrored, cut at an odd width: still inside the block.
    const TRegion mirrored = MakeRegion(p.bits, true, 0, 0, 63, 64, 100).value();
    EXPECT_LE(mirrored.Count(), 100u);
    for (const port::TRect& r : mirrored.Rects())
        EXPECT_TRUE(r.left >= 0 && r.right <= 63 && r.top >= 0 && r.bottom <= 64);
}

TEST(DrawPlainFrame, RoundedCornersInTheKeyColour)
{
    TZoRGBBits b;
    b.Resize(160, 120);
    b.Create();
    pendar::DrawPlainFrame(b, pendar::kPlainFill, pendar::kPlainLine);
    const uint32_t key = pendar::PlainFrameKey(pendar::kPlainFill, pendar::kPlainLine);
    EXPECT_NE(key, pendar::kPlainFill);
    EXPECT_NE(key, pendar::kPlainLine);
    EXPECT_EQ(key, b.PGet(0, 0));
    EXPECT_EQ(pendar::kPlainFill, b.PGet(80, 60));
    EXPECT_EQ(pendar::kPlainLine, b.PGet(80, 0));
    EXPECT_EQ(pendar::kPlainLine, b.PGet(3, 3));
    EXPECT_EQ(pendar::kPlainLine, b.PGet(156, 116));

    // Row y of either end leaves out the corner profile on both sides.
    const int profile[] = {9, 6, 4, 3, 2, 2, 1, 1, 1};
    TRegion expected;
    for (int y = 0; y < 120; ++y) {
        int edge = std::min(y, 119 - y);
        int inset = edge < 9 ? profile[edge] : 0;
        expected.AddBand(y, y + 1, {{inset, 160 - inset}});
    }
    EXPECT_EQ(expected, MakeRegion(b, false, 0, 0, 160, 120));
}

} // namespace
