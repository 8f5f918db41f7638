// The folder lister over a real folder: two passes, attributes, hidden
// entries, names code page 932 cannot hold, and a stable order.
#include "base/Sjis.h"
#include "dialogs/ZoFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Listed {
    std::vector<std::string> names;
    std::vector<unsigned> attributes;
};

Listed Pass(TZoFolder& folder, bool folders)
{
    Listed out;
    EXPECT_TRUE(folder.StartEnum(folders));
    TZoFolderItem item;
    while (folder.NextItem(item)) {
        out.names.push_back(TZoFolder::ItemName(item, false));
        out.attributes.push_back(item.attributes);
    }
    return out;
}

TEST(ZoFolder, ListsFilesThenFoldersWithTheirAttributes)
{
    pendar::test::TempDir dir;
    for (const char* f : {"b.PAK", "A.Pak", ".hidden", "日本.Pak", "caf\xC3\xA9.Pak"})
        dir.Write(f, "x");
    for (const char* d : {"D", "C", ".config", "表"})
        std::filesystem::create_directory(dir.File(d));
    ASSERT_EQ(0, mkfifo(dir.File("pipe.Pak").c_str(), 0600));
    ASSERT_EQ(0, symlink("nowhere", dir.File("dangling.Pak").c_str()));
    ASSERT_EQ(0, symlink("C", dir.File("linked").c_str()));

    TZoFolder folder;
    ASSERT_TRUE(folder.OpenFolder(dir.Path()));
    // "café" has no code page 932 form and is left out; the rest sorted
    // without regard to case.
    Listed files = Pass(folder, false);
    EXPECT_EQ((std::vector<std::string>{".hidden", "A.Pak", "b.PAK", "dangling.Pak", "pipe.Pak", Sjis("日本.Pak")}),
              files.names);
    EXPECT_EQ((std::vector<unsigned>{SFGAO_FILESYSTEM, SFGAO_FILESYSTEM, SFGAO_FILESYSTEM, 0, 0, SFGAO_FILESYSTEM}),
              files.attributes);

    Listed folders = Pass(folder, true);
    EXPECT_EQ((std::vector<std::string>{".config", "C", "D", "linked", Sjis("表")}), folders.names);
    for (unsigned a : folders.attributes)
        EXPECT_EQ(unsigned{SFGAO_FILESYSTEM} | SFGAO_FOLDER, a);

    TZoFolderItem item;
    ASSERT_TRUE(folder.StartEnum(true));
    ASSERT_TRUE(folder.NextItem(item));
    EXPECT_EQ(dir.File(".config"), TZoFolder::ItemName(item, true));
}

TEST(ZoFolder, RefusesWhatIsNoFolder)
{
    pendar::test::TempDir dir;
    dir.Write("file", "x");
    TZoFolder folder;
    TZoFolderItem item;
    EXPECT_FALSE(folder.StartEnum(false)); // nothing opened
    EXPECT_FALSE(folder.NextItem(item));
    EXPECT_FALSE(folder.OpenFolder(""));
    EXPECT_FALSE(folder.OpenFolder(dir.File("file")));
    EXPECT_FALSE(folder.OpenFolder(dir.File("missing")));
    EXPECT_FALSE(folder.StartEnum(true));
}

} // namespace
