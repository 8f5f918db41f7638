// SNTP client: one request to one server over UDP, and the corrected
// current time. The query blocks its caller for at most TimeOut
// milliseconds plus the name lookup; setting the clock is the caller's job.
#pragma once

#include "port/Clock.h"

#include <cstdint>
#include <string>

struct TSntpResult {
    int64_t unixNanos = 0;   // the corrected time when the reply arrived
    int64_t offsetNanos = 0; // the corrected time minus the local clock then
    port::LocalTime local;   // unixNanos as local date and time
};

class TNMSNTP {
public:
    // T1 and T4 are read from `clock`, which must outlive the client.
    explicit TNMSNTP(const port::IClock& clock);
    TNMSNTP(); // the system clock
    virtual ~TNMSNTP() = default;
    TNMSNTP(const TNMSNTP&) = delete;
    TNMSNTP& operator=(const TNMSNTP&) = delete;

    std::string RemoteHost; // name or dotted IPv4 address
    int RemotePort = 123;
    int LocalPort = 1024; // 0: any free port
    int TimeOut = 10000;  // milliseconds

    int Version() const { return version_; }
    // Only 1 and 4 are taken; any other value is ignored.
    void SetVersion(int version);

    // True with `result` filled when a usable reply came in time; false
    // (result unchanged, LastError says why) otherwise. Never raises.
    virtual bool QueryTime(TSntpResult& result);
    const std::string& LastError() const { return lastError_; }

private:
    bool Query(TSntpResult& result);
    bool Fail(std::string reason);

    const port::IClock& clock_;
    int version_ = 4;
    std::string lastError_;
};
