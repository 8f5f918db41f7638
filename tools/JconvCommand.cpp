// pendar-tool jconv: standard input to standard output through the
// Japanese code conversion.
#include "CommandOptions.h"
#include "StandardInput.h"
#include "ToolCommand.h"

#include "mail/Pdjpcode.h"

#include <cstdio>
#include <optional>

namespace {

std::optional<int> EncodingId(const std::string& name, bool source)
{
    if (name == "auto" && source)
        return kcAuto;
    if (name == "sjis")
        return kcSjis;
    if (name == "jis")
        return kcJis;
    if (name == "euc")
        return kcEuc;
    return std::nullopt;
}

int RunJconv(const std::vector<std::string>& args)
{
    using namespace pendar::tool;
    auto options = ParseOptions(args, {"--from", "--to"}, {"--crlf"});
    std::optional<int> from = options && options->Has("--from") ? EncodingId(options->values["--from"], true)
                                                                 : std::nullopt;
    std::optional<int> to = options && options->Has("--to") ? EncodingId(options->values["--to"], false)
                                                             : std::nullopt;
    if (!from || !to) {
        std::fprintf(stderr, "usage: pendar-tool jconv --from auto|sjis|jis|euc --to sjis|jis|euc [--crlf]\n");
        return kExitUsage;
    }
    std::string out = ConvertKanjiCode(ReadStandardInput(), *from, *to, options->Flag("--crlf"));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("jconv", "jconv --from auto|sjis|jis|euc --to sjis|jis|euc [--crlf]  convert stdin",
                    RunJconv);
