#include "PanelFixture.h"
#include "raster/ZoAlpha.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace pendar::test;

// R (20 x 20) holds, back to front:
//   A at (2, 2), 10 x 10, no image and MouseTrans: the mouse goes through it
//     except where its child G (3 x 3 at 1, 1) lies;
//   K at (10, 10), a 4 x 4 keyed image with the key colour at (1, 1), MouseTrans;
//   M at (0, 15), 5 x 5, MouseControl off;
//   H at (15, 0), 5 x 5, hidden.
class HitTree : public testing::Test {
protected:
    HitTree()
    {
        root = &tree.Add("R", nullptr, 0, 0, 20, 20);
        a = &tree.Add("A", root, 2, 2, 10, 10);
        a->SetMouseTrans(true);
        g = &tree.Add("G", a, 1, 1, 3, 3);
        k = &tree.Add("K", root, 10, 10, 4, 4);
        k->SetImage(image.get());
        k->SetMaskMode(mmKey);
        k->SetMouseTrans(true);
        image->PSet(1, 1, 0);
        m = &tree.Add("M", root, 0, 15, 5, 5);
        m->SetMouseControl(false);
        h = &tree.Add("H", root, 15, 0, 5, 5);
        h->Hide();
        root->AllCreate();
        tree.Take();
    }

    std::unique_ptr<TZoRGBBits> image = SolidImage(4, 4, ZoRGB(0, 0, 255));
    PanelTree tree;
    TZoRGBPanel* root;
    TZoRGBPanel* a;
    TZoRGBPanel* g;
    TZoRGBPanel* k;
    TZoRGBPanel* m;
    TZoRGBPanel* h;
};

TEST_F(HitTree, FindsTheFrontMostPanelThatTakesThePoint)
{
    struct Case {
        int x, y;
        bool forMouse;
        const char* found; // "" for none
    } cases[] = {
        {3, 3, true, "A"},   // through G, which lies inside A
        {8, 8, true, ""},    // A is transparent here and has no child there
        {8, 8, false, "A"},  // transparency counts only for the mouse
        {12, 12, true, "K"},
        {11, 11, true, ""},  // K's key colour
        {1, 16, true, ""},   // M takes no mouse
        {1, 16, false, "M"},
        {16, 1, false, ""},  // H is hidden
        {20, 5, false, ""},  // outside R's children
    };
    const std::map<TZoRGBPanel*, std::string> names = {{a, "A"}, {k, "K"}, {m, "M"}, {h, "H"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << (c.forMouse ? " for the mouse" : ""));
        TZoRGBPanel* found = root->FindPosPanel(c.x, c.y, c.forMouse);
        EXPECT_EQ(c.found, found ? names.at(found) : "");
    }
}

TEST_F(HitTree, AClickOnATransparentPixelGoesToThePanelBelow)
{
    EXPECT_TRUE(root->MouseDown(mbLeft, {}, 11, 11));
    EXPECT_TRUE(root->MouseUp(mbLeft, {}, 11, 11));
    EXPECT_EQ("R.Down(11,11) R.Up(11,11) R.Click", tree.Take());
    EXPECT_TRUE(root->MouseDown(mbLeft, {}, 12, 12));
    EXPECT_TRUE(root->MouseUp(mbLeft, {}, 12, 12));
    // The capture's owner moves the pointer over K on the way up.
    EXPECT_EQ("K.Down(2,2) K.Up(2,2) K.Click K.Enter K.Move(2,2)", tree.Take());
    EXPECT_TRUE(root->MouseDown(mbLeft, {}, 4, 4));
    EXPECT_EQ("G.Down(1,1)", tree.Take());
}

TEST_F(HitTree, AlphaDecidesWhereAHitOnlyPanelIsTransparent)
{
    TZoAlpha alpha;
    alpha.Resize(4, 8);
    ASSERT_TRUE(alpha.Create());
    alpha.PSet(2, 6, 0); // frame 1 at (2, 2)
    auto frames = SolidImage(4, 8, ZoRGB(0, 0, 255));
    k->SetNumBlock(2);
    k->SetBlockIndex(1);
    k->SetImage(frames.get());
    k->SetAlpha(&alpha);
    k->SetMaskMode(mmHitOnly);
    EXPECT_FALSE(k->PosIsTrans(1, 1)); // the key colour no longer counts
    EXPECT_TRUE(k->PosIsTrans(2, 2));
    EXPECT_EQ(nullptr, root->FindPosPanel(12, 12, true));
    k->SetBlockIndex(0);
    EXPECT_FALSE(k->PosIsTrans(2, 2));
    k->SetMouseTrans(false);
    k->SetBlockIndex(1);
    EXPECT_FALSE(k->PosIsTrans(2, 2));
}

// R (30 x 10) holds P (10 x 10 at 0, 0) and Q (10 x 10 at 20, 0).
class TwoButtons : public testing::Test {
protected:
    TwoButtons()
    {
        root = &tree.Add("R", nullptr, 0, 0, 30, 10);
        p = &tree.Add("P", root, 0, 0, 10, 10);
        q = &tree.Add("Q", root, 20, 0, 10, 10);
        root->AllCreate();
        tree.Take();
    }

    PanelTree tree;
    TZoRGBPanel* root;
    TZoRGBPanel* p;
    TZoRGBPanel* q;
};

TEST_F(TwoButtons, AClickIsTheLeftButtonDownAndUpOnTheSamePanel)
{
    struct Step {
        char what; // d down, u up, m move
        int x, y;
        TMouseButton button = mbLeft;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        const char* log;
    } cases[] = {
        {"a click", {{'d', 5, 5}, {'u', 6, 6}}, "P.Down(5,5) P.Up(6,6) P.Click P.Enter P.Move(6,6)"},
        {"the right button", {{'d', 5, 5, mbRight}, {'u', 5, 5, mbRight}},
         "P.Down(5,5) P.Up(5,5) P.Enter P.Move(5,5)"},
        {"the right button up while the left is down", {{'d', 5, 5}, {'u', 5, 5, mbRight}, {'u', 5, 5}},
         "P.Down(5,5) P.Up(5,5) P.Enter P.Move(5,5) P.Up(5,5)"},
        {"another panel pressed meanwhile",
         {{'d', 5, 5}, {'d', 25, 5, mbRight}, {'u', 25, 5, mbRight}, {'u', 5, 5}},
         "P.Down(5,5) Q.Down(5,5) Q.Up(5,5) Q.Enter Q.Move(5,5) P.Up(5,5)"},
        {"a drag that ends over another panel", {{'d', 5, 5}, {'m', 25, 5}, {'u', 25, 5}},
         "P.Down(5,5) P.Move(25,5) P.Up(25,5) Q.Enter Q.Move(5,5)"},
        {"a drag that comes back", {{'d', 5, 5}, {'m', 15, -4}, {'u', 8, 8}},
         "P.Down(5,5) P.Move(15,-4) P.Up(8,8) P.Click P.Enter P.Move(8,8)"},
        {"down on the root, up over a child", {{'d', 15, 5}, {'u', 25, 5}}, "R.Down(15,5) R.Up(25,5) R.Click"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const Step& s : c.steps) {
            if (s.what == 'd')
                root->MouseDown(s.button, {}, s.x, s.y);
            else if (s.what == 'u')
                root->MouseUp(s.button, {}, s.x, s.y);
            else
                root->MouseMove({}, s.x, s.y);
        }
        EXPECT_EQ(c.log, tree.Take());
        EXPECT_EQ(nullptr, root->MouseCapture());
        root->MouseMove({}, 15, 5); // back over the root between cases
        tree.Take();
    }
}

TEST_F(TwoButtons, HoverFollowsThePointer)
{
    for (auto [x, y] : {std::pair{5, 5}, {6, 6}, {25, 5}, {15, 5}})
        root->MouseMove({}, x, y);
    EXPECT_EQ("P.Enter P.Move(5,5) P.Move(6,6) P.Leave Q.Enter Q.Move(5,5) Q.Leave R.Move(15,5)", tree.Take());
    root->MouseEnter(25, 5);
    root->MouseLeave();
    EXPECT_EQ("R.Enter Q.Enter R.Leave Q.Leave", tree.Take());
    // An enter without a leave before it still lets the old child go.
    root->MouseEnter(25, 5);
    root->MouseEnter(5, 5);
    root->MouseEnter(15, 5);
    EXPECT_EQ("R.Enter Q.Enter R.Enter Q.Leave P.Enter R.Enter P.Leave", tree.Take());
    root->MouseLeave();
    tree.Take();
    // Hiding a panel under the pointer forgets it.
    root->MouseMove({}, 5, 5);
    p->Hide();
    root->MouseMove({}, 5, 5);
    EXPECT_EQ("P.Enter P.Move(5,5) P.Hide R.Move(5,5)", tree.Take());
}

TEST_F(TwoButtons, TheCapturePanelGetsTheMouseInItsOwnCoordinates)
{
    PanelTree inner;
    TZoRGBPanel& deep = inner.Add("D", q, 3, 4, 2, 2);
    deep.Create();
    inner.Take();
    root->MouseDown(mbLeft, {}, 24, 5);
    EXPECT_EQ(&deep, p->MouseCapture()); // known to every panel of the tree
    root->MouseMove({}, 0, 0);
    root->MouseUp(mbLeft, {}, 1, 1);
    EXPECT_EQ("D.Down(1,1) D.Move(-23,-4) D.Up(-22,-3)", inner.Take());
    EXPECT_EQ("P.Enter P.Move(1,1)", tree.Take());

    // A captured panel that leaves the tree takes the capture with it.
    root->MouseDown(mbLeft, {}, 24, 5);
    deep.SetParent(nullptr);
    EXPECT_EQ(nullptr, root->MouseCapture());
    EXPECT_EQ(nullptr, q->MouseCapture());
    root->MouseUp(mbLeft, {}, 24, 5);
    EXPECT_EQ("Q.Up(4,5)", tree.Take());
}

TEST_F(TwoButtons, TheWheelGoesToTheFirstPanelThatTakesIt)
{
    std::string seen;
    auto wheel = [&seen](bool takes) {
        return [&seen, takes](TZoRGBPanel* sender, TShiftState, int delta, port::TPoint pos, bool& handled) {
            seen += (sender->Text()) + std::to_string(delta) + "@" + std::to_string(pos.x) + " ";
            handled = takes;
        };
    };
    root->SetText("R");
    p->SetText("P");
    q->SetText("Q");
    root->OnMouseWheel = wheel(true);
    p->OnMouseWheel = wheel(true);
    q->OnMouseWheel = wheel(false);
    bool handled = false;
    EXPECT_TRUE(root->MouseWheel({}, 120, handled, {25, 5}));
    EXPECT_EQ("Q120@5 P120@25 ", seen);
    seen.clear();
    p->SetMouseControl(false);
    handled = false;
    EXPECT_TRUE(root->MouseWheel({ssCtrl}, -120, handled, {25, 5}));
    EXPECT_EQ("Q-120@5 R-120@25 ", seen);
}

TEST_F(TwoButtons, KeysFollowTheActiveChain)
{
    root->SetActive();
    EXPECT_EQ("Q.Activate R.Activate", tree.Take());
    EXPECT_TRUE(root->Active());
    EXPECT_TRUE(q->Active());
    EXPECT_FALSE(p->Active());

    p->SetActive(); // comes to the front
    EXPECT_EQ("Q.Deactivate P.Activate", tree.Take());
    EXPECT_EQ(p, root->GetChild(1));
    EXPECT_EQ(p, root->GetActivePanel());

    TKeyCode key = vk::Return;
    EXPECT_FALSE(root->KeyDown(key, {})); // nobody takes keys
    p->SetKeyControl(true);
    root->SetKeyControl(true);
    EXPECT_TRUE(root->KeyDown(key, {}));
    EXPECT_EQ("P.KeyDown13", tree.Take());
    p->SetKeyControl(false);
    EXPECT_TRUE(root->KeyDown(key, {}));
    EXPECT_EQ("R.KeyDown13", tree.Take());

    // Hiding and showing change visibility only: no activation events, and
    // one active child. Keys go to the front-most panel that is shown.
    q->SetKeyControl(true);
    p->Hide();
    EXPECT_EQ("P.Hide", tree.Take());
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(q, root->GetActivePanel());
    EXPECT_TRUE(root->KeyDown(key, {}));
    EXPECT_EQ("Q.KeyDown13", tree.Take());
    p->Show();
    EXPECT_EQ("P.Show", tree.Take());
    EXPECT_TRUE(p->Active());
    EXPECT_FALSE(q->Active());
}

} // namespace
