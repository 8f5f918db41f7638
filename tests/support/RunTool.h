// Runs a program (pendar-tool unless said otherwise) with arguments and
// optional standard input; returns its exit code and what it printed.
#pragma once

#include "support/TempDir.h"

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pendar::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// `argv[0]` is the program's path.
inline ToolRun RunProgram(const std::vector<std::string>& argv, const std::string& input = "")
{
    TempDir dir;
    dir.Write("in", input);
    std::string command;
    for (const auto& a : argv)
        command += (command.empty() ? "" : " ") + ShellQuote(a);
    command += " <" + ShellQuote(dir.File("in")) + " >" + ShellQuote(dir.File("out")) + " 2>" +
               ShellQuote(dir.File("err"));
    int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = dir.Read("out");
    run.err = dir.Read("err");
    return run;
}

#ifdef PENDAR_TOOL_BIN
inline ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "")
{
    std::vector<std::string> argv = {PENDAR_TOOL_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, input);
}
#endif

} // namespace pendar::test
