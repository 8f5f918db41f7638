// Pattern transfers against a per-pixel model: every pattern pixel (i, j)
// belongs at column x + i (mirrored: x + w - 1 - i) and row y + j, if that is
// inside the buffer and neither the key nor the mask drops it. Seeded random
// cases (buffer and pattern sizes, positions off every edge, pitches with
// slack and negative pitches, keys, masks, all three depths) compare the
// whole buffer with the model; a failing case is replayed by its number.
#include "raster/ZoRGBBits.h"

#include "BmpFixture.h"
#include "PixelFixture.h"
#include "RasterTestUtil.h"
#include "raster/PixelRows.h"
#include "raster/Zooming.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using pendar::test::Buffer;
using pendar::test::Image;
using pendar::test::LoadLE;
using pendar::test::Mask;
using pendar::test::ModelConvert;
using pendar::test::Pattern;
using pendar::test::PixelRandom;
using pendar::test::Snapshot;
using pendar::test::StoreLE;

struct Options {
    bool reverse = false;
    bool useKey = false;
    uint32_t key = 0;
    std::vector<uint8_t> maskBits; // none: no mask
    int maskWidth = 0;
    int maskHeight = 0;

    void RandomMask(PixelRandom& random, int maxWidth, int maxHeight)
    {
        maskWidth = random.Between(1, maxWidth);
        maskHeight = random.Between(1, maxHeight);
        maskBits = random.Bytes(size_t((maskWidth + 7) / 8) * maskHeight);
    }
};

void ModelPut(Image& dst, const Image& src, int x, int y, const Options& o)
{
    const int maskRow = (o.maskWidth + 7) / 8;
    for (int j = 0; j < src.h; ++j) {
        for (int i = 0; i < src.w; ++i) {
            const int cx = o.reverse ? x + src.w - 1 - i : x + i;
            const int cy = y + j;
            if (cx < 0 || cx >= dst.w || cy < 0 || cy >= dst.h)
                continue;
            const uint32_t v = src.px[size_t(j) * src.w + i];
            if (o.useKey && v == o.key)
                continue;
            if (!o.maskBits.empty()) {
                const int bit = i % o.maskWidth;
                if (!(o.maskBits[size_t(j % o.maskHeight) * maskRow + bit / 8] & (0x80 >> (bit % 8))))
                    continue;
            }
            dst.At(cx, cy) = v;
        }
    }
}

const TPixFormat kDepthFormats[] = {pf16_565, pf24_888, pf32_8888};

TEST(Transfer, PatternsFollowThePixelModel)
{
    for (int caseNo = 0; caseNo < 3000; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(700000 + caseNo);
        const TPixFormat format = kDepthFormats[random.Below(3)];
        Buffer b(random.Between(1, 12), random.Between(1, 12), format);
        b.Randomise(random);
        const int bpp = b.BitDepth();
        const int w = random.Between(0, 14);
        const int h = random.Between(0, 14);
        const int x = random.Between(-15, 15);
        const int y = random.Between(-15, 15);
        Pattern pat(random, w, h, bpp, random.Chance(30), random.Chance(50) ? random.Between(1, 9) : 0);

        Options o;
        o.reverse = random.Chance(40);
        b.SetReverse(o.reverse);
        const int kind = int(random.Below(3)); // 0 plain, 1 keyed, 2 masked
        if (kind == 1) {
            o.useKey = true;
            o.key = w > 0 && h > 0 && random.Chance(85) ? pat.img.px[random.Below(uint32_t(w * h))] : random.Below(0xFFFFFFFF) & Mask(bpp);
        } else if (kind == 2) {
            o.RandomMask(random, 19, 5);
        }

        Image want = Snapshot(b);
        ModelPut(want, pat.img, x, y, o);
        std::vector<TZoRect> flushed;
        b.SetOnChange([&](TZoRGBBits* s) { flushed.push_back(s->GetModifiedRect()); });
        bool ok = kind == 0   ? b.PutPatPitch(x, y, w, h, pat.first, pat.pitch)
                  : kind == 1 ? b.PasPatPitch(x, y, w, h, pat.first, pat.pitch, o.key)
                              : b.ZoPutPatM(x, y, w, h, pat.first, pat.pitch, o.maskBits.data(), o.maskWidth, o.maskHeight);
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(b));
        if (kind != 2 && w > 0 && h > 0) {
            TZoRect expected;
            expected.IntersectRect(TZoRect(x, y, x + w, y + h), TZoRect(0, 0, b.Width(), b.Height()));
            ASSERT_EQ(std::vector<TZoRect>{expected}, flushed);
        }
    }
}

// Buffer to buffer, the source being another buffer or the destination
// itself (overlapping in every direction): the model reads the source as it
// was before the transfer.
TEST(Transfer, DrawFollowsThePixelModelAlsoWithinOneBuffer)
{
    for (int caseNo = 0; caseNo < 1500; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(800000 + caseNo);
        const TPixFormat format = kDepthFormats[random.Below(3)];
        Buffer dst(random.Between(1, 12), random.Between(1, 12), format);
        dst.Randomise(random);
        Buffer other(random.Between(1, 12), random.Between(1, 12), format);
        other.Randomise(random);
        const bool self = random.Chance(50);
        Buffer& src = self ? dst : other;
        const int sw = random.Between(0, src.Width());
        const int sh = random.Between(0, src.Height());
        const int sx = random.Between(0, src.Width() - sw);
        const int sy = random.Between(0, src.Height() - sh);
        const int x = random.Between(-6, 12);
        const int y = random.Between(-6, 12);

        Options o;
        o.reverse = random.Chance(40);
        dst.SetReverse(o.reverse);
        const int kind = int(random.Below(3)); // 0 Draw, 1 DrawTLKey, 2 DrawMask
        if (kind == 1) {
            o.useKey = true;
            o.key = src.TopLeftGet();
        } else if (kind == 2) {
            o.RandomMask(random, 12, 4);
        }
        Image before = Snapshot(src);
        Image piece{sw, sh, {}};
        for (int j = 0; j < sh; ++j) {
            for (int i = 0; i < sw; ++i)
                piece.px.push_back(before.At(sx + i, sy + j));
        }
        Image want = Snapshot(dst);
        ModelPut(want, piece, x, y, o);
        bool ok = kind == 0   ? dst.Draw(x, y, &src, sx, sy, sw, sh)
                  : kind == 1 ? dst.DrawTLKey(x, y, &src, sx, sy, sw, sh)
                              : dst.DrawMask(x, y, &src, sx, sy, sw, sh, o.maskBits.data(), o.maskWidth, o.maskHeight);
        ASSERT_TRUE(ok);
        ASSERT_EQ(want, Snapshot(dst));
        ASSERT_EQ(0, dst.LockCount());
        ASSERT_EQ(0, src.LockCount());
    }
}

using pendar::test::kAllFormats;

TEST(Transfer, ConvertAndIndexColourFollowThePixelModel)
{
    int caseNo = 0;
    for (TPixFormat to : kAllFormats) {
        for (TPixFormat from : kAllFormats) {
            for (int round = 0; round < 12; ++round, ++caseNo) {
                SCOPED_TRACE(testing::Message() << "case " << caseNo << " from " << int(from) << " to " << int(to));
                PixelRandom random(900000 + caseNo);
                Buffer b(random.Between(1, 9), random.Between(1, 9), to);
                b.Randomise(random);
                const int w = random.Between(0, 11);
                const int h = random.Between(0, 11);
                const int x = random.Between(-12, 10);
                const int y = random.Between(-12, 10);
                const bool indexed = round % 3 == 2;
                Pattern pat(random, w, h, indexed ? 1 : FormatAndDepthTable[from], random.Chance(30),
                            random.Between(0, 5));
                std::vector<uint8_t> palette = random.Bytes(1024);

                Image want = Snapshot(b);
                Image converted = pat.img;
                for (uint32_t& v : converted.px) {
                    if (indexed) {
                        uint32_t entry = LoadLE(palette.data() + v * 4, 4);
                        v = b.BitDepth() == 2 ? RGBtoProcTable[to](entry) : entry;
                    } else {
                        v = ModelConvert(from, to, v);
                    }
                    v &= Mask(b.BitDepth());
                }
                ModelPut(want, converted, x, y, Options{});
                ASSERT_TRUE(indexed ? b.ZoIndexColor(x, y, w, h, pat.first, reinterpret_cast<RGBQUAD*>(palette.data()),
                                                     pat.pitch)
                                    : b.ZoConvert(x, y, w, h, pat.first, from, pat.pitch));
                ASSERT_EQ(want, Snapshot(b));
            }
        }
    }
}

TEST(Transfer, GetPatCopiesOutAndLeavesWhatIsOutside)
{
    for (int caseNo = 0; caseNo < 300; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(990000 + caseNo);
        Buffer b(random.Between(1, 10), random.Between(1, 10), kDepthFormats[caseNo % 3]);
        b.Randomise(random);
        const int bpp = b.BitDepth();
        const int w = random.Between(1, 12), h = random.Between(1, 12);
        const int x = random.Between(-12, 10), y = random.Between(-12, 10);
        std::vector<uint8_t> out = random.Bytes(size_t(w) * h * bpp);
        std::vector<uint8_t> want = out;
        Image img = Snapshot(b);
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                if (x + i >= 0 && x + i < b.Width() && y + j >= 0 && y + j < b.Height())
                    StoreLE(&want[(size_t(j) * w + i) * bpp], bpp, img.At(x + i, y + j));
            }
        }
        ASSERT_TRUE(b.GetPat(x, y, w, h, out.data()));
        ASSERT_EQ(want, out);
    }
}

// ---- the named behaviours --------------------------------------------------

TEST(Transfer, DrawNeedsTheWholeSourceRectangleClipDrawTrimsIt)
{
    Buffer src(4, 3, pf24_888);
    src.BoxFill(0, 0, 3, 2, 0x112233);
    Buffer dst(10, 10, pf24_888);
    EXPECT_FALSE(dst.Draw(0, 0, &src, 0, 0, 5, 3));
    EXPECT_FALSE(dst.Draw(0, 0, &src, -1, 0, 2, 2));
    EXPECT_EQ(0u, dst.PGet(0, 0));
    EXPECT_TRUE(dst.ClipDraw(2, 2, &src, -1, 0, 6, 3));
    // The trimmed left edge moves the destination: column 3 is source column 0.
    EXPECT_EQ(0u, dst.PGet(2, 2));
    EXPECT_EQ(0x112233u, dst.PGet(3, 2));
    EXPECT_EQ(0x112233u, dst.PGet(6, 4));
    EXPECT_EQ(0u, dst.PGet(7, 2));
    EXPECT_TRUE(dst.ClipDraw(0, 0, &src, 10, 10, 2, 2)); // nothing left
    dst.SetReverse(true);
    EXPECT_FALSE(dst.ClipDraw(0, 0, &src, 0, 0, 1, 1));

    std::vector<TZoRect> flushed;
    Buffer edge(10, 10, pf24_888);
    edge.SetOnChange([&](TZoRGBBits* s) { flushed.push_back(s->GetModifiedRect()); });
    EXPECT_TRUE(edge.Draw(-2, 1, &src, 0, 0, 4, 3));
    EXPECT_EQ(std::vector<TZoRect>{TZoRect(0, 1, 2, 4)}, flushed);

    TZoRGBBits idle;
    EXPECT_FALSE(dst.Draw(0, 0, &idle, 0, 0, 1, 1));
    EXPECT_FALSE(dst.Draw(0, 0, nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(idle.Draw(0, 0, &src, 0, 0, 1, 1));
}

TEST(Transfer, FormatsMustBeCompatibleExceptForConvertCopy)
{
    Buffer src(2, 1, pf24_888);
    src.PSet(0, 0, 0x00ABCDEF);
    Buffer quad(2, 1, pf32_888);
    EXPECT_FALSE(quad.Draw(0, 0, &src, 0, 0, 2, 1));
    EXPECT_TRUE(quad.ConvertCopy(0, 0, &src, 0, 0, 2, 1));
    EXPECT_EQ(0x00ABCDEFu, quad.PGet(0, 0));

    // The two 32-bit formats copy bytes, the fourth one included.
    Buffer alpha(2, 1, pf32_8888);
    alpha.PSet(1, 0, 0x80112233);
    EXPECT_TRUE(quad.Draw(0, 0, &alpha, 0, 0, 2, 1));
    EXPECT_EQ(0x80112233u, quad.PGet(1, 0));

    // Between two 16-bit formats through 24-bit values.
    Buffer from565(1, 1, pf16_565);
    from565.PSet(0, 0, 0xFFFF);
    Buffer to555(1, 1, pf16_555);
    EXPECT_TRUE(to555.ConvertCopy(0, 0, &from565, 0, 0, 1, 1));
    EXPECT_EQ(0x7FFFu, to555.PGet(0, 0));
    EXPECT_FALSE(to555.ZoConvert(0, 0, 1, 1, from565.Bits(), pfNone, 2));
}

TEST(Transfer, MirroredDrawing)
{
    Buffer src(3, 1, pf24_888);
    src.PSet(0, 0, 0xA);
    src.PSet(1, 0, 0xB);
    src.PSet(2, 0, 0xC);
    struct Case {
        int x;
        std::vector<uint32_t> row;
    } cases[] = {
        {0, {0xC, 0xB, 0xA, 0, 0}},
        {-1, {0xB, 0xA, 0, 0, 0}},
        {3, {0, 0, 0, 0xC, 0xB}}, // x = Width - 2
    };
    for (const Case& c : cases) {
        Buffer dst(5, 1, pf24_888);
        dst.SetReverse(true);
        ASSERT_TRUE(dst.Draw(c.x, 0, &src, 0, 0, 3, 1));
        EXPECT_EQ(c.row, Snapshot(dst).px) << c.x;
    }
    Buffer plain(5, 1, pf24_888);
    EXPECT_FALSE(plain.ZoPutPatR(0, 0, 3, 1, src.Bits(), 9, false, 0)); // Reverse not set
}

TEST(Transfer, TopLeftKeyAndColourKey)
{
    const uint32_t magenta = 0xFF00FF;
    Buffer src(3, 2, pf24_888);
    src.BoxFill(0, 0, 2, 1, magenta);
    src.PSet(1, 0, 0x123456);
    src.PSet(2, 1, 0x654321);
    Buffer dst(3, 2, pf24_888);
    dst.BoxFill(0, 0, 2, 1, 0x777777);
    ASSERT_TRUE(dst.DrawTLKey(0, 0, &src, 0, 0, 3, 2));
    EXPECT_EQ((std::vector<uint32_t>{0x777777, 0x123456, 0x777777, 0x777777, 0x777777, 0x654321}), Snapshot(dst).px);

    Buffer keyed(3, 2, pf16_565);
    Buffer src16(3, 2, pf16_565);
    src16.BoxFill(0, 0, 2, 1, keyed.TZoRGBtoPixel(ZoRGB(0, 255, 0)));
    src16.PSet(0, 0, 0x1234);
    ASSERT_TRUE(keyed.DrawKey(0, 0, &src16, 0, 0, 3, 2, ZoRGB(0, 255, 0)));
    EXPECT_EQ((std::vector<uint32_t>{0x1234, 0, 0, 0, 0, 0}), Snapshot(keyed).px);
}

TEST(Transfer, MasksNeedAtLeastOneBitEachWay)
{
    Buffer b(4, 4, pf24_888);
    const uint8_t mask = 0xFF;
    uint8_t pattern[12] = {};
    EXPECT_FALSE(b.ZoPutPatM(0, 0, 4, 1, pattern, 12, &mask, 0, 1));
    EXPECT_FALSE(b.ZoPutPatM(0, 0, 4, 1, pattern, 12, &mask, 1, 0));
    EXPECT_FALSE(b.ZoPutPatM(0, 0, 4, 1, pattern, 12, nullptr, 1, 1));
    EXPECT_FALSE(b.PasMPat(0, 0, 4, 1, pattern, &mask, -1, 1));
    EXPECT_TRUE(b.PasMPat(0, 0, 4, 1, pattern, &mask, 8, 1));
}

TEST(Transfer, IndexColorCopyAddressesTheSourceRectangle)
{
    Buffer b(2, 1, pf32_888);
    std::vector<RGBQUAD> palette(256, RGBQUAD{0, 0, 0, 0});
    palette[5] = RGBQUAD{1, 2, 3, 4};
    palette[6] = RGBQUAD{5, 6, 7, 8};
    const uint8_t indices[] = {0, 0, 0, 0, 5, 6};
    EXPECT_TRUE(b.IndexColorCopy(0, 0, indices, palette.data(), 1, 1, 2, 1, 3));
    EXPECT_EQ((std::vector<uint32_t>{0x04030201, 0x08070605}), Snapshot(b).px);
    EXPECT_FALSE(b.IndexColorCopy(0, 0, nullptr, palette.data(), 0, 0, 1, 1, 1));
}

TEST(Transfer, DrawBmpStreamSizesAFreshBufferToThePicture)
{
    pendar::test::BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    const std::vector<uint8_t> file = pendar::test::MakeBmp(spec, std::vector<uint8_t>(18, 0x40));

    TZoRGBBits fresh;
    fresh.SetPixFormat(pf32_888);
    TMemoryStream s(file);
    ASSERT_TRUE(fresh.DrawBmpStream(&s, 10, 5));
    ASSERT_TRUE(fresh.Created());
    EXPECT_EQ(13, fresh.Width());
    EXPECT_EQ(7, fresh.Height());
    Image img = Snapshot(fresh);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(x >= 10 && y >= 5 ? 0x404040u : 0u, img.At(x, y)) << x << "," << y;
    }

    // A created buffer keeps its size; the picture is clipped.
    Buffer small(2, 2, pf24_888);
    TMemoryStream again(file);
    ASSERT_TRUE(small.DrawBmpStream(&again, 1, 1));
    EXPECT_EQ(2, small.Width());
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 0, 0x404040}), Snapshot(small).px);

    // Decoding failures leave a fresh buffer as it was.
    std::vector<uint8_t> cut(file.begin(), file.end() - 1);
    TMemoryStream broken(cut);
    TZoRGBBits untouched;
    EXPECT_FALSE(untouched.DrawBmpStream(&broken, 0, 0));
    EXPECT_FALSE(untouched.Created());
    EXPECT_EQ(640, untouched.Width());
}

TEST(Zooming, NearestNeighbourBothWays)
{
    // Enlarging 2 -> 4 doubles every sample; shrinking 4 -> 2 keeps the last
    // sample of each pair.
    const uint8_t two[] = {1, 2, 3, 4}; // 2 x 2
    uint8_t four[16] = {};
    Zooming(two, 2, 2, 2, four, 4, 4, 4);
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}), std::vector<uint8_t>(four, four + 16));
    uint8_t back[4] = {};
    const uint8_t ramp[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    Zooming(ramp, 4, 4, 4, back, 2, 2, 2);
    EXPECT_EQ((std::vector<uint8_t>{6, 8, 14, 16}), std::vector<uint8_t>(back, back + 4));

    // 3 -> 5 wide with pitches larger than the rows; the slack stays.
    const TZoRGB row[4] = {ZoRGB(1, 0, 0), ZoRGB(2, 0, 0), ZoRGB(3, 0, 0), ZoRGB(9, 9, 9)};
    TZoRGB out[2][6];
    for (auto& r : out)
        for (auto& p : r)
            p = ZoRGB(7, 7, 7);
    EXPECT_EQ(2, Zooming24(row, 3, 1, 4, &out[0][0], 5, 2, 6));
    for (int y = 0; y < 2; ++y) {
        std::vector<int> reds;
        for (int x = 0; x < 6; ++x)
            reds.push_back(out[y][x].Red);
        EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 3, 7}), reds);
    }
    EXPECT_EQ(0, Zooming24(row, 3, 0, 4, &out[0][0], 5, 0, 6));
    EXPECT_EQ(0, Zooming24(row, 3, 0, 4, &out[0][0], 5, 2, 6)); // no source rows to read
}

} // namespace
