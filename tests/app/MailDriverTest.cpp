// The mail check over the profiles, with a scripted POP3 client on the fake
// clock: what counts as new, what the balloon, voices and log say, the
// failures, and the check's life among ticks, menu commands and closing.
#include "DriverForm.h"

#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace pendar::test;
using Lines = std::vector<std::string>;

TEST(MailDriver, TwoProfilesWithOneNewMailEach)
{
    DriverFixture f;
    f.Profile(0, "a").apop = true;
    f.Profile(1, "b").port = 995;
    f.form->pop->boxes["a"].messages = {{"ua", "A", 120}};
    f.form->pop->boxes["b"].messages = {{"ub", "B", 30}};
    bool busyInside = false, entriesDisabledInside = true;
    f.form->pop->during = [&](const std::string&) {
        busyInside = f.form->MailBusy();
        for (const char* e : {"MIMailCheck", "MISetting", "MISysClose"})
            entriesDisabledInside = entriesDisabledInside && !f.form->SysMenu().Entry(e).enabled;
    };
    f.form->SetMailCountdown(1);

    f.form->MIMailCheckClick();

    EXPECT_EQ(f.form->pop->calls, (Lines{"Connect a:110 user pw APOP", "Summary 1", "Uidl 1", "QUIT", "Pause 500",
                                         "Connect b:995 user pw", "Summary 1", "Uidl 1", "QUIT"}));
    EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT", "POST P0 A 1 120|POST P1 B 1 30|TOTAL 2 150"}));
    EXPECT_EQ(f.form->calls, (Lines{"Play connect.wav", "Play post.wav", "BringToFront"}));
    EXPECT_EQ(f.Log(), (Lines{"0 Mail P0 1" + Sjis("通"), "0 Mail P1 1" + Sjis("通")}));
    EXPECT_EQ(f.form->FlashCount(), TMainForm::kFlashTicks);
    EXPECT_TRUE(busyInside);
    EXPECT_TRUE(entriesDisabledInside);
    EXPECT_FALSE(f.form->MailBusy());
    for (const char* e : {"MIMailCheck", "MISetting", "MISysClose"})
        EXPECT_TRUE(f.form->SysMenu().Entry(e).enabled) << e;
    EXPECT_EQ(f.form->MailCountdown(), f.form->Settings().interval);
}

TEST(MailDriver, SeenMessagesCountOnlyWithSameCheck)
{
    for (bool sameCheck : {true, false}) {
        DriverFixture f;
        f.form->Settings().sameCheck = sameCheck;
        f.Profile(0, "a");
        f.form->pop->boxes["a"].messages = Messages(3);
        f.form->MIMailCheckClick();
        f.form->pop->calls.clear();
        f.world.messages.committed.clear();
        f.form->calls.clear();

        f.form->MIMailCheckClick();

        if (sameCheck) {
            EXPECT_EQ(f.form->pop->calls, (Lines{"Connect a:110 user pw", "Summary 1", "Uidl 1", "Summary 2",
                                                 "Uidl 2", "Summary 3", "Uidl 3", "QUIT"}));
            EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT"})) << "nothing new to say";
            EXPECT_EQ(f.world.messages.skipped, 1) << "the connect note is dropped";
            EXPECT_EQ(f.form->calls, (Lines{"Play connect.wav"}));
            EXPECT_EQ(f.form->Settings().profiles[0].seen, (Lines{"u1", "u2", "u3"}));
        } else {
            EXPECT_EQ(f.form->pop->calls,
                      (Lines{"Connect a:110 user pw", "Summary 1", "Summary 2", "Summary 3", "QUIT"}));
            EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT", "MANY P0 3 300|TOTAL 3 300"}));
            EXPECT_TRUE(f.form->Settings().profiles[0].seen.empty());
        }
    }
}

TEST(MailDriver, WhichTextTellsOfTheNewMail)
{
    auto withSubject = [](int n, std::string subject) {
        std::vector<FakeMessage> m = Messages(n);
        m[0].subject = std::move(subject);
        return m;
    };
    struct Case {
        const char* name;
        std::vector<FakeMessage> messages;
        std::string result;
    } cases[] = {
        {"one with a subject", withSubject(1, "Hi"), "POST P0 Hi 1 100|TOTAL 1 100"},
        {"one without a subject", withSubject(1, ""), "MANY P0 1 100|TOTAL 1 100"},
        // One blank goes; the encoded word is decoded.
        {"one blank before an encoded word", withSubject(1, " =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?="),
         "POST P0 " + Sjis("テスト") + " 1 100|TOTAL 1 100"},
        {"the first subject of several is not used", withSubject(2, "Hi"), "MANY P0 2 200|TOTAL 2 200"},
        {"exactly 100", Messages(100), "MANY P0 100 10000|TOTAL 100 10000"},
        {"101: too many to read", Messages(101), "OVER P0"},
    };
    for (const Case& c : cases) {
        DriverFixture f;
        f.Profile(0, "a");
        f.form->pop->boxes["a"].messages = c.messages;
        f.form->MIMailCheckClick();
        EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT", c.result})) << c.name;
    }
}

TEST(MailDriver, OverfullMailboxForgetsWhatItHadSeen)
{
    DriverFixture f;
    f.Profile(0, "a");
    FakeMailbox& box = f.form->pop->boxes["a"];
    box.messages = Messages(100);
    f.form->MIMailCheckClick();
    ASSERT_EQ(f.form->Settings().profiles[0].seen.size(), 100u);

    box.messages = Messages(101);
    f.form->MIMailCheckClick();
    EXPECT_TRUE(f.form->Settings().profiles[0].seen.empty());
    EXPECT_EQ(f.form->calls.back(), "Play connect.wav") << "an overfull mailbox is no new mail";

    box.messages = Messages(100);
    f.world.messages.committed.clear();
    f.form->MIMailCheckClick();
    EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT", "MANY P0 100 10000|TOTAL 100 10000"}));
}

TEST(MailDriver, IncompleteProfilesAreSkippedButThePauseIsKept)
{
    DriverFixture f;
    f.Profile(0, "a", ""); // no password
    f.Profile(1, "b");
    TMailProfile& noUser = f.Profile(2, "c");
    noUser.user.clear();
    f.Profile(3, "");
    f.Profile(4, "e");
    int64_t before = f.world.clock.UnixNanos();

    f.form->MIMailCheckClick();

    EXPECT_EQ(f.form->pop->calls,
              (Lines{"Pause 500", "Connect b:110 user pw", "QUIT", "Pause 500", "Connect e:110 user pw", "QUIT"}));
    EXPECT_EQ(f.world.clock.UnixNanos() - before, 1000 * 1000000LL);
}

TEST(MailDriver, FailuresAreToldAndTheOtherProfilesStillChecked)
{
    struct Case {
        const char* name;
        FakeMailbox box;
        Lines calls;
        std::string log;
        Lines seen; // the seen list is only renewed by a complete read
    } cases[] = {
        {"connect fails", [] { FakeMailbox b; b.connectError = "10061:Connection refused"; return b; }(),
         {"Connect a:110 user pw"}, "Mail Error 10061:Connection refused", {"old"}},
        {"reading fails", [] { FakeMailbox b; b.messages = Messages(2); b.failingSummary = 2; return b; }(),
         {"Connect a:110 user pw", "Summary 1", "Uidl 1", "Summary 2", "Abort"},
         "MailRead Error -ERR no such message", {"old"}},
        {"QUIT fails", [] { FakeMailbox b; b.quitError = "-ERR busy"; return b; }(),
         {"Connect a:110 user pw", "QUIT"}, "Mail Error -ERR busy", {}},
    };
    for (const Case& c : cases) {
        DriverFixture f;
        f.Profile(0, "a");
        f.Profile(1, "b");
        f.form->Settings().profiles[0].seen = {"old"};
        f.form->pop->boxes["a"] = c.box;
        f.form->pop->boxes["b"].messages = {{"ub", "B", 30}};
        f.world.view.visible = false; // minimised: the error brings it back

        f.form->MIMailCheckClick();

        Lines calls = c.calls;
        for (const char* more : {"Pause 500", "Connect b:110 user pw", "Summary 1", "Uidl 1", "QUIT"})
            calls.push_back(more);
        EXPECT_EQ(f.form->pop->calls, calls) << c.name;
        EXPECT_EQ(f.Balloon(), (Lines{"CONERR P0", "POST P1 B 1 30|TOTAL 1 30"})) << c.name;
        EXPECT_EQ(f.Log(), (Lines{"255 " + c.log, "0 Mail P1 1" + Sjis("通")})) << c.name;
        EXPECT_EQ(f.form->calls, (Lines{"Play connect.wav", "BringToFront", "Play conerr.wav", "Play post.wav",
                                        "BringToFront"}))
            << c.name;
        EXPECT_TRUE(f.world.view.visible) << c.name;
        EXPECT_EQ(f.form->Settings().profiles[0].seen, c.seen) << c.name;
    }
}

TEST(MailDriver, MissingClientIsToldOncePerInterval)
{
    DriverFixture f(Clients::None);
    f.Profile(0, "a");
    f.form->SetMailCountdown(0);
    f.world.clock.Set(2024, 6, 2, 10, 0, 30);
    for (int i = 0; i < 4 * 60 * 5; ++i) { // four minutes of ticks: Interval is five
        f.world.clock.AdvanceMs(TMainForm::kTickMs);
        f.form->CheckTimerTimer();
    }
    EXPECT_EQ(f.Balloon(), (Lines{"~" + Sjis("メールの使える環境がありません。")}));
    EXPECT_EQ(f.Log(), (Lines{"255 Mail Init Error "}));
}

TEST(MailDriver, TicksAndCommandsDuringACheckStartNothing)
{
    for (bool automatic : {true, false}) {
        DriverFixture f;
        f.Profile(0, "a");
        f.form->pop->boxes["a"].messages = Messages(1);
        f.form->SetMailCountdown(0); // every tick wants an automatic check
        f.form->pop->during = [&](const std::string& call) {
            if (call != "Summary 1")
                return;
            for (int i = 0; i < 10; ++i) {
                f.world.clock.AdvanceMs(TMainForm::kTickMs);
                f.form->CheckTimerTimer();
            }
            f.form->MIMailCheckClick();
        };
        f.world.clock.AdvanceMs(TMainForm::kTickMs);
        if (automatic)
            f.form->CheckTimerTimer();
        else
            f.form->MIMailCheckClick();

        EXPECT_EQ(f.form->pop->calls, (Lines{"Connect a:110 user pw", "Summary 1", "Uidl 1", "QUIT"})) << automatic;
        // Ticks inside a tick do nothing; inside a manual check they run
        // (two idle actions in ten ticks) but start no second check.
        int idle = static_cast<int>(std::count(f.form->calls.begin(), f.form->calls.end(), "IdleAction"));
        EXPECT_EQ(idle, automatic ? 1 : 2);
        EXPECT_EQ(f.Balloon().back(), "POST P0 S1 1 100|TOTAL 1 100");
    }
}

// Closing breaks the check off with Abort wherever it waits: no QUIT, no
// further profile, and nothing told of the broken-off profile.
TEST(MailDriver, ClosingDuringACheckAbortsItSilently)
{
    for (const char* moment : {"Connect a:110 user pw", "Summary 1", "Uidl 1", "QUIT", "Pause 500"}) {
        DriverFixture f;
        f.Profile(0, "a");
        f.Profile(1, "b");
        f.form->pop->boxes["a"].messages = Messages(1);
        std::string at = moment;
        f.form->pop->during = [&](const std::string& call) {
            if (call == at)
                f.form->FormCloseQuery();
        };

        f.form->MIMailCheckClick();

        Lines calls;
        for (const char* c : {"Connect a:110 user pw", "Summary 1", "Uidl 1", "QUIT", "Pause 500"}) {
            calls.push_back(c);
            if (at == c)
                break;
        }
        calls.push_back("Abort");
        EXPECT_EQ(f.form->pop->calls, calls) << moment;
        EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT"})) << moment;
        // Before QUIT the first mailbox had been read and logged.
        bool read = at == "QUIT" || at == "Pause 500";
        EXPECT_EQ(f.Log(), read ? Lines{"0 Mail P0 1" + Sjis("通")} : Lines{}) << moment;
        EXPECT_EQ(f.form->calls, (Lines{"Play connect.wav"})) << moment;
        EXPECT_FALSE(f.form->MailBusy()) << moment;
        EXPECT_TRUE(f.form->Closing()) << moment;
    }
}

} // namespace
