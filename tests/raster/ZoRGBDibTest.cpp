// Display buffers: the section's row order, row size, pitch sign, header and
// masks; drawing through the buffer lands in the stored rows a display layer
// reads; the memory context protocol; and the bound bitmap's life (given the
// section, told of every flush, moved along on Resize, unbound on Release or
// when it goes away).
#include "raster/ZoRGBDib.h"

#include "PixelFixture.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using pendar::test::LoadLE;
using pendar::test::PixelRandom;

const auto& kFormats = pendar::test::kAllFormats;

struct Dib : TZoRGBDib {
    Dib(int w, int h, TPixFormat f = pf24_888, TDIBDirection d = ddBottomUp)
    {
        SetPixFormat(f);
        SetDirection(d);
        Resize(w, h);
        EXPECT_TRUE(Create());
    }
};

// Counts what the buffer tells its bitmap.
struct RecordingBitmap : TZoDibBitmap {
    int handleChanges = 0;
    int changes = 0;

protected:
    void HandleChanged() override { ++handleChanges; }
    void Changed() override
    {
        ++changes;
        SetModified(false); // as a view does once it has painted
    }
};

// The stored row of top-down row y.
size_t StoredRow(const TZoDibSection& s, int y)
{
    return s.Direction() == ddTopDown ? size_t(y) : size_t(s.Height() - 1 - y);
}

TEST(ZoRGBDib, SectionLayoutFollowsDepthDirectionAndWidth)
{
    for (TPixFormat f : kFormats) {
        for (TDIBDirection d : {ddBottomUp, ddTopDown}) {
            for (int w : {1, 2, 3, 5, 160}) {
                SCOPED_TRACE(testing::Message() << "format " << int(f) << " direction " << int(d) << " width " << w);
                const int h = w == 160 ? 160 : 3;
                Dib b(w, h, f, d);
                const int bpp = FormatAndDepthTable[f];
                const int row = (w * bpp + 3) / 4 * 4;
                const TZoDibSection& s = *b.Section();
                EXPECT_EQ(size_t(row), s.RowBytes());
                EXPECT_EQ(d == ddTopDown ? row : -row, b.Pitch());
                EXPECT_EQ(s.Memory() + (d == ddTopDown ? 0 : size_t(h - 1) * row), b.Bits());

                const BITMAPINFOHEADER& hd = s.Header();
                EXPECT_EQ(40u, hd.biSize);
                EXPECT_EQ(w, hd.biWidth);
                EXPECT_EQ(d == ddTopDown ? -h : h, hd.biHeight);
                EXPECT_EQ(1, hd.biPlanes);
                EXPECT_EQ(bpp * 8, hd.biBitCount);
                EXPECT_EQ(uint32_t(row * h), hd.biSizeImage);
                EXPECT_EQ(0u, hd.biClrUsed);
                EXPECT_EQ(0, hd.biXPelsPerMeter);
                const bool fields = bpp != 3;
                EXPECT_EQ(fields ? BI_BITFIELDS : BI_RGB, hd.biCompression);
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(fields ? RGBBitMask[f][c] : 0u, s.Masks()[c]);
                EXPECT_EQ(nullptr, s.Colours());

                std::vector<uint8_t> zeros(s.SizeImage(), 0);
                EXPECT_EQ(0, std::memcmp(zeros.data(), s.Memory(), zeros.size()));
            }
        }
    }
}

TEST(ZoRGBDib, TheMainWindowsBuffers)
{
    Dib main(160, 160);
    EXPECT_EQ(-480, main.Pitch());
    EXPECT_EQ(main.Section()->Memory() + 159 * 480, main.Bits()); // (0, 0) starts the last stored row
    main.PSet(0, 0, 0x123456);
    EXPECT_EQ(0x123456u, LoadLE(main.Section()->Memory() + 159 * 480, 3));

    Dib balloon(256, 128, pf24_888, ddTopDown);
    EXPECT_EQ(768, balloon.Pitch());
    EXPECT_EQ(balloon.Section()->Memory(), balloon.Bits());
}

// Random drawing on a plain buffer and on display buffers of both directions
// gives the same pixels; the display buffers keep every row's padding bytes
// zero (drawing never assumes packed rows).
TEST(ZoRGBDib, DrawingMatchesAPlainBufferAndLeavesRowPaddingAlone)
{
    for (int caseNo = 0; caseNo < 300; ++caseNo) {
        SCOPED_TRACE(testing::Message() << "case " << caseNo);
        PixelRandom random(610000 + caseNo);
        const TPixFormat f = kFormats[random.Below(7)];
        const int w = random.Between(1, 13);
        const int h = random.Between(1, 9);
        TZoRGBBits plain;
        plain.SetPixFormat(f);
        plain.Resize(w, h);
        ASSERT_TRUE(plain.Create());
        Dib up(w, h, f, ddBottomUp);
        Dib down(w, h, f, ddTopDown);
        TZoRGBBits* all[] = {&plain, &up, &down};
        const int bpp = plain.BitDepth();

        std::vector<uint8_t> pattern = random.Bytes(size_t(16) * 16 * 4);
        for (int step = 0; step < 12; ++step) {
            const int x1 = random.Between(-4, w + 3), y1 = random.Between(-4, h + 3);
            const int x2 = random.Between(-4, w + 3), y2 = random.Between(-4, h + 3);
            const uint32_t c = random.Below(0xFFFFFFFF) & (bpp == 4 ? 0xFFFFFFFFu : (1u << (8 * bpp)) - 1);
            const int op = int(random.Below(6));
            const int pw = random.Between(1, 6);
            const bool reverse = random.Chance(30);
            for (TZoRGBBits* b : all) {
                b->SetReverse(reverse);
                switch (op) {
                case 0: b->PSet(x1, y1, c); break;
                case 1: b->Line(x1, y1, x2, y2, c); break;
                case 2: b->BoxFill(x1, y1, x2, y2, c); break;
                case 3: b->Box(x1, y1, x2, y2, c); break;
                case 4: b->PutPat(x1, y1, pw, 4, pattern.data()); break;
                default: b->Cls(); break;
                }
            }
        }
        for (Dib* d : {&up, &down}) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(plain.PGet(x, y), d->PGet(x, y)) << x << "," << y;
                const TZoDibSection& s = *d->Section();
                const uint8_t* stored = s.Memory() + StoredRow(s, y) * s.RowBytes();
                for (size_t i = size_t(w) * bpp; i < s.RowBytes(); ++i)
                    ASSERT_EQ(0, stored[i]) << "padding of row " << y;
            }
        }
    }
}

TEST(ZoRGBDib, DepthFormatAndDirectionSetters)
{
    TZoRGBDib b;
    b.SetBitDepth(bd8);
    b.SetBitDepth(bdNone);
    EXPECT_EQ(bd24, b.BitDepth());
    b.SetPixFormat(pfNone);
    EXPECT_EQ(pf24_888, b.PixFormat());
    b.SetBitDepth(bd16);
    EXPECT_EQ(pf16_565, b.PixFormat());
    b.SetPixFormat(pf32_8888);
    EXPECT_EQ(bd32, b.BitDepth());

    b.SetDirection(ddTopDown);
    b.Resize(4, 4);
    ASSERT_TRUE(b.Create());
    b.SetDirection(ddBottomUp); // ignored while created
    EXPECT_EQ(ddTopDown, b.Direction());
    EXPECT_EQ(16, b.Pitch());
    EXPECT_TRUE(b.HaveDC());

    TZoRGBDib huge;
    huge.Resize(100000, 100000);
    EXPECT_FALSE(huge.Create());
    EXPECT_EQ(nullptr, huge.Section());
}

TEST(ZoRGBDib, ResizeMakesANewZeroSectionOrKeepsTheOld)
{
    Dib b(3, 2);
    b.PSet(1, 1, 0xABCDEF);
    std::weak_ptr<TZoDibSection> old = b.Section();
    EXPECT_FALSE(b.Resize(100000, 100000));
    EXPECT_EQ(old.lock(), b.Section());
    ASSERT_TRUE(b.Lock());
    EXPECT_FALSE(b.Resize(5, 5));
    b.Unlock();

    ASSERT_TRUE(b.Resize(5, 4));
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(-16, b.Pitch());
    EXPECT_EQ(0u, b.PGet(1, 1));
    EXPECT_EQ(5, b.Section()->Width());
    EXPECT_EQ(b.Section()->TopRow(), b.Bits());
}

TEST(ZoRGBDib, OneMemoryContextAtATime)
{
    TZoRGBDib idle;
    void* dc = nullptr;
    EXPECT_FALSE(idle.GetDC(&dc));

    Dib b(4, 4);
    EXPECT_TRUE(b.ReleaseDC(nullptr)); // none out
    void* first = nullptr;
    ASSERT_TRUE(b.GetDC(&first));
    EXPECT_EQ(b.Section(), static_cast<TZoDibDC*>(first)->Section());
    void* second = nullptr;
    EXPECT_FALSE(b.GetDC(&second));
    EXPECT_FALSE(b.ReleaseDC(&second)); // not the one out

    // The open context follows the buffer to its new section.
    ASSERT_TRUE(b.Resize(8, 8));
    EXPECT_EQ(b.Section(), static_cast<TZoDibDC*>(first)->Section());
    EXPECT_TRUE(b.ReleaseDC(first));
    EXPECT_TRUE(b.GetDC(&second));
    b.Release(); // closes it
    ASSERT_TRUE(b.Create());
    EXPECT_TRUE(b.GetDC(&second));
}

TEST(ZoRGBDib, BoundBitmapShowsTheSectionAndRepaintsOncePerFlush)
{
    RecordingBitmap bitmap;
    TZoRGBDib b;
    b.Resize(6, 4);
    b.SetBitmap(&bitmap);
    EXPECT_EQ(&bitmap, b.Bitmap());
    EXPECT_EQ(&b, bitmap.Owner());
    EXPECT_EQ(nullptr, bitmap.Handle()); // nothing to show before Create
    b.Loaded();
    ASSERT_TRUE(b.Created());
    EXPECT_EQ(b.Section(), bitmap.Handle());
    EXPECT_EQ(1, bitmap.handleChanges);

    b.PSet(1, 1, 5);
    b.BoxFill(0, 0, 2, 2, 7);
    b.Line(0, 0, 5, 3, 1);
    EXPECT_EQ(3, bitmap.changes);
    b.ModifiedOff();
    b.PSet(1, 1, 5);
    b.Box(0, 0, 3, 3, 5);
    EXPECT_EQ(3, bitmap.changes);
    b.ModifiedOn();
    EXPECT_EQ(4, bitmap.changes);
    EXPECT_FALSE(b.PSet(10, 10, 1)); // nothing drawn, nothing to repaint
    EXPECT_EQ(4, bitmap.changes);

    // With a bitmap, GetDC lends its canvas; no memory context is used.
    void* dc = nullptr;
    ASSERT_TRUE(b.GetDC(&dc));
    EXPECT_EQ(bitmap.Canvas(), dc);
    EXPECT_EQ(b.Section(), bitmap.Canvas()->Section());
    ASSERT_TRUE(b.GetDC(&dc));
    EXPECT_TRUE(b.ReleaseDC(dc));

    // Resize hands the new section over and frees the old one.
    std::weak_ptr<TZoDibSection> old = b.Section();
    ASSERT_TRUE(b.Resize(9, 9));
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(b.Section(), bitmap.Handle());

    // Release takes the section back and unbinds the bitmap.
    old = b.Section();
    b.Release();
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(nullptr, bitmap.Handle());
    EXPECT_EQ(nullptr, b.Bitmap());
    EXPECT_EQ(nullptr, bitmap.Owner());
}

TEST(ZoRGBDib, ABitmapBindsToOneBufferAtATime)
{
    RecordingBitmap bitmap;
    Dib a(2, 2);
    Dib b(3, 3);
    a.AssociateBitmap(&bitmap);
    EXPECT_EQ(a.Section(), bitmap.Handle());
    b.AssociateBitmap(&bitmap);
    EXPECT_EQ(nullptr, a.Bitmap());
    EXPECT_EQ(b.Section(), bitmap.Handle());
    a.PSet(0, 0, 1);
    EXPECT_EQ(0, bitmap.changes);
    b.PSet(0, 0, 1);
    EXPECT_EQ(1, bitmap.changes);
    b.ReleaseBitmap();
    EXPECT_EQ(nullptr, bitmap.Handle());
    EXPECT_TRUE(b.Created());

    // A buffer that goes away leaves its bitmap unbound and empty.
    {
        Dib brief(2, 2);
        brief.SetBitmap(&bitmap);
    }
    EXPECT_EQ(nullptr, bitmap.Owner());
    EXPECT_EQ(nullptr, bitmap.Handle());
}

TEST(ZoRGBDib, ABitmapGoingAwayLeavesTheBufferNotCreated)
{
    Dib b(4, 4);
    std::weak_ptr<TZoDibSection> section = b.Section();
    std::shared_ptr<TZoDibSection> viewCopy;
    void* dc = nullptr;
    {
        auto bitmap = std::make_unique<RecordingBitmap>();
        b.SetBitmap(bitmap.get());
        viewCopy = bitmap->Handle(); // a view still wrapping the memory
        ASSERT_TRUE(b.Lock());
        bitmap.reset();
    }
    EXPECT_FALSE(b.Created());
    EXPECT_EQ(nullptr, b.Bitmap());
    EXPECT_EQ(nullptr, b.Section());
    EXPECT_EQ(nullptr, b.Bits());
    EXPECT_FALSE(b.Locked());
    EXPECT_FALSE(b.GetDC(&dc));
    EXPECT_FALSE(section.expired()); // not freed under the view
    viewCopy.reset();
    EXPECT_TRUE(section.expired());
    ASSERT_TRUE(b.Create());
    EXPECT_TRUE(b.PSet(3, 3, 1));
}

TEST(ZoRGBDib, SectionsOfEightBitPlanesCarryAGreyPalette)
{
    auto s = TZoDibSection::Make(5, 2, pfNone, ddTopDown);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(8u, s->RowBytes());
    EXPECT_EQ(8, s->Header().biBitCount);
    EXPECT_EQ(BI_RGB, s->Header().biCompression);
    EXPECT_EQ(256u, s->Header().biClrUsed);
    EXPECT_EQ(-2, s->Header().biHeight);
    for (int i : {0, 1, 128, 255}) {
        const RGBQUAD& q = s->Colours()[i];
        EXPECT_TRUE(q.rgbBlue == i && q.rgbGreen == i && q.rgbRed == i && q.rgbReserved == 0) << i;
    }
    EXPECT_EQ(nullptr, TZoDibSection::Make(0, 2, pf24_888, ddTopDown));
    EXPECT_EQ(nullptr, TZoDibSection::Make(2, 2, static_cast<TPixFormat>(8), ddTopDown));
    EXPECT_EQ(nullptr, TZoDibSection::Make(2, 2, pf24_888, static_cast<TDIBDirection>(2)));
}

} // namespace
