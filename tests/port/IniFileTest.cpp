#include "port/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct ReadCase {
    const char* file;
    const char* section;
    const char* key;
    const char* expected; // nullptr: the default comes back
};

TEST(IniFile, ReadsByTheWindowsProfileRules)
{
    const ReadCase cases[] = {
        {"[Config]\r\nSkinName=Sorel\r\n", "Config", "SkinName", "Sorel"},
        {"[config]\nskinname=Sorel\n", "CONFIG", "SKINNAME", "Sorel"},         // names ignore case
        {"  [ Config ]  \n   SkinName   =   A B   \n", "Config", "SkinName", "A B"}, // blanks trimmed
        {"[Config]\nName=\"quoted\"\n", "Config", "Name", "quoted"},            // one pair of quotes goes
        {"[Config]\nName='single'\n", "Config", "Name", "single"},
        {"[Config]\nName=\"half\n", "Config", "Name", "\"half"},
        {"[Config]\nName=\n", "Config", "Name", ""},                             // present but empty
        {"[Config]\nName=first\nName=second\n", "Config", "Name", "first"},     // first key wins
        {"[A]\nk=1\n[A]\nk=2\n", "A", "k", "1"},                                // first section wins
        {"[A]\nk=1\n[B]\n", "B", "k", nullptr},                                  // keys stay in their section
        {"k=orphan\n[A]\n", "A", "k", nullptr},                                  // before any section
        {"[A]\njunk line\n=novalue\nk=v\n", "A", "k", "v"},                     // junk is skipped
        {"[A]\nk=a=b\n", "A", "k", "a=b"},                                       // the first '=' splits
        {"[A]\nk=v\r\n", "A", "k", "v"},                                         // CR LF
        {"[A\nk=v\n", "A", "k", "v"},                                            // unclosed bracket
        {"", "A", "k", nullptr},
        {"\x82\xA0[A]\n", "A", "k", nullptr},
    };
    for (const ReadCase& c : cases) {
        TIniFile ini("");
        ini.LoadFromText(c.file);
        std::string got = ini.ReadString(c.section, c.key, "<default>");
        EXPECT_EQ(c.expected ? c.expected : "<default>", got) << "file: " << c.file;
    }
}

TEST(IniFile, DoubleByteNamesAreNotCaseFolded)
{
    // 0x83 0x41 ("ア") and 0x83 0x61 ("ヂ") differ only in a trail byte that
    // looks like an ASCII letter.
    TIniFile ini("");
    ini.LoadFromText("[S]\n\x83\x41=1\n");
    EXPECT_EQ("1", ini.ReadString("S", "\x83\x41", ""));
    EXPECT_EQ("", ini.ReadString("S", "\x83\x61", ""));
}

struct IntCase {
    const char* text;
    int expected;
};

TEST(IniFile, IntegersAndBoolsFallBackToTheDefault)
{
    const IntCase cases[] = {
        {"42", 42},     {"-7", -7},   {"+3", 3},         {"$1F", 31},          {"0x10", 16},
        {"abc", -1},    {"", -1},     {"12abc", -1},     {"2147483647", 2147483647},
        {"2147483648", -1}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}, {"$100000000", -1},
    };
    for (const IntCase& c : cases) {
        TIniFile ini("");
        ini.LoadFromText(std::string("[S]\nk=") + c.text + "\n");
        EXPECT_EQ(c.expected, ini.ReadInteger("S", "k", -1)) << c.text;
    }
    TIniFile ini("");
    ini.LoadFromText("[S]\non=1\noff=0\nodd=5\nbad=yes\n");
    EXPECT_TRUE(ini.ReadBool("S", "on", false));
    EXPECT_FALSE(ini.ReadBool("S", "off", true));
    EXPECT_TRUE(ini.ReadBool("S", "odd", false));
    EXPECT_TRUE(ini.ReadBool("S", "bad", true));
    EXPECT_FALSE(ini.ReadBool("S", "missing", false));
}

TEST(IniFile, WritesKeepOrderUnknownKeysAndComments)
{
    TIniFile ini("");
    ini.LoadFromText("; comment\r\n[Config]\r\nUnknown=keep\r\nSkinName=Old\r\n\r\n[Other]\r\nx=1\r\n");
    ini.WriteString("config", "skinname", "New");   // replaced in place, old spelling kept
    ini.WriteString("Config", "Added", "a");        // after the section's last key
    ini.WriteInteger("Fresh", "n", -5);             // a new section at the end
    ini.WriteBool("Other", "b", true);
    EXPECT_EQ("; comment\r\n[Config]\r\nUnknown=keep\r\nSkinName=New\r\nAdded=a\r\n\r\n[Other]\r\nx=1\r\nb=1\r\n"
              "[Fresh]\r\nn=-5\r\n",
              ini.Text());
}

TEST(IniFile, DeletesKeysAndSections)
{
    TIniFile ini("");
    ini.LoadFromText("[A]\nk1=1\nk2=2\n[B]\nk=3\n[C]\nk=4\n");
    ini.DeleteKey("A", "K1");
    ini.DeleteKey("A", "missing");
    ini.EraseSection("b");
    EXPECT_FALSE(ini.ValueExists("A", "k1"));
    EXPECT_TRUE(ini.ValueExists("A", "k2"));
    EXPECT_FALSE(ini.SectionExists("B"));
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), ini.ReadSections());
    EXPECT_EQ((std::vector<std::string>{"k2"}), ini.ReadSection("A"));
}

TEST(IniFile, UpdateFileReplacesTheFileWithMode0600)
{
    pendar::test::TempDir dir;
    std::string path = dir.File("Pendar.ini");
    dir.Write("Pendar.ini", "[A]\r\nold=1\r\n");
    TIniFile ini(path);
    ini.WriteString("A", "new", "2");
    std::string error;
    ASSERT_TRUE(ini.UpdateFile(&error)) << error;
    EXPECT_EQ("[A]\r\nold=1\r\nnew=2\r\n", dir.Read("Pendar.ini"));
    struct stat st {};
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);

    TIniFile elsewhere(dir.File("no/such/folder/Pendar.ini"));
    EXPECT_FALSE(elsewhere.UpdateFile(&error));
    EXPECT_NE(std::string::npos, error.find("no/such/folder")) << error;
}

TEST(IniFile, GarbageLoadsWhatItCan)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) & 0xFF);
    garbage += "\n[Config]\nSkinName=Good\n";
    garbage += std::string(200000, 'x'); // a huge line
    TIniFile ini("");
    ini.LoadFromText(garbage);
    EXPECT_EQ("Good", ini.ReadString("Config", "SkinName", ""));
}

} // namespace
