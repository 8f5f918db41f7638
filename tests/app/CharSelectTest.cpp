// The character selection: the skins listed from the data folders, and the
// switch to the one chosen, with its greeting or the plain skin.
#include "FaceForm.h"
#include "ScriptedDialogs.h"
#include "app/SkinList.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using pendar::test::SkinWorld;
using pendar::test::TempDir;

TEST(SkinList, PacksFirstThenEveryFolder)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("Data/C"));
    std::filesystem::create_directories(dir.File("Data/D"));
    for (const char* f : {"Data/A.Pak", "Data/b.PAK", "Data/E.pak.bak", "Data/.Pak", "Data/notes.txt"})
        dir.Write(f, "x");
    ASSERT_EQ(0, mkfifo(dir.File("Data/pipe.Pak").c_str(), 0600));
    EXPECT_EQ((std::vector<std::string>{"A", "b", "C", "D"}), pendar::ListSkins({dir.File("Data/")}));
}

TEST(SkinList, ANameOfAnEarlierDataFolderHidesTheLaterOne)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("user/Both"));
    std::filesystem::create_directories(dir.File("share/A"));
    std::filesystem::create_directories(dir.File("share/Extra"));
    for (const char* f : {"user/A.Pak", "share/a.pak", "share/F.Pak", "share/Both.Pak"})
        dir.Write(f, "x");
    // Within one folder a pack and a folder of one name are both listed.
    dir.Write("user/Both.Pak", "x");
    EXPECT_EQ((std::vector<std::string>{"A", "Both", "F", "Both", "Extra"}),
              pendar::ListSkins({dir.File("user/"), dir.File("share/"), dir.File("missing/")}));
}

TEST(SkinList, StopsAtTwoHundredAndFiftySixEntries)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("Data"));
    for (int i = 0; i < 300; ++i)
        std::filesystem::create_directory(dir.File("Data/s" + std::to_string(1000 + i)));
    std::vector<std::string> names = pendar::ListSkins({dir.File("Data/")});
    ASSERT_EQ(256u, names.size());
    EXPECT_EQ("s1255", names.back());
}

TEST(ChangeSkin, AFolderWithoutInfoIniFallsBackToThePlainSkin)
{
    SkinWorld w;
    w.WriteSimpleSkin("Simple");
    std::filesystem::create_directories(w.dir.File("Data/D"));
    ASSERT_TRUE(w.form.OpenSkin("Simple"));
    w.world.messages.committed.clear();

    w.form.ChangeSkin("D");
    EXPECT_EQ((std::vector<std::string>{Sjis("設定ファイルの読み込みに失敗しました。")}), w.BoxTexts());
    EXPECT_EQ(Sjis("無地"), w.form.SkinInfo().name);
    EXPECT_EQ(Sjis("無地"), w.world.view.hints);
    EXPECT_EQ("D", w.form.Settings().skinName); // saved when the application ends
    EXPECT_FALSE(std::filesystem::exists(w.dir.File("Pendar.ini")));
    EXPECT_TRUE(w.world.messages.committed.empty());
    EXPECT_TRUE(w.form.played.empty());
}

TEST(ChangeSkin, AChosenSkinGreetsAndIsSaved)
{
    SkinWorld w;
    w.WriteSimpleSkin("Simple", "STARTMES=Hello\r\nSTARTWAV=hi.wav\r\n");
    w.form.ChangeSkin("Simple");
    EXPECT_TRUE(w.world.boxes.boxes.empty());
    EXPECT_EQ("Simple", w.world.view.hints);
    ASSERT_EQ(1u, w.world.messages.committed.size());
    EXPECT_EQ((std::vector<std::string>{"Hello"}), w.world.messages.committed[0].segments);
    EXPECT_TRUE(w.world.messages.committed[0].transient);
    EXPECT_EQ((std::vector<std::string>{"hi.wav"}), w.form.played);
    TAppSettings saved;
    ASSERT_TRUE(LoadSettingsFile(w.dir.File("Pendar.ini"), saved));
    EXPECT_EQ("Simple", saved.skinName);

    // Without voices the greeting is shown and nothing plays.
    w.form.Settings().waveFlag = false;
    w.form.ChangeSkin("Simple");
    EXPECT_EQ(2u, w.world.messages.committed.size());
    EXPECT_EQ(1u, w.form.played.size());
}

TEST(SysSelectClick, ListsTheDataFolderAndAppliesEachChoiceWhileModal)
{
    SkinWorld w;
    w.WriteSimpleSkin("Simple", "STARTMES=Hello\r\n");
    std::filesystem::create_directories(w.dir.File("Data/Empty"));
    pendar::test::ScriptedDialogs dialogs(w.form);
    dialogs.choices = {"Empty", "Simple"};
    w.form.SetDialogWindows(&dialogs);
    w.form.SysMenu().Click("MISysSelect");
    w.form.SetDialogWindows(nullptr);

    EXPECT_EQ((std::vector<std::string>{"Empty", "Simple"}), dialogs.names);
    ASSERT_EQ(1u, dialogs.states.size());
    EXPECT_TRUE(dialogs.states[0][0]); // modal while shown
    EXPECT_FALSE(w.form.Modal());
    EXPECT_EQ(1u, w.world.boxes.boxes.size()); // "Empty" failed
    EXPECT_EQ("Simple", w.form.SkinInfo().name);
    EXPECT_EQ("Simple", w.form.Settings().skinName);
}

} // namespace
