#include "platform/Counter.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Sums far outside the counter's range stop at the ends of int.
int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

TCounter::TCounter(int maxVal, int addVal) : max_(maxVal > 0 ? maxVal : 1)
{
    SetAddVal(addVal);
}

void TCounter::SetMaxVal(int maxVal)
{
    max_ = maxVal > 0 ? maxVal : 1;
    step_ = std::min(step_, max_);
    count_ = std::min(count_, max_ - 1);
}

void TCounter::SetAddVal(int addVal)
{
    step_ = std::clamp(addVal, 0, max_);
}

void TCounter::SetCount(int count)
{
    count_ = std::min(count, max_ - 1);
}

bool TCounter::AddVal(int v)
{
    int64_t sum = int64_t{count_} + v;
    bool wrapped = sum >= max_;
    if (wrapped)
        sum -= max_;
    count_ = ClampToInt(sum);
    return wrapped;
}

bool TCounter::SubVal(int v)
{
    int64_t rest = int64_t{count_} - v;
    bool stopped = rest < 0;
    count_ = stopped ? 0 : ClampToInt(rest);
    return stopped;
}
