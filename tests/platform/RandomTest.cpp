#include "platform/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

namespace {

TEST(Random, StartsFromTheFibonacciState)
{
    TRandom r;
    // word 0 + word 7 = F(33) + F(26) = 51170 + 55857 (mod 65536)
    EXPECT_EQ(-24045, r.Rnd());
    // word 31 + word 6 = F(2) + F(27) = 1 + 65346
    EXPECT_EQ(-189, r.Rnd());
}

TEST(Random, CopiesGoOnAlike)
{
    TRandom a;
    for (int i = 0; i < 40; ++i)
        a.Rnd();
    TRandom b = a;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(a.Rnd(), b.Rnd()) << i;
}

TEST(Random, UniformDrawsStayBelowTheBoundAndReachEveryValue)
{
    TRandom r;
    for (int n : {-3, 0, INT_MIN})
        EXPECT_EQ(-1, r.Random(n)) << n;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(0, r.Random(1));

    for (int n : {2, 3, 5, 8, 9, 17, 100}) {
        std::set<int> seen;
        for (int i = 0; i < 200 * n; ++i) {
            int v = r.Random(n);
            ASSERT_TRUE(v >= 0 && v < n) << n << ": " << v;
            seen.insert(v);
        }
        EXPECT_EQ(static_cast<size_t>(n), seen.size()) << n;
    }
    for (int n : {32768, 65536, 65537, 100000, INT_MAX}) {
        for (int i = 0; i < 1000; ++i) {
            int v = r.Random(n);
            ASSERT_TRUE(v >= 0 && v < n) << n << ": " << v;
        }
    }
}

TEST(Random, BellShapedDrawsPeakAtZero)
{
    TRandom r;
    for (int n : {0, -1, 65537})
        EXPECT_EQ(0, r.NormalDistribution(n)) << n;

    std::set<int> seen;
    for (int i = 0; i < 300; ++i)
        seen.insert(r.NormalDistribution(1));
    EXPECT_EQ((std::set<int>{-1, 0, 1}), seen);

    for (int n : {10, 1000, 65536}) {
        int near = 0, far = 0, least = n, most = -n;
        long long sum = 0;
        const int draws = 30000;
        for (int i = 0; i < draws; ++i) {
            int v = r.NormalDistribution(n);
            ASSERT_TRUE(v >= -n && v <= n) << n << ": " << v;
            sum += v;
            least = std::min(least, v);
            most = std::max(most, v);
            near += std::abs(v) <= n / 3;
            far += std::abs(v) >= 2 * n / 3;
        }
        EXPECT_LT(std::llabs(sum / draws), n / 10 + 1) << n;
        EXPECT_GT(near, 3 * far) << n;
        if (n == 10) {
            EXPECT_EQ(-10, least);
            EXPECT_EQ(10, most);
        }
    }
}

} // namespace
