#include "raster/PixelMemory.h"

#include <cstdlib>

uint8_t* pendar::AllocPixelBlock(size_t bytes)
{
    // calloc: the block starts zeroed, and a zero-byte request still gives a
    // block the caller can free.
    return static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
}

void pendar::FreePixelBlock(void* block)
{
    std::free(block);
}
