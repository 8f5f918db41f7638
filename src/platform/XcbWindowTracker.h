// The foreground window on an X11 desktop, read from the window manager's
// hints (EWMH) over a connection of its own, and the window states Pendar
// sets on its own windows. Every request's error comes back with its reply
// and only makes that answer "no window"; nothing here ends the program.
#pragma once

#include "platform/WindowTracker.h"

#include <functional>
#include <memory>

namespace pendar {

class XcbWindowTracker final : public IWindowTracker {
public:
    // `isOwn` tells Pendar's own windows from the others'.
    explicit XcbWindowTracker(std::function<bool(WindowId)> isOwn);
    ~XcbWindowTracker() override;
    XcbWindowTracker(const XcbWindowTracker&) = delete;
    XcbWindowTracker& operator=(const XcbWindowTracker&) = delete;

    // False when the X server could not be reached; then every answer is
    // "no window".
    bool Connected() const;

    ForegroundInfo Foreground() override;
    bool IsShown(WindowId id) override;

    // Adds or removes "skip the task bar" (_NET_WM_STATE_SKIP_TASKBAR) or
    // "above the others" (_NET_WM_STATE_ABOVE) on one of our windows,
    // mapped or not.
    void SetSkipTaskbar(WindowId id, bool on);
    void SetAbove(WindowId id, bool on);
    // True while a pointer button is held down.
    bool PointerButtonHeld();

private:
    void SetState(WindowId id, unsigned state, bool on);
    struct State;
    std::unique_ptr<State> s_;
    std::function<bool(WindowId)> isOwn_;
};

} // namespace pendar
