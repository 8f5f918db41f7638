// The application's random numbers: a Mersenne twister, seeded at start-up.
#pragma once

#include "app/MainFormServices.h"

#include <random>

namespace pendar {

class StdRandom final : public IRandomSource {
public:
    void Seed(uint64_t seed) override { engine_.seed(seed); }
    int Next() override { return static_cast<int>(engine_() & 0x7FFFFFFF); }

private:
    std::mt19937 engine_;
};

} // namespace pendar
