// The time-out timer of the socket layer: fires OnTimer every Interval
// milliseconds while it is enabled, has a non-zero Interval and a handler.
// Changing any of the three re-arms it. Runs on the owning thread's Qt
// event loop.
#pragma once

#include <functional>
#include <memory>

class QTimer;

class TThreadTimer {
public:
    TThreadTimer();
    ~TThreadTimer();
    TThreadTimer(const TThreadTimer&) = delete;
    TThreadTimer& operator=(const TThreadTimer&) = delete;

    int Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    // Each setter re-arms the timer; arming without an event loop on this
    // thread raises EMailError "No Timer".
    void SetInterval(int milliseconds);
    void SetEnabled(bool enabled);
    void SetOnTimer(std::function<void()> handler);

private:
    void Rearm();

    int interval_ = 1000;
    bool enabled_ = true;
    std::function<void()> onTimer_;
    std::unique_ptr<QTimer> timer_;
};
