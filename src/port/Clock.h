// The source of the date and time, and the ways to set the machine's clock.
// Both are interfaces so that tests run on a fake clock and a recording
// setter and never touch the real clock.
#pragma once

#include <cstdint>
#include <functional>
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

// How the clock can be set now.
enum class ClockWay {
    LeftToSystem, // the system synchronises it itself: only measure
    Direct,       // this process may set it (CAP_SYS_TIME)
    TimeService,  // the system's time service sets it, after authorisation
    None,         // no way: the reason says why
};

class IClockSetter {
public:
    // The outcome of a setting: whether the clock was set, or why not.
    using Done = std::function<void(bool set, const std::string& why)>;

    virtual ~IClockSetter() = default;
    // The way that applies, found by looking (the process's capabilities,
    // the time service's state), never by trying; `why` for None.
    virtual ClockWay Way(std::string* why) = 0;
    // Sets the wall clock to `unixNanos` in the way `Way` gave. `done` runs
    // once: before Set returns for Direct, later on this thread for the time
    // service. `interactive`: the time service may ask the user to
    // authorise (only when the user asked for the setting).
    virtual void Set(ClockWay way, int64_t unixNanos, bool interactive, Done done) = 0;
};

// Whether this process holds CAP_SYS_TIME in its effective set.
bool MayProcessSetClock();
// clock_settime(CLOCK_REALTIME); false with the system's reason.
bool SetSystemClock(int64_t unixNanos, std::string* error);

} // namespace port
