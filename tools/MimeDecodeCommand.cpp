// pendar-tool mime-decode: each line of standard input through the header
// decoder, one output line each.
#include "EscapedText.h"
#include "StandardInput.h"
#include "ToolCommand.h"

#include "mail/Pdmime.h"

#include <cstdio>
#include <string_view>

namespace {

int RunMimeDecode(const std::vector<std::string>& args)
{
    if (!args.empty()) {
        std::fprintf(stderr, "usage: pendar-tool mime-decode < lines\n");
        return pendar::tool::kExitUsage;
    }
    std::string input = pendar::tool::ReadStandardInput();
    std::string_view rest = input;
    while (!rest.empty()) {
        size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string text = pendar::tool::EscapedText(DecodeMimeHeader(line));
        std::printf("%s\n", text.c_str());
    }
    return pendar::tool::kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("mime-decode", "mime-decode < LINES           decode encoded words in each header line",
                    RunMimeDecode);
