#include "app/Settings.h"
#include "port/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
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
                 {"1.x", 0},    {"x.1", 0},   {"2.0", 200},  {"", 0},     {"1.", 0}, {"10.05", 1005},
                 // out of range: saturated, never wrapped
                 {"2147483647.0", INT_MAX}, {"21474836.47", INT_MAX}, {"21474836.48", INT_MAX},
                 {"1.2147483647", INT_MAX}, {"-2147483648.0", INT_MIN}, {"-21474836.-49", INT_MIN}};
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
    EXPECT_EQ("", defaults.profiles[3].name);
    EXPECT_EQ("", defaults.profiles[3].user);
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
        p.tls = static_cast<pendar::TMailTls>(i % 3);
    }
    s.profiles[4].caFile = "/etc/ssl/home ca,1.pem";
    s.profiles[5].caFile = "/home/\x83\x5C/ca.pem"; // code page 932
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
        EXPECT_EQ(s.profiles[i].tls, back.profiles[i].tls) << i;
        EXPECT_EQ(s.profiles[i].caFile, back.profiles[i].caFile) << i;
    }
    for (size_t i = 0; i < kScheduleCount; ++i) {
        EXPECT_EQ(s.schedules[i].name, back.schedules[i].name) << i;
        EXPECT_EQ(s.schedules[i].time, back.schedules[i].time) << i;
    }
}

// A file as the original program writes it, with a section and a comment of
// the user's, comes back byte for byte when it is read and saved.
TEST(SettingsFile, AnOriginalFileSavesBackByteForByte)
{
    std::string text = "; the user's note\r\n[Config]\r\nVersion=1.22\r\nSkinName=\x83\x5C\x83\x8C\x83\x8B\r\n"
                       "OffsetX=7345\r\nOffsetY=-20\r\nStayOnTop=1\r\nTaskbar=0\r\nActive=1\r\nEmphasis=0\r\n"
                       "WaveFlag=1\r\nRandomWav=0\r\nSchEnable=1\r\nMailEnable=0\r\n"
                       "[Time]\r\nTimeEnable=1\r\nNTPServer=ntp.nict.jp\r\nNTPTime=FFFFFFFF0004FF00\r\n[Mail]\r\n";
    for (int i = 0; i < kMailProfileCount; ++i) {
        const std::string n = "0" + std::to_string(i);
        const bool used = i < 2;
        text += "Profile" + n + "=" + (used ? "\x8E\xA9\x91\xEE" + n : "") + "\r\nHost" + n + "=" +
                (used ? "pop" + n + ".example.jp" : "") + "\r\nPort" + n + "=110\r\nUserID" + n + "=" +
                (used ? "user" + n : "") + "\r\nPassword" + n + "=" + (used ? "633C42689E" : "") + "\r\nAPOP" + n +
                "=" + (i == 1 ? "1" : "0") + "\r\n";
    }
    text += "Interval=15\r\nSameCheck=1\r\n[Schedule]\r\nSchName000=\x89\xEF\x8B\x63\r\nSchTime000=EA070C18FF0A0001\r\n"
            "SchName007=daily\r\nSchTime007=FFFFFFFFFF091E00\r\n[Mine]\r\nKept=yes\r\n";
    TempDir dir;
    dir.Write("Pendar.ini", text);
    TAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    EXPECT_EQ("abc", s.profiles[1].password);
    EXPECT_EQ(10, s.schedules[0].time.hour);
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(dir.File("Pendar.ini"), s, &error)) << error;
    EXPECT_EQ(text, dir.Read("Pendar.ini"));
}

// The original sections stay byte for byte what they were without TLS; the
// choices follow in a section of their own, keyed by account.
TEST(SettingsFile, TlsChoicesFollowTheOriginalSectionsWhichStayAsTheyWere)
{
    TempDir dir;
    std::string path = dir.File("Pendar.ini");
    TAppSettings s;
    s.profiles[0] = {"home", "pop.home.lan", 110, "me@home", "pw1", false, {}};
    s.profiles[1] = {"work", "mail.example.com", 110, "taro", "pw2", true, {}};
    s.profiles[2] = {"plain", "pop.example.net", 110, "hanako", "pw3", false, {}};
    s.schedules[3] = {"three", {}, false};
    s.schedules[3].time.hour = 7;
    ASSERT_TRUE(SaveSettingsFile(path, s, nullptr));
    std::string before = dir.Read("Pendar.ini");
    EXPECT_EQ(before.find("[MailTLS]"), std::string::npos) << "no choice, no section";

    s.profiles[0].tls = pendar::TMailTls::StartTls;
    s.profiles[0].caFile = "/home/me/home-ca.pem";
    s.profiles[1].tls = pendar::TMailTls::Implicit;
    ASSERT_TRUE(SaveSettingsFile(path, s, nullptr));
    EXPECT_EQ(dir.Read("Pendar.ini"), before +
                                          "[MailTLS]\r\n"
                                          "me%40home@pop.home.lan=starttls,/home/me/home-ca.pem\r\n"
                                          "taro@mail.example.com=implicit\r\n");

    // Saved again, nothing moves; with the choices gone, so is the section.
    ASSERT_TRUE(SaveSettingsFile(path, s, nullptr));
    EXPECT_EQ(dir.Read("Pendar.ini").substr(0, before.size()), before);
    s.profiles[0].tls = s.profiles[1].tls = pendar::TMailTls::None;
    ASSERT_TRUE(SaveSettingsFile(path, s, nullptr));
    EXPECT_EQ(dir.Read("Pendar.ini"), before);
}

// An entry belongs to its account, wherever the profile stands; without
// one a profile is in the clear, except on port 995; an entry that says
// something else than a known choice never means the clear.
TEST(SettingsFile, TlsChoicesAreFoundByAccount)
{
    using pendar::TMailTls;
    TempDir dir;
    dir.Write("Pendar.ini",
              "[Mail]\r\n"
              "Host00=mail.example.com\r\nUserID00=taro\r\n"
              "Host01=pop.home.lan\r\nUserID01=me@home\r\n"
              "Host02=a.example\r\nUserID02=u\r\nPort02=995\r\n"
              "Host03=b.example\r\nUserID03=u\r\nPort03=995\r\n"
              "Host04=c.example\r\nUserID04=u\r\n"
              "Host05=d.example\r\nUserID05=u\r\n"
              "Host06=e.example\r\nUserID06=u\r\nPort06=995\r\n"
              "Host07=f.example\r\nUserID07=u\r\n"
              "[MailTLS]\r\n"
              "me%40home@pop.home.lan=starttls,/home/me/home-ca.pem\r\n"
              "TARO@MAIL.example.com=Implicit\r\n"
              "u@b.example=none\r\n"
              "u@d.example=tls please\r\n"
              "u@e.example=tls please\r\n"
              "u@f.example= implicit , /etc/ca, 2.pem \r\n");
    TAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), s));
    const struct {
        TMailTls tls;
        std::string caFile;
    } expected[] = {
        {TMailTls::Implicit, ""},
        {TMailTls::StartTls, "/home/me/home-ca.pem"},
        {TMailTls::Implicit, ""}, // 995 without an entry
        {TMailTls::None, ""},     // 995 set to none
        {TMailTls::None, ""},     // no entry
        {TMailTls::StartTls, ""}, // not understood
        {TMailTls::Implicit, ""}, // not understood, on 995
        {TMailTls::Implicit, "/etc/ca, 2.pem"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(expected[i].tls, s.profiles[i].tls) << i;
        EXPECT_EQ(expected[i].caFile, s.profiles[i].caFile) << i;
    }
}

// Profiles of one account share its entry: a TLS choice wins over none,
// so no password goes in the clear to an account that has one; port 995
// set to none is written as none.
TEST(SettingsFile, OneTlsEntryPerAccount)
{
    using pendar::TMailTls;
    TempDir dir;
    TAppSettings s;
    s.profiles[0] = {"a1", "a.example", 110, "u", "pw", false, {}};
    s.profiles[1] = {"a2", "a.example", 110, "u", "pw", false, {}, TMailTls::StartTls};
    s.profiles[2] = {"b1", "b.example", 995, "u", "pw", false, {}, TMailTls::Implicit};
    s.profiles[3] = {"b2", "b.example", 995, "u", "pw", false, {}, TMailTls::None};
    s.profiles[4] = {"c", "c.example", 995, "u", "pw", false, {}, TMailTls::None};
    ASSERT_TRUE(SaveSettingsFile(dir.File("Pendar.ini"), s, nullptr));
    std::string text = dir.Read("Pendar.ini");
    EXPECT_EQ(text.substr(text.find("[MailTLS]")),
              "[MailTLS]\r\nu@a.example=starttls\r\nu@b.example=implicit\r\nu@c.example=none\r\n");
    TAppSettings back;
    ASSERT_TRUE(LoadSettingsFile(dir.File("Pendar.ini"), back));
    const TMailTls expected[] = {TMailTls::StartTls, TMailTls::StartTls, TMailTls::Implicit, TMailTls::Implicit,
                                 TMailTls::None};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(expected[i], back.profiles[i].tls) << i;
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
    // Keys a file lacks: a profile is named after its key.
    EXPECT_EQ("Profile03", s.profiles[3].name);
    EXPECT_EQ("UserID", s.profiles[3].user);
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
