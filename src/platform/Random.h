// A lagged additive random generator over 32 16-bit words, with a uniform
// draw below a bound and a bell-shaped draw around 0. Every generator starts
// from the same state, so a sequence can be replayed; copies go on alike.
#pragma once

#include <array>
#include <cstdint>

class TRandom {
public:
    TRandom();

    // The next raw value.
    int16_t Rnd();
    // Uniform in 0..n-1; -1 when n <= 0.
    int Random(int n);
    // In -n..n, most often near 0; 0 when n < 1 or n > 65536.
    int NormalDistribution(int n);

private:
    std::array<uint16_t, 32> word_;
    int j_ = 0;
    int k_ = 7;
};
