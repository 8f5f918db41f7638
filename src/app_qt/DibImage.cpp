#include "app_qt/DibImage.h"

#include <QPaintEvent>
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
    // A section's header carries red, green and blue masks only: its
    // fourth byte is never an opacity.
    case pf32_888:
    case pf32_8888: return QImage::Format_RGB32;
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

void TDibImage::Stale()
{
    stale_ = true;
    update();
}

void TDibImage::paintEvent(QPaintEvent* event)
{
    if (!Handle())
        return;
    // Converted once per change of the buffer, not once per paint: an
    // expose or a label redrawn over the picture copies the kept rows.
    if (stale_) {
        QImage rows = StoredRows(*Handle());
        if (rows.isNull())
            return;
        shown_ = rows.convertToFormat(QImage::Format_RGB32);
        if (Handle()->Direction() == ddBottomUp)
            shown_.mirror(false, true);
        stale_ = false;
    }
    // Rectangle by rectangle: under a clip of one rectangle the painter
    // copies the rows straight, where a clip of several has it blend them
    // span by span on Qt's worker threads.
    QPainter painter(this);
    for (const QRect& part : event->region()) {
        painter.setClipRect(part);
        painter.drawImage(part.topLeft(), shown_, part);
    }
    SetModified(false);
}
