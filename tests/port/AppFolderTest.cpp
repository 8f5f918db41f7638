#include "port/AppFolder.h"
#include "support/FakeEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using pendar::test::FakeEnv;

TEST(AppFolders, PortableWhenTheExecutableFolderHoldsOurFiles)
{
    pendar::test::TempDir exe;
    std::filesystem::create_directory(exe.File("Data"));
    FakeEnv env{{{"HOME", "/home/u"}}};
    port::AppFolders f = port::ResolveAppFolders(exe.Path(), env.Lookup());
    EXPECT_TRUE(f.portable);
    EXPECT_EQ(exe.Path() + "/Pendar.ini", f.settingsFile);
    ASSERT_EQ(1u, f.dataFolders.size());
    EXPECT_EQ(exe.Path() + "/Data/", f.dataFolders[0]);
    EXPECT_EQ(std::vector<std::string>{exe.Path() + "/"}, f.shareFolders);
}

TEST(AppFolders, InstalledFollowsXdg)
{
    pendar::test::TempDir exe; // holds neither Pendar.ini nor Data
    const std::string beside = exe.Path() + "/../share/pendar/";
    const struct {
        const char* dataDirs; // nullptr: unset
        std::vector<std::string> shares;
    } cases[] = {
        {nullptr, {"/usr/local/share/pendar/", "/usr/share/pendar/", beside}},
        {"", {"/usr/local/share/pendar/", "/usr/share/pendar/", beside}},
        {"relative:also/relative", {"/usr/local/share/pendar/", "/usr/share/pendar/", beside}},
        {"/opt/a:relative::/opt/b/", {"/opt/a/pendar/", "/opt/b/pendar/", beside}},
        {"/opt/a:/opt/a/:/opt/./a", {"/opt/a/pendar/", beside}},
    };
    for (const auto& c : cases) {
        FakeEnv env{{{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}}};
        if (c.dataDirs)
            env.vars["XDG_DATA_DIRS"] = c.dataDirs;
        port::AppFolders f = port::ResolveAppFolders(exe.Path(), env.Lookup());
        const std::string label = c.dataDirs ? c.dataDirs : "(unset)";
        EXPECT_FALSE(f.portable);
        EXPECT_EQ("/cfg/Pendar/Pendar.ini", f.settingsFile);
        EXPECT_EQ(c.shares, f.shareFolders) << label;
        std::vector<std::string> data = {"/home/u/.local/share/Pendar/Data/"};
        for (const std::string& share : c.shares)
            data.push_back(share + "Data/");
        EXPECT_EQ(data, f.dataFolders) << label;
    }
}

// An unpacked tree <root>/usr/bin/pendar with <root>/usr/share/pendar named
// in $XDG_DATA_DIRS too: its share folder is searched once.
TEST(AppFolders, AnInstalledTreeNamedTwiceIsSearchedOnce)
{
    pendar::test::TempDir root;
    std::filesystem::create_directories(root.File("usr/bin"));
    std::filesystem::create_directories(root.File("usr/share/pendar/Data"));
    FakeEnv env{{{"HOME", "/home/u"}, {"XDG_DATA_DIRS", root.File("usr/share") + ":/usr/share"}}};
    port::AppFolders f = port::ResolveAppFolders(root.File("usr/bin"), env.Lookup());
    EXPECT_EQ((std::vector<std::string>{root.File("usr/share/pendar/"), "/usr/share/pendar/"}), f.shareFolders);
}

TEST(AppFolders, SharedFilesComeFromTheFirstFolderHoldingThem)
{
    pendar::test::TempDir dir;
    std::filesystem::create_directories(dir.File("a/help"));
    std::filesystem::create_directories(dir.File("b/help/Pendar.html")); // a folder, not a page
    std::filesystem::create_directories(dir.File("c/help"));
    std::filesystem::create_directories(dir.File("d/help"));
    dir.Write("c/help/Pendar.html", "c");
    dir.Write("d/help/Pendar.html", "d");
    port::AppFolders f;
    f.shareFolders = {dir.File("a/"), dir.File("b/"), dir.File("c/"), dir.File("d/")};
    EXPECT_EQ(dir.File("c/help/Pendar.html"), port::FindSharedFile(f, "help/Pendar.html"));
    EXPECT_EQ("", port::FindSharedFile(f, "help/Other.html"));
}

TEST(AppFolders, ReadOnlyExecutableFolderIsNotPortable)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write everywhere";
    pendar::test::TempDir exe;
    exe.Write("Pendar.ini", "");
    std::filesystem::permissions(exe.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    FakeEnv env{{{"HOME", "/home/u"}}};
    EXPECT_FALSE(port::ResolveAppFolders(exe.Path(), env.Lookup()).portable);
}

TEST(AppFolders, MakeFoldersCreatesParents)
{
    pendar::test::TempDir dir;
    EXPECT_TRUE(port::MakeFolders(dir.File("a/b/c")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("a/b/c")));
    EXPECT_TRUE(port::MakeFolders(dir.File("a/b/c")));
}

} // namespace
