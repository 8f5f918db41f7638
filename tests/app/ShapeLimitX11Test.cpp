// The real program with a skin whose transparent outline has a run for
// every second pixel (a one-pixel checkerboard or stripes, 2048 x 2048), as
// the character and as the balloon: it runs, its window shows, and the
// shape the X server holds stays within one request's rectangles.
#include "DesktopSkins.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

bool Checker(int x, int y)
{
    return (x + y) % 2 == 1;
}
bool Stripes(int x, int)
{
    return x % 2 == 1;
}
// A plain block with a key-coloured border.
bool Block(int x, int y)
{
    return x > 0 && y > 0 && x < 99 && y < 79;
}

struct BusySkin {
    const char* what;
    bool (*character)(int, int);
    int characterSize;
    bool (*balloon)(int, int);
    int balloonSize;
};

TEST(ShapeLimit, ASkinOfCountlessRunsShowsAsCharacterAndAsBalloon)
{
    const BusySkin skins[] = {
        {"checkerboard character", Checker, 2048, Block, 100},
        {"striped character", Stripes, 2048, Block, 100},
        {"checkerboard balloon", Block, 100, Checker, 2048},
    };
    for (const BusySkin& s : skins) {
        SCOPED_TRACE(s.what);
        LivePendar app;
        WriteSkin(app, "Busy", {"ALIGN=FREE", "STARTMES=Hello"},
                  Picture(s.characterSize, s.characterSize, s.character, 0x3366CC),
                  Picture(s.balloonSize, s.balloonSize * 4 / 5, s.balloon, 0xF8F8DC));
        app.WriteConfig({"SkinName=Busy", "OffsetX=0", "OffsetY=0"});
        ASSERT_TRUE(app.Start()) << app.Errors();
        // The greeting shows: the balloon's shape joins the window's.
        EXPECT_TRUE(WaitUntil([&] { return BalloonShown(app, s.balloonSize, s.characterSize); })) << app.Errors();
        const xcb_window_t main = app.Main();
        const size_t rects = app.x.Shape(main).size();
        EXPECT_GT(rects, 0u);
        EXPECT_LE(rects, 65536u);
        EXPECT_TRUE(app.Running()) << app.Errors();
        EXPECT_EQ(0, app.Stop()) << app.Errors();
    }
}

} // namespace
