#include "port/IniFile.h"
#include "port/UserFile.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace {

using pendar::test::GiveToNobody;
using pendar::test::TempDir;
using port::FileCheck;

void Link(const TempDir& d, const char* target, const char* name)
{
    std::filesystem::create_symlink(target, d.File(name));
}

// Every way Pendar.ini can stand in a folder: what reading it gives and
// whether (and where) it may be replaced. These look at owners and modes,
// so they hold for root too.
TEST(UserFile, WhatMayBeReadAndReplaced)
{
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> plant;
        port::ReadResult read;
        FileCheck replace;
        const char* replaced; // the file written, for Usable
        const char* reason;   // part of the reason, for Refused
        bool needsNobody = false;
    };
    auto file = [](const TempDir& d, const char* name) { d.Write(name, "[A]\r\nk=1\r\n"); };
    const Case cases[] = {
        {"nothing", [](const TempDir&) {}, port::ReadResult::Missing, FileCheck::Missing, "Pendar.ini", ""},
        {"the user's file", [&](const TempDir& d) { file(d, "Pendar.ini"); }, port::ReadResult::Read,
         FileCheck::Usable, "Pendar.ini", ""},
        {"a read-only file",
         [&](const TempDir& d) {
             file(d, "Pendar.ini");
             ::chmod(d.File("Pendar.ini").c_str(), 0444);
         },
         port::ReadResult::Read, FileCheck::Refused, "", "read-only"},
        {"a link to the user's file in another folder",
         [&](const TempDir& d) {
             std::filesystem::create_directory(d.File("dots"));
             file(d, "dots/pendar.ini");
             Link(d, "dots/pendar.ini", "Pendar.ini");
         },
         port::ReadResult::Read, FileCheck::Usable, "dots/pendar.ini", ""},
        {"a chain of the user's links",
         [&](const TempDir& d) {
             file(d, "real.ini");
             Link(d, d.File("real.ini").c_str(), "middle");
             Link(d, "middle", "Pendar.ini");
         },
         port::ReadResult::Read, FileCheck::Usable, "real.ini", ""},
        {"a dangling link", [](const TempDir& d) { Link(d, "gone.ini", "Pendar.ini"); },
         port::ReadResult::Unreadable, FileCheck::Refused, "", "points to nothing"},
        {"a link loop",
         [](const TempDir& d) {
             Link(d, "b", "Pendar.ini");
             Link(d, "Pendar.ini", "b");
         },
         port::ReadResult::Unreadable, FileCheck::Refused, "", "too many symbolic links"},
        {"a folder", [](const TempDir& d) { std::filesystem::create_directory(d.File("Pendar.ini")); },
         port::ReadResult::Unreadable, FileCheck::Refused, "", "not a regular file"},
        {"a FIFO", [](const TempDir& d) { ::mkfifo(d.File("Pendar.ini").c_str(), 0600); },
         port::ReadResult::Unreadable, FileCheck::Refused, "", "not a regular file"},
        {"another user's file",
         [&](const TempDir& d) {
             file(d, "Pendar.ini");
             GiveToNobody(d.File("Pendar.ini"));
         },
         port::ReadResult::Read, FileCheck::Refused, "", "belongs to another user", true},
        {"the user's link to another user's file",
         [&](const TempDir& d) {
             file(d, "theirs.ini");
             GiveToNobody(d.File("theirs.ini"));
             Link(d, "theirs.ini", "Pendar.ini");
         },
         port::ReadResult::Read, FileCheck::Refused, "", "belongs to another user", true},
        {"another user's link to the user's file",
         [&](const TempDir& d) {
             file(d, "mine.ini");
             Link(d, "mine.ini", "Pendar.ini");
             GiveToNobody(d.File("Pendar.ini"));
         },
         port::ReadResult::Unreadable, FileCheck::Refused, "", "belongs to another user", true},
    };
    for (const Case& c : cases) {
        if (pendar::test::SkipWithoutNobody(c.needsNobody, c.what))
            continue;
        TempDir dir;
        c.plant(dir);
        std::string bytes;
        std::string reason;
        EXPECT_EQ(c.read, port::ReadUserFile(dir.File("Pendar.ini"), 1000, &bytes, &reason)) << c.what;
        if (c.read == port::ReadResult::Read) {
            EXPECT_EQ("[A]\r\nk=1\r\n", bytes) << c.what;
        }
        port::UserFile target = port::ReplaceTarget(dir.File("Pendar.ini"));
        EXPECT_EQ(c.replace, target.state) << c.what << ": " << target.reason;
        if (c.replace != FileCheck::Refused) {
            EXPECT_EQ(dir.File(c.replaced), target.path) << c.what;
        } else {
            EXPECT_NE(std::string::npos, target.reason.find(c.reason)) << c.what << ": " << target.reason;
        }
    }
}

TEST(UserFile, AFileOverTheCapIsUnreadableWithItsReason)
{
    TempDir dir;
    dir.Write("Pendar.ini", std::string(1001, 'x'));
    std::string bytes;
    std::string reason;
    EXPECT_EQ(port::ReadResult::Unreadable, port::ReadUserFile(dir.File("Pendar.ini"), 1000, &bytes, &reason));
    EXPECT_NE(std::string::npos, reason.find("larger than 1000 bytes")) << reason;
    EXPECT_TRUE(bytes.empty());
    dir.Write("Pendar.ini", std::string(1000, 'x'));
    EXPECT_EQ(port::ReadResult::Read, port::ReadUserFile(dir.File("Pendar.ini"), 1000, &bytes, &reason));
    EXPECT_EQ(1000u, bytes.size());
}

// An ini file that could not be read is never written over, whatever is
// changed in it afterwards; a link of the user is written through.
TEST(UserFile, TheIniFileKeepsWhatItCouldNotRead)
{
    TempDir dir;
    std::string big(static_cast<size_t>(TIniFile::kMaxFileSize) + 1, ';');
    dir.Write("Pendar.ini", big);
    TIniFile ini(dir.File("Pendar.ini"));
    EXPECT_EQ(TIniFile::LoadState::Unreadable, ini.LastLoad());
    ini.WriteString("Config", "SkinName", "Sorel");
    std::string error;
    bool refused = false;
    EXPECT_FALSE(ini.UpdateFile(&error, &refused));
    EXPECT_TRUE(refused);
    EXPECT_NE(std::string::npos, error.find("could not be read")) << error;
    EXPECT_EQ(big.size(), std::filesystem::file_size(dir.File("Pendar.ini")));

    std::filesystem::create_directory(dir.File("dots"));
    dir.Write("dots/pendar.ini", "[Mine]\r\nKeep=1\r\n");
    std::filesystem::create_symlink("dots/pendar.ini", dir.File("Linked.ini"));
    TIniFile linked(dir.File("Linked.ini"));
    linked.WriteString("Config", "SkinName", "Sorel");
    ASSERT_TRUE(linked.UpdateFile(&error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("Linked.ini")));
    EXPECT_EQ("[Mine]\r\nKeep=1\r\n[Config]\r\nSkinName=Sorel\r\n", dir.Read("dots/pendar.ini"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.File("dots")),
                               std::filesystem::directory_iterator()))
        << "a temporary file was left beside the target";
}

TEST(UserFile, StaleTemporariesOfTheUserAreRemovedAndNothingElse)
{
    TempDir dir;
    dir.Write("Pendar.ini", "");
    const char* stale[] = {"Pendar.ini.tmp-a1B2c3", "Pendar.ini.tmp-zzzzzz"};
    const char* kept[] = {"Pendar.ini.tmp-short", "Pendar.ini.tmp-toolong1", "Other.ini.tmp-a1B2c3",
                          "Pendar.ini.tmp-nobody", "Pendar.ini.tmp-linked"};
    for (const char* name : stale)
        dir.Write(name, "half");
    for (const char* name : kept)
        dir.Write(name, "keep");
    bool foreign = GiveToNobody(dir.File("Pendar.ini.tmp-nobody"));
    std::filesystem::remove(dir.File("Pendar.ini.tmp-linked"));
    std::filesystem::create_symlink("Pendar.ini", dir.File("Pendar.ini.tmp-linked"));

    port::RemoveStaleTemporaries(dir.File("Pendar.ini"));
    for (const char* name : stale)
        EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
    for (const char* name : kept) {
        if (std::string(name) == "Pendar.ini.tmp-nobody" && !foreign)
            continue;
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(dir.File(name)))) << name;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("Pendar.ini")));
}

} // namespace
