#include "raster/ZoRGBDib.h"

TZoRGBDib::~TZoRGBDib()
{
    Release();
    ReleaseBitmap(); // bound while not created
}

void TZoRGBDib::SetDirection(TDIBDirection direction)
{
    if (!created_)
        direction_ = direction;
}

void TZoRGBDib::SetBitDepth(TBitDepth depth)
{
    if (depth != bdNone && depth != bd8)
        TZoRGBBits::SetBitDepth(depth);
}

void TZoRGBDib::SetPixFormat(TPixFormat format)
{
    if (format != pfNone)
        TZoRGBBits::SetPixFormat(format);
}

bool TZoRGBDib::CreateDIB(int w, int h, int* pitch, uchar** bits, std::shared_ptr<TZoDibSection>* section)
{
    if (pixFormat_ == pfNone || !ChkDepthAndFormat(bitDepth_, pixFormat_))
        return false;
    std::shared_ptr<TZoDibSection> made = TZoDibSection::Make(w, h, pixFormat_, direction_);
    if (!made)
        return false;
    if (pitch)
        *pitch = made->Pitch();
    if (bits)
        *bits = made->TopRow();
    if (section)
        *section = std::move(made);
    return true;
}

void TZoRGBDib::ShowSection()
{
    if (bitmap_ && created_)
        bitmap_->SetHandle(section_);
}

bool TZoRGBDib::Create()
{
    if (created_ || !ChkDepthAndFormat(bitDepth_, pixFormat_) || width_ <= 0 || height_ <= 0 ||
        bitDepth_ < bd16 || bitDepth_ > bd32 || pixFormat_ < pf16_565 || pixFormat_ > pf32_8888)
        return false;
    if (!CreateDIB(width_, height_, &pitch_, &bits_, &section_))
        return false;
    ResetLockAndModified();
    created_ = true;
    ShowSection();
    return true;
}

void TZoRGBDib::Release()
{
    if (!created_)
        return;
    while (locked_) {
        if (!Unlock())
            break;
    }
    ReleaseBitmap();
    memDC_.Drop();
    section_.reset();
    bits_ = nullptr;
    pitch_ = 0;
    created_ = false;
}

bool TZoRGBDib::Resize(int w, int h)
{
    if (w < 1 || h < 1)
        return false;
    if (!created_) {
        width_ = w;
        height_ = h;
        return true;
    }
    if (locked_)
        return false;
    int pitch = 0;
    uchar* bits = nullptr;
    std::shared_ptr<TZoDibSection> fresh;
    if (!CreateDIB(w, h, &pitch, &bits, &fresh))
        return false;
    memDC_.Reselect(fresh);
    if (bitmap_) {
        bitmap_->ReleaseHandle();
        bitmap_->SetHandle(fresh);
    }
    section_ = std::move(fresh);
    bits_ = bits;
    pitch_ = pitch;
    modifiedPending_ = false;
    modifiedSw_ = true;
    modifiedOffCount_ = 0;
    width_ = w;
    height_ = h;
    return true;
}

bool TZoRGBDib::GetDC(void** dc)
{
    if (!created_ || !dc)
        return false;
    if (bitmap_) {
        *dc = bitmap_->Canvas();
        return true;
    }
    TZoDibDC* opened = memDC_.Open(section_);
    if (!opened)
        return false;
    *dc = opened;
    return true;
}

bool TZoRGBDib::ReleaseDC(void* dc)
{
    return memDC_.Close(dc);
}

void TZoRGBDib::ModifiedFlush()
{
    if (bitmap_)
        bitmap_->SetModified(true);
    TZoRGBBits::ModifiedFlush();
}

void TZoRGBDib::AssociateBitmap(TZoDibBitmap* b)
{
    ReleaseBitmap();
    if (!b)
        return;
    if (b->owner_)
        b->owner_->ReleaseBitmap();
    bitmap_ = b;
    b->owner_ = this;
    ShowSection();
}

void TZoRGBDib::ReleaseBitmap()
{
    if (!bitmap_)
        return;
    if (created_)
        bitmap_->ReleaseHandle();
    bitmap_->owner_ = nullptr;
    bitmap_ = nullptr;
}

void TZoRGBDib::SetBitmap(TZoDibBitmap* b)
{
    if (b)
        AssociateBitmap(b);
    else
        ReleaseBitmap();
}

void TZoRGBDib::BitmapRemoved(TZoDibBitmap* b)
{
    if (b != bitmap_)
        return;
    bitmap_ = nullptr;
    memDC_.Drop();
    section_.reset();
    if (created_) {
        // Whatever was locked goes with the memory.
        locked_ = false;
        lockCount_ = 0;
        bits_ = nullptr;
        pitch_ = 0;
        created_ = false;
    }
}

// ---- TZoDibBitmap ----------------------------------------------------------

TZoDibBitmap::~TZoDibBitmap()
{
    if (owner_)
        owner_->BitmapRemoved(this);
}

void TZoDibBitmap::SetHandle(std::shared_ptr<TZoDibSection> section)
{
    canvas_.Select(std::move(section));
    HandleChanged();
}

std::shared_ptr<TZoDibSection> TZoDibBitmap::ReleaseHandle()
{
    std::shared_ptr<TZoDibSection> section = canvas_.Section();
    canvas_.Select(nullptr);
    HandleChanged();
    return section;
}

void TZoDibBitmap::SetModified(bool value)
{
    modified_ = value;
    if (value)
        Changed();
}
