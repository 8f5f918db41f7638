// On a real X server with a window manager: the shape of the mapped main
// window, read back through the X SHAPE extension, is the character's
// region plus the balloon's while the greeting shows, and the character's
// alone once the balloon is hidden.
#include "FaceForm.h"
#include "app_qt/MainWindow.h"
#include "app_qt/QtRegion.h"
#include "base/Sjis.h"
#include "support/XConnection.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using pendar::test::SkinWorld;
using pendar::test::XConnection;

struct ShapedWindow {
    pendar::MainWindow window;
    SkinWorld skins{&window};
    XConnection x;

    ShapedWindow() { window.Attach(skins.form); }

    xcb_window_t Id() { return static_cast<xcb_window_t>(window.winId()); }

    // The shape the logic decided, as the server should hold it.
    QRegion Expected() const { return pendar::ToQRegion(*skins.form.Face().windowShape); }

    // Waits until the server's shape of the window is `wanted`.
    bool ServerShapeIs(const QRegion& wanted)
    {
        for (int i = 0; i < 250; ++i) {
            if (x.Shape(Id()).xored(wanted).isEmpty())
                return true;
            QTest::qWait(20);
        }
        return false;
    }

    void CheckGreetingAndHiddenBalloon()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(x.Viewable(Id()));
        const pendar::TFace& face = skins.form.Face();

        QRegion character = pendar::ToQRegion(*skins.form.CharacterRegion())
                                .translated(face.mainPanel.left, face.mainPanel.top);
        EXPECT_TRUE(ServerShapeIs(character));

        skins.form.ShowBalloonLines({skins.form.SkinInfo().startMes, "", "", ""}, false);
        QRegion both = Expected();
        EXPECT_FALSE(both.xored(character).isEmpty());
        EXPECT_TRUE(both.contains(QPoint(face.mesPanel.left + face.mesPanel.Width() / 2,
                                         face.mesPanel.top + face.mesPanel.Height() / 2)));
        EXPECT_TRUE(ServerShapeIs(both)) << "the greeting's balloon is not part of the window";

        skins.form.HideBalloon();
        EXPECT_TRUE(ServerShapeIs(character)) << "the hidden balloon still shapes the window";
        window.hide();
    }
};

TEST(WindowShape, PlainSkinOnTheXServer)
{
    ShapedWindow w;
    ASSERT_TRUE(w.x.Ok());
    ASSERT_TRUE(w.skins.form.LoadPlainSkin());
    w.CheckGreetingAndHiddenBalloon();
}

TEST(WindowShape, SampleSkinOnTheXServer)
{
    ShapedWindow w;
    ASSERT_TRUE(w.x.Ok());
    w.skins.form.Settings().skinName = "Sorel";
    // The sample skin as the build packs it.
    std::filesystem::create_directories(w.skins.dir.File("Data"));
    std::filesystem::copy_file(SOREL_PAK, w.skins.dir.File("Data/Sorel.Pak"));
    ASSERT_TRUE(w.skins.form.OpenSkin("Sorel"));
    ASSERT_TRUE(w.skins.form.PackOpened());
    w.CheckGreetingAndHiddenBalloon();
}

} // namespace
