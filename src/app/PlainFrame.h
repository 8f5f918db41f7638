// The built-in picture of the plain skin and of its balloon: a filled box
// with rounded corners, whose corners are a key colour that the shape of
// the picture leaves out.
#pragma once

#include "raster/ZoRGBBits.h"

#include <cstdint>

namespace pendar {

// Colours are raw pixel values of the 24-bit buffer.
constexpr uint32_t kPlainFill = 0xAAD2F0;
constexpr uint32_t kPlainLine = 0x404080;
constexpr uint32_t kPlainBalloonFill = 0xF8F8DC;
constexpr uint32_t kPlainBalloonLine = 0x0604EA;

// The corner colour: unlike both `fill` and `line`.
uint32_t PlainFrameKey(uint32_t fill, uint32_t line);

void DrawPlainFrame(TZoRGBBits& buffer, uint32_t fill, uint32_t line);

} // namespace pendar
