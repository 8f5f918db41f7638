#include "app/Settings.h"
#include "port/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

using pendar::test::TempDir;

// The keys of a file in order, "Section/Key".
std::vector<std::string> KeysInOrder(const std::string& text)
{
    std::vector<std::string> keys;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (line.find('=') != std::string::npos)
            keys.push_back(section + "/" + line.substr(0, line.find('=')));
    }
    return keys;
}

TEST(SettingsCodecs, MatchTheStoredFormat)
{
    TSchTime sat;
    sat.weekday = 6;
    sat.hour = 18;
    sat.minute = 30;
    uint8_t bytes[8];
    std::memcpy(bytes, &sat, 8);
    EXPECT_EQ("FFFFFFFF06121E00", BytesToHex(bytes, 8));

    std::vector<uint8_t> abc = ScramblePassword("abc");
    EXPECT_EQ("633C42689E", BytesToHex(abc.data(), static_cast<int>(abc.size())));
    EXPECT_EQ("abc", UnscramblePassword(abc.data(), static_cast<int>(abc.size())));
    EXPECT_TRUE(ScramblePassword("").empty());
    EXPECT_EQ(3u, ScramblePassword("x").size()); // six hex digits
    const uint8_t two[2] = {1, 2};
    EXPECT_EQ("", UnscramblePassword(two, 2));

    // Every byte value survives the scrambling.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    std::vector<uint8_t> e = ScramblePassword(all);
    EXPECT_EQ(all, UnscramblePassword(e.data(), static_cast<int>(e.size())));
}

TEST(SettingsCodecs, HexToBytes)
{
    uint8_t buf[8] = {};
    EXPECT_EQ(1, HexToBytes("abc", buf, 8)); // an odd last digit is ignored
    EXPECT_EQ(0xAB, buf[0]);
    EXPECT_EQ(2, HexToBytes("0102030405", buf, 2)); // extra digits beyond max ignored
    EXPECT_EQ(0x02, buf[1]);
    EXPECT_EQ(1, HexToBytes("zz", buf, 8)); // non-hex digits count 0
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(0, HexToBytes("", buf, 8));
}

TEST(SettingsCodecs, ParseVersion)
{
    struct Case {
        const char* text;
        int version;
    } cases[] = {{"1.22", 122}, {"1.2", 102}, {"1.19", 119}, {"0.00", 0}, {".5", 0},  {"1", 0},
                 {"1.x", 0},    {"x.1", 0},   {"2.0", 200},  {"", 0},     {"1.", 0}, {"10.05", 1005}};
    for (const Case& c : cases)
        EXPECT_EQ(c.version, ParseVersion(c.text)) << c.text;
}

TEST(SettingsFile, MissingFileKeepsTheDefaults)
{
    TempDir dir;
    TAppSettings s;
    s.skinName = "Mine";
    EXPECT_FALSE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    EXPECT_EQ("Mine", s.skinName);
    TAppSettings defaults;
    EXPECT_EQ(0, defaults.ntpTime.weekday);
    EXPECT_EQ(4, defaults.ntpTime.hour);
    EXPECT_EQ(-1, defaults.ntpTime.minute);
    EXPECT_EQ("Profile03", defaults.profiles[3].name);
    EXPECT_EQ("UserID", defaults.profiles[3].user);
    EXPECT_EQ(110, defaults.profiles[9].port);
}

TEST(SettingsFile, SavesEveryKeyInOrder)
{
    TempDir dir;
    TAppSettings s;
    s.schedules[5].name = "five";
    s.schedules[5].time.hour = 12;
    s.schedules[5].time.minute = 0;
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(dir.File("Pendar.ini"), s, &error)) << error;

    std::vector<std::string> expected = {
        "Config/Version", "Config/SkinName", "Config/OffsetX", "Config/OffsetY", "Config/StayOnTop",
        "Config/Taskbar", "Config/Active", "Config/Emphasis", "Config/WaveFlag", "Config/RandomWav",
        "Config/SchEnable", "Config/MailEnable", "Time/TimeEnable", "Time/NTPServer", "Time/NTPTime"};
    for (int i = 0; i < 10; ++i)
        for (const char* k : {"Profile", "Host", "Port", "UserID", "Password", "APOP"})
            expected.push_back("Mail/" + ProfileKey(k, i));
    expected.push_back("Mail/Interval");
    expected.push_back("Mail/SameCheck");
    expected.push_back("Schedule/SchName005");
    expected.push_back("Schedule/SchTime005");
    EXPECT_EQ(expected, KeysInOrder(dir.Read("Pendar.ini")));
    EXPECT_NE(std::string::npos, dir.Read("Pendar.ini").find("Version=1.22\r\n"));
    EXPECT_NE(std::string::npos, dir.Read("Pendar.ini").find("NTPTime=FFFFFFFF0004FF00\r\n"));
}

TEST(SettingsFile, RoundTripsEveryValue)
{
    TempDir dir;
    TAppSettings s;
    s.skinName = "\x83\x5C\x83\x8C\x83\x8B"; // katakana with a 0x5C trail byte
    s.offsetX = -500;
    s.offsetY = 19999;
    s.stayOnTop = s.taskbar = s.emphasis = s.timeEnable = true;
    s.active = s.waveFlag = s.randomWav = s.schEnable = s.mailEnable = s.sameCheck = false;
    s.ntpServer = "ntp.example.org";
    s.ntpTime.weekday = 3;
    s.ntpTime.minute = 15;
    s.interval = 999;
    for (int i = 0; i < kMailProfileCount; ++i) {
        TMailProfile& p = s.profiles[static_cast<size_t>(i)];
        p.name = "name" + std::to_string(i);
        p.host = "pop" + std::to_string(i) + ".example.org";
        p.port = 995 + i;
        p.user = "user" + std::to_string(i);
        p.password = i == 0 ? "" : std::string(static_cast<size_t>(i * 3), static_cast<char>('A' + i));
        p.apop = i % 2 == 1;
    }
    s.schedules[0] = {"first", {}, false};
    s.schedules[0].time.year = 2026;
    s.schedules[0].time.month = 12;
    s.schedules[0].time.day = 24;
    s.schedules[0].time.once = 1;
    s.schedules[99] = {"last", {}, false};
    s.schedules[99].time.weekday = 0;
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(dir.File("Pendar.ini"), s, &error)) << error;

    TAppSettings back;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), back));
    EXPECT_EQ(s.skinName, back.skinName);
    EXPECT_EQ(s.offsetX, back.offsetX);
    EXPECT_EQ(s.offsetY, back.offsetY);
    EXPECT_EQ(s.stayOnTop, back.stayOnTop);
    EXPECT_EQ(s.taskbar, back.taskbar);
    EXPECT_EQ(s.active, back.active);
    EXPECT_EQ(s.emphasis, back.emphasis);
    EXPECT_EQ(s.waveFlag, back.waveFlag);
    EXPECT_EQ(s.randomWav, back.randomWav);
    EXPECT_EQ(s.schEnable, back.schEnable);
    EXPECT_EQ(s.mailEnable, back.mailEnable);
    EXPECT_EQ(s.timeEnable, back.timeEnable);
    EXPECT_EQ(s.ntpServer, back.ntpServer);
    EXPECT_EQ(s.ntpTime, back.ntpTime);
    EXPECT_EQ(s.interval, back.interval);
    EXPECT_EQ(s.sameCheck, back.sameCheck);
    for (size_t i = 0; i < kMailProfileCount; ++i) {
        EXPECT_EQ(s.profiles[i].name, back.profiles[i].name);
        EXPECT_EQ(s.profiles[i].host, back.profiles[i].host);
        EXPECT_EQ(s.profiles[i].port, back.profiles[i].port);
        EXPECT_EQ(s.profiles[i].user, back.profiles[i].user);
        EXPECT_EQ(s.profiles[i].password, back.profiles[i].password);
        EXPECT_EQ(s.profiles[i].apop, back.profiles[i].apop);
    }
    for (size_t i = 0; i < kScheduleCount; ++i) {
        EXPECT_EQ(s.schedules[i].name, back.schedules[i].name) << i;
        EXPECT_EQ(s.schedules[i].time, back.schedules[i].time) << i;
    }
}

TEST(SettingsFile, OldVersionKeepsConfigDefaultsButLoadsProfilesAndSchedules)
{
    TempDir dir;
    dir.Write("Pendar.ini",
              "[Config]\r\nVersion=1.19\r\nSkinName=Other\r\nOffsetX=1\r\nStayOnTop=1\r\n"
              "[Time]\r\nTimeEnable=1\r\n"
              "[Mail]\r\nHost00=pop.example.org\r\nInterval=7\r\n"
              "[Schedule]\r\nSchName001=x\r\nSchTime001=FFFFFFFF06121E00\r\n");
    TAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    EXPECT_EQ("Sorel", s.skinName);
    EXPECT_EQ(10000, s.offsetX);
    EXPECT_FALSE(s.stayOnTop);
    EXPECT_FALSE(s.timeEnable);
    EXPECT_EQ(4, s.ntpTime.hour);
    EXPECT_EQ("pop.example.org", s.profiles[0].host);
    EXPECT_EQ(7, s.interval);
    EXPECT_EQ("x", s.schedules[1].name);
    EXPECT_EQ(30, s.schedules[1].time.minute);
}

TEST(SettingsFile, DecodingRules)
{
    TempDir dir;
    dir.Write("Pendar.ini",
              "[Config]\r\nVersion=1.22\r\nOffsetX=99999999\r\nOffsetY=-99999\r\n"
              "[Mail]\r\nInterval=0\r\nPassword00=0102\r\nPassword01=" +
                  std::string("633C42689E") + "\r\nPort02=70000\r\nPort03=abc\r\n"
                  "[Schedule]\r\n"
                  "SchName000=fifteen\r\nSchTime000=FFFFFFFF06121E0\r\n"      // 15 digits: dropped
                  "SchName001=eighteen\r\nSchTime001=FFFFFFFF06121E00AB\r\n"  // 18 digits: first 16
                  "SchName002=nonhex\r\nSchTime002=FFFFFFFFZZ121E00\r\n"      // non-hex digits count 0
                  "SchTime003=FFFFFFFF06121E00\r\n"                           // no name: empty slot
                  "SchName004=notime\r\n");
    TAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    EXPECT_EQ(kOffsetMax, s.offsetX);
    EXPECT_EQ(kOffsetMin, s.offsetY);
    EXPECT_EQ(1, s.interval);
    EXPECT_EQ("", s.profiles[0].password); // fewer than six digits
    EXPECT_EQ("abc", s.profiles[1].password);
    EXPECT_EQ(110, s.profiles[2].port);
    EXPECT_EQ(110, s.profiles[3].port);
    EXPECT_TRUE(IsEmptyTime(s.ntpTime)); // NTPTime missing in a 1.22 file: off
    EXPECT_EQ("", s.schedules[0].name);
    EXPECT_TRUE(IsEmptyTime(s.schedules[0].time));
    EXPECT_EQ("eighteen", s.schedules[1].name);
    EXPECT_EQ(30, s.schedules[1].time.minute);
    EXPECT_EQ(0, s.schedules[2].time.weekday);
    EXPECT_TRUE(IsEmptyTime(s.schedules[3].time));
    EXPECT_EQ("", s.schedules[4].name);
}

TEST(SettingsFile, DeletingAScheduleRemovesExactlyItsKeys)
{
    TempDir dir;
    std::string path = dir.File("Pendar.ini");
    dir.Write("Pendar.ini", "; my notes\r\n[Extra]\r\nMine=1\r\n[Schedule]\r\nSchName004=a\r\nSchTime004=FFFFFFFF06121E00\r\n"
                            "SchName005=b\r\nSchTime005=FFFFFFFF06121E00\r\nSchName006=c\r\nSchTime006=FFFFFFFF06121E00\r\n");
    TAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(path, s));
    s.schedules[5].name.clear();
    ClearTime(s.schedules[5].time);
    ASSERT_TRUE(SaveSettingsFile(path, s, nullptr));

    std::vector<std::string> keys = KeysInOrder(dir.Read("Pendar.ini"));
    auto has = [&](const std::string& k) { return std::find(keys.begin(), keys.end(), k) != keys.end(); };
    EXPECT_FALSE(has("Schedule/SchName005"));
    EXPECT_FALSE(has("Schedule/SchTime005"));
    EXPECT_TRUE(has("Schedule/SchName004"));
    EXPECT_TRUE(has("Schedule/SchTime006"));
    EXPECT_TRUE(has("Extra/Mine"));
    EXPECT_EQ(0u, dir.Read("Pendar.ini").find("; my notes\r\n"));
}

TEST(SettingsFile, GarbageLoadsWhatItCanAndNeverCrashes)
{
    TempDir dir;
    std::string junk;
    uint32_t x = 12345;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245 + 12345;
        junk += static_cast<char>(x >> 24);
    }
    dir.Write("Pendar.ini", junk + "\n[Mail]\nInterval=9\n" + std::string(1 << 20, '=') + "\n");
    TAppSettings s;
    EXPECT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    EXPECT_EQ(9, s.interval);
}

TEST(SettingsFile, AnUnwritableFolderFailsWithAReason)
{
    TempDir dir;
    dir.Write("blocker", "a file where a folder should be");
    TAppSettings s;
    std::string error;
    EXPECT_FALSE(SaveSettingsFile(dir.File("blocker/Pendar.ini"), s, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
