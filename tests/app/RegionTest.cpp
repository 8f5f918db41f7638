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

TRegion Runs(std::initializer_list<std::array<int, 3>> runs)
{
    TRegion r;
    for (const auto& [left, right, y] : runs)
        r.AddRun(left, right, y);
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
        expected.AddRun(inset, 160 - inset, y);
    }
    EXPECT_EQ(expected, MakeRegion(b, false, 0, 0, 160, 120));
}

} // namespace
