// Shapes for Qt: a banded region as a QRegion, and as a widget mask.
#pragma once

#include "app/Region.h"

#include <QRegion>

#include <cstddef>

class QWidget;

namespace pendar {

QRegion ToQRegion(const TRegion& region);

// QWidget::setMask takes an empty region for "no mask at all"; an empty
// shape becomes one pixel outside the widget instead, so that nothing shows.
// A shape of more than `maxRects` rectangles is made coarser first.
QRegion ToWindowMask(const TRegion& region, size_t maxRects = kMaxShapeRects);

// How many rectangles one shape request may carry on this display: at
// most kMaxShapeRects, fewer where the X server takes shorter requests.
size_t WindowShapeLimit();

// Gives a top-level window the outline `region` (made coarser first past
// `maxRects` rectangles). On X11 the server gets the rectangles in one
// shape request and Qt keeps no mask: a Qt mask would have every repaint
// sent to the server one rectangle of the mask at a time. Elsewhere it is
// the widget's mask. False when the X11 window is not made yet: it takes
// its outline once shown (making it early would hand the window manager
// its states twice).
bool SetWindowShape(QWidget& window, const TRegion& region, size_t maxRects);

} // namespace pendar
