#include "app/QtRegion.h"

#include <QGuiApplication>
#include <QList>
#include <QRect>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>

namespace pendar {

QRegion ToQRegion(const TRegion& region)
{
    QList<QRect> rects;
    rects.reserve(static_cast<qsizetype>(region.Rects().size()));
    for (const port::TRect& r : region.Rects())
        rects.append(QRect(r.left, r.top, r.Width(), r.Height()));
    // Already banded: sorted by band, then column, apart.
    QRegion out;
    out.setRects(rects.constData(), static_cast<int>(rects.size()));
    return out;
}

QRegion ToWindowMask(const TRegion& region, size_t maxRects)
{
    if (region.IsEmpty())
        return QRegion(-1, -1, 1, 1);
    if (region.Count() > maxRects)
        return ToQRegion(region.Coarsened(maxRects));
    return ToQRegion(region);
}

size_t WindowShapeLimit()
{
    size_t limit = kMaxShapeRects;
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return limit;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* c = x11 ? x11->connection() : nullptr) {
        // The request counts 4-byte units: a header of four (five with a
        // big request's length) and two for each rectangle.
        const uint32_t units = xcb_get_maximum_request_length(c);
        if (units > 5)
            limit = std::min<size_t>(limit, (units - 5) / 2);
    }
    return limit;
}

} // namespace pendar
