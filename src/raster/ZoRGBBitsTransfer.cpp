// TZoRGBBits: pattern transfers (plain, keyed, masked, mirrored, converted,
// palette-expanded) and the buffer-to-buffer operations built on them.
#include "raster/ZoRGBBits.h"

#include "raster/BufferLock.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"
#include "raster/RasterGeometry.h"
#include "raster/RowTransfer.h"
#include "raster/ZoMemory.h"

#include <algorithm>
#include <cstring>

namespace {

using pendar::rows::Placement;
using pendar::rows::SourceRows;
using pendar::rows::SpanOf;

void* CopyRow16(void* dst, const void* src, unsigned count)
{
    return ZoMemcpy(dst, src, count * 2);
}

// The row conversion from one format into another: one routine, or two
// through a 24-bit scratch row (between two different 16-bit formats).
struct RowConverter {
    TRGBCpyProc direct = nullptr;
    TRGBCpyProc toTriple = nullptr;
    TRGBCpyProc fromTriple = nullptr;

    bool Valid() const { return direct || (toTriple && fromTriple); }
};

RowConverter ChooseConverter(TPixFormat src, TPixFormat dst)
{
    RowConverter c;
    const int srcDepth = FormatAndDepthTable[src];
    const int dstDepth = FormatAndDepthTable[dst];
    if (src == pf24_888) {
        c.direct = RGBTRIPLEcpyToProcTable[dst];
    } else if (srcDepth == 4) {
        c.direct = RGBQUADcpyToProcTable[dst];
    } else if (dstDepth == 3) {
        c.direct = RGBTRIPLEcpyFromProcTable[src];
    } else if (dstDepth == 4) {
        c.direct = RGBQUADcpyFromProcTable[src];
    } else if (src == dst) {
        c.direct = CopyRow16;
    } else {
        c.toTriple = RGBTRIPLEcpyFromProcTable[src];
        c.fromTriple = RGBTRIPLEcpyToProcTable[dst];
    }
    return c;
}

} // namespace

// ---- core transfers ------------------------------------------------------------

namespace {

// Locks the buffer and runs row(to, from, placement, j, scratch) over the
// block clipped into it (pendar::rows::ForEachRow with one source). False
// when the buffer is not created, there is no source, or memory or the lock
// cannot be had; true when clipping leaves nothing.
template <typename Row>
bool TransferRows(TZoRGBBits& b, int x, int y, int w, int h, const uchar* src, int64_t srcPitch, int srcBpp,
                  bool mirrored, int scratchBpp, Row row)
{
    if (!b.Created() || !src)
        return false;
    pendar::BufferLock lock(b);
    if (!lock)
        return false;
    return pendar::rows::ForEachRow<1>(
        pendar::rows::TargetOf(b, b.BitDepth()), x, y, w, h, {pendar::rows::Source{src, srcPitch, srcBpp}},
        pendar::rows::RowOptions{mirrored, false, scratchBpp},
        [&](uchar* to, const std::array<const uchar*, 1>& from, const Placement& p, int j, uchar* scratch) {
            row(to, from[0], p, j, scratch);
        });
}

} // namespace

bool TZoRGBBits::PutPattern(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, bool useKey,
                            uint32_t key, bool mirrored)
{
    const int bpp = bitDepth_;
    return TransferRows(*this, x, y, w, h, src, srcPitch, bpp, mirrored, 0,
                        [&](uchar* to, const uchar* from, const Placement& p, int, uchar*) {
                            const auto count = static_cast<unsigned>(p.w);
                            if (mirrored && useKey)
                                ZoMemcpyRKTable[bpp](to, from, count, key);
                            else if (mirrored)
                                ZoMemcpyRTable[bpp](to, from, count);
                            else if (useKey)
                                ZoMemcpyKTable[bpp](to, from, count, key);
                            else
                                std::memcpy(to, from, size_t(count) * bpp);
                        });
}

bool TZoRGBBits::ZoPutPat(int x, int y, int w, int h, const uchar* src, int srcPitch, bool useKey, uint32_t key)
{
    return PutPattern(x, y, w, h, src, srcPitch, useKey, key, reverse_);
}

bool TZoRGBBits::ZoPutPatR(int x, int y, int w, int h, const uchar* src, int srcPitch, bool useKey, uint32_t key)
{
    return reverse_ && PutPattern(x, y, w, h, src, srcPitch, useKey, key, true);
}

bool TZoRGBBits::PutMasked(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, const uchar* mask,
                           int maskWidth, int maskHeight, bool mirrored)
{
    if (!mask || maskWidth < 1 || maskHeight < 1)
        return false;
    // The mask is tiled from the pattern's own origin, so a clipped edge
    // enters it part-way along a row and part-way down.
    const size_t maskRowBytes = (size_t(maskWidth) + 7) / 8;
    return TransferRows(*this, x, y, w, h, src, srcPitch, bitDepth_, mirrored, 0,
                        [&](uchar* to, const uchar* from, const Placement& p, int j, uchar*) {
                            const uchar* maskRow = mask + size_t((p.skipRows + j) % maskHeight) * maskRowBytes;
                            pendar::MaskedCopy(bitDepth_, mirrored, to, from, static_cast<unsigned>(p.w), maskRow,
                                               static_cast<unsigned>(maskWidth),
                                               static_cast<unsigned>(p.skipCols % maskWidth));
                        });
}

bool TZoRGBBits::ZoPutPatM(int x, int y, int w, int h, const uchar* src, int srcPitch, const uchar* mask,
                           int maskWidth, int maskHeight)
{
    return PutMasked(x, y, w, h, src, srcPitch, mask, maskWidth, maskHeight, reverse_);
}

bool TZoRGBBits::ZoPutPatMR(int x, int y, int w, int h, const uchar* src, int srcPitch, const uchar* mask,
                            int maskWidth, int maskHeight)
{
    return PutMasked(x, y, w, h, src, srcPitch, mask, maskWidth, maskHeight, true);
}

bool TZoRGBBits::ZoGetPat(int x, int y, int w, int h, uchar* dst)
{
    if (!created_ || !dst)
        return false;
    Placement p;
    if (!pendar::rows::Place(x, y, w, h, width_, height_, false, p))
        return true;
    const int bpp = bitDepth_;
    const int64_t dstPitch = int64_t{w} * bpp;
    const size_t rowBytes = size_t(p.w) * bpp;
    uchar* to = dst + p.skipRows * dstPitch + p.skipCols * bpp;
    // Reading the buffer into its own memory: read it all first.
    SourceRows rows(PixelAt(p.x, p.y), pitch_, rowBytes, p.h, SpanOf(to, dstPitch, rowBytes, p.h));
    pendar::BufferLock lock(*this);
    if (!rows || !lock)
        return false;
    for (int j = 0; j < p.h; ++j)
        std::memcpy(to + j * dstPitch, rows.Row(j), rowBytes);
    return true;
}

bool TZoRGBBits::ZoConvert(int x, int y, int w, int h, const uchar* src, TPixFormat srcFormat, int srcPitch)
{
    if (srcFormat < pf16_565 || srcFormat > pf32_8888)
        return false;
    const RowConverter convert = ChooseConverter(srcFormat, pixFormat_);
    if (!convert.Valid())
        return false;
    // Between two different 16-bit formats each row passes through 24 bits.
    return TransferRows(*this, x, y, w, h, src, srcPitch, FormatAndDepthTable[srcFormat], false,
                        convert.direct ? 0 : 3,
                        [&](uchar* to, const uchar* from, const Placement& p, int, uchar* scratch) {
                            const auto count = static_cast<unsigned>(p.w);
                            if (convert.direct) {
                                convert.direct(to, from, count);
                            } else {
                                convert.toTriple(scratch, from, count);
                                convert.fromTriple(to, scratch, count);
                            }
                        });
}

bool TZoRGBBits::ZoIndexColor(int x, int y, int w, int h, const uchar* indices, const RGBQUAD* palette,
                              int indexPitch)
{
    if (!palette || pixFormat_ < pf16_565 || pixFormat_ > pf32_8888)
        return false;
    // 16-bit buffers expand to RGBQUAD values first, then pack them.
    return TransferRows(*this, x, y, w, h, indices, indexPitch, 1, false, bitDepth_ == bd16 ? 4 : 0,
                        [&](uchar* to, const uchar* from, const Placement& p, int, uchar* scratch) {
                            const auto count = static_cast<unsigned>(p.w);
                            if (bitDepth_ == bd24) {
                                RGBTRIPLEcpyFrom8(to, from, palette, count);
                            } else if (bitDepth_ == bd32) {
                                RGBQUADcpyFrom8(to, from, palette, count);
                            } else {
                                RGBQUADcpyFrom8(scratch, from, palette, count);
                                RGBQUADcpyToProcTable[pixFormat_](to, scratch, count);
                            }
                        });
}

// ---- wrappers --------------------------------------------------------------------

bool TZoRGBBits::PutPat(int x, int y, int w, int h, const uchar* src)
{
    return ModifiedIf(PutPattern(x, y, w, h, src, int64_t{w} * bitDepth_, false, 0, reverse_), x, y, w, h);
}

bool TZoRGBBits::PutPatPitch(int x, int y, int w, int h, const uchar* src, int srcPitch)
{
    return ModifiedIf(ZoPutPat(x, y, w, h, src, srcPitch, false, 0), x, y, w, h);
}

bool TZoRGBBits::PasPat(int x, int y, int w, int h, const uchar* src, uint32_t key)
{
    return ModifiedIf(PutPattern(x, y, w, h, src, int64_t{w} * bitDepth_, true, key, reverse_), x, y, w, h);
}

bool TZoRGBBits::PasPatPitch(int x, int y, int w, int h, const uchar* src, int srcPitch, uint32_t key)
{
    return ModifiedIf(ZoPutPat(x, y, w, h, src, srcPitch, true, key), x, y, w, h);
}

bool TZoRGBBits::PasMPat(int x, int y, int w, int h, const uchar* src, const uchar* mask, int maskWidth,
                         int maskHeight)
{
    return ModifiedIf(PutMasked(x, y, w, h, src, int64_t{w} * bitDepth_, mask, maskWidth, maskHeight, reverse_), x,
                      y, w, h);
}

bool TZoRGBBits::GetPat(int x, int y, int w, int h, uchar* dst)
{
    return ZoGetPat(x, y, w, h, dst);
}

bool TZoRGBBits::IndexColorCopy(int x, int y, const uchar* indices, const RGBQUAD* palette, int sx, int sy, int w,
                                int h, int indexPitch)
{
    if (!indices)
        return false;
    return ModifiedIf(ZoIndexColor(x, y, w, h, indices + int64_t{sy} * indexPitch + sx, palette, indexPitch), x, y,
                      w, h);
}

// ---- buffer to buffer ------------------------------------------------------------

template <typename Transfer>
bool TZoRGBBits::DrawFrom(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const Transfer& transfer)
{
    if (!src || !src->created_ || !FormatsCompatible(src->pixFormat_, pixFormat_))
        return false;
    // The source rectangle must lie wholly inside the source.
    if (sx < 0 || sy < 0 || int64_t{sx} + w > src->width_ || int64_t{sy} + h > src->height_)
        return false;
    pendar::BufferLock lock(*src);
    if (!lock)
        return false;
    return ModifiedIf(transfer(src->PixelAt(sx, sy), src->pitch_), x, y, w, h);
}

bool TZoRGBBits::Draw(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    return DrawFrom(x, y, src, sx, sy, w, h, [&](const uchar* from, int pitch) {
        return ZoPutPat(x, y, w, h, from, pitch, false, 0);
    });
}

bool TZoRGBBits::DrawKey(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, TZoRGB key)
{
    const uint32_t raw = TZoRGBtoPixel(key);
    return DrawFrom(x, y, src, sx, sy, w, h, [&](const uchar* from, int pitch) {
        return ZoPutPat(x, y, w, h, from, pitch, true, raw);
    });
}

bool TZoRGBBits::DrawTLKey(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    const uint32_t raw = src ? src->TopLeftGet() : 0;
    return DrawFrom(x, y, src, sx, sy, w, h, [&](const uchar* from, int pitch) {
        return ZoPutPat(x, y, w, h, from, pitch, true, raw);
    });
}

bool TZoRGBBits::DrawMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const uchar* mask,
                          int maskWidth, int maskHeight)
{
    return DrawFrom(x, y, src, sx, sy, w, h, [&](const uchar* from, int pitch) {
        return ZoPutPatM(x, y, w, h, from, pitch, mask, maskWidth, maskHeight);
    });
}

bool TZoRGBBits::TrimToSource(const TZoRGBBits& src, int& x, int& y, int& sx, int& sy, int& w, int& h)
{
    return pendar::rows::TrimTogether(x, y, w, h, {{&sx, &sy, src.width_, src.height_}});
}

bool TZoRGBBits::ClipDraw(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_ || !FormatsCompatible(src->pixFormat_, pixFormat_) || reverse_)
        return false;
    if (!TrimToSource(*src, x, y, sx, sy, w, h))
        return true;
    return Draw(x, y, src, sx, sy, w, h);
}

bool TZoRGBBits::ConvertCopy(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_)
        return false;
    if (!TrimToSource(*src, x, y, sx, sy, w, h))
        return true;
    pendar::BufferLock lock(*src);
    if (!lock)
        return false;
    return ModifiedIf(ZoConvert(x, y, w, h, src->PixelAt(sx, sy), src->pixFormat_, src->pitch_), x, y, w, h);
}
