// Reading packs: every version and CRC mode, name lookup, handles, and
// damaged packs, from real files.
#include "CodecHarness.h"
#include "PackFixture.h"

#include "pack/Zopack.h"
#include "port/Cp932.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace pendar::test;

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

std::string Complemented(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(~c);
    return s;
}

std::string Contents(TMemoryStream* s)
{
    return s ? std::string(s->Bytes().begin(), s->Bytes().end()) : std::string("<null>");
}

class PackRead : public ::testing::Test {
protected:
    // Writes `bytes` as a pack file and loads it.
    bool Load(const std::string& bytes, TCrcMode mode = cmNon)
    {
        dir.Write("test.Pak", bytes);
        pack.CrcMode = mode;
        return pack.LoadPack(dir.File("test.Pak"));
    }

    TempDir dir;
    ScopedMessageBoxes boxes;
    TZoPack pack;
};

TEST_F(PackRead, EveryCodingReadsBackAtPositionZero)
{
    std::string plain = Text(TextBytes(3000, 1));
    std::string dict = Text(*Encode(cnLunet, B(plain)));
    std::string bs = Text(*Encode(cnBriscaLE, B(plain)));
    ASSERT_TRUE(Load(BuildPack(0x0300, {{"Info.ini", "stored bytes"},
                                        {"c.bin", Complemented("complemented"), 3},
                                        {"d.txt", dict, 1, 3000},
                                        {"b.txt", bs, 2, 3000},
                                        {"odd.bin", "raw under coding 9", 9}}),
                     cmPackAll));
    EXPECT_EQ(Contents(pack.ZoMakeStream("Info.ini").get()), "stored bytes");
    EXPECT_EQ(Contents(pack.ZoMakeStream("c.bin").get()), "complemented");
    EXPECT_EQ(Contents(pack.ZoMakeStream("d.txt").get()), plain);
    EXPECT_EQ(Contents(pack.ZoMakeStream("b.txt").get()), plain);
    EXPECT_EQ(Contents(pack.ZoMakeStream("odd.bin").get()), "raw under coding 9");
    auto s = pack.ZoMakeStream("b.txt");
    EXPECT_EQ(s->Position(), 0);
    EXPECT_TRUE(boxes.recorder.boxes.empty());
    ASSERT_TRUE(pack.OpenFile("d.txt"));
    EXPECT_EQ(Contents(pack.Stream()), plain);
    EXPECT_FALSE(pack.OpenFile("missing"));
    EXPECT_EQ(pack.FileName(), "");
}

TEST_F(PackRead, LegacyVersionsLoadWithoutCrcInEveryMode)
{
    for (uint16_t version : {0x0100, 0x0200}) {
        for (TCrcMode mode : {cmNon, cmPackAll, cmEachFile}) {
            std::string bytes = BuildPack(version, {{"a.txt", "hello"}, {"b.txt", "world!"}});
            bytes[20] ^= 0x01; // a damaged data byte: nothing checks it
            ASSERT_TRUE(Load(bytes, mode)) << version << " " << mode;
            EXPECT_EQ(pack.GetFileNum(), 2);
            FILETIME t;
            ASSERT_TRUE(pack.GetFileTime(1, &t));
            EXPECT_EQ(t.dwLowDateTime, 0xA8EE9800u);
            EXPECT_EQ(t.dwHighDateTime, 0x01B41DDEu);
            EXPECT_TRUE(pack.VerifyFileCrc(0));
            std::unique_ptr<ZoFILE> h(pack.Zofopen("b.txt"));
            ASSERT_TRUE(h);
            EXPECT_FALSE(pack.ZoIsCrc(h.get()));
            EXPECT_EQ(pack.Zodsize(h.get()), 6);
            EXPECT_EQ(Contents(pack.ZoMakeStream("b.txt").get()), "world!");
            pack.ClosePack();
        }
    }
    EXPECT_TRUE(boxes.recorder.boxes.empty());
}

TEST_F(PackRead, VersionWordDecidesAndMagicIsIgnored)
{
    std::string good = BuildPack(0x0300, {{"a.txt", "x"}});
    for (uint16_t version : {0x0000, 0x0101, 0x0302, 0x0400, 0xFFFF}) {
        std::string bytes = good;
        bytes[6] = static_cast<char>(version & 0xFF);
        bytes[7] = static_cast<char>(version >> 8);
        EXPECT_FALSE(Load(bytes, cmPackAll)) << version;
        EXPECT_FALSE(pack.Opened());
    }
    EXPECT_TRUE(boxes.recorder.boxes.empty()); // no message for an unknown version
    std::string foreign = good;
    foreign.replace(0, 6, "NoPack");
    EXPECT_TRUE(Load(foreign, cmNon));
}

TEST_F(PackRead, PackCrcCatchesEveryFlipOutsideTheVersionWord)
{
    std::string good = BuildPack(0x0301, {{"a.txt", "hello, world"}, {"b.dat", std::string(40, '\x7F')}});
    ASSERT_TRUE(Load(good, cmPackAll));
    for (size_t i = 0; i < good.size(); ++i) {
        if (i == 6 || i == 7)
            continue;
        std::string bad = good;
        bad[i] ^= 0x20;
        boxes.recorder.boxes.clear();
        EXPECT_FALSE(Load(bad, cmPackAll)) << "byte " << i;
        EXPECT_FALSE(pack.Opened());
        ASSERT_EQ(boxes.recorder.boxes.size(), 1u) << "byte " << i;
        EXPECT_EQ(boxes.recorder.boxes[0].text, port::Utf8ToCp932("Packﾌｧｲﾙが壊れています。"));
        EXPECT_EQ(boxes.recorder.boxes[0].caption, port::Utf8ToCp932("CRCｴﾗｰ"));
        EXPECT_EQ(boxes.recorder.boxes[0].icon, port::MessageIcon::Error);
    }
    std::string dataFlip = good;
    dataFlip[17] ^= 0x20;
    EXPECT_TRUE(Load(dataFlip, cmNon)); // without the check the pack loads
}

TEST_F(PackRead, EntryCrcIsCheckedOnEveryOpenInEachFileMode)
{
    std::string bytes = BuildPack(0x0300, {{"a.txt", "hello"}, {"b.txt", "world"}});
    bytes[16 + 16] ^= 0x01; // b.txt's first byte
    ASSERT_TRUE(Load(bytes, cmEachFile));
    EXPECT_EQ(Contents(pack.ZoMakeStream("a.txt").get()), "hello");
    EXPECT_FALSE(pack.ZoMakeStream("b.txt"));
    EXPECT_FALSE(pack.VerifyFileCrc(1));
    EXPECT_EQ(boxes.recorder.boxes.size(), 1u);
    TMemoryStream out;
    EXPECT_FALSE(pack.ZofopenToStream(&out, "b.txt", true));
    EXPECT_EQ(boxes.recorder.boxes.size(), 2u);
}

TEST_F(PackRead, NameLookup)
{
    std::string kanaA = port::Utf8ToCp932("ｱ.txt");
    std::string kanaSmallA = port::Utf8ToCp932("ｧ.txt");
    std::string trailA = "\x83\x61.txt";  // a double-byte character whose trail byte is 'a'
    std::string trailUpper = "\x83\x41.txt";
    std::string leadE4 = "\xE4\x40.txt";   // lead byte 0xE4 must not turn into the katakana byte 0xC4
    std::string kanaC4 = "\xC4\x40.txt";
    ASSERT_TRUE(Load(BuildPack(0x0300, {{"Info.ini", "1"},
                                        {"abcdefghijklmnopqrstuvwxyz.bmp", "2"},
                                        {kanaA, "3"},
                                        {kanaSmallA, "4"},
                                        {trailA, "5"},
                                        {trailUpper, "6"},
                                        {leadE4, "7"},
                                        {kanaC4, "8"}})));
    struct Case {
        std::string name;
        int index;
    } cases[] = {
        {"Info.ini", 0},
        {"INFO.INI", 0},
        {"info.ini", 0},
        {"Info.Ini", 0},
        {"abcdefghijklmnopqrstu.bmp", 1},    // only the cut base finds it
        {"abcdefghijklmnopqrstuvwxyz.bmp", -1},
        {"ABCDEFGHIJKLMNOPQRSTU.BMP", 1},
        {std::string(26, 'a'), -1},
        {kanaA, 2},
        {kanaSmallA, 3},
        {trailA, 4},
        {trailUpper, 5},
        {"\x83\x61.TXT", 4},
        {leadE4, 6},
        {kanaC4, 7},
        {"", -1},
        {"missing", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pack.CheckFileName(c.name), c.index) << port::Cp932ToUtf8(c.name);
}

TEST_F(PackRead, EmptyNameFindsTheFirstDeletedRecord)
{
    std::string bytes = BuildPack(0x0300, {{"a.txt", "1"}, {"gone.txt", "2"}, {"c.txt", "3"}});
    size_t name = RecordOffset(bytes, 1, 0);
    bytes.replace(name, 24, std::string(24, '\0'));
    bytes.resize(bytes.size() - 2); // the CRC no longer fits; not checked here
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(pack.CheckFileName(""), 1);
    std::string composed = "x";
    EXPECT_TRUE(pack.GetFileName(1, composed));
    EXPECT_EQ(composed, "");
    EXPECT_EQ(pack.GetFileSize(1), 0);
    FILETIME t;
    EXPECT_FALSE(pack.GetFileTime(1, &t));
    EXPECT_FALSE(pack.GetFileName(3, composed));
}

TEST_F(PackRead, HandleReadsAndSeeks)
{
    std::string plain = "0123456789";
    std::string dict = Text(*Encode(cnLunet, B(std::string(200, 'z'))));
    ASSERT_TRUE(Load(BuildPack(0x0300, {{"ten.txt", plain}, {"z.txt", dict, 1, 200}})));
    std::unique_ptr<ZoFILE> h(pack.Zofopen("ten.txt"));
    ASSERT_TRUE(h);
    char buf[16] = {};
    EXPECT_EQ(pack.Zofread(buf, 3, 4, h.get()), 3u); // 10 bytes left: three whole items
    EXPECT_EQ(std::string(buf, 9), "012345678");
    EXPECT_EQ(pack.Zofread(buf, 3, 4, h.get()), 0u); // 1 byte left
    EXPECT_EQ(pack.Zofread(buf, 0, 4, h.get()), 0u);
    struct Seek {
        int offset;
        int origin;
        int expected;
    } seeks[] = {{-5, 0, 0}, {50, 0, 10}, {-4, 2, 6}, {2, 1, 8}, {7, 3, 8}, {-100, 1, 0}};
    for (const auto& s : seeks) {
        ASSERT_TRUE(pack.Zofseek(h.get(), s.offset, s.origin));
        int pos = -1;
        ASSERT_TRUE(pack.Zofgetpos(h.get(), &pos));
        EXPECT_EQ(pos, s.expected) << s.offset << " from " << s.origin;
    }
    int at = 8;
    ASSERT_TRUE(pack.Zofsetpos(h.get(), &at));
    EXPECT_EQ(pack.Zofread(buf, 1, 10, h.get()), 2u);
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_TRUE(pack.Zofclose(h.release()));
    EXPECT_FALSE(pack.Zofclose(nullptr));

    // Undecoded, a coded entry reads as its raw stream.
    std::unique_ptr<ZoFILE> raw(pack.ZofopenComp("z.txt", false));
    ASSERT_TRUE(raw);
    EXPECT_EQ(pack.Zofsize(raw.get()), 200);
    EXPECT_EQ(pack.ZoIsComp(raw.get()), 1);
    std::string got(dict.size() + 10, '\0');
    EXPECT_EQ(pack.Zofread(got.data(), 1, static_cast<unsigned>(got.size()), raw.get()), dict.size());
    EXPECT_EQ(got.substr(0, dict.size()), dict);
    std::unique_ptr<ZoFILE> decoded(pack.Zofopen("z.txt"));
    ASSERT_TRUE(pack.Zofseek(decoded.get(), 0, 2));
    int end = 0;
    pack.Zofgetpos(decoded.get(), &end);
    EXPECT_EQ(end, 200);
}

TEST_F(PackRead, StreamsAndFiles)
{
    std::string bytes = BuildPack(0x0300, {{"a.txt", "alpha"}});
    auto memory = std::make_unique<TMemoryStream>(bytes.data(), bytes.size());
    ASSERT_TRUE(pack.LoadPackStream(memory.get()));
    EXPECT_EQ(pack.PackName(), "");
    EXPECT_TRUE(pack.GetFile(dir.File("out.txt"), "A.TXT"));
    EXPECT_EQ(dir.Read("out.txt"), "alpha");
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("out.txt").c_str(), &st), 0);
    FILETIME stored{0x11223344, 0x01D00000};
    EXPECT_EQ(st.st_mtim.tv_sec, zopack::UnixFromFileTime(stored).tv_sec);
    pack.ClosePack();
    EXPECT_EQ(memory->Size(), static_cast<int64_t>(bytes.size())); // still the caller's
    pack.SetReadOnly(false);
    EXPECT_FALSE(pack.LoadPackStream(memory.get())); // a stream pack is read-only
}

TEST_F(PackRead, DamagedHeadersAndDirectoriesFailTheLoad)
{
    std::string good = BuildPack(0x0300, {{"a.txt", "hello"}, {"b.txt", "world"}});
    auto with = [&](size_t at, uint32_t value) {
        std::string b = good;
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
        return b;
    };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"header cut short", good.substr(0, 15)},
        {"negative total", with(8, 0xFFFFFFF0u)},
        {"negative count", with(12, 0x80000000u)},
        {"count beyond the file", with(12, 3)},
        {"huge count", with(12, 0x7FFFFFFFu)},
        {"total beyond the file", with(8, 0x7FFFFFF0u)},
        {"directory cut short", good.substr(0, good.size() - 3)},
        {"legacy directory cut short", BuildPack(0x0200, {{"a.txt", "x"}}).substr(0, 16 + 16 + 39)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Load(c.bytes)) << c.what;
        EXPECT_EQ(pack.GetFileNum(), 0) << c.what;
    }
}

TEST_F(PackRead, DamagedRecordsFailOnlyTheirEntry)
{
    std::string dict = Text(*Encode(cnLunet, TextBytes(500, 3)));
    struct Case {
        const char* what;
        RawEntry entry;
    } cases[] = {
        {"offset before the data area", {"x.bin", "abcd", 0, {}, {}, false, -16}},
        {"offset past the data area", {"x.bin", "abcd", 0, {}, {}, false, 4096}},
        {"stored size beyond the data area", {"x.bin", "abcd", 0, 100000}},
        {"complemented size beyond the data area", {"x.bin", "abcd", 3, 100000}},
        {"stored size negative", {"x.bin", "abcd", 0, -5}},
        {"coded stored size negative", {"x.bin", dict, 1, 500, -1}},
        {"coded size beyond any expansion", {"x.bin", dict, 1, 0x7FFFFFF0}},
        {"block-sorting size beyond any expansion", {"x.bin", "abcdefgh", 2, 1 << 20}},
        {"coded stream damaged", {"x.bin", std::string(dict.size(), '\x40'), 1, 500, {}, false}},
        {"coded stream shorter than claimed", {"x.bin", dict.substr(0, dict.size() / 2), 1, 500, {}, false}},
        {"not a block stream", {"x.bin", "not a block stream", 2, 18, {}, false}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(BuildPack(0x0300, {{"ok.txt", "fine"}, c.entry}))) << c.what;
        EXPECT_EQ(Contents(pack.ZoMakeStream("ok.txt").get()), "fine") << c.what;
        EXPECT_FALSE(pack.ZoMakeStream("x.bin")) << c.what;
        TMemoryStream out;
        EXPECT_FALSE(pack.ZofopenToStream(&out, "x.bin", true)) << c.what;
    }
}

} // namespace
