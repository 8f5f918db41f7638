#include "dialogs/DialogView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

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

void FollowStayOnTop(QWidget& window, const StayOnTopQuery& stayOnTop)
{
    QWidget* target = &window;
    QTimer::singleShot(0, target, [target, stayOnTop] {
        if (!target->isVisible())
            return;
        bool wanted = stayOnTop && stayOnTop();
        if (target->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == wanted)
            return;
        target->setWindowFlag(Qt::WindowStaysOnTopHint, wanted);
        target->show();
    });
}

} // namespace pendar
