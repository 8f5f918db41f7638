// Alpha planes: lifecycle, the point and box operations, transfers and
// blends against a per-value model (seeded random planes and blocks, positions
// off every edge, negative pitches, a plane drawn onto itself, fast and
// plain routines forced in turn), loading from a BMP, the composition of two
// planes, and the display-section form with its row order and padding.
#include "raster/ZoAlpha.h"
#include "raster/ZoAlphaDib.h"

#include "BlendModel.h"
#include "BmpFixture.h"
#include "PixelFixture.h"
#include "raster/CpuId.h"
#include "raster/RGBBlend.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using pendar::test::PixelRandom;
using pendar::test::blend::FloorDiv;

using Routines = pendar::test::ForcedRoutines;

// Plane values row by row.
struct Values {
    int w = 0;
    int h = 0;
    std::vector<int> v;
    int& At(int x, int y) { return v[size_t(y) * w + x]; }
    int Get(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h ? v[size_t(y) * w + x] : -1; }
    bool operator==(const Values&) const = default;
};

Values Snapshot(const TZoAlpha& a)
{
    Values s{a.Width(), a.Height(), {}};
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x)
            s.v.push_back(a.Bits()[int64_t{y} * a.Pitch() + x]);
    }
    return s;
}

std::unique_ptr<TZoAlpha> MakePlane(PixelRandom& random, int w, int h)
{
    return pendar::test::RandomPlane(random, w, h);
}

TEST(ZoAlpha, LifecycleAndWholePlane)
{
    TZoAlpha a;
    EXPECT_EQ(640, a.Width());
    EXPECT_EQ(480, a.Height());
    EXPECT_FALSE(a.Created());
    EXPECT_FALSE(a.Fill(0));
    EXPECT_EQ(0, a.PGet(0, 0));
    a.Resize(5, 3);
    ASSERT_TRUE(a.Create());
    EXPECT_FALSE(a.Create());
    EXPECT_EQ(5, a.Pitch());
    EXPECT_EQ(std::vector<int>(15, 255), Snapshot(a).v); // opaque when new
    ASSERT_TRUE(a.Fill(0));
    EXPECT_EQ(std::vector<int>(15, 0), Snapshot(a).v);
    ASSERT_TRUE(a.Resize(2, 2));
    EXPECT_EQ(std::vector<int>(4, 255), Snapshot(a).v); // and when resized
    EXPECT_FALSE(a.Resize(0, 2));
    EXPECT_FALSE(a.Resize(100000, 100000));
    EXPECT_EQ(2, a.Width());
    void* dc = nullptr;
    EXPECT_FALSE(a.GetDC(&dc));
    EXPECT_TRUE(a.ReleaseDC(dc));
    a.SetID("alpha-plane-with-a-long-name");
    EXPECT_EQ("alpha-plane-with", a.ID());

    TZoAlpha huge;
    huge.Resize(100000, 100000);
    EXPECT_FALSE(huge.Create());
}

TEST(ZoAlpha, PointsBoxesAndToneDown)
{
    TZoAlpha a;
    a.Resize(4, 3);
    ASSERT_TRUE(a.Create());
    EXPECT_FALSE(a.PSet(4, 0, 1));
    EXPECT_TRUE(a.BoxFill(5, 5, -3, 1, 10)); // corners in any order, clipped
    EXPECT_EQ((std::vector<int>{255, 255, 255, 255, 10, 10, 10, 10, 10, 10, 10, 10}), Snapshot(a).v);
    EXPECT_TRUE(a.Line(0, 0, 3, 2, 0));
    EXPECT_EQ(0, a.PGet(0, 0));
    EXPECT_EQ(0, a.PGet(3, 2));

    struct Case {
        int factor;
        int value;
        int want;
    } cases[] = {
        {64, 255, 127}, {64, 1, 0}, {128, 200, 200}, {0, 255, 0},
        {300, 255, 597 % 256}, // stored modulo 256
        {-64, 255, 256 - 127}, // truncated towards zero, then modulo 256
    };
    for (const Case& c : cases) {
        a.Fill(uchar(c.value));
        ASSERT_TRUE(a.ToneDown(-10, -10, 10, 10, c.factor));
        EXPECT_EQ(c.want, a.PGet(2, 1)) << c.factor << " " << c.value;
    }
    a.Fill(200);
    a.ToneDown(1, 1, 1, 1, 64);
    EXPECT_EQ(100, a.PGet(1, 1));
    EXPECT_EQ(200, a.PGet(2, 1));
}

enum class PlaneOp { Put, Get, Draw, Blend, BlendSelf, Extract, Add, Sub, Count };

int PlaneValue(PlaneOp op, int s, int lower, int alpha, int value)
{
    const int v = value & 0xFF;
    switch (op) {
    case PlaneOp::Blend:
    case PlaneOp::BlendSelf: return alpha == 64 ? (lower + s) / 2 : lower + FloorDiv(alpha * (s - lower), 128);
    case PlaneOp::Extract: {
        const int sum = std::min(255, s + v);
        return sum < 240 ? 0 : (sum - 240) * 17;
    }
    case PlaneOp::Add: return std::min(255, s + v);
    case PlaneOp::Sub: return std::max(0, s - v);
    default: return s;
    }
}

TEST(ZoAlpha, TransfersAndBlendsFollowTheModel)
{
    for (int caseNo = 0; caseNo < 3000; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(510000 + caseNo);
        const bool fast = random.Chance(50);
        Routines routines(fast);
        const auto op = static_cast<PlaneOp>(random.Below(unsigned(PlaneOp::Count)));
        auto dst = MakePlane(random, random.Between(1, 12), random.Between(1, 12));
        ASSERT_EQ(fast, dst->MmxEnabled());
        auto other = MakePlane(random, random.Between(1, 12), random.Between(1, 12));
        const bool self = random.Chance(35);
        TZoAlpha* src = self ? dst.get() : other.get();
        int w = random.Between(0, 14), h = random.Between(0, 14);
        const int x = random.Between(-14, 14), y = random.Between(-14, 14);
        int sx = self && random.Chance(70) ? x + random.Between(-2, 2) : random.Between(-3, 10);
        int sy = self && random.Chance(70) ? y + random.Between(-2, 2) : random.Between(-3, 10);
        if (random.Chance(50)) { // a source rectangle wholly inside the source
            sx = random.Between(0, src->Width() - 1);
            sy = random.Between(0, src->Height() - 1);
            w = random.Between(0, src->Width() - sx);
            h = random.Between(0, src->Height() - sy);
        }
        // The lower plane of the two-source blend: another plane or this one.
        TZoAlpha* lowerPlane = random.Chance(40) ? dst.get() : other.get();
        const int lx = random.Between(-3, 10), ly = random.Between(-3, 10);
        const int alpha = random.Chance(20) ? 64 : random.Between(0, 128);
        const int value = random.Chance(20) ? random.Between(-300, 600) : random.Between(0, 30);
        // A block in memory for the pattern forms.
        pendar::test::Pattern block(random, w, h, 1, random.Chance(30), random.Between(0, 5));
        std::vector<uint8_t> out = random.Bytes(size_t(w) * h + 1); // never a null block

        const Values before = Snapshot(*dst);
        const Values srcValues = Snapshot(*src);
        const Values lowerValues = Snapshot(*lowerPlane);
        Values want = before;
        std::vector<uint8_t> wantOut = out;
        // The plane forms need the whole source rectangle inside the source.
        const bool wholeSource = sx >= 0 && sy >= 0 && sx + w <= src->Width() && sy + h <= src->Height();
        const bool planeForm = op == PlaneOp::Draw || op == PlaneOp::Extract || op == PlaneOp::Add || op == PlaneOp::Sub;
        const int clamped = planeForm ? std::clamp(value, 0, 255) : value;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const int d = before.Get(x + i, y + j);
                if (op == PlaneOp::Get) {
                    if (d >= 0)
                        wantOut[size_t(j) * w + i] = uint8_t(d);
                    continue;
                }
                if (d < 0 || (planeForm && !wholeSource))
                    continue;
                int s = int(block.img.px[size_t(j) * w + i]);
                int lower = d;
                if (planeForm || op == PlaneOp::Blend || op == PlaneOp::BlendSelf) {
                    s = srcValues.Get(sx + i, sy + j);
                    if (s < 0)
                        continue; // trimmed away
                }
                if (op == PlaneOp::Blend) {
                    lower = lowerValues.Get(lx + i, ly + j);
                    if (lower < 0)
                        continue;
                }
                want.At(x + i, y + j) = uint8_t(PlaneValue(op, s, lower, alpha, clamped));
            }
        }
        bool ok = false;
        switch (op) {
        case PlaneOp::Put: ok = dst->PutAlphaPitch(x, y, w, h, block.first, block.pitch); break;
        case PlaneOp::Get: ok = dst->GetAlpha(x, y, w, h, out.data()); break;
        case PlaneOp::Draw: ok = dst->Draw(x, y, src, sx, sy, w, h); break;
        case PlaneOp::Blend: ok = dst->AlphaBlend(x, y, lowerPlane, lx, ly, src, sx, sy, w, h, alpha); break;
        case PlaneOp::BlendSelf: ok = dst->AlphaBlend(x, y, src, sx, sy, w, h, alpha); break;
        case PlaneOp::Extract: ok = dst->Extract(x, y, src, sx, sy, w, h, value); break;
        case PlaneOp::Add: ok = dst->SAdd(x, y, src, sx, sy, w, h, value); break;
        case PlaneOp::Sub: ok = dst->SSub(x, y, src, sx, sy, w, h, value); break;
        case PlaneOp::Count: break;
        }
        ASSERT_EQ(!planeForm || wholeSource, ok);
        ASSERT_EQ(want, Snapshot(*dst));
        ASSERT_EQ(wantOut, out);
    }
}

TEST(ZoAlpha, PatternFormsOfThePlaneRoutines)
{
    for (int caseNo = 0; caseNo < 600; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(520000 + caseNo);
        Routines routines(random.Chance(50));
        auto dst = MakePlane(random, random.Between(1, 10), random.Between(1, 10));
        const int w = random.Between(0, 12), h = random.Between(0, 12);
        const int x = random.Between(-12, 12), y = random.Between(-12, 12);
        pendar::test::Pattern a(random, w, h, 1, random.Chance(30), random.Between(0, 3));
        pendar::test::Pattern b(random, w, h, 1, random.Chance(30), random.Between(0, 3));
        const int which = int(random.Below(4));
        const int alpha = random.Chance(20) ? 64 : random.Between(0, 128);
        const int value = random.Between(-1000, 1000); // only its low byte counts here
        Values want = Snapshot(*dst);
        const PlaneOp ops[] = {PlaneOp::Blend, PlaneOp::Extract, PlaneOp::Add, PlaneOp::Sub};
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                if (want.Get(x + i, y + j) < 0)
                    continue;
                const size_t k = size_t(j) * w + i;
                want.At(x + i, y + j) = uint8_t(
                    PlaneValue(ops[which], int(which == 0 ? b.img.px[k] : a.img.px[k]), int(a.img.px[k]), alpha, value));
            }
        }
        const bool ok = which == 0   ? dst->ZoAlphaBlend(x, y, w, h, a.first, a.pitch, b.first, b.pitch, alpha)
                        : which == 1 ? dst->ZoExtract(x, y, w, h, a.first, a.pitch, value)
                        : which == 2 ? dst->ZoSAdd(x, y, w, h, a.first, a.pitch, value)
                                     : dst->ZoSSub(x, y, w, h, a.first, a.pitch, value);
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(*dst));
    }
}

TEST(ZoAlpha, RefusalsOfThePlaneForms)
{
    TZoAlpha a, idle;
    a.Resize(4, 4);
    ASSERT_TRUE(a.Create());
    EXPECT_FALSE(a.Draw(0, 0, &idle, 0, 0, 1, 1));
    EXPECT_FALSE(a.Draw(0, 0, &a, 1, 0, 4, 1)); // one column past the source
    EXPECT_FALSE(a.AlphaBlend(0, 0, &a, 0, 0, 2, 2, 129));
    EXPECT_FALSE(a.AlphaBlend(0, 0, &idle, 0, 0, 2, 2, 10));
    EXPECT_FALSE(idle.PutAlpha(0, 0, 1, 1, a.Bits()));
    EXPECT_TRUE(a.AlphaBlend(0, 0, &a, 9, 9, 2, 2, 10)); // nothing left
    SetAlphaParam(33);
    EXPECT_TRUE(a.AlphaBlend(0, 0, &a, 1, 1, 2, 2, 64));
    EXPECT_EQ(33, AlphaParam());
}

TEST(ZoAlpha, LoadAlphaStreamSizesAFreshPlaneToThePictureAndItsOffset)
{
    pendar::test::BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.bitCount = 8;
    spec.palette.assign(256, RGBQUAD{0, 0, 0, 0});
    spec.palette[1] = RGBQUAD{30, 60, 90, 0}; // average 60
    const std::vector<uint8_t> file = pendar::test::MakeBmp(spec, {1, 0, 0, 1});

    TZoAlpha fresh;
    TMemoryStream s(file);
    ASSERT_TRUE(fresh.LoadAlphaStream(&s, 4, 0));
    EXPECT_EQ(6, fresh.Width());
    EXPECT_EQ(2, fresh.Height());
    EXPECT_EQ((std::vector<int>{255, 255, 255, 255, 60, 0, 255, 255, 255, 255, 0, 60}), Snapshot(fresh).v);

    TZoAlpha small;
    small.Resize(1, 1);
    ASSERT_TRUE(small.Create());
    TMemoryStream again(file);
    ASSERT_TRUE(small.LoadAlphaStream(&again, 0, 0)); // clipped to the plane
    EXPECT_EQ(60, small.PGet(0, 0));

    std::vector<uint8_t> cut(file.begin(), file.end() - 1);
    TMemoryStream broken(cut);
    TZoAlpha untouched;
    EXPECT_FALSE(untouched.LoadAlphaStream(&broken, 0, 0));
    EXPECT_FALSE(untouched.Created());
}

// ---- composition -------------------------------------------------------------------

std::unique_ptr<TZoAlpha> Plane(int w, int h, uchar v)
{
    auto a = std::make_unique<TZoAlpha>();
    a->Resize(w, h);
    EXPECT_TRUE(a->Create());
    a->Fill(v);
    return a;
}

TEST(ZoAlpha, ComposeAlphaChannelExamples)
{
    struct Case {
        int opacity;
        int lower;
        int upper;
        int dst;
        int weight;
    } cases[] = {
        {128, 0, 200, 200, 128},
        {128, 200, 0, 0, 0},
        {64, 100, 200, 150, 64 * 200 / 150},
        {0, 90, 200, 90, 0},
    };
    for (const Case& c : cases) {
        auto dst = Plane(1, 1, 7), weight = Plane(1, 1, 7), lower = Plane(1, 1, uchar(c.lower)),
             upper = Plane(1, 1, uchar(c.upper));
        ASSERT_TRUE(ComposeAlphaChannel(dst.get(), 0, 0, weight.get(), lower.get(), 0, 0, upper.get(), 0, 0, 1, 1,
                                        c.opacity));
        EXPECT_EQ(c.dst, dst->PGet(0, 0)) << c.opacity << " " << c.lower << " " << c.upper;
        EXPECT_EQ(c.weight, weight->PGet(0, 0)) << c.opacity << " " << c.lower << " " << c.upper;
    }
    auto dst = Plane(3, 1, 7), weight = Plane(3, 1, 7), lower = Plane(1, 1, 50), upper = Plane(3, 1, 100);
    EXPECT_FALSE(ComposeAlphaChannel(dst.get(), 0, 0, weight.get(), lower.get(), 0, 0, upper.get(), 0, 0, 3, 1, 129));
    auto narrow = Plane(2, 1, 7);
    EXPECT_FALSE(ComposeAlphaChannel(dst.get(), 0, 0, narrow.get(), lower.get(), 0, 0, upper.get(), 0, 0, 3, 1, 64));
    // Past the lower plane its values count as 0.
    ASSERT_TRUE(ComposeAlphaChannel(dst.get(), 0, 0, weight.get(), lower.get(), 0, 0, upper.get(), 0, 0, 3, 1, 128));
    EXPECT_EQ((std::vector<int>{100, 100, 100}), Snapshot(*dst).v);
    EXPECT_EQ((std::vector<int>{128, 128, 128}), Snapshot(*weight).v);
}

TEST(ZoAlpha, ComposeAlphaChannelFollowsTheModel)
{
    for (int caseNo = 0; caseNo < 800; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(530000 + caseNo);
        auto dst = MakePlane(random, random.Between(1, 8), random.Between(1, 8));
        auto lower = MakePlane(random, random.Between(1, 8), random.Between(1, 8));
        auto upper = MakePlane(random, random.Between(1, 8), random.Between(1, 8));
        auto weight = MakePlane(random, upper->Width() + random.Between(0, 2), upper->Height() + random.Between(0, 2));
        const int w = random.Between(0, 10), h = random.Between(0, 10);
        const int dx = random.Between(-6, 8), dy = random.Between(-6, 8);
        const int lx = random.Between(-3, 6), ly = random.Between(-3, 6);
        const int ux = random.Between(-3, 6), uy = random.Between(-3, 6);
        const int opacity = random.Between(0, 128);
        Values wantDst = Snapshot(*dst), wantWeight = Snapshot(*weight);
        const Values lv = Snapshot(*lower), uv = Snapshot(*upper);
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                if (wantDst.Get(dx + i, dy + j) < 0)
                    continue;
                const int v = std::max(0, lv.Get(lx + i, ly + j));
                const int u = std::max(0, uv.Get(ux + i, uy + j));
                const int a = v + (u - v) * opacity / 128;
                wantDst.At(dx + i, dy + j) = a;
                if (uv.Get(ux + i, uy + j) >= 0)
                    wantWeight.At(ux + i, uy + j) = a < 1 ? 0 : opacity * u / a;
            }
        }
        ASSERT_TRUE(ComposeAlphaChannel(dst.get(), dx, dy, weight.get(), lower.get(), lx, ly, upper.get(), ux, uy, w, h,
                                        opacity));
        ASSERT_EQ(wantDst, Snapshot(*dst));
        ASSERT_EQ(wantWeight, Snapshot(*weight));
    }
}

// ---- display sections ----------------------------------------------------------------

TEST(ZoAlphaDib, SectionLayoutPaletteAndMemoryContext)
{
    for (TDIBDirection d : {ddBottomUp, ddTopDown}) {
        for (int w : {1, 3, 4, 5}) {
            SCOPED_TRACE(testing::Message() << "direction " << int(d) << " width " << w);
            TZoAlphaDib a;
            a.SetDirection(d);
            a.Resize(w, 3);
            ASSERT_TRUE(a.Create());
            a.SetDirection(d == ddTopDown ? ddBottomUp : ddTopDown); // ignored while created
            const int row = (w + 3) & ~3;
            const TZoDibSection& s = *a.Section();
            EXPECT_EQ(size_t(row), s.RowBytes());
            EXPECT_EQ(d == ddTopDown ? row : -row, a.Pitch());
            EXPECT_EQ(s.Memory() + (d == ddTopDown ? 0 : 2 * row), a.Bits());
            EXPECT_EQ(s.Colours(), a.Palette());
            EXPECT_EQ(uint8_t(200), a.Palette()[200].rgbGreen);
            EXPECT_EQ(0, a.PGet(w - 1, 2)); // a new section is transparent
            a.Cls();
            EXPECT_EQ(255, a.PGet(w - 1, 2));
            // Padding stays zero and the stored row order is the direction's.
            const uint8_t* lastStored = s.Memory() + 2 * s.RowBytes();
            for (size_t i = size_t(w); i < s.RowBytes(); ++i)
                EXPECT_EQ(0, lastStored[i]);
            a.PSet(0, 0, 7);
            EXPECT_EQ(7, (d == ddTopDown ? s.Memory() : lastStored)[0]);
        }
    }

    TZoAlphaDib a;
    void* dc = nullptr;
    EXPECT_FALSE(a.GetDC(&dc));
    a.Resize(4, 4);
    a.Loaded();
    ASSERT_TRUE(a.Created());
    void* first = nullptr;
    ASSERT_TRUE(a.GetDC(&first));
    EXPECT_FALSE(a.GetDC(&dc));
    EXPECT_FALSE(a.ReleaseDC(&dc));
    std::weak_ptr<TZoDibSection> old = a.Section();
    EXPECT_FALSE(a.Resize(100000, 100000));
    EXPECT_EQ(old.lock(), a.Section());
    ASSERT_TRUE(a.Resize(8, 2));
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(a.Section(), static_cast<TZoDibDC*>(first)->Section());
    EXPECT_TRUE(a.ReleaseDC(first));
    EXPECT_TRUE(a.ReleaseDC(nullptr));
    a.Release();
    EXPECT_EQ(nullptr, a.Palette());
    EXPECT_EQ(nullptr, a.Bits());
}

} // namespace
