#include "app/Region.h"

#include <algorithm>

namespace pendar {

void TRegion::AddRun(int left, int right, int y)
{
    rects_.push_back(port::TRect{left, y, right, y + 1});
}

void TRegion::Offset(int dx, int dy)
{
    for (port::TRect& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

TRegion TRegion::United(const TRegion& other) const
{
    // Both lists are sorted by (row, left): merge them, joining runs of the
    // same row that touch or overlap.
    std::vector<port::TRect> all;
    all.reserve(rects_.size() + other.rects_.size());
    std::merge(rects_.begin(), rects_.end(), other.rects_.begin(), other.rects_.end(), std::back_inserter(all),
               [](const port::TRect& a, const port::TRect& b) {
                   return a.top != b.top ? a.top < b.top : a.left < b.left;
               });
    TRegion out;
    for (const port::TRect& r : all) {
        if (!out.rects_.empty()) {
            port::TRect& last = out.rects_.back();
            if (last.top == r.top && r.left <= last.right) {
                last.right = std::max(last.right, r.right);
                continue;
            }
        }
        out.rects_.push_back(r);
    }
    return out;
}

bool TRegion::Contains(int x, int y) const
{
    auto row = std::lower_bound(rects_.begin(), rects_.end(), y,
                                [](const port::TRect& r, int wanted) { return r.top < wanted; });
    for (; row != rects_.end() && row->top == y; ++row)
        if (row->left <= x && x < row->right)
            return true;
    return false;
}

} // namespace pendar
