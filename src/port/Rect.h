// The platform rectangle (left and top inclusive, right and bottom exclusive)
// and point, in screen pixels.
#pragma once

namespace port {

struct TPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

} // namespace port
