// Row conversions of 1024-pixel rows (a picture strip's width). The ones that
// pack or unpack 16-bit pixels report their throughput; those that are plain
// copies are held against memcpy of the same bytes.
#include "RatioReporter.h"
#include "raster/PixelRows.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPixels = 1024;

void Convert(benchmark::State& state, TRGBCpyProc convert, int srcBytes, int dstBytes)
{
    std::vector<uint8_t> src(kPixels * size_t(srcBytes), 0x5A);
    std::vector<uint8_t> dst(kPixels * size_t(dstBytes));
    for (auto _ : state) {
        convert(dst.data(), src.data(), kPixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPixels * (srcBytes + dstBytes));
}

void Copy(benchmark::State& state, int bytesPerPixel)
{
    std::vector<uint8_t> src(kPixels * size_t(bytesPerPixel), 0x5A);
    std::vector<uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPixels * 2 * bytesPerPixel);
}

const char* const kNames[kPixFormatCount] = {"", "16_565", "16_555", "16_5551", "16_4444", "24_888", "32_888",
                                             "32_8888"};

} // namespace

int main(int argc, char** argv)
{
    struct Family {
        const char* name;
        const TRGBCpyProc* table;
        bool quad;
        bool to;
    } families[] = {
        {"RGBQUADcpyTo", RGBQUADcpyToProcTable, true, true},
        {"RGBQUADcpyFrom", RGBQUADcpyFromProcTable, true, false},
        {"RGBTRIPLEcpyTo", RGBTRIPLEcpyToProcTable, false, true},
        {"RGBTRIPLEcpyFrom", RGBTRIPLEcpyFromProcTable, false, false},
    };
    for (const Family& f : families) {
        for (int format = 1; format < kPixFormatCount; ++format) {
            const int rowBytes = f.quad ? 4 : 3;
            const int pixBytes = FormatAndDepthTable[format];
            const int src = f.to ? rowBytes : pixBytes;
            const int dst = f.to ? pixBytes : rowBytes;
            const TRGBCpyProc convert = f.table[format];
            std::string name = std::string(f.name) + kNames[format];
            if (src == dst) {
                // A plain copy: it must keep up with memcpy.
                std::string key = "copy/" + name;
                pendar::bench::Register(key + "/ours",
                                             [=](benchmark::State& s) { Convert(s, convert, src, dst); });
                pendar::bench::Register(key + "/memcpy", [=](benchmark::State& s) { Copy(s, src); });
            } else {
                pendar::bench::Register("convert/" + name,
                                             [=](benchmark::State& s) { Convert(s, convert, src, dst); });
            }
        }
    }
    return pendar::bench::RunWithRatios(argc, argv, 0.95);
}
