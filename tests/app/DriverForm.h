// A TMainForm with its real mail and time driver, on a fake clock with
// recording services; its clients are scripted, absent or real.
#pragma once

#include "FakeMailClient.h"

#include "app/MainForm.h"
#include "support/RecordingServices.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace pendar::test {

// An SNTP client that answers from a script and records what it was asked.
class FakeSntp final : public TNMSNTP {
public:
    using TNMSNTP::TNMSNTP;
    bool answers = true;
    TSntpResult answer;
    std::vector<std::string> asked; // "host:port timeout"

    bool QueryTime(TSntpResult& result) override
    {
        asked.push_back(RemoteHost + ":" + std::to_string(RemotePort) + " " + std::to_string(TimeOut));
        if (answers)
            result = answer;
        return answers;
    }
};

enum class Clients { Fake, None, Real };

class DriverForm : public TMainForm {
public:
    DriverForm(Services services, FakeClock& clock, Clients kind)
        : TMainForm(WithClients(std::move(services), clock, kind, this))
    {
    }

    FakeMailClient* pop = nullptr;
    FakeSntp* sntp = nullptr;
    std::vector<std::string> calls; // voices, BringToFront, IdleAction

    using TMainForm::SyncTime;

    // The real POP3 client with another time-out per wait.
    void UseMailTimeOut(int ms) { static_cast<TMailCheck&>(MailCheck()).SetClient(MakePop3MailClient(ms)); }

protected:
    void PlaySkinWave(const std::string& name) override { calls.push_back("Play " + name); }
    void BringToFront() override { calls.push_back("BringToFront"); }
    void IdleAction() override { calls.push_back("IdleAction"); }

private:
    // The real mail check, with scripted, absent or real clients (made at
    // FormCreate, once `self` is whole).
    static Services WithClients(Services services, FakeClock& clock, Clients kind, DriverForm* self)
    {
        if (kind == Clients::Real)
            return services;
        IMessageStore* messages = &services.messages;
        ILogSink* log = &services.log;
        services.makeMailCheck = [messages, log, &clock, kind, self](::pendar::IMailCheckHost& host) {
            return std::make_unique<TMailCheck>(host, *messages, *log, [&clock, kind, self] {
                std::unique_ptr<FakeMailClient> mail;
                if (kind == Clients::Fake)
                    mail = std::make_unique<FakeMailClient>(clock);
                self->pop = mail.get();
                return std::unique_ptr<IMailClient>(std::move(mail));
            });
        };
        services.makeSntp = [&clock, kind, self] {
            std::unique_ptr<FakeSntp> time;
            if (kind == Clients::Fake)
                time = std::make_unique<FakeSntp>(clock);
            self->sntp = time.get();
            return std::unique_ptr<TNMSNTP>(std::move(time));
        };
        return services;
    }
};

struct DriverFixture {
    explicit DriverFixture(Clients kind = Clients::Fake, port::IClockSetter* clockSetter = nullptr)
    {
        world.clock.Set(2024, 6, 2, 10, 0, 30); // a Sunday
        form = std::make_unique<DriverForm>(world.Services(dir.File("Pendar.ini"), clockSetter), world.clock, kind);
        form->FormCreate();
        world.log.lines.clear(); // the start-up's own lines (there is no skin)
        TSkinInfo& skin = form->SkinInfo();
        skin.connectMes = "CONNECT";
        skin.conErrMes = "CONERR $HOST$";
        skin.postMes = "POST $HOST$ $SUBJECT$ $NUMBER$ $SIZE$";
        skin.manyMes = "MANY $HOST$ $NUMBER$ $SIZE$";
        skin.overMes = "OVER $HOST$";
        skin.totalMes = "TOTAL $NUMBER$ $SIZE$";
        skin.connectWav = "connect.wav";
        skin.conErrWav = "conerr.wav";
        skin.postWav = "post.wav";
    }

    // Profile `i` with display name "P<i>" on `host`, taking part in checks.
    TMailProfile& Profile(int i, const std::string& host, const std::string& password = "pw")
    {
        TMailProfile& p = form->Settings().profiles[static_cast<size_t>(i)];
        p.name = "P" + std::to_string(i);
        p.host = host;
        p.user = "user";
        p.password = password;
        return p;
    }

    // Committed messages as "segment|segment" with a "~" mark for transient ones.
    std::vector<std::string> Balloon() const
    {
        std::vector<std::string> out;
        for (const auto& m : world.messages.committed) {
            std::string text = m.transient ? "~" : "";
            for (size_t i = 0; i < m.segments.size(); ++i)
                text += (i ? "|" : "") + m.segments[i];
            out.push_back(text);
        }
        return out;
    }
    std::vector<std::string> Log() const
    {
        std::vector<std::string> out;
        for (const auto& l : world.log.lines)
            out.push_back(std::to_string(l.colour) + " " + l.text);
        return out;
    }

    RecordingWorld world;
    TempDir dir;
    std::unique_ptr<DriverForm> form;
};

} // namespace pendar::test
