#include "app/Region.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace pendar {

namespace {

struct Band {
    int top;
    int bottom;
    size_t begin; // its rectangles [begin, end)
    size_t end;
};

std::vector<Band> BandsOf(const std::vector<port::TRect>& rects)
{
    std::vector<Band> bands;
    for (size_t i = 0; i < rects.size(); ++i) {
        if (bands.empty() || rects[i].top != bands.back().top)
            bands.push_back({rects[i].top, rects[i].bottom, i, i});
        bands.back().end = i + 1;
    }
    return bands;
}

// Sorts runs by column and joins those that touch or overlap.
void Join(std::vector<TRun>& runs)
{
    std::sort(runs.begin(), runs.end());
    size_t kept = 0;
    for (const TRun& r : runs) {
        if (kept > 0 && r.first <= runs[kept - 1].second)
            runs[kept - 1].second = std::max(runs[kept - 1].second, r.second);
        else
            runs[kept++] = r;
    }
    runs.resize(kept);
}

void AppendRuns(const std::vector<port::TRect>& rects, const Band& band, std::vector<TRun>& runs)
{
    for (size_t k = band.begin; k < band.end; ++k)
        runs.emplace_back(rects[k].left, rects[k].right);
}

// Cell edges: v rounded down (or up) to a multiple of `cell`.
int64_t Floor(int64_t v, int64_t cell)
{
    return (v >= 0 ? v / cell : -((-v + cell - 1) / cell)) * cell;
}
int64_t Ceil(int64_t v, int64_t cell)
{
    return -Floor(-v, cell);
}

int Clamped(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

constexpr int kLargestCell = 1 << 24; // wider than any window

} // namespace

void TRegion::AddBand(int top, int bottom, const std::vector<TRun>& runs)
{
    if (runs.empty() || top >= bottom)
        return;
    auto same = [](const TRun& run, const port::TRect& r) { return run.first == r.left && run.second == r.right; };
    if (!rects_.empty() && rects_[lastBand_].bottom == top && rects_.size() - lastBand_ == runs.size() &&
        std::equal(runs.begin(), runs.end(), rects_.begin() + static_cast<std::ptrdiff_t>(lastBand_), same)) {
        for (size_t i = lastBand_; i < rects_.size(); ++i)
            rects_[i].bottom = bottom;
        return;
    }
    lastBand_ = rects_.size();
    for (const auto& [left, right] : runs)
        rects_.push_back(port::TRect{left, top, right, bottom});
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
    // A sweep from the top: between two band edges of either shape, the
    // runs of the bands of both that cover it, joined.
    const std::vector<Band> a = BandsOf(rects_);
    const std::vector<Band> b = BandsOf(other.rects_);
    TRegion out;
    std::vector<TRun> runs;
    size_t i = 0, j = 0;
    int y = INT_MIN;
    while (i < a.size() || j < b.size()) {
        const Band* bandA = i < a.size() ? &a[i] : nullptr;
        const Band* bandB = j < b.size() ? &b[j] : nullptr;
        int from = INT_MAX;
        for (const Band* band : {bandA, bandB})
            if (band)
                from = std::min(from, std::max(band->top, y));
        const bool inA = bandA && bandA->top <= from;
        const bool inB = bandB && bandB->top <= from;
        int to = INT_MAX;
        if (bandA)
            to = std::min(to, inA ? bandA->bottom : bandA->top);
        if (bandB)
            to = std::min(to, inB ? bandB->bottom : bandB->top);
        runs.clear();
        if (inA)
            AppendRuns(rects_, *bandA, runs);
        if (inB)
            AppendRuns(other.rects_, *bandB, runs);
        Join(runs);
        out.AddBand(from, to, runs);
        y = to;
        if (bandA && bandA->bottom <= y)
            ++i;
        if (bandB && bandB->bottom <= y)
            ++j;
    }
    return out;
}

TRegion TRegion::CellCover(int cell) const
{
    const std::vector<Band> bands = BandsOf(rects_);
    TRegion out;
    std::vector<TRun> runs;
    size_t j = 0;
    int64_t cellTop = INT64_MIN;
    while (j < bands.size()) {
        cellTop = std::max(cellTop, Floor(bands[j].top, cell));
        const int64_t cellBottom = cellTop + cell;
        runs.clear();
        size_t k = j;
        for (; k < bands.size() && bands[k].top < cellBottom; ++k)
            for (size_t r = bands[k].begin; r < bands[k].end; ++r)
                runs.emplace_back(Clamped(Floor(rects_[r].left, cell)),
                                  Clamped(Ceil(rects_[r].right, cell)));
        Join(runs);
        // Cell rows that lie wholly inside one band all look alike.
        int64_t rows = 1;
        if (k == j + 1 && bands[j].top <= cellTop)
            rows = std::max<int64_t>(1, (bands[j].bottom - cellTop) / cell);
        out.AddBand(Clamped(cellTop), Clamped(cellTop + rows * cell), runs);
        cellTop += rows * cell;
        while (j < bands.size() && bands[j].bottom <= cellTop)
            ++j;
    }
    return out;
}

TRegion TRegion::Coarsened(size_t maxRects) const
{
    if (Count() <= maxRects)
        return *this;
    for (int cell = 2; cell <= kLargestCell; cell *= 2) {
        TRegion coarse = CellCover(cell);
        if (coarse.Count() <= std::max<size_t>(maxRects, 1))
            return coarse;
    }
    // Never reached with a real shape; the box around it in one piece.
    TRegion box;
    int left = INT_MAX, right = INT_MIN;
    for (const port::TRect& r : rects_) {
        left = std::min(left, r.left);
        right = std::max(right, r.right);
    }
    box.AddBand(rects_.front().top, rects_.back().bottom, {{left, right}});
    return box;
}

bool TRegion::Contains(int x, int y) const
{
    // Bands are sorted and apart, so their bottoms rise with their tops.
    auto it = std::partition_point(rects_.begin(), rects_.end(), [y](const port::TRect& r) { return r.bottom <= y; });
    for (; it != rects_.end() && it->top <= y; ++it)
        if (it->left <= x && x < it->right)
            return true;
    return false;
}

} // namespace pendar
