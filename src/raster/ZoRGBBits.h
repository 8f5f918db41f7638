// TZoRGBBits: the raster engine's off-screen image. A rectangle of packed
// pixels in one format, in one block of memory, with a lock count, a record of
// the region modified since the last flush, and a change notification.
//
// Pixel (x, y), y = 0 the top row, starts at Bits() + y * Pitch() + x *
// BitDepth(). Rows of this class are packed top-down; a subclass that owns
// other memory may pad rows or store them bottom-up with a negative pitch.
// Drawing colours are raw pixel values of the buffer's format (convert a
// colour with TZoRGBtoPixel first). Operations report failure by result and
// never throw.
#pragma once

#include "port/Stream.h"
#include "raster/NameTag.h"
#include "raster/PixFormat.h"
#include "raster/ZoRGB.h"
#include "raster/ZoRect.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TZoAlpha;

class TZoRGBBits {
public:
    using TNotifyEvent = std::function<void(TZoRGBBits* sender)>;

    // 640 x 480, bd24, pf24_888, not created.
    TZoRGBBits();
    virtual ~TZoRGBBits();
    TZoRGBBits(const TZoRGBBits&) = delete;
    TZoRGBBits& operator=(const TZoRGBBits&) = delete;

    // ---- properties ---------------------------------------------------------
    std::string_view ID() const { return id_.Get(); }
    // Keeps at most 16 bytes.
    void SetID(std::string_view id) { id_.Set(id); }
    bool Created() const { return created_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TBitDepth BitDepth() const { return bitDepth_; }
    TPixFormat PixFormat() const { return pixFormat_; }
    // Mirrors every pattern transfer into this buffer left-right.
    bool Reverse() const { return reverse_; }
    bool Locked() const { return locked_; }
    int LockCount() const { return lockCount_; }
    uchar* Bits() const { return bits_; }
    int Pitch() const { return pitch_; }
    // Taken once, at construction, from TheCPUID().IsMmxSupport().
    bool MmxEnabled() const { return mmxEnabled_; }

    // Resize(value, Height()) / Resize(Width(), value).
    void SetWidth(int value);
    void SetHeight(int value);
    void SetReverse(bool value) { reverse_ = value; }
    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

    // Ignored while created. A depth without the current format takes that
    // depth's default format (bd16: pf16_565, bd24: pf24_888, bd32: pf32_888,
    // bd8: pfNone); a format without the current depth takes its own depth.
    virtual void SetBitDepth(TBitDepth depth);
    virtual void SetPixFormat(TPixFormat format);
    // True when the depth is 1..4 and the format 0..7.
    bool SetProcs() const;

    // ---- lifecycle ----------------------------------------------------------
    // Allocates Width x Height zeroed pixels; false when created already, for
    // an invalid depth or format (pfNone included), a size below 1 or above
    // pendar::kMaxImagePixels, or no memory.
    virtual bool Create();
    // Unlocks while locked, frees the pixels.
    virtual void Release();
    // Not created: only stores the size. Created: new zeroed pixels (the old
    // ones are not kept); false while locked or without memory, nothing
    // changed then.
    virtual bool Resize(int w, int h);
    virtual bool Lock();
    virtual bool Unlock();
    // This class has no device context.
    virtual bool HaveDC() { return false; }
    virtual bool GetDC(void** dc);
    virtual bool ReleaseDC(void* dc);

    // ---- modified region ----------------------------------------------------
    // Unites r with the pending region (a bounding box), clips the result to
    // the buffer, then flushes at once when the automatic flush is on.
    void SetModified(const TZoRect& r);
    // Inclusive corners in any order.
    void SetModified(int x1, int y1, int x2, int y2);
    // The whole buffer.
    void SetModified();
    // Clears the pending flag, calls Change(), then empties the region (so
    // OnChange can still read it).
    virtual void ModifiedFlush();
    void Change();
    void ChgModifiedSw(bool on);
    // Nesting pairs: the outermost ModifiedOn flushes the accumulated region.
    void ModifiedOff();
    void ModifiedOn();
    TZoRect GetModifiedRect() const { return modifiedRect_; }
    bool ModifiedPending() const { return modifiedPending_; }
    bool ModifiedSw() const { return modifiedSw_; }
    int ModifiedOffCount() const { return modifiedOffCount_; }

    // ---- colours ------------------------------------------------------------
    // 0 for pfNone.
    uint32_t TZoRGBtoPixel(TZoRGB colour) const;
    // Black for pfNone.
    TZoRGB PixeltoTZoRGB(uint32_t value) const;

    // ---- primitives (raw pixel values) --------------------------------------
    bool Cls();
    bool PSet(int x, int y, uint32_t c);
    // 0 outside or when not created.
    uint32_t PGet(int x, int y);
    // Pixel (0, 0): the conventional transparent key of an image.
    uint32_t TopLeftGet();
    // Draws the line; ZoLine leaves the modified region alone.
    bool ZoLine(int x1, int y1, int x2, int y2, uint32_t c);
    bool Line(int x1, int y1, int x2, int y2, uint32_t c);
    // Inclusive corners in any order, clipped.
    bool ZoBoxFill(int x1, int y1, int x2, int y2, uint32_t c);
    bool BoxFill(int x1, int y1, int x2, int y2, uint32_t c);
    bool Box(int x1, int y1, int x2, int y2, uint32_t c);
    // Raises each margin to the amount by which `drawn` sticks out of `bounds`
    // on that side.
    static void ClipRect(const TZoRect& drawn, const TZoRect& bounds, int& left, int& top, int& right,
                         int& bottom);

    // ---- pattern transfer (a pattern: pixels of this buffer's format) -------
    // The core transfers leave the modified region alone and are true when
    // clipping leaves nothing. A source that overlaps this buffer's own pixels
    // is copied as if it had been read whole before writing.
    bool ZoPutPat(int x, int y, int w, int h, const uchar* src, int srcPitch, bool useKey, uint32_t key);
    // Mirrored: source pixel i of a row lands in column x + w - 1 - i.
    // False unless Reverse() is set.
    bool ZoPutPatR(int x, int y, int w, int h, const uchar* src, int srcPitch, bool useKey, uint32_t key);
    // Copies the pixels whose mask bit is 1. The mask is maskWidth x
    // maskHeight bits, rows of (maskWidth + 7) / 8 bytes, most significant bit
    // first, tiled from the pattern's top-left corner. False for a null mask
    // or a mask width or height below 1.
    bool ZoPutPatM(int x, int y, int w, int h, const uchar* src, int srcPitch, const uchar* mask, int maskWidth,
                   int maskHeight);
    bool ZoPutPatMR(int x, int y, int w, int h, const uchar* src, int srcPitch, const uchar* mask, int maskWidth,
                    int maskHeight);
    // Copies the rectangle out into dst (pitch w * BitDepth); what lies
    // outside the buffer leaves dst untouched.
    bool ZoGetPat(int x, int y, int w, int h, uchar* dst);
    // Copies a block of another format, converting every row.
    bool ZoConvert(int x, int y, int w, int h, const uchar* src, TPixFormat srcFormat, int srcPitch);
    // Expands 8-bit indices through a 256-entry palette.
    bool ZoIndexColor(int x, int y, int w, int h, const uchar* indices, const RGBQUAD* palette, int indexPitch);

    // Wrappers that mark the target rectangle modified on success.
    bool PutPat(int x, int y, int w, int h, const uchar* src);
    bool PutPatPitch(int x, int y, int w, int h, const uchar* src, int srcPitch);
    bool PasPat(int x, int y, int w, int h, const uchar* src, uint32_t key);
    bool PasPatPitch(int x, int y, int w, int h, const uchar* src, int srcPitch, uint32_t key);
    bool PasMPat(int x, int y, int w, int h, const uchar* src, const uchar* mask, int maskWidth, int maskHeight);
    bool GetPat(int x, int y, int w, int h, uchar* dst);
    bool IndexColorCopy(int x, int y, const uchar* indices, const RGBQUAD* palette, int sx, int sy, int w, int h,
                        int indexPitch);

    // ---- buffer to buffer ---------------------------------------------------
    // (sx, sy, w, h) must lie wholly inside src, whose format must be
    // compatible; the destination side is clipped (and mirrored by Reverse).
    bool Draw(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);
    // Draw after trimming the source rectangle to src; false when Reverse.
    bool ClipDraw(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);
    // Draw that skips source pixels equal to `key` (in this buffer's format).
    bool DrawKey(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, TZoRGB key);
    // Draw that skips source pixels equal to src's top-left pixel.
    bool DrawTLKey(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);
    bool DrawMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const uchar* mask, int maskWidth,
                  int maskHeight);
    // Sources of any format, trimmed like ClipDraw, converted.
    bool ConvertCopy(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);

    // ---- blending and filters -----------------------------------------------
    // The fast row routines are used when MmxEnabled(). Every operation is
    // false when the buffer (or a source) is not created, a routine is missing
    // for the format or a lock fails, and true when clipping leaves nothing;
    // the buffer forms mark what they drew modified.

    // Writes at (x, y) the blend of pattern b (the upper image) over pattern a
    // at opacity alpha (0 shows a, 128 shows b), both in this buffer's format,
    // clipped to the buffer. Alpha 64 averages (the plain halving routines)
    // and leaves the global alpha parameter alone; others set it.
    bool ZoAlphaBlend(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                      int alpha);
    // Buffer forms: the sources' formats must be compatible with this one's,
    // alpha within 0..128; both source rectangles are trimmed together to
    // their sources with one set of margins.
    bool AlphaBlend(int x, int y, TZoRGBBits* a, int ax, int ay, TZoRGBBits* b, int bx, int by, int w, int h,
                    int alpha);
    // src over this buffer's own pixels at (x, y).
    bool AlphaBlend(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, int alpha);
    // Saturating add / subtract of a pattern of this buffer's format.
    bool ZoSaturationAdd(int x, int y, int w, int h, const uchar* src, int srcPitch);
    bool ZoSaturationSub(int x, int y, int w, int h, const uchar* src, int srcPitch);
    // Buffer forms: the source rectangle trimmed to src like ClipDraw.
    bool SaturationAdd(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);
    bool SaturationSub(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);

    // Draws a source of any format over the buffer through an 8-bit alpha
    // plane (RGBAlphaOutChannel rules: opacity (alpha + 1) >> 1 of 128; the
    // fast 32-bit routine alpha of 256). Rows of formats other than 24 and 32
    // bits pass through RGBQUAD rows; a 32-bit buffer keeps its fourth byte.
    bool ZoAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch, TPixFormat srcFormat,
                     const uchar* alpha, int alphaPitch);
    // A pf32_8888 source through its own fourth byte (RGBAlphaInChannel);
    // any other format is an opaque ZoConvert.
    bool ZoAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch, TPixFormat srcFormat);
    // Composes two sources: each row of the lower one, a, is copied in, then
    // the upper one, b, blended over it through the alpha plane. `format`
    // (both sources') must be compatible with this buffer's.
    bool ZoAlphaMask(int x, int y, int w, int h, const uchar* a, int aPitch, const uchar* b, int bPitch,
                     TPixFormat format, const uchar* alpha, int alphaPitch);
    // As the first ZoAlphaMask with the per-pixel alpha further scaled by
    // opacity / 128 (0..128, clamped).
    bool ZoDoubleAlphaMask(int x, int y, int w, int h, const uchar* src, int srcPitch, TPixFormat srcFormat,
                           const uchar* alpha, int alphaPitch, int opacity);
    // Buffer forms; the rectangle is trimmed to the sources and the alpha
    // plane, which is addressed with the (upper) source's coordinates.
    bool DrawAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const TZoAlpha* alpha);
    bool DrawAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h);
    bool DrawAlphaMask(int x, int y, TZoRGBBits* a, int ax, int ay, TZoRGBBits* b, int bx, int by, int w, int h,
                       const TZoAlpha* alpha);
    bool DrawDoubleAlphaMask(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const TZoAlpha* alpha,
                             int opacity);

    // In-place filters over a box with inclusive corners (clamped, ordered
    // and clipped as for BoxFill), each ending with SetModified() over the
    // whole buffer. 16-bit rows pass through 24-bit rows (so the alpha bit
    // and nibble come out 0). ToneChange scales each channel by its tone
    // byte / 128 (blue bits 0..7, green 8..15, red 16..23; the fast 32-bit
    // routine also scales the fourth byte by bits 24..31); Monochrome makes
    // each pixel the average of its three channels; Sepia and Negative
    // follow pendar::blend::Sepia24 and Negative24.
    bool ToneChange(int x1, int y1, int x2, int y2, unsigned long tone);
    bool Monochrome(int x1, int y1, int x2, int y2);
    bool Sepia(int x1, int y1, int x2, int y2);
    bool Negative(int x1, int y1, int x2, int y2);

    // ---- loading ------------------------------------------------------------
    // Each decodes a picture from s into this buffer's format and draws it
    // at (x, y). A buffer that is not created is first sized to (x + w,
    // y + h) and created; a created one keeps its size. False when decoding
    // fails, with the loader's reason in a non-null `reason`.
    bool DrawBmpStream(TStream* s, int x, int y, std::string* reason = nullptr);
    bool DrawJpegStream(TStream* s, int x, int y, std::string* reason = nullptr);
    // `table`: the 256-byte descrambling table.
    bool DrawGnyStream(TStream* s, int x, int y, const uchar* table, std::string* reason = nullptr);
    bool DrawPngStream(TStream* s, int x, int y, std::string* reason = nullptr);
    // LoadPngWhiteMat: colours of translucent pixels taken off white first.
    bool DrawPngWMStream(TStream* s, int x, int y, std::string* reason = nullptr);
    // With a non-null alpha, the PNG's alpha channel is put into it at (x, y)
    // as well (255 for a picture without one); a plane that is not created is
    // first sized to (x + w, y + h) and created.
    bool DrawPngStream(TStream* s, int x, int y, TZoAlpha* alpha, std::string* reason = nullptr);
    bool DrawPngWMStream(TStream* s, int x, int y, TZoAlpha* alpha, std::string* reason = nullptr);

protected:
    // For subclasses that provide the pixel memory themselves.
    void ResetLockAndModified();

    pendar::NameTag id_;
    bool created_ = false;
    int width_ = 640;
    int height_ = 480;
    TBitDepth bitDepth_ = bd24;
    TPixFormat pixFormat_ = pf24_888;
    bool reverse_ = false;
    bool locked_ = false;
    int lockCount_ = 0;
    uchar* bits_ = nullptr;
    int pitch_ = 0;
    bool modifiedPending_ = false;
    bool modifiedSw_ = true;
    int modifiedOffCount_ = 0;
    TNotifyEvent onChange_;
    TZoRect modifiedRect_;
    bool mmxEnabled_ = false;

private:
    // Draws what a loader returned (true, a block of this buffer's format, its
    // size) as the stream loaders do; frees the block.
    bool DrawLoaded(bool decoded, uchar* pixels, int w, int h, int x, int y);
    bool DrawPng(TStream* s, int x, int y, TZoAlpha* alpha, bool whiteMatte, std::string* reason);
    // DrawAlphaMask through a plane, or DrawDoubleAlphaMask with an opacity.
    bool DrawThroughPlane(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const TZoAlpha* alpha,
                          std::optional<int> opacity);
    void Modify(int64_t left, int64_t top, int64_t right, int64_t bottom);
    // Marks the block with inclusive corners (x, y), (x + w - 1, y + h - 1)
    // when ok; returns ok.
    bool ModifiedIf(bool ok, int x, int y, int w, int h);
    bool PutPattern(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, bool useKey, uint32_t key,
                    bool mirrored);
    bool PutMasked(int x, int y, int w, int h, const uchar* src, int64_t srcPitch, const uchar* mask,
                   int maskWidth, int maskHeight, bool mirrored);
    // Checks and locks the source, runs transfer(first source pixel, pitch),
    // marks the target modified on success.
    template <typename Transfer>
    bool DrawFrom(int x, int y, TZoRGBBits* src, int sx, int sy, int w, int h, const Transfer& transfer);
    // Trims (sx, sy, w, h) to src, moving (x, y) with a trimmed left or top
    // edge; false when nothing is left.
    static bool TrimToSource(const TZoRGBBits& src, int& x, int& y, int& sx, int& sy, int& w, int& h);
    uchar* PixelAt(int x, int y) const;
};
