// A clock that only moves when a test says so. Its instants are shown in UTC
// as the local time, so tests do not depend on the machine's time zone.
#pragma once

#include "port/Clock.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace pendar::test {

class FakeClock final : public port::IClock {
public:
    FakeClock() { Set(2024, 1, 1, 0, 0); }

    void Set(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0)
    {
        struct tm tm {};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_min = minute;
        tm.tm_sec = second;
        nanos_ = static_cast<int64_t>(timegm(&tm)) * 1000000000 + static_cast<int64_t>(ms) * 1000000;
    }
    void SetUnixNanos(int64_t nanos) { nanos_ = nanos; }
    void AdvanceMs(int64_t ms) { nanos_ += ms * 1000000; }

    int64_t UnixNanos() const override { return nanos_; }
    port::LocalTime Now() const override
    {
        ++reads_;
        int64_t secs = nanos_ / 1000000000;
        time_t t = static_cast<time_t>(secs);
        struct tm tm {};
        gmtime_r(&t, &tm);
        port::LocalTime lt;
        lt.year = tm.tm_year + 1900;
        lt.month = tm.tm_mon + 1;
        lt.day = tm.tm_mday;
        lt.weekday = tm.tm_wday;
        lt.hour = tm.tm_hour;
        lt.minute = tm.tm_min;
        lt.second = tm.tm_sec;
        lt.millisecond = static_cast<int>((nanos_ / 1000000) % 1000);
        return lt;
    }
    int Reads() const { return reads_; }

private:
    int64_t nanos_ = 0;
    mutable int reads_ = 0;
};

// Records every clock setting instead of touching the machine's clock.
class RecordingClockSetter final : public port::IClockSetter {
public:
    port::ClockWay Way(std::string* why) override
    {
        if (why)
            *why = noWay;
        return way;
    }
    void Set(port::ClockWay how, int64_t unixNanos, bool interactive, Done done) override
    {
        calls.push_back(unixNanos);
        ways.push_back(how);
        asked.push_back(interactive);
        done(refuse.empty(), refuse);
    }
    port::ClockWay way = port::ClockWay::Direct;
    std::string noWay;                // the reason given with ClockWay::None
    std::vector<int64_t> calls;
    std::vector<port::ClockWay> ways; // as asked, call by call
    std::vector<bool> asked;          // interactive, call by call
    std::string refuse;               // non-empty: fail with this reason
};

} // namespace pendar::test
