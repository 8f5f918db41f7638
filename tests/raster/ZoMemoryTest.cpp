// The memory block routines against a plain element-by-element model, over
// seeded random rows, every element size, counts around the vector widths
// and misaligned starts, with guard bytes around the destination.
#include "raster/ZoMemory.h"
#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using pendar::test::Guarded;
using pendar::test::LoadLE;
using pendar::test::PixelRandom;
using pendar::test::StoreLE;

enum Mode { kReversed = 1, kKeyed = 2, kMasked = 4 };

// dst after the routine of `mode` copies `count` elements of n bytes.
std::vector<uint8_t> Model(int mode, int n, std::vector<uint8_t> dst, const std::vector<uint8_t>& src,
                           unsigned count, uint32_t key, const std::vector<uint8_t>& mask, unsigned maskWidth)
{
    uint32_t keyMask = n == 1 ? 0xFF : n == 2 ? 0xFFFF : 0xFFFFFFFF;
    for (unsigned i = 0; i < count; ++i) {
        unsigned from = (mode & kReversed) && !(mode & kMasked) ? count - 1 - i : i;
        unsigned to = (mode & kReversed) && (mode & kMasked) ? count - 1 - i : i;
        uint32_t v = LoadLE(src.data() + from * n, n);
        if ((mode & kKeyed) && v == (key & keyMask))
            continue;
        if (mode & kMasked) {
            unsigned bit = i % maskWidth;
            if (!(mask[bit / 8] & (0x80 >> (bit % 8))))
                continue;
        }
        StoreLE(dst.data() + to * n, n, v);
    }
    return dst;
}

void* RunCopy(int mode, int n, void* dst, const void* src, unsigned count, uint32_t key, const void* mask,
          unsigned maskWidth)
{
    switch (mode) {
    case kReversed: return ZoMemcpyRTable[n](dst, src, count);
    case kKeyed: return ZoMemcpyKTable[n](dst, src, count, key);
    case kReversed | kKeyed: return ZoMemcpyRKTable[n](dst, src, count, key);
    case kMasked: return ZoMemcpyMTable[n](dst, src, count, mask, maskWidth);
    default: return ZoMemcpyRMTable[n](dst, src, count, mask, maskWidth);
    }
}

TEST(ZoMemory, ElementCopiesFollowTheModel)
{
    PixelRandom random(6701);
    const int modes[] = {kReversed, kKeyed, kReversed | kKeyed, kMasked, kReversed | kMasked};
    int caseNo = 0;
    for (int mode : modes) {
        for (int n = 1; n <= 4; ++n) {
            for (int round = 0; round < 120; ++round, ++caseNo) {
                SCOPED_TRACE(testing::Message() << "case " << caseNo << " mode " << mode << " size " << n);
                const unsigned count = random.Below(70);
                std::vector<uint8_t> src = random.Bytes(count * n);
                // Keys are mostly taken from the source so that they match;
                // sometimes they carry bits above the element.
                uint32_t key = count && random.Chance(80) ? LoadLE(src.data() + random.Below(count) * n, n)
                                                          : random.Below(0xFFFFFFFF);
                if (random.Chance(20))
                    key |= 0xFF000000;
                const unsigned maskWidth = 1 + random.Below(20);
                std::vector<uint8_t> mask = random.Bytes((maskWidth + 7) / 8);
                Guarded dst(count * n);
                std::vector<uint8_t> before = random.Bytes(count * n);
                std::copy(before.begin(), before.end(), dst.Data());

                ASSERT_EQ(dst.Data(), RunCopy(mode, n, dst.Data(), src.data(), count, key, mask.data(), maskWidth));
                ASSERT_TRUE(dst.GuardsIntact());
                ASSERT_EQ(Model(mode, n, before, src, count, key, mask, maskWidth), dst.Contents());
            }
        }
    }
}

TEST(ZoMemory, NamedCases)
{
    // Reversing 3-byte pixels keeps each pixel's byte order.
    const uint8_t three[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint8_t out[9] = {};
    ZoMemcpy3R(out, three, 3);
    EXPECT_EQ((std::vector<uint8_t>{7, 8, 9, 4, 5, 6, 1, 2, 3}), std::vector<uint8_t>(out, out + 9));

    // A 3-byte key compares all three bytes: only FF 00 FF is skipped.
    const uint8_t keyed[] = {0xFF, 0x00, 0xFF, 0xFF, 0x00, 0xFE, 0x00, 0xFF, 0xFF};
    uint8_t dst[9] = {};
    ZoMemcpy3K(dst, keyed, 3, 0x00FF00FF);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0xFF, 0x00, 0xFE, 0x00, 0xFF, 0xFF}), std::vector<uint8_t>(dst, dst + 9));
    // A key above 24 bits never matches a 3-byte element.
    ZoMemcpy3K(dst, keyed, 3, 0x01FF00FF);
    EXPECT_EQ(0xFF, dst[0]);

    // Mask 1010 0000, width 3, over 6 elements: bits 1 0 1 1 0 1.
    const uint8_t mask = 0xA0;
    const uint8_t six[] = {1, 2, 3, 4, 5, 6};
    uint8_t masked[6] = {};
    ZoMemcpyM(masked, six, 6, &mask, 3);
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 3, 4, 0, 6}), std::vector<uint8_t>(masked, masked + 6));
    uint8_t mirrored[6] = {};
    ZoMemcpyRM(mirrored, six, 6, &mask, 3);
    EXPECT_EQ((std::vector<uint8_t>{6, 0, 4, 3, 0, 1}), std::vector<uint8_t>(mirrored, mirrored + 6));
    // A zero mask width copies nothing (and does not divide by zero).
    ZoMemcpyM(masked, three, 6, &mask, 0);
    EXPECT_EQ(1, masked[0]);

    // The backwards copy shifts an overlapping block up without smearing,
    // the forward copy shifts one down.
    uint8_t shift[5] = {1, 2, 3, 4, 0};
    ZoMemcpyB(shift + 1, shift, 4);
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 2, 3, 4}), std::vector<uint8_t>(shift, shift + 5));
    std::vector<uint8_t> down(100);
    for (size_t i = 0; i < down.size(); ++i)
        down[i] = static_cast<uint8_t>(i);
    ZoMemcpy(down.data(), down.data() + 3, 97);
    for (size_t i = 0; i < 97; ++i)
        ASSERT_EQ(i + 3, down[i]) << i;

    uint8_t fill[6] = {};
    ZoMemset3(fill, 0x00112233, 2);
    EXPECT_EQ((std::vector<uint8_t>{0x33, 0x22, 0x11, 0x33, 0x22, 0x11}), std::vector<uint8_t>(fill, fill + 6));
}

TEST(ZoMemory, PlainCopiesAndCountZero)
{
    PixelRandom random(6702);
    for (unsigned count : {0u, 1u, 31u, 32u, 33u, 1000u}) {
        std::vector<uint8_t> src = random.Bytes(count);
        Guarded dst(count);
        EXPECT_EQ(dst.Data(), ZoMemcpy(dst.Data(), src.data(), count));
        EXPECT_TRUE(dst.GuardsIntact());
        EXPECT_EQ(src, dst.Contents());
        Guarded back(count);
        ZoMemcpyB(back.Data(), src.data(), count);
        EXPECT_EQ(src, back.Contents());
    }
    Guarded untouched(0);
    for (int n = 1; n <= 4; ++n) {
        ZoMemsetTable[n](untouched.Data(), 0x12345678, 0);
        ZoMemcpyRTable[n](untouched.Data(), nullptr, 0);
    }
    EXPECT_TRUE(untouched.GuardsIntact());
}

// Every path of the 2-, 3- and 4-byte fills (each instruction set the
// processor has), counts across the short-fill branches and the vector loop,
// uniform and mixed element bytes, and starts that are not element- or
// vector-aligned; then the public fills of every size the same way.
TEST(ZoMemory, FillsWriteWholeElementsOnEveryPath)
{
    using pendar::TFillIsa;
    PixelRandom random(6703);
    int caseNo = 0;
    for (TFillIsa isa : {TFillIsa::Sse2, TFillIsa::Avx2}) {
        if (!pendar::FillIsaAvailable(isa))
            continue;
        for (int n = 2; n <= 4; ++n) {
            for (unsigned count = 0; count <= 130; ++count) {
                for (unsigned misalign = 0; misalign < 4; ++misalign, ++caseNo) {
                    SCOPED_TRACE(testing::Message() << "case " << caseNo << " isa " << int(isa) << " size " << n
                                                    << " count " << count << " misalign " << misalign);
                    const uint32_t value = random.Chance(20) ? random.Byte() * 0x01010101u : random.Below(0xFFFFFFFF);
                    Guarded block(count * n + misalign);
                    pendar::FillElements(isa, n, block.Data() + misalign, value, count);
                    ASSERT_TRUE(block.GuardsIntact());
                    std::vector<uint8_t> got = block.Contents();
                    for (unsigned i = 0; i < misalign; ++i)
                        ASSERT_EQ(Guarded::kFill, got[i]);
                    for (unsigned i = 0; i < count * n; ++i)
                        ASSERT_EQ(uint8_t(value >> (8 * (i % n))), got[misalign + i]) << "byte " << i;
                }
            }
        }
    }
    for (int n = 1; n <= 4; ++n) {
        for (unsigned count : {0u, 1u, 7u, 100u, 3000u}) {
            for (uint32_t value : {0xA1B2C3D4u, 0x5A5A5A5Au}) { // large uniform fills take memset
                for (unsigned misalign : {0u, 1u}) {
                    Guarded a(count * n + misalign);
                    ZoMemsetTable[n](a.Data() + misalign, value, count);
                    ASSERT_TRUE(a.GuardsIntact());
                    for (unsigned i = 0; i < count * n; ++i)
                        ASSERT_EQ(uint8_t(value >> (8 * (i % n))), a.Data()[misalign + i]) << n << " byte " << i;
                }
            }
        }
    }
}

} // namespace
