#include "app_qt/ZoPanel.h"

#include <QPainter>

TZoPanel::TZoPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TZoPanel::SetEraseBkGnd(bool value)
{
    if (eraseBkGnd_ == value)
        return;
    eraseBkGnd_ = value;
    setAttribute(Qt::WA_NoSystemBackground, !value);
    update();
}

void TZoPanel::paintEvent(QPaintEvent* event)
{
    if (OnUserPaint) {
        OnUserPaint(this, event);
        return;
    }
    if (!eraseBkGnd_)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    painter.drawText(rect(), Qt::AlignCenter, caption_);
}

void TZoPanel::enterEvent(QEnterEvent* event)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
    QWidget::enterEvent(event);
}

void TZoPanel::leaveEvent(QEvent* event)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
    QWidget::leaveEvent(event);
}
