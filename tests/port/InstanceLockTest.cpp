#include "port/InstanceLock.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// flock locks belong to the open file, so a second holder must be another
// process (or another open): check both.
TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLets_go)
{
    std::string name = "PendarLockTest-" + std::to_string(::getpid());
    port::InstanceLock first;
    ASSERT_TRUE(first.Acquire(name));

    port::InstanceLock second;
    EXPECT_FALSE(second.Acquire(name));

    pid_t child = ::fork();
    if (child == 0) {
        port::InstanceLock other;
        ::_exit(other.Acquire(name) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(0, WEXITSTATUS(status)) << "another process got the lock";

    first.Release();
    EXPECT_TRUE(second.Acquire(name));
    ::unlink(port::InstanceLock::LockPath(name).c_str());
}

} // namespace
