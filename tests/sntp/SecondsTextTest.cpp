#include "sntp/SecondsText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SecondsText, RoundsHalfAwayFromZeroWithoutANegativeZero)
{
    struct Case {
        int64_t nanos;
        int decimals;
        const char* text;
    } cases[] = {
        {0, 2, "0.00"},
        {0, 3, "0.000"},
        {1500000000, 2, "1.50"},
        {-1500000000, 3, "-1.500"},
        {100000000000, 3, "100.000"},
        {5000000, 2, "0.01"},
        {-5000000, 2, "-0.01"},
        {4999999, 2, "0.00"},
        {-4999999, 2, "0.00"},
        {999500000, 3, "1.000"},
        {-12345, 9, "-0.000012345"},
        {1999999999, 0, "2"},
        {std::numeric_limits<int64_t>::min(), 3, "-9223372036.855"},
        {std::numeric_limits<int64_t>::max(), 3, "9223372036.855"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pendar::SecondsText(c.nanos, c.decimals), c.text) << c.nanos << " with " << c.decimals;
}

} // namespace
