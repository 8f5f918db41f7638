// A tick count shared between a timer thread and its owner: every change is
// one atomic read-modify-write, it never goes below 0, and it stops at the
// largest int instead of overflowing.
#pragma once

#include <atomic>
#include <climits>
#include <cstdint>

namespace pendar {

class SaturatingCount {
public:
    explicit SaturatingCount(int start = 0) : value_(start < 0 ? 0 : start) {}

    int Get() const { return value_.load(); }
    void Clear() { value_.store(0); }
    void Inc() { Add(1); }

    void Add(uint64_t n)
    {
        int v = value_.load();
        int next;
        do {
            uint64_t room = static_cast<uint64_t>(INT_MAX - v);
            next = v + static_cast<int>(n < room ? n : room);
        } while (!value_.compare_exchange_weak(v, next));
    }

    void Dec()
    {
        int v = value_.load();
        while (v > 0 && !value_.compare_exchange_weak(v, v - 1)) {
        }
    }

private:
    std::atomic<int> value_;
};

} // namespace pendar
