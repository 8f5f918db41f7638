// The real settings dialog on the offscreen platform, opened from the menu:
// a schedule and a mail profile made by clicks and typing reach Pendar.ini.
#include "TestForm.h"
#include "app_qt/DialogWindows.h"
#include "base/Sjis.h"
#include "dialogs_qt/RangeSpin.h"
#include "dialogs_qt/SjisEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using pendar::test::FormFixture;

template <typename W>
W* Find(QWidget& dialog, const char* name)
{
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(nullptr, w) << name;
    return w;
}

void Click(QWidget& dialog, const char* name)
{
    QWidget* w = Find<QWidget>(dialog, name);
    ASSERT_TRUE(w->isEnabled()) << name;
    // A check box takes clicks on its box and caption, not on the space
    // its layout gives it beyond them.
    const QPoint at = qobject_cast<QCheckBox*>(w) ? QPoint(6, w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

// Typed text: keys for plain ASCII, otherwise committed as an input method
// commits Japanese text.
void TypeInto(QWidget* edit, const QString& text)
{
    bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        QTest::keyClicks(edit, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
}

void Type(QWidget& dialog, const char* name, const char* utf8)
{
    auto* edit = Find<pendar::TSjisEdit>(dialog, name);
    ASSERT_TRUE(edit->isEnabled()) << name;
    edit->selectAll();
    TypeInto(edit, QString::fromUtf8(utf8));
}

struct DialogFixture : FormFixture {
    QWidget owner;
    pendar::TLogModel log{world.clock};
    pendar::DialogWindows dialogs{log, world.clock, owner, form.SettingDialog(), [] { return false; }};
    DialogFixture()
    {
        world.clock.Set(2005, 6, 10, 14, 30);
        for (TMailProfile& p : form.Settings().profiles)
            p = TMailProfile{};
        form.SetDialogWindows(&dialogs);
    }
    ~DialogFixture() { form.SetDialogWindows(nullptr); }

    // Opens the dialog from the menu; `drive` runs once it is shown.
    void Open(std::function<void(QDialog&)> drive)
    {
        QTimer::singleShot(0, &owner, [this, drive] {
            QDialog& d = dialogs.SettingDialog();
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(form.Modal());
            drive(d);
            if (d.isVisible()) // a failed step: close it anyway
                d.reject();
        });
        form.SysMenu().Click("MISetting");
    }
};

TEST(SettingDialog, AScheduleAndAProfileMadeByHandAreSaved)
{
    DialogFixture f;
    f.Open([](QDialog& d) {
        EXPECT_EQ(QString::fromUtf8("設定"), d.windowTitle());
        EXPECT_EQ(QSize(480, 320), d.size());
        auto* pages = Find<QTabWidget>(d, "SettingPage");
        EXPECT_EQ(0, pages->currentIndex());
        EXPECT_FALSE(Find<QWidget>(d, "SchNameEdit")->isEnabled());

        pages->setCurrentIndex(1);
        Click(d, "SchNewButton");
        Type(d, "SchNameEdit", std::string(45, 'x').c_str());
        EXPECT_EQ(std::string(40, 'x'), Find<pendar::TSjisEdit>(d, "SchNameEdit")->Sjis());
        Type(d, "SchNameEdit", "歯医者");
        EXPECT_EQ(QString::fromUtf8("歯医者"), Find<QListWidget>(d, "ScheduleListBox")->item(0)->text());
        EXPECT_FALSE(Find<QWidget>(d, "HourEdit")->isEnabled());
        Click(d, "HourCheckBox");
        auto* hour = Find<QSpinBox>(d, "HourEdit");
        ASSERT_TRUE(hour->isEnabled());
        EXPECT_EQ(14, hour->value());
        hour->selectAll();
        QTest::keyClicks(hour, "9");

        pages->setCurrentIndex(2);
        Click(d, "MailNewButton");
        Type(d, "ProfileEdit", "自宅");
        Type(d, "ServerEdit", "pop.example.jp");
        // A character code page 932 cannot hold is refused where it is typed.
        auto* server = Find<pendar::TSjisEdit>(d, "ServerEdit");
        TypeInto(server, QString::fromUtf8("é"));
        EXPECT_EQ(QString("pop.example.jp"), server->text());
        EXPECT_FALSE(server->RefusalHint().isEmpty());
        Type(d, "AccountEdit", "taro");
        Type(d, "PasswordEdit", "himitsu");
        Click(d, "APOPCheck");
        Click(d, "OkButton");
    });
    EXPECT_FALSE(f.form.Modal());

    const std::string ini = f.dir.Read("Pendar.ini");
    EXPECT_NE(std::string::npos, ini.find("SchName000=" + Sjis("歯医者") + "\r\n")) << ini;
    EXPECT_NE(std::string::npos, ini.find("Profile00=" + Sjis("自宅") + "\r\n"));
    EXPECT_NE(std::string::npos, ini.find("Host00=pop.example.jp\r\n"));
    EXPECT_NE(std::string::npos, ini.find("UserID00=taro\r\n"));
    EXPECT_NE(std::string::npos, ini.find("APOP00=1\r\n"));
    EXPECT_EQ(std::string::npos, ini.find("himitsu"));
    const std::vector<uint8_t> scrambled = ScramblePassword("himitsu");
    EXPECT_NE(std::string::npos,
              ini.find("Password00=" + BytesToHex(scrambled.data(), static_cast<int>(scrambled.size())) + "\r\n"));

    TAppSettings loaded;
    ASSERT_TRUE(LoadSettingsFile(f.dir.File("Pendar.ini"), loaded));
    TSchTime expected;
    expected.year = 2005;
    expected.month = 6;
    expected.day = 10;
    expected.hour = 9;
    EXPECT_EQ(expected, loaded.schedules[0].time);
    EXPECT_EQ("himitsu", loaded.profiles[0].password);
    EXPECT_EQ(110, loaded.profiles[0].port);
}

// 暗号化 shows a profile's choice; SSL/TLS chosen by keyboard moves port 110
// to 995, and OK saves the choice with its CA file.
TEST(SettingDialog, TheTlsChoiceOfAProfileIsShownAndSaved)
{
    DialogFixture f;
    TMailProfile& p = f.form.Settings().profiles[0];
    p = {"mail", "pop.example.jp", 110, "taro", "himitsu", false, {}, pendar::TMailTls::StartTls, "/etc/old-ca.pem"};
    f.Open([](QDialog& d) {
        Find<QTabWidget>(d, "SettingPage")->setCurrentIndex(2);
        auto* tls = Find<QComboBox>(d, "TlsComboBox");
        EXPECT_FALSE(tls->isEnabled());
        EXPECT_FALSE(Find<QWidget>(d, "CaFileEdit")->isEnabled());
        auto* list = Find<QListWidget>(d, "ProfileListBox");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(QString::fromUtf8("STARTTLS"), tls->currentText());
        EXPECT_EQ(QString("/etc/old-ca.pem"), Find<pendar::TSjisEdit>(d, "CaFileEdit")->text());
        EXPECT_TRUE(Find<QWidget>(d, "CaFileButton")->isEnabled());

        tls->setFocus();
        QTest::keyClick(tls, Qt::Key_Down);
        EXPECT_EQ(QString::fromUtf8("SSL/TLS"), tls->currentText());
        EXPECT_EQ(995, Find<QSpinBox>(d, "PortEdit")->value());
        Type(d, "CaFileEdit", "/home/taro/ca.pem");
        Click(d, "OkButton");
    });
    EXPECT_EQ(pendar::TMailTls::Implicit, p.tls);
    const std::string ini = f.dir.Read("Pendar.ini");
    EXPECT_NE(std::string::npos, ini.find("Port00=995\r\n")) << ini;
    EXPECT_NE(std::string::npos, ini.find("[MailTLS]\r\ntaro@pop.example.jp=implicit,/home/taro/ca.pem\r\n")) << ini;
}

// What Pendar.ini may hold beyond the fields' limits: a port above 32767, a
// password longer than 32 bytes written by hand.
TEST(SettingDialog, StoredValuesBeyondTheFieldsLimitsCanBeEdited)
{
    DialogFixture f;
    TMailProfile& stored = f.form.Settings().profiles[0];
    stored.name = "work";
    stored.host = "pop.example.jp";
    stored.port = 40000;
    stored.user = "taro";
    stored.password = std::string(40, 'p');
    f.Open([&f](QDialog& d) {
        Find<QTabWidget>(d, "SettingPage")->setCurrentIndex(2);
        Find<QListWidget>(d, "ProfileListBox")->setCurrentRow(0);
        auto* port = Find<pendar::TRangeSpin>(d, "PortEdit");
        EXPECT_EQ(40000, port->value());
        // Another field edited: the port is kept as it is.
        Type(d, "AccountEdit", "jiro");
        EXPECT_EQ(40000, f.form.SettingDialog().profiles[0].port);

        auto* password = Find<pendar::TSjisEdit>(d, "PasswordEdit");
        EXPECT_EQ(QString(40, '*'), password->displayText());
        password->setFocus();
        password->end(false);
        QTest::keyClick(password, Qt::Key_Backspace); // shorter, though still over 32 bytes
        EXPECT_EQ(std::string(39, 'p'), password->Sjis());
        QTest::keyClicks(password, "q"); // longer again: refused
        EXPECT_EQ(std::string(39, 'p'), password->Sjis());
        EXPECT_EQ(QString::fromUtf8("32 バイトまでです"), password->RefusalHint());

        // Five digits up to 65535; a sixth is refused with its hint.
        port->selectAll();
        QTest::keyClicks(port, "54321");
        EXPECT_EQ(54321, port->value());
        EXPECT_TRUE(port->RefusalHint().isEmpty());
        port->selectAll();
        QTest::keyClicks(port, "70000");
        EXPECT_EQ(7000, port->value());
        EXPECT_EQ(QString::fromUtf8("0 から 65535 までです"), port->RefusalHint());
        Click(d, "OkButton");
    });
    const TMailProfile& saved = f.form.Settings().profiles[0];
    EXPECT_EQ(7000, saved.port);
    EXPECT_EQ("jiro", saved.user);
    EXPECT_EQ(std::string(39, 'p'), saved.password);
}

TEST(SettingDialog, CancelLeavesTheSettingsAndTheFileAlone)
{
    DialogFixture f;
    f.Open([](QDialog& d) {
        Find<QTabWidget>(d, "SettingPage")->setCurrentIndex(1);
        Click(d, "SchNewButton");
        Click(d, "CancelButton");
    });
    EXPECT_TRUE(IsEmptyTime(f.form.Settings().schedules[0].time));
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("Pendar.ini")));
}

TEST(SettingDialog, ShowsTheMainWindowsSettingsOnEveryPage)
{
    DialogFixture f;
    TAppSettings& s = f.form.Settings();
    s.waveFlag = false;
    s.interval = 25;
    s.ntpServer = "ntp.example.jp";
    s.ntpTime.weekday = 3;
    s.ntpTime.hour = -1;
    s.schedules[9] = {"late", {}, false};
    s.profiles[4].name = "work";
    f.Open([](QDialog& d) {
        EXPECT_FALSE(Find<QCheckBox>(d, "WavCheckBox")->isChecked());
        EXPECT_FALSE(Find<QWidget>(d, "RndCheckBox")->isEnabled());
        EXPECT_EQ(25, Find<QSpinBox>(d, "CheckTimerEdit")->value());
        EXPECT_EQ(QString("ntp.example.jp"), Find<pendar::TSjisEdit>(d, "NTPEdit")->text());
        EXPECT_TRUE(Find<QWidget>(d, "TimeWComboBox")->isEnabled());
        EXPECT_FALSE(Find<QWidget>(d, "TimeHEdit")->isEnabled());
        EXPECT_EQ(4, Find<QSpinBox>(d, "TimeHEdit")->value());
        auto* schedules = Find<QListWidget>(d, "ScheduleListBox");
        ASSERT_EQ(1, schedules->count());
        EXPECT_EQ(QString("late"), schedules->item(0)->text());
        ASSERT_EQ(1, Find<QListWidget>(d, "ProfileListBox")->count());
        Click(d, "WavCheckBox");
        EXPECT_TRUE(Find<QWidget>(d, "RndCheckBox")->isEnabled());
        Click(d, "OkButton");
    });
    EXPECT_TRUE(s.waveFlag);
    EXPECT_EQ("late", s.schedules[0].name);
    EXPECT_EQ("work", s.profiles[0].name);
}

// ログイン時に起動する writes the XDG autostart entry that starts this very
// program, shows whether it is there, and removes it; Cancel does neither.
TEST(SettingDialog, StartAtLogInWritesAndRemovesTheAutostartEntry)
{
    DialogFixture f;
    const std::string entry = f.dir.File(FormFixture::kAutostart);
    auto openAnd = [&](bool shownChecked, const char* button) {
        f.Open([&](QDialog& d) {
            auto* box = Find<QCheckBox>(d, "AutostartCheckBox");
            EXPECT_TRUE(box->isVisible());
            EXPECT_EQ(QString::fromUtf8("ログイン時に起動する"), box->text());
            EXPECT_EQ(shownChecked, box->isChecked());
            Click(d, "AutostartCheckBox");
            Click(d, button);
        });
    };
    openAnd(false, "CancelButton");
    EXPECT_FALSE(std::filesystem::exists(entry));

    openAnd(false, "OkButton");
    ASSERT_TRUE(std::filesystem::exists(entry));
    const std::string text = f.dir.Read(FormFixture::kAutostart);
    EXPECT_NE(std::string::npos, text.find("\nExec=\"/opt/my tools/bin/pendar\"\n")) << text;
    EXPECT_EQ(std::string::npos, f.dir.Read("Pendar.ini").find("utostart")) << "kept in Pendar.ini";
    if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
        EXPECT_EQ(0, std::system(("desktop-file-validate '" + entry + "'").c_str())) << text;
    } else {
        std::printf("desktop-file-validate is missing: the entry was not validated\n");
    }

    openAnd(true, "OkButton");
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(std::filesystem::exists(f.dir.File("config/autostart")));
}

} // namespace
