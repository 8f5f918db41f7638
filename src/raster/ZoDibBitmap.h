// TZoDibBitmap: the display side of a display buffer. A view derives from it
// to show a buffer's section on screen (wrapping the same memory, nothing
// copied): the buffer hands it the section when the pixels come into being
// or move, takes it back before freeing them, and marks the bitmap modified
// once per flush of its modified region, which is when the view repaints.
//
// A bitmap shows at most one buffer's section. Destroying a bound bitmap
// unbinds it from its buffer, which then is no longer created (the pixels
// live on while the bitmap's own reference does).
#pragma once

#include "raster/ZoDibSection.h"

#include <memory>

class TZoRGBDib;

class TZoDibBitmap {
public:
    TZoDibBitmap() = default;
    virtual ~TZoDibBitmap();
    TZoDibBitmap(const TZoDibBitmap&) = delete;
    TZoDibBitmap& operator=(const TZoDibBitmap&) = delete;

    // The section shown, or null.
    const std::shared_ptr<TZoDibSection>& Handle() const { return canvas_.Section(); }
    // From now on the bitmap shows `section`.
    void SetHandle(std::shared_ptr<TZoDibSection> section);
    // Gives the section back and shows nothing.
    std::shared_ptr<TZoDibSection> ReleaseHandle();

    // The bitmap's drawing context, over the section it shows.
    TZoDibDC* Canvas() { return &canvas_; }

    bool Modified() const { return modified_; }
    // Setting it tells the view that the pixels changed (Changed()); the view
    // may clear it once it has painted.
    void SetModified(bool value);

    // The buffer bound to this bitmap, or null.
    TZoRGBDib* Owner() const { return owner_; }

protected:
    // The section shown changed (a new one, or none): wrap the new memory.
    virtual void HandleChanged() {}
    // The pixels changed: repaint.
    virtual void Changed() {}

private:
    friend class TZoRGBDib;

    TZoDibDC canvas_;
    bool modified_ = false;
    TZoRGBDib* owner_ = nullptr;
};
