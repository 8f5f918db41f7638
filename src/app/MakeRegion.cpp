#include "app/MakeRegion.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pendar {

namespace {

// Unlocks on every way out.
class ScopedLock {
public:
    explicit ScopedLock(TZoRGBBits& b) : b_(b), locked_(b.Lock()) {}
    ~ScopedLock()
    {
        if (locked_)
            b_.Unlock();
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    bool Locked() const { return locked_; }

private:
    TZoRGBBits& b_;
    bool locked_;
};

} // namespace

std::optional<TRegion> MakeRegion(TZoRGBBits& buffer, bool mirrored, int left, int top, int right, int bottom,
                                  size_t maxRects)
{
    if (!buffer.Created() || buffer.PixFormat() != pf24_888 || left < 0 || top < 0 || right > buffer.Width() ||
        bottom > buffer.Height() || left >= right || top >= bottom)
        return std::nullopt;
    ScopedLock lock(buffer);
    if (!lock.Locked())
        return std::nullopt;
    const uchar* bits = buffer.Bits();
    const int64_t pitch = buffer.Pitch();
    auto pixel = [&](int x, int y) { return bits + y * pitch + int64_t{x} * 3; };
    uchar key[3];
    std::memcpy(key, pixel(left, top), 3);
    const int width = right - left;
    const int height = bottom - top;
    // The runs of row y of the block, in the block's columns, mirrored when
    // asked, from the left.
    auto rowRuns = [&](int y, std::vector<TRun>& runs) {
        runs.clear();
        const uchar* p = pixel(left, top + y);
        int x = 0;
        while (x < width) {
            while (x < width && std::memcmp(p + x * 3, key, 3) == 0)
                ++x;
            int start = x;
            while (x < width && std::memcmp(p + x * 3, key, 3) != 0)
                ++x;
            if (x > start)
                runs.emplace_back(start, x);
        }
        if (mirrored) {
            std::reverse(runs.begin(), runs.end());
            for (TRun& r : runs)
                r = {width - r.second, width - r.first};
        }
    };
    try {
        std::vector<TRun> runs;
        TRegion region;
        int y = 0;
        for (; y < height && region.Count() <= maxRects; ++y) {
            rowRuns(y, runs);
            region.AddBand(y, y + 1, runs);
        }
        if (region.Count() <= maxRects)
            return region;
        // Too fine for a window shape: cells of the grid that hold a shown
        // pixel, coarser until they fit.
        std::vector<uchar> shown;
        for (int cell = 2;; cell *= 2) {
            const int across = (width + cell - 1) / cell;
            region = TRegion();
            for (int cellTop = 0; cellTop < height && region.Count() <= maxRects; cellTop += cell) {
                const int cellBottom = std::min(height, cellTop + cell);
                shown.assign(static_cast<size_t>(across), 0);
                for (int row = cellTop; row < cellBottom; ++row) {
                    rowRuns(row, runs);
                    for (const auto& [start, end] : runs)
                        std::fill(shown.begin() + start / cell, shown.begin() + (end - 1) / cell + 1, uchar{1});
                }
                runs.clear();
                for (int c = 0; c < across; ++c) {
                    if (!shown[static_cast<size_t>(c)])
                        continue;
                    if (!runs.empty() && runs.back().second == c * cell)
                        runs.back().second = std::min(width, (c + 1) * cell);
                    else
                        runs.emplace_back(c * cell, std::min(width, (c + 1) * cell));
                }
                region.AddBand(cellTop, cellBottom, runs);
            }
            if (region.Count() <= maxRects || cell >= std::max(width, height))
                return region;
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace pendar
