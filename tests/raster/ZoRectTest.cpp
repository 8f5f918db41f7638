#include "raster/ZoRect.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace {

const TZoRect kZero;

TEST(ZoRect, EmptinessAndMembership)
{
    EXPECT_TRUE(kZero.IsRectEmpty());
    EXPECT_TRUE(ZoRect(5, 0, 5, 10).IsRectEmpty());
    EXPECT_TRUE(ZoRect(0, 5, 10, 4).IsRectEmpty());
    EXPECT_FALSE(ZoRect(0, 0, 1, 1).IsRectEmpty());

    const TZoRect r = ZoRect(2, 3, 6, 8);
    EXPECT_TRUE(r.InRect(2, 3));
    EXPECT_TRUE(r.InRect(5, 7));
    EXPECT_FALSE(r.InRect(6, 7)); // right and bottom are exclusive
    EXPECT_FALSE(r.InRect(5, 8));
    EXPECT_TRUE(r.InRect(r));
    EXPECT_TRUE(r.InRect(ZoRect(3, 4, 6, 8)));
    EXPECT_FALSE(r.InRect(ZoRect(1, 4, 6, 8)));
    EXPECT_TRUE(r.EqualRect(ZoRect(2, 3, 6, 8)));
    EXPECT_FALSE(r.EqualRect(ZoRect(2, 3, 6, 9)));
    EXPECT_EQ(4, r.Width());
    EXPECT_EQ(5, r.Height());

    TZoRect m = r;
    EXPECT_TRUE(m.OffsetRect(-2, 10));
    EXPECT_EQ(ZoRect(0, 13, 4, 18), m);
    EXPECT_TRUE(m.InflateRect(1, -2));
    EXPECT_EQ(ZoRect(-1, 15, 5, 16), m);
    EXPECT_TRUE(m.SetRectEmpty());
    EXPECT_EQ(kZero, m);
}

TEST(ZoRect, MovesStopAtTheEndsOfTheIntRange)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    struct Case {
        TZoRect r;
        int dx, dy;
        TZoRect offset, inflated;
    } cases[] = {
        {ZoRect(0, 0, 10, 10), 5, -5, ZoRect(5, -5, 15, 5), ZoRect(-5, 5, 15, 5)},
        // What is pushed past the end is cut off there.
        {ZoRect(kMax - 10, 0, kMax, 10), 20, 0, ZoRect(kMax, 0, kMax, 10), ZoRect(kMax - 30, 0, kMax, 10)},
        {ZoRect(kMin, kMin, kMin + 4, 0), kMin, -1, ZoRect(kMin, kMin, kMin, -1), ZoRect(0, kMin + 1, kMin, -1)},
        {ZoRect(-1, -1, 1, 1), kMax, kMax, ZoRect(kMax - 1, kMax - 1, kMax, kMax),
         ZoRect(kMin, kMin, kMax, kMax)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << " by " << c.dx << "," << c.dy);
        TZoRect moved = c.r;
        EXPECT_TRUE(moved.OffsetRect(c.dx, c.dy));
        EXPECT_EQ(c.offset, moved);
        TZoRect grown = c.r;
        EXPECT_TRUE(grown.InflateRect(c.dx, c.dy));
        EXPECT_EQ(c.inflated, grown);
    }
    EXPECT_TRUE(ZoRect(2, 3, 6, 8).InRect(port::TPoint{5, 7}));
    EXPECT_FALSE(ZoRect(2, 3, 6, 8).InRect(port::TPoint{6, 3}));
}

TEST(ZoRect, IntersectAndUnion)
{
    struct Case {
        TZoRect a, b;
        bool intersects;
        TZoRect overlap;
        bool unites;
        TZoRect bounds;
    } cases[] = {
        {ZoRect(0, 0, 10, 10), ZoRect(5, 5, 15, 15), true, ZoRect(5, 5, 10, 10), true, ZoRect(0, 0, 15, 15)},
        // Touching edges do not overlap.
        {ZoRect(0, 0, 10, 10), ZoRect(10, 0, 20, 10), false, kZero, true, ZoRect(0, 0, 20, 10)},
        // An empty rectangle adds nothing to a union and overlaps nothing.
        {ZoRect(0, 0, 10, 10), ZoRect(50, 50, 50, 60), false, kZero, true, ZoRect(0, 0, 10, 10)},
        {ZoRect(3, 3, 3, 3), ZoRect(1, 2, 4, 5), false, kZero, true, ZoRect(1, 2, 4, 5)},
        {ZoRect(3, 3, 3, 3), ZoRect(9, 9, 1, 1), false, kZero, false, kZero},
        {ZoRect(-5, -5, 5, 5), ZoRect(-1, -2, 1, 2), true, ZoRect(-1, -2, 1, 2), true, ZoRect(-5, -5, 5, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
        TZoRect r = ZoRect(7, 7, 7, 7);
        EXPECT_EQ(c.intersects, r.IntersectRect(c.a, c.b));
        EXPECT_EQ(c.overlap, r);
        EXPECT_EQ(c.unites, r.UnionRect(c.a, c.b));
        EXPECT_EQ(c.bounds, r);
        // The operations may write into one of their own operands.
        TZoRect self = c.a;
        self.UnionRect(self, c.b);
        EXPECT_EQ(c.bounds, self);
    }
}

TEST(ZoRect, SubtractKeepsARectangleOrNothing)
{
    const TZoRect a = ZoRect(0, 0, 10, 10);
    struct Case {
        TZoRect b;
        TZoRect result;
    } cases[] = {
        {ZoRect(0, 0, 10, 4), ZoRect(0, 4, 10, 10)},    // top band
        {ZoRect(-5, 6, 20, 30), ZoRect(0, 0, 10, 6)},   // bottom band
        {ZoRect(-1, -1, 3, 11), ZoRect(3, 0, 10, 10)},  // left band
        {ZoRect(7, 0, 10, 10), ZoRect(0, 0, 7, 10)},    // right band
        {ZoRect(2, 2, 4, 4), a},                         // a hole is not a rectangle
        {ZoRect(0, 3, 10, 6), a},                        // nor a middle band
        {ZoRect(-1, -1, 11, 11), kZero},                 // covered
        {ZoRect(0, 0, 4, 10), ZoRect(4, 0, 10, 10)},
        {ZoRect(20, 20, 30, 30), a},                     // apart
    };
    for (const Case& c : cases) {
        TZoRect r;
        EXPECT_TRUE(r.SubtractRect(a, c.b));
        EXPECT_EQ(c.result, r) << c.b;
    }
}

TEST(ZoRect, ConvertsToAndFromThePlatformRectangle)
{
    port::TRect platform{1, 2, 30, 40};
    TZoRect r = platform;
    EXPECT_EQ(ZoRect(1, 2, 30, 40), r);
    port::TRect back = r;
    EXPECT_EQ(platform, back);
    EXPECT_EQ(platform.Width(), r.Width());
}

} // namespace
