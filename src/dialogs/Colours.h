// Platform colour values (0x00BBGGRR) of the log's lines and the calendar's
// cells. The log's callers pass 0 (black) and 255 (red).
#pragma once

#include <cstdint>

namespace pendar {

constexpr uint32_t clBlack = 0x000000;
constexpr uint32_t clRed = 0x0000FF;
constexpr uint32_t clBlue = 0xFF0000;
constexpr uint32_t clAqua = 0xFFFF00;
constexpr uint32_t clSilver = 0xC0C0C0;
constexpr uint32_t clWhite = 0xFFFFFF;

} // namespace pendar
