// An image control that shows a display buffer: the buffer's section is
// read through a QImage over its memory, turned into the window's own
// format when the buffer flushes a modification, and painted from there.
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
    void HandleChanged() override { Stale(); }
    void Changed() override { Stale(); }

private:
    void Stale();

    // The buffer as the window shows it (upright, 32 bits a pixel), made
    // again after the buffer changed.
    QImage shown_;
    bool stale_ = true;
};
