// Blocks of pixel memory handed between decoders, buffers and their callers.
// A block a loader allocates is freed by the caller with FreePixelBlock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pendar {

// The largest picture or buffer the engine makes, in pixels (8192 x 8192).
// Sizes from files and callers are checked against it, in 64 bits, before
// anything is allocated.
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

// True when w x h is a picture the engine can hold: both at least 1 and the
// product within kMaxImagePixels.
constexpr bool ImageSizeAllowed(int64_t w, int64_t h)
{
    return w >= 1 && h >= 1 && w <= kMaxImagePixels && h <= kMaxImagePixels && w * h <= kMaxImagePixels;
}

// The start every Resize shares: a size below 1 is refused, and a buffer or
// plane that is not created only stores it; otherwise the caller makes new
// memory.
enum class ResizeStep { Refused, Stored, MakeMemory };

inline ResizeStep BeginResize(bool created, int w, int h, int& width, int& height)
{
    if (w < 1 || h < 1)
        return ResizeStep::Refused;
    if (created)
        return ResizeStep::MakeMemory;
    width = w;
    height = h;
    return ResizeStep::Stored;
}

// A zero-filled block of `bytes` bytes, or null when it cannot be had.
uint8_t* AllocPixelBlock(size_t bytes);
void FreePixelBlock(void* block);

struct PixelBlockFree {
    void operator()(void* block) const { FreePixelBlock(block); }
};
// Owns a block from AllocPixelBlock (or one a loader returned).
using TPixelBlock = std::unique_ptr<uint8_t[], PixelBlockFree>;

inline TPixelBlock MakePixelBlock(size_t bytes)
{
    return TPixelBlock(AllocPixelBlock(bytes));
}

} // namespace pendar
