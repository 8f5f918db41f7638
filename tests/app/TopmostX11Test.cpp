// The real program kept above the others (StayOnTop) on a desktop with a
// window manager and a task bar: its modal dialogs run to their end and
// leave the character answering, and the character has no task-bar button.
#include "LivePendar.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

struct ModalCase {
    const char* what;
    int entry;          // in the character's menu
    const char* title;  // the dialog's title
    std::vector<std::string> keys; // what the user types in the dialog
    bool clickOk;       // then clicks OK in the bottom right corner
    const char* saved;  // the Pendar.ini line the dialog's work leaves
    const char* closeKey; // how the user closes the dialog afterwards
    bool aboveAfter;    // whether the character is still kept above
};

TEST(Topmost, AModalDialogRunsToItsEndAndTheCharacterStillAnswers)
{
    const ModalCase cases[] = {
        // "z" picks "Zed" in the list, Return presses 設定 (the dialog stays).
        {"character selection", LivePendar::kCharSelectEntry, "キャラ選択", {"z", "Return"}, false, "SkinName=Zed",
         "Escape", true},
        // From the page's tab to the third check box, 常に最前面に表示: off.
        {"settings", LivePendar::kSettingsEntry, "設定", {"Tab", "Tab", "Tab", "space"}, true, "StayOnTop=0",
         nullptr, false},
    };
    for (const ModalCase& c : cases) {
        SCOPED_TRACE(c.what);
        LivePendar app;
        app.AddSkinPack("Zed");
        app.WriteConfig({"SkinName=Sorel", "StayOnTop=1"});
        ASSERT_TRUE(app.Start());
        const xcb_window_t dialog = app.OpenFromMenu(c.entry, c.title);
        ASSERT_NE(0u, dialog) << "no dialog";

        ASSERT_TRUE(PressKeys(c.keys));
        if (c.clickOk)
            app.ClickOk(dialog);
        EXPECT_TRUE(WaitUntil([&] { return app.IniHas(c.saved); })) << app.Ini();
        if (c.closeKey)
            Xdotool({"key", c.closeKey});
        EXPECT_TRUE(WaitUntil([&] { return app.Window(c.title) == 0; })) << "the dialog stayed";

        EXPECT_TRUE(WaitUntil([&] {
            return app.x.HasAtom(app.Main(), "_NET_WM_STATE", "_NET_WM_STATE_ABOVE") == c.aboveAfter;
        }));
        EXPECT_TRUE(app.OpenMenu()) << "the character ignores the right button";
        Xdotool({"key", "Escape"});
        EXPECT_EQ(0, app.Stop());
    }
}

TEST(Topmost, StartedAboveTheOthersTheCharacterHasNoTaskBarButton)
{
    // With a tray icon the character needs no task-bar button, above the
    // others or not.
    TrayHost tray;
    ASSERT_TRUE(tray.Ready());
    for (const char* onTop : {"StayOnTop=0", "StayOnTop=1"}) {
        SCOPED_TRACE(onTop);
        LivePendar app;
        app.WriteConfig({"SkinName=Sorel", onTop});
        ASSERT_TRUE(app.Start());
        const xcb_window_t main = app.Main();
        const bool above = std::string(onTop).back() == '1';
        // The window manager has the states once it manages the window.
        EXPECT_TRUE(WaitUntil([&] {
            return app.x.HasAtom(main, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR") &&
                   app.x.HasAtom(main, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE") == above;
        })) << Joined(app.x.AtomNames(main, "_NET_WM_STATE"));
        EXPECT_EQ(0, app.Stop());
    }
}

} // namespace
