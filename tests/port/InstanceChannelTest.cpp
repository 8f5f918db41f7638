#include "port/InstanceChannel.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using pendar::test::TempDir;
using port::InstanceChannel;

// Waits until a knock is readable on the listening socket.
bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 10000) == 1;
}

TEST(InstanceChannel, AKnockOfTheUserIsHeardOnceAndStaleSocketsAreReplaced)
{
    TempDir dir;
    std::string error;
    EXPECT_FALSE(InstanceChannel::Knock(dir.Path(), "SorelPendar", &error)) << "nobody listens yet";
    {
        // A socket file left by an instance that ended without cleaning up.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::string path = InstanceChannel::SocketPath(dir.Path(), "SorelPendar");
        path.copy(addr.sun_path, path.size());
        ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
        ::close(fd);
    }
    InstanceChannel running;
    ASSERT_TRUE(running.Listen(dir.Path(), "SorelPendar", &error)) << error;
    struct stat st {};
    ASSERT_EQ(0, ::lstat(InstanceChannel::SocketPath(dir.Path(), "SorelPendar").c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);

    EXPECT_FALSE(running.TakeKnocks());
    ASSERT_TRUE(InstanceChannel::Knock(dir.Path(), "SorelPendar", &error)) << error;
    ASSERT_TRUE(InstanceChannel::Knock(dir.Path(), "SorelPendar", &error)) << error;
    ASSERT_TRUE(Readable(running.Fd()));
    EXPECT_TRUE(running.TakeKnocks());
    EXPECT_FALSE(running.TakeKnocks()) << "both knocks are taken at once";
}

TEST(InstanceChannel, NothingButASocketOfTheUserIsUsed)
{
    TempDir dir;
    dir.Write("SorelPendar.sock", "a file");
    std::string error;
    InstanceChannel channel;
    EXPECT_FALSE(channel.Listen(dir.Path(), "SorelPendar", &error));
    EXPECT_NE(std::string::npos, error.find("is not a socket of this user")) << error;
    EXPECT_FALSE(InstanceChannel::Knock(dir.Path(), "SorelPendar", &error));
    EXPECT_EQ("a file", dir.Read("SorelPendar.sock"));

    std::string deep = dir.Path() + "/" + std::string(120, 'd');
    EXPECT_FALSE(channel.Listen(deep, "SorelPendar", &error));
    EXPECT_NE(std::string::npos, error.find("too long")) << error;
}

// Another user who reaches the socket (here it is opened to all on
// purpose) is not heard: only the user's own knocks count.
TEST(InstanceChannel, AnotherUsersKnockIsNotHeard)
{
    if (!pendar::test::Nobody())
        GTEST_SKIP() << "needs root to knock as nobody";
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    InstanceChannel running;
    std::string error;
    ASSERT_TRUE(running.Listen(dir.Path(), "SorelPendar", &error)) << error;
    std::string path = InstanceChannel::SocketPath(dir.Path(), "SorelPendar");
    ::chmod(path.c_str(), 0666);

    pid_t child = ::fork();
    if (child == 0) {
        if (!pendar::test::BecomeNobody())
            ::_exit(2);
        std::string refused;
        if (InstanceChannel::Knock(dir.Path(), "SorelPendar", &refused))
            ::_exit(3); // the socket is root's: Knock must not use it
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, path.size());
        ::_exit(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ? 0 : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(0, WEXITSTATUS(status));
    ASSERT_TRUE(Readable(running.Fd()));
    EXPECT_FALSE(running.TakeKnocks());
}

} // namespace
