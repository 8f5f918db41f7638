// pendar-tool skin check PATH: loads a skin folder or pack as the
// application does and prints its description and what it loaded.
#include "EscapedText.h"
#include "SkinToolForm.h"
#include "ToolCommand.h"

#include "app/SkinKeys.h"

#include <cstdio>

namespace pendar::tool {

namespace {

constexpr const char* kUsage = "usage: pendar-tool skin check PATH   (a skin folder or a .Pak)\n";

int RunCheck(const std::string& path)
{
    NoWindow view;
    SkinToolForm tool(view, port::LocalTime{});
    std::string error;
    if (!tool.Open(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailure;
    }
    TMainForm& form = tool.Form();
    const TSkinInfo& skin = form.SkinInfo();
    for (const auto& [key, value] : DescribeSkin(skin))
        std::printf("%s=%s\n", key.c_str(), EscapedText(value).c_str());
    std::printf("pictures %d\nanimations %d\nclicks %d\nrandomwavs %d\n", skin.pictureCount, skin.animeCount,
                skin.clickCount, skin.randomWavCount);
    std::printf("picture1 %dx%d\n", form.Picture(0).Width(), form.Picture(0).Height());
    std::printf("balloon %dx%d\n", form.BalloonPicture().Width(), form.BalloonPicture().Height());
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
