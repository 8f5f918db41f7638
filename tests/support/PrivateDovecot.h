// A private Dovecot POP3 server on a loopback port with its own
// configuration, one user ("tester", password "s3cret") and a Maildir,
// started and stopped by the test that makes it; given a certificate, it
// also offers STLS there and implicit TLS on a second port. Where Dovecot
// is missing or cannot run, Start says why, and the test skips.
#pragma once

#include "support/ScriptedPop3Server.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

namespace pendar::test {

class PrivateDovecot {
public:
    static constexpr const char* kBinary = "/usr/sbin/dovecot";

    struct Mail {
        std::string file; // Maildir name; with pop3_uidl_format %f it is the unique id
        std::string text;
    };

    enum class Outcome { Running, Skipped, Failed };

    // The server's certificate (with its chain) and key files.
    struct Tls {
        std::string certificate;
        std::string key;
    };

    PrivateDovecot() = default;
    ~PrivateDovecot()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    PrivateDovecot(const PrivateDovecot&) = delete;
    PrivateDovecot& operator=(const PrivateDovecot&) = delete;

    // Starts the server with `mails` in tester's mailbox, speaking TLS as
    // well when `tls` is given; `why` says what kept it from running.
    Outcome Start(const std::vector<Mail>& mails, std::string* why, const std::optional<Tls>& tls = std::nullopt)
    {
        namespace fs = std::filesystem;
        if (::access(kBinary, X_OK) != 0) {
            *why = std::string("Dovecot is not installed (") + kBinary +
                   "); scripts/test --with-services installs dovecot-pop3d";
            return Outcome::Skipped;
        }
        auto accounts = FindAccounts(why);
        if (!accounts)
            return Outcome::Skipped;

        fs::path root(dir_.Path());
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        fs::path maildir = root / "mail" / "tester" / "Maildir";
        for (const char* sub : {"cur", "new", "tmp"})
            fs::create_directories(maildir / sub);
        for (const auto& m : mails)
            dir_.Write("mail/tester/Maildir/cur/" + m.file + ":2,S", m.text);
        for (const auto& entry : fs::recursive_directory_iterator(root / "mail"))
            (void)::chown(entry.path().c_str(), accounts->mailUid, accounts->mailGid);
        (void)::chown((root / "mail").c_str(), accounts->mailUid, accounts->mailGid);
        dir_.Write("users", "tester:{PLAIN}s3cret\n");

        port_ = FreeLoopbackPort();
        tlsPort_ = 0;
        while (tls && (tlsPort_ == 0 || tlsPort_ == port_))
            tlsPort_ = FreeLoopbackPort();
        std::string r = root.string();
        std::string ssl = tls ? "ssl = yes\nssl_cert = <" + tls->certificate + "\nssl_key = <" + tls->key + "\n"
                              : "ssl = no\n";
        std::string tlsListener = tls ? "  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " +
                                            std::to_string(tlsPort_) + "\n    ssl = yes\n  }\n"
                                      : "";
        dir_.Write("dovecot.conf",
                   "base_dir = " + r + "/run\n"
                   "state_dir = " + r + "/state\n"
                   "log_path = " + r + "/dovecot.log\n"
                   "protocols = pop3\n"
                   "listen = 127.0.0.1\n" +
                   ssl +
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
                   "    port = " + std::to_string(port_) + "\n  }\n" + tlsListener + "}\n"
                   "service anvil {\n  chroot =\n}\n");

        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the test
            int devNull = ::open("/dev/null", O_RDWR);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
            std::string conf = dir_.File("dovecot.conf");
            ::execl(kBinary, kBinary, "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        auto up = [this] { return Accepts(port_) && (tlsPort_ == 0 || Accepts(tlsPort_)); };
        for (int i = 0; i < 200 && !up(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!up()) {
            *why = "Dovecot did not start:\n" + Log();
            return Outcome::Failed;
        }
        return Outcome::Running;
    }

    int Port() const { return port_; }
    // The implicit TLS port; 0 without TLS.
    int TlsPort() const { return tlsPort_; }
    std::string Log() const { return dir_.Read("dovecot.log"); }

    // The log's lines of successful log-ins; over TLS they say ", TLS".
    std::vector<std::string> LogIns() const
    {
        std::vector<std::string> lines;
        std::istringstream log(Log());
        for (std::string line; std::getline(log, line);)
            if (line.find("Login: user=<") != std::string::npos)
                lines.push_back(line);
        return lines;
    }

private:
    // The accounts Dovecot's processes run as. As root: the package's own
    // unprivileged users; otherwise everything runs as the calling user.
    struct Accounts {
        std::string loginUser, internalUser, internalGroup;
        uid_t mailUid;
        gid_t mailGid;
    };

    static std::optional<Accounts> FindAccounts(std::string* why)
    {
        if (::geteuid() != 0) {
            const passwd* me = ::getpwuid(::geteuid());
            const group* myGroup = ::getgrgid(::getegid());
            if (!me || !myGroup) {
                *why = "cannot run a private Dovecot: the calling user has no name";
                return std::nullopt;
            }
            return Accounts{me->pw_name, me->pw_name, myGroup->gr_name, me->pw_uid, me->pw_gid};
        }
        const passwd* internal = ::getpwnam("dovecot");
        const passwd* login = ::getpwnam("dovenull");
        if (!internal || !login) {
            *why = "cannot run a private Dovecot: the users dovecot and dovenull that dovecot-core creates are "
                   "missing";
            return std::nullopt;
        }
        const group* internalGroup = ::getgrgid(internal->pw_gid);
        return Accounts{"dovenull", "dovecot", internalGroup ? internalGroup->gr_name : "dovecot",
                        internal->pw_uid, internal->pw_gid};
    }

    static int FreeLoopbackPort()
    {
        int port = 0;
        ::close(detail::ListenOnLoopback(-1, &port));
        return port;
    }

    static bool Accepts(int port)
    {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr = detail::LoopbackAddress(port);
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        return ok;
    }

    TempDir dir_;
    int port_ = 0;
    int tlsPort_ = 0;
    pid_t pid_ = -1;
};

} // namespace pendar::test
