#include "TestForm.h"
#include "app/ExceptionGuard.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

using pendar::test::FormFixture;

TEST(SysMenu, EntriesCaptionsShortcutsAndInitialState)
{
    FormFixture f;
    struct Expected {
        const char* name;
        const char* caption; // UTF-8
        const char* shortcut;
        int code;
        bool enabled, checkable, checked, isDefault;
    } expected[] = {
        {"MISysMin", "最小化(&N)", "", 0, true, false, false, false},
        {"MISysRestore", "元のｻｲｽﾞに戻す(&R)", "", 0, false, false, false, false},
        {"MIBar1", "-", "", 0, false, false, false, false},
        {"MIScheduleSw", "スケジュール有効", "", 0, true, true, true, false},
        {"MIMailSw", "メールチェック有効", "", 0, true, true, true, false},
        {"MIBar2", "-", "", 0, false, false, false, false},
        {"MIMailCheck", "メールチェック(&C)", "Ctrl+C", 16451, true, false, false, false},
        {"MITimeSync", "時刻合わせ(&T)", "", 0, true, false, false, false},
        {"MISetting", "設定(&S)", "Ctrl+S", 16467, true, false, false, false},
        {"MISysSelect", "キャラクター変更", "", 0, true, false, false, false},
        {"MIBar3", "-", "", 0, false, false, false, false},
        {"MILog", "ログ表示", "", 0, true, false, false, false},
        {"MICalender", "カレンダー", "", 0, true, false, false, false},
        {"MISysAbout", "ﾊﾞｰｼﾞｮﾝ情報(&V)", "", 0, true, false, false, false},
        {"MISysHelp", "ﾍﾙﾌﾟ(&H)", "", 0, true, false, false, false},
        {"MIBar4", "-", "", 0, false, false, false, false},
        {"MISysClose", "閉じる(&X)", "Alt+F4", 32883, true, false, false, true},
    };
    const auto& entries = f.form.SysMenu().Entries();
    ASSERT_EQ(std::size(expected), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Expected& e = expected[i];
        const pendar::MenuEntry& m = entries[i];
        EXPECT_EQ(e.name, m.name);
        EXPECT_EQ(Sjis(e.caption), m.caption) << e.name;
        EXPECT_EQ(e.shortcut, m.shortcut) << e.name;
        EXPECT_EQ(e.code, m.shortcutCode) << e.name;
        if (!m.IsSeparator()) {
            EXPECT_EQ(e.enabled, m.enabled) << e.name;
        }
        EXPECT_EQ(e.checkable, m.checkable) << e.name;
        EXPECT_EQ(e.checked, m.checked) << e.name;
        EXPECT_EQ(e.isDefault, m.isDefault) << e.name;
    }
}

TEST(SysMenu, LoadSettingsSetsTheCheckMarks)
{
    FormFixture f;
    f.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSchEnable=0\r\nMailEnable=0\r\n");
    f.form.FormCreate();
    EXPECT_FALSE(f.form.SysMenu().Entry("MIScheduleSw").checked);
    EXPECT_FALSE(f.form.SysMenu().Entry("MIMailSw").checked);
    f.form.SysMenu().Click("MIScheduleSw");
    EXPECT_TRUE(f.form.Settings().schEnable);
}

TEST(SysMenu, MinimiseAndRestore)
{
    FormFixture f;
    f.form.FormCreate();
    f.form.SetFlashCount(100);
    f.form.SysMenu().Click("MISysMin");
    EXPECT_FALSE(f.world.view.visible);
    EXPECT_EQ(0, f.form.FlashCount());
    EXPECT_FALSE(f.form.SysMenu().Entry("MISysMin").enabled);
    EXPECT_TRUE(f.form.SysMenu().Entry("MISysRestore").enabled);
    f.form.SysMenu().Click("MISysMin"); // disabled: nothing happens
    f.form.SysMenu().Click("MISysRestore");
    EXPECT_TRUE(f.world.view.visible);
    EXPECT_EQ(1, f.form.Count("BringToFront"));
    EXPECT_TRUE(f.form.SysMenu().Entry("MISysMin").enabled);
    EXPECT_FALSE(f.form.SysMenu().Entry("MISysRestore").enabled);
}

TEST(SysMenu, TrayClickHidesTheActiveWindowAndShowsItAgain)
{
    FormFixture f;
    f.form.FormCreate();
    f.world.view.active = true;
    f.form.PNotifyIconClick();
    EXPECT_FALSE(f.world.view.visible);
    f.form.PNotifyIconClick();
    EXPECT_TRUE(f.world.view.visible);
    f.world.view.active = false;
    f.form.PNotifyIconClick(); // visible but another program is active
    EXPECT_TRUE(f.world.view.visible);
    EXPECT_EQ(2, f.form.Count("BringToFront"));
}

TEST(SysMenu, CommandsReachTheirSteps)
{
    FormFixture f;
    f.form.FormCreate();
    f.form.SysMenu().Click("MIMailCheck");
    f.form.SysMenu().Click("MITimeSync");
    EXPECT_EQ(1, f.form.Count("CheckMail manual"));
    EXPECT_EQ(1, f.form.Count("SyncTime by user"));
    f.form.SetFlashCount(5);
    f.form.SysMenu().Click("MISysClose");
    EXPECT_EQ(0, f.form.FlashCount());
    EXPECT_EQ((std::vector<std::string>{"ReleaseMouseCapture", "RequestClose"}), f.world.view.calls);
    f.form.SysMenu().Click("MISysHelp");
    EXPECT_EQ("OpenHelp", f.world.view.calls.back());
}

TEST(SysMenu, AboutShowsAndLogsTheVersion)
{
    FormFixture f;
    f.form.SysMenu().Click("MISysAbout");
    ASSERT_EQ(1u, f.world.messages.committed.size());
    const auto& m = f.world.messages.committed[0];
    EXPECT_FALSE(m.transient);
    ASSERT_EQ(1u, m.segments.size());
    EXPECT_EQ(0u, m.segments[0].find("SorelPendar\n  Ver 1.22\n"));
    EXPECT_EQ(3, std::count(m.segments[0].begin(), m.segments[0].end(), '\n'));
    ASSERT_EQ(1u, f.world.log.lines.size());
    EXPECT_EQ("Version " + m.segments[0], f.world.log.lines[0].text);
    EXPECT_EQ(0, f.world.log.lines[0].colour);
}

class ESocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TEST(ExceptionHook, LogsWhatEscapesByClass)
{
    FormFixture f;
    pendar::Guarded(f.form, [] { throw ESocketError("Connection Failed"); });
    pendar::Guarded(f.form, [] { throw std::runtime_error("broken"); });
    pendar::Guarded(f.form, [] { throw 42; });
    ASSERT_EQ(3u, f.world.log.lines.size());
    EXPECT_EQ("OtherError Connection Failed", f.world.log.lines[0].text);
    EXPECT_EQ("Error broken", f.world.log.lines[1].text);
    EXPECT_EQ(0u, f.world.log.lines[2].text.find("Error "));
    for (const auto& line : f.world.log.lines)
        EXPECT_EQ(255, line.colour);
}

} // namespace
