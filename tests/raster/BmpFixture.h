// Builds Windows bitmap files for the tests, with every header field under
// the test's control.
#pragma once

#include "raster/PixFormat.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pendar::test {

struct BmpSpec {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t clrUsed = 0;
    uint32_t infoSize = 40;
    uint32_t compression = 0;
    std::optional<uint32_t> offBits; // default: where the pixels really start
    std::vector<RGBQUAD> palette;    // written as given, whatever clrUsed says
    size_t gap = 0;                  // bytes between the palette and the pixels
    uint8_t padding = 0xEE;          // the row padding bytes
};

inline void PutLE(std::vector<uint8_t>& out, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// `pixels`: the picture top-down, width * bitCount / 8 bytes per row; rows
// are written bottom-up and padded to 4 bytes. No pixels: the file ends
// after the palette and gap.
inline std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const std::vector<uint8_t>& pixels)
{
    const size_t rowBytes = size_t(spec.width > 0 ? spec.width : 0) * spec.bitCount / 8;
    const size_t fileRow = (rowBytes + 3) & ~size_t{3};
    const size_t rows = spec.height > 0 ? size_t(spec.height) : 0;
    const uint32_t start =
        static_cast<uint32_t>(14 + spec.infoSize + 4 * spec.palette.size() + spec.gap);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLE(out, start + fileRow * rows, 4);
    PutLE(out, 0, 4);
    PutLE(out, spec.offBits.value_or(start), 4);
    PutLE(out, spec.infoSize, 4);
    PutLE(out, uint32_t(spec.width), 4);
    PutLE(out, uint32_t(spec.height), 4);
    PutLE(out, 1, 2);
    PutLE(out, spec.bitCount, 2);
    PutLE(out, spec.compression, 4);
    PutLE(out, fileRow * rows, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, spec.clrUsed, 4);
    PutLE(out, 0, 4);
    // The later header versions' fields (not for absurd sizes, which a
    // loader must refuse before reading on).
    if (spec.infoSize > 40 && spec.infoSize <= 4096)
        out.insert(out.end(), spec.infoSize - 40, 0x5A);
    for (const RGBQUAD& q : spec.palette) {
        out.push_back(q.rgbBlue);
        out.push_back(q.rgbGreen);
        out.push_back(q.rgbRed);
        out.push_back(q.rgbReserved);
    }
    out.insert(out.end(), spec.gap, 0x77);
    if (pixels.size() < rowBytes * rows)
        return out;
    for (size_t y = rows; y-- > 0;) {
        out.insert(out.end(), pixels.begin() + y * rowBytes, pixels.begin() + (y + 1) * rowBytes);
        out.insert(out.end(), fileRow - rowBytes, spec.padding);
    }
    return out;
}

} // namespace pendar::test
