#include "app/DibImage.h"

#include <QPainter>

namespace {

QImage::Format QtFormat(TPixFormat format)
{
    switch (format) {
    case pf16_565: return QImage::Format_RGB16;
    case pf16_555:
    case pf16_5551: return QImage::Format_RGB555;
    case pf16_4444: return QImage::Format_RGB444;
    case pf24_888: return QImage::Format_BGR888;
    case pf32_888: return QImage::Format_RGB32;
    case pf32_8888: return QImage::Format_ARGB32;
    default: return QImage::Format_Invalid;
    }
}

} // namespace

TDibImage::TDibImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage TDibImage::StoredRows(const TZoDibSection& section)
{
    QImage::Format format = QtFormat(section.Format());
    if (format == QImage::Format_Invalid || !section.Memory())
        return {};
    // QImage takes no negative pitch: wrap from the first stored row on.
    return QImage(section.Memory(), section.Width(), section.Height(), static_cast<qsizetype>(section.RowBytes()),
                  format);
}

QImage TDibImage::Picture() const
{
    if (!Handle())
        return {};
    QImage rows = StoredRows(*Handle());
    return Handle()->Direction() == ddBottomUp ? rows.mirrored(false, true) : rows.copy();
}

void TDibImage::paintEvent(QPaintEvent*)
{
    if (!Handle())
        return;
    QImage rows = StoredRows(*Handle());
    if (rows.isNull())
        return;
    QPainter painter(this);
    if (Handle()->Direction() == ddBottomUp)
        painter.setTransform(QTransform(1, 0, 0, -1, 0, rows.height()));
    painter.drawImage(0, 0, rows);
    SetModified(false);
}
