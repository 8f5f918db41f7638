// Alpha blending of 1024 x 1024 32-bit pictures, row by row as the pixel
// buffers do it: through each pixel's own alpha byte, through an 8-bit alpha
// plane, and at one opacity for the whole picture. Each case runs the fast
// (SSE2) routine, the portable one and pixman's OVER on the same buffers
// (source pixels in the alpha byte case, a solid mask for the opacity); the
// fast routine is held to 4 times the portable one and 0.8 times pixman.
#include "RatioReporter.h"
#include "raster/RGBBlend.h"

#include <pixman.h>

#include <random>
#include <vector>

namespace {

constexpr int kSide = 1024;
constexpr int kStride = kSide * 4;

struct Pictures {
    std::vector<uint8_t> dst = Random(1, size_t(kStride) * kSide);
    std::vector<uint8_t> src = Random(2, size_t(kStride) * kSide);
    std::vector<uint8_t> alpha = Random(3, size_t(kSide) * kSide);

    static std::vector<uint8_t> Random(unsigned seed, size_t n)
    {
        std::mt19937 rng(seed);
        std::vector<uint8_t> v(n);
        for (auto& b : v)
            b = uint8_t(rng());
        return v;
    }
};

Pictures& Shared()
{
    static Pictures p;
    return p;
}

template <typename Row>
void Rows(benchmark::State& state, Row row)
{
    Pictures& p = Shared();
    for (auto _ : state) {
        for (int y = 0; y < kSide; ++y)
            row(p.dst.data() + size_t(y) * kStride, p.src.data() + size_t(y) * kStride,
                p.alpha.data() + size_t(y) * kSide);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}

pixman_image_t* Bits(pixman_format_code_t format, std::vector<uint8_t>& bytes, int stride)
{
    return pixman_image_create_bits(format, kSide, kSide, reinterpret_cast<uint32_t*>(bytes.data()), stride);
}

// OVER of a source (and mask) onto the destination, as pixman does it.
void PixmanOver(benchmark::State& state, pixman_image_t* src, pixman_image_t* mask)
{
    Pictures& p = Shared();
    pixman_image_t* dst = Bits(PIXMAN_x8r8g8b8, p.dst, kStride);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dst);
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}

void Register(const std::string& key, TRGBMaskProc fast, TRGBMaskProc portable)
{
    pendar::bench::Register(key + "/ours", [=](benchmark::State& s) {
        Rows(s, [=](uint8_t* d, const uint8_t* src, const uint8_t* a) { fast(d, src, a, kSide); });
    });
    pendar::bench::Register(key + "/portable", [=](benchmark::State& s) {
        Rows(s, [=](uint8_t* d, const uint8_t* src, const uint8_t* a) { portable(d, src, a, kSide); });
    });
}

void* InChannelFast(void* d, const void* s, const void*, unsigned n) { return RGBAlphaInChannel_MMX(d, s, n); }
void* InChannelPlain(void* d, const void* s, const void*, unsigned n) { return RGBAlphaInChannel(d, s, n); }
void* OpacityFast(void* d, const void* s, const void*, unsigned n) { return RGBAlpha32_888_MMX(d, d, s, n); }
void* OpacityPlain(void* d, const void* s, const void*, unsigned n) { return RGBAlpha32_888(d, d, s, n); }

constexpr int kOpacity = 77; // of 128

} // namespace

int main(int argc, char** argv)
{
    SetAlphaParam(kOpacity);
    Register("AlphaBlend32/alpha-byte", InChannelFast, InChannelPlain);
    pendar::bench::Register("AlphaBlend32/alpha-byte/pixman OVER", [](benchmark::State& s) {
        pixman_image_t* src = Bits(PIXMAN_a8r8g8b8, Shared().src, kStride);
        PixmanOver(s, src, nullptr);
        pixman_image_unref(src);
    });
    Register("AlphaBlend32/alpha-plane", RGBAlphaOutChannel32_MMX, RGBAlphaOutChannel32);
    pendar::bench::Register("AlphaBlend32/alpha-plane/pixman OVER", [](benchmark::State& s) {
        pixman_image_t* src = Bits(PIXMAN_x8r8g8b8, Shared().src, kStride);
        pixman_image_t* mask = Bits(PIXMAN_a8, Shared().alpha, kSide);
        PixmanOver(s, src, mask);
        pixman_image_unref(mask);
        pixman_image_unref(src);
    });
    Register("AlphaBlend32/opacity", OpacityFast, OpacityPlain);
    pendar::bench::Register("AlphaBlend32/opacity/pixman OVER", [](benchmark::State& s) {
        pixman_image_t* src = Bits(PIXMAN_x8r8g8b8, Shared().src, kStride);
        const pixman_color_t opacity{0, 0, 0, uint16_t(kOpacity * 2 * 257)};
        pixman_image_t* mask = pixman_image_create_solid_fill(&opacity);
        PixmanOver(s, src, mask);
        pixman_image_unref(mask);
        pixman_image_unref(src);
    });
    return pendar::bench::RunWithRatios(argc, argv, 0.8, {{"portable", 4.0}});
}
