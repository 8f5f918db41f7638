// The real pendar binary: single instance, the close path on signals, and
// settings files that survive being killed mid-save.
#include "PortableInstall.h"
#include "port/IniFile.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using pendar::test::PortableInstall;
using pendar::test::TempDir;
using pendar::test::WaitFor;

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

// What each regular file under `root` holds, with its mode and owner
// (links as their target text), leaving out the install's own files.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        std::string rel = std::filesystem::relative(e.path(), root).string();
        if (rel == "err" || rel == "pendar" || rel.rfind("Data", 0) == 0 || rel.rfind("run", 0) == 0 ||
            rel.rfind("home", 0) == 0)
            continue;
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string what = std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) + " ";
        if (S_ISLNK(st.st_mode))
            what += std::filesystem::read_symlink(e.path()).string();
        else if (S_ISREG(st.st_mode))
            what += TempDir::ReadFile(e.path().string());
        files[rel] = what;
    }
    return files;
}

// Pendar.ini as a user may have it: Pendar reads what it may, writes only
// the user's own writable file (through the user's own links), leaves every
// other file byte for byte as it was, says why in the log, and leaves no
// temporary file behind (a stale one of a killed save is cleared at start).
TEST(Process, SettingsFilesArePreservedUnlessTheyAreTheUsersToWrite)
{
    if (!pendar::test::Nobody())
        GTEST_SKIP() << "needs root to run Pendar as nobody";
    auto nobodys = [](const TempDir& d, const char* name) { pendar::test::GiveToNobody(d.File(name)); };
    const std::string mine = "[Config]\r\nVersion=1.22\r\nSkinName=Sorel\r\n[Mine]\r\nKeep=1\r\n";
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> plant; // as root; the folder is nobody's
        const char* written;                      // the file saved; null: nothing changes
        const char* logged;                       // part of the log's reason
    };
    const Case cases[] = {
        {"a 17 MiB file",
         [&](const TempDir& d) {
             d.Write("Pendar.ini", mine + std::string(17u << 20, ';'));
             nobodys(d, "Pendar.ini");
         },
         nullptr, "larger than"},
        {"a mode-000 file of another user",
         [&](const TempDir& d) {
             d.Write("Pendar.ini", mine);
             ::chmod(d.File("Pendar.ini").c_str(), 0);
         },
         nullptr, "Permission denied"},
        {"a read-only file",
         [&](const TempDir& d) {
             d.Write("Pendar.ini", mine);
             nobodys(d, "Pendar.ini");
             ::chmod(d.File("Pendar.ini").c_str(), 0444);
         },
         nullptr, "is read-only"},
        {"the user's link to the user's file",
         [&](const TempDir& d) {
             std::filesystem::create_directory(d.File("dots"));
             d.Write("dots/pendar.ini", mine);
             std::filesystem::create_symlink("dots/pendar.ini", d.File("Pendar.ini"));
             for (const char* name : {"dots", "dots/pendar.ini", "Pendar.ini"})
                 nobodys(d, name);
         },
         "dots/pendar.ini", nullptr},
        {"the user's link to another user's file",
         [&](const TempDir& d) {
             d.Write("theirs.ini", mine);
             std::filesystem::create_symlink("theirs.ini", d.File("Pendar.ini"));
             nobodys(d, "Pendar.ini");
         },
         nullptr, "belongs to another user"},
        {"another user's link to the user's file",
         [&](const TempDir& d) {
             d.Write("mine.ini", mine);
             nobodys(d, "mine.ini");
             std::filesystem::create_symlink("mine.ini", d.File("Pendar.ini"));
         },
         nullptr, "belongs to another user"},
        {"a stale temporary file of a killed save",
         [&](const TempDir& d) {
             d.Write("Pendar.ini", mine);
             d.Write("Pendar.ini.tmp-Ab12Cd", "[Config]\r\nVer");
             nobodys(d, "Pendar.ini");
             nobodys(d, "Pendar.ini.tmp-Ab12Cd");
         },
         "Pendar.ini", nullptr},
    };
    for (const Case& c : cases) {
        PortableInstall app(true);
        c.plant(app.dir);
        std::map<std::string, std::string> before = Snapshot(app.dir.Path());
        pid_t pid = app.Start();
        ASSERT_TRUE(app.WaitUntilRunning(pid)) << c.what;
        ::kill(pid, SIGTERM);
        EXPECT_EQ(0, WaitFor(pid, 30s)) << c.what << "\n" << app.Errors();

        std::map<std::string, std::string> after = Snapshot(app.dir.Path());
        for (const auto& [name, was] : before) {
            if (name.find(".tmp-") != std::string::npos)
                continue;
            if (c.written && name == c.written) {
                std::string text = app.dir.Read(name);
                EXPECT_NE(std::string::npos, text.find("\r\nSameCheck=1\r\n")) << c.what;
                EXPECT_NE(std::string::npos, text.find("[Mine]\r\nKeep=1\r\n")) << c.what;
                continue;
            }
            EXPECT_TRUE(after.count(name) && after[name] == was) << c.what << ": " << name << " changed";
        }
        for (const auto& [name, now] : after)
            EXPECT_EQ(std::string::npos, name.find(".tmp-")) << c.what << ": " << name << " left behind";
        if (c.logged) {
            std::string log = app.Errors();
            EXPECT_NE(std::string::npos, log.find(c.logged)) << c.what << "\n" << log;
            EXPECT_NE(std::string::npos, log.find("Settings: not saved")) << c.what << "\n" << log;
        }
    }
}

// A runtime folder that others may write or own is passed over: the lock
// goes to a private folder under the cache folder, and the single instance
// still holds.
TEST(Process, ALockOutsideAPrivateRuntimeFolderGoesToTheCacheFolder)
{
    struct Case {
        const char* what;
        mode_t mode;
        bool nobodys;
    };
    for (const Case& c : {Case{"a runtime folder all may write", 01777, false},
                          Case{"a runtime folder of another user", 0700, true}}) {
        if (pendar::test::SkipWithoutNobody(c.nobodys, c.what))
            continue;
        PortableInstall app;
        std::filesystem::create_directory(app.dir.File("shared"));
        ::chmod(app.dir.File("shared").c_str(), c.mode);
        if (c.nobodys)
            pendar::test::GiveToNobody(app.dir.File("shared"));
        std::map<std::string, std::optional<std::string>> env = {
            {"XDG_RUNTIME_DIR", app.dir.File("shared")}, {"XDG_CACHE_HOME", app.dir.File("cache")}};
        pid_t first = app.Start(env);
        ASSERT_TRUE(app.WaitUntilRunning(first, "cache/pendar/SorelPendar.lock")) << c.what;
        pid_t second = app.Start(env);
        EXPECT_EQ(0, WaitFor(second, 10s)) << c.what;
        EXPECT_EQ(0, ::kill(first, 0)) << c.what << ": the first instance ended";
        ::kill(first, SIGTERM);
        EXPECT_EQ(0, WaitFor(first, 20s)) << c.what;
        EXPECT_TRUE(std::filesystem::is_empty(app.dir.File("shared"))) << c.what;
        EXPECT_NE(std::string::npos, app.Errors().find("XDG_RUNTIME_DIR is not used")) << app.Errors();
    }
}

} // namespace
