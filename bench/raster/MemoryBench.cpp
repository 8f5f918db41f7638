// The memory block routines against the C library, 64 B to 4 MiB. The 2- and
// 3-byte fills have no C library twin; they are measured against memset of
// the same number of bytes, the fastest a fill of that size can be.
#include "RatioReporter.h"
#include "raster/ZoMemory.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// One block per size, a little larger than the largest transfer so that the
// moves can overlap by an element.
struct Blocks {
    std::vector<uint8_t> a, b;
    explicit Blocks(size_t bytes) : a(bytes + 64, 1), b(bytes + 64, 2) {}
};

template <typename Fn>
void Measure(benchmark::State& state, size_t bytes, Fn fn)
{
    Blocks blocks(bytes);
    for (auto _ : state) {
        fn(blocks.a.data(), blocks.b.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void Register(const std::string& group, size_t bytes, const char* peer,
              void (*ours)(uint8_t*, uint8_t*, size_t), void (*theirs)(uint8_t*, uint8_t*, size_t))
{
    std::string key = group + "/" + std::to_string(bytes);
    pendar::bench::Register(key + "/ours", [=](benchmark::State& s) { Measure(s, bytes, ours); });
    pendar::bench::Register(key + "/" + peer, [=](benchmark::State& s) { Measure(s, bytes, theirs); });
}

} // namespace

int main(int argc, char** argv)
{
    for (size_t bytes = 64; bytes <= (size_t{4} << 20); bytes *= 4) {
        Register("ZoMemcpy", bytes, "memcpy", [](uint8_t* d, uint8_t* s, size_t b) { ZoMemcpy(d, s, unsigned(b)); },
                 [](uint8_t* d, uint8_t* s, size_t b) { std::memcpy(d, s, b); });
        Register("ZoMemcpyB", bytes, "memmove",
                 [](uint8_t* d, uint8_t*, size_t b) { ZoMemcpyB(d + 3, d, unsigned(b)); },
                 [](uint8_t* d, uint8_t*, size_t b) { std::memmove(d + 3, d, b); });
        Register("ZoMemset", bytes, "memset", [](uint8_t* d, uint8_t*, size_t b) { ZoMemset(d, 0x5A, unsigned(b)); },
                 [](uint8_t* d, uint8_t*, size_t b) { std::memset(d, 0x5A, b); });
        Register("ZoMemset2", bytes, "memset(same bytes)",
                 [](uint8_t* d, uint8_t*, size_t b) { ZoMemset2(d, 0x1234, unsigned(b / 2)); },
                 [](uint8_t* d, uint8_t*, size_t b) { std::memset(d, 0x5A, b); });
        Register("ZoMemset3", bytes, "memset(same bytes)",
                 [](uint8_t* d, uint8_t*, size_t b) { ZoMemset3(d, 0x123456, unsigned(b / 3)); },
                 [](uint8_t* d, uint8_t*, size_t b) { std::memset(d, 0x5A, b / 3 * 3); });
        Register("ZoMemset4", bytes, "wmemset",
                 [](uint8_t* d, uint8_t*, size_t b) { ZoMemset4(d, 0x12345678, unsigned(b / 4)); },
                 [](uint8_t* d, uint8_t*, size_t b) {
                     std::wmemset(reinterpret_cast<wchar_t*>(d), wchar_t(0x12345678), b / 4);
                 });
    }
    return pendar::bench::RunWithRatios(argc, argv, 0.95);
}
