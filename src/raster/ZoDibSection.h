// The memory behind a display buffer, laid out as a Windows device-independent
// bitmap so that the display layer can show the same pixels the engine draws:
// rows of (width * bytes per pixel) rounded up to a multiple of 4 bytes,
// stored bottom row first (ddBottomUp) or top row first (ddTopDown), with the
// header that describes them (the colour masks of 16- and 32-bit formats, the
// grey palette of 8-bit planes).
//
// A section is shared: the buffer that made it and the bitmap that shows it
// each hold a reference, and the pixels live until the last one lets go.
#pragma once

#include "raster/PixFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>

enum TDIBDirection : uint8_t { ddBottomUp = 0, ddTopDown = 1 };

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0; // negative for rows stored top row first
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = BI_RGB;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

class TZoDibSection {
public:
    // A zero-filled section of a buffer format (16, 24 or 32 bits; `format`
    // must belong to that depth) or, with pfNone, an 8-bit grey plane. Null
    // for any other depth, a size the engine refuses, or no memory.
    static std::shared_ptr<TZoDibSection> Make(int width, int height, TPixFormat format, TDIBDirection direction);

    ~TZoDibSection();
    TZoDibSection(const TZoDibSection&) = delete;
    TZoDibSection& operator=(const TZoDibSection&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // pfNone for an 8-bit plane.
    TPixFormat Format() const { return format_; }
    TDIBDirection Direction() const { return direction_; }
    const BITMAPINFOHEADER& Header() const { return header_; }
    // Red, green and blue of a BI_BITFIELDS section (zero otherwise).
    const uint32_t* Masks() const { return masks_; }
    // The grey palette of an 8-bit plane: entry i is (i, i, i, 0).
    const RGBQUAD* Colours() const { return format_ == pfNone ? colours_ : nullptr; }

    // The first stored row (the bottom one for ddBottomUp), and the
    // distance between stored rows.
    uchar* Memory() const { return memory_; }
    size_t RowBytes() const { return rowBytes_; }
    size_t SizeImage() const { return rowBytes_ * size_t(height_); }
    // Where pixel (0, 0), y = 0 the top row, lies, and the signed distance
    // from one row to the one below it: pixel (x, y) is at
    // TopRow() + y * Pitch() + x * bytes per pixel whatever the direction.
    uchar* TopRow() const;
    int Pitch() const;

private:
    TZoDibSection() = default;

    int width_ = 0;
    int height_ = 0;
    TPixFormat format_ = pfNone;
    TDIBDirection direction_ = ddBottomUp;
    BITMAPINFOHEADER header_;
    uint32_t masks_[3] = {0, 0, 0};
    RGBQUAD colours_[256] = {};
    uchar* memory_ = nullptr;
    size_t rowBytes_ = 0;
};

// What GetDC hands out: a drawing context with a section selected into it.
// Drawing code reads the section's rows through it.
class TZoDibDC {
public:
    const std::shared_ptr<TZoDibSection>& Section() const { return section_; }
    void Select(std::shared_ptr<TZoDibSection> section) { section_ = std::move(section); }

private:
    std::shared_ptr<TZoDibSection> section_;
};

namespace pendar {

// The one memory device context a display buffer without a bitmap lends out
// at a time.
class MemoryDC {
public:
    bool InUse() const { return dc_ != nullptr; }
    // A context over `section`; null while one is out already.
    TZoDibDC* Open(std::shared_ptr<TZoDibSection> section);
    // True when none is out; false for a context that is not the one out;
    // otherwise closes it.
    bool Close(const void* dc);
    // Puts `section` in place of the one selected into an open context.
    void Reselect(std::shared_ptr<TZoDibSection> section);
    // Closes an open context.
    void Drop() { dc_.reset(); }

private:
    std::unique_ptr<TZoDibDC> dc_;
};

// The memory of a display buffer or plane: its section, and the one memory
// context lent out over it.
class DibMemory {
public:
    const std::shared_ptr<TZoDibSection>& Section() const { return section_; }

    // A zero-filled section with the address and pitch of its top row; false
    // when it cannot be had (outputs untouched).
    static bool Make(int w, int h, TPixFormat format, TDIBDirection direction, int* pitch, uchar** bits,
                     std::shared_ptr<TZoDibSection>* section);
    // A new section in place of the current one, which an open memory context
    // leaves for the new one; false when it cannot be had, nothing changed.
    bool Replace(int w, int h, TPixFormat format, TDIBDirection direction, int& pitch, uchar*& bits);
    // Closes an open memory context and lets the section go (it lives on
    // while someone else holds it).
    void Free(int& pitch, uchar*& bits);
    // The memory context over the section; false while it is out.
    bool Lend(void** dc);
    bool Return(const void* dc) { return dc_.Close(dc); }

private:
    std::shared_ptr<TZoDibSection> section_;
    MemoryDC dc_;
};

} // namespace pendar
