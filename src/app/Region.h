// A window shape as the character's pictures make it: runs of pixels, one
// row high, sorted by row and then by column, never touching or
// overlapping. That is the banded form window systems take as it is.
#pragma once

#include "port/Rect.h"

#include <vector>

namespace pendar {

class TRegion {
public:
    TRegion() = default;

    // Appends the run [left, right) of row y; runs must come in order (by
    // row, then column, and apart from the previous one in the same row).
    void AddRun(int left, int right, int y);

    void Offset(int dx, int dy);
    // The union, again in banded form.
    TRegion United(const TRegion& other) const;

    const std::vector<port::TRect>& Rects() const { return rects_; }
    bool IsEmpty() const { return rects_.empty(); }
    bool Contains(int x, int y) const;

    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    std::vector<port::TRect> rects_;
};

} // namespace pendar
