// ﾍﾙﾌﾟ from the character's menu on a real X server: the desktop's opener
// gets the help page; without an opener, or when it fails, Pendar's own
// help window shows it.
#include "WindowFixture.h"
#include "app_qt/HelpWindow.h"
#include "port/AppFolder.h"
#include "support/FakeOpener.h"
#include "support/RecordingMessageBoxes.h"

#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using pendar::test::FakeOpener;
using pendar::test::ScopedPath;
using pendar::test::TempDir;
using pendar::test::WindowFixture;

// The window shown, its form started, ready for ﾍﾙﾌﾟ.
struct HelpFixture : WindowFixture {
    HelpFixture()
    {
        form.FormCreate();
        window.show();
    }

    void ChooseHelp()
    {
        QAction* help = Action("ﾍﾙﾌﾟ(&H)");
        ASSERT_NE(nullptr, help);
        help->trigger();
    }
};

const std::string& HelpPage()
{
    static const std::string page = port::FindSharedFile(port::ThisAppFolders(), "help/Pendar.html");
    return page;
}

TEST(Help, WithoutAnOpenerPendarsOwnWindowShowsThePage)
{
    ASSERT_FALSE(HelpPage().empty()) << "the build puts the help page beside the binaries";
    TempDir noOpener;
    ScopedPath path(noOpener.Path());
    pendar::test::ScopedMessageBoxes boxes;
    HelpFixture f;

    for (int round = 0; round < 2; ++round) { // again after the window was closed
        f.ChooseHelp();
        pendar::HelpWindow* help = f.window.OwnHelp();
        ASSERT_NE(nullptr, help);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help)) << "round " << round;
        EXPECT_EQ(QString::fromUtf8("Pendar ヘルプ"), help->windowTitle());
        EXPECT_EQ(QUrl::fromLocalFile(QString::fromStdString(HelpPage())), help->Browser()->source());
        for (const char* heading : {"キャラクターの操作", "予定", "STARTTLS", "CAP_SYS_TIME", "Info.ini の書き方",
                                    "ファイルの場所"})
            EXPECT_TRUE(help->Browser()->toPlainText().contains(QString::fromUtf8(heading))) << heading;
        help->close();
    }
    EXPECT_TRUE(boxes.recorder.boxes.empty()) << "a missing opener is no error when Pendar can show the help";
}

TEST(Help, TheOwnWindowFallsBackOnTheBuiltInPage)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    for (const std::string& page : {std::string(), dir.File("missing.html"), dir.File("folder")}) {
        pendar::HelpWindow help;
        help.ShowPage(QString::fromStdString(page));
        EXPECT_EQ(QUrl("qrc:/help/Pendar.html"), help.Browser()->source()) << page;
        EXPECT_EQ(QString::fromUtf8("Pendar ヘルプ"), help.windowTitle()) << page;
        EXPECT_TRUE(help.Browser()->toPlainText().contains(QString::fromUtf8("ファイルの場所"))) << page;
    }
}

// The opener gets the page; when it fails (3: nothing to open it with, 4:
// the opening failed), Pendar's own window shows it instead of an error box.
TEST(Help, TheDesktopsOpenerGetsTheHelpPageAndAFailureOpensTheOwnWindow)
{
    for (int exitCode : {0, 3, 4}) {
        FakeOpener opener(exitCode);
        ScopedPath path(opener.Bin() + ":/usr/bin:/bin");
        pendar::test::ScopedMessageBoxes boxes;
        HelpFixture f;
        f.ChooseHelp();
        std::string seen = opener.Seen();
        EXPECT_EQ(HelpPage(), seen.substr(0, seen.find('\n'))) << "exit " << exitCode;
        if (exitCode == 0) {
            EXPECT_EQ(nullptr, f.window.OwnHelp());
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.OwnHelp() && f.window.OwnHelp()->isVisible(); }, 20000))
                << "exit " << exitCode;
        }
        EXPECT_TRUE(boxes.recorder.boxes.empty()) << "exit " << exitCode;
    }
}

} // namespace
