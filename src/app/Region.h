// A window shape as the character's pictures make it, in the banded form
// window systems take as it is: bands of rows, sorted from the top, each
// band's rectangles sharing its top and bottom, sorted by column and never
// touching or overlapping; a band never touches another with the same
// runs (they would be one band). Rows of a picture that repeat therefore
// cost nothing; only shapes whose rows all differ grow with their runs.
#pragma once

#include "port/Rect.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace pendar {

// [left, right) of one row or band.
using TRun = std::pair<int, int>;

// The most rectangles a shape may have: more than one request of the X
// server takes (and heavy for every window system). Past it a shape is
// made coarser.
constexpr size_t kMaxShapeRects = 65536;

class TRegion {
public:
    TRegion() = default;

    // Appends the band [top, bottom) with its runs, in column order and
    // apart; bands come from the top down without overlapping. A band that
    // continues the last one with the same runs extends it.
    void AddBand(int top, int bottom, const std::vector<TRun>& runs);

    void Offset(int dx, int dy);
    // The union, again in banded form.
    TRegion United(const TRegion& other) const;
    // This shape when it has at most `maxRects` rectangles; otherwise the
    // finest grid of square cells (2, 4, 8 ... pixels) whose cells touched
    // by the shape make at most that many. It always covers this shape.
    TRegion Coarsened(size_t maxRects) const;

    const std::vector<port::TRect>& Rects() const { return rects_; }
    size_t Count() const { return rects_.size(); }
    bool IsEmpty() const { return rects_.empty(); }
    bool Contains(int x, int y) const;

    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    TRegion CellCover(int cell) const;

    std::vector<port::TRect> rects_;
    size_t lastBand_ = 0; // where the last band's rectangles start
};

} // namespace pendar
