// An image control that shows a display buffer's pixels where they are:
// the buffer's section is wrapped in a QImage (nothing copied) and painted
// again whenever the buffer flushes a modification.
#pragma once

#include "raster/ZoDibBitmap.h"

#include <QImage>
#include <QWidget>

class TDibImage : public QWidget, public TZoDibBitmap {
    Q_OBJECT
public:
    explicit TDibImage(QWidget* parent = nullptr);

    // The section as a QImage over its memory, rows in stored order (so a
    // bottom-up section comes out upside down); null without a section or
    // for a format Qt cannot show.
    static QImage StoredRows(const TZoDibSection& section);
    // The picture the way it looks: top row first (a copy).
    QImage Picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void HandleChanged() override { update(); }
    void Changed() override { update(); }
};
