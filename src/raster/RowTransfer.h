// Row-by-row work on a block of a pixel buffer or alpha plane: clipping the
// block to the target, moving every source past the trimmed edges, and
// copying aside a source that shares memory with the target, so that an
// operation reads every source pixel as it was before the operation began.
// Arithmetic on positions and pitches is 64-bit.
#pragma once

#include "raster/PixFormat.h"
#include "raster/PixelMemory.h"
#include "raster/RasterGeometry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace pendar::rows {

// A w x h block clipped into a width x height target.
struct Placement {
    int x = 0;            // leftmost target column
    int y = 0;            // top target row
    int w = 0;            // columns and rows left
    int h = 0;
    int64_t skipCols = 0; // source pixels skipped at the start of each row
    int64_t skipRows = 0; // source rows skipped at the top
};

// Clips the block; mirrored, the first source pixels of a row belong to the
// right edge, so the right margin skips them. False when nothing is left.
inline bool Place(int x, int y, int w, int h, int width, int height, bool mirrored, Placement& p)
{
    using geometry::Margins;
    if (w <= 0 || h <= 0)
        return false;
    Margins m;
    m.Raise(geometry::BlockAt(x, y, w, h), geometry::Rect64{0, 0, width, height});
    const int64_t left = std::max<int64_t>(m.left, 0);
    const int64_t right = std::max<int64_t>(m.right, 0);
    const int64_t top = std::max<int64_t>(m.top, 0);
    const int64_t bottom = std::max<int64_t>(m.bottom, 0);
    const int64_t cols = int64_t{w} - left - right;
    const int64_t rows = int64_t{h} - top - bottom;
    if (cols <= 0 || rows <= 0)
        return false;
    p.x = static_cast<int>(x + left);
    p.y = static_cast<int>(y + top);
    p.w = static_cast<int>(cols);
    p.h = static_cast<int>(rows);
    p.skipCols = mirrored ? right : left;
    p.skipRows = top;
    return true;
}

// A source rectangle's origin inside a source of width x height.
struct SourceBounds {
    int* x;
    int* y;
    int width;
    int height;
};

// Trims a w x h block to every source with one shared set of margins (each
// margin the largest any source needs): a left or top trim moves (x, y) and
// every source origin along. False when nothing is left.
inline bool TrimTogether(int& x, int& y, int& w, int& h, std::initializer_list<SourceBounds> sources)
{
    using geometry::Margins;
    Margins m;
    for (const SourceBounds& s : sources)
        m.Raise(geometry::BlockAt(*s.x, *s.y, w, h), geometry::Rect64{0, 0, s.width, s.height});
    const int64_t left = std::max<int64_t>(m.left, 0);
    const int64_t top = std::max<int64_t>(m.top, 0);
    const int64_t cols = int64_t{w} - left - std::max<int64_t>(m.right, 0);
    const int64_t rows = int64_t{h} - top - std::max<int64_t>(m.bottom, 0);
    if (cols <= 0 || rows <= 0)
        return false;
    x = static_cast<int>(x + left);
    y = static_cast<int>(y + top);
    for (const SourceBounds& s : sources) {
        *s.x = static_cast<int>(*s.x + left);
        *s.y = static_cast<int>(*s.y + top);
    }
    w = static_cast<int>(cols);
    h = static_cast<int>(rows);
    return true;
}

// The address range a block of rows covers, whatever the sign of its pitch.
struct Span {
    uintptr_t lo = 0;
    uintptr_t hi = 0;
};

inline Span SpanOf(const void* start, int64_t pitch, size_t rowBytes, int rows)
{
    const auto s = reinterpret_cast<uintptr_t>(start);
    const int64_t last = pitch * (rows - 1);
    Span span;
    span.lo = last < 0 ? s - static_cast<uintptr_t>(-last) : s;
    span.hi = (last > 0 ? s + static_cast<uintptr_t>(last) : s) + rowBytes;
    return span;
}

inline bool Overlap(const Span& a, const Span& b)
{
    return a.lo < b.hi && b.lo < a.hi;
}

// The rows an operation reads. When they share memory with what it writes
// they are copied aside first, unless they are the written rows themselves
// (same start and pitch), which every row routine may read in place.
class SourceRows {
public:
    SourceRows(const uint8_t* start, int64_t pitch, size_t rowBytes, int rows, const Span& written,
               const uint8_t* writtenStart = nullptr, int64_t writtenPitch = 0)
        : start_(start), pitch_(pitch)
    {
        if (!start || (writtenStart && start == writtenStart && pitch == writtenPitch) ||
            !Overlap(SpanOf(start, pitch, rowBytes, rows), written))
            return;
        copy_ = MakePixelBlock(rowBytes * size_t(rows));
        if (!copy_) {
            ok_ = false;
            return;
        }
        for (int j = 0; j < rows; ++j)
            std::memcpy(copy_.get() + size_t(j) * rowBytes, start + j * pitch, rowBytes);
        start_ = copy_.get();
        pitch_ = static_cast<int64_t>(rowBytes);
    }
    explicit operator bool() const { return ok_; }
    // Null for a source that is not there.
    const uint8_t* Row(int j) const { return start_ ? start_ + j * pitch_ : nullptr; }

private:
    const uint8_t* start_;
    int64_t pitch_;
    TPixelBlock copy_;
    bool ok_ = true;
};

// The memory an operation writes.
struct Target {
    uint8_t* bits = nullptr; // pixel (0, 0)
    int64_t pitch = 0;
    int width = 0;
    int height = 0;
    int bpp = 0;

    uint8_t* At(int x, int y) const { return bits + int64_t{y} * pitch + int64_t{x} * bpp; }
    Span Whole() const { return SpanOf(bits, pitch, size_t(width) * bpp, height); }
};

// The target of a buffer or plane whose pixels are bpp bytes.
template <typename Buffer>
Target TargetOf(const Buffer& b, int bpp)
{
    return Target{b.Bits(), b.Pitch(), b.Width(), b.Height(), bpp};
}

// A block the operation reads: its pixel (0, 0), pitch and bytes per pixel.
struct Source {
    const uint8_t* start = nullptr;
    int64_t pitch = 0;
    int bpp = 0;
};

struct RowOptions {
    // Source pixel i of a row belongs to the block's column w - 1 - i.
    bool mirrored = false;
    // The row routine may read a source that is the written rows themselves
    // (it reads each pixel before writing it).
    bool inPlace = false;
    // Bytes per visible pixel of a scratch block handed to every row.
    int scratchBpp = 0;
};

// Clips the w x h block at (x, y) into the target, then calls
// row(target row, source rows, placement, j, scratch) for each of its rows,
// the sources moved to the block's visible part. False when a source cannot
// be copied aside or the scratch block cannot be had; true when nothing is
// visible.
template <size_t N, typename Row>
bool ForEachRow(const Target& t, int x, int y, int w, int h, const std::array<Source, N>& sources,
                const RowOptions& o, Row row)
{
    Placement p;
    if (!Place(x, y, w, h, t.width, t.height, o.mirrored, p))
        return true;
    uint8_t* first = t.At(p.x, p.y);
    const Span written = t.Whole();
    auto make = [&](const Source& s) {
        const uint8_t* start = s.start ? s.start + p.skipRows * s.pitch + p.skipCols * s.bpp : nullptr;
        return SourceRows(start, s.pitch, size_t(p.w) * s.bpp, p.h, written, o.inPlace ? first : nullptr,
                          t.pitch);
    };
    std::array<SourceRows, N> rows = [&]<size_t... I>(std::index_sequence<I...>) {
        return std::array<SourceRows, N>{make(sources[I])...};
    }(std::make_index_sequence<N>());
    for (const SourceRows& r : rows) {
        if (!r)
            return false;
    }
    TPixelBlock scratch;
    if (o.scratchBpp > 0 && !(scratch = MakePixelBlock(size_t(p.w) * size_t(o.scratchBpp))))
        return false;
    std::array<const uint8_t*, N> from{};
    uint8_t* to = first;
    for (int j = 0; j < p.h; ++j, to += t.pitch) {
        for (size_t k = 0; k < N; ++k)
            from[k] = rows[k].Row(j);
        row(to, from, p, j, scratch.get());
    }
    return true;
}

} // namespace pendar::rows
