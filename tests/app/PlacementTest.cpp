// Where the character goes: every alignment with and without a window to
// sit on, the picture offsets, the task-bar mode, dragging with its
// threshold, snapping and clamping, the balloon's side, and the stacking.
// The plain skin: a 160 x 160 character in a window with a 256 x 128
// balloon on each side, on a 1024 x 740 work area.
#include "FaceForm.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using pendar::TPoint;
using pendar::test::SkinWorld;

constexpr int kBw = 256, kBh = 128;

struct Placed {
    SkinWorld w;

    Placed(int align, int offsetX, int offsetY)
    {
        EXPECT_TRUE(w.form.LoadPlainSkin());
        w.form.SkinInfo().align = align;
        w.form.Settings().offsetX = offsetX;
        w.form.Settings().offsetY = offsetY;
        w.form.ApplyTaskbarMode();
    }
    // The character's top-left corner on the screen, where the view put it.
    TPoint Character() const { return {w.world.view.left + kBw, w.world.view.top + kBh}; }
    void Place() { w.form.PlaceWindow(false); }
    // A press on the character, then moves to press + each delta.
    void Drag(TPoint press, std::initializer_list<TPoint> deltas, bool release = true)
    {
        w.form.MainImageMouseDown(true, press.x, press.y);
        for (TPoint d : deltas)
            w.form.MainImageMouseMove(true, press.x + d.x, press.y + d.y);
        if (release)
            w.form.MainImageMouseUp(true);
    }
};

TEST(Placement, EveryAlignment)
{
    const port::TRect none{};
    struct Case {
        const char* what;
        int align;
        int offsetX, offsetY;
        port::TRect window; // tracked when not empty
        bool taskbar;
        TPoint character;
    } cases[] = {
        {"bottom, middle", alBottom, 5000, 0, none, false, {432, 580}},
        {"bottom, right end", alBottom, 10000, 0, none, false, {864, 580}},
        {"top, left end", alTop, 0, 7000, none, false, {0, 0}},
        {"left, middle", alLeft, 9000, 5000, none, false, {0, 290}},
        {"right, bottom end", alRight, 0, 10000, none, false, {864, 580}},
        {"free", alFree, 5000, 5000, none, false, {432, 290}},
        {"wintop without a window sits at the bottom", alWinTop, 5000, 0, none, false, {432, 580}},
        {"winbottom without a window sits at the top", alWinBottom, 5000, 0, none, false, {432, 0}},
        {"winleft without a window sits on the right", alWinLeft, 0, 5000, none, false, {864, 290}},
        {"winright without a window sits on the left", alWinRight, 0, 5000, none, false, {0, 290}},
        {"on a window's top edge", alWinTop, 5000, 0, {100, 300, 600, 700}, false, {270, 140}},
        {"a character's height below a window", alWinBottom, 0, 0, {100, 300, 600, 500}, false, {100, 660}},
        {"left of a window shorter than the character", alWinLeft, 0, 5000, {300, 200, 600, 300}, false, {140, 200}},
        {"a character's width right of a window", alWinRight, 0, 10000, {100, 100, 500, 600}, false, {660, 440}},
        {"task-bar mode keeps winleft on the right", alWinLeft, 0, 5000, {300, 200, 600, 500}, true, {864, 290}},
        {"ratios out of range are clamped on the edge", alBottom, 90000, 0, none, false, {864, 580}},
    };
    for (const Case& c : cases) {
        Placed p(c.align, c.offsetX, c.offsetY);
        p.w.form.Settings().taskbar = c.taskbar;
        p.w.form.ApplyTaskbarMode();
        if (c.window.Width() > 0)
            p.w.form.Track(42, c.window);
        p.Place();
        EXPECT_EQ(c.character, p.Character()) << c.what;
        p.Place();
        EXPECT_EQ(c.character, p.Character()) << c.what << ": placing again moves it";
        EXPECT_EQ(c.offsetX, p.w.form.Settings().offsetX) << c.what << ": placing is no drag";
        EXPECT_EQ(c.align > alRight && !c.taskbar, p.w.world.tracker.following)
            << c.what << ": the foreground window is followed only for a window-relative place";
    }
}

TEST(Placement, PictureOffsetsAndTheWorkAreaOrigin)
{
    Placed p(alBottom, 5000, 0);
    p.w.form.SkinInfo().pictureOffX = 10;
    p.w.form.SkinInfo().pictureOffY = 5;
    p.Place();
    // Across the edge the offset counts twice, down it once.
    EXPECT_EQ((TPoint{452, 585}), p.Character());

    // Offsets no screen could hold are cut, never overflow.
    Placed huge(alBottom, 5000, 0);
    huge.w.form.SkinInfo().pictureOffX = std::numeric_limits<int>::max();
    huge.w.form.SkinInfo().pictureOffY = std::numeric_limits<int>::min();
    huge.Place();
    huge.Drag({500, 650}, {{20, 0}});
    EXPECT_EQ((TPoint{864 + 65536, 580 - 65536}), huge.Character());

    Placed shifted(alBottom, 5000, 0);
    shifted.w.world.view.workArea = {100, 40, 1124, 780};
    shifted.Place();
    EXPECT_EQ((TPoint{532, 620}), shifted.Character());
    EXPECT_EQ(shifted.w.world.view.left, shifted.w.form.WindowLeft());
}

TEST(Placement, DragFollowsTheMouseFromThePressPoint)
{
    Placed p(alBottom, 5000, 0); // character at (432, 580)
    p.Place();
    const int moves = p.w.world.view.moves;
    p.w.form.MainImageMouseDown(true, 500, 650);
    p.w.form.MainImageMouseMove(true, 504, 654); // 8 from the press point
    EXPECT_EQ(moves, p.w.world.view.moves);
    EXPECT_FALSE(p.w.form.MainImageMouseUp(true)) << "a press without movement stays a click";

    p.Drag({500, 650}, {{5, 4}}, false);
    EXPECT_EQ((TPoint{437, 580}), p.Character());
    EXPECT_TRUE(p.w.form.Dragging());
    p.w.form.MainImageMouseMove(true, 600, 450); // bottom: only across
    EXPECT_EQ((TPoint{532, 580}), p.Character());
    EXPECT_TRUE(p.w.form.MainImageMouseUp(true));
    EXPECT_EQ(10000 * 532 / 864, p.w.form.Settings().offsetX);
    p.w.form.MainImageMouseMove(true, 700, 650);
    EXPECT_EQ((TPoint{532, 580}), p.Character()) << "no drag after the release";

    // The right button never drags.
    p.w.form.MainImageMouseDown(false, 500, 650);
    p.w.form.MainImageMouseMove(true, 300, 650);
    EXPECT_EQ((TPoint{532, 580}), p.Character());

    // Picture offsets are added once per move, not once per step.
    Placed off(alBottom, 5000, 0);
    off.w.form.SkinInfo().pictureOffX = 10;
    off.Place(); // (452, 580)
    off.Drag({500, 650}, {{20, 0}, {20, 0}, {20, 0}});
    EXPECT_EQ((TPoint{482, 580}), off.Character());
}

TEST(Placement, DraggingClampsAndSnaps)
{
    Placed free(alFree, 5000, 5000); // (432, 290)
    free.Place();
    free.Drag({500, 400}, {{-425, 0}}); // to x 7
    EXPECT_EQ((TPoint{0, 290}), free.Character());
    EXPECT_EQ(0, free.w.form.Settings().offsetX);
    free.Drag({100, 400}, {{873, 285}}); // right edge at 1033, bottom at 735
    EXPECT_EQ((TPoint{864, 580}), free.Character());
    EXPECT_EQ(10000, free.w.form.Settings().offsetY);
    free.Drag({100, 400}, {{-40, -40}}); // 24 from the edges: no snap
    EXPECT_EQ((TPoint{824, 540}), free.Character());

    Placed bottom(alBottom, 5000, 0);
    bottom.Place();
    bottom.Drag({500, 650}, {{-1000, 0}});
    EXPECT_EQ((TPoint{0, 580}), bottom.Character());
    bottom.Drag({500, 650}, {{2000, 0}});
    EXPECT_EQ((TPoint{864, 580}), bottom.Character());

    Placed onWindow(alWinTop, 5000, 0);
    onWindow.w.form.Track(7, {100, 300, 600, 700});
    onWindow.Place(); // (270, 140)
    onWindow.Drag({300, 200}, {{400, 50}});
    EXPECT_EQ((TPoint{440, 140}), onWindow.Character()) << "kept on the window's top edge";
    EXPECT_EQ(10000, onWindow.w.form.Settings().offsetX);
}

TEST(Placement, BalloonGoesRightNearTheLeftEdge)
{
    Placed p(alBottom, 5000, 0);
    p.Place();
    const pendar::TFace& face = p.w.form.Face();
    const int lx = p.w.form.SkinInfo().mesOffsetLX; // 16: the balloon's left edge at x - 240
    const int onLeft = lx;
    const int onRight = kBw + 160 - p.w.form.SkinInfo().mesOffsetRX;
    EXPECT_EQ(onLeft, face.mesPanel.left);
    p.Drag({500, 650}, {{-400, 0}}); // character x 32: the balloon would start left of the screen
    EXPECT_EQ(onRight, face.mesPanel.left);
    p.Drag({500, 650}, {{200, 0}}); // x 232: still no room on the left
    EXPECT_EQ(onRight, face.mesPanel.left);
    p.Drag({500, 650}, {{8, 1}}); // x 240: just enough
    EXPECT_EQ(onLeft, face.mesPanel.left);
}

TEST(Placement, StayOnTopForTheSkinOrTheSetting)
{
    struct Case {
        int onTop;
        bool stayOnTop;
        bool topmost;
    } cases[] = {{-1, false, false}, {0, true, true}, {1, false, true}, {0, false, false}};
    for (const Case& c : cases) {
        Placed p(alBottom, 0, 0);
        p.w.form.SkinInfo().onTop = c.onTop;
        p.w.form.Settings().stayOnTop = c.stayOnTop;
        p.w.world.view.onTop = !c.topmost;
        p.w.form.ApplyZOrder();
        EXPECT_EQ(c.topmost, p.w.world.view.onTop) << c.onTop << " " << c.stayOnTop;
    }
}

} // namespace
