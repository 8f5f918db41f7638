// The real pendar on a real X server at start-up: the boxes it shows before
// its window and how a quit request or the user ends them, and a second
// start that brings the running character back.
#include "LivePendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using namespace std::chrono_literals;
using pendar::test::Companion;
using pendar::test::LivePendar;
using pendar::test::PortableInstall;
using pendar::test::PressKeys;
using pendar::test::TrayHost;
using pendar::test::WaitFor;
using pendar::test::WaitUntil;
using pendar::test::XView;

const std::map<std::string, std::optional<std::string>> kOnX11 = {{"QT_QPA_PLATFORM", "xcb"}};

// A window of `pid` titled `title` once it is mapped; 0 when none came.
xcb_window_t WaitForWindow(const XView& x, pid_t pid, const std::string& title)
{
    xcb_window_t w = 0;
    WaitUntil([&] { return (w = x.Client(static_cast<uint32_t>(pid), title)) != 0; }, 30s);
    return w;
}

// A skin that cannot be opened shows its box before the window exists; a
// quit signal then ends the box and the program through the close path
// (the settings are saved), instead of leaving it running without a window.
TEST(StartupX11, AQuitSignalDuringAStartUpBoxEndsTheProgram)
{
    XView x;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        PortableInstall app;
        app.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Nowhere\r\n");
        pid_t pid = app.Start(kOnX11);
        ASSERT_NE(0u, WaitForWindow(x, pid, "エラー")) << "no box appeared, signal " << sig << "\n" << app.Errors();
        ::kill(pid, sig);
        EXPECT_EQ(0, WaitFor(pid, 20s)) << "signal " << sig << "\n" << app.Errors();
        std::string text = app.dir.Read("Pendar.ini");
        EXPECT_NE(std::string::npos, text.find("SkinName=Nowhere\r\n")) << text.substr(0, 80);
        EXPECT_NE(std::string::npos, text.find("SameCheck=1\r\n")) << "signal " << sig << ": not saved";
    }
}

// A lock that cannot be made (the cache's folder for it is a link planted
// by someone) is neither taken for a running instance nor ignored: the
// reason goes to standard error and into a box, and the exit code is 1.
TEST(StartupX11, ALockThatCannotBeMadeIsReportedAndEndsWithAnError)
{
    XView x;
    PortableInstall app;
    std::filesystem::create_directories(app.dir.File("cache"));
    std::filesystem::create_directory(app.dir.File("elsewhere"));
    std::filesystem::create_directory_symlink(app.dir.File("elsewhere"), app.dir.File("cache/pendar"));
    auto env = kOnX11;
    env["XDG_RUNTIME_DIR"] = std::nullopt;
    env["XDG_CACHE_HOME"] = app.dir.File("cache");
    pid_t pid = app.Start(env);
    xcb_window_t box = WaitForWindow(x, pid, "SorelPendar");
    ASSERT_NE(0u, box) << app.Errors();
    // The user presses Return on the box (again, should the key have come
    // before the box had the focus).
    int code = -1;
    for (int attempt = 0; attempt < 5 && code < 0; ++attempt) {
        WaitUntil([&] { return x.InputFocus() == box; }, 2s);
        PressKeys({"Return"});
        code = WaitFor(pid, 4s);
    }
    EXPECT_EQ(1, code);
    std::string err = app.Errors();
    EXPECT_NE(std::string::npos, err.find("cannot make the single-instance lock")) << err;
    EXPECT_NE(std::string::npos, err.find("is not a folder")) << err;
    EXPECT_TRUE(std::filesystem::is_empty(app.dir.File("elsewhere")));
}

// Hidden to the notification area (with a tray host) or minimised to the
// task bar (without one), and covered by another window: a second start
// ends at once with 0 and the running character comes back on top.
TEST(StartupX11, ASecondStartBringsTheCharacterBack)
{
    for (bool trayHost : {true, false}) {
        const char* what = trayHost ? "hidden to the tray" : "minimised to the task bar";
        std::optional<TrayHost> tray;
        if (trayHost) {
            tray.emplace();
            ASSERT_TRUE(tray->Ready());
        }
        LivePendar app;
        ASSERT_TRUE(app.Start()) << what << "\n" << app.Errors();
        const xcb_window_t character = app.Main();
        bool hidden = false;
        for (int attempt = 0; attempt < 3 && !hidden; ++attempt) {
            ASSERT_TRUE(app.OpenMenu()) << what;
            PressKeys({"Down", "Return"}); // 最小化(&N), the first entry
            hidden = WaitUntil([&] { return !app.x.Viewable(character); }, 5s);
        }
        ASSERT_TRUE(hidden) << what;

        Companion logo({"xlogo", "-geometry", "1024x768+0+0"});
        xcb_window_t cover = 0;
        ASSERT_TRUE(WaitUntil([&] {
            for (xcb_window_t w : app.x.Clients())
                if (app.x.Title(w) == "xlogo" && app.x.Viewable(w))
                    cover = w;
            return cover != 0;
        }));

        pid_t second = app.StartAgain();
        EXPECT_EQ(0, WaitFor(second, 10s)) << what;
        EXPECT_TRUE(WaitUntil([&] { return app.x.Viewable(character); })) << what << ": not back";
        EXPECT_TRUE(WaitUntil([&] {
            std::vector<xcb_window_t> order = app.x.Stacking();
            auto c = std::find(order.begin(), order.end(), character);
            auto l = std::find(order.begin(), order.end(), cover);
            return c != order.end() && l != order.end() && c > l;
        })) << what << ": not on top";
        EXPECT_TRUE(app.Running()) << what;
        EXPECT_EQ(0, app.Stop()) << what;
    }
}

} // namespace
