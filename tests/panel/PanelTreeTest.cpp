#include "PanelFixture.h"
#include "support/RecordingMessageBoxes.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using pendar::test::PanelTree;
using pendar::test::SolidImage;

// The children of `parent` as the letters of their names.
std::string Order(const TZoRGBPanel& parent, const std::map<char, TZoRGBPanel*>& named)
{
    std::string order;
    for (int i = 0; i < parent.GetChildCount(); ++i)
        for (const auto& [letter, panel] : named)
            if (parent.GetChild(i) == panel)
                order += letter;
    return order;
}

TEST(PanelTree, APanelNeverBecomesItsOwnDescendant)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 50, 50);
    TZoRGBPanel& child = tree.Add("C", &root, 0, 0, 10, 10);
    TZoRGBPanel& grandchild = tree.Add("G", &child, 0, 0, 5, 5);
    for (TZoRGBPanel* target : {&child, &grandchild}) {
        child.SetParent(&root);
        child.SetParent(target);
        EXPECT_EQ(nullptr, child.Parent());
        EXPECT_EQ(0, root.GetChildCount());
    }
    EXPECT_FALSE(root.AddChild(&root));
    EXPECT_EQ(nullptr, root.Parent());
    EXPECT_TRUE(grandchild.AddChild(&root));
    EXPECT_TRUE(root.SearchPanelToParent(&child));
    EXPECT_FALSE(child.SearchPanelToParent(&root));
    EXPECT_FALSE(grandchild.DelChild(&child));
    EXPECT_TRUE(grandchild.DelChild(&root));
    EXPECT_EQ(nullptr, root.Parent());
}

TEST(PanelTree, ChildrenAndParentsLetGoOfADestroyedPanel)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 50, 50);
    TZoRGBPanel& kept = tree.Add("K", &root, 0, 0, 10, 10);
    auto middle = std::make_unique<TZoRGBPanel>(&root);
    TZoRGBPanel& first = tree.Add("F", middle.get(), 0, 0, 5, 5);
    TZoRGBPanel& second = tree.Add("S", middle.get(), 0, 0, 5, 5);
    EXPECT_EQ(middle.get(), root.GetChild(1));
    middle.reset();
    EXPECT_EQ(1, root.GetChildCount());
    EXPECT_EQ(&kept, root.GetChild(0));
    EXPECT_EQ(nullptr, first.Parent());
    EXPECT_EQ(nullptr, second.Parent());
    EXPECT_EQ(nullptr, root.GetChild(1));
    EXPECT_EQ(nullptr, root.GetChild(-1));
}

TEST(PanelTree, RaiseAndDownOrder)
{
    struct Case {
        bool raise;
        char panel, target;
        bool moves;
        const char* order;
    } cases[] = {
        {true, 'A', 'C', true, "BCAD"},   // directly in front of the target
        {true, 'C', 'A', false, "ABCD"},  // already in front: stays
        {true, 'B', 'B', false, "ABCD"},
        {false, 'A', 'C', true, "BACD"},  // directly behind the target
        {false, 'D', 'B', true, "ADBC"},  // from in front of the target as well
        {false, 'A', 'B', false, "ABCD"}, // already directly behind
        {false, 'X', 'B', false, "ABCD"}, // not a child
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.raise ? "raise " : "down ") << c.panel << " to " << c.target);
        PanelTree tree;
        TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 50, 50);
        std::map<char, TZoRGBPanel*> named;
        for (char letter : std::string("ABCD"))
            named[letter] = &tree.Add(std::string(1, letter), &root, 0, 0, 5, 5);
        named['X'] = &tree.Add("X", nullptr, 0, 0, 5, 5);
        bool moved = c.raise ? root.RaiseOrder(named[c.panel], named[c.target])
                             : root.DownOrder(named[c.panel], named[c.target]);
        EXPECT_EQ(c.moves, moved);
        EXPECT_EQ(c.order, Order(root, named));
    }
}

TEST(PanelTree, LifecycleEvents)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 0, 0, 50, 50);
    TZoRGBPanel& shown = tree.Add("S", &root, 0, 0, 10, 10);
    TZoRGBPanel& hidden = tree.Add("H", &root, 0, 0, 10, 10);
    hidden.Hide();
    EXPECT_TRUE(root.AllCreate());
    EXPECT_EQ("R.Create R.Show S.Create S.Show H.Create", tree.Take());
    EXPECT_TRUE(hidden.Created());

    hidden.Show();
    shown.Hide();
    EXPECT_EQ("H.Show S.Hide", tree.Take());
    EXPECT_TRUE(root.AllRelease());
    EXPECT_EQ("S.Release H.Hide H.Release R.Hide R.Release", tree.Take());

    // A handler's exception undoes the creation.
    shown.OnShow = [](TZoRGBPanel*) { throw std::runtime_error("no"); };
    shown.Show();
    EXPECT_FALSE(shown.Create());
    EXPECT_FALSE(shown.Created());
    EXPECT_EQ("S.Create S.Hide S.Release", tree.Take());
    // ... and a child's failure makes AllCreate false without stopping it.
    EXPECT_FALSE(root.AllCreate());
    EXPECT_TRUE(root.Created());
    EXPECT_TRUE(hidden.Created());
    EXPECT_FALSE(shown.Created());
}

TEST(PanelTree, AnExceptionWhileDetachingAChildIsShownAndTheChildLetGo)
{
    pendar::test::ScopedMessageBoxes boxes;
    PanelTree tree;
    auto parent = std::make_unique<TZoRGBPanel>();
    TZoRGBPanel& child = tree.Add("C", parent.get(), 0, 0, 5, 5);
    child.Create();
    // Left alone, the child becomes a root and is activated.
    child.OnActivate = [](TZoRGBPanel*) { throw std::runtime_error("cannot let go"); };
    parent.reset();
    EXPECT_EQ(nullptr, child.Parent());
    ASSERT_EQ(1u, boxes.recorder.boxes.size());
    EXPECT_EQ("cannot let go", boxes.recorder.boxes[0].text);
    EXPECT_EQ("SorelPendar", boxes.recorder.boxes[0].caption);
}

TEST(PanelTree, FramesAndSizeFromTheImage)
{
    auto image = SolidImage(12, 30, ZoRGB(1, 2, 3));
    TZoRGBPanel panel;
    panel.SetNumBlock(3);
    panel.SetImage(image.get());
    EXPECT_EQ(12, panel.SizeX());
    EXPECT_EQ(10, panel.SizeY());
    panel.SetBlockIndex(2);
    panel.SetBlockIndex(3); // not a frame
    EXPECT_EQ(2, panel.BlockIndex());
    panel.SetNumBlock(0); // ignored
    EXPECT_EQ(3, panel.NumBlock());
    panel.SetNumBlock(2); // lowers the frame shown; keeps the size
    EXPECT_EQ(1, panel.BlockIndex());
    EXPECT_EQ(10, panel.SizeY());

    panel.SetAutoSize(false);
    panel.SetSizeX(4);
    panel.SetImage(image.get());
    EXPECT_EQ(4, panel.SizeX());
    panel.SetAutoSize(true);
    EXPECT_EQ(12, panel.SizeX());
    EXPECT_EQ(15, panel.SizeY());
}

TEST(PanelTree, CoordinatesThroughTheAncestors)
{
    PanelTree tree;
    TZoRGBPanel& root = tree.Add("R", nullptr, 100, 200, 50, 50);
    TZoRGBPanel& child = tree.Add("C", &root, 10, 20, 30, 30);
    TZoRGBPanel& grandchild = tree.Add("G", &child, 1, 2, 5, 5);
    int x = 3;
    int y = 4;
    grandchild.ClientToScreen(x, y);
    EXPECT_EQ(114, x);
    EXPECT_EQ(226, y);
    child.ScreenToClient(x, y);
    EXPECT_EQ(4, x);
    EXPECT_EQ(6, y);
}

} // namespace
