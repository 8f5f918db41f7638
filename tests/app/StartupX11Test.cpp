// The real pendar on a real X server at start-up: the boxes it shows before
// its window and how a quit request or the user ends them, and a second
// start that brings the running character back.
#include "PortableInstall.h"

#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using pendar::test::PortableInstall;
using pendar::test::WaitFor;

// The output of a shell command, trailing blanks cut.
std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

// The first visible window of `pid` once it is mapped; "" when none came.
std::string WaitForWindow(pid_t pid)
{
    std::string ids =
        Output("timeout 30 xdotool search --sync --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

// A point of the window (relative to it) inside its shape: the middle of
// its largest shape rectangle, where a click reaches the character.
std::string PointOnShape(const std::string& window)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto id = static_cast<xcb_window_t>(std::stoul(window));
    xcb_shape_get_rectangles_reply_t* r =
        xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, id, XCB_SHAPE_SK_BOUNDING), nullptr);
    std::string point = "1 1";
    int best = 0;
    if (r) {
        xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r);
        for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(r); ++i)
            if (rects[i].width * rects[i].height > best) {
                best = rects[i].width * rects[i].height;
                point = std::to_string(rects[i].x + rects[i].width / 2) + " " +
                        std::to_string(rects[i].y + rects[i].height / 2);
            }
        std::free(r);
    }
    xcb_disconnect(c);
    return point;
}

std::vector<std::string> VisibleWindows(pid_t pid)
{
    std::string ids = Output("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    std::vector<std::string> list;
    for (size_t at = 0; at < ids.size();) {
        size_t end = std::min(ids.find('\n', at), ids.size());
        list.push_back(ids.substr(at, end - at));
        at = end + 1;
    }
    return list;
}

int Height(const std::string& window)
{
    std::string info = Output("xwininfo -id " + window + " 2>/dev/null");
    size_t at = info.find("Height:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 7);
}

// Right-clicks the character until its pop-up menu shows (the window may
// still be settling in its place when it first appears); the menu's window,
// or "" when none came.
std::string OpenMenu(pid_t pid, const std::string& character)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::vector<std::string> before = VisibleWindows(pid);
        std::system(("xdotool mousemove --window " + character + " " + PointOnShape(character) + " click 3").c_str());
        for (int i = 0; i < 40; ++i) {
            for (const std::string& w : VisibleWindows(pid))
                if (std::find(before.begin(), before.end(), w) == before.end() && Height(w) > 100)
                    return w; // not the tray icon that may show up meanwhile
            std::this_thread::sleep_for(50ms);
        }
    }
    return {};
}

bool Visible(const std::string& window)
{
    return Output("xwininfo -id " + window + " 2>/dev/null").find("IsViewable") != std::string::npos;
}

// Polls `done` a while; true as soon as it holds.
bool Eventually(const std::function<bool()>& done)
{
    for (int i = 0; i < 200; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// The window manager's stacking order, bottom first, as decimal ids.
std::vector<std::string> Stacking()
{
    std::string line = Output("xprop -root -notype _NET_CLIENT_LIST_STACKING");
    std::vector<std::string> ids;
    for (size_t at = line.find("0x"); at != std::string::npos; at = line.find("0x", at + 2))
        ids.push_back(std::to_string(std::stoul(line.substr(at), nullptr, 16)));
    return ids;
}

bool Above(const std::string& upper, const std::string& lower)
{
    std::vector<std::string> order = Stacking();
    auto u = std::find(order.begin(), order.end(), upper);
    auto l = std::find(order.begin(), order.end(), lower);
    return u != order.end() && l != order.end() && u > l;
}

const std::map<std::string, std::optional<std::string>> kOnX11 = {{"QT_QPA_PLATFORM", "xcb"}};

// A skin that cannot be opened shows its box before the window exists; a
// quit signal then ends the box and the program through the close path
// (the settings are saved), instead of leaving it running without a window.
TEST(StartupX11, AQuitSignalDuringAStartUpBoxEndsTheProgram)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        PortableInstall app;
        app.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Nowhere\r\n");
        pid_t pid = app.Start(kOnX11);
        ASSERT_NE("", WaitForWindow(pid)) << "no box appeared, signal " << sig << "\n" << app.Errors();
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
    PortableInstall app;
    std::filesystem::create_directories(app.dir.File("cache"));
    std::filesystem::create_directory(app.dir.File("elsewhere"));
    std::filesystem::create_directory_symlink(app.dir.File("elsewhere"), app.dir.File("cache/pendar"));
    auto env = kOnX11;
    env["XDG_RUNTIME_DIR"] = std::nullopt;
    env["XDG_CACHE_HOME"] = app.dir.File("cache");
    pid_t pid = app.Start(env);
    std::string box = WaitForWindow(pid);
    ASSERT_NE("", box) << app.Errors();
    EXPECT_NE(std::string::npos, Output("xdotool getwindowname " + box).find("SorelPendar"));
    // The user presses Return on the box (again, should the key have come
    // before the box had the focus).
    int code = -1;
    for (int attempt = 0; attempt < 5 && code < 0; ++attempt) {
        std::system(("xdotool windowactivate --sync " + box + " key --clearmodifiers Return 2>/dev/null").c_str());
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
    struct Case {
        const char* what;
        bool trayHost;
    };
    for (const Case& c : {Case{"hidden to the tray", true}, Case{"minimised to the task bar", false}}) {
        pid_t tray = -1;
        if (c.trayHost) {
            tray = ::fork();
            if (tray == 0) {
                ::execlp("trayer", "trayer", "--edge", "top", "--align", "right", static_cast<char*>(nullptr));
                ::_exit(127);
            }
        }
        PortableInstall app;
        pid_t first = app.Start(kOnX11);
        std::string character; // the big one: the tray icon is small
        ASSERT_TRUE(Eventually([&] {
            for (const std::string& w : VisibleWindows(first))
                if (Height(w) > 100)
                    character = w;
            return !character.empty();
        })) << c.what << "\n"
            << app.Errors();
        // Give the tray icon time to find the tray host: only then does
        // 最小化 hide instead of minimising.
        if (c.trayHost)
            std::this_thread::sleep_for(1s);
        bool hidden = false;
        for (int attempt = 0; attempt < 3 && !hidden; ++attempt) {
            std::string menu = OpenMenu(first, character);
            ASSERT_NE("", menu) << c.what << ": no menu";
            // 最小化(&N), the menu's first entry.
            std::system(("xdotool mousemove --window " + menu + " 30 12 click 1").c_str());
            hidden = Eventually([&] { return !Visible(character); });
            if (!hidden && Visible(menu))
                std::system("xdotool key Escape");
        }
        ASSERT_TRUE(hidden) << c.what << ": not hidden";

        pid_t cover = ::fork();
        if (cover == 0) {
            ::dup2(::open("/dev/null", O_WRONLY), 2); // its resource warnings are not the test's
            ::execlp("xlogo", "xlogo", "-geometry", "1024x768+0+0", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::string logo;
        ASSERT_TRUE(Eventually([&] {
            logo = Output("xdotool search --onlyvisible --name '^xlogo$' 2>/dev/null");
            return !logo.empty() && logo.find('\n') == std::string::npos;
        }));

        pid_t second = app.Start(kOnX11);
        EXPECT_EQ(0, WaitFor(second, 10s)) << c.what;
        EXPECT_TRUE(Eventually([&] { return Visible(character); })) << c.what << ": not back";
        EXPECT_TRUE(Eventually([&] { return Above(character, logo); })) << c.what << ": not on top";
        EXPECT_EQ(0, ::kill(first, 0)) << c.what;

        ::kill(first, SIGTERM);
        EXPECT_EQ(0, WaitFor(first, 20s)) << c.what;
        for (pid_t helper : {cover, tray})
            if (helper > 0) {
                ::kill(helper, SIGTERM);
                ::waitpid(helper, nullptr, 0);
            }
    }
}

} // namespace
