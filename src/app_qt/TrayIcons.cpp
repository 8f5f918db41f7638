#include "app_qt/TrayIcons.h"

#include "app/MainForm.h"

#include <QPainter>
#include <QPixmap>

namespace pendar {

namespace {

// A round clock face at ten past ten, drawn at each size a panel may ask
// for; `flash` swaps to a bright face with a glowing ring.
QIcon DrawClock(bool flash)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        QColor ring = flash ? QColor(0xFF, 0x8C, 0x00) : QColor(0x4A, 0x2C, 0x17);
        QColor face = flash ? QColor(0xFF, 0xF3, 0x80) : QColor(0xFF, 0xF8, 0xEE);
        p.setPen(QPen(ring, flash ? 4.0 : 3.0));
        p.setBrush(face);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(QPen(QColor(0x4A, 0x2C, 0x17), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(10.5, 11)); // hour hand at ten
        p.drawLine(QPointF(16, 16), QPointF(22.5, 9));  // minute hand at two
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD0, 0x28, 0x28));
        p.drawEllipse(QRectF(14.2, 14.2, 3.6, 3.6));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon TrayIconNamed(std::string_view name)
{
    static const QIcon normal = DrawClock(false);
    static const QIcon flash = DrawClock(true);
    if (name == TMainForm::kIconNormal)
        return normal;
    if (name == TMainForm::kIconFlash)
        return flash;
    return {};
}

} // namespace pendar
