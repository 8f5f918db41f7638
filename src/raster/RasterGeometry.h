// Coordinate work shared by the pixel buffer and the alpha plane: the line
// walk, the clamp-order-clip of filled boxes, and transfer clipping margins.
// Transfer arithmetic is done in 64 bits so that no caller's coordinates can
// overflow it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace pendar::geometry {

// Line and box coordinates are first clamped into this range, which bounds
// the walk of a line to 65537 steps.
constexpr int kCoordinateLimit = 32768;

inline int ClampCoordinate(int v)
{
    return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

// Walks from (x1, y1) to (x2, y2), always downwards, and calls plot(x, y) for
// every point inside 0 <= x < width, 0 <= y < height. dx and dy count columns
// and rows (not differences); the minor axis advances when the error reaches
// the major count, so the walk ends exactly on the end point.
template <typename Plot>
void WalkLine(int x1, int y1, int x2, int y2, int width, int height, Plot plot)
{
    x1 = ClampCoordinate(x1);
    y1 = ClampCoordinate(y1);
    x2 = ClampCoordinate(x2);
    y2 = ClampCoordinate(y2);
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int dx = std::abs(x2 - x1) + 1;
    const int dy = y2 - y1 + 1;
    const int sx = x2 > x1 ? 1 : -1;
    auto visit = [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            plot(x, y);
    };
    int x = x1;
    int y = y1;
    int err = 0;
    visit(x, y);
    while (x != x2 || y != y2) {
        if (dx > dy) {
            err += dy;
            if (err >= dx) {
                err -= dx;
                ++y;
            }
            x += sx;
        } else {
            err += dx;
            if (err >= dy) {
                err -= dy;
                x += sx;
            }
            ++y;
        }
        visit(x, y);
    }
}

// Clamps, orders and clips the inclusive corners of a filled box to a
// width x height area; false when nothing of it is inside.
inline bool ClipBox(int& x1, int& y1, int& x2, int& y2, int width, int height)
{
    x1 = ClampCoordinate(x1);
    y1 = ClampCoordinate(y1);
    x2 = ClampCoordinate(x2);
    y2 = ClampCoordinate(y2);
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width - 1);
    y2 = std::min(y2, height - 1);
    return x1 <= x2 && y1 <= y2;
}

// A rectangle (right and bottom exclusive) in 64 bits.
struct Rect64 {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
};

// How far a transfer sticks out of its bounds on each side (0 when inside).
struct Margins {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    // Raises each margin to what `drawn` needs against `bounds`.
    void Raise(const Rect64& drawn, const Rect64& bounds)
    {
        left = std::max(left, bounds.left - drawn.left);
        top = std::max(top, bounds.top - drawn.top);
        right = std::max(right, drawn.right - bounds.right);
        bottom = std::max(bottom, drawn.bottom - bounds.bottom);
    }
};

inline Rect64 BlockAt(int64_t x, int64_t y, int64_t w, int64_t h)
{
    return Rect64{x, y, x + w, y + h};
}

} // namespace pendar::geometry
