// The real pendar binary: single instance, the close path on signals, and
// settings files that survive being killed mid-save.
#include "port/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using pendar::test::TempDir;

// A portable install in a temporary folder: the binary beside a Data/
// folder with the sample skin, its own runtime folder for the instance lock.
class PortableInstall {
public:
    PortableInstall()
    {
        std::filesystem::copy_file(PENDAR_BIN, dir.File("pendar"));
        std::filesystem::create_directory(dir.File("Data"));
        std::filesystem::copy_file(SOREL_PAK, dir.File("Data/Sorel.Pak"));
        std::filesystem::create_directory(dir.File("run"));
        std::filesystem::permissions(dir.File("run"), std::filesystem::perms::owner_all);
    }

    pid_t Start() const
    {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("XDG_RUNTIME_DIR", dir.File("run").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::string bin = dir.File("pendar");
            ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    // Waits until the process holds the instance lock (it is up).
    bool WaitUntilRunning(pid_t pid) const
    {
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(dir.File("run/SorelPendar.lock")) && ::kill(pid, 0) == 0)
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    TempDir dir;
};

// Waits for the process; returns its exit code, or -1 after the time-out.
int WaitFor(pid_t pid, std::chrono::milliseconds timeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

TEST(Process, ASecondStartEndsAtOnceAndTheFirstKeepsRunning)
{
    PortableInstall app;
    pid_t first = app.Start();
    ASSERT_TRUE(app.WaitUntilRunning(first));
    std::this_thread::sleep_for(300ms);

    pid_t second = app.Start();
    EXPECT_EQ(0, WaitFor(second, 10s));
    EXPECT_EQ(0, ::kill(first, 0)) << "the first instance ended";

    ::kill(first, SIGTERM);
    EXPECT_EQ(0, WaitFor(first, 20s));
}

TEST(Process, SignalsRunTheClosePathAndSaveTheSettings)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        PortableInstall app;
        pid_t pid = app.Start();
        ASSERT_TRUE(app.WaitUntilRunning(pid));
        std::this_thread::sleep_for(300ms);
        ::kill(pid, sig);
        EXPECT_EQ(0, WaitFor(pid, 20s)) << "signal " << sig;
        std::string text = app.dir.Read("Pendar.ini");
        EXPECT_EQ(0u, text.find("[Config]\r\nVersion=1.22\r\nSkinName=Sorel\r\n")) << text.substr(0, 80);
        EXPECT_NE(std::string::npos, text.find("SameCheck=1\r\n")) << "signal " << sig;
    }
}

TEST(Process, AKillDuringSavingNeverLeavesADamagedFile)
{
    TempDir dir;
    std::string path = dir.File("Pendar.ini");
    std::mt19937 rng(1234);
    for (int round = 0; round < 25; ++round) {
        int ready[2];
        ASSERT_EQ(0, ::pipe(ready));
        pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(ready[1], 1);
            ::execl(SAVE_LOOP_BIN, SAVE_LOOP_BIN, path.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        char c;
        ASSERT_EQ(1, ::read(ready[0], &c, 1));
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 30000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        if (!std::filesystem::exists(path))
            continue; // killed before the first rename
        std::string text = dir.Read("Pendar.ini");
        ASSERT_EQ(0u, text.find("[Config]\r\nVersion=1.22\r\n")) << "round " << round;
        ASSERT_NE(std::string::npos, text.find("\r\nSameCheck=1\r\n")) << "round " << round;
        ASSERT_EQ("\r\n", text.substr(text.size() - 2)) << "round " << round;
        TIniFile ini(path);
        EXPECT_EQ(0, ini.ReadString("Config", "SkinName", "").find("Skin"));
    }
}

} // namespace
