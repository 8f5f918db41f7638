// pendar-tool pop3 against a real POP3 server: a private Dovecot on a
// loopback port with its own configuration, users and Maildir, started and
// stopped by this test. Skipped (and says why) where Dovecot is missing.
#include "support/RunTool.h"
#include "support/ScriptedPop3Server.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace pendar::test;
namespace fs = std::filesystem;

constexpr const char* kDovecot = "/usr/sbin/dovecot";

struct Message {
    std::string file; // Maildir name; its base is the unique id
    std::string subject;
    std::string shown; // the subject as pendar-tool prints it
};

// Subjects in every encoding the clock decodes.
const Message kMessages[] = {
    {"1700000001.M1P1.pendar", "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", "テスト"},
    {"1700000002.M2P1.pendar", "=?UTF-8?B?5pel5pys6Kqe?=", "日本語"},
    {"1700000003.M3P1.pendar", "Re: =?utf-8?Q?=E4=BB=B6=E5=90=8D?= x", "Re: 件名 x"},
    {"1700000004.M4P1.pendar", "=?Shift_JIS?B?l1yS6A==?=", "予定"},
    {"1700000005.M5P1.pendar", "=?EUC-JP?B?svG1xA==?= =?EUC-JP?B?svG1xA==?=", "会議 会議"},
};

std::string MessageText(const Message& m)
{
    return "From: sender@example.org\r\nTo: tester@example.org\r\nSubject: " + m.subject +
           "\r\nMessage-ID: <" + m.file + "@example.org>\r\n\r\nHello.\r\n";
}

int FreeLoopbackPort()
{
    int port = 0;
    ::close(detail::ListenOnLoopback(-1, &port));
    return port;
}

bool Accepts(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = detail::LoopbackAddress(port);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// The accounts Dovecot's processes run as. As root: the package's own
// unprivileged users; otherwise everything runs as the calling user.
struct Accounts {
    std::string loginUser, internalUser, internalGroup;
    uid_t mailUid;
    gid_t mailGid;
};

std::optional<Accounts> FindAccounts(std::string* why)
{
    if (::geteuid() != 0) {
        const passwd* me = ::getpwuid(::geteuid());
        const group* myGroup = ::getgrgid(::getegid());
        if (!me || !myGroup) {
            *why = "the calling user has no name";
            return std::nullopt;
        }
        return Accounts{me->pw_name, me->pw_name, myGroup->gr_name, me->pw_uid, me->pw_gid};
    }
    const passwd* internal = ::getpwnam("dovecot");
    const passwd* login = ::getpwnam("dovenull");
    if (!internal || !login) {
        *why = "the users dovecot and dovenull that dovecot-core creates are missing";
        return std::nullopt;
    }
    const group* internalGroup = ::getgrgid(internal->pw_gid);
    return Accounts{"dovenull", "dovecot", internalGroup ? internalGroup->gr_name : "dovecot", internal->pw_uid,
                    internal->pw_gid};
}

class Dovecot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::access(kDovecot, X_OK) != 0)
            GTEST_SKIP() << "Dovecot is not installed (" << kDovecot
                         << "); scripts/test --with-services installs dovecot-pop3d";
        std::string why;
        auto accounts = FindAccounts(&why);
        if (!accounts)
            GTEST_SKIP() << "cannot run a private Dovecot: " << why;

        root_ = fs::path(dir_.Path());
        fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
        fs::path maildir = root_ / "mail" / "tester" / "Maildir";
        for (const char* sub : {"cur", "new", "tmp"})
            fs::create_directories(maildir / sub);
        for (const auto& m : kMessages)
            dir_.Write("mail/tester/Maildir/cur/" + m.file + ":2,S", MessageText(m));
        for (const auto& entry : fs::recursive_directory_iterator(root_ / "mail"))
            (void)::chown(entry.path().c_str(), accounts->mailUid, accounts->mailGid);
        (void)::chown((root_ / "mail").c_str(), accounts->mailUid, accounts->mailGid);
        dir_.Write("users", "tester:{PLAIN}s3cret\n");

        port_ = FreeLoopbackPort();
        std::string r = root_.string();
        dir_.Write("dovecot.conf",
                   "base_dir = " + r + "/run\n"
                   "state_dir = " + r + "/state\n"
                   "log_path = " + r + "/dovecot.log\n"
                   "protocols = pop3\n"
                   "listen = 127.0.0.1\n"
                   "ssl = no\n"
                   "disable_plaintext_auth = no\n"
                   "auth_mechanisms = plain apop\n"
                   "auth_failure_delay = 0\n"
                   "default_login_user = " + accounts->loginUser + "\n"
                   "default_internal_user = " + accounts->internalUser + "\n"
                   "default_internal_group = " + accounts->internalGroup + "\n"
                   "first_valid_uid = 0\n"
                   "mail_location = maildir:" + r + "/mail/%u/Maildir\n"
                   "pop3_uidl_format = %f\n"
                   "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " + r + "/users\n}\n"
                   "userdb {\n  driver = static\n  args = uid=" + std::to_string(accounts->mailUid) +
                   " gid=" + std::to_string(accounts->mailGid) + " home=" + r + "/mail/%u\n}\n"
                   "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    address = 127.0.0.1\n"
                   "    port = " + std::to_string(port_) + "\n  }\n}\n"
                   "service anvil {\n  chroot =\n}\n");

        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the test
            int devNull = ::open("/dev/null", O_RDWR);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
            std::string conf = dir_.File("dovecot.conf");
            ::execl(kDovecot, kDovecot, "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 200 && !Accepts(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(Accepts(port_)) << "Dovecot did not start:\n" << dir_.Read("dovecot.log");
    }

    void TearDown() override
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    ToolRun ListMailbox(const std::string& password, bool apop, const std::string& limit = "100")
    {
        std::vector<std::string> args = {"pop3", "--host", "127.0.0.1", "--port", std::to_string(port_), "--user",
                                         "tester", "--password", password, "--timeout", "10000", "--limit", limit};
        if (apop)
            args.push_back("--apop");
        return RunTool(args);
    }

    std::string ExpectedListing() const
    {
        std::string listing = "count " + std::to_string(std::size(kMessages)) + "\n";
        int i = 0;
        for (const auto& m : kMessages)
            listing += std::to_string(++i) + "\t" + m.file + "\t" + std::to_string(MessageText(m).size()) + "\t" +
                       m.shown + "\n";
        return listing;
    }

    TempDir dir_;
    fs::path root_;
    int port_ = 0;
    pid_t pid_ = -1;
};

TEST_F(Dovecot, ListsTheMailboxWithBothLogIns)
{
    for (bool apop : {false, true}) {
        auto run = ListMailbox("s3cret", apop);
        EXPECT_EQ(run.exitCode, 0) << run.err << dir_.Read("dovecot.log");
        EXPECT_EQ(run.out, ExpectedListing()) << (apop ? "APOP" : "USER/PASS");
    }
}

TEST_F(Dovecot, OverTheLimitOnlyCounts)
{
    auto run = ListMailbox("s3cret", true, "4");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "count 5\n");
}

// One refusal per server: Dovecot delays further failures from one address.
TEST_F(Dovecot, WrongPasswordIsRefusedUserPass)
{
    auto run = ListMailbox("wrong", false);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Authentication failed\n");
}

TEST_F(Dovecot, WrongPasswordIsRefusedApop)
{
    auto run = ListMailbox("wrong", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Authentication Error\n");
}

} // namespace
