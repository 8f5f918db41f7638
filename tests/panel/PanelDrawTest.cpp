#include "PanelFixture.h"
#include "PixelBoard.h"
#include "raster/ZoAlpha.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

using namespace pendar::test;

// Records the parts a panel's own drawing was asked for (panel coordinates).
void RecordParts(TZoRGBPanel& panel, Rects& parts)
{
    panel.OnDraw = [&parts](TZoRGBPanel*, TZoRGBBits*, int, int, int sx, int sy, int dx, int dy) {
        parts.push_back(ZoRect(sx, sy, sx + dx, sy + dy));
        return false;
    };
}

Rects ModifiedOf(const TZoRGBPanel& panel)
{
    TZoRectSet set;
    panel.GetModifiedRectSet(&set);
    return set.Rects();
}

// Where a panel shows in its root's coordinates: its area cut by every
// ancestor's, nothing when it or an ancestor is not drawn.
TZoRect ShownArea(const TZoRGBPanel& panel)
{
    TZoRect shown(0, 0, panel.SizeX(), panel.SizeY());
    int x = 0;
    int y = 0;
    panel.ClientToScreen(x, y);
    shown.OffsetRect(x, y);
    for (const TZoRGBPanel* at = &panel; at; at = at->Parent()) {
        TZoRect area(0, 0, at->SizeX(), at->SizeY());
        x = 0;
        y = 0;
        at->ClientToScreen(x, y);
        area.OffsetRect(x, y);
        if (!at->Created() || !at->Visible() || !shown.IntersectRect(shown, area))
            return TZoRect();
    }
    return shown;
}

// Root R (40 x 30) holds C (5 x 4 at 2, 3), which holds G (2 x 2 at 1, 1),
// and S (10 x 10 at 30, 20) in front. After a change, Update must draw
// exactly what changed, each pixel once: the root all of it, every other
// panel what of it lies there.
TEST(PanelDraw, UpdateRedrawsExactlyWhatChanged)
{
    struct Case {
        const char* what;
        std::function<void(std::map<char, TZoRGBPanel*>&)> change;
        Rects redrawn; // in the root's coordinates
    } cases[] = {
        {"nothing", [](auto&) {}, {}},
        {"a move", [](auto& p) { p['C']->SetOffsetX(20); }, {ZoRect(2, 3, 7, 7), ZoRect(20, 3, 25, 7)}},
        {"a resize", // through 8 x 4 on the way
         [](auto& p) {
             p['C']->SetSizeX(8);
             p['C']->SetSizeY(2);
         },
         {ZoRect(2, 3, 10, 7)}},
        {"hiding", [](auto& p) { p['C']->Hide(); }, {ZoRect(2, 3, 7, 7)}},
        {"releasing", [](auto& p) { p['C']->Release(); }, {ZoRect(2, 3, 7, 7)}},
        {"another frame count", [](auto& p) { p['C']->SetNumBlock(2); }, {ZoRect(2, 3, 7, 7)}},
        {"a new mask mode", [](auto& p) { p['C']->SetMaskMode(mmKey); }, {ZoRect(2, 3, 7, 7)}},
        {"the same colour key", [](auto& p) { p['C']->SetColorKey(TZoRGB()); }, {}},
        {"a new parent", [](auto& p) { p['C']->SetParent(p['S']); }, {ZoRect(2, 3, 7, 7), ZoRect(32, 23, 37, 27)}},
        {"raised in front of a sibling", [](auto& p) { p['R']->RaiseOrder(p['C'], p['S']); }, {ZoRect(2, 3, 7, 7)}},
        {"a grandchild's own rectangle", [](auto& p) { p['G']->SetModifyRect(ZoRect(1, 0, 5, 1)); },
         {ZoRect(4, 4, 5, 5)}},
        {"a rectangle past the root's edge", [](auto& p) { p['S']->SetModifyRect(ZoRect(5, 5, 50, 50)); },
         {ZoRect(35, 25, 40, 30)}},
        {"two changes at once",
         [](auto& p) {
             p['G']->SetModify();
             p['S']->SetModifyRect(ZoRect(0, 0, 2, 2));
         },
         {ZoRect(3, 4, 5, 6), ZoRect(30, 20, 32, 22)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PanelTree tree;
        std::map<char, TZoRGBPanel*> p;
        p['R'] = &tree.Add("R", nullptr, 0, 0, 40, 30);
        p['C'] = &tree.Add("C", p['R'], 2, 3, 5, 4);
        p['G'] = &tree.Add("G", p['C'], 1, 1, 2, 2);
        p['S'] = &tree.Add("S", p['R'], 30, 20, 10, 10);
        auto dest = SolidImage(40, 30, TZoRGB());
        ASSERT_TRUE(p['R']->AllCreate());
        ASSERT_TRUE(p['R']->Draw(dest.get()));
        EXPECT_FALSE(p['R']->Modified());
        // What each panel's own drawing is asked for, where it lands in dest
        // (the root's coordinates).
        std::map<char, Rects> drawn;
        for (auto& [name, panel] : p)
            panel->OnDraw = [&drawn, name = name](TZoRGBPanel*, TZoRGBBits*, int x, int y, int, int, int dx,
                                                  int dy) {
                drawn[name].push_back(ZoRect(x, y, x + dx, y + dy));
                return false;
            };
        c.change(p);
        EXPECT_EQ(!c.redrawn.empty(), p['R']->Modified());
        EXPECT_TRUE(p['R']->Update(dest.get()));
        for (const auto& [name, panel] : p) {
            SCOPED_TRACE(name);
            const Pixels expected = PixelsOf(c.redrawn) & PixelsOf(ShownArea(*panel));
            EXPECT_EQ(expected, PixelsOf(drawn[name])) << Describe(drawn[name]);
            EXPECT_TRUE(Disjoint(drawn[name])) << Describe(drawn[name]);
        }
        EXPECT_FALSE(p['R']->Modified());
    }
}

// Marks travel down into overlapping siblings and up into the parent, each
// in its own coordinates; hidden panels take none.
TEST(PanelDraw, DirtyAreasReachEveryPanelThatShowsThem)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 40, 40);
    TZoRGBPanel& a = tree.Add("A", &root, 10, 10, 10, 10);
    TZoRGBPanel& b = tree.Add("B", &root, 15, 15, 10, 10);
    TZoRGBPanel& inA = tree.Add("I", &a, 8, 8, 5, 5);
    TZoRGBPanel& hidden = tree.Add("H", &root, 0, 0, 40, 40);
    hidden.Hide();
    root.AllCreate();
    root.ClrModifyToChild();

    a.SetModify();
    EXPECT_EQ((Rects{ZoRect(10, 10, 20, 20)}), ModifiedOf(root));
    EXPECT_EQ((Rects{ZoRect(0, 0, 5, 5)}), ModifiedOf(b));
    EXPECT_EQ((Rects{ZoRect(0, 0, 2, 2)}), ModifiedOf(inA)); // clipped to A
    EXPECT_EQ((Rects{}), ModifiedOf(hidden));
    TZoRect box;
    EXPECT_TRUE(root.GetModifiedRect(&box));
    EXPECT_EQ(ZoRect(10, 10, 20, 20), box);
    // Drawing an area takes it out of every set it passes through.
    auto dest = SolidImage(40, 40, TZoRGB());
    EXPECT_TRUE(root.Draw(dest.get(), 0, 0, ZoRect(10, 10, 20, 15)));
    EXPECT_EQ((Rects{ZoRect(10, 15, 20, 20)}), ModifiedOf(root));
    EXPECT_TRUE(root.Draw(dest.get(), 0, 0, box));
    EXPECT_FALSE(root.Modified());

    root.ClrModifyToChild();
    hidden.SetModify();
    EXPECT_FALSE(root.Modified());

    // A child's own marks count for the parent without being in its set.
    inA.SetModifyRect(ZoRect(0, 0, 1, 1));
    root.ClrModify();
    a.ClrModify();
    b.ClrModify();
    EXPECT_TRUE(root.Modified());
    EXPECT_EQ((Rects{ZoRect(18, 18, 19, 19)}), ModifiedOf(root));
    inA.SubModify(ZoRect(0, 0, 1, 1));
    EXPECT_FALSE(root.Modified());
}

// An opaque child's image hides the parent's area beneath it, and only
// where the image really lies.
TEST(PanelDraw, AnOpaqueImageKeepsTheParentFromDrawingBeneathIt)
{
    struct Case {
        const char* what;
        TMaskMode mode;
        int imageWidth;
        int childWidth;
        Rects parentDraws;
    } cases[] = {
        {"covering the parent whole", mmOpaque, 10, 10, {}},
        {"an image narrower than the child", mmOpaque, 6, 10, {ZoRect(6, 0, 10, 10)}},
        {"a child narrower than the image", mmOpaque, 10, 4, {ZoRect(4, 0, 10, 10)}},
        {"a keyed image", mmKey, 10, 10, {ZoRect(0, 0, 10, 10)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PanelTree tree;
        TZoRGBPanel& parent = tree.Add("P", nullptr, 0, 0, 10, 10);
        TZoRGBPanel& child = tree.Add("C", &parent, 0, 0, c.childWidth, 10);
        auto image = SolidImage(c.imageWidth, 10, ZoRGB(0, 0, 255));
        child.SetImage(image.get());
        child.SetMaskMode(c.mode);
        Rects parts;
        RecordParts(parent, parts);
        auto dest = SolidImage(10, 10, ZoRGB(255, 255, 255));
        parent.AllCreate();
        EXPECT_TRUE(parent.Draw(dest.get()));
        EXPECT_EQ(PixelsOf(c.parentDraws), PixelsOf(parts)) << Describe(parts);
        EXPECT_EQ(dest->TZoRGBtoPixel(ZoRGB(0, 0, 255)), dest->PGet(0, 0));
    }
}

// The composed pixels: an opaque root, a keyed child showing its second
// frame, and a child drawn through an alpha plane.
TEST(PanelDraw, ComposesImagesFramesKeysAndAlpha)
{
    const TZoRGB red = ZoRGB(255, 0, 0);
    const TZoRGB green = ZoRGB(0, 255, 0);
    const TZoRGB blue = ZoRGB(0, 0, 255);
    const TZoRGB white = ZoRGB(255, 255, 255);
    const TZoRGB yellow = ZoRGB(255, 255, 0);
    auto rootImage = SolidImage(8, 4, red);
    auto frames = SolidImage(4, 8, green); // frame 0 green, frame 1 blue
    frames->BoxFill(0, 4, 3, 7, frames->TZoRGBtoPixel(blue));
    frames->PSet(1, 5, 0); // the key colour in frame 1 at (1, 1)
    auto whiteImage = SolidImage(3, 4, white);
    TZoAlpha alpha;
    alpha.Resize(3, 4);
    ASSERT_TRUE(alpha.Create());
    alpha.BoxFill(0, 0, 0, 3, 0); // column 0 transparent

    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 8, 4);
    root.SetImage(rootImage.get());
    TZoRGBPanel& keyed = tree.Add("K", &root, 1, 0, 0, 0);
    keyed.SetAutoSize(true);
    keyed.SetNumBlock(2);
    keyed.SetBlockIndex(1);
    keyed.SetImage(frames.get());
    keyed.SetMaskMode(mmKey);
    TZoRGBPanel& blended = tree.Add("A", &root, 5, 0, 3, 4);
    blended.SetImage(whiteImage.get());
    blended.SetAlpha(&alpha);
    blended.SetMaskMode(mmAlpha);
    EXPECT_EQ(4, keyed.SizeY());

    auto dest = SolidImage(8, 4, TZoRGB());
    root.AllCreate();
    ASSERT_TRUE(root.Draw(dest.get()));
    auto expect = [&](const char* rows) {
        const std::map<char, TZoRGB> colours = {{'r', red}, {'g', green}, {'b', blue}, {'w', white}, {'y', yellow}};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(dest->TZoRGBtoPixel(colours.at(rows[y * 8 + x])), dest->PGet(x, y))
                    << "at " << x << "," << y;
    };
    expect("rbbbbrww"
           "rbrbbrww"
           "rbbbbrww"
           "rbbbbrww");

    // Another frame: only the keyed child's area is drawn again.
    dest->PSet(0, 0, dest->TZoRGBtoPixel(yellow));
    keyed.SetBlockIndex(0);
    ASSERT_TRUE(root.Update(dest.get()));
    expect("yggggrww"
           "rggggrww"
           "rggggrww"
           "rggggrww");

    // A negative frame shows nothing of the image.
    keyed.SetBlockIndex(-1);
    ASSERT_TRUE(root.Update(dest.get()));
    expect("yrrrrrww"
           "rrrrrrww"
           "rrrrrrww"
           "rrrrrrww");
}

TEST(PanelDraw, ADrawThatFailsMakesTheResultFalse)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 8, 4);
    TZoRGBPanel& child = tree.Add("C", &root, 0, 0, 4, 4);
    TZoRGBBits otherFormat;
    otherFormat.SetBitDepth(bd32);
    otherFormat.Resize(4, 4);
    ASSERT_TRUE(otherFormat.Create());
    child.SetImage(&otherFormat);
    auto dest = SolidImage(8, 4, TZoRGB());
    root.AllCreate();
    EXPECT_FALSE(root.Draw(dest.get()));
    EXPECT_FALSE(root.Modified());
    child.Hide();
    EXPECT_TRUE(root.Draw(dest.get()));
    EXPECT_FALSE(root.Draw(nullptr));
}

} // namespace
