// Starting a helper program from a test: a server, a window manager's
// companion, a second process of the program under test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace pendar::test {

// Starts `argv` (a program found on PATH or by its path) with `env`
// ("NAME=value") added to the environment; its output dropped when
// `quiet`; `keepFd` stays open in it. It is told to end when the test ends.
// Its process id.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                   bool quiet = false, int keepFd = -1)
{
    pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (quiet) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    for (const std::string& e : env)
        ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (keepFd >= 0)
        ::fcntl(keepFd, F_SETFD, 0);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

} // namespace pendar::test
