// Which window the user works in, for the placements that sit on the edge
// of the foreground window.
#pragma once

#include "port/Rect.h"

#include <cstdint>

namespace pendar {

using WindowId = uint64_t; // 0: none

struct ForegroundInfo {
    enum Kind {
        None,  // no window, or the desktop, a dock or a panel
        Own,   // one of Pendar's own windows
        Other, // a window of another program
    } kind = None;
    WindowId id = 0;   // set for Other
    port::TRect rect;  // for Other: the window with its frame, screen pixels
};

class IWindowTracker {
public:
    virtual ~IWindowTracker() = default;
    // Whether the foreground window is wanted at all (a window-relative
    // alignment). While it is not, a tracker may watch nothing and answer
    // "no window".
    virtual void Follow(bool on) { (void)on; }
    virtual ForegroundInfo Foreground() = 0;
    // True while `id` exists, is mapped and is not minimised.
    virtual bool IsShown(WindowId id) = 0;
};

// For desktops where foreign windows cannot be seen (no window manager,
// Wayland): there is never a foreground window.
class NullWindowTracker final : public IWindowTracker {
public:
    ForegroundInfo Foreground() override { return {}; }
    bool IsShown(WindowId) override { return false; }
};

} // namespace pendar
