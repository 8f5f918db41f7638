#include "platform_qt/DisplayServer.h"

#include <xcb/xcb.h>

namespace pendar {

const char* const kWaylandLimits =
    "Wayland: the character cannot be placed on a screen edge, keep its shape, stay on top or follow other "
    "windows here; Pendar does all of this as an X11 client when an X server (XWayland) runs";

std::string ChooseQtPlatform(const port::EnvLookup& env, const std::function<bool()>& xReachable)
{
    auto set = [&](const char* name) {
        const char* v = env(name);
        return v && *v;
    };
    if (set("QT_QPA_PLATFORM"))
        return {};
    const char* session = env("XDG_SESSION_TYPE");
    bool wayland = set("WAYLAND_DISPLAY") || (session && std::string(session) == "wayland");
    if (wayland && set("DISPLAY") && xReachable())
        return "xcb";
    return {};
}

bool XServerReachable()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

} // namespace pendar
