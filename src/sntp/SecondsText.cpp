#include "sntp/SecondsText.h"

namespace pendar {

std::string SecondsText(int64_t nanos, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 9)
        decimals = 9;
    int64_t unit = 1;
    for (int i = decimals; i < 9; ++i)
        unit *= 10;
    bool negative = nanos < 0;
    // Magnitude in units, without overflow for any int64.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(nanos) : static_cast<uint64_t>(nanos);
    uint64_t units = magnitude / static_cast<uint64_t>(unit) +
                     (magnitude % static_cast<uint64_t>(unit) * 2 >= static_cast<uint64_t>(unit) ? 1 : 0);
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    std::string text = negative && units != 0 ? "-" : "";
    text += std::to_string(units / scale);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        text += "." + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

} // namespace pendar
