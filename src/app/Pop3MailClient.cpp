// The mail check's client over TNMAPOP; its waits run the Qt event loop.
#include "app/MailClient.h"

#include "mail/MailErrors.h"
#include "mail/NMAPOP.h"
#include "mail/Pop3Reply.h"
#include "port/Cp932.h"

#include <QEventLoop>
#include <QTimer>

namespace pendar {

namespace {

TPop3Tls Pop3Tls(TMailTls tls)
{
    switch (tls) {
    case TMailTls::StartTls:
        return TPop3Tls::StartTls;
    case TMailTls::Implicit:
        return TPop3Tls::Implicit;
    case TMailTls::None:
        break;
    }
    return TPop3Tls::None;
}

class Pop3MailClient final : public IMailClient {
public:
    explicit Pop3MailClient(int timeOutMs) { pop_.TimeOut = timeOutMs; }

    void Connect(const TMailProfile& profile) override
    {
        pop_.Host = profile.host;
        pop_.Port = profile.port;
        pop_.UserID = profile.user;
        pop_.Password = profile.password;
        pop_.APOP = profile.apop;
        pop_.Tls = Pop3Tls(profile.tls);
        // Stored in code page 932 as every text of the settings; the file
        // system wants UTF-8.
        std::optional<std::string> caFile = port::Cp932ToUtf8Strict(profile.caFile);
        if (!caFile)
            throw ESockError("TLS CA file cannot be read");
        pop_.CaFile = *caFile;
        pop_.Connect();
    }
    int MessageCount() const override { return pop_.MessageCount(); }
    MailSummary RetrieveSummary(int n) override
    {
        pop_.RetrieveSummary(n);
        return {pop_.Summary().Subject, pop_.Summary().Bytes};
    }
    std::string RetrieveUidl(int n) override { return std::string(StripLineEnd(pop_.RetrieveUidl(n))); }
    void Disconnect() override { pop_.Disconnect(); }
    void Abort() override
    {
        pop_.Abort();
        if (pause_)
            pause_->quit();
    }
    void Pause(int ms) override
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        pause_ = &loop;
        loop.exec();
        pause_ = nullptr;
    }

private:
    TNMAPOP pop_;
    QEventLoop* pause_ = nullptr;
};

} // namespace

std::unique_ptr<IMailClient> MakePop3MailClient(int timeOutMs)
{
    return std::make_unique<Pop3MailClient>(timeOutMs);
}

} // namespace pendar
