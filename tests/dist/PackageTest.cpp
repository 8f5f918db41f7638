// The Debian package as a user gets it: scripts/package builds it from this
// build (lintian finds no error), it is unpacked into a scratch root, its
// desktop entry and AppStream file validate, and the installed pendar,
// started with a fresh HOME on a real X server, shows the sample character
// from the installed data folder and writes ~/.config/Pendar/Pendar.ini.
#include "app/DesktopId.h"
#include "support/ProcessExit.h"
#include "support/RunTool.h"
#include "support/TempDir.h"
#include "support/XConnection.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using pendar::test::Reply;
using pendar::test::RunProgram;
using pendar::test::TempDir;
using pendar::test::ToolRun;
using pendar::test::WaitFor;
using pendar::test::XConnection;

const std::string kId = pendar::kDesktopId;

// Rows of the sample character from here down (her board, hands, dress and
// shoes) look the same in every picture and animation frame.
constexpr int kStillFromRow = 112;
// The board's light face, where the clock is written.
constexpr int kBoardLeft = 29, kBoardTop = 117, kBoardRight = 139, kBoardBottom = 183;

// The viewable window whose _NET_WM_PID is `pid`, searched from the root
// down through the window manager's frames.
std::optional<xcb_window_t> WindowOf(const XConnection& x, pid_t pid)
{
    xcb_connection_t* c = x.Raw();
    xcb_atom_t pidAtom = x.Atom("_NET_WM_PID");
    std::vector<xcb_window_t> todo = {x.Screen()->root};
    while (!todo.empty()) {
        xcb_window_t w = todo.back();
        todo.pop_back();
        auto prop = Reply(xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (prop && xcb_get_property_value_length(prop.get()) == 4 &&
            *static_cast<uint32_t*>(xcb_get_property_value(prop.get())) == static_cast<uint32_t>(pid) && x.Viewable(w))
            return w;
        auto tree = Reply(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (!tree)
            continue;
        xcb_window_t* children = xcb_query_tree_children(tree.get());
        todo.insert(todo.end(), children, children + xcb_query_tree_children_length(tree.get()));
    }
    return std::nullopt;
}

std::optional<QSize> SizeOf(const XConnection& x, xcb_window_t w)
{
    auto g = Reply(xcb_get_geometry_reply(x.Raw(), xcb_get_geometry(x.Raw(), w), nullptr));
    if (!g)
        return std::nullopt;
    return QSize(g->width, g->height);
}

// The sizes of the icons in the window's _NET_WM_ICON.
std::set<int> IconSizes(const XConnection& x, xcb_window_t w)
{
    std::set<int> sizes;
    auto prop = Reply(xcb_get_property_reply(
        x.Raw(), xcb_get_property(x.Raw(), 0, w, x.Atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 0, 1 << 20), nullptr));
    if (!prop)
        return sizes;
    auto* v = static_cast<const uint32_t*>(xcb_get_property_value(prop.get()));
    size_t n = size_t(xcb_get_property_value_length(prop.get())) / 4;
    for (size_t i = 0; i + 2 <= n && v[i] == v[i + 1] && v[i] > 0; i += 2 + size_t(v[i]) * size_t(v[i + 1]))
        sizes.insert(int(v[i]));
    return sizes;
}

// What the screen shows of a part of the window, as 0xRRGGBB (a 24-bit
// screen); `visible` is the part of `part` that is on the screen.
QImage ShownPixels(const XConnection& x, xcb_window_t w, const QRect& part, QRect& visible)
{
    const xcb_screen_t* screen = x.Screen();
    auto at = Reply(xcb_translate_coordinates_reply(
        x.Raw(), xcb_translate_coordinates(x.Raw(), w, screen->root, int16_t(part.x()), int16_t(part.y())), nullptr));
    if (!at)
        return {};
    const QRect onScreen = QRect(QPoint(at->dst_x, at->dst_y), part.size()) &
                           QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    auto image = Reply(xcb_get_image_reply(
        x.Raw(),
        xcb_get_image(x.Raw(), XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(onScreen.x()), int16_t(onScreen.y()),
                      uint16_t(onScreen.width()), uint16_t(onScreen.height()), ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) != onScreen.width() * onScreen.height() * 4)
        return {};
    QImage shown(xcb_get_image_data(image.get()), onScreen.width(), onScreen.height(), onScreen.width() * 4,
                 QImage::Format_RGB32);
    visible = onScreen.translated(-at->dst_x + part.x(), -at->dst_y + part.y());
    QImage out(part.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    for (int y = 0; y < shown.height(); ++y)
        for (int x0 = 0; x0 < shown.width(); ++x0)
            out.setPixel(visible.x() - part.x() + x0, visible.y() - part.y() + y, shown.pixel(x0, y));
    return out;
}

// "WxH" after `key` at the start of a line of `text`.
std::optional<QSize> SizeAfter(const std::string& text, const std::string& key)
{
    std::smatch m;
    if (!std::regex_search(text, m, std::regex("(^|\n)" + key + " ([0-9]+)x([0-9]+)")))
        return std::nullopt;
    return QSize(std::stoi(m[2]), std::stoi(m[3]));
}

class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ToolRun made = RunProgram({std::string(PENDAR_SOURCE_DIR) + "/scripts/package", PENDAR_BUILD_DIR,
                                   out_->Path()});
        packaging_ = made.out + made.err;
        ASSERT_EQ(0, made.exitCode) << packaging_;
        std::string last = made.out.substr(0, made.out.find_last_not_of('\n') + 1);
        deb_ = last.substr(last.rfind('\n') + 1);
        ASSERT_TRUE(fs::is_regular_file(deb_)) << packaging_;
        ToolRun unpacked = RunProgram({"dpkg", "-x", deb_, root_->Path()});
        ASSERT_EQ(0, unpacked.exitCode) << unpacked.err;
    }

    static void TearDownTestSuite()
    {
        delete root_;
        delete out_;
        root_ = nullptr;
        out_ = nullptr;
    }

    static std::string Installed(const std::string& path) { return root_->File("usr/" + path); }

    static std::string Field(const std::string& name)
    {
        ToolRun f = RunProgram({"dpkg-deb", "-f", deb_, name});
        return f.out.substr(0, f.out.find_last_not_of('\n') + 1);
    }

    static inline TempDir* out_ = new TempDir;
    static inline TempDir* root_ = new TempDir;
    static inline std::string deb_;
    static inline std::string packaging_;
};

TEST_F(Package, IsNamedAfterVersionAndArchitectureAndNeedsItsLibrariesAndFonts)
{
    std::string arch = RunProgram({"dpkg", "--print-architecture"}).out;
    arch = arch.substr(0, arch.find('\n'));
    EXPECT_EQ("pendar_" + Field("Version") + "_" + arch + ".deb", fs::path(deb_).filename().string());
    EXPECT_EQ(std::string(PENDAR_VERSION), Field("Version"));
    std::string depends = Field("Depends");
    for (const char* needed : {"libc6", "libqt6widgets6", "libqt6gui6", "libxcb1", "fonts-ipafont-gothic"})
        EXPECT_NE(std::string::npos, depends.find(needed)) << needed << " missing in " << depends;
    EXPECT_EQ(std::string::npos, packaging_.find("\nE: ")) << packaging_;
}

TEST_F(Package, InstallsTheProgramItsDataAndWhatTheDesktopReads)
{
    std::vector<std::string> files = {
        "bin/pendar",
        "bin/pendar-tool",
        "share/pendar/Data/Sorel.Pak",
        "share/pendar/help/Pendar.html",
        "share/applications/" + kId + ".desktop",
        "share/metainfo/" + kId + ".metainfo.xml",
        "share/man/man1/pendar.1.gz",
        "share/man/man1/pendar-tool.1.gz",
        "share/doc/pendar/copyright",
        "share/doc/pendar/changelog.gz",
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        std::string icon = "share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                           kId + ".png";
        files.push_back(icon);
        QImage image(QString::fromStdString(Installed(icon)));
        EXPECT_EQ(QSize(size, size), image.size()) << icon;
        EXPECT_TRUE(image.hasAlphaChannel()) << icon;
    }
    for (const std::string& file : files)
        EXPECT_TRUE(fs::is_regular_file(Installed(file))) << file;

    ToolRun desktop = RunProgram({"desktop-file-validate", Installed("share/applications/" + kId + ".desktop")});
    EXPECT_EQ(0, desktop.exitCode) << desktop.out << desktop.err;
    ToolRun appstream =
        RunProgram({"appstreamcli", "validate", "--no-net", Installed("share/metainfo/" + kId + ".metainfo.xml")});
    EXPECT_EQ(0, appstream.exitCode) << appstream.out << appstream.err;
}

TEST_F(Package, TheInstalledProgramShowsTheSampleCharacterAndKeepsItsSettingsInHome)
{
    XConnection x;
    ASSERT_TRUE(x.Ok()) << "needs an X server (tests/support/with-xvfb)";
    TempDir home;
    TempDir run;
    fs::permissions(run.Path(), fs::perms::owner_all);
    const std::string skin = Installed("share/pendar/Data/Sorel.Pak");

    // What the installed skin should look like, drawn by the installed tool.
    ToolRun check = RunProgram({Installed("bin/pendar-tool"), "skin", "check", skin});
    ASSERT_EQ(0, check.exitCode) << check.out << check.err;
    std::optional<QSize> picture = SizeAfter(check.out, "picture1");
    std::optional<QSize> balloon = SizeAfter(check.out, "balloon");
    ASSERT_TRUE(picture && balloon) << check.out;

    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", home.Path().c_str(), 1);
        ::setenv("XDG_DATA_DIRS", Installed("share").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", run.Path().c_str(), 1);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "QT_QPA_PLATFORM"})
            ::unsetenv(name);
        std::string bin = Installed("bin/pendar");
        ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::optional<xcb_window_t> window;
    for (int i = 0; i < 400 && !window; ++i) {
        std::this_thread::sleep_for(50ms);
        window = WindowOf(x, pid);
    }
    ASSERT_TRUE(window) << "no window of the installed pendar";

    // The window is laid out for the sample skin: the character with room
    // for its balloon on every side.
    EXPECT_EQ(QSize(picture->width() + 2 * balloon->width(), picture->height() + 2 * balloon->height()),
              SizeOf(x, *window));
    // Its windows carry the installed icon (given once the first frame is
    // up).
    bool icon = false;
    for (int i = 0; i < 100 && !(icon = IconSizes(x, *window).count(16) > 0); ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(icon) << "no 16x16 icon on the window";
    const QRect character(QPoint(balloon->width(), balloon->height()), *picture);

    // The greeting's balloon must not cover the part compared below.
    std::smatch mesY;
    ASSERT_TRUE(std::regex_search(check.out, mesY, std::regex("\nMESOFFSETY=(-?[0-9]+)")));
    ASSERT_LE(std::stoi(mesY[1]) + balloon->height(), kStillFromRow);

    // The still part of the character on the server: its shape and its
    // pixels, against the installed tool's drawing of the installed skin.
    TempDir drawn;
    ToolRun rendered = RunProgram({Installed("bin/pendar-tool"), "render", skin, "--time", "2025-01-01 09:05",
                                   "--out", drawn.File("sorel.png")});
    ASSERT_EQ(0, rendered.exitCode) << rendered.err;
    QImage expected = QImage(QString::fromStdString(drawn.File("sorel.png"))).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(*picture, expected.size());

    auto stillPartMatches = [&](std::string& why) {
        QRegion shape = x.Shape(*window);
        QRect visible;
        QImage shown = ShownPixels(x, *window, character, visible);
        if (shown.isNull()) {
            why = "the character's pixels cannot be read";
            return false;
        }
        int compared = 0;
        for (int y = kStillFromRow; y < picture->height(); ++y) {
            for (int x0 = 0; x0 < picture->width(); ++x0) {
                bool opaque = qAlpha(expected.pixel(x0, y)) != 0;
                if (opaque != shape.contains(character.topLeft() + QPoint(x0, y))) {
                    why = "shape differs at " + std::to_string(x0) + "," + std::to_string(y);
                    return false;
                }
                bool onBoard = x0 >= kBoardLeft && x0 <= kBoardRight && y >= kBoardTop && y <= kBoardBottom;
                if (!opaque || onBoard || !visible.contains(character.topLeft() + QPoint(x0, y)))
                    continue;
                if ((shown.pixel(x0, y) & 0xFFFFFF) != (expected.pixel(x0, y) & 0xFFFFFF)) {
                    why = "pixel differs at " + std::to_string(x0) + "," + std::to_string(y);
                    return false;
                }
                ++compared;
            }
        }
        why = std::to_string(compared) + " pixels compared";
        return compared > 1000;
    };
    std::string why;
    bool matches = stillPartMatches(why);
    for (int i = 0; i < 100 && !matches; ++i) { // until the window is drawn
        std::this_thread::sleep_for(100ms);
        matches = stillPartMatches(why);
    }
    EXPECT_TRUE(matches) << why;

    ::kill(pid, SIGTERM);
    int exitCode = WaitFor(pid, 30s);
    EXPECT_EQ(0, exitCode);
    if (exitCode < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    std::string settings = TempDir::ReadFile(home.File(".config/Pendar/Pendar.ini"));
    EXPECT_EQ(0u, settings.find("[Config]\r\nVersion=1.22\r\nSkinName=Sorel\r\n")) << settings.substr(0, 80);
    EXPECT_FALSE(fs::exists(Installed("bin/Pendar.ini"))) << "the installed tree is no portable one";
}

} // namespace
