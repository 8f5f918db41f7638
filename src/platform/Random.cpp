#include "platform/Random.h"

TRandom::TRandom()
{
    // Fibonacci numbers modulo 65536 in falling order: word i holds F(33 - i).
    word_[31] = 1; // F(2)
    word_[30] = 2; // F(3)
    for (int i = 29; i >= 0; --i)
        word_[i] = static_cast<uint16_t>(word_[i + 1] + word_[i + 2]);
}

int16_t TRandom::Rnd()
{
    word_[j_] = static_cast<uint16_t>(word_[j_] + word_[k_]);
    auto result = static_cast<int16_t>(word_[j_]);
    j_ = (j_ + 31) % 32;
    k_ = (k_ + 31) % 32;
    return result;
}

int TRandom::Random(int n)
{
    if (n <= 0)
        return -1;
    unsigned mask = 0;
    while (mask < static_cast<unsigned>(n - 1))
        mask = mask * 2 + 1;
    // About half of all raw values or more fall below n, so this ends quickly.
    for (;;) {
        int v = static_cast<int>(Rnd()) & static_cast<int>(mask);
        if (v < n)
            return v;
    }
}

int TRandom::NormalDistribution(int n)
{
    if (n < 1 || n > 65536)
        return 0;
    int t = 2 * n / 3;
    // Drawn in this order, so that a sequence replays the same everywhere.
    int a = Random(t + 1);
    int b = Random(t + 1);
    int c = Random(2 * n - 2 * t + 1);
    return a + b + c - n;
}
