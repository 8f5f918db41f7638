#include "platform/ZoCriticalSection.h"

void TZoCriticalSection::Acquire()
{
    std::unique_lock lock(guard_);
    std::thread::id me = std::this_thread::get_id();
    if (owner_ == me) {
        ++recursion_;
        return;
    }
    uint64_t ticket = nextTicket_++;
    turnChanged_.wait(lock, [&] { return Free() && serving_ == ticket; });
    owner_ = me;
    recursion_ = 1;
}

bool TZoCriticalSection::Check()
{
    std::lock_guard lock(guard_);
    std::thread::id me = std::this_thread::get_id();
    if (owner_ == me) {
        ++recursion_;
        return true;
    }
    if (!Free() || nextTicket_ != serving_)
        return false;
    ++nextTicket_;
    owner_ = me;
    recursion_ = 1;
    return true;
}

void TZoCriticalSection::Release()
{
    std::unique_lock lock(guard_);
    if (owner_ != std::this_thread::get_id() || recursion_ <= 0)
        return;
    if (--recursion_ > 0)
        return;
    owner_ = std::thread::id();
    ++serving_;
    lock.unlock();
    turnChanged_.notify_all();
}

int TZoCriticalSection::Waiting() const
{
    std::lock_guard lock(guard_);
    return static_cast<int>(nextTicket_ - serving_ - (Free() ? 0 : 1));
}
