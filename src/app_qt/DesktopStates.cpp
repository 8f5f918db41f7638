#include "app_qt/DesktopStates.h"

#include "platform_qt/XcbWindowTracker.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace pendar {

DesktopStates::DesktopStates(QWidget& window, XcbWindowTracker& desktop)
    : QObject(&window), window_(window), desktop_(desktop)
{
    window_.installEventFilter(this);
}

void DesktopStates::SetSkipTaskbar(bool on)
{
    Set(skipTaskbar_, on, &XcbWindowTracker::SetSkipTaskbar);
}

void DesktopStates::SetAbove(bool on)
{
    Set(above_, on, &XcbWindowTracker::SetAbove);
}

void DesktopStates::Set(std::optional<bool>& state, bool on, void (XcbWindowTracker::*put)(WindowId, bool))
{
    // Shown but not yet mapped, the window carries what was put on it last;
    // once mapped, the window manager may have changed it since.
    if (state == on && onWindow_)
        return;
    state = on;
    if (window_.windowHandle())
        (desktop_.*put)(window_.winId(), on);
}

void DesktopStates::Apply()
{
    // Only a native window carries states; one that has none yet gets them
    // when it is shown.
    if (!window_.windowHandle())
        return;
    const WindowId id = window_.winId();
    if (skipTaskbar_)
        desktop_.SetSkipTaskbar(id, *skipTaskbar_);
    if (above_)
        desktop_.SetAbove(id, *above_);
}

bool DesktopStates::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Show) {
        // Not yet mapped: the states go on the window itself.
        Apply();
        onWindow_ = window_.windowHandle() != nullptr;
        settled_ = false;
        if (QWindow* native = window_.windowHandle(); native && !watchingNative_) {
            native->installEventFilter(this);
            watchingNative_ = true;
        }
    } else if (watched == window_.windowHandle() && event->type() == QEvent::Expose) {
        // Mapped and managed: the window manager may have dropped them
        // while the window was hidden, or taken them before they were set.
        // Once a mapping, as a shaped window is exposed again at every
        // change of its outline and each check asks the server; and after
        // the window has painted what the expose asks for.
        const bool exposed = window_.windowHandle()->isExposed();
        if (exposed && !settled_)
            QMetaObject::invokeMethod(this, &DesktopStates::Apply, Qt::QueuedConnection);
        settled_ = exposed;
        onWindow_ = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pendar
