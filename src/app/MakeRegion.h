// The shape of a picture: every pixel whose colour differs from the
// picture's top-left pixel, in row runs.
#pragma once

#include "app/Region.h"
#include "raster/ZoRGBBits.h"

#include <optional>

namespace pendar {

// The shape of the block [left, right) x [top, bottom) of a 24-bit buffer,
// relative to the block's top-left corner; the colour of pixel (left, top)
// is transparent. `mirrored` flips it left-right within the block's width.
// A shape that would need more than `maxRects` rectangles is made of the
// finest grid of square cells (2, 4, 8 ... pixels, cut at the block's edge)
// that needs no more: every cell holding a shown pixel is shown.
// nullopt for another format, a block outside the buffer, or no memory.
std::optional<TRegion> MakeRegion(TZoRGBBits& buffer, bool mirrored, int left, int top, int right, int bottom,
                                  size_t maxRects = kMaxShapeRects);

} // namespace pendar
