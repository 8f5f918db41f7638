// The real program's menu short-cuts belong to the character's window and
// its menu: in the log window Ctrl+C copies and Alt+F4 closes the log
// alone, in the calendar Ctrl+S is no command of the main menu; in the
// character's open menu they still run their entries.
#include "LivePendar.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace pendar::test;

// The clipboard's text, as another program reads it.
std::string Clipboard()
{
    std::string text;
    if (std::FILE* p = ::popen("xclip -o -selection clipboard 2>/dev/null", "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            text.append(buf, n);
        ::pclose(p);
    }
    return text;
}

TEST(Shortcuts, BelongToTheCharactersWindowAndItsMenu)
{
    LivePendar app;
    ASSERT_TRUE(app.Start());

    // The log has the focus: select everything and copy it.
    ASSERT_NE(0u, app.OpenFromMenu(LivePendar::kLogEntry, "Log"));
    ASSERT_TRUE(PressKeys({"ctrl+a", "ctrl+c"}));
    EXPECT_TRUE(WaitUntil([] { return Clipboard().find("SorelPendar Log") != std::string::npos; }))
        << "clipboard: " << Clipboard();
    // Alt+F4 closes the log alone.
    ASSERT_TRUE(PressKeys({"alt+F4"}));
    EXPECT_TRUE(WaitUntil([&] { return app.Window("Log") == 0; }));
    EXPECT_TRUE(app.Running());
    EXPECT_NE(0u, app.Main());

    // In the calendar Ctrl+S opens no settings: the character's menu still
    // comes on the next right click (a modal dialog would block it).
    ASSERT_NE(0u, app.OpenFromMenu(LivePendar::kCalendarEntry, "カレンダー"));
    ASSERT_TRUE(PressKeys({"ctrl+s"}));
    EXPECT_TRUE(app.OpenMenu());
    EXPECT_EQ(0u, app.Window("設定"));

    // In the character's open menu, and on the character clicked forward,
    // the short-cut runs its entry.
    for (const char* where : {"menu", "character"}) {
        SCOPED_TRACE(where);
        if (std::string(where) == "character") {
            const XBox b = app.Character();
            Xdotool({"mousemove", std::to_string(b.CentreX()), std::to_string(b.CentreY()), "click", "1"});
            EXPECT_TRUE(WaitUntil([&] { return app.x.ActiveWindow() == app.Main(); }));
        }
        ASSERT_TRUE(PressKeys({"ctrl+s"}));
        EXPECT_TRUE(WaitUntil([&] { return app.Window("設定") != 0; }));
        PressKeys({"Escape"});
        EXPECT_TRUE(WaitUntil([&] { return app.Window("設定") == 0; }));
    }
    EXPECT_EQ(0, app.Stop());
}

} // namespace
