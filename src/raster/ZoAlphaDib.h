// TZoAlphaDib: an alpha plane whose values live in an 8-bit grey display
// section (TZoDibSection with a grey palette), with the row order, 4-byte row
// rounding and memory context of the display buffers (TZoRGBDib): with
// ddBottomUp (the default) Bits() points to the last stored row and Pitch()
// is negative. A new or resized section is all 0 (transparent), unlike the
// plain plane's 255.
#pragma once

#include "raster/ZoAlpha.h"
#include "raster/ZoDibSection.h"

#include <memory>

class TZoAlphaDib : public TZoAlpha {
public:
    TZoAlphaDib() = default;
    ~TZoAlphaDib() override;

    TDIBDirection Direction() const { return direction_; }
    // Ignored while created.
    void SetDirection(TDIBDirection direction);
    // The section while created, else null.
    const std::shared_ptr<TZoDibSection>& Section() const { return memory_.Section(); }
    // The grey palette (entry i is (i, i, i, 0)) while created, else null.
    const RGBQUAD* Palette() const { return Section() ? Section()->Colours() : nullptr; }

    // A zero-filled 8-bit section of w x h in this plane's direction, with
    // the address and pitch of its top row and its palette; false when it
    // cannot be had (outputs untouched).
    bool CreateDIB(int w, int h, int* pitch, uchar** bits, const RGBQUAD** palette,
                   std::shared_ptr<TZoDibSection>* section);
    bool Create() override;
    // Closes an open memory context and frees the section.
    void Release() override;
    // Not created: only stores the size. Created: a new zeroed section (the
    // old one kept when that fails); an open memory context moves to it.
    bool Resize(int w, int h) override;
    // Once the plane's properties are set: Create().
    void Loaded() { Create(); }

    // The memory context, which only one caller may hold at a time; *dc is a
    // TZoDibDC. False when not created or while it is out.
    bool GetDC(void** dc) override;
    // True when none is out; false for a context that is not the one out;
    // otherwise closes it.
    bool ReleaseDC(void* dc) override;

private:
    TDIBDirection direction_ = ddBottomUp;
    pendar::DibMemory memory_;
};
