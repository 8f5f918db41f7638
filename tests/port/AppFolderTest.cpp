#include "port/AppFolder.h"
#include "support/FakeEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

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
}

TEST(AppFolders, InstalledFollowsXdg)
{
    pendar::test::TempDir exe; // holds neither Pendar.ini nor Data
    FakeEnv env{{{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}}};
    port::AppFolders f = port::ResolveAppFolders(exe.Path(), env.Lookup());
    EXPECT_FALSE(f.portable);
    EXPECT_EQ("/cfg/Pendar/Pendar.ini", f.settingsFile);
    ASSERT_EQ(2u, f.dataFolders.size());
    EXPECT_EQ("/home/u/.local/share/Pendar/Data/", f.dataFolders[0]);
    EXPECT_EQ(exe.Path() + "/../share/pendar/Data/", f.dataFolders[1]);
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
