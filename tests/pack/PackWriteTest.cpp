// Building and changing packs with the writer, read back with the reader.
#include "CodecHarness.h"

#include "pack/PackEdit.h"
#include "pack/Zopack.h"
#include "port/Cp932.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/resource.h>

namespace {

using namespace pendar::test;

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

std::string Contents(const std::unique_ptr<TMemoryStream>& s)
{
    return s ? std::string(s->Bytes().begin(), s->Bytes().end()) : std::string("<null>");
}

uint32_t Le32(const std::string& s, size_t at)
{
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 | static_cast<uint8_t>(s[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

class PackWrite : public ::testing::Test {
protected:
    PackWrite()
    {
        // Temporary coder files go to a folder of the test's own.
        std::filesystem::create_directory(dir.File("tmp"));
        oldTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", dir.File("tmp").c_str(), 1);
        writer.SetReadOnly(false);
    }
    ~PackWrite() override
    {
        if (oldTmp_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    }

    std::string Source(const std::string& name, const std::string& bytes)
    {
        dir.Write(name, bytes);
        return dir.File(name);
    }
    std::string PackPath() const { return dir.File("made.Pak"); }
    // Commits the writer and loads the result with its CRC checked.
    bool Reload()
    {
        if (!writer.EndPack())
            return false;
        reader.CrcMode = cmPackAll;
        return reader.LoadPack(PackPath());
    }
    bool TempFolderEmpty() const { return std::filesystem::is_empty(dir.File("tmp")); }

    TempDir dir;
    ScopedMessageBoxes boxes;
    TZoPack writer;
    TZoPack reader;

private:
    std::string oldTmp_;
};

TEST_F(PackWrite, NewPackLayout)
{
    ASSERT_TRUE(writer.NewPack(PackPath()));
    ASSERT_TRUE(writer.EndPack());
    std::string empty = dir.Read("made.Pak");
    ASSERT_EQ(empty.size(), 18u);
    EXPECT_EQ(empty.substr(0, 8), std::string("ZoPack\x00\x03", 8));
    EXPECT_EQ(static_cast<uint16_t>(static_cast<uint8_t>(empty[16]) | static_cast<uint8_t>(empty[17]) << 8),
              TCrcCheck().Crc(reinterpret_cast<const unsigned char*>(empty.data()), 16));

    ASSERT_TRUE(writer.NewPack(PackPath()));
    ASSERT_TRUE(writer.AddFile("a.txt", Source("a.txt", "0123456789"), pmStored, false));
    ASSERT_TRUE(writer.EndPack());
    std::string one = dir.Read("made.Pak");
    ASSERT_EQ(one.size(), 82u);
    EXPECT_EQ(Le32(one, 8), 16u); // total
    EXPECT_EQ(Le32(one, 12), 1u); // count
    EXPECT_EQ(one.substr(16, 16), std::string("0123456789\0\0\0\0\0\0", 16));
    std::string record = one.substr(32, 48);
    EXPECT_EQ(record.substr(0, 24), std::string("a\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0txt", 24));
    EXPECT_EQ(Le32(record, 24), 0u);
    EXPECT_EQ(Le32(record, 28), 10u);
    EXPECT_EQ(Le32(record, 32), 10u);
    EXPECT_EQ(record[36], 0);
    EXPECT_EQ(record[37], 1);
}

TEST_F(PackWrite, EveryMethodReadsBack)
{
    std::string text = Text(TextBytes(20000, 1));
    ASSERT_TRUE(writer.NewPack(PackPath()));
    struct Case {
        const char* name;
        int method;
        int comp;
    } cases[] = {{"m0.txt", 0, 0}, {"m1.txt", 1, 1}, {"m2.txt", 2, 2}, {"m3.txt", 3, 3},
                 {"m4.txt", 4, 2}, {"m5.txt", 5, 2}, {"m7.txt", 7, 7}};
    std::string source = Source("text.txt", text);
    for (const auto& c : cases)
        ASSERT_TRUE(writer.AddFile(c.name, source, c.method, false)) << c.name;
    ASSERT_TRUE(Reload());
    for (int i = 0; i < reader.GetFileNum(); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(reader.GetFileComp(i), c.comp) << c.name;
        EXPECT_EQ(reader.GetFileSize(i), 20000) << c.name;
        EXPECT_EQ(reader.Record(i)->crcflag, 1) << c.name;
        EXPECT_EQ(reader.Record(i)->offset % 16, 0) << c.name;
        EXPECT_TRUE(reader.VerifyFileCrc(i)) << c.name;
        EXPECT_EQ(Contents(reader.ZoMakeStream(c.name)), text) << c.name;
    }
    EXPECT_LT(reader.Record(1)->dsize, 20000);
    EXPECT_TRUE(boxes.recorder.boxes.empty());
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(PackWrite, SmartStoresWhatCodingCannotShrink)
{
    ASSERT_TRUE(writer.NewPack(PackPath()));
    std::string noise = Text(RandomBytes(5000, 2));
    ASSERT_TRUE(writer.AddFile("noise.bin", Source("noise.bin", noise), pmLunet, true));
    ASSERT_TRUE(writer.AddFile("tiny.txt", Source("tiny.txt", "ab"), pmLunet, true));
    ASSERT_TRUE(writer.AddFile("five.txt", Source("five.txt", "abcde"), pmBrisca, true));
    ASSERT_TRUE(writer.AddFile("empty.txt", Source("empty.txt", ""), pmBrisca, false));
    ASSERT_TRUE(Reload());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(reader.GetFileComp(i), 0) << i;
    EXPECT_EQ(reader.Record(3)->dsize, 0);
    EXPECT_EQ(Contents(reader.ZoMakeStream("noise.bin")), noise);
    EXPECT_EQ(Contents(reader.ZoMakeStream("tiny.txt")), "ab");
    EXPECT_EQ(Contents(reader.ZoMakeStream("empty.txt")), "");
    EXPECT_EQ(reader.Record(3)->offset, reader.Record(2)->offset + 16); // no padding after an empty entry
}

TEST_F(PackWrite, FailedAdditionsLeaveThePackAsItWas)
{
    ASSERT_TRUE(writer.NewPack(PackPath()));
    ASSERT_TRUE(writer.AddFile("keep.txt", Source("keep.txt", "kept"), pmStored, false));
    std::string tiny = Source("tiny.txt", "xyz");
    EXPECT_FALSE(writer.AddFile("tiny.txt", tiny, pmLunet, false));     // the coder refuses 3 bytes
    EXPECT_FALSE(writer.AddFile("tiny.txt", tiny, pmBriscaMini, false)); // and the block coder 1..5
    EXPECT_TRUE(boxes.recorder.boxes.empty());

    struct Case {
        std::string name;
        std::string path;
        std::string text;
    } cases[] = {
        {"keep.txt", tiny, "ファイル名keep.txtが不正です。"},
        {"KEEP.TXT", tiny, "ファイル名KEEP.TXTが不正です。"},
        {"", tiny, "ファイル名が不正です。"},
        {std::string(26, 'n'), tiny, "ファイル名" + std::string(26, 'n') + "が不正です。"},
        {"missing.txt", dir.File("missing.txt"), "ファイル" + dir.File("missing.txt") + "が開けません。"},
    };
    for (const auto& c : cases) {
        boxes.recorder.boxes.clear();
        EXPECT_FALSE(writer.AddFile(c.name, c.path, pmStored, false)) << c.name;
        ASSERT_EQ(boxes.recorder.boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes.recorder.boxes[0].text, port::Utf8ToCp932(c.text));
        EXPECT_EQ(boxes.recorder.boxes[0].caption, "SorelPendar");
    }
    ASSERT_TRUE(Reload());
    EXPECT_EQ(reader.GetFileNum(), 1);
    EXPECT_EQ(Contents(reader.ZoMakeStream("keep.txt")), "kept");
    EXPECT_EQ(std::filesystem::file_size(PackPath()), 16u + 16u + 48u + 2u); // stray coder output is cut off
    EXPECT_TRUE(TempFolderEmpty());
}

// While the limit is set, no file of this process can grow past `bytes`;
// writing beyond it fails instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_ {};
    void (*oldSignal_)(int) = nullptr;
};

TEST_F(PackWrite, AFailedAdditionToALoadedPackLeavesItsFileByteForByte)
{
    // An existing pack, its directory and CRC where an addition writes first.
    ASSERT_TRUE(writer.NewPack(PackPath()));
    ASSERT_TRUE(writer.AddFile("one.txt", Source("one.txt", Text(TextBytes(3000, 5))), pmLunet, false));
    ASSERT_TRUE(writer.AddFile("two.txt", Source("two.txt", "second"), pmStored, false));
    ASSERT_TRUE(writer.EndPack());
    const std::string before = dir.Read("made.Pak");
    const std::string big = Text(RandomBytes(100000, 6)); // copied in several pieces
    TZoPack source;
    dir.Write("source.Pak", "");
    auto shrinkAfterFirstPiece = [this](const std::string& path) {
        writer.OnProgress = [path](TZoPack& p) {
            if (p.Progress() > 0 && p.Progress() < 100)
                std::filesystem::resize_file(path, 1000);
        };
    };

    struct Case {
        const char* what;
        std::function<bool()> add;
    } cases[] = {
        {"a source file that shrinks while it is copied",
         [&] {
             std::string path = Source("big.bin", big);
             shrinkAfterFirstPiece(path);
             return writer.AddFile("big.bin", path, pmStored, false);
         }},
        {"a complemented copy whose source shrinks",
         [&] {
             std::string path = Source("big.bin", big);
             shrinkAfterFirstPiece(path);
             return writer.AddFile("big.bin", path, pmComplement, false);
         }},
        {"a source pack that cannot be read to the end",
         [&] {
             TZoPack made;
             made.SetReadOnly(false);
             EXPECT_TRUE(made.NewPack(dir.File("source.Pak")));
             EXPECT_TRUE(made.AddFile("big.bin", Source("big.bin", big), pmStored, false));
             EXPECT_TRUE(made.EndPack());
             EXPECT_TRUE(source.LoadPack(dir.File("source.Pak")));
             shrinkAfterFirstPiece(dir.File("source.Pak"));
             return writer.AddPack("copy.bin", &source, "big.bin");
         }},
        {"a pack file that cannot grow",
         [&] {
             std::string path = Source("big.bin", big);
             FileSizeLimit limit(before.size() + 40000);
             return writer.AddFile("big.bin", path, pmStored, false);
         }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writer.LoadPack(PackPath())) << c.what;
        EXPECT_FALSE(c.add()) << c.what;
        writer.OnProgress = nullptr;
        EXPECT_TRUE(dir.Read("made.Pak") == before) << c.what;
        EXPECT_TRUE(writer.EndPack()) << c.what;
        EXPECT_TRUE(dir.Read("made.Pak") == before) << c.what;
    }

    // On a pack already changed, a failed addition keeps the additions before it.
    ASSERT_TRUE(writer.LoadPack(PackPath()));
    ASSERT_TRUE(writer.AddFile("three.txt", Source("three.txt", "third"), pmStored, false));
    std::string shrinking = Source("big.bin", big);
    shrinkAfterFirstPiece(shrinking);
    EXPECT_FALSE(writer.AddFile("big.bin", shrinking, pmStored, false));
    ASSERT_TRUE(Reload());
    EXPECT_EQ(reader.GetFileNum(), 3);
    EXPECT_EQ(Contents(reader.ZoMakeStream("three.txt")), "third");
    EXPECT_EQ(Contents(reader.ZoMakeStream("two.txt")), "second");
    EXPECT_EQ(reader.CheckFileName("big.bin"), -1);

    // Where even putting the directory back fails, EndPack says so.
    writer.OnProgress = nullptr;
    const std::string changed = dir.Read("made.Pak");
    const std::string bigFile = Source("big.bin", big);
    ASSERT_TRUE(writer.LoadPack(PackPath()));
    FileSizeLimit limit(changed.size() - 40); // inside the directory
    EXPECT_FALSE(writer.AddFile("big.bin", bigFile, pmStored, false));
    EXPECT_FALSE(writer.EndPack());
}

TEST_F(PackWrite, NamesAreCutWithoutSplittingCharactersAndCutNamesStayUnique)
{
    ASSERT_TRUE(writer.NewPack(PackPath()));
    std::string src = Source("x.txt", "data");
    std::string kanji = port::Utf8ToCp932("あ");               // two bytes
    std::string longBase = std::string(20, 'b') + kanji + ".b"; // 22-byte base: a cut at 21 splits the kanji
    ASSERT_TRUE(writer.AddFile(longBase, src, pmStored, false));
    EXPECT_FALSE(writer.AddFile(std::string(20, 'b') + port::Utf8ToCp932("い") + ".b", src, pmStored, false))
        << "its cut name would meet the first one";
    ASSERT_TRUE(writer.AddFile("a.b.txt", src, pmStored, false));
    ASSERT_TRUE(writer.AddFile(".x", src, pmStored, false));
    ASSERT_TRUE(writer.AddFile("pic.jp" + kanji, src, pmStored, false)); // extension: 3 bytes, no half character
    ASSERT_TRUE(Reload());
    std::string name;
    struct Case {
        int index;
        std::string composed;
    } cases[] = {{0, std::string(20, 'b') + ".b"}, {1, "a.b.txt"}, {2, ".x"}, {3, "pic.jp"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(reader.GetFileName(c.index, name));
        EXPECT_EQ(name, c.composed) << c.index;
    }
    EXPECT_EQ(reader.Record(2)->ext[0], 0); // a leading dot is part of the base
}

TEST_F(PackWrite, DeleteCopyAndReopen)
{
    std::string text = Text(TextBytes(9000, 3));
    ASSERT_TRUE(writer.NewPack(PackPath()));
    ASSERT_TRUE(writer.AddFile("a.txt", Source("a.txt", text), pmBriscaLE, false));
    ASSERT_TRUE(writer.AddFile("b.txt", Source("b.txt", "bee"), pmComplement, false));
    ASSERT_TRUE(writer.DelFile("A.TXT"));
    EXPECT_FALSE(writer.DelFile("a.txt"));
    EXPECT_FALSE(writer.DelFile(""));
    ASSERT_TRUE(writer.AddFile("a.txt", Source("a2.txt", "second"), pmStored, false)); // the name is free again
    ASSERT_TRUE(writer.EndPack());

    // Reopened writable: new data goes behind the old, the directory moves.
    ASSERT_TRUE(writer.LoadPack(PackPath()));
    TZoPack legacy;
    std::string legacyPack = std::string("ZoPack\x00\x01", 8) + std::string("\x10\0\0\0\x01\0\0\0", 8) +
                             std::string("old data\0\0\0\0\0\0\0\0", 16) + std::string("old.txt", 7) +
                             std::string(17, '\0') + std::string("\0\0\0\0\x08\0\0\0", 8);
    dir.Write("legacy.Pak", legacyPack);
    ASSERT_TRUE(legacy.LoadPack(dir.File("legacy.Pak")));
    ASSERT_TRUE(writer.AddPack("copied.txt", &legacy, "OLD.TXT"));
    EXPECT_FALSE(writer.AddPack("b.txt", &legacy, "old.txt")); // name taken
    EXPECT_FALSE(writer.AddPack("x.txt", &legacy, "missing"));
    ASSERT_TRUE(Reload());
    EXPECT_EQ(reader.GetFileNum(), 4);
    EXPECT_EQ(Contents(reader.ZoMakeStream("a.txt")), "second");
    EXPECT_EQ(Contents(reader.ZoMakeStream("b.txt")), "bee");
    EXPECT_EQ(Contents(reader.ZoMakeStream("copied.txt")), "old data");
    EXPECT_EQ(reader.Record(3)->crcflag, 1); // copies get a CRC even from a pack without
    EXPECT_TRUE(reader.VerifyFileCrc(3));
    EXPECT_EQ(reader.GetFileComp(0), 0); // the deleted entry's record stays, nameless
}

TEST_F(PackWrite, AddPackKeepsTheStoredStream)
{
    ASSERT_TRUE(writer.NewPack(PackPath()));
    std::string text = Text(TextBytes(4000, 4));
    ASSERT_TRUE(writer.AddFile("t.txt", Source("t.txt", text), pmLunet, false));
    ASSERT_TRUE(writer.EndPack());
    TZoPack source;
    ASSERT_TRUE(source.LoadPack(PackPath()));
    TZoPack copy;
    copy.SetReadOnly(false);
    ASSERT_TRUE(copy.NewPack(dir.File("copy.Pak")));
    ASSERT_TRUE(copy.AddPack("u.txt", &source, "t.txt"));
    ASSERT_TRUE(copy.EndPack());
    TZoPack check;
    ASSERT_TRUE(check.LoadPack(dir.File("copy.Pak")));
    EXPECT_EQ(check.Record(0)->comp, 1);
    EXPECT_EQ(check.Record(0)->dsize, source.Record(0)->dsize);
    EXPECT_EQ(check.Record(0)->crc, source.Record(0)->crc);
    EXPECT_EQ(Contents(check.ZoMakeStream("u.txt")), text);
}

TEST_F(PackWrite, TemporaryNamesAreTakenInOrderAndNeverShared)
{
    std::string first;
    std::string second;
    ASSERT_TRUE(TZoPack::MakeTempFile(first));
    ASSERT_TRUE(TZoPack::MakeTempFile(second));
    EXPECT_EQ(first, dir.File("tmp") + "/ZoTmp000.ZoPack");
    EXPECT_EQ(second, dir.File("tmp") + "/ZoTmp001.ZoPack");
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

TEST_F(PackWrite, ReadOnlyPacksAndClosedPacksRefuseChanges)
{
    TZoPack ro;
    EXPECT_FALSE(ro.NewPack(PackPath()));
    EXPECT_FALSE(ro.DelFile("a"));
    EXPECT_TRUE(writer.AddFile("a.txt", Source("a.txt", "x"), pmStored, false)); // no pack open: nothing done
    EXPECT_FALSE(std::filesystem::exists(PackPath()));
}

TEST_F(PackWrite, EditPackReplacesOnlyWhenEverythingWorked)
{
    std::string path = PackPath();
    std::string error;
    std::string a = Source("a.txt", "alpha");
    auto addA = [&](TZoPack& p, std::string&) { return p.AddFile("a.txt", a, pmStored, false); };
    ASSERT_TRUE(pendar::EditPack(path, pendar::PackStart::New, addA, error)) << error;
    std::string before = dir.Read("made.Pak");

    EXPECT_FALSE(pendar::EditPack(path, pendar::PackStart::Existing, addA, error)); // a.txt exists
    EXPECT_EQ(dir.Read("made.Pak"), before);
    EXPECT_FALSE(pendar::EditPack(dir.File("none.Pak"), pendar::PackStart::Existing, addA, error));
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.Pak")));

    std::string damaged = before;
    damaged[18] ^= 1;
    dir.Write("damaged.Pak", damaged);
    EXPECT_FALSE(pendar::EditPack(dir.File("damaged.Pak"), pendar::PackStart::ExistingOrNew, addA, error));
    EXPECT_EQ(dir.Read("damaged.Pak"), damaged);

    auto del = [&](TZoPack& p, std::string&) { return p.DelFile("a.txt"); };
    ASSERT_TRUE(pendar::EditPack(path, pendar::PackStart::Existing, del, error)) << error;
    TZoPack check;
    ASSERT_TRUE(check.LoadPack(path));
    EXPECT_EQ(check.CheckFileName("a.txt"), -1);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

} // namespace
