// LoadJpeg of 1024 x 1024 pictures (4:2:0 and 4:4:4, into pf24_888 and
// pf32_888) against TurboJPEG's tjDecompress2 decoding the same file from
// memory into the same layout (BGR, BGRX), both with the library's default
// (accurate) decoding. The engine's row conversion may cost at most 15%.
#include "RatioReporter.h"
#include "port/Stream.h"
#include "raster/JpegLoader.h"
#include "raster/PixelMemory.h"

#include <turbojpeg.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 1024;

std::vector<uint8_t> Picture(int subsampling)
{
    std::mt19937 rng(9);
    std::vector<uint8_t> rgb(size_t(kSide) * kSide * 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &rgb[(size_t(y) * kSide + x) * 3];
            p[0] = uint8_t(128 + 100 * std::sin(x / 40.0) + (rng() & 15));
            p[1] = uint8_t(y / 4);
            p[2] = uint8_t((x + y) / 8 + (rng() & 7));
        }
    }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, rgb.data(), kSide, 0, kSide, TJPF_RGB, &jpeg, &size, subsampling, 90, 0);
    std::vector<uint8_t> file(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return file;
}

void Register(const char* name, int subsampling, TPixFormat format)
{
    static std::vector<std::vector<uint8_t>> files;
    files.reserve(8);
    files.push_back(Picture(subsampling));
    const std::vector<uint8_t>* file = &files.back();
    const std::string key = std::string("LoadJpeg/1024x1024/") + name + (format == pf24_888 ? "-bgr" : "-bgrx");
    pendar::bench::Register(key + "/ours", [file, format](benchmark::State& state) {
        TMemoryStream s(file->data(), file->size());
        for (auto _ : state) {
            s.Seek(0, soFromBeginning);
            uchar* pixels = nullptr;
            int w = 0, h = 0;
            if (!LoadJpeg(&s, &pixels, &w, &h, format))
                state.SkipWithError("LoadJpeg failed");
            pendar::FreePixelBlock(pixels);
        }
    });
    pendar::bench::Register(key + "/tjDecompress2", [file, format](benchmark::State& state) {
        tjhandle tj = tjInitDecompress();
        const int pixelFormat = format == pf24_888 ? TJPF_BGR : TJPF_BGRX;
        for (auto _ : state) {
            // The engine hands out a zeroed block: so does this.
            uint8_t* pixels = pendar::AllocPixelBlock(size_t(kSide) * kSide * tjPixelSize[pixelFormat]);
            if (tjDecompress2(tj, file->data(), file->size(), pixels, kSide, 0, kSide, pixelFormat, 0) != 0)
                state.SkipWithError("tjDecompress2 failed");
            pendar::FreePixelBlock(pixels);
        }
        tjDestroy(tj);
    });
}

} // namespace

int main(int argc, char** argv)
{
    Register("420", TJSAMP_420, pf24_888);
    Register("444", TJSAMP_444, pf24_888);
    Register("420", TJSAMP_420, pf32_888);
    return pendar::bench::RunWithRatios(argc, argv, 0.85);
}
