#include "app/QtRegion.h"

#include <QList>
#include <QRect>

namespace pendar {

QRegion ToQRegion(const TRegion& region)
{
    QList<QRect> rects;
    rects.reserve(static_cast<qsizetype>(region.Rects().size()));
    for (const port::TRect& r : region.Rects())
        rects.append(QRect(r.left, r.top, r.Width(), r.Height()));
    // The runs are already banded: sorted by row, then column, apart.
    QRegion out;
    out.setRects(rects.constData(), static_cast<int>(rects.size()));
    return out;
}

QRegion ToWindowMask(const TRegion& region)
{
    if (region.IsEmpty())
        return QRegion(-1, -1, 1, 1);
    return ToQRegion(region);
}

} // namespace pendar
