#include "raster/ZoAlphaDib.h"

TZoAlphaDib::~TZoAlphaDib()
{
    Release();
}

void TZoAlphaDib::SetDirection(TDIBDirection direction)
{
    if (!created_)
        direction_ = direction;
}

bool TZoAlphaDib::CreateDIB(int w, int h, int* pitch, uchar** bits, const RGBQUAD** palette,
                            std::shared_ptr<TZoDibSection>* section)
{
    std::shared_ptr<TZoDibSection> made = TZoDibSection::Make(w, h, pfNone, direction_);
    if (!made)
        return false;
    if (pitch)
        *pitch = made->Pitch();
    if (bits)
        *bits = made->TopRow();
    if (palette)
        *palette = made->Colours();
    if (section)
        *section = std::move(made);
    return true;
}

bool TZoAlphaDib::Create()
{
    if (created_ || width_ <= 0 || height_ <= 0)
        return false;
    if (!CreateDIB(width_, height_, &pitch_, &bits_, nullptr, &section_))
        return false;
    created_ = true;
    return true;
}

void TZoAlphaDib::Release()
{
    if (!created_)
        return;
    memDC_.Drop();
    section_.reset();
    bits_ = nullptr;
    pitch_ = 0;
    created_ = false;
}

bool TZoAlphaDib::Resize(int w, int h)
{
    if (w < 1 || h < 1)
        return false;
    if (!created_) {
        width_ = w;
        height_ = h;
        return true;
    }
    int pitch = 0;
    uchar* bits = nullptr;
    std::shared_ptr<TZoDibSection> fresh;
    if (!CreateDIB(w, h, &pitch, &bits, nullptr, &fresh))
        return false;
    memDC_.Reselect(fresh);
    section_ = std::move(fresh);
    bits_ = bits;
    pitch_ = pitch;
    width_ = w;
    height_ = h;
    return true;
}

bool TZoAlphaDib::GetDC(void** dc)
{
    if (!created_ || !dc)
        return false;
    TZoDibDC* opened = memDC_.Open(section_);
    if (!opened)
        return false;
    *dc = opened;
    return true;
}

bool TZoAlphaDib::ReleaseDC(void* dc)
{
    return memDC_.Close(dc);
}
