#include "app_qt/QtRegion.h"

#include <QGuiApplication>
#include <QList>
#include <QRect>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pendar {

namespace {

// Qt's own connection to the X server, or null on another platform.
xcb_connection_t* QtX11Connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The region's rectangles as the SHAPE extension takes them; a rectangle
// past the protocol's 16-bit coordinates is left out (no window is that big).
std::vector<xcb_rectangle_t> XRectangles(const TRegion& region)
{
    std::vector<xcb_rectangle_t> out;
    out.reserve(region.Rects().size());
    for (const port::TRect& r : region.Rects()) {
        if (r.left < INT16_MIN || r.top < INT16_MIN || r.right > INT16_MAX || r.bottom > INT16_MAX ||
            r.Width() <= 0 || r.Height() <= 0)
            continue;
        out.push_back({static_cast<int16_t>(r.left), static_cast<int16_t>(r.top), static_cast<uint16_t>(r.Width()),
                       static_cast<uint16_t>(r.Height())});
    }
    return out;
}

} // namespace

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
    if (xcb_connection_t* c = QtX11Connection()) {
        // The request counts 4-byte units: a header of four (five with a
        // big request's length) and two for each rectangle.
        const uint32_t units = xcb_get_maximum_request_length(c);
        if (units > 5)
            limit = std::min<size_t>(limit, (units - 5) / 2);
    }
    return limit;
}

bool SetWindowShape(QWidget& window, const TRegion& region, size_t maxRects)
{
    xcb_connection_t* c = QtX11Connection();
    const xcb_query_extension_reply_t* shape = c ? xcb_get_extension_data(c, &xcb_shape_id) : nullptr;
    if (!shape || !shape->present) {
        window.setMask(ToWindowMask(region, maxRects));
        return true;
    }
    if (!window.windowHandle())
        return false;
    // No rectangle at all is an empty shape: nothing shows.
    const std::vector<xcb_rectangle_t> rects =
        XRectangles(region.Count() > maxRects ? region.Coarsened(maxRects) : region);
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                         static_cast<xcb_window_t>(window.winId()), 0, 0, static_cast<uint32_t>(rects.size()),
                         rects.data());
    xcb_flush(c);
    return true;
}

} // namespace pendar
