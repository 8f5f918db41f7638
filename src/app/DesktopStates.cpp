#include "app/DesktopStates.h"

#include "platform/XcbWindowTracker.h"

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
    skipTaskbar_ = on;
    Apply();
}

void DesktopStates::SetAbove(bool on)
{
    above_ = on;
    Apply();
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
        settled_ = false;
        if (QWindow* native = window_.windowHandle(); native && !watchingNative_) {
            native->installEventFilter(this);
            watchingNative_ = true;
        }
    } else if (watched == window_.windowHandle() && event->type() == QEvent::Expose) {
        // Mapped and managed: the window manager may have dropped them
        // while the window was hidden, or taken them before they were set.
        // Once a mapping: a shaped window is exposed again at every change
        // of its outline, and each check asks the server.
        const bool exposed = window_.windowHandle()->isExposed();
        if (exposed && !settled_)
            Apply();
        settled_ = exposed;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pendar
