// On the real program every press counts, the second of a double click
// too: a double click on the balloon turns two pages, and the second press
// of a double click on the character, held and moved, drags it.
#include "DesktopSkins.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace pendar::test;

constexpr int kCharacter = 100; // the character's and the balloon's width
constexpr int kHeight = 80;

// A 100 x 80 character and, level with it, a balloon of the same size; the
// greeting has three pages of four lines: a, b, c.
void StartPagedSkin(LivePendar& app)
{
    WriteSkin(app, "Pages",
              {"ALIGN=BOTTOM", "MESOFFSETX=0", "MESOFFSETY=0", "STARTMES=a1\\na2\\na3\\na4\\nb1\\nb2\\nb3\\nb4\\nc1"},
              BlockPicture(kCharacter, kHeight, 0x3366CC), BlockPicture(kCharacter, kHeight, 0xF8F8DC));
    app.WriteConfig({"SkinName=Pages", "OffsetX=5000"});
    ASSERT_TRUE(app.Start()) << app.Errors();
    ASSERT_TRUE(WaitUntil([&] { return BalloonShown(app, kCharacter, kCharacter); })) << "no greeting";
    // Forward first: a press that only activates the window turns no page.
    const XBox c = app.Character();
    Xdotool({"mousemove", std::to_string(c.CentreX()), std::to_string(c.CentreY()), "click", "1"});
    ASSERT_TRUE(WaitUntil([&] { return app.x.ActiveWindow() == app.Main(); }));
}

// Input that follows a click must wait out the double-click time, or its
// first press makes a double click with that one.
constexpr const char* kPastDoubleClick = "0.6";

TEST(DoubleClick, OnTheBalloonTurnsTwoPages)
{
    LivePendar app;
    StartPagedSkin(app);
    // The balloon: the shown part of the window left of the character.
    const XBox w = app.x.Box(app.Main());
    int top = w.height, bottom = 0;
    for (const xcb_rectangle_t& r : app.x.Shape(app.Main()))
        if (r.x < kCharacter) {
            top = std::min<int>(top, r.y);
            bottom = std::max<int>(bottom, r.y + r.height);
        }
    ASSERT_LT(top, bottom);
    const std::string x = std::to_string(w.x + kCharacter / 2);
    const std::string y = std::to_string(w.y + (top + bottom) / 2);
    ASSERT_TRUE(
        Xdotool({"sleep", kPastDoubleClick, "mousemove", x, y, "click", "--repeat", "2", "--delay", "60", "1"}));
    // Page c shows; one more click reads it to its end.
    ASSERT_TRUE(Xdotool({"sleep", kPastDoubleClick, "click", "1"}));
    EXPECT_TRUE(WaitUntil([&] { return !BalloonShown(app, kCharacter, kCharacter); }))
        << "the balloon still shows a page";
    EXPECT_EQ(0, app.Stop());
}

TEST(DoubleClick, TheSecondPressHeldDragsTheCharacter)
{
    LivePendar app;
    StartPagedSkin(app);
    const XBox before = app.x.Box(app.Main());
    const XBox c = app.Character();
    const int x = c.CentreX();
    const std::string y = std::to_string(c.CentreY());
    ASSERT_TRUE(Xdotool({"sleep", kPastDoubleClick, "mousemove", std::to_string(x), y, "click", "1", "mousedown", "1",
                         "mousemove", std::to_string(x - 30), y, "mousemove", std::to_string(x - 80), y, "mouseup",
                         "1"}));
    // Along the bottom edge, by the pointer's way.
    EXPECT_TRUE(WaitUntil([&] { return app.x.Box(app.Main()).x == before.x - 80; }))
        << "window at " << app.x.Box(app.Main()).x << ", was " << before.x;
    // It was a double click: the calendar came too.
    EXPECT_TRUE(WaitUntil([&] { return app.Window("カレンダー") != 0; }));
    EXPECT_EQ(0, app.Stop());
}

} // namespace
