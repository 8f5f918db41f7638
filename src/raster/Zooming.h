// Nearest-neighbour scaling of whole images, without clipping: each row is
// walked in max(srcW, dstW) steps, each image in max(srcH, dstH) row steps;
// when shrinking, the last of the source samples that fall on one
// destination sample stays. Nothing is drawn when any size is below 1.
#pragma once

#include "raster/ZoRGB.h"

// 8-bit samples; pitches in bytes.
void Zooming(const uchar* src, int srcW, int srcH, int srcPitch, uchar* dst, int dstW, int dstH, int dstPitch);

// 24-bit pixels; pitches in pixels. Returns the number of row steps taken.
int Zooming24(const TZoRGB* src, int srcW, int srcH, int srcPitch, TZoRGB* dst, int dstW, int dstH, int dstPitch);
