// The mail check over the ten profiles, and what the user is told of it.
#include "app/MainForm.h"

#include "app/MessageTemplate.h"
#include "base/Sjis.h"
#include "mail/CleanSubject.h"

#include <algorithm>
#include <limits>

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

void TMainForm::CheckMail(bool manual)
{
    if (!mailClient_) {
        svc_.messages.FlushMessage();
        svc_.messages.AddMessage(Sjis("メールの使える環境がありません。"));
        svc_.messages.CommitMessage(true);
        AddLog("Mail Init Error ", 255);
        // The next automatic attempt waits Interval minutes, not one tick.
        mailCountdown_ = settings_.interval;
        return;
    }
    if (mailBusy_)
        return;

    // Busy with the three entries disabled until the check ends, however it ends.
    class BusyScope {
    public:
        explicit BusyScope(TMainForm& f) : form_(f) { Set(true); }
        ~BusyScope() { Set(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        void Set(bool busy)
        {
            form_.mailBusy_ = busy;
            for (const char* entry : {"MIMailCheck", "MISetting", "MISysClose"})
                form_.menu_.SetEnabled(entry, !busy);
        }
        TMainForm& form_;
    } busy(*this);

    bool connectShown = false;
    int newProfiles = 0;
    mailNewMessages_ = 0;
    mailNewBytes_ = 0;
    mailResults_.clear();

    for (int i = 0; i < kMailProfileCount; ++i) {
        const TMailProfile& profile = settings_.profiles[i];
        if (!TakesPart(profile))
            continue;
        if (i > 0)
            mailClient_->Pause(kProfilePauseMs);
        if (closing_)
            return;
        if (!connectShown) {
            if (manual && svc_.view.IsVisible()) {
                svc_.messages.FlushMessage();
                svc_.messages.AddMessage(skin_.connectMes);
                svc_.messages.CommitMessage(true);
            }
            if (settings_.waveFlag && !skin_.connectWav.empty())
                PlaySkinWave(skin_.connectWav);
            connectShown = true;
        }
        try {
            mailClient_->Connect(profile);
            if (closing_)
                return;
            if (ReadMailbox(i))
                ++newProfiles;
            if (closing_)
                return;
            mailClient_->Disconnect();
        } catch (const std::exception& e) {
            // Closing broke the check off with Abort: nothing more is said
            // and no QUIT is sent.
            if (closing_)
                return;
            try {
                mailClient_->Disconnect();
            } catch (...) {
                // The connection is gone already; the first error is reported.
            }
            if (closing_)
                return;
            ReportMailError(profile, "Mail Error ", e.what());
        }
    }

    if (newProfiles > 0)
        QueueMailMessage(ExpandTemplate(skin_.totalMes, "", "", mailNewMessages_, mailNewBytes_));
    else if (connectShown)
        svc_.messages.SkipMessage();
    FlushMailMessages();
    if (newProfiles > 0)
        Announce(skin_.postWav);
    mailCountdown_ = settings_.interval;
    idleCountdown_ = 0;
}

bool TMainForm::ReadMailbox(int index)
{
    TMailProfile& profile = settings_.profiles[index];
    try {
        int count = mailClient_->MessageCount();
        if (count > kMaxMailboxMessages) {
            QueueMailMessage(ExpandTemplate(skin_.overMes, profile.name, "", 0, 0));
            profile.seen.clear();
            return false;
        }
        std::vector<std::string> fresh;
        int newCount = 0;
        int64_t bytes = 0;
        std::string firstSubject;
        for (int n = 1; n <= count; ++n) {
            pendar::MailSummary summary = mailClient_->RetrieveSummary(n);
            bool isNew = true;
            if (settings_.sameCheck) {
                std::string uid = mailClient_->RetrieveUidl(n);
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
            mailNewMessages_ += newCount;
            mailNewBytes_ = AddSizes(mailNewBytes_, bytes);
            if (newCount == 1 && !firstSubject.empty())
                QueueMailMessage(ExpandTemplate(skin_.postMes, profile.name, firstSubject, 1, bytes));
            else
                QueueMailMessage(ExpandTemplate(skin_.manyMes, profile.name, "", newCount, bytes));
            AddLog("Mail " + profile.name + " " + std::to_string(newCount) + Sjis("通"), 0);
        }
        profile.seen = std::move(fresh);
        return newCount > 0;
    } catch (const std::exception& e) {
        if (closing_)
            return false; // broken off by closing: nothing more is said
        // The exchange is out of step: end it without QUIT, so that the
        // caller's Disconnect has nothing to fail on and the error is told once.
        mailClient_->Abort();
        ReportMailError(profile, "MailRead Error ", e.what());
        return false;
    }
}

void TMainForm::ReportMailError(const TMailProfile& profile, const char* logPrefix, const char* what)
{
    svc_.messages.FlushMessage();
    svc_.messages.AddMessage(ExpandTemplate(skin_.conErrMes, profile.name, "", 0, 0));
    svc_.messages.CommitMessage(false);
    if (!svc_.view.IsVisible())
        SysRestoreClick();
    if (settings_.waveFlag && !skin_.conErrWav.empty())
        PlaySkinWave(skin_.conErrWav);
    AddLog(logPrefix + std::string(what), 255);
}

void TMainForm::QueueMailMessage(std::string text)
{
    if (mailResults_.size() < kMaxQueuedTexts)
        mailResults_.push_back(std::move(text));
}

void TMainForm::FlushMailMessages()
{
    if (mailResults_.empty())
        return;
    svc_.messages.FlushMessage();
    svc_.messages.AddMessages(mailResults_);
    svc_.messages.CommitMessage(false);
    mailResults_.clear();
}
