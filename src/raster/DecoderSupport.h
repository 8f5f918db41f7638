// Pieces the image loaders share: the output block contract (the caller's
// block, or one the loader allocates and hands over only on success), the
// palette expansion into a buffer format, and sizing a fresh buffer or plane
// to a decoded picture.
#pragma once

#include "raster/PixelAccess.h"
#include "raster/PixelMemory.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace pendar::decode {

// Keeps why a picture is refused for a caller that asked (`reason` not
// null); false, for the loader to return.
inline bool Refuse(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
    return false;
}

// Why ImageSizeAllowed(w, h) is false.
inline std::string SizeRefusal(int64_t w, int64_t h)
{
    const std::string size = std::to_string(w) + " x " + std::to_string(h);
    if (w < 1 || h < 1)
        return "size " + size + " holds no pixels";
    return "size " + size + " is above the limit of " + std::to_string(kMaxImagePixels) + " pixels";
}

inline constexpr const char* kBadFormat = "no such pixel format";

// The block a loader fills: *slot when the caller passed one, else a new
// block this object owns until Commit() hands it to *slot.
template <typename T>
class OutputBlock {
public:
    // False when a new block cannot be had.
    bool Prepare(T** slot, size_t bytes)
    {
        slot_ = slot;
        if (*slot_ == nullptr) {
            owned_ = MakePixelBlock(bytes);
            if (!owned_)
                return false;
        }
        return true;
    }
    T* Data() const { return owned_ ? reinterpret_cast<T*>(owned_.get()) : *slot_; }
    void Commit()
    {
        if (owned_)
            *slot_ = reinterpret_cast<T*>(owned_.release());
    }

private:
    T** slot_ = nullptr;
    TPixelBlock owned_;
};

// count pixels of N bytes looked up by index in a table of 256 pixels.
template <int N>
void ExpandIndices(uint8_t* out, const uint8_t* indices, const uint8_t* table, size_t count)
{
    for (size_t x = 0; x < count; ++x)
        pixel::Store<N>(out + x * N, pixel::Load<N>(table + size_t{indices[x]} * N));
}

inline void ExpandIndices(int bytesPerPixel, uint8_t* out, const uint8_t* indices, const uint8_t* table,
                          size_t count)
{
    pixel::WithElementSize(bytesPerPixel, [&]<int N>() { ExpandIndices<N>(out, indices, table, count); });
}

// A buffer or plane that is not created yet becomes the picture's size plus
// its offset (x + w, y + h) and is created; a size that does not fit is
// refused like any other invalid one.
template <typename Target>
void CreateForPicture(Target& target, int x, int y, int w, int h)
{
    if (target.Created())
        return;
    const int64_t width = int64_t{x} + w;
    const int64_t height = int64_t{y} + h;
    if (width <= INT_MAX)
        target.SetWidth(static_cast<int>(width));
    if (height <= INT_MAX)
        target.SetHeight(static_cast<int>(height));
    target.Create();
}

} // namespace pendar::decode
