#include "platform/FileTests.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(FileTests, TellFilesFromFoldersAndMissingPaths)
{
    pendar::test::TempDir dir;
    dir.Write("file", "x");
    std::filesystem::create_directory(dir.File("folder"));
    std::filesystem::create_symlink(dir.File("file"), dir.File("link"));
    std::filesystem::create_symlink(dir.File("gone"), dir.File("dangling"));

    struct Case {
        std::string path;
        bool file, folder;
    } cases[] = {
        {dir.File("file"), true, false},     {dir.File("folder"), false, true},
        {dir.File("missing"), false, false}, {dir.File("link"), true, false},
        {dir.File("dangling"), false, false}, {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.file, FileIsExist(c.path.c_str())) << c.path;
        EXPECT_EQ(c.folder, FolderIsExist(c.path.c_str())) << c.path;
    }
    EXPECT_FALSE(FileIsExist(nullptr));
    EXPECT_FALSE(FolderIsExist(nullptr));
}

} // namespace
