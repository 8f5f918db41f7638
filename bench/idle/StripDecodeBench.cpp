// What starting an animation costs now that strips are decoded when their
// animation starts: one strip of the sample skin taken out of its pack
// (decompressed) and decoded into a pixel buffer, as the skin loader does.
// The counter "share of a 600 ms frame" is that time against the time one frame
// of a delay-2 animation stays on the screen.
#include "pack/Zopack.h"
#include "raster/ZoRGBBits.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void DecodeStrip(benchmark::State& state, const char* name)
{
    TZoPack pack;
    if (!pack.OpenPack(SOREL_PAK)) {
        state.SkipWithError("the sample skin's pack is missing");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<TStream> stream = pack.ZoMakeStream(name);
        TZoRGBBits strip;
        if (!stream || !strip.DrawBmpStream(stream.get(), 0, 0)) {
            state.SkipWithError("the strip does not decode");
            return;
        }
        benchmark::DoNotOptimize(strip.Bits());
    }
    // Seconds per decode over 0.6 s: the share of one frame's time.
    state.counters["share of a 600 ms frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(DecodeStrip, Blink, "Blink.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeStrip, Surprise, "Surprise.bmp")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
