// Without a tray host the real program's character minimises to the task
// bar; restored from there with a click on its button, its menu offers
// 最小化 again.
#include "LivePendar.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

bool Minimised(const LivePendar& app, xcb_window_t main)
{
    return app.x.HasAtom(main, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN");
}

TEST(Minimise, RestoredFromTheTaskBarTheMenuOffersMinimiseAgain)
{
    TaskBar bar;
    ASSERT_TRUE(bar.Ready());
    LivePendar app;
    ASSERT_TRUE(app.Start());
    const xcb_window_t main = app.Main();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // 最小化(&N) in the character's menu.
        ASSERT_TRUE(app.OpenMenuByKey());
        ASSERT_TRUE(PressKeys({"n"}));
        ASSERT_TRUE(WaitUntil([&] { return Minimised(app, main); })) << "not minimised";
        ASSERT_TRUE(bar.ClickFirstTask());
        ASSERT_TRUE(WaitUntil([&] { return !Minimised(app, main) && app.x.Viewable(main); })) << "not restored";
    }
    EXPECT_EQ(0, app.Stop());
}

} // namespace
