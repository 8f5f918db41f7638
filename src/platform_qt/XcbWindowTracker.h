// The foreground window on an X11 desktop, read from the window manager's
// hints (EWMH) over a connection of its own, and the window states Pendar
// sets on its own windows. Every request's error comes back with its reply
// and only makes that answer "no window"; nothing here ends the program.
//
// While it follows, the tracker asks the X server once and then listens:
// the root's active window and stacking list, and the windows it answered
// about (their geometry, their frames' moves, their state and frame
// extents). Foreground() hands out the kept answer and asks again only
// after one of those changed, so a desktop where nothing moves costs no
// request at all.
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

    // Starts or stops listening; while not following, Foreground() is
    // "no window" and nothing is selected on any window.
    void Follow(bool on) override;
    bool Following() const;
    ForegroundInfo Foreground() override;
    bool IsShown(WindowId id) override;
    // Reads what the X server sent (the event loop calls it when the
    // connection has data).
    void ReadEvents();

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
