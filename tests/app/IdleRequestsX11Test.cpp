// The real pendar on a real X server with another program's window in
// front, all its X connections through an xtrace proxy: for five seconds
// without an animation, a new minute or anything else that changes they send
// the server no request at all, whether the character sits on the screen's
// edge or follows the foreground window; and an animation's frames cost a
// few requests each, whatever the character's outline.
#include "FaceForm.h"
#include "support/Spawn.h"
#include "support/TempDir.h"
#include "support/XView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
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
    pid_t Pid() const { return pid_; }

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

// How many of `requests` from `from` on name `what` ("PutImage").
size_t Count(const std::vector<std::string>& requests, size_t from, const std::string& what)
{
    size_t n = 0;
    for (size_t i = from; i < requests.size(); ++i)
        n += requests[i].find("): " + what + " ") != std::string::npos;
    return n;
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

// A portable pendar in a temporary folder with the skin "Still" (its
// Info.ini lines and pictures), started behind an xtrace proxy with xlogo in
// front.
class ProxiedPendar {
public:
    ProxiedPendar(const std::string& info, const std::vector<std::pair<std::string, std::string>>& pictures)
    {
        std::filesystem::copy_file(PENDAR_BIN, dir_.File("pendar"));
        std::filesystem::create_directories(dir_.File("Data/Still"));
        std::filesystem::create_directory(dir_.File("run"));
        std::filesystem::permissions(dir_.File("run"), std::filesystem::perms::owner_all);
        dir_.Write("Data/Still/Info.ini", "NAME=Still\r\n" + info);
        for (const auto& [name, bytes] : pictures)
            dir_.Write("Data/Still/" + name, bytes);
        dir_.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Still\r\nMailEnable=0\r\n");
    }

    // Starts everything; false (with a failed assertion) when something did
    // not come up.
    bool Start()
    {
        const char* real = std::getenv("DISPLAY");
        const int fake = FreeDisplay();
        EXPECT_NE(nullptr, real);
        EXPECT_GT(fake, 0);
        if (!real || fake <= 0)
            return false;
        // The proxy hands each client's credentials on to the server: the
        // program gets the server's cookie under the proxy's display. It
        // cannot pass file descriptors, so Qt must not ask for shared-memory
        // segments (it does so once the window's image grows large, and the
        // connection then breaks).
        std::vector<std::string> clientEnv = {"DISPLAY=:" + std::to_string(fake), "XDG_RUNTIME_DIR=" + dir_.File("run"),
                                              "QT_QPA_PLATFORM=xcb", "XAUTHORITY=" + dir_.File("xauth"),
                                              "QT_XCB_NO_MITSHM=1"};
        if (const char* auth = std::getenv("XAUTHORITY"); auth && *auth) {
            EXPECT_TRUE(Shell("xauth -f '" + dir_.File("xauth") + "' add :" + std::to_string(fake) +
                              " MIT-MAGIC-COOKIE-1 $(xauth -f \"$XAUTHORITY\" list \"$DISPLAY\" | awk '{print $3; exit}')"
                              " 2>/dev/null"));
        }
        proxySocket_ = "/tmp/.X11-unix/X" + std::to_string(fake);
        proxy_.emplace(
            std::vector<std::string>{"xtrace", "-n", "-k", "-d", real, "-D", ":" + std::to_string(fake), "-o", Log()});
        for (int i = 0; i < 100 && !Exists("/tmp/.X11-unix/X" + std::to_string(fake)); ++i)
            std::this_thread::sleep_for(50ms);
        logo_.emplace(std::vector<std::string>{"xlogo", "-geometry", "400x200+300+400"});
        if (!Shell("timeout 20 xdotool search --sync --onlyvisible --class XLogo >/dev/null"))
            return false;
        pendar_.emplace(std::vector<std::string>{dir_.File("pendar")}, clientEnv);
        EXPECT_TRUE(pendar::test::WaitUntil([this] { return Main() != 0; }));
        return Main() != 0 &&
               Shell("timeout 20 xdotool search --onlyvisible --class XLogo windowactivate --sync >/dev/null");
    }

    // The proxy leaves its socket behind when it is stopped; without this,
    // repeated runs use up the display numbers.
    ~ProxiedPendar()
    {
        pendar_.reset();
        logo_.reset();
        proxy_.reset();
        if (!proxySocket_.empty())
            ::unlink(proxySocket_.c_str());
    }
    ProxiedPendar(const ProxiedPendar&) = delete;
    ProxiedPendar& operator=(const ProxiedPendar&) = delete;

    xcb_window_t Main() const { return pendar_ ? x.Client(static_cast<uint32_t>(pendar_->Pid()), "SorelPendar") : 0; }
    bool Running() const { return pendar_ && pendar_->Running(); }
    std::string Log() const { return dir_.File("xtrace.log"); }

    pendar::test::XView x;

private:
    TempDir dir_;
    std::string proxySocket_;
    std::optional<Child> proxy_;
    std::optional<Child> logo_;
    std::optional<Child> pendar_;
};

TEST(IdleRequests, NoneWhileNothingChanges)
{
    if (std::system("command -v xtrace >/dev/null") != 0)
        GTEST_SKIP() << "xtrace is not installed (scripts/packages/test-idle.list)";

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
        ProxiedPendar app(
            std::string("PICTURE1=body.bmp\r\nTIMEOFFX=1\r\nTIMEOFFY=2\r\nALIGN=") + c.align + "\r\n",
            {{"body.bmp", pendar::test::Character().Bmp()}, {"Fukidasi.bmp", pendar::test::Balloon().Bmp()}});
        ASSERT_TRUE(app.Start()) << c.what;
        std::this_thread::sleep_for(2s); // the greeting, the place, the tick's first answers

        AwayFromANewMinute(7s);
        const size_t before = Requests(app.Log()).size();
        std::this_thread::sleep_for(5s);
        const std::vector<std::string> requests = Requests(app.Log());
        ASSERT_TRUE(app.Running()) << c.what;
        ASSERT_GT(before, 0u) << c.what << ": nothing went through the proxy";
        std::string sent;
        for (size_t i = before; i < requests.size() && i < before + 20; ++i)
            sent += "\n  " + requests[i];
        EXPECT_EQ(before, requests.size()) << c.what << ": requests while idle:" << sent;
    }
}

// Outlines of 96 x 96 pictures; the top-left pixel, which gives the key
// colour, is left out of each. Cells of 8 pixels, every second one shown:
// 72 rectangles.
bool Checker(int x, int y)
{
    return (x / 8 + y / 8) % 2 == 1;
}
bool LeftHalf(int x, int y)
{
    return x < 48 && y > 0;
}
bool RightHalf(int x, int)
{
    return x >= 48;
}

// Frames side by side, each 96 x 96: frame i shows outlines[i] in a colour
// of its own on the key colour.
std::string Frames(const std::vector<bool (*)(int, int)>& outlines)
{
    pendar::test::TestPicture p(96 * static_cast<int>(outlines.size()), 96, pendar::test::kKey);
    for (size_t i = 0; i < outlines.size(); ++i)
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x)
                if (outlines[i](x, y))
                    p.Fill(static_cast<int>(i) * 96 + x, y, 1, 1, 0x3366CC + 0x1020 * static_cast<uint32_t>(i));
    return p.Bmp();
}

TEST(IdleRequests, AnAnimationFrameCostsAFewRequests)
{
    if (std::system("command -v xtrace >/dev/null") != 0)
        GTEST_SKIP() << "xtrace is not installed (scripts/packages/test-idle.list)";
    using Outline = bool (*)(int, int);
    const struct {
        const char* what;
        Outline picture;
        std::vector<Outline> frames;
    } cases[] = {
        // Each frame is painted and sent whole, not one rectangle of the
        // outline at a time.
        {"frames of one outline of many rectangles", Checker, {Checker, Checker, Checker, Checker, Checker, Checker}},
        // A new outline exposes the window again; the window manager's
        // states are not checked again for that.
        {"frames of changing outlines", LeftHalf, {RightHalf, LeftHalf, RightHalf, LeftHalf, RightHalf, LeftHalf}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProxiedPendar app("PICTURE1=body.bmp\r\nCLICK1=click.bmp," + std::to_string(c.frames.size()) + ",0\r\n",
                          {{"body.bmp", Frames({c.picture})},
                           {"click.bmp", Frames(c.frames)},
                           {"Fukidasi.bmp", pendar::test::Balloon().Bmp()}});
        ASSERT_TRUE(app.Start());
        std::this_thread::sleep_for(2s);
        const xcb_window_t main = app.Main();
        const std::vector<xcb_rectangle_t> outline = app.x.Shape(main);
        ASSERT_FALSE(outline.empty());

        AwayFromANewMinute(7s);
        const size_t before = Requests(app.Log()).size();
        const xcb_rectangle_t& r = outline.front();
        ASSERT_TRUE(Shell("xdotool mousemove --window " + std::to_string(main) + " " +
                          std::to_string(r.x + r.width / 2) + " " + std::to_string(r.y + r.height / 2) + " click 1"));
        std::this_thread::sleep_for(3s); // six frames of a tick each, and back
        const std::vector<std::string> requests = Requests(app.Log());
        ASSERT_TRUE(app.Running());
        const size_t shapes = Count(requests, before, "Rectangles");
        const size_t puts = Count(requests, before, "PutImage");
        const size_t stateChecks = Count(requests, before, "GetWindowAttributes");
        if (c.picture == Checker) {
            EXPECT_EQ(0u, shapes);
            EXPECT_GE(puts, c.frames.size() - 1) << "the frames were not shown";
            EXPECT_LT(puts, outline.size()) << "frames sent one rectangle at a time";
        } else {
            EXPECT_GE(shapes, c.frames.size()) << "the frames' outlines were not set";
            // Those of the click's activation aside.
            EXPECT_LE(stateChecks, 2u) << "states checked at every expose";
        }
    }
}

} // namespace
