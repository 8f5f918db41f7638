#include "raster/ZoRect.h"

#include <algorithm>

using pendar::SaturatedAdd;

bool TZoRect::SetRectEmpty()
{
    *this = TZoRect();
    return true;
}

bool TZoRect::InflateRect(int dx, int dy)
{
    left = SaturatedAdd(left, -int64_t{dx});
    top = SaturatedAdd(top, -int64_t{dy});
    right = SaturatedAdd(right, dx);
    bottom = SaturatedAdd(bottom, dy);
    return true;
}

bool TZoRect::OffsetRect(int dx, int dy)
{
    left = SaturatedAdd(left, dx);
    top = SaturatedAdd(top, dy);
    right = SaturatedAdd(right, dx);
    bottom = SaturatedAdd(bottom, dy);
    return true;
}

bool TZoRect::IntersectRect(const TZoRect& a, const TZoRect& b)
{
    TZoRect overlap(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom));
    if (a.IsRectEmpty() || b.IsRectEmpty() || overlap.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    *this = overlap;
    return true;
}

bool TZoRect::UnionRect(const TZoRect& a, const TZoRect& b)
{
    bool aEmpty = a.IsRectEmpty();
    bool bEmpty = b.IsRectEmpty();
    if (aEmpty && bEmpty) {
        SetRectEmpty();
        return false;
    }
    if (aEmpty || bEmpty) {
        *this = aEmpty ? b : a;
        return true;
    }
    *this = TZoRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom));
    return true;
}

namespace {

// Along one axis: when b covers a's start, the start moves up to b's end;
// when b covers a's end (starting inside a), the end moves down to b's start.
// True when nothing of a is left.
bool CutAxis(int aStart, int aEnd, int bStart, int bEnd, int& start, int& end)
{
    if (bStart <= aStart && bEnd > aStart) {
        start = bEnd;
        return start >= aEnd;
    }
    if (aStart < bStart && bStart < aEnd && bEnd >= aEnd)
        end = bStart;
    return false;
}

} // namespace

bool TZoRect::SubtractRect(const TZoRect& a, const TZoRect& b)
{
    // Only a b that spans a's whole width (or else height) can leave a
    // rectangle behind.
    TZoRect r = a;
    bool gone = false;
    if (b.left <= a.left && b.right >= a.right)
        gone = CutAxis(a.top, a.bottom, b.top, b.bottom, r.top, r.bottom);
    else if (b.top <= a.top && b.bottom >= a.bottom)
        gone = CutAxis(a.left, a.right, b.left, b.right, r.left, r.right);
    *this = gone ? TZoRect() : r;
    return true;
}
