// TZoRGBBits: the drawing primitives (points, lines, boxes, fills).
#include "raster/ZoRGBBits.h"

#include "raster/BufferLock.h"
#include "raster/RasterGeometry.h"
#include "raster/ZoMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace geometry = pendar::geometry;

bool TZoRGBBits::Cls()
{
    pendar::BufferLock lock(*this);
    if (!lock)
        return false;
    const size_t rowBytes = size_t(width_) * bitDepth_;
    for (int y = 0; y < height_; ++y)
        std::memset(PixelAt(0, y), 0, rowBytes);
    lock.Release();
    SetModified();
    return true;
}

bool TZoRGBBits::PSet(int x, int y, uint32_t c)
{
    if (!created_ || x < 0 || x >= width_ || y < 0 || y >= height_)
        return false;
    {
        pendar::BufferLock lock(*this);
        if (!lock)
            return false;
        PixelStoreProcTable[bitDepth_](PixelAt(x, y), c);
    }
    SetModified(x, y, x, y);
    return true;
}

uint32_t TZoRGBBits::PGet(int x, int y)
{
    if (!created_ || x < 0 || x >= width_ || y < 0 || y >= height_)
        return 0;
    pendar::BufferLock lock(*this);
    return lock ? PixelLoadProcTable[bitDepth_](PixelAt(x, y)) : 0;
}

uint32_t TZoRGBBits::TopLeftGet()
{
    return PGet(0, 0);
}

bool TZoRGBBits::ZoLine(int x1, int y1, int x2, int y2, uint32_t c)
{
    pendar::BufferLock lock(*this);
    if (!lock)
        return false;
    TPixelStoreProc store = PixelStoreProcTable[bitDepth_];
    geometry::WalkLine(x1, y1, x2, y2, width_, height_, [&](int x, int y) { store(PixelAt(x, y), c); });
    return true;
}

bool TZoRGBBits::Line(int x1, int y1, int x2, int y2, uint32_t c)
{
    if (!created_)
        return false;
    bool ok = ZoLine(x1, y1, x2, y2, c);
    SetModified(x1, y1, x2, y2);
    return ok;
}

bool TZoRGBBits::ZoBoxFill(int x1, int y1, int x2, int y2, uint32_t c)
{
    pendar::BufferLock lock(*this);
    if (!lock)
        return false;
    if (!geometry::ClipBox(x1, y1, x2, y2, width_, height_))
        return true;
    TZoMemsetProc fill = ZoMemsetTable[bitDepth_];
    const auto count = static_cast<unsigned>(x2 - x1 + 1);
    for (int y = y1; y <= y2; ++y)
        fill(PixelAt(x1, y), c, count);
    return true;
}

bool TZoRGBBits::BoxFill(int x1, int y1, int x2, int y2, uint32_t c)
{
    bool ok = ZoBoxFill(x1, y1, x2, y2, c);
    if (ok)
        SetModified(x1, y1, x2, y2);
    return ok;
}

bool TZoRGBBits::Box(int x1, int y1, int x2, int y2, uint32_t c)
{
    x1 = geometry::ClampCoordinate(x1);
    y1 = geometry::ClampCoordinate(y1);
    x2 = geometry::ClampCoordinate(x2);
    y2 = geometry::ClampCoordinate(y2);
    bool ok;
    if (x1 == x2 || y1 == y2) {
        ok = ZoLine(x1, y1, x2, y2, c);
    } else {
        ok = ZoLine(x1, y1, x2, y1, c);
        ok = ZoLine(x1, y1, x1, y2, c) && ok;
        ok = ZoLine(x1, y2, x2, y2, c) && ok;
        ok = ZoLine(x2, y1, x2, y2, c) && ok;
    }
    SetModified(x1, y1, x2, y2);
    return ok;
}

void TZoRGBBits::ClipRect(const TZoRect& drawn, const TZoRect& bounds, int& left, int& top, int& right,
                          int& bottom)
{
    geometry::Margins m{left, top, right, bottom};
    m.Raise(geometry::Rect64{drawn.left, drawn.top, drawn.right, drawn.bottom},
            geometry::Rect64{bounds.left, bounds.top, bounds.right, bounds.bottom});
    auto narrow = [](int64_t v) { return static_cast<int>(std::min<int64_t>(v, INT_MAX)); };
    left = narrow(m.left);
    top = narrow(m.top);
    right = narrow(m.right);
    bottom = narrow(m.bottom);
}
