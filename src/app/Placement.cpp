#include "app/Placement.h"

#include "app/SkinInfo.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pendar {

namespace {

constexpr int kSnap = 16;

int Clamped(int64_t v)
{
    return static_cast<int>(
        std::clamp<int64_t>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

// start + range * ratio / 10000, toward zero; ratios come from the
// settings file and may be anything.
int Along(int64_t start, int64_t range, int ratio)
{
    return Clamped(start + range * ratio / 10000);
}

// Keeps [v, v + size) inside [low, high): the far end first, so a range
// too short keeps v at low.
int Within(int v, int size, int low, int high)
{
    if (int64_t{v} + size > high)
        v = Clamped(int64_t{high} - size);
    return std::max(v, low);
}

bool Near(int64_t v, int64_t edge)
{
    return v > edge - kSnap && v < edge + kSnap;
}

int RatioOf(int64_t distance, int64_t range, int keep)
{
    return range > 0 ? Clamped(10000 * distance / range) : keep;
}

} // namespace

int ScreenEdgeAlign(int align)
{
    switch (align) {
    case alWinTop: return alBottom;
    case alWinBottom: return alTop;
    case alWinLeft: return alRight;
    case alWinRight: return alLeft;
    default: return align;
    }
}

TPoint CharacterPlace(int align, const TPlacementGeometry& g, int offsetX, int offsetY)
{
    const port::TRect& r = g.window;
    const int freeX = Along(0, int64_t{g.sw} - g.w, offsetX);
    const int freeY = Along(0, int64_t{g.sh} - g.h, offsetY);
    const int winX = Along(r.left, int64_t{r.right} - r.left - g.w, offsetX);
    const int winY = Along(r.top, int64_t{r.bottom} - r.top - g.h, offsetY);
    switch (align) {
    case alTop: return {freeX, 0};
    case alBottom: return {freeX, g.sh - g.h};
    case alLeft: return {0, freeY};
    case alRight: return {g.sw - g.w, freeY};
    // WINBOTTOM and WINRIGHT keep a gap of one character from the window.
    case alWinTop: return {winX, r.top - g.h};
    case alWinBottom: return {winX, r.bottom + g.h};
    case alWinLeft: return {r.left - g.w, winY};
    case alWinRight: return {r.right + g.w, winY};
    default: return {freeX, freeY};
    }
}

TPoint ConstrainCharacter(int align, const TPlacementGeometry& g, TPoint p)
{
    const port::TRect& r = g.window;
    switch (align) {
    case alTop:
    case alBottom:
        p.x = Within(p.x, g.w, 0, g.sw);
        p.y = align == alTop ? 0 : g.sh - g.h;
        break;
    case alLeft:
    case alRight:
        p.y = Within(p.y, g.h, 0, g.sh);
        p.x = align == alLeft ? 0 : g.sw - g.w;
        break;
    case alWinTop:
    case alWinBottom:
        p.x = Within(p.x, g.w, r.left, r.right);
        p.y = align == alWinTop ? r.top - g.h : r.bottom + g.h;
        break;
    case alWinLeft:
    case alWinRight:
        p.y = Within(p.y, g.h, r.top, r.bottom);
        p.x = align == alWinLeft ? r.left - g.w : r.right + g.w;
        break;
    default: // free: snap to the screen's edges
        if (Near(int64_t{p.x} + g.w, g.sw))
            p.x = g.sw - g.w;
        if (Near(int64_t{p.y} + g.h, g.sh))
            p.y = g.sh - g.h;
        if (Near(p.x, 0))
            p.x = 0;
        if (Near(p.y, 0))
            p.y = 0;
        break;
    }
    return p;
}

void RatiosOf(int align, const TPlacementGeometry& g, TPoint at, int& offsetX, int& offsetY)
{
    const port::TRect& r = g.window;
    switch (align) {
    default: // free
        offsetX = RatioOf(at.x, int64_t{g.sw} - g.w, offsetX);
        offsetY = RatioOf(at.y, int64_t{g.sh} - g.h, offsetY);
        break;
    case alTop:
    case alBottom: offsetX = RatioOf(at.x, int64_t{g.sw} - g.w, offsetX); break;
    case alLeft:
    case alRight: offsetY = RatioOf(at.y, int64_t{g.sh} - g.h, offsetY); break;
    case alWinTop:
    case alWinBottom:
        offsetX = RatioOf(int64_t{at.x} - r.left, int64_t{r.right} - r.left - g.w, offsetX);
        break;
    case alWinLeft:
    case alWinRight:
        offsetY = RatioOf(int64_t{at.y} - r.top, int64_t{r.bottom} - r.top - g.h, offsetY);
        break;
    }
}

} // namespace pendar
