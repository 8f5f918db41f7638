// The blending row routines against the per-pixel model (BlendModel.h):
// seeded random rows of random lengths, biased towards 0x00 and 0xFF, every
// routine in its plain and fast form, in place and not; the fast forms'
// three documented differences are modelled as such. The named rules (the
// 16-bit non-colour bits, the fourth byte, the parameters) are checked
// against hand-computed tables, and the arithmetic pixman shares with the
// engine against pixman.
#include "raster/PixelRows.h"
#include "raster/RGBBlend.h"

#include "BlendModel.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>
#include <pixman.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace pendar::test::blend;
using pendar::test::Guarded;
using pendar::test::LoadLE;
using pendar::test::PixelRandom;
using pendar::test::StoreLE;

#if defined(__SSE2__)
constexpr bool kFastDiffers = true;
#else
constexpr bool kFastDiffers = false; // the fast names are the plain routines
#endif

std::vector<uint32_t> Pixels(const uint8_t* row, int bpp, unsigned count)
{
    std::vector<uint32_t> v;
    for (unsigned i = 0; i < count; ++i)
        v.push_back(LoadLE(row + size_t(i) * bpp, bpp));
    return v;
}

// ---- two-source families ---------------------------------------------------------

struct TwoSourceRoutine {
    const char* name;
    Op op;
    int format; // 0: 8-bit plane bytes
    std::function<void(void* dst, const void* a, const void* b, unsigned count)> run;
};

template <void* (*Proc)(void*, const void*, unsigned)>
std::function<void(void*, const void*, const void*, unsigned)> Saturating()
{
    // dst is the first operand: the caller hands a == dst.
    return [](void* d, const void*, const void* b, unsigned n) { Proc(d, b, n); };
}

std::vector<TwoSourceRoutine> TwoSourceRoutines()
{
    return {
        {"RGBAlpha16_565", Op::Alpha, pf16_565, RGBAlpha16_565},
        {"RGBAlpha16_555", Op::Alpha, pf16_555, RGBAlpha16_555},
        {"RGBAlpha16_5551", Op::Alpha, pf16_5551, RGBAlpha16_5551},
        {"RGBAlpha16_4444", Op::Alpha, pf16_4444, RGBAlpha16_4444},
        {"RGBAlpha24_888", Op::Alpha, pf24_888, RGBAlpha24_888},
        {"RGBAlpha32_888", Op::Alpha, pf32_888, RGBAlpha32_888},
        {"RGBAlpha32_8888", Op::Alpha, pf32_8888, RGBAlpha32_8888},
        {"RGBAlpha8", Op::Alpha, 0, RGBAlpha8},
        {"RGBAlpha24_888_MMX", Op::Alpha, pf24_888, RGBAlpha24_888_MMX},
        {"RGBAlpha32_888_MMX", Op::Alpha, pf32_888, RGBAlpha32_888_MMX},
        {"RGBAlpha32_8888_MMX", Op::Alpha, pf32_8888, RGBAlpha32_8888_MMX},
        {"RGBAlpha8_MMX", Op::Alpha, 0, RGBAlpha8_MMX},
        {"RGBHalf16_565", Op::Half, pf16_565, RGBHalf16_565},
        {"RGBHalf16_555", Op::Half, pf16_555, RGBHalf16_555},
        {"RGBHalf16_5551", Op::Half, pf16_5551, RGBHalf16_5551},
        {"RGBHalf16_4444", Op::Half, pf16_4444, RGBHalf16_4444},
        {"RGBHalf24_888", Op::Half, pf24_888, RGBHalf24_888},
        {"RGBHalf32_888", Op::Half, pf32_888, RGBHalf32_888},
        {"RGBHalf32_8888", Op::Half, pf32_8888, RGBHalf32_8888},
        {"RGBHalf8", Op::Half, 0, RGBHalf8},
        {"RGBHalf24_888_MMX", Op::Half, pf24_888, RGBHalf24_888_MMX},
        {"RGBHalf32_888_MMX", Op::Half, pf32_888, RGBHalf32_888_MMX},
        {"RGBHalf32_8888_MMX", Op::Half, pf32_8888, RGBHalf32_8888_MMX},
        {"RGBHalf8_MMX", Op::Half, 0, RGBHalf8_MMX},
        {"RGBAdd16_565", Op::Add, pf16_565, Saturating<RGBAdd16_565>()},
        {"RGBAdd16_555", Op::Add, pf16_555, Saturating<RGBAdd16_555>()},
        {"RGBAdd16_5551", Op::Add, pf16_5551, Saturating<RGBAdd16_5551>()},
        {"RGBAdd16_4444", Op::Add, pf16_4444, Saturating<RGBAdd16_4444>()},
        {"RGBAdd24_888", Op::Add, pf24_888, Saturating<RGBAdd24_888>()},
        {"RGBAdd32_888", Op::Add, pf32_888, Saturating<RGBAdd32_888>()},
        {"RGBAdd32_8888", Op::Add, pf32_8888, Saturating<RGBAdd32_8888>()},
        {"RGBAdd24_888_MMX", Op::Add, pf24_888, Saturating<RGBAdd24_888_MMX>()},
        {"RGBAdd32_888_MMX", Op::Add, pf32_888, Saturating<RGBAdd32_888_MMX>()},
        {"RGBAdd32_8888_MMX", Op::Add, pf32_8888, Saturating<RGBAdd32_8888_MMX>()},
        {"RGBSub16_565", Op::Sub, pf16_565, Saturating<RGBSub16_565>()},
        {"RGBSub16_555", Op::Sub, pf16_555, Saturating<RGBSub16_555>()},
        {"RGBSub16_5551", Op::Sub, pf16_5551, Saturating<RGBSub16_5551>()},
        {"RGBSub16_4444", Op::Sub, pf16_4444, Saturating<RGBSub16_4444>()},
        {"RGBSub24_888", Op::Sub, pf24_888, Saturating<RGBSub24_888>()},
        {"RGBSub32_888", Op::Sub, pf32_888, Saturating<RGBSub32_888>()},
        {"RGBSub32_8888", Op::Sub, pf32_8888, Saturating<RGBSub32_8888>()},
        {"RGBSub24_888_MMX", Op::Sub, pf24_888, Saturating<RGBSub24_888_MMX>()},
        {"RGBSub32_888_MMX", Op::Sub, pf32_888, Saturating<RGBSub32_888_MMX>()},
        {"RGBSub32_8888_MMX", Op::Sub, pf32_8888, Saturating<RGBSub32_8888_MMX>()},
    };
}

TEST(BlendRows, TwoSourceRoutinesFollowTheModel)
{
    const std::vector<TwoSourceRoutine> routines = TwoSourceRoutines();
    for (int caseNo = 0; caseNo < 6000; ++caseNo) {
        PixelRandom random(310000 + caseNo);
        const TwoSourceRoutine& r = routines[random.Below(uint32_t(routines.size()))];
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << r.name);
        const int bpp = LayoutOf(r.format).bpp;
        const auto count = unsigned(random.Between(0, 70));
        const int alpha = random.Chance(20) ? (random.Chance(50) ? 0 : 128) : random.Between(0, 128);
        SetAlphaParam(alpha);
        const size_t bytes = size_t(count) * bpp;
        const std::vector<uint8_t> a = random.Bytes(bytes), b = random.Bytes(bytes);
        // The saturating routines work on dst itself; the others may too.
        const bool inPlace = r.op == Op::Add || r.op == Op::Sub || random.Chance(30);
        Guarded dst(bytes);
        std::copy(a.begin(), a.end(), dst.Data());
        r.run(dst.Data(), inPlace ? dst.Data() : a.data(), b.data(), count);

        std::vector<uint32_t> want;
        const std::vector<uint32_t> pa = Pixels(a.data(), bpp, count), pb = Pixels(b.data(), bpp, count);
        for (unsigned i = 0; i < count; ++i)
            want.push_back(TwoSource(r.op, r.format, pa[i], pb[i], alpha));
        ASSERT_EQ(want, Pixels(dst.Data(), bpp, count));
        ASSERT_TRUE(dst.GuardsIntact());
    }
}

// ---- per-pixel routines ----------------------------------------------------------------

enum class Kind { Out, OutFast32, In, InFast, Double, Tone, ToneFast32, Grey, Sepia, Negative };

struct PixelRoutine {
    const char* name;
    Kind kind;
    int bpp;
    // run(dst, src, alpha plane, tone, count)
    std::function<void(void*, const void*, const void*, unsigned long, unsigned)> run;
};

std::vector<PixelRoutine> PixelRoutines()
{
    using F = std::function<void(void*, const void*, const void*, unsigned long, unsigned)>;
    auto mask = [](void* (*p)(void*, const void*, const void*, unsigned)) -> F {
        return [p](void* d, const void* s, const void* a, unsigned long, unsigned n) { p(d, s, a, n); };
    };
    auto self = [](void* (*p)(void*, const void*, unsigned)) -> F {
        return [p](void* d, const void* s, const void*, unsigned long, unsigned n) { p(d, s, n); };
    };
    auto tone = [](void* (*p)(void*, const void*, unsigned long, unsigned)) -> F {
        return [p](void* d, const void* s, const void*, unsigned long t, unsigned n) { p(d, s, t, n); };
    };
    const Kind fast32 = kFastDiffers ? Kind::OutFast32 : Kind::Out;
    return {
        {"RGBAlphaOutChannel", Kind::Out, 3, mask(RGBAlphaOutChannel)},
        {"RGBAlphaOutChannel_MMX", Kind::Out, 3, mask(RGBAlphaOutChannel_MMX)},
        {"RGBAlphaOutChannel32", Kind::Out, 4, mask(RGBAlphaOutChannel32)},
        {"RGBAlphaOutChannel32_MMX", fast32, 4, mask(RGBAlphaOutChannel32_MMX)},
        {"RGBAlphaInChannel", Kind::In, 4, self(RGBAlphaInChannel)},
        {"RGBAlphaInChannel_MMX", kFastDiffers ? Kind::InFast : Kind::In, 4, self(RGBAlphaInChannel_MMX)},
        {"RGBDoubleAlphaOutChannel", Kind::Double, 3, mask(RGBDoubleAlphaOutChannel)},
        {"RGBDoubleAlphaOutChannel_MMX", Kind::Double, 3, mask(RGBDoubleAlphaOutChannel_MMX)},
        {"RGBDoubleAlphaOutChannel32", Kind::Double, 4, mask(RGBDoubleAlphaOutChannel32)},
        {"RGBDoubleAlphaOutChannel32_MMX", Kind::Double, 4, mask(RGBDoubleAlphaOutChannel32_MMX)},
        {"RGBTone24", Kind::Tone, 3, tone(RGBTone24)},
        {"RGBTone24_MMX", Kind::Tone, 3, tone(RGBTone24_MMX)},
        {"RGBTone32", Kind::Tone, 4, tone(RGBTone32)},
        {"RGBTone32_MMX", kFastDiffers ? Kind::ToneFast32 : Kind::Tone, 4, tone(RGBTone32_MMX)},
        {"RGBMonochrome24", Kind::Grey, 3, self(RGBMonochrome24)},
        {"RGBMonochrome32", Kind::Grey, 4, self(RGBMonochrome32)},
        {"Sepia24", Kind::Sepia, 3, self(pendar::blend::Sepia24)},
        {"Sepia32", Kind::Sepia, 4, self(pendar::blend::Sepia32)},
        {"Negative24", Kind::Negative, 3, self(pendar::blend::Negative24)},
        {"Negative32", Kind::Negative, 4, self(pendar::blend::Negative32)},
    };
}

uint32_t ModelPixel(Kind kind, uint32_t d, uint32_t s, int alpha, unsigned long tone)
{
    auto channel = [&](int c) { return int((s >> (8 * c)) & 0xFF); };
    const uint32_t keep = d & 0xFF000000; // the destination's fourth byte
    switch (kind) {
    case Kind::Out: return Towards(d, s, PlainFactor(alpha), 128);
    case Kind::OutFast32: return Towards(d, s, FastFactor(alpha), 256);
    case Kind::In: return Towards(d, s, PlainFactor(int(s >> 24)), 128);
    case Kind::InFast: return Towards(d, s, FastFactor(int(s >> 24)), 256);
    case Kind::Double: return Towards(d, s, DoubleAlphaParam() * alpha / 255, 128);
    case Kind::Tone: return keep | Tone(s, tone, 3);
    case Kind::ToneFast32: return Tone(s, tone, 4);
    case Kind::Grey: {
        const uint32_t g = uint32_t(channel(0) + channel(1) + channel(2)) / 3;
        return keep | g | g << 8 | g << 16;
    }
    case Kind::Sepia: {
        const int sum = channel(0) + channel(1) + channel(2);
        return keep | uint32_t((channel(0) + sum) >> 3) | uint32_t((channel(1) + sum) / 5) << 8 |
               uint32_t((channel(2) + sum) >> 2) << 16;
    }
    case Kind::Negative: return keep | (~s & 0x00FFFFFF);
    }
    return 0;
}

TEST(BlendRows, PerPixelRoutinesFollowTheModel)
{
    const std::vector<PixelRoutine> routines = PixelRoutines();
    for (int caseNo = 0; caseNo < 6000; ++caseNo) {
        PixelRandom random(320000 + caseNo);
        const PixelRoutine& r = routines[random.Below(uint32_t(routines.size()))];
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << r.name);
        const auto count = unsigned(random.Between(0, 70));
        const size_t bytes = size_t(count) * r.bpp;
        const std::vector<uint8_t> d = random.Bytes(bytes), s = random.Bytes(bytes), alpha = random.Bytes(count);
        const unsigned long tone = random.Chance(20) ? 0x80808080ul : (random.Below(0xFFFFFFFF) | 0ul);
        SetDoubleAlphaParam(random.Between(0, 128));
        const bool inPlace = random.Chance(30);
        Guarded out(bytes);
        const std::vector<uint8_t>& first = inPlace ? s : d;
        std::copy(first.begin(), first.end(), out.Data());
        r.run(out.Data(), inPlace ? out.Data() : s.data(), alpha.data(), tone, count);

        const std::vector<uint32_t> pd = Pixels(inPlace ? s.data() : d.data(), r.bpp, count);
        const std::vector<uint32_t> ps = Pixels(s.data(), r.bpp, count);
        std::vector<uint32_t> want;
        for (unsigned i = 0; i < count; ++i) {
            uint32_t v = ModelPixel(r.kind, pd[i], ps[i], alpha[i], tone);
            want.push_back(r.bpp == 3 ? v & 0xFFFFFF : v);
        }
        ASSERT_EQ(want, Pixels(out.Data(), r.bpp, count));
        ASSERT_TRUE(out.GuardsIntact());
    }
}

TEST(BlendRows, AlphaPlaneRoutinesFollowTheModel)
{
    struct Routine {
        const char* name;
        void* (*run)(void*, const void*, const int, unsigned);
        int which; // 0 extract, 1 add, 2 subtract
    } routines[] = {
        {"RGBExtractAlpha", RGBExtractAlpha, 0}, {"RGBExtractAlpha_MMX", RGBExtractAlpha_MMX, 0},
        {"RGBSAddAlpha", RGBSAddAlpha, 1},       {"RGBSAddAlpha_MMX", RGBSAddAlpha_MMX, 1},
        {"RGBSSubAlpha", RGBSSubAlpha, 2},       {"RGBSSubAlpha_MMX", RGBSSubAlpha_MMX, 2},
    };
    for (int caseNo = 0; caseNo < 1500; ++caseNo) {
        PixelRandom random(330000 + caseNo);
        const Routine& r = routines[random.Below(6)];
        SCOPED_TRACE(testing::Message() << "case " << caseNo << " " << r.name);
        const auto count = unsigned(random.Between(0, 70));
        const std::vector<uint8_t> src = random.Bytes(count);
        // Only the low byte of value counts.
        const int value = random.Chance(30) ? int(random.Below(0x7FFFFFFF)) : random.Between(0, 20);
        Guarded out(count);
        r.run(out.Data(), src.data(), value, count);
        std::vector<uint8_t> want;
        for (uint8_t x : src) {
            const int v = value & 0xFF;
            const int sum = std::min(255, x + v);
            want.push_back(uint8_t(r.which == 0 ? (sum < 240 ? 0 : (sum - 240) * 17)
                                   : r.which == 1 ? sum
                                                  : std::max(0, x - v)));
        }
        ASSERT_EQ(want, out.Contents());
        ASSERT_TRUE(out.GuardsIntact());
    }
}

// ---- the named rules ------------------------------------------------------------------

TEST(BlendRows, Parameters)
{
    SetAlphaParam(200);
    EXPECT_EQ(128, AlphaParam());
    SetAlphaParam(-5);
    EXPECT_EQ(0, AlphaParam());
    SetDoubleAlphaParam(128);
    const uint8_t alpha[] = {255, 254, 1};
    const uint8_t src[9] = {255, 255, 255, 255, 255, 255, 255, 255, 255};
    uint8_t dst[9] = {};
    RGBDoubleAlphaOutChannel(dst, src, alpha, 3);
    // D[255] = 128 copies, D[254] = 127 lands short, D[1] = 0 keeps.
    EXPECT_EQ((std::vector<uint8_t>{255, 255, 255, 253, 253, 253, 0, 0, 0}), std::vector<uint8_t>(dst, dst + 9));
    SetDoubleAlphaParam(500);
    EXPECT_EQ(128, DoubleAlphaParam());
}

uint32_t One(void* (*proc)(void*, const void*, const void*, unsigned), int bpp, uint32_t a, uint32_t b)
{
    uint8_t pa[4], pb[4], out[4] = {};
    StoreLE(pa, bpp, a);
    StoreLE(pb, bpp, b);
    proc(out, pa, pb, 1);
    return LoadLE(out, bpp);
}

uint32_t OneSat(void* (*proc)(void*, const void*, unsigned), int bpp, uint32_t d, uint32_t s)
{
    uint8_t pd[4], ps[4];
    StoreLE(pd, bpp, d);
    StoreLE(ps, bpp, s);
    proc(pd, ps, 1);
    return LoadLE(pd, bpp);
}

TEST(BlendRows, SixteenBitRulesForTheBitsThatAreNotColour)
{
    SetAlphaParam(64);
    struct Case {
        const char* what;
        uint32_t got;
        uint32_t want;
    } cases[] = {
        {"half 565 of white and black", One(RGBHalf16_565, 2, 0xFFFF, 0x0000), 0x7BEF},
        {"half 5551: alpha is A15 and B15", One(RGBHalf16_5551, 2, 0x8000, 0x8000), 0x8000},
        {"half 5551: one alpha bit", One(RGBHalf16_5551, 2, 0x8000, 0x0000), 0x0000},
        {"half 4444: nibble averaged down", One(RGBHalf16_4444, 2, 0xF000, 0x2000), 0x8000},
        {"alpha 5551 writes the alpha bit 0", One(RGBAlpha16_5551, 2, 0xFFFF, 0xFFFF), 0x7FFF},
        {"alpha 4444 writes the nibble 0", One(RGBAlpha16_4444, 2, 0xFFFF, 0xF000), 0x0777},
        {"alpha 565 on field values: 3 and 0 at 64", One(RGBAlpha16_565, 2, 0x0003, 0x0000), 0x0001},
        {"add 555: bit 15 is the exclusive or", OneSat(RGBAdd16_555, 2, 0x8000, 0x8000), 0x0000},
        {"add 5551: one bit 15 stays", OneSat(RGBAdd16_5551, 2, 0x8001, 0x0001), 0x8002},
        {"add 5551: fields saturate", OneSat(RGBAdd16_5551, 2, 0x7C1F, 0x0421), 0x7C3F},
        {"add 4444: nibble sum modulo 16", OneSat(RGBAdd16_4444, 2, 0xF00F, 0x3001), 0x200F},
        {"add 565: green saturates at 63", OneSat(RGBAdd16_565, 2, 0x07E0, 0x0020), 0x07E0},
        {"sub 5551 clears bit 15", OneSat(RGBSub16_5551, 2, 0x8421, 0x0001), 0x0420},
        {"sub 4444 clears the nibble", OneSat(RGBSub16_4444, 2, 0xF123, 0x0200), 0x0023},
        {"sub 565 floors each field at 0", OneSat(RGBSub16_565, 2, 0x0801, 0x1002), 0x0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, c.got) << c.what;
}

TEST(BlendRows, ByteFormatRulesAndTheFourthByte)
{
    struct Case {
        const char* what;
        uint32_t got;
        uint32_t want;
    };
    SetAlphaParam(64);
    const Case at64[] = {
        {"alpha 64: A 3, B 0 gives 1", One(RGBAlpha24_888, 3, 3, 0), 1},
        {"alpha 64: A 0, B 3 gives 1", One(RGBAlpha24_888, 3, 0, 3), 1},
        {"alpha 64 fast: A 0, B 3 gives 1", One(RGBAlpha24_888_MMX, 3, 0, 3), 1},
        {"alpha 32_888 blends the fourth byte", One(RGBAlpha32_888, 4, 0xFF000000, 0x01000000), 0x80000000},
    };
    for (const Case& c : at64)
        EXPECT_EQ(c.want, c.got) << c.what;
    SetAlphaParam(128);
    EXPECT_EQ(0xABCDEFu, One(RGBAlpha24_888, 3, 0x123456, 0xABCDEF));
    SetAlphaParam(0);
    EXPECT_EQ(0x123456u, One(RGBAlpha24_888_MMX, 3, 0x123456, 0xABCDEF));

    const Case others[] = {
        {"add 24: 200 + 100 saturates", OneSat(RGBAdd24_888, 3, 200, 100), 255},
        {"sub 24: 100 - 200 floors", OneSat(RGBSub24_888, 3, 100, 200), 0},
        {"add 32_888 adds the fourth byte", OneSat(RGBAdd32_888, 4, 0x80000000, 0x90000000), 0xFF000000},
        {"half 32_8888 averages the fourth byte", One(RGBHalf32_8888, 4, 0xFF000000, 0x00000000), 0x7F000000},
    };
    for (const Case& c : others)
        EXPECT_EQ(c.want, c.got) << c.what;

    // Alpha-plane blends: alpha 255 copies, alpha 1 moves the plain routine
    // one step and the fast 32-bit one none, alpha 0 keeps; the fourth byte
    // stays.
    const uint8_t alpha[] = {255, 1, 0};
    const uint32_t src[] = {0x11FFFFFF, 0x22FFFFFF, 0x33FFFFFF};
    uint32_t plain[] = {0xAA000000, 0xBB000000, 0xCC000000};
    uint32_t fast[] = {0xAA000000, 0xBB000000, 0xCC000000};
    RGBAlphaOutChannel32(plain, src, alpha, 3);
    RGBAlphaOutChannel32_MMX(fast, src, alpha, 3);
    EXPECT_EQ((std::vector<uint32_t>{0xAAFFFFFF, 0xBB010101, 0xCC000000}), std::vector<uint32_t>(plain, plain + 3));
    if (kFastDiffers) {
        EXPECT_EQ((std::vector<uint32_t>{0xAAFFFFFF, 0xBB000000, 0xCC000000}), std::vector<uint32_t>(fast, fast + 3));
    }

    // Tone: 0x808080 keeps, 0xFF0000 scales red by 255/128 and clears the
    // rest; the plain 32-bit routine keeps dst's fourth byte, the fast one
    // scales the source's by the top byte.
    const uint8_t grey[] = {100, 100, 100};
    uint8_t toned[3];
    RGBTone24(toned, grey, 0x00808080, 1);
    EXPECT_EQ(0x646464u, LoadLE(toned, 3));
    RGBTone24_MMX(toned, grey, 0x00FF0000, 1);
    EXPECT_EQ(0xC70000u, LoadLE(toned, 3));
    const uint32_t quad = 0x40646464;
    uint32_t dst32 = 0x99000000;
    RGBTone32(&dst32, &quad, 0xFF808080, 1);
    EXPECT_EQ(0x99646464u, dst32);
    RGBTone32_MMX(&dst32, &quad, 0xFF808080, 1);
    EXPECT_EQ(kFastDiffers ? 0x7F646464u : 0x99646464u, dst32);

    // Extract: 239 and 240 give 0, 241 gives 17, 255 gives 255.
    const uint8_t levels[] = {239, 240, 241, 255};
    uint8_t extracted[4];
    RGBExtractAlpha(extracted, levels, 0, 4);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 17, 255}), std::vector<uint8_t>(extracted, extracted + 4));

    // Sepia of white.
    const uint8_t white[] = {255, 255, 255};
    uint8_t sepia[3];
    pendar::blend::Sepia24(sepia, white, 1);
    EXPECT_EQ((std::vector<uint8_t>{127, 204, 255}), std::vector<uint8_t>(sepia, sepia + 3));
}

// ---- against pixman, where its arithmetic is the engine's ---------------------------------

struct PixmanImage {
    pixman_image_t* image;
    explicit PixmanImage(pixman_format_code_t format, int w, int h, uint8_t* bits, int stride)
        : image(pixman_image_create_bits(format, w, h, reinterpret_cast<uint32_t*>(bits), stride))
    {
    }
    ~PixmanImage() { pixman_image_unref(image); }
};

TEST(BlendRows, SaturatingAddAndSixteenBitConversionsAgreeWithPixman)
{
    for (int caseNo = 0; caseNo < 200; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(340000 + caseNo);
        const int w = random.Between(1, 40), h = random.Between(1, 6);
        const int kind = caseNo % 4; // ADD 32, ADD 24, 8888 -> 565, 565 -> 8888
        const int srcBpp = kind == 1 ? 3 : kind == 3 ? 2 : 4;
        const int dstBpp = kind == 1 ? 3 : kind == 2 ? 2 : 4;
        // pixman rows are whole 32-bit words apart.
        const int srcStride = (w * srcBpp + 3) / 4 * 4 + 4 * random.Between(0, 2);
        const int dstStride = (w * dstBpp + 3) / 4 * 4 + 4 * random.Between(0, 2);
        std::vector<uint8_t> src = random.Bytes(size_t(srcStride) * h);
        std::vector<uint8_t> dst = random.Bytes(size_t(dstStride) * h);
        std::vector<uint8_t> ours = dst;
        const bool fast = random.Chance(50);
        for (int y = 0; y < h; ++y) {
            uint8_t* d = ours.data() + size_t(y) * dstStride;
            const uint8_t* s = src.data() + size_t(y) * srcStride;
            switch (kind) {
            case 0: (fast ? RGBAdd32_8888_MMX : RGBAdd32_8888)(d, s, unsigned(w)); break;
            case 1: (fast ? RGBAdd24_888_MMX : RGBAdd24_888)(d, s, unsigned(w)); break;
            case 2: RGBQUADcpyTo16_565(d, s, unsigned(w)); break;
            default: RGBQUADcpyFrom16_565(d, s, unsigned(w)); break;
            }
        }
        const pixman_format_code_t formats[] = {PIXMAN_a8r8g8b8, PIXMAN_r8g8b8, PIXMAN_r5g6b5};
        PixmanImage ps(kind == 1 ? formats[1] : kind == 3 ? formats[2] : formats[0], w, h, src.data(), srcStride);
        PixmanImage pd(kind == 1 ? formats[1] : kind == 2 ? formats[2] : formats[0], w, h, dst.data(), dstStride);
        pixman_image_composite32(kind < 2 ? PIXMAN_OP_ADD : PIXMAN_OP_SRC, ps.image, nullptr, pd.image, 0, 0, 0, 0,
                                 0, 0, w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const size_t at = size_t(y) * dstStride + size_t(x) * dstBpp;
                uint32_t want = LoadLE(dst.data() + at, dstBpp);
                uint32_t got = LoadLE(ours.data() + at, dstBpp);
                if (kind == 3) { // pixman makes the fourth byte opaque; the engine 0
                    want &= 0xFFFFFF;
                    got &= 0xFFFFFF;
                }
                ASSERT_EQ(want, got) << x << "," << y;
            }
        }
    }
}

} // namespace
