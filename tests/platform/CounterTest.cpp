#include "platform/Counter.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Counter, CountsUpWrappingAndDownStoppingAtZero)
{
    TCounter c(10, 3);
    struct Step {
        int count;
        bool crossed;
    } up[] = {{3, false}, {6, false}, {9, false}, {2, true}};
    for (const Step& s : up) {
        EXPECT_EQ(s.crossed, c.IncVal());
        EXPECT_EQ(s.count, c.GetCount());
    }
    EXPECT_TRUE(c.DecVal());
    EXPECT_EQ(0, c.GetCount());
    EXPECT_TRUE(c.IsZero());

    // A step of more than the maximum still wraps only once.
    TCounter big(10);
    EXPECT_TRUE(big.AddVal(25));
    EXPECT_EQ(15, big.GetCount());
    EXPECT_FALSE(big.SubVal(15));
    EXPECT_TRUE(big.IsZero());
}

TEST(Counter, ConstructorsAndSettersClampTheirValues)
{
    struct Case {
        const char* name;
        TCounter counter;
        int max, step, count;
    } cases[] = {
        {"default", TCounter(), 9999, 1, 0},
        {"zero maximum", TCounter(0), 1, 1, 0},
        {"negative maximum", TCounter(-5, 1), 1, 1, 0},
        {"negative step", TCounter(10, -5), 10, 0, 0},
        {"step above maximum", TCounter(10, 20), 10, 10, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.max, c.counter.GetMaxVal()) << c.name;
        EXPECT_EQ(c.step, c.counter.GetAddVal()) << c.name;
        EXPECT_EQ(c.count, c.counter.GetCount()) << c.name;
    }

    TCounter c(10, 8);
    c.SetCount(50);
    EXPECT_EQ(9, c.GetCount());
    c.SetMaxVal(5); // step and count follow the maximum down
    EXPECT_EQ(5, c.GetAddVal());
    EXPECT_EQ(4, c.GetCount());
    c.SetMaxVal(0);
    EXPECT_EQ(1, c.GetMaxVal());
    EXPECT_EQ(1, c.GetAddVal());
    EXPECT_EQ(0, c.GetCount());
    c.SetCount(-7); // there is no lower bound
    EXPECT_EQ(-7, c.GetCount());
    c.SetAddVal(-5);
    EXPECT_EQ(0, c.GetAddVal());
    EXPECT_FALSE(c.IncVal()); // a step of 0 never moves it

    TCounter copy = c;
    EXPECT_EQ(-7, copy.GetCount());
}

TEST(Counter, ExtremeStepsStayWithinInt)
{
    TCounter c(1);
    EXPECT_TRUE(c.AddVal(INT_MAX));
    EXPECT_EQ(INT_MAX - 1, c.GetCount());
    EXPECT_TRUE(c.AddVal(INT_MAX));
    EXPECT_EQ(INT_MAX, c.GetCount());

    TCounter d(10);
    EXPECT_FALSE(d.SubVal(INT_MIN));
    EXPECT_EQ(INT_MAX, d.GetCount());
    EXPECT_FALSE(d.SubVal(INT_MAX));
    EXPECT_TRUE(d.IsZero());
    EXPECT_TRUE(d.SubVal(INT_MAX));
    EXPECT_TRUE(d.IsZero());
}

} // namespace
