#include "port/Clock.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace port {

LocalTime ToLocalTime(int64_t unixNanos)
{
    int64_t secs = unixNanos / 1000000000;
    int64_t rem = unixNanos % 1000000000;
    if (rem < 0) {
        rem += 1000000000;
        --secs;
    }
    time_t t = static_cast<time_t>(secs);
    struct tm tm {};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.weekday = tm.tm_wday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.millisecond = static_cast<int>(rem / 1000000);
    return lt;
}

int64_t SystemClock::UnixNanos() const
{
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

LocalTime SystemClock::Now() const
{
    return ToLocalTime(UnixNanos());
}

bool MayProcessSetClock()
{
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[CAP_TO_INDEX(CAP_SYS_TIME)].effective & CAP_TO_MASK(CAP_SYS_TIME)) != 0;
}

bool SetSystemClock(int64_t unixNanos, std::string* error)
{
    struct timespec ts {};
    ts.tv_sec = static_cast<time_t>(unixNanos / 1000000000);
    ts.tv_nsec = static_cast<long>(unixNanos % 1000000000);
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000;
        --ts.tv_sec;
    }
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace port
