// TZoRGB: a colour as three bytes in memory order blue, green, red (the
// layout of RGBTRIPLE, so an array of them is a pf24_888 row).
#pragma once

#include "raster/PixFormat.h"

#include <cstdint>

struct TZoRGB {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;

    constexpr TZoRGB() = default;
    constexpr TZoRGB(uint8_t r, uint8_t g, uint8_t b) : Blue(b), Green(g), Red(r) {}
    // rgbReserved is dropped.
    constexpr TZoRGB(RGBQUAD q) : Blue(q.rgbBlue), Green(q.rgbGreen), Red(q.rgbRed) {}
    // A colour value 0x00RRGGBB; the top byte is dropped.
    constexpr TZoRGB(uint32_t c)
        : Blue(static_cast<uint8_t>(c)), Green(static_cast<uint8_t>(c >> 8)), Red(static_cast<uint8_t>(c >> 16))
    {
    }

    constexpr RGBQUAD ToRGBQUAD() const { return RGBQUAD{Blue, Green, Red, 0}; }
    constexpr uint32_t ToDWORD() const
    {
        return (uint32_t{Red} << 16) | (uint32_t{Green} << 8) | uint32_t{Blue};
    }

    friend constexpr bool operator==(const TZoRGB&, const TZoRGB&) = default;
};

static_assert(sizeof(TZoRGB) == 3, "an array of TZoRGB is a pf24_888 row");

constexpr TZoRGB ZoRGB(uint8_t r, uint8_t g, uint8_t b) { return TZoRGB(r, g, b); }
constexpr TZoRGB ZoRGB(RGBQUAD q) { return TZoRGB(q); }
constexpr TZoRGB ZoRGB(uint32_t c) { return TZoRGB(c); }
