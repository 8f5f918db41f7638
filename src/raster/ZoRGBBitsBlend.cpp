// TZoRGBBits: blending (global opacity, saturation, alpha planes and the
// alpha byte) and the in-place colour filters.
#include "raster/ZoRGBBits.h"

#include "raster/BufferLock.h"
#include "raster/PixelRows.h"
#include "raster/RGBBlend.h"
#include "raster/RasterGeometry.h"
#include "raster/RowTransfer.h"
#include "raster/ZoAlpha.h"

#include <algorithm>
#include <cstring>

namespace {

using pendar::rows::ForEachRow;
using pendar::rows::Placement;
using pendar::rows::RowOptions;
using pendar::rows::Source;
using pendar::rows::TargetOf;

bool ValidFormat(TPixFormat f)
{
    return f >= pf16_565 && f <= pf32_8888;
}

int Depth(TPixFormat f)
{
    return FormatAndDepthTable[f];
}

// The routines that blend a row through per-pixel alpha: on 24-bit rows
// (when source and buffer are both 24-bit) and on 32-bit rows.
struct MaskProcs {
    TRGBMaskProc row24;
    TRGBMaskProc row32;
};

void* InChannel(void* d, const void* s, const void*, unsigned n) { return RGBAlphaInChannel(d, s, n); }
void* InChannelFast(void* d, const void* s, const void*, unsigned n) { return RGBAlphaInChannel_MMX(d, s, n); }

MaskProcs AlphaProcs(bool fast)
{
    return fast ? MaskProcs{RGBAlphaOutChannel_MMX, RGBAlphaOutChannel32_MMX}
                : MaskProcs{RGBAlphaOutChannel, RGBAlphaOutChannel32};
}

MaskProcs DoubleAlphaProcs(bool fast)
{
    return fast ? MaskProcs{RGBDoubleAlphaOutChannel_MMX, RGBDoubleAlphaOutChannel32_MMX}
                : MaskProcs{RGBDoubleAlphaOutChannel, RGBDoubleAlphaOutChannel32};
}

// How a source row of one format is blended into a buffer row of another:
// straight through on 24- or 32-bit rows, else with one or both rows
// turned into RGBQUADs first (and the buffer's back afterwards).
struct MaskRows {
    TRGBMaskProc blend = nullptr;
    TRGBCpyProc srcToQuad = nullptr;
    TRGBCpyProc dstToQuad = nullptr;
    TRGBCpyProc quadToDst = nullptr;

    int ScratchBpp() const { return (srcToQuad ? 4 : 0) + (dstToQuad ? 4 : 0); }

    void Row(uchar* to, const uchar* src, const uchar* alpha, unsigned count, uchar* scratch) const
    {
        uchar* quadDst = scratch + (srcToQuad ? size_t{count} * 4 : 0);
        if (srcToQuad) {
            srcToQuad(scratch, src, count);
            src = scratch;
        }
        uchar* d = to;
        if (dstToQuad) {
            dstToQuad(quadDst, to, count);
            d = quadDst;
        }
        blend(d, src, alpha, count);
        if (dstToQuad)
            quadToDst(to, quadDst, count);
    }
};

MaskRows PlanMask(TPixFormat src, TPixFormat dst, const MaskProcs& procs)
{
    MaskRows m;
    if (Depth(src) == 3 && Depth(dst) == 3) {
        m.blend = procs.row24;
        return m;
    }
    m.blend = procs.row32;
    if (Depth(src) != 4)
        m.srcToQuad = RGBQUADcpyFromProcTable[src];
    if (Depth(dst) != 4) {
        m.dstToQuad = RGBQUADcpyFromProcTable[dst];
        m.quadToDst = RGBQUADcpyToProcTable[dst];
    }
    return m;
}

// Blends src (srcFormat) into the buffer through alpha (null: the routine
// reads the source's own alpha), after copying `lower` (the buffer's
// format, or null) into each row.
bool RunMask(TZoRGBBits& b, int x, int y, int w, int h, const uchar* lower, int64_t lowerPitch, const uchar* src,
             int64_t srcPitch, TPixFormat srcFormat, const uchar* alpha, int64_t alphaPitch, const MaskRows& plan)
{
    if (!b.Created() || !src || !plan.blend)
        return false;
    pendar::BufferLock lock(b);
    if (!lock)
        return false;
    const int bpp = b.BitDepth();
    return ForEachRow<3>(
        TargetOf(b, bpp), x, y, w, h,
        {Source{lower, lowerPitch, bpp}, Source{src, srcPitch, Depth(srcFormat)}, Source{alpha, alphaPitch, 1}},
        // With a lower image copied in first, a source at the written rows
        // would be overwritten before it is read: then it is copied aside.
        RowOptions{false, lower == nullptr, plan.ScratchBpp()},
        [&](uchar* to, const std::array<const uchar*, 3>& from, const Placement& p, int, uchar* scratch) {
            const auto count = static_cast<unsigned>(p.w);
            if (from[0])
                std::memcpy(to, from[0], size_t{count} * bpp);
            plan.Row(to, from[1], from[2], count, scratch);
        });
}

const uchar* PlaneAt(const TZoAlpha& a, int x, int y)
{
    return a.Bits() + int64_t{y} * a.Pitch() + x;
}

// Runs proc(row, count, bytes per pixel) over the box on 24- or 32-bit rows;
// 16-bit rows pass through a 24-bit scratch row.
template <typename Proc>
bool FilterBox(TZoRGBBits& b, int x1, int y1, int x2, int y2, Proc proc)
{
    {
        pendar::BufferLock lock(b);
        if (!lock)
            return false;
        if (pendar::geometry::ClipBox(x1, y1, x2, y2, b.Width(), b.Height())) {
            const int bpp = b.BitDepth();
            const auto count = static_cast<unsigned>(x2 - x1 + 1);
            pendar::TPixelBlock scratch;
            if (bpp == 2 && !(scratch = pendar::MakePixelBlock(size_t(b.Width()) * 3)))
                return false;
            for (int y = y1; y <= y2; ++y) {
                uchar* row = b.Bits() + int64_t{y} * b.Pitch() + int64_t{x1} * bpp;
                if (bpp == 2) {
                    RGBTRIPLEcpyFromProcTable[b.PixFormat()](scratch.get(), row, count);
                    proc(scratch.get(), count, 3);
                    RGBTRIPLEcpyToProcTable[b.PixFormat()](row, scratch.get(), count);
                } else {
                    proc(row, count, bpp);
                }
            }
        }
    }
    b.SetModified();
    return true;
}

} // namespace

// ---- global opacity ---------------------------------------------------------------

bool TZoRGBBits::ZoAlphaBlend(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                              int alpha)
{
    if (!created_ || !a || !b || !ValidFormat(pixFormat_))
        return false;
    TRGBBlendProc proc;
    if (alpha == 64) {
        proc = RGBHalfProcTable[pixFormat_];
    } else {
        SetAlphaParam(alpha);
        proc = (mmxEnabled_ ? RGBAlphaMMXProcTable : RGBAlphaProcTable)[pixFormat_];
    }
    pendar::BufferLock lock(*this);
    if (!lock)
        return false;
    return ForEachRow<2>(TargetOf(*this, bitDepth_), x, y, w, h,
                         {Source{a, aPitch, bitDepth_}, Source{b, bPitch, bitDepth_}}, RowOptions{false, true, 0},
                         [&](uchar* to, const std::array<const uchar*, 2>& from, const Placement& p, int, uchar*) {
                             proc(to, from[0], from[1], static_cast<unsigned>(p.w));
                         });
}

bool TZoRGBBits::AlphaBlend(int x, int y, TZoRGBBits* a, int ax, int ay, TZoRGBBits* b, int bx, int by, int w,
                            int h, int alpha)
{
    if (alpha < 0 || alpha > 128 || !created_ || !a || !b || !a->created_ || !b->created_ ||
        !FormatsCompatible(a->pixFormat_, pixFormat_) || !FormatsCompatible(b->pixFormat_, pixFormat_))
        return false;
    if (!pendar::rows::TrimTogether(x, y, w, h,
                                    {{&ax, &ay, a->width_, a->height_}, {&bx, &by, b->width_, b->height_}}))
        return true;
    pendar::BufferLock lockA(*a);
    if (!lockA)
        return false;
    pendar::BufferLock lockB(*b);
    if (!lockB)
        return false;
    return ModifiedIf(ZoAlphaBlend(x, y, w, h, a->PixelAt(ax, ay), a->pitch_, b->PixelAt(bx, by), b->pitch_, alpha),
                      x, y, w, h);
}

bool TZoRGBBits::AlphaBlend(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, int alpha)
{
    return AlphaBlend(x, y, this, x, y, src, sx, sy, w, h, alpha);
}

// ---- saturation -------------------------------------------------------------------

namespace {

bool Saturate(TZoRGBBits& b, int x, int y, int w, int h, const uchar* src, int srcPitch, const TRGBSatProc* table)
{
    if (!b.Created() || !src || !ValidFormat(b.PixFormat()))
        return false;
    const TRGBSatProc proc = table[b.PixFormat()];
    pendar::BufferLock lock(b);
    if (!lock)
        return false;
    return ForEachRow<1>(TargetOf(b, b.BitDepth()), x, y, w, h, {Source{src, srcPitch, b.BitDepth()}},
                         RowOptions{false, true, 0},
                         [&](uchar* to, const std::array<const uchar*, 1>& from, const Placement& p, int, uchar*) {
                             proc(to, from[0], static_cast<unsigned>(p.w));
                         });
}

} // namespace

bool TZoRGBBits::ZoSaturationAdd(int x, int y, int w, int h, const uchar* src, int srcPitch)
{
    return Saturate(*this, x, y, w, h, src, srcPitch, mmxEnabled_ ? RGBAddMMXProcTable : RGBAddProcTable);
}

bool TZoRGBBits::ZoSaturationSub(int x, int y, int w, int h, const uchar* src, int srcPitch)
{
    return Saturate(*this, x, y, w, h, src, srcPitch, mmxEnabled_ ? RGBSubMMXProcTable : RGBSubProcTable);
}

bool TZoRGBBits::SaturationAdd(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_ || !FormatsCompatible(src->pixFormat_, pixFormat_))
        return false;
    if (!TrimToSource(*src, x, y, sx, sy, w, h))
        return true;
    pendar::BufferLock lock(*src);
    return lock && ModifiedIf(ZoSaturationAdd(x, y, w, h, src->PixelAt(sx, sy), src->pitch_), x, y, w, h);
}

bool TZoRGBBits::SaturationSub(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_ || !FormatsCompatible(src->pixFormat_, pixFormat_))
        return false;
    if (!TrimToSource(*src, x, y, sx, sy, w, h))
        return true;
    pendar::BufferLock lock(*src);
    return lock && ModifiedIf(ZoSaturationSub(x, y, w, h, src->PixelAt(sx, sy), src->pitch_), x, y, w, h);
}

// ---- alpha planes and the alpha byte ------------------------------------------------

bool TZoRGBBits::ZoAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch, TPixFormat srcFormat,
                             const uchar* alpha, int alphaPitch)
{
    if (!ValidFormat(srcFormat) || !ValidFormat(pixFormat_) || !alpha)
        return false;
    return RunMask(*this, x, y, w, h, nullptr, 0, src, srcPitch, srcFormat, alpha, alphaPitch,
                   PlanMask(srcFormat, pixFormat_, AlphaProcs(mmxEnabled_)));
}

bool TZoRGBBits::ZoAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch, TPixFormat srcFormat)
{
    if (srcFormat != pf32_8888)
        return ZoConvert(x, y, w, h, src, srcFormat, srcPitch);
    if (!ValidFormat(pixFormat_))
        return false;
    const TRGBMaskProc in = mmxEnabled_ ? InChannelFast : InChannel;
    return RunMask(*this, x, y, w, h, nullptr, 0, src, srcPitch, srcFormat, nullptr, 0,
                   PlanMask(srcFormat, pixFormat_, MaskProcs{nullptr, in}));
}

bool TZoRGBBits::ZoAlphaMask(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                             TPixFormat format, const uchar* alpha, int alphaPitch)
{
    if (!ValidFormat(format) || !ValidFormat(pixFormat_) || !FormatsCompatible(format, pixFormat_) || !a ||
        !alpha)
        return false;
    return RunMask(*this, x, y, w, h, a, aPitch, b, bPitch, format, alpha, alphaPitch,
                   PlanMask(format, pixFormat_, AlphaProcs(mmxEnabled_)));
}

bool TZoRGBBits::ZoDoubleAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch,
                                   TPixFormat srcFormat, const uchar* alpha, int alphaPitch, int opacity)
{
    if (!ValidFormat(srcFormat) || !ValidFormat(pixFormat_) || !alpha)
        return false;
    SetDoubleAlphaParam(opacity);
    return RunMask(*this, x, y, w, h, nullptr, 0, src, srcPitch, srcFormat, alpha, alphaPitch,
                   PlanMask(srcFormat, pixFormat_, DoubleAlphaProcs(mmxEnabled_)));
}

namespace {

// Trims the rectangle to a source and the alpha plane that is addressed with
// the source's coordinates: it must lie in both. False when nothing is left.
bool TrimToSourceAndPlane(const TZoRGBBits& src, const TZoAlpha& alpha, int& x, int& y, int& sx, int& sy, int& w,
                          int& h)
{
    return pendar::rows::TrimTogether(
        x, y, w, h, {{&sx, &sy, std::min(src.Width(), alpha.Width()), std::min(src.Height(), alpha.Height())}});
}

} // namespace

bool TZoRGBBits::DrawAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const TZoAlpha* alpha)
{
    return DrawThroughPlane(x, y, src, sx, sy, w, h, alpha, std::nullopt);
}

bool TZoRGBBits::DrawAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_)
        return false;
    if (!TrimToSource(*src, x, y, sx, sy, w, h))
        return true;
    pendar::BufferLock lock(*src);
    return lock && ModifiedIf(ZoAlphaMask(x, y, w, h, src->PixelAt(sx, sy), src->pitch_, src->pixFormat_), x, y, w,
                              h);
}

bool TZoRGBBits::DrawAlphaMask(int x, int y, TZoRGBBits* a, int ax, int ay, TZoRGBBits* b, int bx, int by, int w,
                               int h, const TZoAlpha* alpha)
{
    if (!a || !b || !alpha || !a->created_ || !b->created_ || !alpha->Created() ||
        !FormatsCompatible(a->pixFormat_, pixFormat_) || !FormatsCompatible(b->pixFormat_, pixFormat_))
        return false;
    // a at its own coordinates; b and the plane at b's.
    if (!pendar::rows::TrimTogether(x, y, w, h,
                                    {{&ax, &ay, a->width_, a->height_},
                                     {&bx, &by, std::min(b->width_, alpha->Width()),
                                      std::min(b->height_, alpha->Height())}}))
        return true;
    pendar::BufferLock lockA(*a);
    if (!lockA)
        return false;
    pendar::BufferLock lockB(*b);
    return lockB && ModifiedIf(ZoAlphaMask(x, y, w, h, a->PixelAt(ax, ay), a->pitch_, b->PixelAt(bx, by),
                                           b->pitch_, b->pixFormat_, PlaneAt(*alpha, bx, by), alpha->Pitch()),
                               x, y, w, h);
}

bool TZoRGBBits::DrawDoubleAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h,
                                     const TZoAlpha* alpha, int opacity)
{
    return DrawThroughPlane(x, y, src, sx, sy, w, h, alpha, opacity);
}

bool TZoRGBBits::DrawThroughPlane(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h,
                                  const TZoAlpha* alpha, std::optional<int> opacity)
{
    if (!src || !src->created_ || !alpha || !alpha->Created())
        return false;
    if (!TrimToSourceAndPlane(*src, *alpha, x, y, sx, sy, w, h))
        return true;
    pendar::BufferLock lock(*src);
    if (!lock)
        return false;
    const uchar* from = src->PixelAt(sx, sy);
    const uchar* plane = PlaneAt(*alpha, sx, sy);
    const bool ok = opacity ? ZoDoubleAlphaMask(x, y, w, h, from, src->pitch_, src->pixFormat_, plane,
                                                alpha->Pitch(), *opacity)
                            : ZoAlphaMask(x, y, w, h, from, src->pitch_, src->pixFormat_, plane, alpha->Pitch());
    return ModifiedIf(ok, x, y, w, h);
}

// ---- filters ------------------------------------------------------------------------

bool TZoRGBBits::ToneChange(int x1, int y1, int x2, int y2, unsigned long tone)
{
    const bool fast = mmxEnabled_;
    return FilterBox(*this, x1, y1, x2, y2, [&](uchar* row, unsigned count, int bpp) {
        if (bpp == 4)
            (fast ? RGBTone32_MMX : RGBTone32)(row, row, tone, count);
        else
            (fast ? RGBTone24_MMX : RGBTone24)(row, row, tone, count);
    });
}

bool TZoRGBBits::Monochrome(int x1, int y1, int x2, int y2)
{
    return FilterBox(*this, x1, y1, x2, y2, [](uchar* row, unsigned count, int bpp) {
        (bpp == 4 ? RGBMonochrome32 : RGBMonochrome24)(row, row, count);
    });
}

bool TZoRGBBits::Sepia(int x1, int y1, int x2, int y2)
{
    return FilterBox(*this, x1, y1, x2, y2, [](uchar* row, unsigned count, int bpp) {
        (bpp == 4 ? pendar::blend::Sepia32 : pendar::blend::Sepia24)(row, row, count);
    });
}

bool TZoRGBBits::Negative(int x1, int y1, int x2, int y2)
{
    return FilterBox(*this, x1, y1, x2, y2, [](uchar* row, unsigned count, int bpp) {
        (bpp == 4 ? pendar::blend::Negative32 : pendar::blend::Negative24)(row, row, count);
    });
}
