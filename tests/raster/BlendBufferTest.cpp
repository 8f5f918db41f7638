// The pixel buffer's blending operations and filters against the per-pixel
// model: seeded random buffers (plain and display buffers of both row
// orders) of every format, patterns and sources of random sizes, positions
// off every edge, pitches with slack and negative pitches, sources that are
// the destination itself, and the fast and plain routines forced in turn.
#include "raster/CpuId.h"
#include "raster/RGBBlend.h"
#include "raster/ZoAlpha.h"
#include "raster/ZoRGBDib.h"

#include "BlendModel.h"
#include "PixelFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace pendar::test::blend;
using pendar::test::Image;
using pendar::test::Pattern;
using pendar::test::PixelRandom;
using pendar::test::Snapshot;

const auto& kFormats = pendar::test::kAllFormats;
using Routines = pendar::test::ForcedRoutines;
using pendar::test::RandomBuffer;
using pendar::test::RandomPlane;

int Depth(TPixFormat f) { return FormatAndDepthTable[f]; }

uint32_t QuadFrom(TPixFormat f, uint32_t v)
{
    return Depth(f) == 4 ? v : RGBfromProcTable[f](v) & 0xFFFFFF;
}

uint32_t QuadTo(TPixFormat f, uint32_t q)
{
    return Depth(f) == 4 ? q : RGBtoProcTable[f](q) & (Depth(f) == 3 ? 0xFFFFFFu : 0xFFFFu);
}

enum class Opacity { Plane, OwnByte, Double };

// One pixel drawn through a per-pixel alpha: straight on 24-bit pairs,
// through RGBQUAD values otherwise; the fast 32-bit routines take the
// opacity of 256.
uint32_t MaskPixel(TPixFormat dstF, uint32_t d, TPixFormat srcF, uint32_t s, int alpha, Opacity kind, bool fast)
{
    if (kind == Opacity::OwnByte)
        alpha = int(s >> 24);
    int factor = kind == Opacity::Double ? DoubleAlphaParam() * alpha / 255 : PlainFactor(alpha);
    int scale = 128;
    if (Depth(dstF) == 3 && Depth(srcF) == 3)
        return Towards(d, s, factor, scale) & 0xFFFFFF;
#if defined(__SSE2__)
    if (fast && kind != Opacity::Double) {
        factor = FastFactor(alpha);
        scale = 256;
    }
#else
    (void)fast;
#endif
    return QuadTo(dstF, Towards(QuadFrom(dstF, d), QuadFrom(srcF, s), factor, scale));
}

uint32_t ConvertPixel(TPixFormat from, TPixFormat to, uint32_t v)
{
    return pendar::test::ModelConvert(from, to, v) & pendar::test::Mask(Depth(to));
}

enum class PatOp { Blend, Add, Sub, Mask, OwnAlpha, TwoSources, DoubleMask, Count };

TEST(BlendBuffer, PatternOperationsFollowTheModel)
{
    for (int caseNo = 0; caseNo < 4000; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(410000 + caseNo);
        const bool fast = random.Chance(50);
        Routines routines(fast);
        const auto op = static_cast<PatOp>(random.Below(unsigned(PatOp::Count)));
        const TPixFormat f = kFormats[random.Below(7)];
        auto b = RandomBuffer(random, f, random.Between(1, 12), random.Between(1, 12));
        ASSERT_EQ(fast, b->MmxEnabled());
        const int w = random.Between(0, 14), h = random.Between(0, 14);
        const int x = random.Between(-15, 15), y = random.Between(-15, 15);
        TPixFormat srcF = f;
        if (op == PatOp::Mask || op == PatOp::DoubleMask)
            srcF = kFormats[random.Below(7)];
        else if (op == PatOp::OwnAlpha)
            srcF = random.Chance(70) ? pf32_8888 : kFormats[random.Below(7)];
        auto pattern = [&](int bpp) {
            return Pattern(random, w, h, bpp, random.Chance(30), random.Chance(50) ? random.Between(1, 9) : 0);
        };
        const Pattern a = pattern(Depth(f));
        const Pattern s = pattern(Depth(srcF));
        const Pattern plane = pattern(1);
        const int alpha = random.Chance(25) ? 64 : random.Between(0, 128);
        const int opacity = random.Between(-10, 140);
        if (op == PatOp::Blend && alpha == 64)
            SetAlphaParam(17);

        Image want = Snapshot(*b);
        if (op == PatOp::DoubleMask)
            SetDoubleAlphaParam(opacity); // what the operation sets, for the model
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                if (x + i < 0 || x + i >= b->Width() || y + j < 0 || y + j >= b->Height())
                    continue;
                uint32_t& d = want.At(x + i, y + j);
                const size_t k = size_t(j) * w + i;
                switch (op) {
                case PatOp::Blend:
                    d = TwoSource(alpha == 64 ? Op::Half : Op::Alpha, f, a.img.px[k], s.img.px[k], alpha);
                    break;
                case PatOp::Add: d = TwoSource(Op::Add, f, d, s.img.px[k], 0); break;
                case PatOp::Sub: d = TwoSource(Op::Sub, f, d, s.img.px[k], 0); break;
                case PatOp::Mask:
                    d = MaskPixel(f, d, srcF, s.img.px[k], int(plane.img.px[k]), Opacity::Plane, fast);
                    break;
                case PatOp::OwnAlpha:
                    d = srcF == pf32_8888 ? MaskPixel(f, d, srcF, s.img.px[k], 0, Opacity::OwnByte, fast)
                                          : ConvertPixel(srcF, f, s.img.px[k]);
                    break;
                case PatOp::TwoSources:
                    d = MaskPixel(f, a.img.px[k], f, s.img.px[k], int(plane.img.px[k]), Opacity::Plane, fast);
                    break;
                case PatOp::DoubleMask:
                    d = MaskPixel(f, d, srcF, s.img.px[k], int(plane.img.px[k]), Opacity::Double, fast);
                    break;
                case PatOp::Count: break;
                }
            }
        }
        bool ok = false;
        switch (op) {
        case PatOp::Blend: ok = b->ZoAlphaBlend(x, y, w, h, a.first, a.pitch, s.first, s.pitch, alpha); break;
        case PatOp::Add: ok = b->ZoSaturationAdd(x, y, w, h, s.first, s.pitch); break;
        case PatOp::Sub: ok = b->ZoSaturationSub(x, y, w, h, s.first, s.pitch); break;
        case PatOp::Mask: ok = b->ZoAlphaMask(x, y, w, h, s.first, s.pitch, srcF, plane.first, plane.pitch); break;
        case PatOp::OwnAlpha: ok = b->ZoAlphaMask(x, y, w, h, s.first, s.pitch, srcF); break;
        case PatOp::TwoSources:
            ok = b->ZoAlphaMask(x, y, w, h, a.first, a.pitch, s.first, s.pitch, f, plane.first, plane.pitch);
            break;
        case PatOp::DoubleMask:
            ok = b->ZoDoubleAlphaMask(x, y, w, h, s.first, s.pitch, srcF, plane.first, plane.pitch, opacity);
            break;
        case PatOp::Count: break;
        }
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(*b));
        ASSERT_EQ(0, b->LockCount());
        if (op == PatOp::Blend && alpha == 64) {
            ASSERT_EQ(17, AlphaParam()); // the halving leaves it alone
        }
    }
}

// ---- buffer to buffer -------------------------------------------------------------------

enum class BufOp { Blend, BlendSelf, Add, Sub, Mask, OwnAlpha, TwoSources, DoubleMask, Count };

TEST(BlendBuffer, BufferOperationsTrimToEverySourceAndReadSourcesAsTheyWere)
{
    for (int caseNo = 0; caseNo < 3000; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(420000 + caseNo);
        const bool fast = random.Chance(50);
        Routines routines(fast);
        const auto op = static_cast<BufOp>(random.Below(unsigned(BufOp::Count)));
        const TPixFormat f = kFormats[random.Below(7)];
        auto dst = RandomBuffer(random, f, random.Between(1, 10), random.Between(1, 10));
        // Sources of a compatible format (the two 32-bit ones copy as bytes),
        // sometimes the destination itself.
        auto compatible = [&] { return f == pf32_888 && random.Chance(40) ? pf32_8888 : f; };
        TPixFormat srcF = compatible();
        if (op == BufOp::Mask || op == BufOp::DoubleMask)
            srcF = kFormats[random.Below(7)];
        else if (op == BufOp::OwnAlpha)
            srcF = random.Chance(70) ? pf32_8888 : kFormats[random.Below(7)];
        auto other = [&](TPixFormat sf) {
            return RandomBuffer(random, sf, random.Between(1, 10), random.Between(1, 10));
        };
        auto srcOwned = other(srcF);
        auto lowerOwned = other(compatible());
        TZoRGBBits* src = srcF == f && random.Chance(35) ? dst.get() : srcOwned.get();
        TZoRGBBits* lower = random.Chance(35) ? dst.get() : lowerOwned.get();
        auto plane = RandomPlane(random, random.Between(1, 10), random.Between(1, 10));
        const int w = random.Between(0, 12), h = random.Between(0, 12);
        const int x = random.Between(-12, 12), y = random.Between(-12, 12);
        // A source that is the destination is mostly read close to where
        // it is written, so that rows overlap.
        auto near = [&](const TZoRGBBits* source, int at) {
            return source == dst.get() && random.Chance(70) ? at + random.Between(-2, 2) : random.Between(-4, 10);
        };
        const int sx = near(src, x), sy = near(src, y);
        const int lx = near(lower, x), ly = near(lower, y);
        const int alpha = random.Chance(20) ? 64 : random.Between(0, 128);
        const int opacity = random.Between(0, 128);

        const Image before = Snapshot(*dst);
        const Image srcImg = Snapshot(*src);
        const Image lowerImg = op == BufOp::BlendSelf ? before : Snapshot(*lower);
        const int lowerX0 = op == BufOp::BlendSelf ? x : lx, lowerY0 = op == BufOp::BlendSelf ? y : ly;
        const bool usesLower = op == BufOp::Blend || op == BufOp::BlendSelf || op == BufOp::TwoSources;
        const bool usesPlane = op == BufOp::Mask || op == BufOp::TwoSources || op == BufOp::DoubleMask;
        if (op == BufOp::DoubleMask)
            SetDoubleAlphaParam(opacity);
        auto inside = [](const Image& img, int px, int py) { return px >= 0 && py >= 0 && px < img.w && py < img.h; };
        Image want = before;
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                // A pixel is drawn when every source point of it exists.
                if (!inside(srcImg, sx + i, sy + j) || (usesLower && !inside(lowerImg, lowerX0 + i, lowerY0 + j)) ||
                    (usesPlane && !(sx + i < plane->Width() && sy + j < plane->Height())) ||
                    !inside(before, x + i, y + j))
                    continue;
                const uint32_t s = srcImg.px[size_t(sy + j) * srcImg.w + sx + i];
                const uint32_t lo = usesLower ? lowerImg.px[size_t(lowerY0 + j) * lowerImg.w + lowerX0 + i] : 0;
                const int pa = usesPlane ? plane->PGet(sx + i, sy + j) : 0;
                uint32_t& d = want.At(x + i, y + j);
                switch (op) {
                case BufOp::Blend:
                case BufOp::BlendSelf: d = TwoSource(alpha == 64 ? Op::Half : Op::Alpha, f, lo, s, alpha); break;
                case BufOp::Add: d = TwoSource(Op::Add, f, d, s, 0); break;
                case BufOp::Sub: d = TwoSource(Op::Sub, f, d, s, 0); break;
                case BufOp::Mask: d = MaskPixel(f, d, srcF, s, pa, Opacity::Plane, fast); break;
                case BufOp::OwnAlpha:
                    d = srcF == pf32_8888 ? MaskPixel(f, d, srcF, s, 0, Opacity::OwnByte, fast) : ConvertPixel(srcF, f, s);
                    break;
                case BufOp::TwoSources: d = MaskPixel(f, lo, f, s, pa, Opacity::Plane, fast); break;
                case BufOp::DoubleMask: d = MaskPixel(f, d, srcF, s, pa, Opacity::Double, fast); break;
                case BufOp::Count: break;
                }
                left = std::min(left, x + i), top = std::min(top, y + j);
                right = std::max(right, x + i + 1), bottom = std::max(bottom, y + j + 1);
            }
        }
        std::vector<TZoRect> flushed;
        dst->SetOnChange([&](TZoRGBBits* b) { flushed.push_back(b->GetModifiedRect()); });
        bool ok = false;
        switch (op) {
        case BufOp::Blend: ok = dst->AlphaBlend(x, y, lower, lx, ly, src, sx, sy, w, h, alpha); break;
        case BufOp::BlendSelf: ok = dst->AlphaBlend(x, y, src, sx, sy, w, h, alpha); break;
        case BufOp::Add: ok = dst->SaturationAdd(x, y, src, sx, sy, w, h); break;
        case BufOp::Sub: ok = dst->SaturationSub(x, y, src, sx, sy, w, h); break;
        case BufOp::Mask: ok = dst->DrawAlphaMask(x, y, src, sx, sy, w, h, plane.get()); break;
        case BufOp::OwnAlpha: ok = dst->DrawAlphaMask(x, y, src, sx, sy, w, h); break;
        case BufOp::TwoSources: ok = dst->DrawAlphaMask(x, y, lower, lx, ly, src, sx, sy, w, h, plane.get()); break;
        case BufOp::DoubleMask: ok = dst->DrawDoubleAlphaMask(x, y, src, sx, sy, w, h, plane.get(), opacity); break;
        case BufOp::Count: break;
        }
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(*dst));
        if (right >= 0)
            ASSERT_EQ(std::vector<TZoRect>{TZoRect(left, top, right, bottom)}, flushed);
        else
            ASSERT_TRUE(flushed.empty() || flushed == std::vector<TZoRect>{TZoRect()});
        ASSERT_EQ(0, dst->LockCount());
        ASSERT_EQ(0, src->LockCount());
    }
}

// ---- filters ---------------------------------------------------------------------

TEST(BlendBuffer, FiltersFollowTheModelAndFlushTheWholeBuffer)
{
    for (int caseNo = 0; caseNo < 1200; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(430000 + caseNo);
        const bool fast = random.Chance(50);
        Routines routines(fast);
        const TPixFormat f = kFormats[random.Below(7)];
        auto b = RandomBuffer(random, f, random.Between(1, 12), random.Between(1, 9));
        const int x1 = random.Between(-5, 15), y1 = random.Between(-5, 12);
        const int x2 = random.Between(-5, 15), y2 = random.Between(-5, 12);
        const unsigned long tone = random.Below(0xFFFFFFFF);
        const int which = int(random.Below(4));
#if defined(__SSE2__)
        const bool fastTone32 = fast && Depth(f) == 4; // also scales the fourth byte
#else
        const bool fastTone32 = false;
#endif
        Image want = Snapshot(*b);
        for (int y = std::max(0, std::min(y1, y2)); y <= std::min(b->Height() - 1, std::max(y1, y2)); ++y) {
            for (int x = std::max(0, std::min(x1, x2)); x <= std::min(b->Width() - 1, std::max(x1, x2)); ++x) {
                uint32_t& p = want.At(x, y);
                // 16-bit pixels are filtered as 24-bit colours.
                const uint32_t c = Depth(f) == 2 ? RGBfromProcTable[f](p) & 0xFFFFFF : p;
                const uint32_t keep = c & 0xFF000000;
                auto channel = [&](int k) { return int((c >> (8 * k)) & 0xFF); };
                uint32_t r = 0;
                switch (which) {
                case 0: r = fastTone32 ? Tone(c, tone, 4) : keep | Tone(c, tone, 3); break;
                case 1: {
                    const uint32_t g = uint32_t(channel(0) + channel(1) + channel(2)) / 3;
                    r = keep | g | g << 8 | g << 16;
                    break;
                }
                case 2: {
                    const int sum = channel(0) + channel(1) + channel(2);
                    r = keep | uint32_t((channel(0) + sum) >> 3) | uint32_t((channel(1) + sum) / 5) << 8 |
                        uint32_t((channel(2) + sum) >> 2) << 16;
                    break;
                }
                default: r = keep | (~c & 0xFFFFFF); break;
                }
                p = Depth(f) == 2 ? RGBtoProcTable[f](r & 0xFFFFFF) : r;
            }
        }
        std::vector<TZoRect> flushed;
        b->SetOnChange([&](TZoRGBBits* s) { flushed.push_back(s->GetModifiedRect()); });
        const bool ok = which == 0   ? b->ToneChange(x1, y1, x2, y2, tone)
                        : which == 1 ? b->Monochrome(x1, y1, x2, y2)
                        : which == 2 ? b->Sepia(x1, y1, x2, y2)
                                     : b->Negative(x1, y1, x2, y2);
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(*b));
        ASSERT_EQ(std::vector<TZoRect>{TZoRect(0, 0, b->Width(), b->Height())}, flushed);
    }
}

// The upper image of a composition may be the destination itself: it is read
// before the lower image is copied over it.
TEST(BlendBuffer, ComposingTheDestinationOverALowerImageReadsItFirst)
{
    TZoRGBBits dst, lower;
    for (TZoRGBBits* b : {&dst, &lower}) {
        b->Resize(2, 1);
        ASSERT_TRUE(b->Create());
    }
    dst.PSet(0, 0, 0xFFFFFF);
    dst.PSet(1, 0, 0xFFFFFF);
    lower.PSet(0, 0, 0x000000);
    lower.PSet(1, 0, 0x000000);
    TZoAlpha plane;
    plane.Resize(2, 1);
    ASSERT_TRUE(plane.Create());
    plane.PSet(1, 0, 0);
    ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &lower, 0, 0, &dst, 0, 0, 2, 1, &plane));
    EXPECT_EQ(0xFFFFFFu, dst.PGet(0, 0)); // opaque: the old destination
    EXPECT_EQ(0x000000u, dst.PGet(1, 0)); // transparent: the lower image
}

// ---- the named refusals --------------------------------------------------------------

TEST(BlendBuffer, RefusalsAndEmptyWork)
{
    TZoRGBBits dst, idle, quad;
    dst.Resize(4, 4);
    ASSERT_TRUE(dst.Create());
    quad.SetPixFormat(pf32_888);
    quad.Resize(4, 4);
    ASSERT_TRUE(quad.Create());
    TZoAlpha plane;
    plane.Resize(4, 4);
    ASSERT_TRUE(plane.Create());
    uint8_t pixels[48] = {};

    EXPECT_FALSE(dst.AlphaBlend(0, 0, &dst, 0, 0, 2, 2, 129)); // no clamping here
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &dst, 0, 0, 2, 2, -1));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &quad, 0, 0, 2, 2, 10)); // formats not compatible
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &idle, 0, 0, 2, 2, 10));
    EXPECT_FALSE(idle.ZoAlphaBlend(0, 0, 2, 2, pixels, 6, pixels, 6, 10));
    EXPECT_FALSE(dst.SaturationAdd(0, 0, &quad, 0, 0, 2, 2));
    EXPECT_FALSE(dst.ZoAlphaMask(0, 0, 2, 2, pixels, 6, pfNone, pixels, 2));
    EXPECT_FALSE(dst.ZoAlphaMask(0, 0, 2, 2, pixels, 6, pf24_888, nullptr, 2));
    EXPECT_FALSE(dst.ZoAlphaMask(0, 0, 2, 2, pixels, 6, pixels, 6, pf32_888, pixels, 2)); // lower of another format
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &quad, 0, 0, 2, 2, static_cast<const TZoAlpha*>(nullptr)));
    EXPECT_FALSE(idle.ToneChange(0, 0, 3, 3, 0x808080));

    // Nothing left after trimming or clipping is success; so is a source
    // rectangle wholly outside its source.
    EXPECT_TRUE(dst.AlphaBlend(10, 10, &dst, 0, 0, 2, 2, 10));
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &dst, 9, 9, 2, 2, 10));
    EXPECT_TRUE(dst.DrawAlphaMask(0, 0, &quad, 5, 0, 2, 2, &plane));
    EXPECT_TRUE(dst.ZoAlphaBlend(0, 0, 0, 5, pixels, 6, pixels, 6, 10));
    EXPECT_TRUE(dst.Negative(9, 9, 20, 20));
}

} // namespace
