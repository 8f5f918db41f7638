// TZoAlpha: an 8-bit plane of opacity values (0 transparent, 255 opaque),
// sized and addressed like a pixel buffer, that goes with a TZoRGBBits
// image: the alpha-mask drawing of the pixel buffer reads it, the PNG loader
// fills it from a PNG's alpha channel, LoadAlphaStream from an 8-bit BMP.
// One byte per pixel; no pixel format, lock count or modified region.
// Value (x, y) is at Bits() + y * Pitch() + x. Operations report failure by
// result and never throw.
#pragma once

#include "port/Stream.h"
#include "raster/NameTag.h"
#include "raster/PixFormat.h"
#include "raster/ZoRect.h"

#include <string_view>

class TZoAlpha {
public:
    // 640 x 480, not created.
    TZoAlpha();
    virtual ~TZoAlpha();
    TZoAlpha(const TZoAlpha&) = delete;
    TZoAlpha& operator=(const TZoAlpha&) = delete;

    std::string_view ID() const { return id_.Get(); }
    // Keeps at most 16 bytes.
    void SetID(std::string_view id) { id_.Set(id); }
    bool Created() const { return created_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    uchar* Bits() const { return bits_; }
    int Pitch() const { return pitch_; }
    // Taken once, at construction, from TheCPUID().IsMmxSupport().
    bool MmxEnabled() const { return mmxEnabled_; }
    // Resize(value, Height()) / Resize(Width(), value).
    void SetWidth(int value);
    void SetHeight(int value);

    // ---- lifecycle ----------------------------------------------------------
    // Width x Height values, all 255 (opaque); false when created already or
    // for a size below 1 or above pendar::kMaxImagePixels, or no memory.
    virtual bool Create();
    virtual void Release();
    // Not created: only stores the size. Created: a new plane, all 255 (the
    // old values are not kept); false without memory, nothing changed then.
    virtual bool Resize(int w, int h);
    // This class has no device context.
    virtual bool GetDC(void** dc);
    virtual bool ReleaseDC(void* dc);

    // ---- whole plane and points ---------------------------------------------
    // Every value 255.
    bool Cls();
    bool Fill(uchar v);
    bool PSet(int x, int y, uchar v);
    // 0 outside or when not created.
    uchar PGet(int x, int y) const;
    // The pixel buffer's line walk and filled box (inclusive corners).
    bool Line(int x1, int y1, int x2, int y2, uchar v);
    bool BoxFill(int x1, int y1, int x2, int y2, uchar v);
    // Over the box chosen as for BoxFill: v = (factor * v) / 128 (truncated,
    // stored modulo 256); factors 0..128 scale the opacity down.
    bool ToneDown(int x1, int y1, int x2, int y2, int factor);
    static void ClipRect(const TZoRect& drawn, const TZoRect& bounds, int& left, int& top, int& right,
                         int& bottom);

    // ---- transfers ----------------------------------------------------------
    // Copies a w x h block of values into the plane, clipped to it.
    bool PutAlphaPitch(int x, int y, int w, int h, const uchar* src, int srcPitch);
    bool PutAlpha(int x, int y, int w, int h, const uchar* src);
    // Copies the rectangle out into dst (pitch w); what lies outside the plane
    // leaves dst untouched.
    bool GetAlpha(int x, int y, int w, int h, uchar* dst) const;
    // (sx, sy, w, h) must lie wholly inside src.
    bool Draw(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h);

    // Each row becomes the blend of b over a at opacity alpha (0..128): a +
    // floor(alpha * (b - a) / 128); 64 averages and leaves the global alpha
    // parameter alone. Clipped to the plane.
    bool ZoAlphaBlend(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                      int alpha);
    // Plane sources, trimmed together to their bounds with one set of margins;
    // false for alpha outside 0..128 or a source not created.
    bool AlphaBlend(int x, int y, const TZoAlpha* a, int ax, int ay, const TZoAlpha* b, int bx, int by, int w,
                    int h, int alpha);
    // src over this plane's own values at (x, y).
    bool AlphaBlend(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int alpha);

    // Each row becomes RGBExtractAlpha / RGBSAddAlpha / RGBSSubAlpha of the
    // source row with value; clipped to the plane.
    bool ZoExtract(int x, int y, int w, int h, const uchar* src, int srcPitch, int value);
    bool ZoSAdd(int x, int y, int w, int h, const uchar* src, int srcPitch, int value);
    bool ZoSSub(int x, int y, int w, int h, const uchar* src, int srcPitch, int value);
    // Plane forms: (sx, sy, w, h) must lie wholly inside src; value is clamped
    // to 0..255.
    bool Extract(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value);
    bool SAdd(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value);
    bool SSub(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, int value);

    // Decodes an 8-bit BMP with LoadAlpha and puts it at (x, y); a plane that
    // is not created is first sized to (x + w, y + h) and created. False when
    // decoding fails.
    bool LoadAlphaStream(TStream* s, int x, int y);

protected:
    pendar::NameTag id_;
    bool created_ = false;
    int width_ = 640;
    int height_ = 480;
    uchar* bits_ = nullptr;
    int pitch_ = 0;
    bool mmxEnabled_ = false;

private:
    using TPlaneProc = void* (*)(void* dst, const void* src, const int value, unsigned count);
    bool PlaneRows(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, TPlaneProc proc, int value);
    bool FromPlane(int x, int y, const TZoAlpha* src, int sx, int sy, int w, int h, TPlaneProc proc, int value);
    uchar* At(int x, int y) const;
};

// Combines two planes, the upper one at opacity (0..128), into dst and
// records in weight how much of each result comes from the upper plane (what
// a colour composition of the two layers needs afterwards). Per pixel of the
// w x h block at (dx, dy), clipped to dst: v = lower at (lx + i, ly + j), u =
// upper at (ux + i, uy + j), either 0 outside its plane; dst = v + (u - v) *
// opacity / 128; where the upper point is inside the upper plane, weight
// there = opacity * u / dst (0 when dst is 0). False for opacity outside
// 0..128, a plane not created, or a weight plane smaller than the upper one.
bool ComposeAlphaChannel(TZoAlpha* dst, int dx, int dy, TZoAlpha* weight, const TZoAlpha* lower, int lx, int ly,
                         const TZoAlpha* upper, int ux, int uy, int w, int h, int opacity);
