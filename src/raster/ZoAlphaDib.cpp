#include "raster/ZoAlphaDib.h"

#include "raster/PixelMemory.h"

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
    std::shared_ptr<TZoDibSection> made;
    if (!pendar::DibMemory::Make(w, h, pfNone, direction_, pitch, bits, &made))
        return false;
    if (palette)
        *palette = made->Colours();
    if (section)
        *section = std::move(made);
    return true;
}

bool TZoAlphaDib::Create()
{
    if (created_ || width_ <= 0 || height_ <= 0 || !memory_.Replace(width_, height_, pfNone, direction_, pitch_, bits_))
        return false;
    created_ = true;
    return true;
}

void TZoAlphaDib::Release()
{
    if (!created_)
        return;
    memory_.Free(pitch_, bits_);
    created_ = false;
}

bool TZoAlphaDib::Resize(int w, int h)
{
    if (const auto step = pendar::BeginResize(created_, w, h, width_, height_); step != pendar::ResizeStep::MakeMemory)
        return step == pendar::ResizeStep::Stored;
    if (!memory_.Replace(w, h, pfNone, direction_, pitch_, bits_))
        return false;
    width_ = w;
    height_ = h;
    return true;
}

bool TZoAlphaDib::GetDC(void** dc)
{
    return created_ && dc && memory_.Lend(dc);
}

bool TZoAlphaDib::ReleaseDC(void* dc)
{
    return memory_.Return(dc);
}
