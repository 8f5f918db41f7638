// The real pendar on a real X server at start-up: the boxes it shows before
// its window, and how a quit request or the user ends them.
#include "PortableInstall.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace {

using namespace std::chrono_literals;
using pendar::test::PortableInstall;
using pendar::test::WaitFor;

// The output of a shell command, trailing blanks cut.
std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

// The first visible window of `pid` once it is mapped; "" when none came.
std::string WaitForWindow(pid_t pid)
{
    std::string ids =
        Output("timeout 30 xdotool search --sync --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

const std::map<std::string, std::optional<std::string>> kOnX11 = {{"QT_QPA_PLATFORM", "xcb"}};

// A skin that cannot be opened shows its box before the window exists; a
// quit signal then ends the box and the program through the close path
// (the settings are saved), instead of leaving it running without a window.
TEST(StartupX11, AQuitSignalDuringAStartUpBoxEndsTheProgram)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        PortableInstall app;
        app.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Nowhere\r\n");
        pid_t pid = app.Start(kOnX11);
        ASSERT_NE("", WaitForWindow(pid)) << "no box appeared, signal " << sig << "\n" << app.Errors();
        ::kill(pid, sig);
        EXPECT_EQ(0, WaitFor(pid, 20s)) << "signal " << sig << "\n" << app.Errors();
        std::string text = app.dir.Read("Pendar.ini");
        EXPECT_NE(std::string::npos, text.find("SkinName=Nowhere\r\n")) << text.substr(0, 80);
        EXPECT_NE(std::string::npos, text.find("SameCheck=1\r\n")) << "signal " << sig << ": not saved";
    }
}

// A lock that cannot be made (the cache's folder for it is a link planted
// by someone) is neither taken for a running instance nor ignored: the
// reason goes to standard error and into a box, and the exit code is 1.
TEST(StartupX11, ALockThatCannotBeMadeIsReportedAndEndsWithAnError)
{
    PortableInstall app;
    std::filesystem::create_directories(app.dir.File("cache"));
    std::filesystem::create_directory(app.dir.File("elsewhere"));
    std::filesystem::create_directory_symlink(app.dir.File("elsewhere"), app.dir.File("cache/pendar"));
    auto env = kOnX11;
    env["XDG_RUNTIME_DIR"] = std::nullopt;
    env["XDG_CACHE_HOME"] = app.dir.File("cache");
    pid_t pid = app.Start(env);
    std::string box = WaitForWindow(pid);
    ASSERT_NE("", box) << app.Errors();
    EXPECT_NE(std::string::npos, Output("xdotool getwindowname " + box).find("SorelPendar"));
    std::system(("xdotool windowactivate --sync " + box + " key --clearmodifiers Return").c_str());
    EXPECT_EQ(1, WaitFor(pid, 20s));
    std::string err = app.Errors();
    EXPECT_NE(std::string::npos, err.find("cannot make the single-instance lock")) << err;
    EXPECT_NE(std::string::npos, err.find("is not a folder")) << err;
    EXPECT_TRUE(std::filesystem::is_empty(app.dir.File("elsewhere")));
}

} // namespace
