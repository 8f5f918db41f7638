// The real program started for the first time (no Pendar.ini): its mail
// page lists no profile, and 新規 makes the first one.
#include "LivePendar.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

TEST(FreshInstall, TheMailPageListsNoProfileAndNewMakesTheFirst)
{
    LivePendar app;
    ASSERT_TRUE(app.Start());
    const xcb_window_t dialog = app.OpenFromMenu(LivePendar::kSettingsEntry, "設定");
    ASSERT_NE(0u, dialog);
    // The page tabs have the focus: two pages on to メール, past the empty
    // list to 新規, press it; then OK.
    ASSERT_TRUE(PressKeys({"Right", "Right", "Tab", "Tab", "space"}));
    ASSERT_TRUE(app.ClickOk(dialog));
    // "新規" in Shift_JIS; the other nine stay empty.
    EXPECT_TRUE(WaitUntil([&] { return app.IniHas("Profile00=\x90\x56\x8B\x4B"); })) << app.Ini();
    EXPECT_TRUE(app.IniHas("Profile01="));
    EXPECT_TRUE(app.IniHas("UserID09="));
    EXPECT_EQ(0, app.Stop());
}

} // namespace
