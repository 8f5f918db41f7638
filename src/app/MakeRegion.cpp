#include "app/MakeRegion.h"

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

std::optional<TRegion> MakeRegion(TZoRGBBits& buffer, bool mirrored, int left, int top, int right, int bottom)
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
    try {
        TRegion region;
        std::vector<std::pair<int, int>> runs;
        for (int y = top; y < bottom; ++y) {
            runs.clear();
            const uchar* p = pixel(left, y);
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
            const int row = y - top;
            if (mirrored) {
                for (auto it = runs.rbegin(); it != runs.rend(); ++it)
                    region.AddRun(width - it->second, width - it->first, row);
            } else {
                for (const auto& [start, end] : runs)
                    region.AddRun(start, end, row);
            }
        }
        return region;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace pendar
