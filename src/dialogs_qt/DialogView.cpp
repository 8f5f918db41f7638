#include "dialogs_qt/DialogView.h"

#include "dialogs/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace pendar {

QFont DialogFont()
{
    QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

QColor ToQColor(uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

port::TRect ToRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

port::TRect ScreenArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->availableGeometry()) : port::TRect{0, 0, 1024, 768};
}

void CentreOnScreen(QWidget& window)
{
    const port::TRect area = ScreenArea();
    window.move(area.left + (area.Width() - window.width()) / 2, area.top + (area.Height() - window.height()) / 2);
}

void CentreWindowOn(QWidget& window, const port::TRect& owner)
{
    QRect frame = window.frameGeometry();
    TPoint at = CentreOnOwner(owner, frame.width(), frame.height(), ScreenArea());
    window.move(at.x, at.y);
}

void PlaceBeside(QWidget& window, const port::TRect& owner)
{
    QRect frame = window.frameGeometry();
    TPoint at = BesideOwner(owner, frame.width(), frame.height(), ScreenArea());
    window.move(at.x, at.y);
}

port::TRect ScreenRect(const QWidget& widget)
{
    if (widget.isWindow())
        return ToRect(widget.frameGeometry());
    return ToRect(QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()));
}

void SetOnTop(QWidget& window, bool onTop)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    QWindow* native = window.windowHandle();
    if (native && window.isVisible()) {
        native->setFlag(Qt::WindowStaysOnTopHint, onTop);
        window.overrideWindowFlags(window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop));
    } else {
        window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    }
}

void FollowStayOnTop(QWidget& window, const QEvent& event, const StayOnTopQuery& stayOnTop)
{
    if (event.type() == QEvent::ActivationChange && window.isActiveWindow() && stayOnTop)
        SetOnTop(window, stayOnTop());
}

} // namespace pendar
