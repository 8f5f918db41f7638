// Which display server Pendar draws on. On a Wayland session a window can
// neither place itself on a screen edge, keep its shape, stay on top nor see
// other windows, so Pendar runs as an X11 client (through XWayland) whenever
// an X server is reachable, unless the user chose a Qt platform himself.
// Without X it runs on Wayland and says once what it cannot do there.
#pragma once

#include "port/AppFolder.h"

#include <functional>
#include <string>

namespace pendar {

// The Qt platform plug-in to ask for ("xcb"), or "" to leave the choice to
// Qt (and to the user's QT_QPA_PLATFORM).
std::string ChooseQtPlatform(const port::EnvLookup& env, const std::function<bool()>& xReachable);

// Whether the X server of $DISPLAY accepts a connection.
bool XServerReachable();

// The log line for a run on Wayland.
extern const char* const kWaylandLimits;

} // namespace pendar
