#include "raster/PngSupport.h"

#include "raster/PixelMemory.h"

#include <string>

void pendar::png::OnError(png_structp png, png_const_charp message)
{
    if (auto* why = static_cast<std::string*>(png_get_error_ptr(png)))
        *why = message ? message : "";
    png_longjmp(png, 1);
}

void pendar::png::OnWarning(png_structp, png_const_charp) {}

bool pendar::png::ReadExactly(TStream& s, void* to, size_t n)
{
    try {
        return s.Read(to, static_cast<int64_t>(n)) == static_cast<int64_t>(n);
    } catch (...) {
        return false;
    }
}

bool pendar::png::WriteExactly(TStream& s, const void* from, size_t n)
{
    try {
        return s.Write(from, static_cast<int64_t>(n)) == static_cast<int64_t>(n);
    } catch (...) {
        return false;
    }
}

bool pendar::png::ReadSignature(TStream& s)
{
    png_byte signature[8];
    return ReadExactly(s, signature, sizeof signature) && png_sig_cmp(signature, 0, sizeof signature) == 0;
}

void pendar::png::LimitReading(png_structp png)
{
    constexpr auto kSide = static_cast<png_uint_32>(pendar::kMaxImagePixels);
    png_set_user_limits(png, kSide, kSide);
    png_set_chunk_cache_max(png, 128);
    png_set_chunk_malloc_max(png, 8u << 20);
}
