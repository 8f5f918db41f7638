// Speed of the pack codecs against their peers on the same bytes: the
// block-sorting codec against libbz2 (compress at level 9), the dictionary
// codec against zlib (level 6). Each corpus is 1 MiB: generated text, a
// binary (this program's own file), and short-period data with rare changes.
// After the runs a table prints each speed ratio (ours / peer, higher is
// better for us) and the compression ratios (coded / plain) beside it.
#include "pack/Zobrisca.h"
#include "pack/Zolunet.h"

#include <benchmark/benchmark.h>
#include <bzlib.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
constexpr size_t kCorpusSize = 1 << 20;

Bytes TextCorpus()
{
    static const char* words[] = {"the", "clock", "shows", "a", "skin", "with", "its", "voice", "and", "mail",
                                  "arrives", "today", "schedule", "balloon", "character", "of", "to", "in",
                                  "window", "picture", "time", "is", "set", "from", "server", "every", "week"};
    std::mt19937 rng(1);
    std::geometric_distribution<int> pick(0.15);
    std::string text;
    while (text.size() < kCorpusSize) {
        text += words[pick(rng) % (sizeof words / sizeof words[0])];
        text += rng() % 12 == 0 ? ".\r\n" : " ";
    }
    return Bytes(text.begin(), text.begin() + kCorpusSize);
}

Bytes BinaryCorpus()
{
    std::ifstream self("/proc/self/exe", std::ios::binary);
    Bytes b((std::istreambuf_iterator<char>(self)), std::istreambuf_iterator<char>());
    while (b.size() < kCorpusSize && !b.empty())
        b.insert(b.end(), b.begin(), b.begin() + static_cast<long>(std::min(b.size(), kCorpusSize - b.size())));
    b.resize(kCorpusSize);
    return b;
}

Bytes RepetitiveCorpus()
{
    std::mt19937 rng(2);
    Bytes b(kCorpusSize);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = "abc"[i % 3];
    for (int i = 0; i < 64; ++i)
        b[rng() % b.size()] = static_cast<unsigned char>(rng());
    return b;
}

const Bytes& Corpus(int which)
{
    static const Bytes corpora[3] = {TextCorpus(), BinaryCorpus(), RepetitiveCorpus()};
    return corpora[which];
}

const char* kCorpusNames[3] = {"text", "binary", "repetitive"};

template <typename Codec>
Bytes OurEncode(const Bytes& plain)
{
    size_t pos = 0;
    Bytes out;
    out.reserve(plain.size() * 2);
    Codec codec;
    int n = static_cast<int>(plain.size());
    bool ok = codec.Encode(
        n, 2 * n,
        [&](unsigned char* buf, int len) {
            std::memcpy(buf, plain.data() + pos, static_cast<size_t>(len));
            pos += static_cast<size_t>(len);
            return true;
        },
        [&](const unsigned char* buf, int len) {
            out.insert(out.end(), buf, buf + len);
            return true;
        },
        nullptr);
    return ok ? out : Bytes();
}

template <typename Codec>
bool OurDecode(const Bytes& coded, Bytes& out)
{
    size_t pos = 0;
    size_t at = 0;
    return Codec().Decode(
        static_cast<int>(coded.size()), static_cast<int>(out.size()),
        [&](unsigned char* buf, int len) {
            std::memcpy(buf, coded.data() + pos, static_cast<size_t>(len));
            pos += static_cast<size_t>(len);
            return true;
        },
        [&](const unsigned char* buf, int len) {
            std::memcpy(out.data() + at, buf, static_cast<size_t>(len));
            at += static_cast<size_t>(len);
            return true;
        },
        nullptr);
}

Bytes Bz2Encode(const Bytes& plain)
{
    Bytes out(plain.size() + plain.size() / 100 + 600);
    unsigned len = static_cast<unsigned>(out.size());
    BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &len,
                             const_cast<char*>(reinterpret_cast<const char*>(plain.data())),
                             static_cast<unsigned>(plain.size()), 9, 0, 0);
    out.resize(len);
    return out;
}

bool Bz2Decode(const Bytes& coded, Bytes& out)
{
    unsigned len = static_cast<unsigned>(out.size());
    return BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &len,
                                      const_cast<char*>(reinterpret_cast<const char*>(coded.data())),
                                      static_cast<unsigned>(coded.size()), 0, 0) == BZ_OK;
}

Bytes ZlibEncode(const Bytes& plain)
{
    uLongf len = compressBound(plain.size());
    Bytes out(len);
    compress2(out.data(), &len, plain.data(), plain.size(), 6);
    out.resize(len);
    return out;
}

bool ZlibDecode(const Bytes& coded, Bytes& out)
{
    uLongf len = out.size();
    return uncompress(out.data(), &len, coded.data(), coded.size()) == Z_OK;
}

// Compression ratio per benchmark family and corpus, for the table.
std::map<std::string, double>& Ratios()
{
    static std::map<std::string, double> ratios;
    return ratios;
}

using EncodeFn = Bytes (*)(const Bytes&);
using DecodeFn = bool (*)(const Bytes&, Bytes&);

void RunEncode(benchmark::State& state, const char* family, EncodeFn encode)
{
    const Bytes& plain = Corpus(static_cast<int>(state.range(0)));
    Bytes coded;
    for (auto _ : state) {
        coded = encode(plain);
        benchmark::DoNotOptimize(coded.data());
    }
    if (coded.empty())
        state.SkipWithError("encoding failed");
    double ratio = static_cast<double>(coded.size()) / static_cast<double>(plain.size());
    state.counters["ratio"] = ratio;
    Ratios()[std::string(family) + "/" + kCorpusNames[state.range(0)]] = ratio;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}

void RunDecode(benchmark::State& state, const char* family, EncodeFn encode, DecodeFn decode)
{
    const Bytes& plain = Corpus(static_cast<int>(state.range(0)));
    Bytes coded = encode(plain);
    Ratios()[std::string(family) + "/" + kCorpusNames[state.range(0)]] =
        static_cast<double>(coded.size()) / static_cast<double>(plain.size());
    Bytes out(plain.size());
    for (auto _ : state) {
        if (!decode(coded, out))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(out.data());
    }
    if (out != plain)
        state.SkipWithError("decoded bytes differ");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}

void BriscaEncode(benchmark::State& s) { RunEncode(s, "brisca", OurEncode<TBriscaEncode>); }
void Bz2Compress9(benchmark::State& s) { RunEncode(s, "bz2", Bz2Encode); }
void BriscaDecode(benchmark::State& s) { RunDecode(s, "brisca", OurEncode<TBriscaEncode>, OurDecode<TBriscaDecode>); }
void Bz2Decompress(benchmark::State& s) { RunDecode(s, "bz2", Bz2Encode, Bz2Decode); }
void LunetEncode(benchmark::State& s) { RunEncode(s, "lunet", OurEncode<TLunetEncode>); }
void ZlibCompress6(benchmark::State& s) { RunEncode(s, "zlib", ZlibEncode); }
void LunetDecode(benchmark::State& s) { RunDecode(s, "lunet", OurEncode<TLunetEncode>, OurDecode<TLunetDecode>); }
void ZlibUncompress(benchmark::State& s) { RunDecode(s, "zlib", ZlibEncode, ZlibDecode); }

#define PACK_BENCH(fn) BENCHMARK(fn)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)
PACK_BENCH(BriscaEncode);
PACK_BENCH(Bz2Compress9);
PACK_BENCH(BriscaDecode);
PACK_BENCH(Bz2Decompress);
PACK_BENCH(LunetEncode);
PACK_BENCH(ZlibCompress6);
PACK_BENCH(LunetDecode);
PACK_BENCH(ZlibUncompress);

// Remembers each run's time per iteration while printing as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (!r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedCPUTime(); // the machine may be shared
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void PrintTable(const RecordingReporter& reporter)
{
    struct Pair {
        const char* what;
        const char* ours;
        const char* peer;
        const char* ourRatio;
        const char* peerRatio;
        const char* goal;
    } pairs[] = {
        {"block-sorting encode vs bzip2 -9", "BriscaEncode", "Bz2Compress9", "brisca", "bz2",
         ">= 1.0 on text, >= 0.5 on repetitive"},
        {"block-sorting decode vs bzip2", "BriscaDecode", "Bz2Decompress", "brisca", "bz2", ">= 1.0"},
        {"dictionary encode vs zlib -6", "LunetEncode", "ZlibCompress6", "lunet", "zlib", ">= 1.0"},
        {"dictionary decode vs zlib", "LunetDecode", "ZlibUncompress", "lunet", "zlib", ">= 1.0"},
    };
    std::printf("\n%-36s %-11s %11s %12s %12s   goal\n", "speed ratio (ours / peer)", "corpus", "speed", "our size",
                "peer size");
    for (const Pair& p : pairs) {
        for (int c = 0; c < 3; ++c) {
            std::string suffix = "/" + std::to_string(c);
            auto ours = reporter.times.find(std::string(p.ours) + suffix);
            auto peer = reporter.times.find(std::string(p.peer) + suffix);
            if (ours == reporter.times.end() || peer == reporter.times.end())
                continue;
            std::string key = std::string("/") + kCorpusNames[c];
            std::printf("%-36s %-11s %10.2fx %11.4f %12.4f   %s\n", p.what, kCorpusNames[c], peer->second / ours->second,
                        Ratios()[p.ourRatio + key], Ratios()[p.peerRatio + key], p.goal);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
