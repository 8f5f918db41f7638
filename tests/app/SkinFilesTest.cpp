// Names inside a skin become paths under its folder: code page 932 decoded
// before '\' turns into '/', letter case ignored, no way out of the folder.
#include "app/SkinFiles.h"
#include "base/Sjis.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using pendar::FindFileIgnoringCase;
using pendar::FindSkinSource;
using pendar::SkinRelativePath;
using pendar::test::TempDir;

TEST(SkinRelativePath, NamesAndRefusals)
{
    const struct {
        std::string name;
        std::optional<std::string> path;
    } cases[] = {
        {"Info.ini", "Info.ini"},
        {"sub\\pic.bmp", "sub/pic.bmp"},
        {".\\a\\\\b.bmp", "a/b.bmp"},
        // 0x5C is the trail byte of "表" (0x95 0x5C): no separator there.
        {Sjis("表.bmp"), "表.bmp"},
        {Sjis("表\\ソ.bmp"), "表/ソ.bmp"},
        {"..\\secret.bmp", std::nullopt},
        {"a/../../b.bmp", std::nullopt},
        {"\\etc\\passwd", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"C:\\x.bmp", std::nullopt},
        {"c:x.bmp", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {std::string("a\0b", 3), std::nullopt},
        {"\x81", std::nullopt}, // a lead byte without its trail byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.path, SkinRelativePath(c.name)) << c.name;
}

TEST(FindFileIgnoringCase, MatchesEachPartWithoutRegardToCase)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("Skin/Sub"));
    dir.Write("Skin/Sub/Picture.BMP", "x");
    dir.Write("Skin/exact.bmp", "1");
    dir.Write("Skin/EXACT.bmp", "2");
    const std::string folder = dir.File("Skin/");
    EXPECT_EQ(folder + "Sub/Picture.BMP", FindFileIgnoringCase(folder, "sub/picture.bmp"));
    EXPECT_EQ(folder + "EXACT.bmp", FindFileIgnoringCase(folder, "EXACT.bmp")); // an exact match first
    EXPECT_EQ(folder + "EXACT.bmp", FindFileIgnoringCase(folder, "Exact.bmp")); // then the first in byte order
    EXPECT_EQ(std::nullopt, FindFileIgnoringCase(folder, "missing.bmp"));
    EXPECT_EQ(std::nullopt, FindFileIgnoringCase(folder, "sub")); // a folder is no file
}

TEST(FindSkinSource, PackWinsOverFolderAndFoldersAreSearchedInOrder)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("one/Folder"));
    std::filesystem::create_directories(dir.File("two/Both"));
    std::filesystem::create_directories(dir.File("two/Folder"));
    dir.Write("two/Both.Pak", "");
    dir.Write("two/lower.pak", "");
    const std::vector<std::string> data = {dir.File("one/"), dir.File("two/")};

    auto both = FindSkinSource(data, "Both");
    ASSERT_TRUE(both);
    EXPECT_EQ(dir.File("two/Both.Pak"), both->pack);
    auto folder = FindSkinSource(data, "folder");
    ASSERT_TRUE(folder);
    EXPECT_EQ(dir.File("one/Folder/"), folder->folder);
    auto lower = FindSkinSource(data, "Lower");
    ASSERT_TRUE(lower);
    EXPECT_EQ(dir.File("two/lower.pak"), lower->pack);
    auto missing = FindSkinSource(data, "Missing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(dir.File("one/Missing/"), missing->folder);
    EXPECT_FALSE(FindSkinSource(data, "..\\two\\Both"));
    EXPECT_FALSE(FindSkinSource({}, "Both"));
}

} // namespace
