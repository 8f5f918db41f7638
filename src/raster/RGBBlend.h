// Row operations that combine or transform pixels: alpha blending with a
// global opacity, halving, saturating add and subtract, blending through a
// per-pixel alpha plane or the alpha byte of 32-bit pixels, tone scaling,
// grey, and the 8-bit alpha-plane operations.
//
// Every routine returns dst; counts are pixels (bytes for the 8-bit and
// alpha-plane routines); dst may be the same row as a source (but not
// overlap one at an offset). Arithmetic is on unsigned channel values; floor
// rounds towards minus infinity.
//
// The _MMX routines are the fast forms, written with SSE2 and chosen by a
// buffer's MmxEnabled(). They give the plain routines' results bit for bit,
// except:
// - RGBTone32_MMX also scales the fourth byte, by the top byte of the tone;
// - RGBAlphaOutChannel32_MMX and RGBAlphaInChannel_MMX take the opacity as
//   alpha / 256 (255 counting as 256), where the plain routines use
//   ((alpha + 1) >> 1) / 128: the two agree for even alpha and for 255 and
//   differ by at most one step otherwise.
#pragma once

#include "raster/PixFormat.h"

#include <cstdint>

// ---- global blending state (shared by every buffer; not thread-safe) -------

// Clamps a to 0..128 and builds the difference table T[d] = floor(a * d /
// 128), d = -256..255, that the RGBAlpha routines read.
void SetAlphaParam(int a);
int AlphaParam();
// Clamps p to 0..128 and builds D[i] = p * i / 255 (0..128), the per-pixel
// factor of the RGBDoubleAlphaOutChannel routines.
void SetDoubleAlphaParam(int p);
int DoubleAlphaParam();

// ---- row routines ----------------------------------------------------------

using TRGBBlendProc = void* (*)(void* dst, const void* a, const void* b, unsigned count);
using TRGBSatProc = void* (*)(void* dst, const void* src, unsigned count);
using TRGBMaskProc = void* (*)(void* dst, const void* src, const void* alpha, unsigned count);
using TRGBToneProc = void* (*)(void* dst, const void* src, unsigned long tone, unsigned count);
using TAlphaValueProc = void* (*)(void* dst, const void* src, const int value, unsigned count);

// dst = A + floor(alpha * (B - A) / 128) per channel, alpha from
// SetAlphaParam. 16-bit pixels blend their 5-, 6- or 4-bit field values and
// write the alpha bit or nibble as 0; byte formats blend every byte.
void* RGBAlpha16_565(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha16_555(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha16_5551(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha16_4444(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha24_888(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha32_888(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha32_8888(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha8(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha24_888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha32_888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha32_8888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha8_MMX(void* dst, const void* a, const void* b, unsigned count);

// dst = floor((A + B) / 2) per channel. 16-bit pixels without unpacking:
// (A & B) + (((A ^ B) & m) >> 1), which gives pf16_5551's alpha bit as
// A15 & B15 and pf16_4444's alpha nibble as the floor average.
void* RGBHalf16_565(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf16_555(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf16_5551(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf16_4444(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf24_888(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf32_888(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf32_8888(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf8(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf24_888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf32_888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf32_8888_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf8_MMX(void* dst, const void* a, const void* b, unsigned count);

// dst = min(max, dst + src) per colour field (bytes: every byte).
// RGBAdd16_555 and _5551 give bit 15 as the exclusive or of both bits 15;
// RGBAdd16_4444 gives the alpha nibble as the sum of both modulo 16.
void* RGBAdd16_565(void* dst, const void* src, unsigned count);
void* RGBAdd16_555(void* dst, const void* src, unsigned count);
void* RGBAdd16_5551(void* dst, const void* src, unsigned count);
void* RGBAdd16_4444(void* dst, const void* src, unsigned count);
void* RGBAdd24_888(void* dst, const void* src, unsigned count);
void* RGBAdd32_888(void* dst, const void* src, unsigned count);
void* RGBAdd32_8888(void* dst, const void* src, unsigned count);
void* RGBAdd24_888_MMX(void* dst, const void* src, unsigned count);
void* RGBAdd32_888_MMX(void* dst, const void* src, unsigned count);
void* RGBAdd32_8888_MMX(void* dst, const void* src, unsigned count);

// dst = max(0, dst - src) per colour field (bytes: every byte); the 16-bit
// routines clear bit 15 and the alpha nibble.
void* RGBSub16_565(void* dst, const void* src, unsigned count);
void* RGBSub16_555(void* dst, const void* src, unsigned count);
void* RGBSub16_5551(void* dst, const void* src, unsigned count);
void* RGBSub16_4444(void* dst, const void* src, unsigned count);
void* RGBSub24_888(void* dst, const void* src, unsigned count);
void* RGBSub32_888(void* dst, const void* src, unsigned count);
void* RGBSub32_8888(void* dst, const void* src, unsigned count);
void* RGBSub24_888_MMX(void* dst, const void* src, unsigned count);
void* RGBSub32_888_MMX(void* dst, const void* src, unsigned count);
void* RGBSub32_8888_MMX(void* dst, const void* src, unsigned count);

// a = (alpha[i] + 1) >> 1 (0..128); dst = dst + floor(a * (src - dst) / 128)
// for the three colour bytes of 24-bit (RGBAlphaOutChannel) or 32-bit pixels
// (the fourth byte of dst is left alone).
void* RGBAlphaOutChannel(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel32_MMX(void* dst, const void* src, const void* alpha, unsigned count);

// 32-bit pixels blended through their own fourth byte: a = (src[3] + 1) >> 1,
// colour bytes as RGBAlphaOutChannel32.
void* RGBAlphaInChannel(void* dst, const void* src, unsigned count);
void* RGBAlphaInChannel_MMX(void* dst, const void* src, unsigned count);

// As RGBAlphaOutChannel with a = D[alpha[i]] (SetDoubleAlphaParam): the
// per-pixel alpha scaled by a global opacity.
void* RGBDoubleAlphaOutChannel(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel32_MMX(void* dst, const void* src, const void* alpha, unsigned count);

// dst = min(255, (src * t) >> 7) per colour byte, t the tone's byte of the
// channel (blue bits 0..7, green 8..15, red 16..23); 128 keeps a channel.
// RGBTone32 leaves dst's fourth byte alone.
void* RGBTone24(void* dst, const void* src, unsigned long tone, unsigned count);
void* RGBTone32(void* dst, const void* src, unsigned long tone, unsigned count);
void* RGBTone24_MMX(void* dst, const void* src, unsigned long tone, unsigned count);
void* RGBTone32_MMX(void* dst, const void* src, unsigned long tone, unsigned count);

// All three colour bytes = (B + G + R) / 3; the fourth byte of dst is left
// alone.
void* RGBMonochrome24(void* dst, const void* src, unsigned count);
void* RGBMonochrome32(void* dst, const void* src, unsigned count);

// Bytes of an alpha plane, with v = value & 0xFF:
// RGBExtractAlpha: s = min(255, src + v); dst = s < 240 ? 0 : (s - 240) * 17.
// RGBSAddAlpha: dst = min(255, src + v). RGBSSubAlpha: dst = max(0, src - v).
void* RGBExtractAlpha(void* dst, const void* src, const int value, unsigned count);
void* RGBSAddAlpha(void* dst, const void* src, const int value, unsigned count);
void* RGBSSubAlpha(void* dst, const void* src, const int value, unsigned count);
void* RGBExtractAlpha_MMX(void* dst, const void* src, const int value, unsigned count);
void* RGBSAddAlpha_MMX(void* dst, const void* src, const int value, unsigned count);
void* RGBSSubAlpha_MMX(void* dst, const void* src, const int value, unsigned count);

namespace pendar::blend {
// The colour filters of the buffers' in-place operations, on 24- and 32-bit
// rows (dst's fourth byte left alone): sepia with S = B + G + R gives
// B' = (B + S) >> 3, G' = (G + S) / 5, R' = (R + S) >> 2 (never above 255);
// negative gives 255 - c.
void* Sepia24(void* dst, const void* src, unsigned count);
void* Sepia32(void* dst, const void* src, unsigned count);
void* Negative24(void* dst, const void* src, unsigned count);
void* Negative32(void* dst, const void* src, unsigned count);
} // namespace pendar::blend

// ---- routine tables, indexed by TPixFormat (entry 0 empty) ------------------

// In the MMX tables the 16-bit entries are the plain routines.
extern const TRGBBlendProc RGBAlphaProcTable[kPixFormatCount];
extern const TRGBBlendProc RGBAlphaMMXProcTable[kPixFormatCount];
extern const TRGBBlendProc RGBHalfProcTable[kPixFormatCount];
extern const TRGBSatProc RGBAddProcTable[kPixFormatCount];
extern const TRGBSatProc RGBAddMMXProcTable[kPixFormatCount];
extern const TRGBSatProc RGBSubProcTable[kPixFormatCount];
extern const TRGBSatProc RGBSubMMXProcTable[kPixFormatCount];

namespace pendar::blend {
// The opacity factor of RGBAlphaOutChannel32_MMX and RGBAlphaInChannel_MMX:
// alpha for 0..254, 256 for 255.
constexpr unsigned AlphaFactor(unsigned alpha) { return alpha == 255 ? 256 : alpha; }
// The current tables, for the fast routines.
extern uint8_t g_alphaDiff[512]; // T[d] at index d + 256
extern uint8_t g_doubleAlpha[256];
} // namespace pendar::blend
