// On a real X server with a window manager: the shape of the mapped main
// window, read back through the X SHAPE extension, is the character's
// region plus the balloon's while the greeting shows, and the character's
// alone once the balloon is hidden.
#include "FaceForm.h"
#include "app/MainWindow.h"
#include "app/QtRegion.h"
#include "base/Sjis.h"

#include <QTest>

#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

using pendar::test::SkinWorld;

// Our own connection to the server the application draws on.
class XConnection {
public:
    XConnection() : c_(xcb_connect(nullptr, nullptr)) {}
    ~XConnection() { xcb_disconnect(c_); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool Ok() const { return xcb_connection_has_error(c_) == 0; }

    bool Viewable(xcb_window_t w) const
    {
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> a(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr), &std::free);
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // The bounding shape of the window, in its own coordinates.
    QRegion Shape(xcb_window_t w) const
    {
        std::unique_ptr<xcb_shape_get_rectangles_reply_t, decltype(&std::free)> r(
            xcb_shape_get_rectangles_reply(c_, xcb_shape_get_rectangles(c_, w, XCB_SHAPE_SK_BOUNDING), nullptr),
            &std::free);
        QRegion region;
        if (!r)
            return region;
        xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r.get());
        for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(r.get()); ++i)
            region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        return region;
    }

private:
    xcb_connection_t* c_;
};

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
