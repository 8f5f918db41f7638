// TZoRect: an integer rectangle, left and top inclusive, right and bottom
// exclusive (the layout of the platform rectangle, to which it converts both
// ways). Empty unless left < right and top < bottom; the canonical empty
// rectangle is all zero.
#pragma once

#include "port/Rect.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pendar {

// a + b, stopped at the ends of the int range: coordinate arithmetic that
// cannot overflow.
constexpr int SaturatedAdd(int a, int64_t b)
{
    return static_cast<int>(
        std::clamp<int64_t>(a + b, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace pendar

struct TZoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr TZoRect() = default;
    constexpr TZoRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr TZoRect(const port::TRect& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
    constexpr operator port::TRect() const { return port::TRect{left, top, right, bottom}; }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }

    bool EqualRect(const TZoRect& r) const { return *this == r; }
    bool IsRectEmpty() const { return !(left < right && top < bottom); }
    bool SetRectEmpty();
    // Both move the edges outwards (inwards for negative amounts) and stop at
    // the ends of the int range instead of overflowing, so what is left is the
    // part of the moved rectangle that int coordinates can still describe.
    bool InflateRect(int dx, int dy);
    bool OffsetRect(int dx, int dy);
    // left <= x < right and top <= y < bottom.
    bool InRect(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    bool InRect(port::TPoint p) const { return InRect(p.x, p.y); }
    // r lies inside this rectangle; edges may coincide.
    bool InRect(const TZoRect& r) const
    {
        return left <= r.left && top <= r.top && r.right <= right && r.bottom <= bottom;
    }
    // This becomes the overlap of a and b and the result is true; when either
    // is empty or they do not overlap, this becomes all zero and false.
    bool IntersectRect(const TZoRect& a, const TZoRect& b);
    // The bounding box of a and b, ignoring an empty one; both empty gives all
    // zero and false.
    bool UnionRect(const TZoRect& a, const TZoRect& b);
    // a minus b when that is again a rectangle, else a unchanged; true.
    bool SubtractRect(const TZoRect& a, const TZoRect& b);

    friend constexpr bool operator==(const TZoRect&, const TZoRect&) = default;
};

constexpr TZoRect ZoRect(int left, int top, int right, int bottom) { return TZoRect(left, top, right, bottom); }
