// The real pendar on the test's X server, used as a person uses it: a
// portable install of its own, found by its windows and driven with
// synthetic input (xdotool).
#pragma once

#include "PortableInstall.h"
#include "support/Spawn.h"
#include "support/XView.h"

#include <csignal>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pendar::test {

// Runs a program to its end; true when it exited with 0.
inline bool RunProgram(const std::vector<std::string>& argv)
{
    pid_t pid = Spawn(argv);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// xdotool with its arguments, e.g. Xdotool({"key", "Down", "Return"}).
inline bool Xdotool(std::initializer_list<std::string> args)
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args);
    return RunProgram(argv);
}

// Keys typed one after the other, as xdotool names them ("Down", "Return",
// "ctrl+c"), a little apart so each reaches the window that has the focus.
inline bool PressKeys(const std::vector<std::string>& keys)
{
    std::vector<std::string> argv{"xdotool", "key", "--delay", "80"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    return RunProgram(argv);
}

// A program that runs beside the test (a task bar, a tray host) until the
// object goes.
class Companion {
public:
    // Its chatter goes nowhere.
    explicit Companion(const std::vector<std::string>& argv, const std::vector<std::string>& env = {})
        : pid_(Spawn(argv, env, true))
    {
    }
    ~Companion()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Companion(const Companion&) = delete;
    Companion& operator=(const Companion&) = delete;

private:
    pid_t pid_ = -1;
};

// A notification area (trayer) on the test's display.
class TrayHost {
public:
    TrayHost() : trayer_({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                          "--height", "24"}) {}
    bool Ready() const { return WaitUntil([this] { return x_.SelectionOwner("_NET_SYSTEM_TRAY_S0") != 0; }); }

private:
    Companion trayer_;
    XView x_;
};

// A task bar (tint2) on the test's display: task buttons alone, left to
// right along the bottom, no notification area.
class TaskBar {
public:
    TaskBar() : config_(WriteConfig()), tint2_({"tint2", "-c", config_}) {}
    bool Ready() const { return WaitUntil([this] { return Panel() != 0; }); }

    // Clicks the first task's button, as a user brings that window back.
    bool ClickFirstTask() const
    {
        const XBox b = x_.Box(Panel());
        return Xdotool({"mousemove", std::to_string(b.x + 20), std::to_string(b.CentreY()), "click", "1"});
    }

private:
    std::string WriteConfig() const
    {
        dir_.Write("tint2rc", "panel_items = T\npanel_position = bottom center horizontal\n"
                              "panel_size = 100% 30\ntask_text = 1\ntask_maximum_size = 200 30\n");
        return dir_.File("tint2rc");
    }
    xcb_window_t Panel() const
    {
        for (xcb_window_t w : x_.Clients())
            if (x_.HasAtom(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK"))
                return w;
        return 0;
    }

    TempDir dir_;
    XView x_;
    std::string config_;
    Companion tint2_;
};

class LivePendar {
public:
    static constexpr const char* kTitle = "SorelPendar";

    LivePendar() = default;
    LivePendar(const LivePendar&) = delete;
    LivePendar& operator=(const LivePendar&) = delete;

    // Another skin: the sample skin again under `name`.
    void AddSkinPack(const std::string& name) const
    {
        std::filesystem::copy_file(SOREL_PAK, dir.File("Data/" + name + ".Pak"));
    }

    // Pendar.ini with these lines in [Config] (after the version).
    void WriteConfig(std::initializer_list<std::string> lines) const
    {
        std::string text = "[Config]\r\nVersion=1.22\r\n";
        for (const std::string& l : lines)
            text += l + "\r\n";
        dir.Write("Pendar.ini", text);
    }
    std::string Ini() const { return dir.Read("Pendar.ini"); }
    bool IniHas(const std::string& line) const { return Ini().find("\r\n" + line + "\r\n") != std::string::npos; }
    // What the program wrote to standard error (its log lines among it).
    std::string Errors() const { return install_.Errors(); }

    // Starts the program on the X server (with `env` over the install's
    // own) and waits until its character window is mapped.
    bool Start(std::map<std::string, std::optional<std::string>> env = {})
    {
        env["QT_QPA_PLATFORM"] = "xcb";
        pid_ = install_.Start(env);
        return WaitUntil([this] { return Main() != 0; });
    }

    // The program started once more from the same install, as a user starts
    // it again; the second process's id.
    pid_t StartAgain() { return install_.Start({{"QT_QPA_PLATFORM", "xcb"}}); }

    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

    // Ends the program the way a session does; its exit code, -1 when it
    // did not end.
    int Stop()
    {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGTERM);
        return WaitFor(pid_, std::chrono::seconds(20));
    }

    uint32_t Pid() const { return static_cast<uint32_t>(pid_); }
    // The character's window; 0 while it is not mapped.
    xcb_window_t Main() const { return x.Client(Pid(), kTitle); }
    // A mapped window of the program by its title.
    xcb_window_t Window(const std::string& title) const { return x.Client(Pid(), title); }

    // A point on the character: the middle of the main window, where the
    // character sits between the balloon's margins.
    XBox Character() const { return x.Box(Main()); }
    bool RightClickCharacter() const
    {
        const XBox b = Character();
        return Xdotool({"mousemove", std::to_string(b.CentreX()), std::to_string(b.CentreY()), "click", "3"});
    }
    // Opens the character's menu with a right click; false when no menu came.
    bool OpenMenu() const
    {
        const xcb_window_t main = Main();
        // A menu still closing would take the click for itself.
        return WaitUntil([&] { return x.Popups(main).empty(); }) && RightClickCharacter() &&
               WaitUntil([&] { return !x.Popups(main).empty(); }, std::chrono::seconds(5));
    }

    // Opens the character's menu with the keyboard's menu key, once the
    // character has the keyboard; false when no menu came.
    bool OpenMenuByKey() const
    {
        const xcb_window_t main = Main();
        return WaitUntil([&] { return x.InputFocus() == main; }) && PressKeys({"Menu"}) &&
               WaitUntil([&] { return !x.Popups(main).empty(); }, std::chrono::seconds(5));
    }

    // Opens a window from the character's menu with the keyboard, as a
    // user reaches it: `downs` arrow presses from the top, then Return. The
    // window with `title`, or 0 when none came.
    xcb_window_t OpenFromMenu(int downs, const std::string& title) const
    {
        if (!OpenMenu())
            return 0;
        std::vector<std::string> keys(static_cast<size_t>(downs), "Down");
        keys.push_back("Return");
        PressKeys(keys);
        xcb_window_t w = 0;
        WaitUntil([&] { return (w = Window(title)) != 0; });
        return w;
    }
    // Entries of the character's menu, counted in arrow presses.
    static constexpr int kSettingsEntry = 6;
    static constexpr int kCharSelectEntry = 7;
    static constexpr int kLogEntry = 8;
    static constexpr int kCalendarEntry = 9;

    // Clicks a dialog's OK in its bottom right corner.
    bool ClickOk(xcb_window_t dialog) const
    {
        const XBox b = x.Box(dialog);
        return Xdotool(
            {"mousemove", std::to_string(b.x + b.width - 30), std::to_string(b.y + b.height - 14), "click", "1"});
    }

private:
    PortableInstall install_;

public:
    const TempDir& dir = install_.dir;
    XView x;

private:
    pid_t pid_ = -1;
};

} // namespace pendar::test
