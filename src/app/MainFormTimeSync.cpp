// Setting the PC clock from the SNTP server: on the NTPTime pattern and on
// request.
#include "app/MainForm.h"

#include "base/Sjis.h"
#include "port/Cp932.h"
#include "sntp/SecondsText.h"

namespace {
constexpr int kNtpPort = 123;
constexpr int kNtpTimeOutMs = 5000;
constexpr int kNtpRetryMinutes = 5;
} // namespace

void TMainForm::CheckTimeSync()
{
    if (!IsEmptyTime(settings_.ntpTime) && CompareTime(currentTime_, settings_.ntpTime) == 0 &&
        ntpRetryCountdown_ == 0)
        SyncTime();
}

bool TMainForm::SyncTime()
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
    // The offset applied to the clock as it is now, so that the moments
    // since the reply arrived are not lost.
    std::string error;
    if (!svc_.clockSetter.SetUnixNanos(svc_.clock.UnixNanos() + result.offsetNanos, &error)) {
        AddLog(server + Sjis(" 時刻設定失敗(") + port::Utf8ToCp932(error) + ")", 255);
        return false;
    }
    AddLog(server + Sjis(" 時刻設定(誤差") + pendar::SecondsText(result.offsetNanos, 2) + Sjis("秒)"), 0);
    return true;
}
