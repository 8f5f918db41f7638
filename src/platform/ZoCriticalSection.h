// A lock that a thread may take again while it holds it (each Acquire needs
// its Release), with a try-acquire that never waits. Waiting threads are
// served in the order they arrived, and a thread that finds the lock free
// while others still wait queues behind them instead of overtaking.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TZoCriticalSection {
public:
    TZoCriticalSection() = default;
    TZoCriticalSection(const TZoCriticalSection&) = delete;
    TZoCriticalSection& operator=(const TZoCriticalSection&) = delete;

    void Acquire();
    // Takes the lock when this thread holds it already, or when it is free
    // and nobody waits; otherwise false at once.
    bool Check();
    // Gives back one Acquire; a thread that does not hold the lock changes
    // nothing.
    void Release();

    // Threads blocked in Acquire.
    int Waiting() const;

private:
    bool Free() const { return owner_ == std::thread::id(); }

    mutable std::mutex guard_;
    std::condition_variable turnChanged_;
    std::thread::id owner_;
    int recursion_ = 0;
    // Tickets in arrival order: the owner holds ticket serving_ and the
    // waiters hold serving_ + 1 .. nextTicket_ - 1.
    uint64_t nextTicket_ = 0;
    uint64_t serving_ = 0;
};
