// pendar-tool pak: lists, extracts, verifies, builds and changes packs.
#include "PakShared.h"
#include "ToolCommand.h"

#include "port/Cp932.h"

#include <cstdio>

namespace pendar::tool::pak {

namespace {

constexpr const char* kUsage =
    "usage: pendar-tool pak list PAK\n"
    "       pendar-tool pak extract PAK NAME [OUT]\n"
    "       pendar-tool pak verify PAK\n"
    "       pendar-tool pak create PAK [--codec stored|complement|dict|bs32k|bs8k|bs1k] [--smart] "
    "[--name NAME] FILE...\n"
    "       pendar-tool pak add PAK [same options] FILE...\n"
    "       pendar-tool pak delete PAK NAME\n";

int Run(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage("missing subcommand");
    Args rest(args.begin() + 1, args.end());
    PrintedMessageBoxes boxes;
    static const struct {
        const char* name;
        int (*run)(const Args&);
    } subcommands[] = {{"list", RunList},     {"extract", RunExtract}, {"verify", RunVerify},
                       {"create", RunCreate}, {"add", RunAdd},         {"delete", RunDelete}};
    for (const auto& sub : subcommands)
        if (args[0] == sub.name)
            return sub.run(rest);
    return Usage("unknown subcommand '" + args[0] + "'");
}

} // namespace

std::optional<std::string> NameFromArgument(std::string_view utf8)
{
    return port::Utf8ToCp932Strict(utf8);
}

std::string NameForOutput(std::string_view cp932)
{
    return port::Cp932ToUtf8(cp932);
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "pendar-tool pak: %s\n", what.c_str());
    return kExitFailure;
}

int Usage(const std::string& what)
{
    std::fprintf(stderr, "pendar-tool pak: %s\n%s", what.c_str(), kUsage);
    return kExitUsage;
}

port::MessageResult PrintedMessageBoxes::Show(std::string_view text, std::string_view, port::MessageButtons,
                                               port::MessageIcon)
{
    Fail(port::Cp932ToUtf8(text));
    return port::MessageResult::Ok;
}

} // namespace pendar::tool::pak

PENDAR_TOOL_COMMAND("pak", "pak list|extract|verify|create|add|delete PAK ...  (packs; 'pak' alone for details)",
                    pendar::tool::pak::Run);
