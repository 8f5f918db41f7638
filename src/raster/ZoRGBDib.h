// TZoRGBDib: a pixel buffer whose memory is a display section
// (TZoDibSection), so that the same pixels are drawn by the engine and shown
// by a bound bitmap (TZoDibBitmap, the view's side).
//
// Rows hold (Width * BitDepth) bytes rounded up to a multiple of 4. With
// ddBottomUp (the default) the bottom row is stored first, so Bits() points
// to the last stored row and Pitch() is the negative row size; with ddTopDown
// Bits() is the section's start and Pitch() positive. Drawing code never needs
// to know which: pixel (x, y) is at Bits() + y * Pitch() + x * BitDepth().
//
// A display buffer is 16, 24 or 32 bits. Every flush of the modified region
// marks a bound bitmap modified first, so each drawing call with the
// automatic flush on repaints the view once.
#pragma once

#include "raster/ZoDibBitmap.h"
#include "raster/ZoDibSection.h"
#include "raster/ZoRGBBits.h"

#include <memory>

class TZoRGBDib : public TZoRGBBits {
public:
    TZoRGBDib() = default;
    ~TZoRGBDib() override;

    TDIBDirection Direction() const { return direction_; }
    // Ignored while created.
    void SetDirection(TDIBDirection direction);
    // The section holding the pixels while created, else null.
    const std::shared_ptr<TZoDibSection>& Section() const { return memory_.Section(); }
    TZoDibBitmap* Bitmap() const { return bitmap_; }

    // bdNone and bd8 are ignored, otherwise as for any buffer.
    void SetBitDepth(TBitDepth depth) override;
    // pfNone is ignored, otherwise as for any buffer.
    void SetPixFormat(TPixFormat format) override;

    // A zero-filled section of w x h in this buffer's format and direction,
    // with the pixel address and pitch of its top row; false when it cannot
    // be had (outputs untouched).
    bool CreateDIB(int w, int h, int* pitch, uchar** bits, std::shared_ptr<TZoDibSection>* section);
    // As for any buffer, the memory being a new section; a bound bitmap is
    // given it.
    bool Create() override;
    // Unlocks, takes the section back from a bound bitmap and unbinds it,
    // closes an open memory context, frees the section.
    void Release() override;
    // As for any buffer, into a new section (the old one kept when that
    // fails); an open memory context and a bound bitmap move to the new one.
    bool Resize(int w, int h) override;
    // Once the buffer's properties are set: Create().
    void Loaded() { Create(); }

    bool HaveDC() override { return true; }
    // With a bound bitmap, its canvas; without one, the memory context, which
    // only one caller may hold at a time. *dc is a TZoDibDC.
    bool GetDC(void** dc) override;
    // True when no memory context is out; false for a context that is not
    // the one out; otherwise closes it.
    bool ReleaseDC(void* dc) override;

    // Marks a bound bitmap modified, then flushes as any buffer does.
    void ModifiedFlush() override;

    // Unbinds a previous bitmap, binds b and, when created, gives it the
    // section. A bitmap bound to another buffer is taken from it first.
    void AssociateBitmap(TZoDibBitmap* b);
    // Takes the section back from a bound bitmap (when created) and forgets
    // the bitmap.
    void ReleaseBitmap();
    // b non-null binds it; null releases the bound one.
    void SetBitmap(TZoDibBitmap* b);

private:
    friend class TZoDibBitmap;
    // A bound bitmap is going away: forget it, close an open memory context,
    // forget the section (the bitmap's reference keeps it until the bitmap
    // is gone); the buffer is no longer created.
    void BitmapRemoved(TZoDibBitmap* b);
    // Hands the section to a bound bitmap when created.
    void ShowSection();

    TDIBDirection direction_ = ddBottomUp;
    pendar::DibMemory memory_;
    TZoDibBitmap* bitmap_ = nullptr;
};
