// A stand-in for the desktop's opener (xdg-open) on a PATH of the test's
// own, which writes down its argument and the folder it was started in and
// ends with a chosen exit code; and PATH set for one scope.
#pragma once

#include "support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace pendar::test {

// PATH for one scope, so that "xdg-open" is the fake one or missing.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path)
    {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        old_ = old ? old : "";
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath()
    {
        if (had_)
            ::setenv("PATH", old_.c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    bool had_;
    std::string old_;
};

class FakeOpener {
public:
    explicit FakeOpener(int exitCode = 0)
    {
        namespace fs = std::filesystem;
        fs::create_directory(dir_.File("bin"));
        dir_.Write("bin/xdg-open", "#!/bin/sh\n"
                                   "printf '%s\\n' \"$1\" > '" + dir_.File("seen") + "'\n"
                                   "pwd -P >> '" + dir_.File("seen") + "'\n"
                                   ": > '" + dir_.File("done") + "'\n"
                                   "exit " + std::to_string(exitCode) + "\n");
        fs::permissions(dir_.File("bin/xdg-open"), fs::perms::owner_all);
    }
    std::string Bin() const { return dir_.File("bin"); }

    // The argument and folder of the call, or empty when none came.
    std::string Seen() const
    {
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(dir_.File("done")) && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return dir_.Read("seen");
    }

private:
    TempDir dir_;
};

} // namespace pendar::test
