// LoadPng of 1024 x 1024 pictures (RGB into pf24_888, RGB with alpha into
// pf32_8888 with the alpha plane) against libpng's simplified API decoding
// the same file from memory into the same layout (BGR, BGRA). The engine's
// row conversion may cost at most 15%.
#include "RatioReporter.h"
#include "port/Stream.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"

#include <png.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 1024;

// Smooth gradients with some noise: a picture that compresses as photos and
// drawings do, not as noise or flat colour.
std::vector<uint8_t> Picture(bool alpha)
{
    std::mt19937 rng(7);
    std::vector<uint8_t> pixels(size_t(kSide) * kSide * 3), plane(size_t(kSide) * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &pixels[(size_t(y) * kSide + x) * 3];
            p[0] = uint8_t(x / 4 + (rng() & 7));
            p[1] = uint8_t(y / 4 + (rng() & 7));
            p[2] = uint8_t(128 + 100 * std::sin((x + y) / 60.0));
            plane[size_t(y) * kSide + x] = uint8_t((x ^ y) & 0xF0 ? 255 : x + y);
        }
    }
    TMemoryStream out;
    SavePng(&out, pixels.data(), alpha ? plane.data() : nullptr, kSide, kSide, pf24_888);
    return out.Bytes();
}

void Register(bool alpha)
{
    static std::vector<uint8_t> files[2];
    files[alpha] = Picture(alpha);
    const std::vector<uint8_t>* file = &files[alpha];
    const std::string key = std::string("LoadPng/1024x1024/") + (alpha ? "rgba" : "rgb");
    pendar::bench::Register(key + "/ours", [file, alpha](benchmark::State& state) {
        TMemoryStream s(file->data(), file->size());
        for (auto _ : state) {
            s.Seek(0, soFromBeginning);
            uchar* pixels = nullptr;
            uchar* plane = nullptr;
            int w = 0, h = 0;
            if (!LoadPng(&s, &pixels, alpha ? &plane : nullptr, &w, &h, alpha ? pf32_8888 : pf24_888))
                state.SkipWithError("LoadPng failed");
            pendar::FreePixelBlock(pixels);
            pendar::FreePixelBlock(plane);
        }
    });
    pendar::bench::Register(key + "/libpng simplified", [file, alpha](benchmark::State& state) {
        for (auto _ : state) {
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            if (!png_image_begin_read_from_memory(&image, file->data(), file->size()))
                state.SkipWithError("png_image_begin_read_from_memory failed");
            image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
            // The engine hands out a zeroed block: so does this.
            uint8_t* pixels = pendar::AllocPixelBlock(PNG_IMAGE_SIZE(image));
            if (!png_image_finish_read(&image, nullptr, pixels, 0, nullptr))
                state.SkipWithError("png_image_finish_read failed");
            pendar::FreePixelBlock(pixels);
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    Register(false);
    Register(true);
    return pendar::bench::RunWithRatios(argc, argv, 0.85);
}
