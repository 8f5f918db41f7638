// A span of nanoseconds as seconds with a fixed number of decimals,
// rounded half away from zero, independent of the locale ("-1.50", "0.000").
#pragma once

#include <cstdint>
#include <string>

namespace pendar {
std::string SecondsText(int64_t nanos, int decimals);
} // namespace pendar
