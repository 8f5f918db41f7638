// pendar-tool subcommands register themselves here: one .cpp file per
// subcommand holds its code and a PENDAR_TOOL_COMMAND line, so adding a
// subcommand touches no shared file.
#pragma once

#include <string>
#include <vector>

namespace pendar::tool {

// Exit codes every subcommand uses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// args: the words after the subcommand's name.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage; // one line, shown by "pendar-tool help"
    CommandFn run;
};

void Register(const Command& command);
const std::vector<Command>& Commands();

struct Registrar {
    explicit Registrar(const Command& command) { Register(command); }
};

} // namespace pendar::tool

#define PENDAR_TOOL_CONCAT2(a, b) a##b
#define PENDAR_TOOL_CONCAT(a, b) PENDAR_TOOL_CONCAT2(a, b)
#define PENDAR_TOOL_COMMAND(name, usage, fn)                                                                  \
    static const ::pendar::tool::Registrar PENDAR_TOOL_CONCAT(pendar_tool_registrar_, __LINE__){               \
        ::pendar::tool::Command{name, usage, fn}}
