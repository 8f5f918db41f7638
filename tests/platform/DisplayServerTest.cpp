#include "platform_qt/DisplayServer.h"
#include "support/FakeEnv.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::FakeEnv;

// On a Wayland session Pendar asks Qt for X11 when an X server answers,
// unless the user chose a platform; everywhere else Qt chooses.
TEST(DisplayServer, XWhereverAWaylandSessionHasAnXServerUnlessTheUserChose)
{
    struct Case {
        const char* what;
        FakeEnv env;
        bool xAnswers;
        const char* platform;
    } cases[] = {
        {"an X11 session", {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}}, true, ""},
        {"Wayland with XWayland", {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}}}, true, "xcb"},
        {"a compositor without the session type", {{{"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-0"}}}, true,
         "xcb"},
        {"Wayland, X not answering", {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}}}, false, ""},
        {"Wayland without X", {{{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}}, true, ""},
        {"the user's own choice",
         {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}, {"QT_QPA_PLATFORM", "wayland"}}}, true, ""},
        {"an empty choice is none",
         {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}, {"QT_QPA_PLATFORM", ""}}}, true, "xcb"},
    };
    for (const Case& c : cases) {
        bool asked = false;
        std::string chosen = pendar::ChooseQtPlatform(c.env.Lookup(), [&] {
            asked = true;
            return c.xAnswers;
        });
        EXPECT_EQ(c.platform, chosen) << c.what;
        if (std::string(c.platform) == "xcb") {
            EXPECT_TRUE(asked) << c.what;
        }
    }
}

} // namespace
