// The menu's and the schedule's clock setting through the desktop's way,
// against a stand-in for the system's time service on a private bus. The
// test runs without CAP_SYS_TIME (CMake starts it through setpriv), so no
// case can set the machine's clock; the SNTP answer is scripted.
#include "DriverForm.h"

#include "base/Sjis.h"
#include "platform_qt/DesktopClockSetter.h"
#include "port/Clock.h"
#include "support/PrivateTimedate.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;
using Lines = std::vector<std::string>;

// Runs the event loop until the log has `lines` lines (or a while passed).
void WaitForLog(DriverFixture& f, size_t lines)
{
    QElapsedTimer waited;
    waited.start();
    while (f.world.log.lines.size() < lines && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

class TimeService : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(port::MayProcessSetClock()) << "this test must run without CAP_SYS_TIME";
    }

    // A form whose SNTP client answers 100 s ahead and whose clock setter
    // talks to the stand-in service.
    std::unique_ptr<DriverFixture> Form(PrivateTimedate& service)
    {
        setter_ = std::make_unique<pendar::DesktopClockSetter>(service.Bus());
        auto f = std::make_unique<DriverFixture>(Clients::Fake, setter_.get());
        f->form->Settings().ntpServer = "ntp.example";
        f->form->sntp->answer.offsetNanos = 100000000000;
        return f;
    }

    std::unique_ptr<pendar::DesktopClockSetter> setter_;
};

const std::string kSet = "0 NTP ntp.example" + Sjis(" 時刻設定(誤差100.00秒)");

TEST_F(TimeService, WithoutNtpSetTimeGetsTheReceivedTimeAskingOnlyForTheMenu)
{
    PrivateTimedate service;
    std::string why;
    ASSERT_TRUE(service.Start(false, &why)) << why;
    for (bool byUser : {true, false}) {
        std::unique_ptr<DriverFixture> f = Form(service);
        int64_t received = f->world.clock.UnixNanos() + 100000000000;

        EXPECT_TRUE(f->form->SyncTime(byUser));
        EXPECT_TRUE(f->Log().empty()) << "logged before the service answered";
        WaitForLog(*f, 1);

        EXPECT_EQ(f->Log(), (Lines{kSet})) << byUser;
        std::string call = "SetTime " + std::to_string(received / 1000) + " False " + (byUser ? "True" : "False");
        EXPECT_EQ(service.Calls("SetTime").back(), call);
    }
    EXPECT_EQ(2u, service.Calls("SetTime").size());
}

TEST_F(TimeService, WhenTheSystemSynchronisesTheOffsetIsOnlyLogged)
{
    PrivateTimedate service;
    std::string why;
    ASSERT_TRUE(service.Start(true, &why)) << why;
    std::unique_ptr<DriverFixture> f = Form(service);

    EXPECT_TRUE(f->form->SyncTime(true));

    EXPECT_EQ(f->Log(), (Lines{"0 NTP ntp.example" + Sjis(" 時刻はシステムが合わせています(誤差100.00秒)")}));
    EXPECT_EQ(f->Balloon(), (Lines{"~" + Sjis("時刻はシステムが自動で合わせています(誤差100.00秒)")}));
    EXPECT_TRUE(service.Calls("SetTime").empty());
}

TEST_F(TimeService, ARefusedAuthorisationIsLoggedWithItsReason)
{
    PrivateTimedate service;
    std::string why;
    ASSERT_TRUE(service.Start(false, &why)) << why;
    service.RefuseSetTime("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                          "Interactive authentication required.");
    std::unique_ptr<DriverFixture> f = Form(service);

    f->form->SyncTime(false);
    WaitForLog(*f, 1);

    EXPECT_EQ(f->Log(), (Lines{"255 NTP ntp.example" + Sjis(" 時刻設定失敗(") +
                               "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired: Interactive "
                               "authentication required.)"}));
}

TEST_F(TimeService, WithoutTheServiceTheReasonIsLogged)
{
    PrivateTimedate bus; // a bus, but nobody serves the time on it
    std::string why;
    ASSERT_TRUE(bus.Start(false, &why)) << why;
    bus.StopService();
    std::unique_ptr<DriverFixture> f = Form(bus);

    EXPECT_FALSE(f->form->SyncTime(true));

    ASSERT_EQ(1u, f->Log().size());
    EXPECT_EQ(0u, f->Log()[0].find("255 NTP ntp.example" + Sjis(" 時刻設定失敗(") +
                                   "no permission to set the clock and no time service: "))
        << f->Log()[0];
}

} // namespace
