#include "port/InstanceLock.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using pendar::test::TempDir;
using Result = port::InstanceLock::Result;

// flock locks belong to the open file, so a second holder must be another
// process (or another open): check both.
TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempDir dir;
    port::InstanceLock first;
    ASSERT_EQ(Result::Acquired, first.Acquire(dir.Path(), "SorelPendar"));
    EXPECT_EQ(dir.File("SorelPendar.lock"), first.Path());

    port::InstanceLock second;
    EXPECT_EQ(Result::HeldByMine, second.Acquire(dir.Path(), "SorelPendar"));
    EXPECT_EQ("", second.Error());

    pid_t child = ::fork();
    if (child == 0) {
        port::InstanceLock other;
        ::_exit(other.Acquire(dir.Path(), "SorelPendar") == Result::HeldByMine ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(0, WEXITSTATUS(status)) << "another process got the lock";

    first.Release();
    EXPECT_EQ(Result::Acquired, second.Acquire(dir.Path(), "SorelPendar"));
}

// Whatever sits under the lock's name that is not this user's own regular
// file is reported, never taken for a running instance and never followed.
TEST(InstanceLock, ForeignThingsUnderTheNameAreReportedNotFollowed)
{
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> plant;
        bool needsRoot;
    };
    const Case cases[] = {
        {"a symbolic link",
         [](const TempDir& d) { std::filesystem::create_symlink(d.File("victim"), d.File("SorelPendar.lock")); },
         false},
        {"a FIFO", [](const TempDir& d) { ::mkfifo(d.File("SorelPendar.lock").c_str(), 0600); }, false},
        {"a folder", [](const TempDir& d) { std::filesystem::create_directory(d.File("SorelPendar.lock")); },
         false},
        {"another user's file",
         [](const TempDir& d) {
             d.Write("SorelPendar.lock", "");
             ASSERT_TRUE(pendar::test::GiveToNobody(d.File("SorelPendar.lock")));
         },
         true},
    };
    for (const Case& c : cases) {
        if (pendar::test::SkipWithoutNobody(c.needsRoot, c.what))
            continue;
        TempDir dir;
        c.plant(dir);
        port::InstanceLock lock;
        EXPECT_EQ(Result::Failed, lock.Acquire(dir.Path(), "SorelPendar")) << c.what;
        EXPECT_NE(std::string::npos, lock.Error().find(dir.File("SorelPendar.lock"))) << c.what << ": " << lock.Error();
        EXPECT_FALSE(std::filesystem::exists(dir.File("victim"))) << c.what;
    }
}

} // namespace
