// The pixels of rectangles on a small board: the brute-force model the
// rectangle-set and drawing tests compare with.
#pragma once

#include "raster/RasterTestUtil.h"
#include "raster/ZoRect.h"

#include <algorithm>
#include <bitset>
#include <sstream>
#include <string>
#include <vector>

namespace pendar::test {

using Rects = std::vector<TZoRect>;

constexpr int kBoard = 64;
constexpr int kBoardOrigin = 8; // the board covers -8..55 in both directions
using Pixels = std::bitset<kBoard * kBoard>;

inline Pixels PixelsOf(const TZoRect& r)
{
    Pixels p;
    for (int y = std::max(r.top, -kBoardOrigin); y < std::min(r.bottom, kBoard - kBoardOrigin); ++y)
        for (int x = std::max(r.left, -kBoardOrigin); x < std::min(r.right, kBoard - kBoardOrigin); ++x)
            p.set(static_cast<size_t>((y + kBoardOrigin) * kBoard + x + kBoardOrigin));
    return p;
}

inline Pixels PixelsOf(const Rects& rects)
{
    Pixels p;
    for (const TZoRect& r : rects)
        p |= PixelsOf(r);
    return p;
}

// True when no pixel lies in two of the rectangles.
inline bool Disjoint(const Rects& rects)
{
    size_t total = 0;
    for (const TZoRect& r : rects)
        total += PixelsOf(r).count();
    return total == PixelsOf(rects).count();
}

inline std::string Describe(const Rects& rects)
{
    std::ostringstream out;
    for (const TZoRect& r : rects)
        out << r << " ";
    return out.str();
}

} // namespace pendar::test
