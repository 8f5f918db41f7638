// The real pendar, idle on a real X server with another program's window in
// front: all its X connections go through an xtrace proxy, and for five
// seconds without an animation, a new minute or anything else that changes
// they send the server no request at all, whether the character sits on
// the screen's edge or follows the foreground window.
#include "FaceForm.h"
#include "support/Spawn.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using pendar::test::Spawn;
using pendar::test::TempDir;

bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

// A child process ended (and reaped) with the object.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) : pid_(Spawn(argv, env)) {}
    ~Child()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(50ms);
        if (::kill(pid_, 0) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// Runs a command to its end; true when it succeeded.
bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// The request lines the proxy wrote ("000:<:0012: 16: Request(...)").
std::vector<std::string> Requests(const std::string& log)
{
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(":<:") != std::string::npos && line.find("Request(") != std::string::npos)
            lines.push_back(line.substr(0, 160));
    return lines;
}

// A display number nobody uses, for the proxy.
int FreeDisplay()
{
    for (int n = 400 + ::getpid() % 100; n < 600; ++n)
        if (!Exists("/tmp/.X11-unix/X" + std::to_string(n)) && !Exists("/tmp/.X" + std::to_string(n) + "-lock"))
            return n;
    return -1;
}

// Waits until a new minute is more than `needed` away.
void AwayFromANewMinute(std::chrono::seconds needed)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    if (local.tm_sec + needed.count() >= 59)
        std::this_thread::sleep_for(std::chrono::seconds(61 - local.tm_sec));
}

TEST(IdleRequests, NoneWhileNothingChanges)
{
    if (std::system("command -v xtrace >/dev/null") != 0)
        GTEST_SKIP() << "xtrace is not installed (scripts/packages/test-idle.list)";
    const char* real = std::getenv("DISPLAY");
    ASSERT_NE(nullptr, real);

    // A still character without animations or voices, and a greeting that
    // stays on its balloon.
    const struct {
        const char* what;
        const char* align;
    } cases[] = {
        {"on the screen's bottom edge", "BOTTOM"},
        {"on the foreground window's top edge", "WINTOP"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::filesystem::copy_file(PENDAR_BIN, dir.File("pendar"));
        std::filesystem::create_directories(dir.File("Data/Still"));
        std::filesystem::create_directory(dir.File("run"));
        std::filesystem::permissions(dir.File("run"), std::filesystem::perms::owner_all);
        dir.Write("Data/Still/Info.ini", std::string("NAME=Still\r\nPICTURE1=body.bmp\r\nTIMEOFFX=1\r\nTIMEOFFY=2\r\n"
                                                     "ALIGN=") + c.align + "\r\n");
        dir.Write("Data/Still/body.bmp", pendar::test::Character().Bmp());
        dir.Write("Data/Still/Fukidasi.bmp", pendar::test::Balloon().Bmp());
        dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Still\r\nMailEnable=0\r\n");

        const int fake = FreeDisplay();
        ASSERT_GT(fake, 0);
        const std::string log = dir.File("xtrace.log");
        // The proxy hands each client's credentials on to the server: the
        // program gets the server's cookie under the proxy's display.
        std::vector<std::string> proxyArgs = {"xtrace", "-n", "-k", "-d", real, "-D", ":" + std::to_string(fake),
                                              "-o", log};
        std::vector<std::string> clientEnv = {"DISPLAY=:" + std::to_string(fake), "XDG_RUNTIME_DIR=" + dir.File("run"),
                                              "QT_QPA_PLATFORM=xcb", "XAUTHORITY=" + dir.File("xauth")};
        if (const char* auth = std::getenv("XAUTHORITY"); auth && *auth) {
            ASSERT_TRUE(Shell("xauth -f '" + dir.File("xauth") + "' add :" + std::to_string(fake) +
                              " MIT-MAGIC-COOKIE-1 $(xauth -f \"$XAUTHORITY\" list \"$DISPLAY\" | awk '{print $3; exit}')"
                              " 2>/dev/null"));
        }
        Child proxy(proxyArgs);
        for (int i = 0; i < 100 && !Exists("/tmp/.X11-unix/X" + std::to_string(fake)); ++i)
            std::this_thread::sleep_for(50ms);

        Child logo({"xlogo", "-geometry", "400x200+300+400"});
        ASSERT_TRUE(Shell("timeout 20 xdotool search --sync --onlyvisible --class XLogo >/dev/null"));
        Child pendar({dir.File("pendar")}, clientEnv);
        ASSERT_TRUE(Shell("timeout 20 xdotool search --sync --onlyvisible --name '^SorelPendar$' >/dev/null"))
            << c.what;
        ASSERT_TRUE(Shell("timeout 20 xdotool search --onlyvisible --class XLogo windowactivate --sync >/dev/null"));
        std::this_thread::sleep_for(2s); // the greeting, the place, the tick's first answers

        AwayFromANewMinute(7s);
        const size_t before = Requests(log).size();
        std::this_thread::sleep_for(5s);
        const std::vector<std::string> requests = Requests(log);
        ASSERT_TRUE(pendar.Running()) << c.what;
        ASSERT_GT(before, 0u) << c.what << ": nothing went through the proxy";
        std::string sent;
        for (size_t i = before; i < requests.size() && i < before + 20; ++i)
            sent += "\n  " + requests[i];
        EXPECT_EQ(before, requests.size()) << c.what << ": requests while idle:" << sent;
    }
}

} // namespace
