// The mail check over the ten profiles, and what the user is told of it.
#include "app/MailCheck.h"

#include "app/BusyScope.h"
#include "app/MessageTemplate.h"
#include "base/Sjis.h"
#include "mail/CleanSubject.h"

#include <algorithm>
#include <limits>

namespace pendar {

namespace {

constexpr int kMaxMailboxMessages = 100;
constexpr size_t kMaxQueuedTexts = 32;
constexpr int kProfilePauseMs = 500;

bool TakesPart(const TMailProfile& p)
{
    return !p.host.empty() && !p.user.empty() && !p.password.empty();
}

// Sizes come from the server: a sum must not overflow.
int64_t AddSizes(int64_t a, int64_t b)
{
    int64_t sum;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<int64_t>::max() : sum;
}

} // namespace

TMailCheck::TMailCheck(IMailCheckHost& host, IMessageStore& messages, ILogSink& log, ClientFactory makeClient)
    : host_(host), messages_(messages), log_(log), makeClient_(std::move(makeClient))
{
}

void TMailCheck::CreateClient()
{
    try {
        client_ = makeClient_ ? makeClient_() : MakePop3MailClient(kTimeOutMs);
    } catch (...) {
        client_.reset(); // checks report the missing client
    }
}

void TMailCheck::Abort()
{
    if (client_)
        client_->Abort();
}

MailCheckEnd TMailCheck::Check(bool manual, TAppSettings& settings, const TSkinInfo& skin)
{
    if (!client_) {
        messages_.FlushMessage();
        messages_.AddMessage(Sjis("メールの使える環境がありません。"));
        messages_.CommitMessage(true);
        log_.AddLog("Mail Init Error ", 255);
        return MailCheckEnd::NoClient;
    }
    if (busy_)
        return MailCheckEnd::NotRun;
    TBusyScope busy(busy_, [this](bool locked) { host_.LockMenu(locked); });

    bool connectShown = false;
    int newProfiles = 0;
    newMessages_ = 0;
    newBytes_ = 0;
    queued_.clear();

    for (int i = 0; i < kMailProfileCount; ++i) {
        TMailProfile& profile = settings.profiles[i];
        if (!TakesPart(profile))
            continue;
        if (i > 0)
            client_->Pause(kProfilePauseMs);
        if (host_.Closing())
            return MailCheckEnd::NotRun;
        if (!connectShown) {
            if (manual && host_.Shown()) {
                messages_.FlushMessage();
                messages_.AddMessage(skin.connectMes);
                messages_.CommitMessage(true);
            }
            if (settings.waveFlag && !skin.connectWav.empty())
                host_.PlayVoice(skin.connectWav);
            connectShown = true;
        }
        try {
            client_->Connect(profile);
            if (host_.Closing())
                return MailCheckEnd::NotRun;
            if (ReadMailbox(profile, settings, skin))
                ++newProfiles;
            if (host_.Closing())
                return MailCheckEnd::NotRun;
            client_->Disconnect();
        } catch (const std::exception& e) {
            // Closing broke the check off with Abort: nothing more is said
            // and no QUIT is sent.
            if (host_.Closing())
                return MailCheckEnd::NotRun;
            try {
                client_->Disconnect();
            } catch (...) {
                // The connection is gone already; the first error is reported.
            }
            if (host_.Closing())
                return MailCheckEnd::NotRun;
            ReportError(profile, settings, skin, "Mail Error ", e.what());
        }
    }

    if (newProfiles > 0)
        Queue(ExpandTemplate(skin.totalMes, "", "", newMessages_, newBytes_));
    else if (connectShown)
        messages_.SkipMessage();
    FlushQueued();
    if (newProfiles > 0)
        host_.Announce(skin.postWav);
    return MailCheckEnd::Finished;
}

bool TMailCheck::ReadMailbox(TMailProfile& profile, const TAppSettings& settings, const TSkinInfo& skin)
{
    try {
        int count = client_->MessageCount();
        if (count > kMaxMailboxMessages) {
            Queue(ExpandTemplate(skin.overMes, profile.name, "", 0, 0));
            profile.seen.clear();
            return false;
        }
        std::vector<std::string> fresh;
        int newCount = 0;
        int64_t bytes = 0;
        std::string firstSubject;
        for (int n = 1; n <= count; ++n) {
            MailSummary summary = client_->RetrieveSummary(n);
            bool isNew = true;
            if (settings.sameCheck) {
                std::string uid = client_->RetrieveUidl(n);
                if (!uid.empty()) {
                    isNew = std::find(profile.seen.begin(), profile.seen.end(), uid) == profile.seen.end();
                    fresh.push_back(std::move(uid));
                }
            }
            if (!isNew)
                continue;
            if (newCount == 0)
                firstSubject = CleanSubject(summary.subject);
            bytes = AddSizes(bytes, summary.bytes);
            ++newCount;
        }
        if (newCount > 0) {
            newMessages_ += newCount;
            newBytes_ = AddSizes(newBytes_, bytes);
            if (newCount == 1 && !firstSubject.empty())
                Queue(ExpandTemplate(skin.postMes, profile.name, firstSubject, 1, bytes));
            else
                Queue(ExpandTemplate(skin.manyMes, profile.name, "", newCount, bytes));
            log_.AddLog("Mail " + profile.name + " " + std::to_string(newCount) + Sjis("通"), 0);
        }
        profile.seen = std::move(fresh);
        return newCount > 0;
    } catch (const std::exception& e) {
        if (host_.Closing())
            return false; // broken off by closing: nothing more is said
        // The exchange is out of step: end it without QUIT, so that the
        // caller's Disconnect has nothing to fail on and the error is told once.
        client_->Abort();
        ReportError(profile, settings, skin, "MailRead Error ", e.what());
        return false;
    }
}

void TMailCheck::ReportError(const TMailProfile& profile, const TAppSettings& settings, const TSkinInfo& skin,
                             const char* logPrefix, const char* what)
{
    messages_.FlushMessage();
    messages_.AddMessage(ExpandTemplate(skin.conErrMes, profile.name, "", 0, 0));
    messages_.CommitMessage(false);
    if (!host_.Shown())
        host_.Restore();
    if (settings.waveFlag && !skin.conErrWav.empty())
        host_.PlayVoice(skin.conErrWav);
    log_.AddLog(logPrefix + std::string(what), 255);
}

void TMailCheck::Queue(std::string text)
{
    if (queued_.size() < kMaxQueuedTexts)
        queued_.push_back(std::move(text));
}

void TMailCheck::FlushQueued()
{
    if (queued_.empty())
        return;
    messages_.FlushMessage();
    messages_.AddMessages(queued_);
    messages_.CommitMessage(false);
    queued_.clear();
}

} // namespace pendar
