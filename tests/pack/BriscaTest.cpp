// The block-sorting codec: the rotation sort against a plain one, the stream
// layout, round trips for the three encoders, and hostile streams.
#include "CodecHarness.h"

#include "pack/SuffixSort.h"
#include "pack/Zobrisca.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

using namespace pendar::test;

struct Record {
    int blockLen;
    int plainLen;
};

std::vector<Record> Records(const Bytes& coded)
{
    std::vector<Record> records;
    for (size_t at = 0; at + 4 <= coded.size();) {
        Record r{coded[at] | coded[at + 1] << 8, coded[at + 2] | coded[at + 3] << 8};
        records.push_back(r);
        at += static_cast<size_t>(std::max(r.blockLen, 1));
    }
    return records;
}

// The last column of the sorted rotations, by comparing rotations directly.
Bytes PlainLastColumn(const Bytes& block)
{
    size_t n = block.size();
    std::vector<size_t> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    auto at = [&](size_t start, size_t k) { return block[(start + k) % n]; };
    std::stable_sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < n; ++k)
            if (at(a, k) != at(b, k))
                return at(a, k) < at(b, k);
        return false;
    });
    Bytes last;
    for (size_t r : rows)
        last.push_back(at(r, n - 1));
    return last;
}

Bytes Periodic(const std::string& pattern, size_t n)
{
    Bytes b;
    while (b.size() < n)
        b.push_back(static_cast<uint8_t>(pattern[b.size() % pattern.size()]));
    return b;
}

TEST(SuffixSort, MatchesAPlainSort)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        int n = 1 + static_cast<int>(rng() % 60);
        int alphabet = 1 + static_cast<int>(rng() % 4);
        std::vector<int32_t> text(static_cast<size_t>(n));
        for (int i = 0; i + 1 < n; ++i)
            text[static_cast<size_t>(i)] = 1 + static_cast<int32_t>(rng() % static_cast<unsigned>(alphabet));
        text.back() = 0;
        std::vector<int32_t> sa(static_cast<size_t>(n));
        SuffixArray(text.data(), sa.data(), n, alphabet);
        std::vector<int32_t> expected(static_cast<size_t>(n));
        std::iota(expected.begin(), expected.end(), 0);
        std::sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) {
            return std::lexicographical_compare(text.begin() + a, text.end(), text.begin() + b, text.end());
        });
        ASSERT_EQ(sa, expected) << "round " << round;
    }
}

TEST(BlockSortingTransform, LastColumnAndIndexOfSortedRotations)
{
    std::vector<Bytes> blocks = {B("banana"), B("abracadabra"), B("ab"), B("ba"), B("x"),
                                 Periodic("ab", 64), Periodic("abc", 99), Periodic("aab", 300),
                                 Bytes(1000, 'q'), RandomBytes(500, 12), TextBytes(4000, 13)};
    std::mt19937 rng(14);
    for (int i = 0; i < 100; ++i) {
        Bytes b(1 + rng() % 40);
        for (auto& v : b)
            v = static_cast<uint8_t>('a' + rng() % 3);
        blocks.push_back(b);
    }
    TBWTEncode encode;
    TBWTDecode decode;
    ASSERT_TRUE(encode.Setup());
    ASSERT_TRUE(decode.Setup());
    for (const Bytes& block : blocks) {
        int n = static_cast<int>(block.size());
        Bytes out(static_cast<size_t>(n) + 2);
        ASSERT_TRUE(encode.Encode(block.data(), out.data(), n));
        EXPECT_TRUE(Bytes(out.begin() + 2, out.end()) == PlainLastColumn(block)) << n;
        if (n >= 1) {
            Bytes back(static_cast<size_t>(n));
            ASSERT_TRUE(decode.Decode(out.data(), back.data(), n + 2));
            EXPECT_TRUE(back == block) << n; // the index names a row holding the block
        }
    }
}

TEST(BlockSortingTransform, RunBlockHasIndexZeroAndMovesToFrontAsZeros)
{
    Bytes block(1000, 'q');
    Bytes out(1002);
    TBWTEncode bwt;
    ASSERT_TRUE(bwt.Setup());
    ASSERT_TRUE(bwt.Encode(block.data(), out.data(), 1000));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    TMTFEncode mtf;
    ASSERT_TRUE(mtf.Encode(out.data(), 1002));
    EXPECT_EQ(out[2], 'q');
    EXPECT_EQ(std::count(out.begin() + 3, out.end(), 0), 999);
    auto coded = Encode(cnBrisca, block);
    ASSERT_TRUE(coded);
    EXPECT_LT(coded->size(), 100u);
}

TEST(BriscaEncode, RecordLayout)
{
    for (int n = 1; n <= 5; ++n)
        EXPECT_FALSE(Encode(cnBrisca, Bytes(static_cast<size_t>(n), 'a'))) << n; // raw record alone is n + 6
    auto six = Encode(cnBrisca, B("qwerty"));
    ASSERT_TRUE(six);
    EXPECT_EQ(six->size(), 12u);

    Bytes plain = TextBytes(32769, 15);
    struct Case {
        int codec;
        size_t records;
        int lastPlain;
    } cases[] = {{cnBrisca, 2, 1}, {cnBriscaLE, 5, 1}, {cnBriscaMini, 33, 1}};
    std::vector<Bytes> streams;
    for (const auto& c : cases) {
        auto coded = Encode(c.codec, plain);
        ASSERT_TRUE(coded) << c.codec;
        auto records = Records(*coded);
        ASSERT_EQ(records.size(), c.records) << c.codec;
        EXPECT_EQ(records.back().plainLen, c.lastPlain) << c.codec;
        streams.push_back(*coded);
    }
    EXPECT_NE(streams[0], streams[1]);
    EXPECT_NE(streams[1], streams[2]);
}

TEST(BriscaEncode, RawBlockRestartsTheModelForTheNextBlock)
{
    Bytes plain = RandomBytes(1024, 16);
    Bytes text = TextBytes(3072, 17);
    plain.insert(plain.end(), text.begin(), text.end());
    auto coded = Encode(cnBriscaMini, plain);
    ASSERT_TRUE(coded);
    auto records = Records(*coded);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].blockLen, records[0].plainLen + 6); // random: stored raw
    EXPECT_LT(records[1].blockLen, records[1].plainLen + 6); // text: range coded
    auto decoded = Decode(cnBrisca, *coded, static_cast<int>(plain.size()));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(*decoded == plain);
}

TEST(BriscaRoundTrip, AllEncodersSizesAndKinds)
{
    for (int codec : {cnBrisca, cnBriscaLE, cnBriscaMini}) {
        for (size_t n : {6u, 1023u, 1024u, 1025u, 8191u, 8192u, 8193u, 32767u, 32768u, 32769u, 70000u}) {
            for (unsigned kind = 0; kind < 4; ++kind) {
                Bytes plain = kind == 0   ? TextBytes(n, 18)
                              : kind == 1 ? RandomBytes(n, 19)
                              : kind == 2 ? RunBytes(n, 20)
                                          : Periodic("xyz", n);
                auto coded = Encode(codec, plain);
                ASSERT_TRUE(coded) << codec << " " << n << " kind " << kind;
                auto decoded = Decode(cnBrisca, *coded, static_cast<int>(n));
                ASSERT_TRUE(decoded) << codec << " " << n << " kind " << kind;
                EXPECT_TRUE(*decoded == plain) << codec << " " << n << " kind " << kind;
            }
        }
    }
}

TEST(BriscaDecode, StopsAtTheWantedSize)
{
    Bytes plain = TextBytes(5000, 21);
    auto coded = Encode(cnBriscaMini, plain);
    ASSERT_TRUE(coded);
    for (int size : {0, 1, 1024, 1500, 4999}) {
        auto decoded = Decode(cnBrisca, *coded, size);
        ASSERT_TRUE(decoded) << size;
        EXPECT_TRUE(*decoded == Bytes(plain.begin(), plain.begin() + size)) << size;
    }
}

// A raw record of `plain` whose primary index is `index`.
Bytes RawRecord(const Bytes& last, int index)
{
    Bytes work = {static_cast<uint8_t>(index & 0xFF), static_cast<uint8_t>(index >> 8)};
    work.insert(work.end(), last.begin(), last.end());
    TMTFEncode().Encode(work.data(), static_cast<int>(work.size()));
    int blockLen = static_cast<int>(work.size()) + 4;
    int plainLen = static_cast<int>(last.size());
    Bytes record = {static_cast<uint8_t>(blockLen & 0xFF), static_cast<uint8_t>(blockLen >> 8),
                    static_cast<uint8_t>(plainLen & 0xFF), static_cast<uint8_t>(plainLen >> 8)};
    record.insert(record.end(), work.begin(), work.end());
    return record;
}

// A coded record of `plainLen` whose payload ends after `coded` bytes of the work buffer.
Bytes EarlyEndRecord(int plainLen, int coded)
{
    Bytes work(static_cast<size_t>(plainLen) + 2, 0);
    TRangeEncode range;
    EXPECT_TRUE(range.Setup());
    Bytes payload(work.size() * 2);
    EXPECT_TRUE(range.EncodeBlock(work.data(), payload.data(), static_cast<int>(payload.size()), coded));
    payload.resize(static_cast<size_t>(range.OutSize));
    int blockLen = static_cast<int>(payload.size()) + 4;
    Bytes record = {static_cast<uint8_t>(blockLen & 0xFF), static_cast<uint8_t>(blockLen >> 8),
                    static_cast<uint8_t>(plainLen & 0xFF), static_cast<uint8_t>(plainLen >> 8)};
    record.insert(record.end(), payload.begin(), payload.end());
    return record;
}

TEST(BriscaDecode, FailsOnHostileStreams)
{
    Bytes good = *Encode(cnBriscaMini, TextBytes(3000, 22));
    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<long>(at));
        return b;
    };
    int blockLen = good[0] | good[1] << 8;
    Bytes overLong = good; // a coded first record that claims more than a raw one
    overLong[2] = static_cast<uint8_t>((blockLen - 7) & 0xFF);
    overLong[3] = static_cast<uint8_t>((blockLen - 7) >> 8);
    struct Case {
        const char* what;
        Bytes coded;
        int size;
    } cases[] = {
        {"plain length 0", patched(2, {0, 0}), 3000},
        {"plain length above 32768", patched(2, {0x01, 0x80}), 3000},
        {"block length below its header", patched(0, {5, 0}), 3000},
        {"block length beyond the input", patched(0, {0xFF, 0x7F}), 3000},
        {"block length above a raw record", overLong, 3000},
        {"stream cut inside a block", Bytes(good.begin(), good.begin() + blockLen - 1), 1024},
        {"stream cut at a block boundary", Bytes(good.begin(), good.begin() + blockLen), 3000},
        {"primary index equal to the plain length", RawRecord(B("abcdef"), 6), 6},
        {"primary index far beyond", RawRecord(B("abcdef"), 40000), 6},
        {"end symbol before the block is full", EarlyEndRecord(100, 50), 100},
        {"payload too short to decode", {7, 0, 100, 0, 1, 2, 3}, 100},
        {"two payload bytes for a whole block", {6, 0, 1, 0, 0, 0}, 1},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Decode(cnBrisca, c.coded, c.size)) << c.what;
    // The hand-made records are sound apart from the fault each case puts in.
    EXPECT_TRUE(Decode(cnBrisca, RawRecord(B("abcdef"), 0), 6));
    EXPECT_TRUE(Decode(cnBrisca, EarlyEndRecord(100, 102), 100));
}

TEST(BriscaDecode, EveryTruncationFails)
{
    Bytes plain = TextBytes(2500, 23);
    auto coded = Encode(cnBriscaMini, plain);
    ASSERT_TRUE(coded);
    for (size_t cut = 1; cut < coded->size(); cut += 7)
        EXPECT_FALSE(Decode(cnBrisca, Bytes(coded->begin(), coded->begin() + static_cast<long>(cut)), 2500)) << cut;
}

} // namespace
