// The real pendar in a portable install of its own, started as a user
// would start it, for the tests that run the program itself.
#pragma once

#include "support/OtherUser.h"
#include "support/ProcessExit.h"
#include "support/TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pendar::test {

using namespace std::chrono_literals;

// A portable install in a temporary folder: the binary beside a Data/
// folder with the sample skin, its own runtime folder for the instance lock
// and a home; Pendar's standard error goes to the file "err". As nobody, the
// whole install is nobody's and Pendar runs as nobody, so that file
// permissions count as they do for a user (root may read and write all).
class PortableInstall {
public:
    explicit PortableInstall(bool asNobody = false) : asNobody_(asNobody)
    {
        std::filesystem::copy_file(PENDAR_BIN, dir.File("pendar"));
        std::filesystem::create_directory(dir.File("Data"));
        std::filesystem::copy_file(SOREL_PAK, dir.File("Data/Sorel.Pak"));
        std::filesystem::create_directory(dir.File("home"));
        std::filesystem::create_directory(dir.File("run"));
        std::filesystem::permissions(dir.File("run"), std::filesystem::perms::owner_all);
        if (asNobody) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
                pendar::test::GiveToNobody(entry.path().string());
            pendar::test::GiveToNobody(dir.Path());
        }
    }

    // Starts pendar; `env` sets (or, with nullopt, removes) variables over
    // the install's own, for example QT_QPA_PLATFORM on a real X server.
    pid_t Start(const std::map<std::string, std::optional<std::string>>& env = {})
    {
        pid_t pid = ::fork();
        if (pid > 0)
            started_.push_back(pid);
        if (pid == 0) {
            int err = ::open(dir.File("err").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
            if (err >= 0)
                ::dup2(err, 2);
            ::setenv("XDG_RUNTIME_DIR", dir.File("run").c_str(), 1);
            ::setenv("HOME", dir.File("home").c_str(), 1);
            ::unsetenv("XDG_CONFIG_HOME");
            ::unsetenv("XDG_CACHE_HOME");
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            for (const auto& [name, value] : env) {
                if (value)
                    ::setenv(name.c_str(), value->c_str(), 1);
                else
                    ::unsetenv(name.c_str());
            }
            if (asNobody_ && !pendar::test::BecomeNobody())
                ::_exit(126);
            std::string bin = dir.File("pendar");
            ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    // Waits until the process holds the instance lock (it is up; a quit
    // signal from now on runs its close path).
    bool WaitUntilRunning(pid_t pid, const std::string& lock = "run/SorelPendar.lock") const
    {
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(dir.File(lock)) && ::kill(pid, 0) == 0)
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    std::string Errors() const { return dir.Read("err"); }

    // A test that stopped half-way leaves no program running.
    ~PortableInstall()
    {
        for (pid_t pid : started_)
            if (::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
    }

    TempDir dir;

private:
    bool asNobody_;
    std::vector<pid_t> started_;
};

} // namespace pendar::test
