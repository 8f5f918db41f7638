// pendar-tool rasterdump: runs one of the raster engine's image loaders over
// a memory stream of a file and reports what it returned, for tests and for
// looking into pictures that will not load.
//
// stdout is one line: "ok W H" (the loader returned true), "fail" (false,
// width and height untouched) or "fail W H" (false, but the loader wrote
// them); for chkpng, "channels N". Without --out or --alpha-out a loader
// reads the header only. Exit status 0 whenever the loader ran, 2 for a
// usage error or an input that cannot be read, 1 when an output file cannot
// be written.
#include "CommandOptions.h"
#include "ToolCommand.h"

#include "port/Stream.h"
#include "raster/BmpLoader.h"
#include "raster/GnyLoader.h"
#include "raster/JpegLoader.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace pendar::tool;
using pendar::TPixelBlock;

constexpr const char* kUsage = "rasterdump LOADER [--format FMT] [--probe] [--out FILE] [--alpha-out FILE] "
                               "[--palette-out FILE] [--table FILE] [--offset N] INPUT";

enum Option : unsigned {
    kFormat = 1 << 0,
    kProbe = 1 << 1,
    kOut = 1 << 2,
    kAlphaOut = 1 << 3,
    kPaletteOut = 1 << 4,
    kTable = 1 << 5,
    kOffset = 1 << 6,
};

struct Request {
    TPixFormat format = pf24_888;
    bool probe = false;
    std::string out;
    std::string alphaOut;
    std::string paletteOut;
    std::string table;
    std::vector<uint8_t> tableBytes; // the 256 bytes of --table
    int64_t offset = 0;
    unsigned given = 0; // the options on the command line
    std::string input;

    bool WantsOut() const { return !probe && !out.empty(); }
    bool WantsAlpha() const { return !probe && !alphaOut.empty(); }
    bool WantsPalette() const { return !probe && !paletteOut.empty(); }
};

// What a loader handed back: dimensions and the blocks it filled.
struct Result {
    bool ok = false;
    int width = 0;
    int height = 0;
    TPixelBlock out;
    size_t outBytes = 0;
    TPixelBlock palette;
    size_t paletteBytes = 0;
    TPixelBlock alpha;
    size_t alphaBytes = 0;
    int channels = -1; // chkpng's answer
};

struct Loader {
    const char* name;
    unsigned accepts;
    void (*run)(TStream& s, const Request& rq, Result& r);
};

size_t Area(const Result& r, int bytesPerPixel)
{
    return size_t(r.width) * size_t(r.height) * size_t(bytesPerPixel);
}

// Takes the pixels a loader returned in the requested format.
void TakePixels(Result& r, uchar* pixels, const Request& rq)
{
    r.out.reset(pixels);
    r.outBytes = r.out ? Area(r, FormatAndDepthTable[rq.format]) : 0;
}

void RunBmp(TStream& s, const Request& rq, Result& r)
{
    uchar* pixels = nullptr;
    r.ok = LoadBmp(&s, rq.WantsOut() ? &pixels : nullptr, &r.width, &r.height, rq.format);
    TakePixels(r, pixels, rq);
}

void RunAlpha(TStream& s, const Request& rq, Result& r)
{
    uchar* plane = nullptr;
    r.ok = LoadAlpha(&s, rq.WantsOut() ? &plane : nullptr, &r.width, &r.height);
    r.out.reset(plane);
    r.outBytes = r.out ? Area(r, 1) : 0;
}

void RunPalette(TStream& s, const Request& rq, Result& r)
{
    RGBQUAD* palette = nullptr;
    uchar* indices = nullptr;
    r.ok = LoadPalette(&s, rq.WantsPalette() ? &palette : nullptr, rq.WantsOut() ? &indices : nullptr, &r.width,
                       &r.height);
    r.palette.reset(reinterpret_cast<uint8_t*>(palette));
    r.paletteBytes = r.palette ? 256 * sizeof(RGBQUAD) : 0;
    r.out.reset(indices);
    r.outBytes = r.out ? Area(r, 1) : 0;
}

template <bool WhiteMatte>
void RunPng(TStream& s, const Request& rq, Result& r)
{
    uchar* pixels = nullptr;
    uchar* alpha = nullptr;
    uchar** pixelsOut = rq.WantsOut() ? &pixels : nullptr;
    uchar** alphaOut = rq.WantsAlpha() ? &alpha : nullptr;
    r.ok = WhiteMatte ? LoadPngWhiteMat(&s, pixelsOut, alphaOut, &r.width, &r.height, rq.format)
                      : LoadPng(&s, pixelsOut, alphaOut, &r.width, &r.height, rq.format);
    TakePixels(r, pixels, rq);
    r.alpha.reset(alpha);
    r.alphaBytes = r.alpha ? Area(r, 1) : 0;
}

void RunChkPng(TStream& s, const Request&, Result& r)
{
    r.channels = ChkChannelPng(&s);
    r.ok = true;
}

void RunJpeg(TStream& s, const Request& rq, Result& r)
{
    uchar* pixels = nullptr;
    r.ok = LoadJpeg(&s, rq.WantsOut() ? &pixels : nullptr, &r.width, &r.height, rq.format);
    TakePixels(r, pixels, rq);
}

void RunGny(TStream& s, const Request& rq, Result& r)
{
    uchar* pixels = nullptr;
    r.ok = LoadGny(&s, rq.WantsOut() ? &pixels : nullptr, &r.width, &r.height, rq.format, rq.tableBytes.data());
    TakePixels(r, pixels, rq);
}

const Loader kLoaders[] = {
    {"bmp", kFormat | kProbe | kOut | kOffset, RunBmp},
    {"alpha", kProbe | kOut | kOffset, RunAlpha},
    {"palette", kProbe | kOut | kPaletteOut | kOffset, RunPalette},
    {"png", kFormat | kProbe | kOut | kAlphaOut | kOffset, RunPng<false>},
    {"pngwm", kFormat | kProbe | kOut | kAlphaOut | kOffset, RunPng<true>},
    {"chkpng", kOffset, RunChkPng},
    {"jpeg", kFormat | kProbe | kOut | kOffset, RunJpeg},
    {"gny", kFormat | kProbe | kOut | kTable | kOffset, RunGny},
};

const std::pair<const char*, TPixFormat> kFormats[] = {
    {"pf16_565", pf16_565}, {"pf16_555", pf16_555}, {"pf16_5551", pf16_5551}, {"pf16_4444", pf16_4444},
    {"pf24_888", pf24_888}, {"pf32_888", pf32_888}, {"pf32_8888", pf32_8888},
};

int Usage(const std::string& why)
{
    std::fprintf(stderr, "pendar-tool rasterdump: %s\nusage: pendar-tool %s\n", why.c_str(), kUsage);
    return kExitUsage;
}

struct OptionName {
    const char* name;
    Option bit;
};

const OptionName kOptions[] = {
    {"--format", kFormat}, {"--probe", kProbe},   {"--out", kOut},       {"--alpha-out", kAlphaOut},
    {"--palette-out", kPaletteOut}, {"--table", kTable}, {"--offset", kOffset},
};

// Parses the words after LOADER: options, then INPUT. An empty string on
// success, else the reason.
std::string Parse(const std::vector<std::string>& args, Request& rq)
{
    if (args.size() < 2 || args.back().rfind("--", 0) == 0)
        return "INPUT is missing";
    rq.input = args.back();
    auto options = ParseOptions(std::vector<std::string>(args.begin() + 1, args.end() - 1),
                                {"--format", "--out", "--alpha-out", "--palette-out", "--table", "--offset"},
                                {"--probe"});
    if (!options)
        return "unknown, repeated or incomplete options";
    for (const OptionName& o : kOptions) {
        if (options->Has(o.name) || options->Flag(o.name))
            rq.given |= o.bit;
    }
    rq.probe = options->Flag("--probe");
    for (auto [name, file] : {std::pair{"--out", &rq.out}, std::pair{"--alpha-out", &rq.alphaOut},
                              std::pair{"--palette-out", &rq.paletteOut}, std::pair{"--table", &rq.table}}) {
        if (options->Has(name) && (*file = options->values.at(name)).empty())
            return std::string(name) + " needs a file name";
    }
    if (options->Has("--format")) {
        const std::string& text = options->values.at("--format");
        auto known = std::find_if(std::begin(kFormats), std::end(kFormats),
                                  [&](const auto& f) { return text == f.first; });
        if (known == std::end(kFormats))
            return "unknown format '" + text + "'";
        rq.format = known->second;
    }
    if (options->Has("--offset")) {
        auto offset = ParseNumber(options->values.at("--offset"), 0, 9999999999L);
        if (!offset)
            return "--offset needs a byte position";
        rq.offset = *offset;
    }
    return "";
}

bool WriteBlock(const std::string& path, const TPixelBlock& block, size_t bytes)
{
    if (path.empty() || !block)
        return true;
    TMemoryStream data(block.get(), bytes);
    if (data.SaveToFile(path))
        return true;
    std::fprintf(stderr, "pendar-tool rasterdump: cannot write %s\n", path.c_str());
    return false;
}

int RasterDump(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage("LOADER is missing");
    const Loader* loader = nullptr;
    for (const Loader& l : kLoaders) {
        if (args[0] == l.name)
            loader = &l;
    }
    if (!loader)
        return Usage("unknown loader '" + args[0] + "'");
    Request rq;
    if (std::string why = Parse(args, rq); !why.empty())
        return Usage(why);
    for (const OptionName& o : kOptions) {
        if ((rq.given & o.bit) && !(loader->accepts & o.bit))
            return Usage(std::string(o.name) + " does not apply to the " + loader->name + " loader");
    }
    if ((loader->accepts & kTable) && !(rq.given & kTable))
        return Usage(std::string("the ") + loader->name + " loader needs --table FILE");
    if (rq.given & kTable) {
        TMemoryStream table;
        if (!table.LoadFromFile(rq.table) || table.Size() != 256) {
            std::fprintf(stderr, "pendar-tool rasterdump: %s is not a 256-byte table\n", rq.table.c_str());
            return kExitUsage;
        }
        rq.tableBytes = table.Bytes();
    }
    TMemoryStream file;
    if (!file.LoadFromFile(rq.input)) {
        std::fprintf(stderr, "pendar-tool rasterdump: cannot read %s\n", rq.input.c_str());
        return kExitUsage;
    }

    // Width and height start at a marker; when a failing loader leaves the
    // marker, a second run with another marker tells whether it wrote it.
    auto run = [&](int marker) {
        Result r;
        r.width = r.height = marker;
        file.Seek(rq.offset, soFromBeginning);
        loader->run(file, rq, r);
        return r;
    };
    constexpr int kMarkerA = -0x5EEDBEEF;
    constexpr int kMarkerB = 0x5EEDBEEF;
    Result r = run(kMarkerA);
    if (r.channels >= 0) {
        std::printf("channels %d\n", r.channels);
        return kExitOk;
    }
    bool written = r.ok || r.width != kMarkerA || r.height != kMarkerA;
    if (!written) {
        Result again = run(kMarkerB);
        written = again.width != kMarkerB || again.height != kMarkerB;
    }

    if (r.ok)
        std::printf("ok %d %d\n", r.width, r.height);
    else if (written)
        std::printf("fail %d %d\n", r.width, r.height);
    else
        std::printf("fail\n");
    std::fflush(stdout);
    if (r.ok && !(WriteBlock(rq.out, r.out, r.outBytes) && WriteBlock(rq.alphaOut, r.alpha, r.alphaBytes) &&
                  WriteBlock(rq.paletteOut, r.palette, r.paletteBytes)))
        return kExitFailure;
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("rasterdump", kUsage, RasterDump);
