// pendar-tool md5 TEXT: the MD5 digest of the argument's bytes as given.
#include "ToolCommand.h"

#include "mail/Zomd5.h"

#include <cstdio>

namespace {

int RunMd5(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pendar-tool md5 TEXT\n");
        return pendar::tool::kExitUsage;
    }
    std::printf("%s\n", pendar::Md5Hex(args[0]).c_str());
    return pendar::tool::kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("md5", "md5 TEXT                      lower-case hex MD5 digest of TEXT", RunMd5);
