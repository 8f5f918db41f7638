// The source of the date and time, and the one way to set the machine's
// clock. Both are interfaces so that tests run on a fake clock and a
// recording setter and never touch the real clock.
#pragma once

#include <cstdint>
#include <string>

namespace port {

struct LocalTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int weekday = 4; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Wall-clock time in nanoseconds since 1970-01-01 00:00 UTC.
    virtual int64_t UnixNanos() const = 0;
    // The local calendar date and time of now.
    virtual LocalTime Now() const = 0;
};

// Local time of a wall-clock instant (localtime_r).
LocalTime ToLocalTime(int64_t unixNanos);

class SystemClock final : public IClock {
public:
    int64_t UnixNanos() const override;
    LocalTime Now() const override;
};

class IClockSetter {
public:
    virtual ~IClockSetter() = default;
    // Sets the wall clock; false with a reason (for example missing
    // permission) when the system refuses.
    virtual bool SetUnixNanos(int64_t unixNanos, std::string* error) = 0;
};

// clock_settime(CLOCK_REALTIME); needs CAP_SYS_TIME.
class SystemClockSetter final : public IClockSetter {
public:
    bool SetUnixNanos(int64_t unixNanos, std::string* error) override;
};

} // namespace port
