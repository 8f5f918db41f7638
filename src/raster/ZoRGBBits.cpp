// TZoRGBBits: properties, lifecycle, the modified region and colours.
#include "raster/ZoRGBBits.h"

#include "raster/CpuId.h"
#include "raster/PixelMemory.h"
#include "raster/RasterGeometry.h"

#include <algorithm>
#include <cstring>

TZoRGBBits::TZoRGBBits() : mmxEnabled_(TheCPUID().IsMmxSupport()) {}

TZoRGBBits::~TZoRGBBits()
{
    // A subclass has released its own memory in its destructor already; this
    // frees what this class allocated.
    if (created_)
        TZoRGBBits::Release();
}

void TZoRGBBits::SetWidth(int value)
{
    Resize(value, height_);
}

void TZoRGBBits::SetHeight(int value)
{
    Resize(width_, value);
}

void TZoRGBBits::SetBitDepth(TBitDepth depth)
{
    if (created_)
        return;
    bitDepth_ = depth;
    if (ChkDepthAndFormat(depth, pixFormat_))
        return;
    switch (depth) {
    case bd8: pixFormat_ = pfNone; break;
    case bd16: pixFormat_ = pf16_565; break;
    case bd24: pixFormat_ = pf24_888; break;
    case bd32: pixFormat_ = pf32_888; break;
    default: break;
    }
}

void TZoRGBBits::SetPixFormat(TPixFormat format)
{
    if (created_)
        return;
    pixFormat_ = format;
    if (ChkDepthAndFormat(bitDepth_, format) || format == pfNone || format >= kPixFormatCount)
        return;
    bitDepth_ = static_cast<TBitDepth>(FormatAndDepthTable[format]);
}

bool TZoRGBBits::SetProcs() const
{
    return bitDepth_ >= bd8 && bitDepth_ <= bd32 && pixFormat_ < kPixFormatCount;
}

bool TZoRGBBits::Create()
{
    if (created_ || !ChkDepthAndFormat(bitDepth_, pixFormat_) || bitDepth_ < bd8 || bitDepth_ > bd32 ||
        pixFormat_ < pf16_565 || pixFormat_ > pf32_8888 || !pendar::ImageSizeAllowed(width_, height_))
        return false;
    const size_t pitch = size_t(width_) * bitDepth_;
    bits_ = pendar::AllocPixelBlock(pitch * size_t(height_));
    if (!bits_)
        return false;
    pitch_ = static_cast<int>(pitch);
    ResetLockAndModified();
    created_ = true;
    return created_;
}

void TZoRGBBits::Release()
{
    if (!created_)
        return;
    while (locked_) {
        if (!Unlock())
            break;
    }
    pendar::FreePixelBlock(bits_);
    bits_ = nullptr;
    created_ = false;
}

bool TZoRGBBits::Resize(int w, int h)
{
    if (const auto step = pendar::BeginResize(created_, w, h, width_, height_); step != pendar::ResizeStep::MakeMemory)
        return step == pendar::ResizeStep::Stored;
    if (locked_ || !pendar::ImageSizeAllowed(w, h))
        return false;
    const size_t pitch = size_t(w) * bitDepth_;
    uchar* fresh = pendar::AllocPixelBlock(pitch * size_t(h));
    if (!fresh)
        return false;
    pendar::FreePixelBlock(bits_);
    bits_ = fresh;
    pitch_ = static_cast<int>(pitch);
    modifiedPending_ = false;
    modifiedSw_ = true;
    modifiedOffCount_ = 0;
    width_ = w;
    height_ = h;
    return true;
}

bool TZoRGBBits::Lock()
{
    if (!created_)
        return false;
    locked_ = true;
    ++lockCount_;
    return true;
}

bool TZoRGBBits::Unlock()
{
    if (!created_ || !locked_)
        return false;
    if (--lockCount_ == 0)
        locked_ = false;
    return true;
}

bool TZoRGBBits::GetDC(void**)
{
    return false;
}

bool TZoRGBBits::ReleaseDC(void*)
{
    return true;
}

void TZoRGBBits::ResetLockAndModified()
{
    locked_ = false;
    lockCount_ = 0;
    modifiedPending_ = false;
    modifiedSw_ = true;
    modifiedOffCount_ = 0;
    modifiedRect_ = TZoRect();
}

// ---- modified region ---------------------------------------------------------

void TZoRGBBits::Modify(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    if (!created_)
        return;
    using pendar::geometry::Rect64;
    auto empty = [](const Rect64& r) { return !(r.left < r.right && r.top < r.bottom); };
    Rect64 r{left, top, right, bottom};
    // Union first, then the clip to the buffer (an empty rectangle adds
    // nothing to a union).
    if (modifiedPending_) {
        Rect64 pending{modifiedRect_.left, modifiedRect_.top, modifiedRect_.right, modifiedRect_.bottom};
        if (empty(r))
            r = pending;
        else if (!empty(pending))
            r = Rect64{std::min(r.left, pending.left), std::min(r.top, pending.top),
                       std::max(r.right, pending.right), std::max(r.bottom, pending.bottom)};
    }
    Rect64 clipped{std::max<int64_t>(r.left, 0), std::max<int64_t>(r.top, 0), std::min<int64_t>(r.right, width_),
                   std::min<int64_t>(r.bottom, height_)};
    modifiedRect_ = empty(r) || empty(clipped)
                        ? TZoRect()
                        : TZoRect(static_cast<int>(clipped.left), static_cast<int>(clipped.top),
                                  static_cast<int>(clipped.right), static_cast<int>(clipped.bottom));
    if (modifiedSw_)
        ModifiedFlush();
    else
        modifiedPending_ = true;
}

void TZoRGBBits::SetModified(const TZoRect& r)
{
    Modify(r.left, r.top, r.right, r.bottom);
}

void TZoRGBBits::SetModified(int x1, int y1, int x2, int y2)
{
    Modify(std::min(x1, x2), std::min(y1, y2), int64_t{std::max(x1, x2)} + 1, int64_t{std::max(y1, y2)} + 1);
}

void TZoRGBBits::SetModified()
{
    Modify(0, 0, width_, height_);
}

bool TZoRGBBits::ModifiedIf(bool ok, int x, int y, int w, int h)
{
    if (!ok)
        return false;
    // The inclusive corners (x, y) and (x + w - 1, y + h - 1), in 64 bits.
    int64_t x2 = int64_t{x} + w - 1;
    int64_t y2 = int64_t{y} + h - 1;
    Modify(std::min<int64_t>(x, x2), std::min<int64_t>(y, y2), std::max<int64_t>(x, x2) + 1,
           std::max<int64_t>(y, y2) + 1);
    return true;
}

void TZoRGBBits::ModifiedFlush()
{
    modifiedPending_ = false;
    Change();
    modifiedRect_ = TZoRect();
}

void TZoRGBBits::Change()
{
    if (onChange_)
        onChange_(this);
}

void TZoRGBBits::ChgModifiedSw(bool on)
{
    if (!modifiedSw_ && on) {
        if (modifiedPending_)
            ModifiedFlush();
        modifiedOffCount_ = 0;
    } else if (modifiedOffCount_ == 0 && !on) {
        modifiedOffCount_ = 1;
    }
    modifiedSw_ = on;
}

void TZoRGBBits::ModifiedOff()
{
    ++modifiedOffCount_;
    if (modifiedSw_)
        ChgModifiedSw(false);
}

void TZoRGBBits::ModifiedOn()
{
    if (modifiedOffCount_ > 0)
        --modifiedOffCount_;
    if (modifiedOffCount_ == 0)
        ChgModifiedSw(true);
}

// ---- colours -----------------------------------------------------------------

uint32_t TZoRGBBits::TZoRGBtoPixel(TZoRGB colour) const
{
    if (pixFormat_ == pfNone || pixFormat_ >= kPixFormatCount)
        return 0;
    return RGBtoProcTable[pixFormat_](colour.ToDWORD());
}

TZoRGB TZoRGBBits::PixeltoTZoRGB(uint32_t value) const
{
    if (pixFormat_ == pfNone || pixFormat_ >= kPixFormatCount)
        return TZoRGB();
    return TZoRGB(RGBfromProcTable[pixFormat_](value));
}

uchar* TZoRGBBits::PixelAt(int x, int y) const
{
    return bits_ + int64_t{y} * pitch_ + int64_t{x} * bitDepth_;
}
