// On a real X server with a window manager: the tracker sees a foreign
// window (xlogo) in front, the character sits on that window's top edge and
// follows it when it moves or is resized, goes to another window that comes
// to the front, falls back to the screen's bottom edge when the window is
// minimised or closed, and a drag with synthetic mouse events (xdotool)
// moves the window and stores the new ratio.
#include "FaceForm.h"
#include "app_qt/MainWindow.h"
#include "platform_qt/XcbWindowTracker.h"
#include "support/DesktopDriving.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using pendar::ForegroundInfo;
using pendar::test::WaitFor;
using pendar::test::Xdotool;

// Where the X server has a window, asked on a connection of our own.
class ServerView {
public:
    ServerView() : c_(xcb_connect(nullptr, nullptr)) {}
    ~ServerView() { xcb_disconnect(c_); }
    ServerView(const ServerView&) = delete;
    ServerView& operator=(const ServerView&) = delete;

    // The names of the window's _NET_WM_STATE atoms.
    std::vector<std::string> States(xcb_window_t w) const
    {
        std::vector<std::string> names;
        const char* name = "_NET_WM_STATE";
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
            &std::free);
        if (!atom)
            return names;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> p(
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, atom->atom, XCB_ATOM_ATOM, 0, 64), nullptr),
            &std::free);
        if (!p || p->format != 32)
            return names;
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(p.get()));
        for (int i = 0; i < xcb_get_property_value_length(p.get()) / 4; ++i) {
            std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> n(
                xcb_get_atom_name_reply(c_, xcb_get_atom_name(c_, atoms[i]), nullptr), &std::free);
            if (n)
                names.emplace_back(xcb_get_atom_name_name(n.get()), xcb_get_atom_name_name_length(n.get()));
        }
        return names;
    }

    QPoint Position(xcb_window_t w) const
    {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> r(
            xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, w, root, 0, 0), nullptr), &std::free);
        return r ? QPoint(r->dst_x, r->dst_y) : QPoint(-100000, -100000);
    }

private:
    xcb_connection_t* c_;
};

struct TrackedWorld {
    pendar::test::RecordingWorld world;
    pendar::test::TempDir dir;
    pendar::XcbWindowTracker tracker{[this](pendar::WindowId id) { return id == window.winId(); }};
    pendar::MainWindow window;
    pendar::test::FaceForm form{{world.clock, world.clockSetter, world.boxes, window, world.messages, world.tray,
                                 tracker, world.random, world.priority, world.log, dir.File("Pendar.ini")}};
    QProcess logo;
    ServerView server;

    TrackedWorld()
    {
        window.SetDesktop(&tracker);
        window.Attach(form);
        form.CreatePictureBuffers();
        EXPECT_TRUE(form.LoadPlainSkin());
        form.SkinInfo().align = alWinTop;
        form.Settings().offsetX = 5000;
        form.ApplyTaskbarMode();
    }
    ~TrackedWorld()
    {
        logo.kill();
        logo.waitForFinished();
    }

    // The character's corner as the X server has the window.
    QPoint ServerCharacter()
    {
        const pendar::TFace& face = form.Face();
        return server.Position(static_cast<xcb_window_t>(window.winId())) +
               QPoint(face.mainPanel.left, face.mainPanel.top);
    }
    // Ticks until the character sits where `expected` says.
    bool TickUntil(const std::function<QPoint()>& expected)
    {
        bool ok = WaitFor([&] {
            form.CheckTimerTimer();
            QCoreApplication::processEvents();
            return ServerCharacter() == expected();
        });
        if (!ok) {
            ForegroundInfo f = tracker.Foreground();
            ADD_FAILURE() << "character at " << ServerCharacter().x() << "," << ServerCharacter().y() << ", wanted "
                          << expected().x() << "," << expected().y() << "; in front: kind " << f.kind << " id "
                          << f.id << " rect " << f.rect.left << "," << f.rect.top << "," << f.rect.right << ","
                          << f.rect.bottom << "; tracked " << form.TrackedWindow() << " form window "
                          << form.WindowLeft() << "," << form.WindowTop();
        }
        return ok;
    }
    QPoint OnTopEdge(const port::TRect& r)
    {
        return {r.left + (r.Width() - 160) * form.Settings().offsetX / 10000, r.top - 160};
    }
    bool ShownOnTheBottomEdge()
    {
        if (!tracker.Connected())
            return false;
        form.SkinInfo().align = alBottom;
        form.ApplyTaskbarMode();
        window.show();
        return QTest::qWaitForWindowExposed(&window) && TickUntil([&] { return OnScreenBottom(); });
    }
    QPoint OnScreenBottom()
    {
        port::TRect area = window.WorkArea();
        return {area.left + (area.Width() - 160) * form.Settings().offsetX / 10000, area.bottom - 160};
    }
};

TEST(WindowTracking, CharacterFollowsTheForegroundWindow)
{
    TrackedWorld t;
    ASSERT_TRUE(t.tracker.Connected());
    t.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));

    t.logo.start("xlogo", {"-geometry", "400x200+150+450"});
    ASSERT_TRUE(t.logo.waitForStarted());
    ForegroundInfo f;
    ASSERT_TRUE(WaitFor([&] {
        f = t.tracker.Foreground();
        return f.kind == ForegroundInfo::Other;
    })) << "xlogo never came to the front";
    EXPECT_TRUE(t.tracker.IsShown(f.id));
    // The rectangle holds the window manager's frame around the 400 x 200.
    EXPECT_GE(f.rect.Width(), 400);
    EXPECT_GE(f.rect.Height(), 200);
    EXPECT_LE(f.rect.left, 150);

    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); }))
        << "not on the window's top edge";
    EXPECT_EQ(f.id, t.form.TrackedWindow());

    const QString id = QString::number(f.id);
    ASSERT_TRUE(Xdotool({"windowmove", id, "300", "500"}));
    ASSERT_TRUE(WaitFor([&] { return !(t.tracker.Foreground().rect == f.rect); }));
    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); })) << "did not follow the move";

    ASSERT_TRUE(Xdotool({"windowminimize", id}));
    ASSERT_TRUE(WaitFor([&] { return !t.tracker.IsShown(f.id); }));
    EXPECT_TRUE(t.TickUntil([&] { return t.OnScreenBottom(); })) << "a minimised window is still followed";
    EXPECT_EQ(0u, t.form.TrackedWindow());

    ASSERT_TRUE(Xdotool({"windowactivate", "--sync", id}));
    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); })) << "not back on the window";

    // Resized while in front: the kept answer follows the server's notice.
    const port::TRect before = t.tracker.Foreground().rect;
    ASSERT_TRUE(Xdotool({"windowsize", id, "300", "150"}));
    ASSERT_TRUE(WaitFor([&] { return t.tracker.Foreground().rect.Width() == before.Width() - 100; }))
        << "the resize was not seen";
    EXPECT_EQ(before.Height() - 50, t.tracker.Foreground().rect.Height());
    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); })) << "did not follow the resize";

    // Another window comes to the front, and goes.
    QProcess second;
    second.start("xlogo", {"-geometry", "200x120+600+400"});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(WaitFor([&] {
        ForegroundInfo now = t.tracker.Foreground();
        return now.kind == ForegroundInfo::Other && now.id != f.id;
    })) << "the second window never came to the front";
    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); })) << "not on the second window";
    EXPECT_NE(f.id, t.form.TrackedWindow());
    second.kill();
    second.waitForFinished();
    ASSERT_TRUE(Xdotool({"windowactivate", "--sync", id}));
    EXPECT_TRUE(t.TickUntil([&] { return t.OnTopEdge(t.tracker.Foreground().rect); })) << "not back on the first";
    EXPECT_EQ(f.id, t.form.TrackedWindow());
    t.logo.kill();
    t.logo.waitForFinished();
    EXPECT_TRUE(t.TickUntil([&] { return t.OnScreenBottom(); })) << "a closed window is still followed";
}

TEST(WindowTracking, DragWithTheMouseMovesTheWindow)
{
    TrackedWorld t;
    ASSERT_TRUE(t.ShownOnTheBottomEdge());

    // Press in the middle of the plain character, drag 120 pixels left and
    // a little up: on the bottom edge only the horizontal part counts.
    const QPoint start = t.ServerCharacter() + QPoint(80, 80);
    const QPoint before = t.ServerCharacter();
    ASSERT_TRUE(Xdotool({"mousemove", QString::number(start.x()), QString::number(start.y())}));
    ASSERT_TRUE(Xdotool({"mousedown", "1"}));
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(Xdotool({"mousemove", QString::number(start.x() - 30 * step),
                                    QString::number(start.y() - 5 * step)}));
        QTest::qWait(30);
    }
    ASSERT_TRUE(Xdotool({"mouseup", "1"}));
    const QPoint wanted = before - QPoint(120, 0);
    EXPECT_TRUE(WaitFor([&] { return t.ServerCharacter() == wanted && !t.form.Dragging(); }))
        << "the character is at " << t.ServerCharacter().x() << "," << t.ServerCharacter().y();
    const port::TRect area = t.window.WorkArea();
    EXPECT_EQ(10000 * (wanted.x() - area.left) / (area.Width() - 160), t.form.Settings().offsetX);
}

TEST(WindowTracking, TaskBarAndStayOnTopStatesReachTheWindowManager)
{
    TrackedWorld t;
    ASSERT_TRUE(t.ShownOnTheBottomEdge());
    auto has = [&](const char* state) {
        std::vector<std::string> states = t.server.States(static_cast<xcb_window_t>(t.window.winId()));
        return std::find(states.begin(), states.end(), state) != states.end();
    };
    EXPECT_FALSE(has("_NET_WM_STATE_SKIP_TASKBAR"));

    // With a tray icon the window leaves the task bar, also after it was
    // hidden and shown again.
    t.window.SetTaskbarEntry(false);
    EXPECT_TRUE(WaitFor([&] { return has("_NET_WM_STATE_SKIP_TASKBAR"); }));
    t.form.SysMinClick();
    t.form.SysRestoreClick();
    EXPECT_TRUE(WaitFor([&] { return t.window.isVisible() && has("_NET_WM_STATE_SKIP_TASKBAR"); }));

    // The setting makes the window topmost where it stands.
    const QPoint before = t.ServerCharacter();
    t.form.Settings().stayOnTop = true;
    t.form.FormActivate();
    EXPECT_TRUE(WaitFor([&] { return has("_NET_WM_STATE_ABOVE"); }));
    t.form.Settings().stayOnTop = false;
    t.form.FormActivate();
    EXPECT_TRUE(WaitFor([&] { return !has("_NET_WM_STATE_ABOVE"); }));
    EXPECT_EQ(before, t.ServerCharacter());
}

} // namespace
