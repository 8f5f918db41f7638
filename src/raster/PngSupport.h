// What the PNG reader and writer share: libpng's error and warning
// handlers (nothing shown; an error jumps back to the caller's setjmp), stream
// transfers that never throw, and the limits put on every read.
#pragma once

#include "port/Stream.h"

#include <png.h>

#include <cstddef>

namespace pendar::png {

// The error handler keeps libpng's message in the std::string its error
// pointer names, when there is one.
[[noreturn]] void OnError(png_structp png, png_const_charp message);
void OnWarning(png_structp png, png_const_charp message);

// Exactly n bytes, or false (a stream that throws counts as a short one).
bool ReadExactly(TStream& s, void* to, size_t n);
bool WriteExactly(TStream& s, const void* from, size_t n);

// Reads and checks the 8-byte PNG signature.
bool ReadSignature(TStream& s);

// Pictures above the engine's pixel cap are refused in the header, and
// ancillary chunks are bounded in size and number.
void LimitReading(png_structp png);

} // namespace pendar::png
