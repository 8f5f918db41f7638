// Shapes for Qt: a banded region as a QRegion, and as a widget mask.
#pragma once

#include "app/Region.h"

#include <QRegion>

#include <cstddef>

namespace pendar {

QRegion ToQRegion(const TRegion& region);

// QWidget::setMask takes an empty region for "no mask at all"; an empty
// shape becomes one pixel outside the widget instead, so that nothing shows.
// A shape of more than `maxRects` rectangles is made coarser first.
QRegion ToWindowMask(const TRegion& region, size_t maxRects = kMaxShapeRects);

// How many rectangles one shape request may carry on this display: at
// most kMaxShapeRects, fewer where the X server takes shorter requests.
size_t WindowShapeLimit();

} // namespace pendar
