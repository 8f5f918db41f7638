// Setting the PC clock from the SNTP server: on the NTPTime pattern and on
// request.
#include "app/MainForm.h"

#include "base/Sjis.h"
#include "port/Cp932.h"
#include "sntp/SecondsText.h"

#include <memory>

namespace {
constexpr int kNtpPort = 123;
constexpr int kNtpTimeOutMs = 5000;
constexpr int kNtpRetryMinutes = 5;

std::string Offset(int64_t nanos)
{
    return Sjis("(誤差") + pendar::SecondsText(nanos, 2) + Sjis("秒)");
}
} // namespace

void TMainForm::CheckTimeSync()
{
    if (!IsEmptyTime(settings_.ntpTime) && CompareTime(currentTime_, settings_.ntpTime) == 0 &&
        ntpRetryCountdown_ == 0)
        SyncTime(false);
}

bool TMainForm::SyncTime(bool byUser)
{
    ntpRetryCountdown_ = kNtpRetryMinutes;
    if (!sntp_) {
        svc_.messages.FlushMessage();
        svc_.messages.AddMessage(Sjis("SNTPの準備に失敗しています。"));
        svc_.messages.CommitMessage(true);
        AddLog("NTP Init Error ", 255);
        return false;
    }
    const std::string server = "NTP " + settings_.ntpServer;
    sntp_->RemoteHost = settings_.ntpServer;
    sntp_->RemotePort = kNtpPort;
    sntp_->TimeOut = kNtpTimeOutMs;
    TSntpResult result;
    if (!sntp_->QueryTime(result)) {
        AddLog(server + Sjis(" 時刻取得失敗"), 255);
        svc_.messages.FlushMessage();
        svc_.messages.AddMessage(Sjis("時刻取得失敗"));
        svc_.messages.CommitMessage(true);
        return false;
    }
    const int64_t offset = result.offsetNanos;
    std::string why;
    port::ClockWay way = svc_.clockSetter.Way(&why);
    if (way == port::ClockWay::LeftToSystem) {
        // The system keeps its clock itself (and would refuse a setting):
        // the offset is only measured.
        AddLog(server + Sjis(" 時刻はシステムが合わせています") + Offset(offset), 0);
        if (byUser) {
            svc_.messages.FlushMessage();
            svc_.messages.AddMessage(Sjis("時刻はシステムが自動で合わせています") + Offset(offset));
            svc_.messages.CommitMessage(true);
        }
        return true;
    }
    if (way == port::ClockWay::None) {
        AddLog(server + Sjis(" 時刻設定失敗(") + port::Utf8ToCp932(why) + ")", 255);
        return false;
    }
    // The offset applied to the clock as it is now, so that the moments
    // since the reply arrived are not lost. Through the time service the
    // outcome comes later; only a clock really set gets the usual line.
    auto fine = std::make_shared<bool>(true); // false once the setting failed
    svc_.clockSetter.Set(way, svc_.clock.UnixNanos() + offset, byUser,
                         [this, server, offset, fine](bool set, const std::string& error) {
                             *fine = set;
                             if (set)
                                 AddLog(server + Sjis(" 時刻設定") + Offset(offset), 0);
                             else
                                 AddLog(server + Sjis(" 時刻設定失敗(") + port::Utf8ToCp932(error) + ")", 255);
                         });
    return *fine;
}
