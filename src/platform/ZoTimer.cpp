#include "platform/ZoTimer.h"

#include "port/Cp932.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowNoTimer()
{
    throw EOutOfResources(port::Utf8ToCp932("ﾏﾙﾁﾒﾃﾞｨｱﾀｲﾏｰを取得できません"));
}

itimerspec Period(unsigned milliseconds)
{
    timespec each{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    return itimerspec{each, each};
}

} // namespace

TZoTimer::TZoTimer() = default;

TZoTimer::~TZoTimer()
{
    enabled_.store(false);
    {
        std::lock_guard lock(mutex_);
        UpdateTimer();
    }
    if (thread_.joinable()) {
        uint64_t one = 1;
        while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    if (timerFd_ >= 0)
        ::close(timerFd_);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void TZoTimer::SetEnabled(bool enabled)
{
    std::lock_guard lock(mutex_);
    if (enabled_.exchange(enabled) != enabled)
        UpdateTimer();
}

void TZoTimer::SetInterval(unsigned interval)
{
    std::lock_guard lock(mutex_);
    if (interval_.exchange(interval) != interval)
        UpdateTimer();
}

void TZoTimer::SetOnTimer(TNotifyEvent handler)
{
    std::lock_guard lock(mutex_);
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TZoTimer::SetOnException(TExceptionEvent handler)
{
    std::lock_guard lock(mutex_);
    onException_ = std::move(handler);
}

// Called with mutex_ held. Re-arming restarts the period and drops the
// expirations of the old setting.
void TZoTimer::UpdateTimer()
{
    bool run = enabled_.load() && interval_.load() != 0;
    if (!run) {
        if (timerFd_ >= 0) {
            itimerspec off{};
            ::timerfd_settime(timerFd_, 0, &off, nullptr);
        }
        return;
    }
    if (timerFd_ < 0)
        StartThread();
    itimerspec period = Period(interval_.load());
    if (::timerfd_settime(timerFd_, 0, &period, nullptr) != 0)
        ThrowNoTimer();
}

void TZoTimer::StartThread()
{
    int timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    int wakeFd = timerFd >= 0 ? ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) : -1;
    if (wakeFd < 0) {
        if (timerFd >= 0)
            ::close(timerFd);
        ThrowNoTimer();
    }
    timerFd_ = timerFd;
    wakeFd_ = wakeFd;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        ::close(timerFd_);
        ::close(wakeFd_);
        timerFd_ = wakeFd_ = -1;
        ThrowNoTimer();
    }
}

// The expirations since the last read; 0 when there were none (or the timer
// was stopped or re-armed in between).
uint64_t TZoTimer::TakeExpirations()
{
    uint64_t n = 0;
    ssize_t got;
    do {
        got = ::read(timerFd_, &n, sizeof n);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof n) ? n : 0;
}

void TZoTimer::Run()
{
    pollfd fds[2] = {{timerFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        uint64_t ticks = TakeExpirations();
        if (ticks == 0)
            continue;
        count_.Add(ticks);
        Fire();
        // The periods that ended while the handler ran fire nothing.
        count_.Add(TakeExpirations());
    }
}

void TZoTimer::Fire()
{
    TNotifyEvent handler;
    {
        std::lock_guard lock(mutex_);
        if (!enabled_.load() || interval_.load() == 0)
            return;
        handler = onTimer_;
    }
    if (!handler)
        return;
    try {
        handler(*this);
    } catch (...) {
        TExceptionEvent report;
        {
            std::lock_guard lock(mutex_);
            report = onException_;
        }
        ETimerCallError error;
        try {
            if (report)
                report(*this, error);
            else
                std::fprintf(stderr, "%s\n", error.what());
        } catch (...) {
            // Nothing may escape into the timer thread.
        }
    }
}
