// The states a top-level window asks of an X11 desktop's window manager: no
// task-bar button, kept above the others. They go on the window before it
// is mapped and again once it is first exposed after each mapping, since a
// window manager drops them when a window is withdrawn (hidden) and may take
// them late. Setting one never hides, re-creates or re-shows the window, so
// a modal run goes on.
#pragma once

#include "platform/WindowTracker.h"

#include <QObject>

#include <optional>

class QWidget;

namespace pendar {

class XcbWindowTracker;

class DesktopStates final : public QObject {
public:
    DesktopStates(QWidget& window, XcbWindowTracker& desktop);

    void SetSkipTaskbar(bool on);
    void SetAbove(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Set(std::optional<bool>& state, bool on, void (XcbWindowTracker::*put)(WindowId, bool));
    void Apply();

    QWidget& window_;
    XcbWindowTracker& desktop_;
    // Only the states asked for are touched.
    std::optional<bool> skipTaskbar_;
    std::optional<bool> above_;
    bool watchingNative_ = false;
    // Set once the mapped window was given its states, until it is unmapped.
    bool settled_ = false;
    // Set from showing to mapping: the window itself carries the states.
    bool onWindow_ = false;
};

} // namespace pendar
