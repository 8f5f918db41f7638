#include "platform/ZoFileExec.h"
#include "port/Cp932.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// PATH for one scope, so that "xdg-open" is the fake one or missing.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path)
    {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        old_ = old ? old : "";
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath()
    {
        if (had_)
            ::setenv("PATH", old_.c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    bool had_;
    std::string old_;
};

// A stand-in for xdg-open that writes down its argument and the folder it
// was started in.
class FakeOpener {
public:
    FakeOpener()
    {
        fs::create_directory(dir_.File("bin"));
        dir_.Write("bin/xdg-open", "#!/bin/sh\n"
                                   "printf '%s\\n' \"$1\" > '" + dir_.File("seen") + "'\n"
                                   "pwd -P >> '" + dir_.File("seen") + "'\n"
                                   ": > '" + dir_.File("done") + "'\n");
        fs::permissions(dir_.File("bin/xdg-open"), fs::perms::owner_all);
    }
    std::string Bin() const { return dir_.File("bin"); }

    // The argument and folder of the call, or empty when none came.
    std::string Seen() const
    {
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!fs::exists(dir_.File("done")) && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return dir_.Read("seen");
    }

private:
    pendar::test::TempDir dir_;
};

TEST(ZoFileExec, OpensTheDocumentInItsFolderByItsFullPath)
{
    pendar::test::TempDir docs;
    std::string name = "\x93\xfa\x96\x7b.txt"; // CP932 bytes, not UTF-8: passed on unchanged
    docs.Write(name, "x");
    std::string relative = fs::relative(docs.File(name), fs::current_path()).string();
    ASSERT_NE('/', relative[0]);

    FakeOpener opener;
    ScopedPath path(opener.Bin() + ":/usr/bin:/bin");
    pendar::test::ScopedMessageBoxes boxes;
    ZoFileExec(relative);
    std::string seen = opener.Seen();

    std::string argument = seen.substr(0, seen.find('\n'));
    EXPECT_EQ('/', argument[0]) << argument;
    EXPECT_TRUE(fs::equivalent(argument, docs.File(name))) << argument;
    EXPECT_EQ(fs::canonical(docs.Path()).string() + "\n", seen.substr(seen.find('\n') + 1));
    EXPECT_TRUE(boxes.recorder.boxes.empty());
}

TEST(ZoFileExec, PassesAUrlAsItIs)
{
    FakeOpener opener;
    ScopedPath path(opener.Bin() + ":/usr/bin:/bin");
    pendar::test::ScopedMessageBoxes boxes;
    ZoFileExec("https://example.invalid/a page?x=1");
    std::string seen = opener.Seen();
    EXPECT_EQ("https://example.invalid/a page?x=1", seen.substr(0, seen.find('\n')));
    EXPECT_TRUE(boxes.recorder.boxes.empty());
}

TEST(ZoFileExec, ShowsWhyItCouldNotOpen)
{
    pendar::test::TempDir docs;
    docs.Write("there.txt", "x");
    pendar::test::TempDir noOpener; // a PATH without xdg-open

    struct Case {
        std::string path;
        std::string pathVariable;
        const char* text; // empty: no box
    } cases[] = {
        {docs.File("missing.txt"), "/usr/bin:/bin", "指定されたファイルが見つかりませんでした。"},
        {"no-such-document-here.txt", "/usr/bin:/bin", "指定されたファイルが見つかりませんでした。"},
        {docs.File("gone/missing.txt"), "/usr/bin:/bin", "指定されたパスが見つかりませんでした。"},
        {docs.File("there.txt"), noOpener.Path(),
         "指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。"},
        {"", noOpener.Path(), ""},
    };
    for (const Case& c : cases) {
        ScopedPath path(c.pathVariable);
        pendar::test::ScopedMessageBoxes boxes;
        ZoFileExec(c.path);
        if (*c.text == '\0') {
            EXPECT_TRUE(boxes.recorder.boxes.empty()) << c.path;
            continue;
        }
        ASSERT_EQ(1u, boxes.recorder.boxes.size()) << c.path;
        const auto& box = boxes.recorder.boxes[0];
        EXPECT_EQ(port::Utf8ToCp932(c.text), box.text) << c.path;
        EXPECT_EQ(port::Utf8ToCp932("エラー"), box.caption);
        EXPECT_EQ(port::MessageIcon::Error, box.icon);
    }
}

} // namespace
