#include "platform/ZoFileExec.h"
#include "port/Cp932.h"
#include "support/FakeOpener.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempDir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

using pendar::test::FakeOpener;
using pendar::test::ScopedPath;

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

// Each failure in a box, or, for a caller with a handler of its own, to that
// handler with the shell's code and no box.
TEST(ZoFileExec, ShowsWhyItCouldNotOpen)
{
    pendar::test::TempDir docs;
    docs.Write("there.txt", "x");
    pendar::test::TempDir noOpener; // a PATH without xdg-open

    struct Case {
        std::string path;
        std::string pathVariable;
        const char* text; // empty: no box
        int code;         // what a handler gets; -2: not called
    } cases[] = {
        {docs.File("missing.txt"), "/usr/bin:/bin", "指定されたファイルが見つかりませんでした。", 2},
        {"no-such-document-here.txt", "/usr/bin:/bin", "指定されたファイルが見つかりませんでした。", 2},
        {docs.File("gone/missing.txt"), "/usr/bin:/bin", "指定されたパスが見つかりませんでした。", 3},
        {docs.File("there.txt"), noOpener.Path(),
         "指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。", 31},
        {"", noOpener.Path(), "", -2},
    };
    for (const Case& c : cases) {
        ScopedPath path(c.pathVariable);
        {
            pendar::test::ScopedMessageBoxes boxes;
            int handled = -2;
            ZoFileExec(c.path, [&handled](int code) { handled = code; });
            EXPECT_EQ(c.code, handled) << c.path;
            EXPECT_TRUE(boxes.recorder.boxes.empty()) << c.path;
        }
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

// The opener's exit status decides the box, shown once it has ended; a
// handler gets the code instead.
TEST(ZoFileExec, ShowsTheOpenersFailureWhenItEnds)
{
    pendar::test::TempDir docs;
    docs.Write("there.txt", "x");
    const struct {
        int exitCode;
        const char* text;
        int code;
    } cases[] = {
        {2, "指定されたファイルが見つかりませんでした。", 2},
        {3, "指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。", 31},
        {1, "不明なエラー", -1},
        {4, "不明なエラー", -1},
        {9, "不明なエラー", -1},
    };
    // Shown through the event loop, as the application shows it.
    auto waitFor = [](const std::function<bool()>& done) {
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < give_up)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        FakeOpener opener(c.exitCode);
        ScopedPath path(opener.Bin() + ":/usr/bin:/bin");
        pendar::test::ScopedMessageBoxes boxes;
        ZoFileExec(docs.File("there.txt"));
        waitFor([&] { return !boxes.recorder.boxes.empty(); });
        ASSERT_EQ(1u, boxes.recorder.boxes.size());
        EXPECT_EQ(port::Utf8ToCp932(c.text), boxes.recorder.boxes[0].text);
        EXPECT_EQ(port::Utf8ToCp932("エラー"), boxes.recorder.boxes[0].caption);

        int handled = -2;
        ZoFileExec(docs.File("there.txt"), [&handled](int code) { handled = code; });
        waitFor([&] { return handled != -2; });
        EXPECT_EQ(c.code, handled);
        EXPECT_EQ(1u, boxes.recorder.boxes.size());
    }
}

} // namespace
