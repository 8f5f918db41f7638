#include "panel/RectSetUnion.h"
#include "panel/ZoRectSet.h"
#include "PixelBoard.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

using namespace pendar::test;

TZoRectSet SetOf(const Rects& adds)
{
    TZoRectSet set;
    for (const TZoRect& r : adds)
        set.UnionRect(r);
    return set;
}

TEST(ZoRectSet, UnionSplitsOverlapsAndMergesNeighbours)
{
    struct Case {
        const char* what;
        Rects adds;
        Rects members;
    } cases[] = {
        {"an overlap becomes three bands",
         {ZoRect(0, 0, 10, 10), ZoRect(5, 5, 15, 15)},
         {ZoRect(0, 0, 10, 5), ZoRect(0, 5, 15, 10), ZoRect(5, 10, 15, 15)}},
        {"the new one reaching above, the old one below",
         {ZoRect(0, 5, 10, 15), ZoRect(5, 0, 15, 10)},
         {ZoRect(5, 0, 15, 5), ZoRect(0, 5, 15, 10), ZoRect(0, 10, 10, 15)}},
        {"bands of the same width merge again",
         {ZoRect(0, 0, 10, 10), ZoRect(0, 5, 10, 15)},
         {ZoRect(0, 0, 10, 15)}},
        {"a shared bottom edge", {ZoRect(0, 0, 10, 5), ZoRect(0, 5, 10, 8)}, {ZoRect(0, 0, 10, 8)}},
        {"a shared top edge", {ZoRect(0, 5, 10, 8), ZoRect(0, 0, 10, 5)}, {ZoRect(0, 0, 10, 8)}},
        {"shared side edges, growing twice",
         {ZoRect(0, 0, 5, 5), ZoRect(10, 0, 15, 5), ZoRect(5, 0, 10, 5)},
         {ZoRect(0, 0, 15, 5)}},
        {"an edge shared only in part does not merge",
         {ZoRect(0, 0, 10, 5), ZoRect(0, 5, 8, 8)},
         {ZoRect(0, 0, 10, 5), ZoRect(0, 5, 8, 8)}},
        {"members passed before growing are not looked at again",
         {ZoRect(5, 0, 10, 10), ZoRect(0, 5, 5, 10), ZoRect(0, 0, 5, 5)},
         {ZoRect(5, 0, 10, 10), ZoRect(0, 0, 5, 10)}},
        {"inside a member changes nothing", {ZoRect(0, 0, 10, 10), ZoRect(2, 2, 5, 5)}, {ZoRect(0, 0, 10, 10)}},
        {"equal to a member changes nothing", {ZoRect(0, 0, 10, 10), ZoRect(0, 0, 10, 10)}, {ZoRect(0, 0, 10, 10)}},
        {"containing members removes them",
         {ZoRect(0, 0, 2, 2), ZoRect(20, 20, 30, 30), ZoRect(5, 5, 7, 7), ZoRect(0, 0, 10, 10)},
         {ZoRect(20, 20, 30, 30), ZoRect(0, 0, 10, 10)}},
        {"empty rectangles add nothing",
         {ZoRect(0, 0, 0, 10), ZoRect(5, 5, 4, 9), ZoRect(1, 1, 2, 2), ZoRect(3, 3, 3, 3)},
         {ZoRect(1, 1, 2, 2)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TZoRectSet set = SetOf(c.adds);
        EXPECT_EQ(c.members, set.Rects()) << Describe(set.Rects());
    }
}

// Members non-empty and pairwise disjoint: their pixel counts add up.
void ExpectDisjoint(const Rects& rects)
{
    for (const TZoRect& r : rects)
        EXPECT_FALSE(r.IsRectEmpty()) << r;
    EXPECT_TRUE(Disjoint(rects)) << Describe(rects);
}

TZoRect RandomRect(std::mt19937& rng)
{
    std::uniform_int_distribution<int> at(-4, 27);
    std::uniform_int_distribution<int> extent(-2, 14); // some empty, some inverted
    int left = at(rng);
    int top = at(rng);
    return ZoRect(left, top, left + extent(rng), top + extent(rng));
}

// Adding rectangles in any order covers exactly the pixels of all of them,
// with disjoint members; overlap splits that run out of budget must keep
// that too.
TEST(ZoRectSet, UnionCoversExactlyThePixelsAdded)
{
    for (int budget : {std::numeric_limits<int>::max(), 0, 2}) {
        std::mt19937 rng(1234);
        for (int round = 0; round < 300; ++round) {
            SCOPED_TRACE(testing::Message() << "budget " << budget << " round " << round);
            Rects members;
            Pixels expected;
            int adds = std::uniform_int_distribution<int>(1, 14)(rng);
            for (int i = 0; i < adds; ++i) {
                TZoRect r = RandomRect(rng);
                pendar::rectset::Unite(members, r, budget);
                expected |= PixelsOf(r);
                ASSERT_EQ(expected, PixelsOf(members)) << "after adding " << r;
            }
            ExpectDisjoint(members);
        }
    }
}

TEST(ZoRectSet, IntersectKeepsExactlyTheCommonPixels)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        TZoRectSet set;
        for (int i = 0; i < 8; ++i)
            set.UnionRect(RandomRect(rng));
        const TZoRect cut = RandomRect(rng);
        const Pixels expected = PixelsOf(set.Rects()) & PixelsOf(cut);
        SCOPED_TRACE(testing::Message() << Describe(set.Rects()) << "cut by " << cut);
        EXPECT_EQ(expected.any(), set.IntersectRect(cut));
        EXPECT_EQ(expected, PixelsOf(set.Rects()));
        ExpectDisjoint(set.Rects());
    }
}

// Subtraction takes away only what leaves each member a rectangle.
TEST(ZoRectSet, SubtractCutsMembersOnlyWhereARectangleRemains)
{
    struct Case {
        const char* what;
        Rects members;
        Rects cuts;
        Rects result;
    } cases[] = {
        {"a top band", {ZoRect(0, 0, 10, 10)}, {ZoRect(0, 0, 10, 4)}, {ZoRect(0, 4, 10, 10)}},
        {"a hole leaves the member whole", {ZoRect(0, 0, 10, 10)}, {ZoRect(2, 2, 4, 4)}, {ZoRect(0, 0, 10, 10)}},
        {"a covered member is removed", {ZoRect(0, 0, 10, 10)}, {ZoRect(-1, -1, 11, 11)}, {}},
        {"each member on its own",
         {ZoRect(0, 0, 10, 5), ZoRect(0, 5, 4, 30), ZoRect(20, 0, 30, 10), ZoRect(40, 4, 50, 6)},
         {ZoRect(-5, 3, 45, 20)},
         {ZoRect(0, 0, 10, 3), ZoRect(0, 20, 4, 30), ZoRect(20, 0, 30, 3), ZoRect(45, 4, 50, 6)}},
        {"cuts one after another",
         {ZoRect(0, 0, 10, 10)},
         {ZoRect(0, 0, 3, 10), ZoRect(3, 8, 10, 10), ZoRect(5, 5, 6, 6)},
         {ZoRect(3, 0, 10, 8)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TZoRectSet set = SetOf(c.members);
        const TZoRectSet cuts = SetOf(c.cuts);
        TZoRectSet one = set;
        for (const TZoRect& r : c.cuts)
            EXPECT_TRUE(one.SubtractRect(r));
        EXPECT_EQ(c.result, one.Rects()) << Describe(one.Rects());
        EXPECT_TRUE(set.SubtractRectSet(cuts));
        EXPECT_EQ(c.result, set.Rects()) << Describe(set.Rects());
    }
}

// IntersectRectSet cuts by every member of the other set in turn, keeping
// what lies inside all of them (so nothing once the other set has two
// members, which are disjoint), and is true when any single cut left
// something.
TEST(ZoRectSet, IntersectSetCutsByEveryMemberInTurn)
{
    struct Case {
        const char* what;
        Rects members;
        Rects cuts;
        bool result;
        Rects left;
    } cases[] = {
        {"one cut", {ZoRect(0, 0, 10, 10), ZoRect(10, 0, 20, 5)}, {ZoRect(5, 2, 15, 30)}, true,
         {ZoRect(5, 2, 10, 10), ZoRect(10, 2, 15, 5)}},
        {"the first cut leaves something, the second nothing", {ZoRect(0, 0, 20, 20)},
         {ZoRect(0, 0, 10, 10), ZoRect(10, 10, 30, 30)}, true, {}},
        {"no cut leaves anything", {ZoRect(0, 0, 5, 5)}, {ZoRect(10, 10, 20, 20), ZoRect(-9, -9, -1, -1)}, false,
         {}},
        {"no cuts at all leave the set alone", {ZoRect(0, 0, 5, 5)}, {}, false, {ZoRect(0, 0, 5, 5)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TZoRectSet set = SetOf(c.members);
        const TZoRectSet cuts = SetOf(c.cuts);
        EXPECT_EQ(c.result, set.IntersectRectSet(cuts));
        EXPECT_EQ(c.left, set.Rects()) << Describe(set.Rects());
    }
}

TEST(ZoRectSet, WholeSetOperations)
{
    TZoRectSet empty;
    EXPECT_EQ(TZoRect(), empty.AllUnionRect());
    EXPECT_TRUE(empty.IsRectEmpty());
    EXPECT_FALSE(empty.UnionRectSet(empty));

    TZoRectSet set = SetOf({ZoRect(0, 0, 4, 4), ZoRect(10, 2, 12, 20)});
    EXPECT_FALSE(set.IsRectEmpty());
    EXPECT_EQ(ZoRect(0, 0, 12, 20), set.AllUnionRect());
    EXPECT_EQ(ZoRect(0, 0, 12, 20), static_cast<TZoRect>(set));
    EXPECT_EQ((port::TRect{0, 0, 12, 20}), static_cast<port::TRect>(set));
    EXPECT_EQ(ZoRect(10, 2, 12, 20), set.Rect(1));
    EXPECT_EQ(TZoRect(), set.Rect(2));
    EXPECT_EQ(TZoRect(), set.Rect(-1));

    // A set united with, cut by or taken from itself.
    TZoRectSet self = set;
    EXPECT_TRUE(self.UnionRectSet(self));
    EXPECT_EQ(set, self);
    EXPECT_TRUE(self.IntersectRectSet(self));
    EXPECT_TRUE(self.IsRectEmpty()); // the two members do not overlap each other
    self = set;
    EXPECT_TRUE(self.SubtractRectSet(self));
    EXPECT_EQ(0, self.Count());

    // Moving keeps what int coordinates can still hold.
    constexpr int kMax = std::numeric_limits<int>::max();
    TZoRectSet far = SetOf({ZoRect(0, 0, 4, 4), ZoRect(kMax - 20, 0, kMax - 10, 4)});
    EXPECT_TRUE(far.OffsetRect(15, 1));
    EXPECT_EQ((Rects{ZoRect(15, 1, 19, 5), ZoRect(kMax - 5, 1, kMax, 5)}), far.Rects());
    EXPECT_TRUE(far.OffsetRect(kMax, 0));
    EXPECT_EQ((Rects{}), far.Rects());

    EXPECT_TRUE(set.SetRectEmpty());
    EXPECT_EQ(0, set.Count());
}

} // namespace
