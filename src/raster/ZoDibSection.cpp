#include "raster/ZoDibSection.h"

#include "raster/PixelMemory.h"

std::shared_ptr<TZoDibSection> TZoDibSection::Make(int width, int height, TPixFormat format,
                                                   TDIBDirection direction)
{
    if (format >= kPixFormatCount || !pendar::ImageSizeAllowed(width, height) ||
        (direction != ddBottomUp && direction != ddTopDown))
        return nullptr;
    const int bytesPerPixel = format == pfNone ? 1 : FormatAndDepthTable[format];
    // Sizes are capped above, so rows and the whole block fit easily.
    const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) & ~size_t{3};
    std::shared_ptr<TZoDibSection> s(new TZoDibSection);
    s->memory_ = pendar::AllocPixelBlock(rowBytes * size_t(height));
    if (!s->memory_)
        return nullptr;
    s->width_ = width;
    s->height_ = height;
    s->format_ = format;
    s->direction_ = direction;
    s->rowBytes_ = rowBytes;

    BITMAPINFOHEADER& h = s->header_;
    h.biWidth = width;
    h.biHeight = direction == ddTopDown ? -height : height;
    h.biBitCount = static_cast<uint16_t>(bytesPerPixel * 8);
    h.biSizeImage = static_cast<uint32_t>(s->SizeImage());
    if (format == pfNone) {
        h.biClrUsed = 256;
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<uint8_t>(i);
            s->colours_[i] = RGBQUAD{v, v, v, 0};
        }
    } else if (bytesPerPixel != 3) {
        h.biCompression = BI_BITFIELDS;
        for (int c = 0; c < 3; ++c)
            s->masks_[c] = RGBBitMask[format][c];
    }
    return s;
}

TZoDibSection::~TZoDibSection()
{
    pendar::FreePixelBlock(memory_);
}

uchar* TZoDibSection::TopRow() const
{
    return direction_ == ddTopDown ? memory_ : memory_ + (size_t(height_) - 1) * rowBytes_;
}

int TZoDibSection::Pitch() const
{
    const int row = static_cast<int>(rowBytes_);
    return direction_ == ddTopDown ? row : -row;
}

TZoDibDC* pendar::MemoryDC::Open(std::shared_ptr<TZoDibSection> section)
{
    if (dc_)
        return nullptr;
    dc_ = std::make_unique<TZoDibDC>();
    dc_->Select(std::move(section));
    return dc_.get();
}

bool pendar::MemoryDC::Close(const void* dc)
{
    if (!dc_)
        return true;
    if (dc != dc_.get())
        return false;
    dc_.reset();
    return true;
}

void pendar::MemoryDC::Reselect(std::shared_ptr<TZoDibSection> section)
{
    if (dc_)
        dc_->Select(std::move(section));
}

bool pendar::DibMemory::Make(int w, int h, TPixFormat format, TDIBDirection direction, int* pitch, uchar** bits,
                             std::shared_ptr<TZoDibSection>* section)
{
    std::shared_ptr<TZoDibSection> made = TZoDibSection::Make(w, h, format, direction);
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

bool pendar::DibMemory::Replace(int w, int h, TPixFormat format, TDIBDirection direction, int& pitch, uchar*& bits)
{
    std::shared_ptr<TZoDibSection> fresh;
    if (!Make(w, h, format, direction, &pitch, &bits, &fresh))
        return false;
    dc_.Reselect(fresh);
    section_ = std::move(fresh);
    return true;
}

void pendar::DibMemory::Free(int& pitch, uchar*& bits)
{
    dc_.Drop();
    section_.reset();
    pitch = 0;
    bits = nullptr;
}

bool pendar::DibMemory::Lend(void** dc)
{
    TZoDibDC* opened = dc_.Open(section_);
    if (!opened)
        return false;
    *dc = opened;
    return true;
}
