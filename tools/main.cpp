// pendar-tool: the command line for skin authors, diagnostics and tests.
#include "ToolCommand.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace pendar::tool {

namespace {
std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}
} // namespace

void Register(const Command& command)
{
    Registry().push_back(command);
}

const std::vector<Command>& Commands()
{
    return Registry();
}

} // namespace pendar::tool

namespace {

void PrintUsage(FILE* out)
{
    std::fprintf(out, "usage: pendar-tool COMMAND [ARGS...]\n");
    for (const auto& c : pendar::tool::Commands())
        std::fprintf(out, "  %s\n", c.usage);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? pendar::tool::kExitUsage : pendar::tool::kExitOk;
    }
    for (const auto& c : pendar::tool::Commands()) {
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "pendar-tool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return pendar::tool::kExitUsage;
}
