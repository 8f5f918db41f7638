#include "raster/ZoAlpha.h"

#include "raster/BmpLoader.h"
#include "raster/CpuId.h"
#include "raster/DecoderSupport.h"
#include "raster/RGBBlend.h"
#include "raster/RasterGeometry.h"
#include "raster/RowTransfer.h"
#include "raster/ZoRGBBits.h"

#include <algorithm>
#include <cstring>

namespace {

using pendar::rows::ForEachRow;
using pendar::rows::Placement;
using pendar::rows::RowOptions;
using pendar::rows::Source;
using pendar::rows::TargetOf;

using TSources1 = std::array<const uchar*, 1>;
using TSources2 = std::array<const uchar*, 2>;

bool Inside(const TZoAlpha& src, int sx, int sy, int w, int h)
{
    return sx >= 0 && sy >= 0 && w >= 0 && h >= 0 && int64_t{sx} + w <= src.Width() &&
           int64_t{sy} + h <= src.Height();
}

const uchar* ValueAt(const TZoAlpha& p, int x, int y)
{
    return p.Bits() + int64_t{y} * p.Pitch() + x;
}

} // namespace

TZoAlpha::TZoAlpha() : mmxEnabled_(TheCPUID().IsMmxSupport()) {}

TZoAlpha::~TZoAlpha()
{
    // A subclass has released its own memory in its destructor already.
    if (created_)
        TZoAlpha::Release();
}

void TZoAlpha::SetWidth(int value)
{
    Resize(value, height_);
}

void TZoAlpha::SetHeight(int value)
{
    Resize(width_, value);
}

bool TZoAlpha::Create()
{
    if (created_ || !pendar::ImageSizeAllowed(width_, height_))
        return false;
    bits_ = pendar::AllocPixelBlock(size_t(width_) * size_t(height_));
    if (!bits_)
        return false;
    pitch_ = width_;
    created_ = true;
    Cls();
    return true;
}

void TZoAlpha::Release()
{
    if (!created_)
        return;
    pendar::FreePixelBlock(bits_);
    bits_ = nullptr;
    created_ = false;
}

bool TZoAlpha::Resize(int w, int h)
{
    if (const auto step = pendar::BeginResize(created_, w, h, width_, height_); step != pendar::ResizeStep::MakeMemory)
        return step == pendar::ResizeStep::Stored;
    if (!pendar::ImageSizeAllowed(w, h))
        return false;
    uchar* fresh = pendar::AllocPixelBlock(size_t(w) * size_t(h));
    if (!fresh)
        return false;
    pendar::FreePixelBlock(bits_);
    bits_ = fresh;
    width_ = w;
    height_ = h;
    pitch_ = w;
    Cls();
    return true;
}

bool TZoAlpha::GetDC(void**)
{
    return false;
}

bool TZoAlpha::ReleaseDC(void*)
{
    return true;
}

uchar* TZoAlpha::At(int x, int y) const
{
    return bits_ + int64_t{y} * pitch_ + x;
}

// ---- whole plane and points ------------------------------------------------------

bool TZoAlpha::Cls()
{
    return Fill(255);
}

bool TZoAlpha::Fill(uchar v)
{
    if (!created_)
        return false;
    for (int y = 0; y < height_; ++y)
        std::memset(At(0, y), v, size_t(width_));
    return true;
}

bool TZoAlpha::PSet(int x, int y, uchar v)
{
    if (!created_ || x < 0 || x >= width_ || y < 0 || y >= height_)
        return false;
    *At(x, y) = v;
    return true;
}

uchar TZoAlpha::PGet(int x, int y) const
{
    if (!created_ || x < 0 || x >= width_ || y < 0 || y >= height_)
        return 0;
    return *At(x, y);
}

bool TZoAlpha::Line(int x1, int y1, int x2, int y2, uchar v)
{
    if (!created_)
        return false;
    pendar::geometry::WalkLine(x1, y1, x2, y2, width_, height_, [&](int x, int y) { *At(x, y) = v; });
    return true;
}

bool TZoAlpha::BoxFill(int x1, int y1, int x2, int y2, uchar v)
{
    if (!created_)
        return false;
    if (pendar::geometry::ClipBox(x1, y1, x2, y2, width_, height_)) {
        for (int y = y1; y <= y2; ++y)
            std::memset(At(x1, y), v, size_t(x2 - x1 + 1));
    }
    return true;
}

bool TZoAlpha::ToneDown(int x1, int y1, int x2, int y2, int factor)
{
    if (!created_)
        return false;
    if (pendar::geometry::ClipBox(x1, y1, x2, y2, width_, height_)) {
        for (int y = y1; y <= y2; ++y) {
            uchar* row = At(0, y);
            for (int x = x1; x <= x2; ++x)
                row[x] = static_cast<uchar>(int64_t{factor} * row[x] / 128);
        }
    }
    return true;
}

void TZoAlpha::ClipRect(const TZoRect& drawn, const TZoRect& bounds, int& left, int& top, int& right, int& bottom)
{
    TZoRGBBits::ClipRect(drawn, bounds, left, top, right, bottom);
}

// ---- transfers ---------------------------------------------------------------------

bool TZoAlpha::PutAlphaPitch(int x, int y, int w, int h, const uchar* src, int srcPitch)
{
    if (!created_ || !src)
        return false;
    return ForEachRow<1>(TargetOf(*this, 1), x, y, w, h, {Source{src, srcPitch, 1}}, RowOptions{},
                         [](uchar* to, const TSources1& from, const Placement& p, int, uchar*) {
                             std::memcpy(to, from[0], size_t(p.w));
                         });
}

bool TZoAlpha::PutAlpha(int x, int y, int w, int h, const uchar* src)
{
    return PutAlphaPitch(x, y, w, h, src, w);
}

bool TZoAlpha::GetAlpha(int x, int y, int w, int h, uchar* dst) const
{
    if (!created_ || !dst)
        return false;
    // The caller's block is the target here, the plane the source.
    const pendar::rows::Target out{dst, w, w, h, 1};
    return ForEachRow<1>(out, -x, -y, width_, height_, {Source{bits_, pitch_, 1}}, RowOptions{},
                         [](uchar* to, const TSources1& from, const Placement& p, int, uchar*) {
                             std::memcpy(to, from[0], size_t(p.w));
                         });
}

bool TZoAlpha::Draw(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h)
{
    if (!src || !src->created_ || !Inside(*src, sx, sy, w, h))
        return false;
    return PutAlphaPitch(x, y, w, h, ValueAt(*src, sx, sy), src->pitch_);
}

bool TZoAlpha::ZoAlphaBlend(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                            int alpha)
{
    if (!created_ || !a || !b)
        return false;
    TRGBBlendProc proc = RGBHalf8;
    if (alpha != 64) {
        SetAlphaParam(alpha);
        proc = mmxEnabled_ ? RGBAlpha8_MMX : RGBAlpha8;
    }
    return ForEachRow<2>(TargetOf(*this, 1), x, y, w, h, {Source{a, aPitch, 1}, Source{b, bPitch, 1}},
                         RowOptions{false, true, 0},
                         [&](uchar* to, const TSources2& from, const Placement& p, int, uchar*) {
                             proc(to, from[0], from[1], unsigned(p.w));
                         });
}

bool TZoAlpha::AlphaBlend(int x, int y, const TZoAlpha* a, int ax, int ay, const TZoAlpha* b, int bx, int by,
                          int w, int h, int alpha)
{
    if (alpha < 0 || alpha > 128 || !created_ || !a || !b || !a->created_ || !b->created_)
        return false;
    if (!pendar::rows::TrimTogether(x, y, w, h, {{&ax, &ay, a->width_, a->height_}, {&bx, &by, b->width_, b->height_}}))
        return true;
    return ZoAlphaBlend(x, y, w, h, ValueAt(*a, ax, ay), a->pitch_, ValueAt(*b, bx, by), b->pitch_, alpha);
}

bool TZoAlpha::AlphaBlend(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int alpha)
{
    return AlphaBlend(x, y, this, x, y, src, sx, sy, w, h, alpha);
}

bool TZoAlpha::PlaneRows(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, TPlaneProc proc, int value)
{
    if (!created_ || !src)
        return false;
    return ForEachRow<1>(TargetOf(*this, 1), x, y, w, h, {Source{src, srcPitch, 1}}, RowOptions{false, true, 0},
                         [&](uchar* to, const TSources1& from, const Placement& p, int, uchar*) {
                             proc(to, from[0], value, unsigned(p.w));
                         });
}

bool TZoAlpha::ZoExtract(int x, int y, int w, int h, const uchar* src, int srcPitch, int value)
{
    return PlaneRows(x, y, w, h, src, srcPitch, mmxEnabled_ ? RGBExtractAlpha_MMX : RGBExtractAlpha, value);
}

bool TZoAlpha::ZoSAdd(int x, int y, int w, int h, const uchar* src, int srcPitch, int value)
{
    return PlaneRows(x, y, w, h, src, srcPitch, mmxEnabled_ ? RGBSAddAlpha_MMX : RGBSAddAlpha, value);
}

bool TZoAlpha::ZoSSub(int x, int y, int w, int h, const uchar* src, int srcPitch, int value)
{
    return PlaneRows(x, y, w, h, src, srcPitch, mmxEnabled_ ? RGBSSubAlpha_MMX : RGBSSubAlpha, value);
}

bool TZoAlpha::FromPlane(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, TPlaneProc proc,
                         int value)
{
    if (!src || !src->created_ || !Inside(*src, sx, sy, w, h))
        return false;
    return PlaneRows(x, y, w, h, ValueAt(*src, sx, sy), src->pitch_, proc, std::clamp(value, 0, 255));
}

bool TZoAlpha::Extract(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromPlane(x, y, src, sx, sy, w, h, mmxEnabled_ ? RGBExtractAlpha_MMX : RGBExtractAlpha, value);
}

bool TZoAlpha::SAdd(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromPlane(x, y, src, sx, sy, w, h, mmxEnabled_ ? RGBSAddAlpha_MMX : RGBSAddAlpha, value);
}

bool TZoAlpha::SSub(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromPlane(x, y, src, sx, sy, w, h, mmxEnabled_ ? RGBSSubAlpha_MMX : RGBSSubAlpha, value);
}

bool TZoAlpha::LoadAlphaStream(TStream* s, int x, int y)
{
    uchar* plane = nullptr;
    int w = 0;
    int h = 0;
    if (!LoadAlpha(s, &plane, &w, &h))
        return false;
    pendar::TPixelBlock block(plane);
    if (w < 1 || h < 1)
        return false;
    pendar::decode::CreateForPicture(*this, x, y, w, h);
    PutAlpha(x, y, w, h, block.get());
    return true;
}

// ---- composition of two planes ---------------------------------------------------

bool ComposeAlphaChannel(TZoAlpha* dst, int dx, int dy, TZoAlpha* weight, const TZoAlpha* lower, int lx, int ly,
                         const TZoAlpha* upper, int ux, int uy, int w, int h, int opacity)
{
    if (opacity < 0 || opacity > 128 || !dst || !weight || !lower || !upper || !dst->Created() ||
        !weight->Created() || !lower->Created() || !upper->Created() || weight->Width() < upper->Width() ||
        weight->Height() < upper->Height())
        return false;
    Placement p;
    if (!pendar::rows::Place(dx, dy, w, h, dst->Width(), dst->Height(), false, p))
        return true;
    // The sources and the weight move with a trimmed left or top edge.
    const int64_t lx0 = lx + p.skipCols, ly0 = ly + p.skipRows;
    const int64_t ux0 = ux + p.skipCols, uy0 = uy + p.skipRows;
    auto valueOf = [](const TZoAlpha& plane, int64_t x, int64_t y) -> int {
        return x >= 0 && y >= 0 && x < plane.Width() && y < plane.Height() ? *ValueAt(plane, int(x), int(y)) : 0;
    };
    for (int j = 0; j < p.h; ++j) {
        uchar* out = dst->Bits() + int64_t{p.y + j} * dst->Pitch() + p.x;
        for (int i = 0; i < p.w; ++i) {
            const int v = valueOf(*lower, lx0 + i, ly0 + j);
            const int64_t upx = ux0 + i, upy = uy0 + j;
            const int u = valueOf(*upper, upx, upy);
            const int a = v + (u - v) * opacity / 128;
            out[i] = static_cast<uchar>(a);
            if (upx >= 0 && upy >= 0 && upx < upper->Width() && upy < upper->Height())
                weight->Bits()[upy * weight->Pitch() + upx] = static_cast<uchar>(a < 1 ? 0 : opacity * u / a);
        }
    }
    return true;
}
