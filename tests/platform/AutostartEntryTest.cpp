#include "platform/AutostartEntry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The Exec key carries the program's path as one quoted argument whatever
// characters it holds, and every entry passes desktop-file-validate.
TEST(AutostartEntry, AnyPathBecomesOneValidExecArgument)
{
    struct Case {
        const char* path;
        const char* exec; // the Exec line as written
    } cases[] = {
        {"/usr/bin/pendar", "Exec=\"/usr/bin/pendar\""},
        {"/opt/my tools/pendar", "Exec=\"/opt/my tools/pendar\""},
        {"/home/u/100%/pendar", "Exec=\"/home/u/100%%/pendar\""},
        {"/tmp/a\"b$c`d/pendar", "Exec=\"/tmp/a\\\\\"b\\\\$c\\\\`d/pendar\""},
        {"/tmp/back\\slash/pendar", "Exec=\"/tmp/back\\\\\\\\slash/pendar\""},
        {"/tmp/日本語/pendar", "Exec=\"/tmp/日本語/pendar\""},
    };
    bool validate = std::system("command -v desktop-file-validate >/dev/null") == 0;
    if (!validate)
        std::printf("desktop-file-validate is missing: the entries are not validated\n");
    for (const Case& c : cases) {
        pendar::test::TempDir dir;
        std::string entry = dir.File("autostart/org.pendar.Pendar.desktop");
        std::string error;
        ASSERT_TRUE(pendar::WriteAutostartEntry(entry, c.path, "org.pendar.Pendar", &error)) << error;
        std::string text = dir.Read("autostart/org.pendar.Pendar.desktop");
        EXPECT_NE(std::string::npos, text.find("\n" + std::string(c.exec) + "\n")) << c.path << "\n" << text;
        EXPECT_EQ(0u, text.find("[Desktop Entry]\n"));
        if (validate) {
            EXPECT_EQ(0, std::system(("desktop-file-validate '" + entry + "'").c_str())) << c.path;
        }
        EXPECT_TRUE(pendar::AutostartEntryExists(entry));
        EXPECT_TRUE(pendar::RemoveAutostartEntry(entry, &error)) << error;
        EXPECT_FALSE(pendar::AutostartEntryExists(entry));
        EXPECT_TRUE(pendar::RemoveAutostartEntry(entry, &error)) << "a missing entry is removed already";
    }
    EXPECT_FALSE(pendar::AutostartEntryText("/tmp/line\nbreak/pendar", "org.pendar.Pendar"));
}

} // namespace
