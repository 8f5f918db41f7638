// The dictionary codec: exact streams for known inputs, round trips, the
// inputs it refuses, and hostile streams.
#include "CodecHarness.h"

#include "pack/Zolunet.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using namespace pendar::test;

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(LunetEncode, KnownStreams)
{
    Bytes window = RandomBytes(1535, 7);
    Bytes tail(window.begin(), window.begin() + 20);
    Bytes distinct32(32);
    std::iota(distinct32.begin(), distinct32.end(), 0);
    Bytes distinct33(33);
    std::iota(distinct33.begin(), distinct33.end(), 0);

    struct Case {
        const char* what;
        Bytes plain;
        Bytes coded; // whole stream, or only its last bytes when `suffixOnly`
        bool suffixOnly;
    } cases[] = {
        {"three literals and a match", B("abcabcabc"), {0, 0, 0, 0x10, 'a', 'b', 'c', 0x52}, false},
        {"a run: one literal, one long match", Bytes(1000, 'a'), {0, 0, 0, 0x40, 'a', 0xF0, 0xE7, 0x03}, false},
        {"farthest distance: low nibble 15, byte 0xFF", Concat(window, tail), {0xEF, 20, 0xFF}, true},
        {"32 tokens need one flag word", distinct32, {}, false},
    };
    for (const auto& c : cases) {
        auto coded = Encode(cnLunet, c.plain);
        ASSERT_TRUE(coded) << c.what;
        if (c.suffixOnly) {
            ASSERT_GE(coded->size(), c.coded.size());
            EXPECT_EQ(Bytes(coded->end() - static_cast<long>(c.coded.size()), coded->end()), c.coded) << c.what;
        } else if (!c.coded.empty()) {
            EXPECT_EQ(*coded, c.coded) << c.what;
        }
    }
    // 32 literals: a flag word and the bytes; the 33rd token opens a group.
    EXPECT_EQ(Encode(cnLunet, distinct32)->size(), 36u);
    EXPECT_EQ(Encode(cnLunet, distinct33)->size(), 41u);
}

TEST(LunetEncode, IncompressibleInputGrowsByOneFlagWordPerGroup)
{
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0); // no byte pair repeats: all literals
    for (size_t n : {4u, 31u, 32u, 33u, 256u}) {
        Bytes plain(all.begin(), all.begin() + static_cast<long>(n));
        auto coded = Encode(cnLunet, plain);
        ASSERT_TRUE(coded) << n;
        EXPECT_EQ(coded->size(), n + 4 * ((n + 31) / 32)) << n;
    }
}

TEST(LunetEncode, RefusesShortInputsWithoutRepeatsUnderTheCallersLimit)
{
    for (const char* s : {"a", "ab", "abc"})
        EXPECT_FALSE(Encode(cnLunet, B(s))) << s;
    EXPECT_TRUE(Encode(cnLunet, B("abcd")));
    EXPECT_TRUE(Encode(cnLunet, B("aaa"))); // a literal and a match: 4 + 1 + 1 bytes
    auto empty = Encode(cnLunet, {});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(LunetRoundTrip, SizesAndKindsOfInput)
{
    for (size_t n : {1023u, 1024u, 1025u, 8191u, 8192u, 8193u, 32767u, 32768u, 32769u, 70001u}) {
        for (unsigned kind = 0; kind < 3; ++kind) {
            Bytes plain = kind == 0 ? TextBytes(n, 1) : kind == 1 ? RandomBytes(n, 2) : RunBytes(n, 3);
            auto coded = Encode(cnLunet, plain);
            ASSERT_TRUE(coded) << n << " kind " << kind;
            auto decoded = Decode(cnLunet, *coded, static_cast<int>(n));
            ASSERT_TRUE(decoded) << n << " kind " << kind;
            EXPECT_TRUE(*decoded == plain) << n << " kind " << kind;
        }
    }
}

TEST(LunetDecode, StopsAtTheWantedSize)
{
    Bytes plain = TextBytes(5000, 4);
    auto coded = Encode(cnLunet, plain);
    ASSERT_TRUE(coded);
    for (int size : {0, 1, 999, 4999}) {
        auto decoded = Decode(cnLunet, *coded, size);
        ASSERT_TRUE(decoded) << size;
        EXPECT_TRUE(*decoded == Bytes(plain.begin(), plain.begin() + size)) << size;
    }
    auto nothing = Decode(cnLunet, {}, 100); // no input: success, nothing out
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->empty());
}

TEST(LunetDecode, FailsOnHostileStreams)
{
    struct Case {
        const char* what;
        Bytes coded;
        int size;
    } cases[] = {
        {"match before the first byte", {0, 0, 0, 0x80, 0x00}, 5},
        {"distance beyond the output", {0, 0, 0, 0x40, 'a', 0x01}, 5},
        {"far distance beyond the output", {0, 0, 0, 0x40, 'a', 0x0F, 0xFF}, 5},
        {"flag word cut short", {0, 0, 0}, 1},
        {"length bytes missing", {0, 0, 0, 0x40, 'a', 0xF0, 0xE7}, 1000},
        {"distance byte missing", {0, 0, 0, 0x40, 'a', 0x2A}, 10},
        {"input ends before the output", {0, 0, 0, 0, 'a', 'b'}, 3},
        {"input ends at a group boundary", Concat({0, 0, 0, 0}, Bytes(32, 'x')), 33},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Decode(cnLunet, c.coded, c.size)) << c.what;
}

TEST(LunetDecode, EveryTruncationFails)
{
    Bytes plain = Concat(TextBytes(300, 5), RandomBytes(40, 6));
    auto coded = Encode(cnLunet, plain);
    ASSERT_TRUE(coded);
    for (size_t cut = 1; cut < coded->size(); ++cut)
        EXPECT_FALSE(Decode(cnLunet, Bytes(coded->begin(), coded->begin() + static_cast<long>(cut)),
                            static_cast<int>(plain.size())))
            << cut;
}

TEST(LunetDecode, FailingReadFailsTheCall)
{
    Bytes coded = *Encode(cnLunet, TextBytes(1000, 8));
    CodecIo io(coded);
    io.failReads = true;
    EXPECT_FALSE(TLunetDecode().Decode(static_cast<int>(coded.size()), 1000, io.Reader(), io.Writer(), nullptr));
}

} // namespace
