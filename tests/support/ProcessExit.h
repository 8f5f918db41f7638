// Waiting for a child process the test started.
#pragma once

#include <chrono>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>

namespace pendar::test {

// Waits for the process; returns its exit code (128 + the signal when a
// signal ended it), or -1 after the time-out.
inline int WaitFor(pid_t pid, std::chrono::milliseconds timeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

} // namespace pendar::test
