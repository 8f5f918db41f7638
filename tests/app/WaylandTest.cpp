// The real pendar on a Wayland session: a headless Weston with XWayland,
// Qt's Wayland plug-in installed (so Qt would pick Wayland if let). Pendar
// draws through XWayland with its shape; with QT_QPA_PLATFORM=wayland set by
// the user it runs on Wayland and says once what it cannot do there.
#include "PortableInstall.h"

#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using pendar::test::PortableInstall;
using pendar::test::TempDir;
using pendar::test::WaitFor;

constexpr const char* kWaylandPlugin = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so";

// A headless Weston with XWayland in a runtime folder of its own.
class HeadlessWeston {
public:
    ~HeadlessWeston()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // False with `why` when it cannot run here.
    bool Start(std::string* why)
    {
        for (const char* need : {"/usr/bin/weston", "/usr/bin/Xwayland", kWaylandPlugin})
            if (::access(need, R_OK) != 0) {
                *why = std::string(need) + " is missing (weston, xwayland and qt6-wayland are test packages)";
                return false;
            }
        std::filesystem::permissions(run_.Path(), std::filesystem::perms::owner_all);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("XDG_RUNTIME_DIR", run_.Path().c_str(), 1);
            std::string log = "--log=" + run_.File("weston.log");
            ::execl("/usr/bin/weston", "weston", "--backend=headless-backend.so", "--xwayland", "--socket=pendar",
                    "--idle-time=0", log.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::regex listening("xserver listening on display (:[0-9]+)");
        for (int i = 0; i < 200; ++i) {
            std::smatch m;
            std::string log = run_.Read("weston.log");
            if (std::filesystem::exists(run_.File("pendar")) && std::regex_search(log, m, listening)) {
                display_ = m[1];
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        *why = "Weston did not come up:\n" + run_.Read("weston.log");
        return false;
    }

    std::string Socket() const { return run_.File("pendar"); }
    const std::string& Display() const { return display_; }

private:
    TempDir run_;
    pid_t pid_ = -1;
    std::string display_;
};

// The windows of `pid` on `display` that are viewable, with the number of
// rectangles of each one's bounding shape.
std::vector<int> ShapedWindows(const std::string& display, pid_t pid)
{
    std::vector<int> shapes;
    FILE* p = ::popen(("DISPLAY=" + display + " xdotool search --onlyvisible --pid " + std::to_string(pid) +
                       " 2>/dev/null")
                          .c_str(),
                      "r");
    if (!p)
        return shapes;
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    unsigned long id;
    while (std::fscanf(p, "%lu", &id) == 1) {
        auto* r = xcb_shape_get_rectangles_reply(
            c, xcb_shape_get_rectangles(c, static_cast<xcb_window_t>(id), XCB_SHAPE_SK_BOUNDING), nullptr);
        shapes.push_back(r ? xcb_shape_get_rectangles_rectangles_length(r) : 0);
        std::free(r);
    }
    xcb_disconnect(c);
    ::pclose(p);
    return shapes;
}

TEST(Wayland, OnXWaylandWithItsShapeUnlessTheUserChoseWayland)
{
    HeadlessWeston weston;
    std::string why;
    if (!weston.Start(&why))
        GTEST_SKIP() << why;
    std::map<std::string, std::optional<std::string>> session = {{"QT_QPA_PLATFORM", std::nullopt},
                                                                 {"XDG_SESSION_TYPE", "wayland"},
                                                                 {"WAYLAND_DISPLAY", weston.Socket()},
                                                                 {"DISPLAY", weston.Display()}};
    {
        PortableInstall app;
        pid_t pid = app.Start(session);
        std::vector<int> shapes;
        for (int i = 0; i < 300 && shapes.empty(); ++i) {
            shapes = ShapedWindows(weston.Display(), pid);
            if (shapes.empty())
                std::this_thread::sleep_for(50ms);
        }
        ASSERT_FALSE(shapes.empty()) << "no window on XWayland\n" << app.Errors();
        EXPECT_GT(shapes[0], 1) << "the character's window has no shape";
        ::kill(pid, SIGTERM);
        EXPECT_EQ(0, WaitFor(pid, 20s));
        EXPECT_EQ(std::string::npos, app.Errors().find("Wayland:")) << app.Errors();
    }
    {
        PortableInstall app;
        session["QT_QPA_PLATFORM"] = "wayland";
        pid_t pid = app.Start(session);
        std::string log;
        for (int i = 0; i < 300 && log.find("Wayland:") == std::string::npos; ++i) {
            std::this_thread::sleep_for(50ms);
            log = app.Errors();
        }
        EXPECT_NE(std::string::npos, log.find("Wayland: the character cannot be placed on a screen edge, keep its "
                                              "shape, stay on top or follow other windows here"))
            << log;
        EXPECT_TRUE(ShapedWindows(weston.Display(), pid).empty()) << "a window on X despite the user's choice";
        ::kill(pid, SIGTERM);
        EXPECT_EQ(0, WaitFor(pid, 20s));
        log = app.Errors();
        EXPECT_EQ(log.find("Wayland:"), log.rfind("Wayland:")) << "said more than once";
    }
}

} // namespace
