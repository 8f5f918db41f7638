// pendar-tool skin check PATH: loads a skin folder or pack with the
// application's skin loader and prints its description and what it loaded.
#include "EscapedText.h"
#include "ToolCommand.h"

#include "app/SkinFiles.h"
#include "app/SkinKeys.h"
#include "app/SkinLoader.h"
#include "port/Cp932.h"

#include <cstdio>

namespace pendar::tool {

namespace {

constexpr const char* kUsage = "usage: pendar-tool skin check PATH   (a skin folder or a .Pak)\n";

int RunCheck(const std::string& path)
{
    std::optional<TSkinSource> source = SkinSourceFromPath(path);
    if (!source) {
        std::fprintf(stderr, "%s: no such skin folder or pack\n", path.c_str());
        return kExitFailure;
    }
    TSkinLoader loader;
    TSkinInfo skin;
    const SkinOpen step = loader.Open(*source, skin);
    if (step != SkinOpen::Opened) {
        // The failure text and, on a line of its own, the file and reason.
        std::string error = SkinOpenFailureText(step);
        if (!loader.Failure().empty())
            error += "\n" + port::Cp932ToUtf8(loader.Failure());
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailure;
    }
    for (const auto& [key, value] : DescribeSkin(skin))
        std::printf("%s=%s\n", key.c_str(), EscapedText(value).c_str());
    std::printf("pictures %d\nanimations %d\nclicks %d\nrandomwavs %d\n", skin.pictureCount, skin.animeCount,
                skin.clickCount, skin.randomWavCount);
    std::printf("picture1 %dx%d\n", loader.Picture(0).Width(), loader.Picture(0).Height());
    std::printf("balloon %dx%d\n", loader.Balloon().Width(), loader.Balloon().Height());
    return kExitOk;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "check") {
        std::fprintf(stderr, "%s", kUsage);
        return kExitUsage;
    }
    return RunCheck(args[1]);
}

} // namespace

} // namespace pendar::tool

PENDAR_TOOL_COMMAND("skin", "skin check PATH  (loads a skin folder or pack, prints its description)",
                    pendar::tool::Run);
