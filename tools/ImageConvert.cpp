// pendar-tool image convert: decodes a picture through the raster engine and
// writes it as a PNG with the engine's writer, alpha kept. BMP, PNG and JPEG
// are recognised by their signatures; GNY has none and is read only when a
// descrambling table is given and no signature matches.
#include "CommandOptions.h"
#include "ToolCommand.h"

#include "port/AtomicFile.h"
#include "port/Stream.h"
#include "raster/BmpLoader.h"
#include "raster/GnyLoader.h"
#include "raster/JpegLoader.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pendar::tool;
using pendar::TPixelBlock;

constexpr const char* kUsage = "image convert IN OUT.png [--gny-table FILE]";

int Usage(const std::string& why)
{
    std::fprintf(stderr, "pendar-tool image: %s\nusage: pendar-tool %s\n", why.c_str(), kUsage);
    return kExitUsage;
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "pendar-tool image: %s\n", why.c_str());
    return kExitFailure;
}

enum class Kind { Bmp, Png, Jpeg, Gny, Unknown };

Kind KindOf(const TMemoryStream& file, bool haveTable)
{
    const std::vector<uint8_t>& b = file.Bytes();
    auto starts = [&](std::string_view sig) {
        return b.size() >= sig.size() && std::memcmp(b.data(), sig.data(), sig.size()) == 0;
    };
    if (starts("BM"))
        return Kind::Bmp;
    if (starts("\x89PNG\r\n\x1a\n"))
        return Kind::Png;
    if (starts("\xFF\xD8\xFF"))
        return Kind::Jpeg;
    return haveTable ? Kind::Gny : Kind::Unknown;
}

// A decoded picture: 24-bit pixels and, for a PNG with alpha, the plane.
struct Picture {
    TPixelBlock pixels;
    TPixelBlock alpha;
    int width = 0;
    int height = 0;
};

bool Decode(TMemoryStream& file, Kind kind, const std::vector<uint8_t>& table, Picture& p)
{
    uchar* pixels = nullptr;
    uchar* alpha = nullptr;
    bool ok = false;
    switch (kind) {
    case Kind::Bmp: ok = LoadBmp(&file, &pixels, &p.width, &p.height, pf24_888); break;
    case Kind::Png: {
        const bool withAlpha = ChkChannelPng(&file) == 4;
        file.Seek(0, soFromBeginning);
        ok = LoadPng(&file, &pixels, withAlpha ? &alpha : nullptr, &p.width, &p.height, pf24_888);
        break;
    }
    case Kind::Jpeg: ok = LoadJpeg(&file, &pixels, &p.width, &p.height, pf24_888); break;
    case Kind::Gny: ok = LoadGny(&file, &pixels, &p.width, &p.height, pf24_888, table.data()); break;
    case Kind::Unknown: break;
    }
    p.pixels.reset(pixels);
    p.alpha.reset(alpha);
    return ok;
}

int ImageCommand(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] != "convert")
        return Usage("the only subcommand is convert");
    std::vector<std::string> files;
    std::vector<std::string> rest;
    // Options (each with its value) may come anywhere after "convert".
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            rest.push_back(args[i]);
            if (i + 1 < args.size())
                rest.push_back(args[++i]);
        } else {
            files.push_back(args[i]);
        }
    }
    auto options = ParseOptions(rest, {"--gny-table"}, {});
    if (!options)
        return Usage("unknown, repeated or incomplete options");
    if (files.size() != 2)
        return Usage("IN and OUT.png are needed");

    std::vector<uint8_t> table;
    if (options->Has("--gny-table")) {
        TMemoryStream t;
        if (!t.LoadFromFile(options->values.at("--gny-table")) || t.Size() != 256)
            return Usage(options->values.at("--gny-table") + " is not a 256-byte table");
        table = t.Bytes();
    }
    TMemoryStream file;
    if (!file.LoadFromFile(files[0]))
        return Usage("cannot read " + files[0]);
    const Kind kind = KindOf(file, !table.empty());
    if (kind == Kind::Unknown)
        return Fail(files[0] + " is not a BMP, PNG or JPEG picture (a GNY file needs --gny-table)");
    Picture p;
    if (!Decode(file, kind, table, p))
        return Fail("cannot decode " + files[0]);
    TMemoryStream png;
    if (!SavePng(&png, p.pixels.get(), p.alpha.get(), p.width, p.height, pf24_888))
        return Fail("cannot encode " + files[1]);
    std::string error;
    const auto& bytes = png.Bytes();
    if (!port::WriteFileAtomically(files[1], std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                   0644, &error))
        return Fail("cannot write " + files[1] + ": " + error);
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("image", kUsage, ImageCommand);
