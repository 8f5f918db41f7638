// A periodic timer that fires on a thread of its own instead of through the
// event loop. Each timer owns one thread waiting on a timerfd; OnTimer runs
// there, never while the previous call is still running: the periods that
// pass during a call fire nothing but are still counted in Count.
#pragma once

#include "platform/SaturatingCount.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

// The system could not give the timer what it needs (timerfd, thread).
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a handler's exception becomes before it is reported.
class ETimerCallError : public std::runtime_error {
public:
    ETimerCallError() : std::runtime_error("Timer Call Error") {}
};

class TZoTimer {
public:
    using TNotifyEvent = std::function<void(TZoTimer& sender)>;
    using TExceptionEvent = std::function<void(TZoTimer& sender, const std::exception& error)>;

    TZoTimer();
    // Stops the timer and waits for a running OnTimer to return, so it must
    // not run inside the timer's own OnTimer.
    ~TZoTimer();
    TZoTimer(const TZoTimer&) = delete;
    TZoTimer& operator=(const TZoTimer&) = delete;

    // The setters may be called from any thread, OnTimer included. Starting
    // the timer throws EOutOfResources when the system refuses a timerfd or
    // a thread. A call already under way when the timer stops still ends.
    bool Enabled() const { return enabled_.load(); }
    void SetEnabled(bool enabled);
    // Period in milliseconds; 0 stops the timer.
    unsigned Interval() const { return interval_.load(); }
    void SetInterval(unsigned interval);
    void SetOnTimer(TNotifyEvent handler);
    // Receives ETimerCallError when OnTimer throws (the timer goes on
    // running); without one the error goes to standard error.
    void SetOnException(TExceptionEvent handler);

    // Periods seen, skipped ones included; never below 0 nor above INT_MAX.
    int Count() const { return count_.Get(); }
    void CountInc() { count_.Inc(); }
    void CountDec() { count_.Dec(); }
    void CountClear() { count_.Clear(); }

private:
    void UpdateTimer();
    void StartThread();
    void Run();
    void Fire();
    uint64_t TakeExpirations();

    std::atomic<bool> enabled_{false};
    std::atomic<unsigned> interval_{1000};
    pendar::SaturatingCount count_;

    std::mutex mutex_; // the handlers and the timerfd's setting
    TNotifyEvent onTimer_;
    TExceptionEvent onException_;
    int timerFd_ = -1;
    int wakeFd_ = -1; // written once to end the thread
    std::thread thread_;
};
