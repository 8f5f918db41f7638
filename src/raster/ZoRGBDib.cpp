#include "raster/ZoRGBDib.h"

#include "raster/PixelMemory.h"

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
    return pixFormat_ != pfNone && ChkDepthAndFormat(bitDepth_, pixFormat_) &&
           pendar::DibMemory::Make(w, h, pixFormat_, direction_, pitch, bits, section);
}

void TZoRGBDib::ShowSection()
{
    if (bitmap_ && created_)
        bitmap_->SetHandle(memory_.Section());
}

bool TZoRGBDib::Create()
{
    if (created_ || !ChkDepthAndFormat(bitDepth_, pixFormat_) || width_ <= 0 || height_ <= 0 ||
        bitDepth_ < bd16 || bitDepth_ > bd32 || pixFormat_ < pf16_565 || pixFormat_ > pf32_8888)
        return false;
    if (!memory_.Replace(width_, height_, pixFormat_, direction_, pitch_, bits_))
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
    memory_.Free(pitch_, bits_);
    created_ = false;
}

bool TZoRGBDib::Resize(int w, int h)
{
    if (const auto step = pendar::BeginResize(created_, w, h, width_, height_); step != pendar::ResizeStep::MakeMemory)
        return step == pendar::ResizeStep::Stored;
    if (locked_ || !memory_.Replace(w, h, pixFormat_, direction_, pitch_, bits_))
        return false;
    if (bitmap_) {
        bitmap_->ReleaseHandle();
        bitmap_->SetHandle(memory_.Section());
    }
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
    if (!bitmap_)
        return memory_.Lend(dc);
    *dc = bitmap_->Canvas();
    return true;
}

bool TZoRGBDib::ReleaseDC(void* dc)
{
    return memory_.Return(dc);
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
    // The section goes with the bitmap's own reference; whatever was locked
    // goes with it.
    memory_.Free(pitch_, bits_);
    locked_ = false;
    lockCount_ = 0;
    created_ = false;
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
