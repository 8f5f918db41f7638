#include "port/PrivateFolder.h"
#include "support/FakeEnv.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace {

using pendar::test::TempDir;

using Env = pendar::test::FakeEnv;

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Where the lock goes: the runtime folder when it is the user's private
// one, else a folder of its own under the cache folder; never a folder
// another user could write or own.
TEST(PrivateFolder, TheRuntimeFolderOnlyWhenPrivateElseTheCacheFolder)
{
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> plant; // prepares "run" and "cache"
        const char* runtime; // XDG_RUNTIME_DIR, relative; null = unset
        const char* chosen; // relative to the temporary folder; "" = none
        const char* why;    // part of the reason or notice
        bool needsNobody = false;
    };
    auto runDir = [](const TempDir& d, mode_t mode) {
        std::filesystem::create_directory(d.File("run"));
        ::chmod(d.File("run").c_str(), mode);
    };
    const Case cases[] = {
        {"a private runtime folder", [&](const TempDir& d) { runDir(d, 0700); }, "run", "run", ""},
        {"no runtime folder", [](const TempDir&) {}, nullptr, "cache/pendar", ""},
        {"a runtime folder all may write", [&](const TempDir& d) { runDir(d, 01777); }, "run", "cache/pendar",
         "may be written by other users"},
        {"a runtime folder that is a link",
         [&](const TempDir& d) {
             runDir(d, 0700);
             std::filesystem::create_directory_symlink(d.File("run"), d.File("runlink"));
         },
         "runlink", "cache/pendar", "is not a folder"},
        {"a runtime folder of another user",
         [&](const TempDir& d) {
             runDir(d, 0700);
             pendar::test::GiveToNobody(d.File("run"));
         },
         "run", "cache/pendar", "belongs to another user", true},
        {"the cache's folder made by another user",
         [](const TempDir& d) {
             std::filesystem::create_directories(d.File("cache/pendar"));
             pendar::test::GiveToNobody(d.File("cache/pendar"));
         },
         nullptr, "", "belongs to another user", true},
        {"the cache's folder is a link",
         [](const TempDir& d) {
             std::filesystem::create_directories(d.File("cache"));
             std::filesystem::create_directory(d.File("elsewhere"));
             std::filesystem::create_directory_symlink(d.File("elsewhere"), d.File("cache/pendar"));
         },
         nullptr, "", "is not a folder"},
    };
    for (const Case& c : cases) {
        if (pendar::test::SkipWithoutNobody(c.needsNobody, c.what))
            continue;
        TempDir dir;
        c.plant(dir);
        Env env{{{"XDG_CACHE_HOME", dir.File("cache")}, {"HOME", dir.File("home")}}};
        if (c.runtime)
            env.vars["XDG_RUNTIME_DIR"] = dir.File(c.runtime);
        std::string why;
        std::optional<port::PrivateFolder> found = port::FindPrivateFolder(env.Lookup(), &why);
        if (*c.chosen == '\0') {
            EXPECT_FALSE(found) << c.what << ": " << (found ? found->path : "");
            EXPECT_NE(std::string::npos, why.find(c.why)) << c.what << ": " << why;
            continue;
        }
        ASSERT_TRUE(found) << c.what << ": " << why;
        EXPECT_EQ(dir.File(c.chosen), found->path) << c.what;
        EXPECT_NE(std::string::npos, found->notice.find(c.why)) << c.what << ": " << found->notice;
        if (std::string(c.chosen) == "cache/pendar") {
            EXPECT_EQ(0700u, ModeOf(found->path)) << c.what;
        }
    }
}

TEST(PrivateFolder, WithoutCacheVariableTheHomeCacheIsUsed)
{
    TempDir dir;
    Env env{{{"HOME", dir.Path()}}};
    std::string why;
    std::optional<port::PrivateFolder> found = port::FindPrivateFolder(env.Lookup(), &why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(dir.File(".cache/pendar"), found->path);
}

} // namespace
