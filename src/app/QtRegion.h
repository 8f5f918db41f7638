// Shapes for Qt: a region of row runs as a QRegion, and as a widget mask.
#pragma once

#include "app/Region.h"

#include <QRegion>

namespace pendar {

QRegion ToQRegion(const TRegion& region);

// QWidget::setMask takes an empty region for "no mask at all"; an empty
// shape becomes one pixel outside the widget instead, so that nothing shows.
QRegion ToWindowMask(const TRegion& region);

} // namespace pendar
