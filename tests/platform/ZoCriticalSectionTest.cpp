#include "platform/ZoCriticalSection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// What Check says on a thread that does not hold the lock (it gives the lock
// straight back when it got it).
bool CheckElsewhere(TZoCriticalSection& cs)
{
    bool got = false;
    std::thread([&] {
        got = cs.Check();
        if (got)
            cs.Release();
    }).join();
    return got;
}

void WaitForWaiting(const TZoCriticalSection& cs, int n)
{
    while (cs.Waiting() != n)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(ZoCriticalSection, IsHeldUntilEveryAcquireIsReleased)
{
    TZoCriticalSection cs;
    cs.Acquire();
    cs.Acquire();
    EXPECT_TRUE(cs.Check()); // the holder may take it again without waiting
    EXPECT_FALSE(CheckElsewhere(cs));
    cs.Release();
    cs.Release();
    EXPECT_FALSE(CheckElsewhere(cs));
    cs.Release();
    EXPECT_TRUE(CheckElsewhere(cs));
    cs.Release(); // one too many changes nothing
    EXPECT_TRUE(cs.Check());
    EXPECT_FALSE(CheckElsewhere(cs));
    cs.Release();
}

TEST(ZoCriticalSection, ReleaseByAnotherThreadChangesNothing)
{
    TZoCriticalSection cs;
    cs.Acquire();
    std::thread([&] {
        cs.Release();
        cs.Release();
    }).join();
    EXPECT_FALSE(CheckElsewhere(cs));
    cs.Release();
    EXPECT_TRUE(CheckElsewhere(cs));
}

// Arrival order of four waiters and of the holder coming back, in a few
// rounds: an unfair lock gets it right now and then, but not every time.
TEST(ZoCriticalSection, ServesWaitersInArrivalOrder)
{
    const std::vector<std::string> expected{"waiter 0", "waiter 1", "waiter 2", "waiter 3", "first holder"};
    TZoCriticalSection cs;
    for (int round = 0; round < 10; ++round) {
        std::vector<std::string> order; // written only while holding cs
        cs.Acquire();
        std::vector<std::thread> waiters;
        for (int i = 0; i < 4; ++i) {
            waiters.emplace_back([&cs, &order, i] {
                cs.Acquire();
                order.push_back("waiter " + std::to_string(i));
                cs.Release();
            });
            WaitForWaiting(cs, i + 1); // the next one arrives after this one waits
        }
        cs.Release();
        // The lock is free or passing to waiter 0; either way this thread
        // must queue behind all four instead of taking it back.
        cs.Acquire();
        order.push_back("first holder");
        cs.Release();
        for (std::thread& t : waiters)
            t.join();
        ASSERT_EQ(expected, order) << "round " << round;
        EXPECT_EQ(0, cs.Waiting());
    }
}

TEST(ZoCriticalSection, KeepsThreadsApart)
{
    TZoCriticalSection cs;
    long shared = 0;
    long checked = 0;
    const int threads = 4, rounds = 2000;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) {
                cs.Acquire();
                cs.Acquire();
                ++shared;
                cs.Release();
                cs.Release();
                if (cs.Check()) {
                    ++shared;
                    ++checked;
                    cs.Release();
                }
            }
        });
    }
    for (std::thread& t : workers)
        t.join();
    EXPECT_EQ(threads * rounds + checked, shared);
    EXPECT_EQ(0, cs.Waiting());
}

} // namespace
