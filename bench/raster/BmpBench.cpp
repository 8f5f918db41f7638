// LoadBmp of 1024 x 1024 pictures against stb_image decoding the same file
// from memory (both produce top-down 24-bit rows).
#include "RatioReporter.h"
#include "port/Stream.h"
#include "raster/BmpLoader.h"
#include "raster/PixelMemory.h"

#include <stb_image.h>

#include <random>
#include <string>
#include <vector>

namespace {

void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> Picture(int side, int bits)
{
    const uint32_t palette = bits == 8 ? 1024 : 0;
    const uint32_t row = (uint32_t(side) * bits / 8 + 3) & ~3u;
    std::vector<uint8_t> f = {'B', 'M'};
    PutLE(f, 54 + palette + row * side, 4);
    PutLE(f, 0, 4);
    PutLE(f, 54 + palette, 4);
    for (uint32_t v : {40u, uint32_t(side), uint32_t(side)})
        PutLE(f, v, 4);
    PutLE(f, 1, 2);
    PutLE(f, uint32_t(bits), 2);
    for (uint32_t v : {0u, row * side, 2835u, 2835u, 0u, 0u})
        PutLE(f, v, 4);
    std::mt19937 rng(1024);
    for (uint32_t i = 0; i < palette + row * side; ++i)
        f.push_back(static_cast<uint8_t>(rng()));
    return f;
}

void Register(int bits)
{
    static std::vector<uint8_t> files[33];
    files[bits] = Picture(1024, bits);
    const std::vector<uint8_t>* file = &files[bits];
    std::string key = "LoadBmp/1024x1024x" + std::to_string(bits);
    pendar::bench::Register(key + "/ours", [file](benchmark::State& state) {
        TMemoryStream s(file->data(), file->size());
        for (auto _ : state) {
            s.Seek(0, soFromBeginning);
            uchar* pixels = nullptr;
            int w = 0, h = 0;
            if (!LoadBmp(&s, &pixels, &w, &h, pf24_888))
                state.SkipWithError("LoadBmp failed");
            pendar::FreePixelBlock(pixels);
        }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file->size()));
    });
    pendar::bench::Register(key + "/stb_image", [file](benchmark::State& state) {
        for (auto _ : state) {
            int w = 0, h = 0, channels = 0;
            stbi_uc* pixels = stbi_load_from_memory(file->data(), int(file->size()), &w, &h, &channels, 3);
            if (!pixels)
                state.SkipWithError("stb_image failed");
            stbi_image_free(pixels);
        }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file->size()));
    });
}

} // namespace

int main(int argc, char** argv)
{
    Register(24);
    Register(8);
    return pendar::bench::RunWithRatios(argc, argv, 1.0);
}
