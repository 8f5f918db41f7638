#include "mail/ThreadTimer.h"

#include "mail/MailErrors.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

TThreadTimer::TThreadTimer() = default;

TThreadTimer::~TThreadTimer() = default;

void TThreadTimer::SetInterval(int milliseconds)
{
    interval_ = milliseconds;
    Rearm();
}

void TThreadTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Rearm();
}

void TThreadTimer::SetOnTimer(std::function<void()> handler)
{
    onTimer_ = std::move(handler);
    Rearm();
}

void TThreadTimer::Rearm()
{
    if (timer_)
        timer_->stop();
    if (!enabled_ || interval_ <= 0 || !onTimer_)
        return;
    if (!QAbstractEventDispatcher::instance())
        throw EMailError("No Timer");
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        QObject::connect(timer_.get(), &QTimer::timeout, [this] {
            auto handler = onTimer_; // the handler may replace itself
            if (handler)
                handler();
        });
    }
    timer_->start(interval_);
}
