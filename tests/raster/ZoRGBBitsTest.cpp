// The pixel buffer: lifecycle, the modified-region protocol and the drawing
// primitives.
#include "raster/ZoRGBBits.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

using pendar::test::PixelRandom;

// A created buffer of the given size and format.
struct Buffer : TZoRGBBits {
    Buffer(int w, int h, TPixFormat f = pf24_888)
    {
        SetPixFormat(f);
        Resize(w, h);
        EXPECT_TRUE(Create());
    }
};

// Records every OnChange call with the rectangle it could read.
struct ChangeLog {
    explicit ChangeLog(TZoRGBBits& b)
    {
        b.SetOnChange([this](TZoRGBBits* sender) { rects.push_back(sender->GetModifiedRect()); });
    }
    std::vector<TZoRect> rects;
};

TEST(ZoRGBBits, DefaultsAndCreation)
{
    TZoRGBBits b;
    EXPECT_EQ(640, b.Width());
    EXPECT_EQ(480, b.Height());
    EXPECT_EQ(bd24, b.BitDepth());
    EXPECT_EQ(pf24_888, b.PixFormat());
    EXPECT_FALSE(b.Created());
    EXPECT_FALSE(b.Reverse());
    EXPECT_TRUE(b.ModifiedSw());
    EXPECT_TRUE(b.ID().empty());

    ASSERT_TRUE(b.Create());
    EXPECT_EQ(640 * 3, b.Pitch());
    std::vector<uint8_t> zeros(921600, 0);
    EXPECT_EQ(0, std::memcmp(zeros.data(), b.Bits(), zeros.size()));
    EXPECT_FALSE(b.Create()); // once only
    b.Release();
    EXPECT_FALSE(b.Created());
    EXPECT_EQ(nullptr, b.Bits());

    b.SetID("a-name-longer-than-sixteen");
    EXPECT_EQ("a-name-longer-th", b.ID());
    b.SetID("short");
    EXPECT_EQ("short", b.ID());
}

TEST(ZoRGBBits, DepthAndFormatFollowEachOther)
{
    struct Case {
        TBitDepth startDepth;
        TPixFormat startFormat;
        bool setDepth; // else the format
        int value;
        TBitDepth depth;
        TPixFormat format;
    } cases[] = {
        {bd24, pf24_888, false, pf32_8888, bd32, pf32_8888},
        {bd24, pf24_888, true, bd16, bd16, pf16_565},
        {bd24, pf24_888, true, bd32, bd32, pf32_888},
        {bd24, pf24_888, true, bd8, bd8, pfNone},
        {bd16, pf16_4444, true, bd16, bd16, pf16_4444}, // still matching: kept
        {bd24, pf24_888, true, bdNone, bdNone, pf24_888},
        {bd24, pf24_888, false, pf16_5551, bd16, pf16_5551},
        {bd32, pf32_888, false, pfNone, bd32, pfNone},
    };
    for (const Case& c : cases) {
        TZoRGBBits b;
        b.SetBitDepth(c.startDepth);
        b.SetPixFormat(c.startFormat);
        if (c.setDepth)
            b.SetBitDepth(static_cast<TBitDepth>(c.value));
        else
            b.SetPixFormat(static_cast<TPixFormat>(c.value));
        EXPECT_EQ(c.depth, b.BitDepth()) << c.value;
        EXPECT_EQ(c.format, b.PixFormat()) << c.value;
    }
    Buffer created(4, 4);
    created.SetPixFormat(pf32_8888);
    created.SetBitDepth(bd16);
    EXPECT_EQ(bd24, created.BitDepth());
    EXPECT_EQ(pf24_888, created.PixFormat());
}

TEST(ZoRGBBits, CreateAndResizeRefuseWhatTheyCannotHold)
{
    TZoRGBBits none;
    none.SetBitDepth(bd8);
    EXPECT_EQ(pfNone, none.PixFormat());
    EXPECT_FALSE(none.Create());

    TZoRGBBits huge;
    EXPECT_TRUE(huge.Resize(100000, 100000)); // not created: only stored
    EXPECT_FALSE(huge.Create());               // beyond the picture size limit

    Buffer b(8, 4);
    EXPECT_FALSE(b.Resize(0, 10));
    EXPECT_FALSE(b.Resize(10, -1));
    EXPECT_FALSE(b.Resize(100000, 100000));
    EXPECT_EQ(8, b.Width());

    ASSERT_TRUE(b.Lock());
    uchar* old = b.Bits();
    EXPECT_FALSE(b.Resize(16, 16));
    EXPECT_EQ(old, b.Bits());
    EXPECT_EQ(8, b.Width());
    ASSERT_TRUE(b.Unlock());

    b.PSet(1, 1, 0xABCDEF);
    ASSERT_TRUE(b.Resize(5, 7));
    EXPECT_EQ(5, b.Width());
    EXPECT_EQ(7, b.Height());
    EXPECT_EQ(15, b.Pitch());
    EXPECT_EQ(0u, b.PGet(1, 1)); // the old pixels are not kept
    b.SetWidth(9);
    b.SetHeight(2);
    EXPECT_EQ(9, b.Width());
    EXPECT_EQ(2, b.Height());
}

TEST(ZoRGBBits, LocksNestAndReleaseUnlocks)
{
    TZoRGBBits b;
    EXPECT_FALSE(b.Lock());
    EXPECT_FALSE(b.Unlock());
    ASSERT_TRUE(b.Create());
    EXPECT_FALSE(b.Unlock());
    EXPECT_TRUE(b.Lock());
    EXPECT_TRUE(b.Lock());
    EXPECT_EQ(2, b.LockCount());
    EXPECT_TRUE(b.Unlock());
    EXPECT_TRUE(b.Locked());
    EXPECT_TRUE(b.Unlock());
    EXPECT_FALSE(b.Locked());
    b.Lock();
    b.Release();
    EXPECT_FALSE(b.Created());
    EXPECT_EQ(0, b.LockCount());
    EXPECT_FALSE(b.HaveDC());
    void* dc = nullptr;
    EXPECT_FALSE(b.GetDC(&dc));
    EXPECT_TRUE(b.ReleaseDC(dc));
}

TEST(ZoRGBBits, ModifiedRegionIsABoundingBoxClippedAfterTheUnion)
{
    TZoRGBBits b;
    ASSERT_TRUE(b.Create());
    ChangeLog log(b);
    b.ModifiedOff();
    b.SetModified(TZoRect(0, 0, 10, 10));
    b.SetModified(TZoRect(100, -50, 110, -40));
    EXPECT_EQ(TZoRect(0, 0, 110, 10), b.GetModifiedRect());
    EXPECT_TRUE(b.ModifiedPending());
    // Corners in any order, inclusive.
    b.SetModified(3, 200, 1, 199);
    EXPECT_EQ(TZoRect(0, 0, 110, 201), b.GetModifiedRect());
    // Huge corners are clipped without overflow.
    b.SetModified(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    EXPECT_EQ(TZoRect(0, 0, 640, 480), b.GetModifiedRect());
    EXPECT_TRUE(log.rects.empty());
    b.ModifiedOn();
    EXPECT_EQ(std::vector<TZoRect>{TZoRect(0, 0, 640, 480)}, log.rects);
    EXPECT_EQ(TZoRect(), b.GetModifiedRect());
    EXPECT_FALSE(b.ModifiedPending());

    // Not created: ignored.
    TZoRGBBits idle;
    ChangeLog none(idle);
    idle.SetModified();
    EXPECT_TRUE(none.rects.empty());
}

TEST(ZoRGBBits, FlushesOncePerCallOrOncePerOutermostPair)
{
    Buffer b(20, 20);
    ChangeLog log(b);
    b.PSet(1, 2, 7);
    b.BoxFill(3, 3, 4, 4, 7);
    EXPECT_EQ((std::vector<TZoRect>{TZoRect(1, 2, 2, 3), TZoRect(3, 3, 5, 5)}), log.rects);

    log.rects.clear();
    b.ModifiedOff();
    b.ModifiedOff();
    b.PSet(0, 0, 1);
    b.Line(5, 5, 8, 9, 1);
    b.ModifiedOn();
    EXPECT_TRUE(log.rects.empty()); // two Offs need two Ons
    EXPECT_EQ(1, b.ModifiedOffCount());
    b.ModifiedOn();
    EXPECT_EQ(std::vector<TZoRect>{TZoRect(0, 0, 9, 10)}, log.rects);
    EXPECT_TRUE(b.ModifiedSw());

    // Outside the buffer: PSet fails and leaves the region alone; a box
    // wholly outside draws nothing but still flushes (an empty region).
    log.rects.clear();
    EXPECT_FALSE(b.PSet(20, 0, 1));
    EXPECT_TRUE(log.rects.empty());
    EXPECT_TRUE(b.BoxFill(30, 30, 40, 40, 1));
    EXPECT_EQ(std::vector<TZoRect>{TZoRect()}, log.rects);

    // Switching the automatic flush back on flushes what is pending.
    log.rects.clear();
    b.ChgModifiedSw(false);
    b.PSet(2, 2, 1);
    EXPECT_TRUE(log.rects.empty());
    b.ChgModifiedSw(true);
    EXPECT_EQ(std::vector<TZoRect>{TZoRect(2, 2, 3, 3)}, log.rects);
}

TEST(ZoRGBBits, PointsAndColours)
{
    const TPixFormat formats[] = {pf16_565, pf16_555, pf16_5551, pf16_4444, pf24_888, pf32_888, pf32_8888};
    for (TPixFormat f : formats) {
        SCOPED_TRACE(int(f));
        Buffer b(3, 2, f);
        uint32_t raw = b.TZoRGBtoPixel(ZoRGB(0xFF, 0x80, 0x10));
        EXPECT_EQ(RGBtoProcTable[f](0x00FF8010), raw);
        EXPECT_EQ(RGBfromProcTable[f](raw) & 0xFFFFFF, b.PixeltoTZoRGB(raw).ToDWORD());
        EXPECT_TRUE(b.PSet(2, 1, raw));
        EXPECT_EQ(raw, b.PGet(2, 1));
        EXPECT_EQ(0u, b.PGet(3, 1));
        EXPECT_EQ(0u, b.PGet(-1, 0));
        EXPECT_FALSE(b.PSet(0, 2, raw));
        b.PSet(0, 0, raw);
        EXPECT_EQ(raw, b.TopLeftGet());
        EXPECT_TRUE(b.Cls());
        EXPECT_EQ(0u, b.PGet(2, 1));
    }
    TZoRGBBits none;
    none.SetBitDepth(bd8);
    EXPECT_EQ(0u, none.TZoRGBtoPixel(ZoRGB(1, 2, 3)));
    EXPECT_EQ(TZoRGB(), none.PixeltoTZoRGB(0x123456));
    EXPECT_EQ(0u, none.TopLeftGet());
    EXPECT_FALSE(none.Cls());
    EXPECT_FALSE(none.Line(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.BoxFill(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.Box(0, 0, 1, 1, 1));
}

std::set<std::pair<int, int>> Plotted(TZoRGBBits& b)
{
    std::set<std::pair<int, int>> points;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            if (b.PGet(x, y))
                points.insert({x, y});
        }
    }
    return points;
}

TEST(ZoRGBBits, LinesWalkDownwardsAndReachTheirEnd)
{
    Buffer b(8, 8);
    b.ZoLine(0, 0, 3, 1, 1);
    EXPECT_EQ((std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}), Plotted(b));
    b.Cls();
    b.Line(5, 5, 5, 5, 1);
    EXPECT_EQ((std::set<std::pair<int, int>>{{5, 5}}), Plotted(b));

    // Random lines: one point per step of the major axis, both ends drawn,
    // every step moves at most one pixel on the minor axis.
    PixelRandom random(6201);
    for (int caseNo = 0; caseNo < 300; ++caseNo) {
        SCOPED_TRACE(caseNo);
        Buffer big(64, 64);
        int x1 = random.Between(0, 63), y1 = random.Between(0, 63);
        int x2 = random.Between(0, 63), y2 = random.Between(0, 63);
        big.ZoLine(x1, y1, x2, y2, 1);
        auto points = Plotted(big);
        size_t steps = size_t(std::max(std::abs(x2 - x1), std::abs(y2 - y1))) + 1;
        ASSERT_EQ(steps, points.size());
        ASSERT_TRUE(points.count({x1, y1}) && points.count({x2, y2}));
        bool xMajor = std::abs(x2 - x1) > std::abs(y2 - y1);
        std::set<int> majors;
        for (auto [x, y] : points)
            majors.insert(xMajor ? x : y);
        ASSERT_EQ(steps, majors.size());

        // A small window sees exactly the big buffer's points inside it:
        // points outside are skipped one by one, the line is not re-aimed.
        Buffer window(20, 20);
        window.ZoLine(x1 - 22, y1 - 22, x2 - 22, y2 - 22, 1);
        std::set<std::pair<int, int>> expected;
        for (auto [x, y] : points) {
            if (x >= 22 && x < 42 && y >= 22 && y < 42)
                expected.insert({x - 22, y - 22});
        }
        ASSERT_EQ(expected, Plotted(window));
    }

    Buffer row(11, 1);
    row.Line(-10, 0, 10, 0, 1);
    EXPECT_EQ(11u, Plotted(row).size());
    // Far-away coordinates are clamped and cost a bounded walk.
    EXPECT_TRUE(row.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1));
}

TEST(ZoRGBBits, BoxesAndFills)
{
    const TPixFormat formats[] = {pf16_565, pf24_888, pf32_8888};
    for (TPixFormat f : formats) {
        SCOPED_TRACE(int(f));
        Buffer b(20, 12, f);
        ChangeLog log(b);
        EXPECT_TRUE(b.BoxFill(10, 10, -5, -5, 0x1234));
        EXPECT_EQ(TZoRect(0, 0, 11, 11), log.rects.back());
        auto points = Plotted(b);
        EXPECT_EQ(121u, points.size());
        EXPECT_TRUE(points.count({10, 10}) && !points.count({11, 10}) && !points.count({10, 11}));
        EXPECT_EQ(0x1234u, b.PGet(3, 7));

        b.Cls();
        EXPECT_TRUE(b.Box(2, 3, 6, 5, 9));
        std::set<std::pair<int, int>> outline;
        for (int x = 2; x <= 6; ++x)
            outline.insert({x, 3}), outline.insert({x, 5});
        outline.insert({2, 4});
        outline.insert({6, 4});
        EXPECT_EQ(outline, Plotted(b));
        EXPECT_EQ(TZoRect(2, 3, 7, 6), log.rects.back());

        b.Cls();
        b.Box(4, 1, 4, 8, 9); // degenerate: a single line
        EXPECT_EQ(8u, Plotted(b).size());

        b.Cls();
        EXPECT_TRUE(b.BoxFill(-100000, 5, 100000, 5, 1)); // one full row
        EXPECT_EQ(20u, Plotted(b).size());
    }
}

TEST(ZoRGBBits, ClipRectRaisesMarginsToWhatSticksOut)
{
    int l = 0, t = 0, r = 0, b = 0;
    TZoRGBBits::ClipRect(TZoRect(-3, 2, 12, 20), TZoRect(0, 0, 10, 10), l, t, r, b);
    EXPECT_EQ(3, l);
    EXPECT_EQ(0, t); // inside at the top: stays at its start
    EXPECT_EQ(2, r);
    EXPECT_EQ(10, b);
    // Margins only rise.
    l = 5;
    TZoRGBBits::ClipRect(TZoRect(-3, 2, 12, 20), TZoRect(0, 0, 10, 10), l, t, r, b);
    EXPECT_EQ(5, l);
    // Extreme coordinates do not overflow.
    l = t = r = b = 0;
    TZoRGBBits::ClipRect(TZoRect(INT_MIN, 0, INT_MAX, 1), TZoRect(INT_MAX - 1, 0, INT_MAX, 1), l, t, r, b);
    EXPECT_EQ(INT_MAX, l);
    EXPECT_EQ(0, r);
}

} // namespace
