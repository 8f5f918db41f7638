#include "platform/ZoTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Waits generously: these tests assert on what happened, never on how fast.
template <typename Pred>
bool WaitUntil(Pred pred)
{
    auto give_up = std::chrono::steady_clock::now() + 20s;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > give_up)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(ZoTimer, ASlowHandlerSkipsTheTicksThatArriveMeanwhileButTheyAreCounted)
{
    std::atomic<int> inside{0}, overlaps{0}, calls{0};
    std::mutex m;
    std::vector<int> countAtStart;
    std::thread::id handlerThread;
    {
        TZoTimer timer;
        timer.SetInterval(10);
        timer.SetOnTimer([&](TZoTimer& sender) {
            if (inside.fetch_add(1) != 0)
                ++overlaps;
            {
                std::lock_guard lock(m);
                countAtStart.push_back(sender.Count());
                handlerThread = std::this_thread::get_id();
            }
            std::this_thread::sleep_for(55ms); // at least five periods
            inside.fetch_sub(1);
            ++calls;
        });
        timer.SetEnabled(true);
        ASSERT_TRUE(WaitUntil([&] { return calls.load() >= 4; }));
    }
    EXPECT_EQ(0, overlaps.load());
    EXPECT_NE(std::this_thread::get_id(), handlerThread);
    // Call k starts after at least one tick of its own and the five or more
    // that each earlier call let pass.
    ASSERT_GE(countAtStart.size(), 4u);
    for (size_t k = 1; k <= 4; ++k)
        EXPECT_GE(countAtStart[k - 1], static_cast<int>(6 * k - 5)) << "call " << k;
}

TEST(ZoTimer, IntervalZeroRunsNothingUntilAPeriodIsSet)
{
    std::atomic<int> calls{0};
    TZoTimer timer;
    timer.SetOnTimer([&](TZoTimer&) { ++calls; });
    timer.SetInterval(0);
    timer.SetEnabled(true);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(0, calls.load());
    EXPECT_EQ(0, timer.Count());

    timer.SetInterval(5);
    EXPECT_TRUE(WaitUntil([&] { return calls.load() >= 2; }));
    EXPECT_GE(timer.Count(), 2);
}

TEST(ZoTimer, AHandlersExceptionIsReportedAndTheTimerGoesOn)
{
    std::atomic<int> calls{0};
    std::mutex m;
    std::vector<std::string> reports;
    TZoTimer timer;
    timer.SetInterval(5);
    timer.SetOnException([&](TZoTimer&, const std::exception& e) {
        std::lock_guard lock(m);
        reports.push_back(std::string(typeid(e) == typeid(ETimerCallError) ? "ETimerCallError " : "? ") +
                          e.what());
    });
    timer.SetOnTimer([&](TZoTimer&) {
        if (++calls == 1)
            throw std::runtime_error("disk on fire");
    });
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() >= 3; }));
    timer.SetEnabled(false);
    std::lock_guard lock(m);
    EXPECT_EQ(std::vector<std::string>{"ETimerCallError Timer Call Error"}, reports);
}

TEST(ZoTimer, AHandlerCanStopItsTimerAndTheOwnerStartItAgain)
{
    std::atomic<int> calls{0};
    TZoTimer timer;
    timer.SetInterval(5);
    timer.SetOnTimer([&](TZoTimer& sender) {
        ++calls;
        sender.SetEnabled(false);
    });
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() >= 1; }));
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(1, calls.load());
    EXPECT_FALSE(timer.Enabled());

    timer.SetEnabled(true);
    EXPECT_TRUE(WaitUntil([&] { return calls.load() >= 2; }));
}

TEST(ZoTimer, DestructionWaitsForTheRunningHandler)
{
    std::atomic<bool> started{false}, finished{false};
    auto timer = std::make_unique<TZoTimer>();
    timer->SetInterval(5);
    timer->SetOnTimer([&](TZoTimer& sender) {
        started = true;
        std::this_thread::sleep_for(50ms);
        (void)sender.Count(); // the timer must still exist here
        finished = true;
    });
    timer->SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return started.load(); }));
    timer.reset();
    EXPECT_TRUE(finished.load());
}

TEST(ZoTimer, CountMovesButStaysWithinZeroAndTheLargestInt)
{
    TZoTimer timer;
    timer.CountDec();
    EXPECT_EQ(0, timer.Count());
    timer.CountInc();
    timer.CountInc();
    timer.CountDec();
    EXPECT_EQ(1, timer.Count());
    timer.CountClear();
    EXPECT_EQ(0, timer.Count());

    pendar::SaturatingCount high(INT_MAX - 1);
    high.Inc();
    high.Inc();
    EXPECT_EQ(INT_MAX, high.Get());
    high.Dec();
    high.Add(UINT64_MAX);
    EXPECT_EQ(INT_MAX, high.Get());
}

TEST(ZoTimer, CountChangesFromTwoThreadsAreNeverLost)
{
    pendar::SaturatingCount count;
    const int n = 200000;
    std::thread up([&] {
        for (int i = 0; i < n; ++i)
            count.Inc();
    });
    std::thread upAndDown([&] {
        for (int i = 0; i < n; ++i) {
            count.Add(2);
            count.Dec();
        }
    });
    up.join();
    upAndDown.join();
    EXPECT_EQ(2 * n, count.Get());
}

} // namespace
