// The SNTP client and pendar-tool sntp against a real NTP server: a private
// chrony on 127.0.0.1:123, started by this test with -x so that it never
// touches the clock. Skipped (and says why) without root or chrony.
#include "sntp/NMSNTP.h"

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace pendar::test;

constexpr const char* kChronyd = "/usr/sbin/chronyd";

bool Port123IsFree()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(123);
    bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return free;
}

class Chrony : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "serving NTP on port 123 needs root";
        if (::access(kChronyd, X_OK) != 0)
            GTEST_SKIP() << "chrony is not installed (" << kChronyd
                         << "); scripts/test --with-services installs it";
        if (!Port123IsFree())
            GTEST_SKIP() << "port 123 of 127.0.0.1 is taken by another NTP server";
        dir_.Write("chrony.conf", "bindaddress 127.0.0.1\n"
                                  "port 123\n"
                                  "local stratum 8\n"
                                  "allow 127.0.0.1\n"
                                  "cmdport 0\n"
                                  "pidfile " + dir_.File("chronyd.pid") + "\n");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the test
            int log = ::open(dir_.File("chronyd.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(log, 1);
            ::dup2(log, 2);
            std::string conf = dir_.File("chrony.conf");
            // -x: never control the system clock; -d: stay in the foreground.
            ::execl(kChronyd, kChronyd, "-x", "-d", "-f", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Answers as soon as it has bound its port.
        for (int i = 0; i < 100; ++i) {
            if (Ask(4))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        FAIL() << "chrony did not answer:\n" << dir_.Read("chronyd.log");
    }

    void TearDown() override
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool Ask(int version)
    {
        sntp_.RemoteHost = "127.0.0.1";
        sntp_.TimeOut = 1000;
        sntp_.SetVersion(version);
        return sntp_.QueryTime(result_);
    }

    TempDir dir_;
    pid_t pid_ = -1;
    TNMSNTP sntp_; // the system clock, which chrony serves as its own
    TSntpResult result_;
};

TEST_F(Chrony, AnswersBothVersionsWithTheClocksOwnTime)
{
    for (int version : {4, 1}) {
        ASSERT_TRUE(Ask(version)) << version << ": " << sntp_.LastError();
        EXPECT_LT(std::llabs(result_.offsetNanos), 1000000000LL) << version;
    }
}

TEST_F(Chrony, ToolPrintsASmallOffset)
{
    auto run = RunTool({"sntp", "127.0.0.1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto at = run.out.find("\noffset ");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_LT(std::abs(std::stod(run.out.substr(at + 8))), 1.0) << run.out;
}

} // namespace
