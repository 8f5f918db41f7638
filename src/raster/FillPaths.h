// The fill routines of each instruction set, indexed by element size 2..4
// (entries 0 and 1 are empty). `bytes` is a whole number of elements. The
// AVX2 table exists only on x86 and may only be used when the processor has
// AVX2.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pendar::fill {

using TFillProc = void (*)(uint8_t* d, size_t bytes, uint32_t value);

extern const TFillProc kSse2[5];
extern const TFillProc kAvx2[5];
bool HaveAvx2();

} // namespace pendar::fill
